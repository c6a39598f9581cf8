"""ZRN.INI and the /Q switches seen from outside: the quick directories reach
the calling shell through the wrapper, and no configuration file, however
broken, keeps the program from starting."""

import os
import random
import unittest

import harness
from change_scripts import RESET, chdir_target
from harness import Sandbox, windows_path

# The four lines of a /Q switch that leads nowhere; the last names the switch
# and the file to set it in.
NO_DIRECTORY = r"\A\r\nZRN - Zarnpath\r\n\r\nNo directory associated with /Q.: [^\r\n]*ZRN\.INI[^\r\n]*\r\n\Z"


def known_folder(name):
    """A known folder as the quick directory table holds it, from what
    Windows tells a program: with a backslash at the end; Downloads falls back
    to the profile folder's "Downloads"."""
    facts = harness.host_facts()
    if name == "downloads":
        if facts["downloads"]:
            return facts["downloads"] + "\\"
        return known_folder("folder_40") + "Downloads\\"
    path = facts[name]
    return path if not path or path.endswith("\\") else path + "\\"


DOCUMENTS, MUSIC, VIDEOS, PROGRAM_FILES, PICTURES = (
    "folder_5", "folder_13", "folder_14", "folder_38", "folder_39")


class QuickDirectoriesThroughTheShell(unittest.TestCase):
    def test_q3_changes_the_shell_to_a_folder_with_ampersand_percent_and_space(self):
        with Sandbox() as box:
            drive = box.map_drive("D")
            name = "R&D 100% done %PATH% x"
            (drive / "work" / name).mkdir(parents=True)
            box.write_ini(f"[QuickDIR]\r\nQ3 = D:\\work\\{name} ; the lab\r\n")
            result = box.run_cmd(f'call "{box.wrapper_windows}" /q3 & cd', cwd=drive)
            self.assertEqual(result.returncode, 0)
            lines = result.text.rstrip("\r\n").split("\r\n")
            self.assertEqual(lines[-2], f"Directory has been changed to D:\\work\\{name}\\")
            self.assertEqual(lines[-1], f"D:\\work\\{name}")

    def test_qd_changes_the_shell_to_the_documents_folder(self):
        with Sandbox() as box:
            drive = box.map_drive("D")
            documents = known_folder(DOCUMENTS)
            result = box.run_cmd(f'call "{box.wrapper_windows}" /qd & cd', cwd=drive)
            self.assertEqual(result.text.rstrip("\r\n").split("\r\n")[-1], documents.rstrip("\\"))
            # The wrapper's run wrote its own script, not the one beside the program.
            self.assertFalse((box.program_dir / "ZRN2.BAT").exists())


class QuickSwitches(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox("[QuickDIR]\r\nQ0=D:\\zero\r\nQ1 = D:\\one ;x\r\nQ2=D:\\two\\\r\nQ9=..\\up\r\n"
                           "Q4 = \"D:\\my blog\" ; quoted\r\n")
        self.addCleanup(self.box.close)
        self.drive = self.box.map_drive("D")

    def quick(self, *args):
        result = self.box.run(*args, cwd=self.drive)
        self.assertEqual(result.returncode, 0)
        return result

    def test_known_folders_with_their_trailing_backslash(self):
        cases = {
            "/QD": known_folder(DOCUMENTS),
            "/ql": known_folder("downloads"),
            "/QV": known_folder(VIDEOS),
            "/qm": known_folder(MUSIC),
            "/QP": known_folder(PICTURES),
            "/qx": known_folder(PROGRAM_FILES),
        }
        for switch, folder in cases.items():
            with self.subTest(switch=switch):
                result = self.quick(switch)
                self.assertEqual(result.stdout, b"")
                script = self.box.change_script()
                self.assertTrue(script.startswith(RESET))
                self.assertEqual(chdir_target(script), folder)

    def test_numbered_entries_take_the_configured_paths(self):
        cases = {"/Q0": "D:\\zero\\", "/q1": "D:\\one\\", "/Q2": "D:\\two\\", "/Q9": "..\\up\\",
                 "/QZ": "D:\\zero\\", "/Q-": "D:\\zero\\", "/Q1 /Q2": "D:\\two\\",
                 "/Q4": "D:\\my blog\\"}
        for switches, folder in cases.items():
            with self.subTest(switches=switches):
                self.quick(*switches.split())
                self.assertEqual(chdir_target(self.box.change_script()), folder)

    def test_an_empty_entry_prints_four_lines_and_changes_nothing(self):
        for switch in ("/Q7", "/q3"):
            with self.subTest(switch=switch):
                result = self.quick(switch)
                self.assertRegex(result.text, NO_DIRECTORY)
                ini = windows_path(self.box.program_dir / "ZRN.INI")
                self.assertIn(f"/{switch[1:].upper()}: set Q{switch[2]} in the [QuickDIR] group of {ini}.", result.text)
                self.assertEqual(self.box.change_script(), RESET)

    def test_a_search_text_beside_a_quick_switch_is_ignored(self):
        self.box.make_dirs(self.drive, "one", "zero")
        self.quick("one", "/q2")
        self.assertEqual(chdir_target(self.box.change_script()), "D:\\two\\")
        self.assertFalse((self.drive / "Zarnpath").exists(), "no index may be built")

    def test_a_missing_file_leaves_every_numbered_entry_empty(self):
        os.remove(self.box.program_dir / "ZRN.INI")
        self.assertRegex(self.quick("/Q0").text, NO_DIRECTORY)
        self.assertEqual(self.box.change_script(), RESET)


class Encodings(unittest.TestCase):
    def test_utf8_with_mark_reads_non_ascii_paths(self):
        with Sandbox() as box:
            drive = box.map_drive("D")
            box.write_ini("\ufeff[QuickDIR]\r\nQ1=D:\\Café ünïcode\r\n".encode("utf-8"))
            box.run("/q1", cwd=drive)
            self.assertEqual(chdir_target(box.change_script()), "D:\\Café ünïcode\\")

    def test_without_a_mark_utf8_else_ansi_and_utf16_after_its_mark(self):
        line = "[QuickDIR]\r\nQ1=D:\\{}\r\n"
        cases = [(line.format("Jörg Müller").encode("utf-8"), "D:\\Jörg Müller\\"),
                 (line.format("Jörg Müller").encode(f"cp{harness.HOST.ansi_code_page}"), "D:\\Jörg Müller\\"),
                 (("\ufeff" + line.format("Jörg 中文")).encode("utf-16-le"), "D:\\Jörg 中文\\")]
        for content, expected in cases:
            with self.subTest(expected), Sandbox() as box:
                drive = box.map_drive("D")
                box.write_ini(content)
                box.run("/q1", cwd=drive)
                self.assertEqual(chdir_target(box.change_script()), expected)

    def test_line_feeds_alone_end_lines_too(self):
        with Sandbox() as box:
            drive = box.map_drive("D")
            box.write_ini(b"[QuickDIR]\nQ1\nD:\\next\nQ2=D:\\B\n")
            self.assertRegex(box.run("/q1", cwd=drive).text, NO_DIRECTORY)
            box.run("/q2", cwd=drive)
            self.assertEqual(chdir_target(box.change_script()), "D:\\B\\")


class BadConfigurationFiles(unittest.TestCase):
    """Whatever lies at ZRN.INI, the program starts, uses the defaults where
    nothing usable was found, and ends with exit code 0."""

    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.drive = self.box.map_drive("D")

    def expect_defaults(self):
        result = self.box.run("/q3", cwd=self.drive, timeout=120)
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.text, NO_DIRECTORY)
        self.assertEqual(self.box.change_script(), RESET)
        info = self.box.run("/info", cwd=self.drive, timeout=120)
        self.assertEqual(info.returncode, 0)
        self.assertEqual(info.text.count("\r\n"), 15)

    def expect_q3(self, folder):
        result = self.box.run("/q3", cwd=self.drive, timeout=120)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(chdir_target(self.box.change_script()), folder)

    def test_files_with_nothing_usable_give_the_defaults(self):
        rng = random.Random(20240825)
        noise = rng.randbytes(65536)
        cases = {
            "random bytes": noise,
            "random bytes without zero": noise.replace(b"\0", b"\1"),
            "random bytes after the UTF-8 mark": b"\xef\xbb\xbf" + noise.replace(b"\0", b"\1"),
            "one line of 100,000 characters": b"Q" * 100000,
            "huge Indextime": b"[Default]\r\nIndextime = 99999999999\r\n",
            "negative Indextime": b"[Default]\r\nIndextime = -1\r\n",
            "a lone [": b"[",
            "a lone =": b"=",
            "keys without a group": b"Q3=D:\\x\r\nIndextime=4\r\n",
            "empty file": b"",
            "only line ends": b"\r\n\n\r" * 1000,
            "half a mark": b"\xef\xbb",
        }
        for label, content in cases.items():
            with self.subTest(label):
                self.box.write_ini(content)
                self.expect_defaults()

    def test_only_whole_lines_within_four_megabytes_are_read(self):
        limit = 4 << 20
        tail = b"[QuickDIR]\r\nQ3=D:\\at the end\r\n"

        def padded_to(size):
            return b";" * (size - len(tail) - 2) + b"\r\n" + tail

        self.box.write_ini(padded_to(limit))
        self.expect_q3("D:\\at the end\\")
        # The limit cuts the Q3 line ("Q3=D:\\at th"): not read at all.
        self.box.write_ini(padded_to(limit + 5))
        self.expect_defaults()

    def test_a_long_line_does_not_hide_the_lines_after_it(self):
        self.box.write_ini(b"[exclude]\r\n" + b"x" * 100000 + b"\r\n[QuickDIR]\r\nQ3=D:\\after\r\n")
        self.expect_q3("D:\\after\\")

    def test_a_directory_named_like_the_file(self):
        (self.box.program_dir / "ZRN.INI").mkdir()
        self.expect_defaults()

    def hold(self, share_mode):
        """Starts a Windows process that holds ZRN.INI open for writing with
        `share_mode` until the test ends; returns once the file is held."""
        holder = self.box.hold(self.box.program_dir / "ZRN.INI", share_mode)
        self.addCleanup(holder.finish)
        return holder

    def test_a_file_held_open_for_writing_that_lets_readers_in_is_read(self):
        self.box.write_ini(b"[QuickDIR]\r\nQ3=D:\\held\r\n")
        self.hold(share_mode=1)  # FILE_SHARE_READ
        self.expect_q3("D:\\held\\")

    def test_a_locked_file_counts_as_missing(self):
        self.box.write_ini(b"[QuickDIR]\r\nQ3=D:\\locked\r\n")
        self.hold(share_mode=0)
        self.expect_defaults()


if __name__ == "__main__":
    unittest.main()
