"""Reaching today's folders: the rebuild switch /R, the age of the index after
a search without a match, path queries, every indexed drive with *:, and the
learned order with the file of choices it keeps."""

import os
import time
import unittest

from harness import Sandbox, restart_wine


class Reach(unittest.TestCase):
    ini = None

    def setUp(self):
        self.box = Sandbox(ini=self.ini)
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.box.make_dirs(self.d, "work/rx", "P/zarn-web/src", "P/zarn-web/old/src", "P/other/src", "Q/src")

    def zrn(self, *lines, cwd=None):
        """Types the lines at a prompt in D:\\work, ZRN being the wrapper; the
        lines printed."""
        text = "\r\n".join(line.replace("ZRN ", f'call "{self.box.wrapper_windows}" ') for line in lines)
        result = self.box.run_cmd(text, cwd=cwd or self.d / "work", timeout=180)
        self.assertEqual(result.returncode, 0, result.stderr[-500:])
        return result.text.rstrip("\r\n").split("\r\n")


class Rebuild(Reach):
    ini = "[Default]\r\nIndextime = 0\r\n"

    def test_a_new_folder_is_found_after_the_rebuild_switch(self):
        self.zrn("ZRN d: /R")
        self.box.make_dirs(self.d, "Bulk/brandnewfolder42")
        index = self.d / "Zarnpath" / "Indexfile.ZRN"
        built = time.time() - 12 * 86400 - 3600
        os.utime(index, (built, built))
        date = time.strftime("%Y-%m-%d", time.localtime(built))
        self.assertEqual(self.zrn("ZRN brandnewfolder42", "cd")[-3:],
                         ["No directory found...",
                          f"The index of D: is 12 days old ({date}); ZRN d: /R rebuilds it.", "D:\\work"])
        self.assertEqual(self.zrn("ZRN /R", "ZRN brandnewfolder42", "cd"),
                         ["The index of D: was rebuilt: D:\\Zarnpath\\Indexfile.ZRN",
                          "Directory has been changed to D:\\Bulk\\brandnewfolder42", "D:\\Bulk\\brandnewfolder42"])

    def test_r_without_a_slash_still_searches(self):
        self.assertEqual(self.zrn("ZRN r", "cd")[-1], "D:\\work\\rx")


class PathQueries(Reach):
    def test_parent_and_name_land_in_the_one_match(self):
        self.assertEqual(self.zrn("ZRN zarn\\src", "cd")[-1], "D:\\P\\zarn-web\\src")
        # The learned order is off: nothing of the user's choices is kept.
        self.assertFalse(self.box.choices_file().exists())


class AllDrives(Reach):
    def test_every_indexed_drive_is_searched_and_no_other_built(self):
        e = self.box.map_drive("E")
        f = self.box.map_drive("F")
        for drive in (e, f):
            self.box.make_dirs(drive, "proj")
        self.box.make_dirs(self.d, "x/proj")
        restart_wine()
        self.zrn("ZRN d: /R", "ZRN e: /R")
        # Without a console the matches are listed, one per line.
        self.assertEqual(self.zrn("ZRN *:proj"), ["D:\\x\\proj", "E:\\proj"])
        self.assertFalse((f / "Zarnpath").exists())


class LearnedOrder(Reach):
    ini = "[Default]\r\nOrder = learned\r\n"

    def setUp(self):
        super().setUp()
        self.box.make_dirs(self.d, "a/src-old", "b/mysrc", "c/src-chosen-one")

    def test_exact_name_then_the_folder_chosen_before(self):
        self.zrn("ZRN src-chosen", "ZRN src-chosen")
        self.assertEqual(self.zrn("ZRN src", cwd=self.d), [
            "D:\\Q\\src", "D:\\P\\other\\src", "D:\\P\\zarn-web\\src", "D:\\P\\zarn-web\\old\\src",
            "D:\\c\\src-chosen-one", "D:\\a\\src-old", "D:\\b\\mysrc"])

    def test_choices_made_at_once_are_all_kept(self):
        self.zrn("ZRN src-old")  # builds the index first
        # Through the wrapper, as from five consoles: each run has a script of its own.
        runs = [self.box.start("cmd", "/c", self.box.wrapper_windows, name, cwd=self.d / "work")
                for name in ("src-old", "mysrc", "src-old", "mysrc", "src-chosen")]
        for run in runs:
            self.assertEqual(run.run(180).returncode, 0)
        lines = self.box.choices_file().read_bytes().decode("utf-8").split("\r\n")
        counts = {line.split("\t")[2]: int(line.split("\t")[0]) for line in lines[1:-1]}
        self.assertEqual(counts, {"D:\\a\\src-old": 3, "D:\\b\\mysrc": 2, "D:\\c\\src-chosen-one": 1})


if __name__ == "__main__":
    unittest.main()
