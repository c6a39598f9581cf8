"""Names, indexes and ZRN.INI entries that someone else prepared never run a
command in the user's shell nor send it elsewhere. Each payload would create a
directory INJ...; none may appear anywhere."""

import unittest

from harness import Sandbox, windows_path

WF1 = "wf1\uff02\uff06md INJWF1\uff06\uff02"  # fullwidth quotation mark and ampersand
WF2 = "wf2\u02ba\uff06md INJWF2\uff06\u02ba"  # modifier letter double prime


class HostileInput(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox(ini='[QuickDIR]\r\nQ1=D:\\q"&md INJQ&"\r\n')
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.box.make_dirs(self.d, "Work/Nothing")
        self.index = self.d / "Zarnpath" / "Indexfile.ZRN"

    def search(self, text, index=None):
        if index is not None:
            self.index.parent.mkdir(exist_ok=True)
            self.index.write_bytes(index)
        self.assertEqual(self.box.run(text, cwd=self.d / "Work", timeout=180).returncode, 0)
        return self.box.change_script()

    def shell(self, command):
        """Runs `command` in Wine's cmd from D:\\Work: the lines it printed,
        after checking that no payload ran."""
        lines = self.box.run_cmd(command, cwd=self.d / "Work", timeout=60).text.rstrip("\r\n").split("\r\n")
        self.assertEqual(sorted(p.name for p in self.box.root.rglob("INJ*")), [])
        return lines

    def run_change_script(self):
        return self.shell(f'call "{windows_path(self.box.program_dir / "ZRN2.BAT")}" & cd')[-1]

    def test_look_alikes_are_neither_indexed_as_ascii_nor_run(self):
        self.box.make_dirs(self.d, f"lk/{WF1}", f"lk/{WF2}", "lk/bf\u0100x", "lk/\uff46\uff55\uff4c\uff4c")
        self.assertEqual(self.search("full"), b"@echo off\r\n")  # not indexed as "full"
        lines = [line for line in self.index.read_bytes().split(b"\r\n") if line.startswith(b"D:\\lk\\")]
        self.assertEqual(len(lines), 4, lines)
        for line in lines:
            self.assertNotIn(b'"', line)
            self.assertNotIn(b"&", line)
        self.assertNotIn(b"bfAx", self.index.read_bytes())
        for text, name in (("wf1", WF1), ("wf2", WF2), ("bf", "bf\u0100x")):
            script = self.search(text)
            self.assertIn(f"D:\\lk\\{name}".encode("utf-8"), script)
            self.assertNotIn(b"?", script)
            self.run_change_script()

    def test_planted_lines_that_are_no_path_are_never_offered(self):
        self.box.make_dirs(self.d, "pl/Good photos")
        self.search("photos", b'D:\\pl\\photos"&md INJX&"\r\nD:\\pl\\photos\x00&md INJN&\r\n'
                    b"D:\\pl\\photos\x07&md INJC&\r\nD:\\pl\\Good photos\r\n"
                    b"D:\\pl\\photos" + b"x&md INJL&" * 5_000_000)
        self.assertEqual(self.run_change_script(), "D:\\pl\\Good photos")

    def test_default_character_resolves_to_the_real_directory(self):
        # cmd's chdir would take "data?" as a wildcard and enter data1.
        self.box.make_dirs(self.d, "d/data1", "d/data\u0416")
        script = self.search("data", b"D:\\d\\data?\r\nD:\\gone\\data?\r\n")
        self.assertIn("D:\\d\\data\u0416".encode("utf-8"), script)
        self.assertNotIn(b"?", script)
        self.assertNotEqual(self.run_change_script(), "D:\\d\\data1")

    def test_quick_directory_with_a_quote_counts_as_empty(self):
        lines = self.shell(f'call "{self.box.wrapper_windows}" /q1 & cd')
        self.assertRegex(lines[-2], r"^No directory associated with /Q1: Q1 in .*ZRN\.INI is not a usable directory name\.$")
        self.assertEqual(lines[-1], "D:\\Work")


if __name__ == "__main__":
    unittest.main()
