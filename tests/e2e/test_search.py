"""A search from outside: the current-directory pass, the index pass with the
index it builds on a mapped drive, the rebuild rules, the temporary folder,
accented names and the wrapper in Wine's cmd."""

import os
import pathlib
import shutil
import tempfile
import time
import unittest

from change_scripts import RESET, script_for
from harness import HOST, Sandbox

README = (b"This hidden directory contains the file IndexFile.ZRN.\r\n"
          b"This is an index file for the Zarnpath program.\r\n"
          b"If you no longer use this app, you can delete this directory.\r\n"
          b"If you continue using the program, the directory will be recreated automatically.\r\n"
          b"https://zarnpath.example\r\n")



class SearchBox(unittest.TestCase):
    """Drive D: with a small tree; the program's temporary folder is T:\\tmp
    so that what a run leaves there can be seen."""

    ini = None

    def setUp(self):
        self.box = Sandbox(ini=self.ini)
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.box.make_dirs(self.d, "Work/Alpha", "Work/Beta", "Code/Projects/Old", "Code/bootstrap/Projects",
                           "Misc/Templates/Projects x", "Misc/Caf\u00e9 Noir", "Misc/Z\u00fcrich", "Single/Unique Place")
        self.t = self.box.map_drive("T")
        (self.t / "tmp").mkdir()
        self.temp_windows = "T:\\tmp"

    def search(self, args, cwd=None, temp=None):
        temp = temp or self.temp_windows
        line = f'set "TEMP={temp}"& set "TMP={temp}"& "{self.box.exe_windows}" {args}'
        result = self.box.run_cmd(line, cwd=cwd or self.d / "Work", timeout=180)
        self.assertEqual(result.returncode, 0, (result.stdout[-500:], result.stderr[-500:]))
        return result

    @property
    def index(self):
        return self.d / "Zarnpath" / "Indexfile.ZRN"


class CurrentDirectoryPass(SearchBox):
    def test_one_sub_directory_match_is_taken_without_the_index(self):
        self.search("ALP")
        self.assertEqual(self.box.change_script(), script_for("D:\\Work\\Alpha"))
        self.assertFalse((self.d / "Zarnpath").exists())
        self.assertEqual(list((self.t / "tmp").iterdir()), [])

    def test_current_directory_wins_over_a_typed_drive(self):
        self.search("d:beta")
        self.assertEqual(self.box.change_script(), script_for("D:\\Work\\Beta"))
        self.assertFalse((self.d / "Zarnpath").exists())

    def test_accented_sub_directory(self):
        # Straight from Wine, not through a batch file: cmd would read an
        # accented letter in a batch file in its own code page.
        self.box.run("CAF\u00c9", cwd=self.d / "Misc")
        self.assertEqual(self.box.change_script(), script_for("D:\\Misc\\Caf\u00e9 Noir"))


class IndexPass(SearchBox):
    ini = "[exclude]\r\ntemp\r\n"

    def test_builds_the_index_and_finds_the_directory(self):
        self.search("unique")
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        lines = self.index.read_bytes().split(b"\r\n")
        self.assertEqual(lines[-1], b"")
        self.assertNotIn(b"\n", b"".join(lines))
        listed = {line.decode("cp1252") for line in lines[:-1]}
        self.assertEqual(listed, {
            "D:\\Work", "D:\\Work\\Alpha", "D:\\Work\\Beta", "D:\\Code", "D:\\Code\\Projects",
            "D:\\Code\\Projects\\Old", "D:\\Misc", "D:\\Misc\\Caf\u00e9 Noir", "D:\\Misc\\Z\u00fcrich",
            "D:\\Single", "D:\\Single\\Unique Place"})
        self.assertEqual((self.d / "Zarnpath" / "Readme.TXT").read_bytes(), README)
        self.assertEqual(list((self.t / "tmp").iterdir()), [])
        attrib = self.box.run_cmd("attrib D:\\Zarnpath", cwd=self.d).text
        self.assertIn("H", attrib.split("D:\\")[0], attrib)

    def test_first_occurrence_must_lie_in_the_last_component(self):
        self.search("projects")
        # D:\Code\Projects only: Old lies below it, bootstrap and Templates
        # trees are excluded.
        self.assertEqual(self.box.change_script(), script_for("D:\\Code\\Projects"))

    def test_accented_name_found_through_the_index(self):
        self.box.run("Z\u00dcR", cwd=self.d / "Work")
        self.assertEqual(self.box.change_script(), script_for("D:\\Misc\\Z\u00fcrich"))
        self.assertIn("D:\\Misc\\Z\u00fcrich\r\n".encode("cp1252"), self.index.read_bytes())

    def test_no_match_prints_the_message(self):
        result = self.search("nowhere to be found")
        self.assertIn("No directory found...", result.text)
        self.assertEqual(self.box.change_script(), RESET)
        self.assertTrue(self.index.exists())

    def test_drive_searched_from_a_current_directory_on_c(self):
        cwd = pathlib.Path(tempfile.mkdtemp(prefix="zrn-cwd-", dir=HOST.system_drive()))
        self.addCleanup(shutil.rmtree, cwd, True)
        self.search("d:unique", cwd=cwd)
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        self.assertFalse((HOST.system_drive() / "Zarnpath").exists())

    def test_temporary_folder_with_a_blank(self):
        (self.t / "tmp dir").mkdir()
        self.search("unique", temp="T:\\tmp dir")
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        self.assertEqual(list((self.t / "tmp dir").iterdir()), [])
        self.search("beta", temp="T:\\tmp dir")
        self.assertEqual(self.box.change_script(), script_for("D:\\Work\\Beta"))

    def test_wrapper_moves_the_shell(self):
        line = (f'set "TEMP={self.temp_windows}"& set "TMP={self.temp_windows}"& '
                f'call "{self.box.wrapper_windows}" unique & cd')
        result = self.box.run_cmd(line, cwd=self.d / "Work", timeout=180)
        self.assertEqual(result.text.rstrip().splitlines()[-1], "D:\\Single\\Unique Place")


class Rebuilds(SearchBox):
    ini = "[Default]\r\nIndextime = 2\r\n"
    STALE = "D:\\Stale\\Unique Old\r\n".encode("cp1252")

    def plant_index(self, content, age_days):
        (self.d / "Zarnpath").mkdir(exist_ok=True)
        self.index.write_bytes(content)
        stamp = time.time() - age_days * 86400
        os.utime(self.index, (stamp, stamp))

    def test_empty_index_is_rebuilt(self):
        self.plant_index(b"", 0)
        self.search("unique")
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        self.assertIn(b"D:\\Work\\Alpha\r\n", self.index.read_bytes())

    def test_old_index_is_rebuilt(self):
        self.plant_index(self.STALE, 15)
        self.search("unique")
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        self.assertNotIn(self.STALE, self.index.read_bytes())

    def test_younger_index_is_read_as_it_is(self):
        self.plant_index(self.STALE, 13)
        self.search("unique")
        self.assertEqual(self.box.change_script(), script_for("D:\\Stale\\Unique Old"))
        self.assertEqual(self.index.read_bytes(), self.STALE)


if __name__ == "__main__":
    unittest.main()
