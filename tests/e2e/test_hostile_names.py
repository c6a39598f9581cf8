"""Names, indexes and ZRN.INI entries that someone else prepared (a shared
drive, a stick, a planted file): none of them becomes a command in the user's
shell, and none sends the shell to another directory. Each payload would
create a directory named INJ...; none may appear."""

import unittest

from harness import Sandbox, windows_path

WF1 = "wf1\uff02\uff06md INJWF1\uff06\uff02"  # fullwidth quotation mark and ampersand
WF2 = "wf2\u02ba\uff06md INJWF2\uff06\u02ba"  # modifier letter double prime
MACRON = "bf\u0100x"
FULLWIDTH = "\uff46\uff55\uff4c\uff4c"  # "full" in fullwidth letters


class HostileBox(unittest.TestCase):
    ini = None

    def setUp(self):
        self.box = Sandbox(ini=self.ini)
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.work = self.d / "Work"
        self.box.make_dirs(self.d, "Work/Nothing")

    @property
    def index(self):
        return self.d / "Zarnpath" / "Indexfile.ZRN"

    def plant_index(self, content):
        self.index.parent.mkdir(exist_ok=True)
        self.index.write_bytes(content)

    def search(self, text):
        result = self.box.run(text, cwd=self.work, timeout=180)
        self.assertEqual(result.returncode, 0, result.stderr[-500:])
        return result

    def run_change_script(self):
        """Runs the script the program wrote in Wine's cmd, from D:\\Work;
        returns the directory cmd ends in."""
        script = windows_path(self.box.program_dir / "ZRN2.BAT")
        result = self.box.run_cmd(f'call "{script}" & cd', cwd=self.work, timeout=60)
        return result.text.rstrip("\r\n").split("\r\n")[-1]

    def assertNoMarker(self):
        self.assertEqual(sorted(p.name for p in self.box.root.rglob("INJ*")), [])


class LookAlikeNames(HostileBox):
    def test_look_alikes_are_neither_indexed_as_ascii_nor_run(self):
        self.box.make_dirs(self.d, f"lk/{WF1}", f"lk/{WF2}", f"lk/{MACRON}", f"lk/{FULLWIDTH}")
        self.search("nothing here")
        lines = [line for line in self.index.read_bytes().split(b"\r\n") if line.startswith(b"D:\\lk\\")]
        self.assertEqual(len(lines), 4, lines)
        for line in lines:
            self.assertNotIn(b'"', line)
            self.assertNotIn(b"&", line)
        self.assertNotIn(b"bfAx", self.index.read_bytes())
        self.assertNotIn(b"full", self.index.read_bytes().lower())
        self.assertIn("No directory found...", self.search("full").text)

        for text, name in (("wf1", WF1), ("wf2", WF2), ("bf", MACRON)):
            with self.subTest(name=text):
                self.search(text)
                script = self.box.change_script()
                self.assertIn(f"D:\\lk\\{name}".encode("utf-8"), script)
                self.assertNotIn(b"?", script)
                self.run_change_script()
                self.assertNoMarker()


class PlantedIndex(HostileBox):
    def test_lines_that_are_no_path_are_never_offered(self):
        self.box.make_dirs(self.d, "pl/Good photos")
        self.plant_index(b'D:\\pl\\photos"&md INJX&"\r\n'
                         b"D:\\pl\\photos\x00&md INJN&\r\n"
                         b"D:\\pl\\photos\x07&md INJC&\r\n"
                         b"D:\\pl\\Good photos\r\n"
                         b"D:\\pl\\photos" + b"x&md INJL&" * 5_000_000)
        self.search("photos")
        self.assertIn('chdir /D "D:\\pl\\Good photos"'.encode(), self.box.change_script())
        self.assertEqual(self.run_change_script(), "D:\\pl\\Good photos")
        self.assertNoMarker()

    def test_default_character_resolves_to_the_real_directory(self):
        # data1 beside dataЖ: cmd's chdir would take "data?" as a wildcard
        # and enter data1. The second line names a folder that is not there.
        self.box.make_dirs(self.d, "d/data1", "d/data\u0416")
        self.plant_index(b"D:\\d\\data?\r\nD:\\gone\\data?\r\n")
        self.search("data")
        script = self.box.change_script()
        self.assertIn("D:\\d\\data\u0416".encode("utf-8"), script)
        self.assertNotIn(b"?", script)
        self.assertNotIn(b"data1", script)
        self.assertNotEqual(self.run_change_script(), "D:\\d\\data1")


class QuickDirectoryWithAQuote(HostileBox):
    ini = '[QuickDIR]\r\nQ1=D:\\q"&md INJQ&"\r\n'

    def test_entry_counts_as_empty(self):
        result = self.box.run_cmd(f'call "{self.box.wrapper_windows}" /q1 & cd', cwd=self.work, timeout=60)
        lines = result.text.rstrip("\r\n").split("\r\n")
        self.assertIn("No directory associated with this /Q switch.", lines)
        self.assertEqual(lines[-1], "D:\\Work")
        self.assertEqual(self.box.change_script(), b"@echo off\r\n")
        self.assertNoMarker()


if __name__ == "__main__":
    unittest.main()
