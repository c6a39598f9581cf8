"""ZRN.BAT in Wine's cmd: every typed word reaches the program, none runs as a
command, the caller's shell gets nothing of the wrapper's back, and the run
folders in the temporary folder are the wrapper's own. Each payload would
create a directory INJ...; none may appear anywhere."""

import os
import shutil
import subprocess
import time
import unittest

import harness
from change_scripts import RESET
from harness import Sandbox, windows_path

DAY = 24 * 60 * 60


class Wrapper(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.t = self.box.map_drive("T")
        self.tmp = self.t / "tmp"
        self.tmp.mkdir()
        self.box.make_dirs(self.d, "work", "Alpha_Dir")

    def wrapper(self, words, before="", temp="T:\\tmp", call=None, after=""):
        """Runs ZRN with `words` between the batch lines `before` and
        `after`: the lines printed, the shell's directory last, once no
        payload ran and no ZRN_ variable is left."""
        call = call or f'call "{self.box.wrapper_windows}"'
        line = (f'set "TEMP={temp}"& set "TMP={temp}"\r\nset ZRN\r\necho ----\r\n{before}\r\n'
                f"{call} {words}\r\nset ZRN\r\n{after}\r\ncd")
        result = self.box.run_cmd(line, cwd=self.d / "work", timeout=120)
        self.assertEqual(sorted(p.name for p in self.box.root.rglob("INJ*")), [])
        lines = result.text.rstrip("\r\n").split("\r\n")
        self.assertIn("----", lines, f"cmd ended with {result.returncode}: {result.text!r} {result.stderr[-500:]!r}")
        mark = lines.index("----")
        variables = [[l for l in part if l.startswith("ZRN_")] for part in (lines[:mark], lines[mark + 1:])]
        self.assertEqual(variables[1], variables[0])
        return [l for l in lines[mark + 1:] if not l.startswith("ZRN_")]

    def test_each_typed_word_arrives_as_typed_and_nothing_runs(self):
        # Wine's cmd takes , ; = and tabs between words, as cmd does for a
        # batch file's parameters; Windows hands them over inside the word.
        split = harness.HOST.splits_words_at_separators
        cases = [
            ('"" alpha', {"D:\\Alpha_Dir"}),
            ('qx" "y', {"D:\\qx y"}),
            ('z"b', {"D:\\zb"}),
            ("R^&md INJ1", {"D:\\R&md INJ1"}),
            ('a"&"md INJ2', {"D:\\a&md INJ2"}),
            ('x"=="x" md INJ3 & rem "', {"D:\\x==x md INJ3 & rem"}),
            ("k,l", {"D:\\k l" if split else "D:\\k,l"}),
            ("m;n=o\tp", {"D:\\m n o p" if split else "D:\\work"}),
            ('"unbalanced quote', {"D:\\unbalanced quote"}),
            ("'\"' ^| md INJ4", {"D:\\work"}),
            ("/ / / /** ^> INJ5", {"D:\\work"}),
            ('Zürich /qé ^& md INJ6', {"D:\\work"}),
        ]
        for words, landings in cases:
            for landing in landings:
                if landing != "D:\\work":
                    (self.d / landing[3:]).mkdir(exist_ok=True)
        for words, landings in cases:
            with self.subTest(words=words):
                self.assertIn(self.wrapper(words)[-1], landings)
        self.assertEqual(list(self.tmp.iterdir()), [])

    def test_delayed_expansion_and_a_program_folder_holding_exclamation_marks(self):
        folder = self.box.root / "p!x!q"
        self.box.program_dir.rename(folder)
        before = f'set "PATH={windows_path(folder)};%PATH%"\r\nsetlocal EnableDelayedExpansion'
        self.assertEqual(self.wrapper("alpha", before, call="call ZRN")[-1], "D:\\Alpha_Dir")
        self.assertEqual(list(self.tmp.iterdir()), [])

    def test_a_variable_named_random_and_leftovers_of_its_names(self):
        for try_number in range(1, 51):
            (self.tmp / f"ZRN-7-7-{try_number}").mkdir()
        lines = self.wrapper("alpha", 'set "RANDOM=7"', after="set RANDOM")
        self.assertEqual(lines[-2:], ["RANDOM=7", "D:\\Alpha_Dir"])

    def test_a_failed_command_before_it(self):
        self.assertEqual(self.wrapper("alpha", "cmd /c exit 1")[-1], "D:\\Alpha_Dir")

    def test_a_temporary_folder_holding_a_caret(self):
        (self.t / "a^b").mkdir()
        self.assertEqual(self.wrapper("alpha", temp="T:\\a^b")[-1], "D:\\Alpha_Dir")

    def test_only_a_script_the_program_made_whole_runs(self):
        # A stand-in for the program writes a script of its own, first
        # before the real program runs, then instead of it.
        real = self.box.program_dir / "REAL.EXE"
        self.box.exe.rename(real)
        shutil.copy2(harness.PLANTED_PROGRAM, self.box.exe)
        for real_runs in (True, False):
            with self.subTest(real_runs=real_runs):
                if not real_runs:
                    real.unlink()
                lines = self.wrapper("alpha")
                self.assertNotIn("PLANTED SCRIPT RAN", lines)
                self.assertEqual(lines[-1], "D:\\work")
                self.assertEqual(list(self.tmp.iterdir()), [])

    def test_folders_of_stopped_runs_go_and_others_stay(self):
        old = time.time() - 2 * DAY
        folders = {"ZRN-1-1-1": ("ZRN2.BAT", "ZRNARGS.TXT", "123.OK"), "ZRN-2-2-1": ("mine.txt",),
                   "ZRN-3-3-1": ("ZRN2.BAT",), "ZRN-4-4-1": ("ZRN2.BAT",), "ZRN-5-5-1": ("ZRN2.BAT",)}
        for name, files in folders.items():
            (self.tmp / name).mkdir()
            for file in files:
                (self.tmp / name / file).write_bytes(b"x")
                # The script of a page left open long was written only now.
                if name not in ("ZRN-3-3-1", "ZRN-5-5-1"):
                    os.utime(self.tmp / name / file, (old, old))
            if name != "ZRN-3-3-1":
                os.utime(self.tmp / name, (old, old))
        # A run still going holds its script open.
        holder = self.box.start(harness.FILE_HOLDER, "T:\\tmp\\ZRN-4-4-1\\ZRN2.BAT", "0", stdin=subprocess.PIPE)
        holder.wait_output(b"held")
        self.assertEqual(self.wrapper("alpha")[-1], "D:\\Alpha_Dir")
        holder.finish()
        self.assertEqual(sorted(str(p.relative_to(self.tmp)) for p in self.tmp.rglob("*")),
                         sorted(f"{name}{suffix}" for name in ("ZRN-2-2-1", "ZRN-3-3-1", "ZRN-4-4-1", "ZRN-5-5-1")
                                for suffix in ("", "/" + folders[name][0])))


class ScriptNamedByTheEnvironment(unittest.TestCase):
    """Started directly with the wrapper's variables set, the program writes
    only a script it creates in a run folder, and claims no other."""

    def test_no_file_is_written_through(self):
        with Sandbox() as box:
            d = box.map_drive("D")
            box.make_dirs(d, "work/alpha", "tmp/ZRN-1")
            planted = d / "tmp" / "ZRN-1" / "ZRN2.BAT"
            notes = d / "notes.txt"
            for target, held in ((notes, False), (planted, False), (planted, True)):
                target.write_bytes(b"@md INJP\r\n")
                holder = box.start(harness.FILE_HOLDER, windows_path(target), "7", stdin=subprocess.PIPE)
                holder.wait_output(b"held")
                if not held:
                    holder.finish()
                result = box.run_cmd(f'set "TMP=D:\\tmp"& set "ZRN_SCRIPT={windows_path(target)}"& '
                                     f'"{box.exe_windows}" alpha', cwd=d / "work", timeout=120)
                holder.finish()
                self.assertEqual(target.read_bytes(), b"@md INJP\r\n")
                self.assertEqual(result.returncode, 0)

    def test_a_run_folder_without_the_words_changes_nothing(self):
        with Sandbox() as box:
            d = box.map_drive("D")
            box.make_dirs(d, "work/alpha", "tmp/ZRN-2")
            result = box.run_cmd(f'set "TMP=D:\\tmp"& set "ZRN_SCRIPT=D:\\tmp\\ZRN-2\\ZRN2.BAT"& '
                                 f'"{box.exe_windows}" alpha', cwd=d / "work", timeout=120)
            self.assertIn("ZRN could not read the words you typed", result.text)
            self.assertEqual((d / "tmp" / "ZRN-2" / "ZRN2.BAT").read_bytes(), RESET)


if __name__ == "__main__":
    unittest.main()
