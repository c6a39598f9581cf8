"""Hostile indexes, search texts and drives: every run ends with exit code 0,
nothing hangs, and a good index is never replaced by a broken one."""

import os
import random
import time
import unittest

from change_scripts import RESET, script_for
from harness import Sandbox


class BadIndexes(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.box.make_dirs(self.d, "Work/Nothing", "Real/Target Here")
        self.data = self.d / "Zarnpath"
        self.data.mkdir()
        self.index = self.data / "Indexfile.ZRN"

    def run_search(self, *args):
        result = self.box.run(*args, cwd=self.d / "Work", timeout=120)
        self.assertEqual(result.returncode, 0, (result.stdout[-500:], result.stderr[-500:]))
        return result

    def test_random_bytes(self):
        rng = random.Random(5)
        content = bytes(rng.randrange(256) for _ in range(200_000))
        self.index.write_bytes(content)
        self.run_search("q")
        self.assertEqual(self.index.read_bytes(), content)
        self.assertTrue(self.box.change_script().startswith(RESET))

    def test_very_long_line_and_no_line_end_at_the_end(self):
        # A line too long for a path is skipped, and the last line counts
        # without a line end.
        long_line = b"D:\\" + b"x" * 100_000 + b"\\Long Target"
        self.index.write_bytes(long_line + b"\r\nD:\\a\nD:\\Last Target")
        self.run_search("target")
        self.assertEqual(self.box.change_script(), script_for("D:\\Last Target"))

    def test_index_that_is_a_directory(self):
        self.index.mkdir()
        self.run_search("target")
        # The build cannot copy over a directory: the index goes to the
        # user's own folder instead, and answers the search.
        self.assertEqual(self.box.change_script(), script_for("D:\\Real\\Target Here"))
        self.assertTrue(self.index.is_dir())

    def test_an_index_held_by_another_program_is_named_not_taken_for_no_match(self):
        self.index.write_bytes(b"D:\\Real\\Target Here\r\n")
        self.addCleanup(self.box.hold(self.index, share_mode=0).finish)
        result = self.run_search("target")
        self.assertIn("The index file D:\\Zarnpath\\Indexfile.ZRN could not be read; nothing was searched.",
                      result.text)
        self.assertNotIn("No directory found", result.text)
        self.assertEqual(self.box.change_script(), RESET)

    def test_odd_search_texts(self):
        self.index.write_bytes(b"D:\\Real\r\nD:\\Real\\Target Here\r\n")
        for args in (["target\\real"], ["   "], ["x" * 30_000], ["\\"]):
            with self.subTest(args=args[0][:20]):
                result = self.run_search(*args)
                self.assertIn("No directory found...", result.text)
                self.assertEqual(self.box.change_script(), RESET)


class BrokenBuilds(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox(ini="[Default]\r\nIndextime = 1\r\n")
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.box.make_dirs(self.d, "Work/Nothing", "Real/Target Here")

    def test_drive_that_does_not_exist(self):
        result = self.box.run("q:target", cwd=self.d / "Work", timeout=120)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.text, "Drive Q: is not available.\r\n")

    def test_a_temporary_folder_pointing_nowhere_is_made_and_the_old_index_replaced(self):
        # The index is too old and the temporary folder does not exist: the
        # folder is made, so the build gets its listing and the search is not
        # blind. (A build that gets no whole listing keeps the old index: see
        # the killed build in test_integrity.)
        data = self.d / "Zarnpath"
        data.mkdir()
        index = data / "Indexfile.ZRN"
        index.write_bytes(b"D:\\Real\r\nD:\\Real\\Gone Target\r\n")
        stamp = time.time() - 30 * 86400
        os.utime(index, (stamp, stamp))
        line = f'set "TEMP=D:\\no such dir\\x"& set "TMP=D:\\no such dir\\x"& "{self.box.exe_windows}" target'
        result = self.box.run_cmd(line, cwd=self.d / "Work", timeout=120)
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"D:\\Real\\Target Here\r\n", index.read_bytes())
        self.assertEqual(self.box.change_script(), script_for("D:\\Real\\Target Here"))
        self.assertEqual(sorted(p.name for p in data.iterdir()), ["Indexfile.ZRN", "Readme.TXT"])
        self.assertEqual(list((self.d / "no such dir" / "x").iterdir()), [])

if __name__ == "__main__":
    unittest.main()
