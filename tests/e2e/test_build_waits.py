"""Waiting for an index build: the progress line, ESC and the keys typed
meanwhile, one build per F2, the index of a drive whose root cannot be
written, and a drive letter with no drive."""

import os
import re
import time
import unittest

from harness import Sandbox, wait_until

RESET = b"@echo off\r\n"
PROGRESS = re.compile(r"Indexing K:\\ - [1-9][0-9,]* folders listed - ESC cancels")


class BuildWaits(unittest.TestCase):
    def setUp(self):
        # Indextime 1: an index thirty days old is rebuilt.
        self.box = Sandbox("[Default]\r\nIndextime = 1\r\n")
        self.addCleanup(self.box.close)
        self.k = self.box.map_drive("K")
        self.box.make_many_dirs(self.k, 6000)
        self.box.make_dirs(self.k, "deep/findme a", "deep/findme b")
        self.index = self.k / "Zarnpath" / "Indexfile.ZRN"

    def building(self, *args, command=None):
        """The program in a pane, once its build of K: shows its progress."""
        pane = self.box.pane(*args, cwd=self.k, command=command)
        try:
            pane.wait_for("Indexing K:\\", timeout=60)
        except AssertionError as missed:
            # No build at all, or one too short to be seen: say which.
            indexes = [str(p) for p in (self.index, *self.box.fallback_indexes("K")) if p.exists()]
            raise AssertionError(f"{missed}\nindexes after it: {indexes}") from None
        return pane

    def test_the_progress_counts_folders_on_the_console_and_goes_with_the_build(self):
        out = self.k / "out.txt"
        pane = self.building(command=["cmd", "/c", f"{self.box.exe_windows} findme a > K:\\out.txt"])
        deadline = time.monotonic() + 60
        while not PROGRESS.search(pane.screen()):
            self.assertLess(time.monotonic(), deadline, pane.screen())
            time.sleep(0.1)
        self.assertEqual(pane.wait_exit(timeout=120), 0)
        self.assertNotIn("Indexing", pane.screen())
        # What goes to the file is what the run prints, nothing more.
        self.assertEqual(out.read_bytes(), b"")
        self.assertIn(b'chdir /D "K:\\deep\\findme a"', self.box.change_script())

    def test_escape_stops_the_build_and_keeps_the_index_as_it_was(self):
        for old in (None, b"K:\\deep\\findme old\r\n"):
            with self.subTest(old=old):
                if old:
                    self.index.parent.mkdir(exist_ok=True)
                    self.index.write_bytes(old)
                    stamp = time.time() - 30 * 86400
                    os.utime(self.index, (stamp, stamp))
                pane = self.building("findme")
                pane.send("Escape")
                self.assertEqual(pane.wait_exit(timeout=30), 0)
                self.assertIn("The index build of drive K: was cancelled.", pane.screen())
                self.assertEqual(self.box.change_script(), RESET)
                if old:
                    self.assertEqual(self.index.read_bytes(), old)
                else:
                    self.assertFalse(self.index.exists())

    def test_return_typed_during_the_build_chooses_nothing(self):
        pane = self.building("findme")
        pane.send("Enter")
        pane.wait_for("Row 1 to 2 / 2", timeout=120)
        pane.send("Escape")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertEqual(self.box.change_script(), RESET)

    def test_return_typed_as_the_build_ends_chooses_nothing(self):
        # The build's last moment, drawn out: its listing has ended and the
        # new index waits beside the held old one. A try where the program
        # had moved on before the key was typed shows nothing: it is made again.
        self.index.parent.mkdir()
        incoming = lambda: any(self.index.parent.glob("Indexfile.ZRN~*"))
        for _ in range(5):
            self.index.write_bytes(b"")  # empty: rebuilt
            for fallback in self.box.fallback_indexes("K"):  # where a late try's index went
                fallback.unlink()
            holder = self.box.hold(self.index, 1)
            pane = self.box.pane("findme", cwd=self.k)
            wait_until(lambda: incoming() or pane.exited, 120, "the new index")
            pane.send("Enter")
            typed_in_time = incoming()
            # Held to the end, the index goes to the fallback place after a
            # while: time enough for the key to reach the console.
            pane.wait_until(lambda lines: pane.exited or "Row 1 to 2 / 2" in lines[4], timeout=120)
            holder.finish()
            pane.send("Escape")
            self.assertEqual(pane.wait_exit(), 0)
            if typed_in_time:
                self.assertEqual(self.box.change_script(), RESET)
                return
        self.skipTest("the key never came in the build's last moment")

    def test_f2_builds_once_and_escape_during_its_build_keeps_the_list(self):
        self.box.run("nothing-like-this", cwd=self.k)
        first = self.index.stat().st_ino
        pane = self.box.pane("findme", cwd=self.k)
        pane.wait_for("Row 1 to 2 / 2")
        pane.send("F2")
        pane.wait_for("Indexing K:\\", timeout=60)
        pane.send("F2")
        pane.send("F2")
        pane.wait_for("F2=Rescan", timeout=120)
        rebuilt = self.index.stat().st_ino
        self.assertNotEqual(rebuilt, first)
        # F3 comes after any F2 still waiting, and after the build it would run.
        pane.send("F3")
        pane.wait_for("Enter the drive letter. _")
        self.assertEqual(self.index.stat().st_ino, rebuilt)
        pane.send("Escape")
        # ESC during F2's build gives the list back as it was.
        pane.send("F2")
        pane.wait_for("Indexing K:\\", timeout=60)
        pane.send("Escape")
        # The counter is drawn after the note and the list rows.
        pane.wait_until(lambda lines: "Row 1 to 2 / 2" in lines[4]
                        and "The index build of drive K: was cancelled." in "".join(lines))
        self.assertEqual(self.index.stat().st_ino, rebuilt)
        pane.send("Escape")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertEqual(self.box.change_script(), RESET)

    def test_a_drive_whose_root_cannot_be_written_is_listed_once(self):
        r = self.box.map_drive("R")
        (r / "Zarnpath").write_bytes(b"")  # no data directory can be made
        self.box.make_dirs(r, "one/alpha-one")
        self.box.run("R:alpha", cwd=self.k)
        self.assertIn(b'chdir /D "R:\\one\\alpha-one"', self.box.change_script())
        self.assertEqual(len(self.box.fallback_indexes("R")), 1)
        # A listing would find the new directory too, and two matches choose nothing.
        self.box.make_dirs(r, "two/alpha-two")
        self.box.run("R:alpha", cwd=self.k)
        self.assertIn(b'chdir /D "R:\\one\\alpha-one"', self.box.change_script())

    def test_a_drive_letter_without_a_drive_ends_with_one_line(self):
        gone = self.box.map_drive("V")
        gone.rmdir()
        for letter in ("Q", "V"):
            with self.subTest(letter=letter):
                result = self.box.run(f"{letter}:src", cwd=self.k)
                self.assertEqual(result.stdout, f"Drive {letter}: is not available.\r\n".encode())
                self.assertEqual(self.box.change_script(), RESET)


if __name__ == "__main__":
    unittest.main()
