"""F2 and F3 on the selection screen: rebuilding the index, and moving the
search to another drive through the drive chooser."""

import time
import unittest

from harness import Sandbox, restart_wine

RESET = b"@echo off\r\n"
BOX_LEFT = 21  # the drive box starts at column X + 20


class DriveKeys(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.work = self.d / "work"
        self.box.make_dirs(self.work, "proj-a", "proj-b")

    def poll_for(self, pane, text, timeout=30):
        """Catches a screen that may show only briefly."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            screen = pane.screen()
            if text in screen:
                return screen
            time.sleep(0.02)
        self.fail(f"{text!r} never shown:\n{pane.screen()}")

    def test_f2_shows_the_box_and_finds_a_new_directory(self):
        # A first run builds the index; the directory made after it is new.
        self.box.make_dirs(self.d, *[f"filler/{i:03d}/{j}" for i in range(100) for j in "abcde"])
        self.box.run("nothing-like-this", cwd=self.d)
        self.box.make_dirs(self.d, "later/proj-new")
        pane = self.box.pane("proj", cwd=self.work)
        pane.wait_for("Row 1 to 2 / 2")
        pane.send("F2")
        screen = self.poll_for(pane, "Create IndexFile for Drive D:\\")
        self.assertIn("   Create IndexFile for Drive D:\\   ", screen)
        # The counter is drawn after the last row of the new list: a capture
        # that shows it is not one taken mid-redraw. The page grew a row.
        lines = pane.wait_until(lambda lines: "Row 1 to 3 / 3" in lines[4])
        self.assertIn("3 directories were found with proj", lines[4])
        self.assertTrue(all(row.startswith(" │ D:\\") for row in lines[5:8]), lines[5:8])
        self.assertNotIn("Create IndexFile", "\n".join(lines))
        # Rows the box covered are whole again.
        for row in range(1, 18):
            self.assertIn(lines[row][-1], "╮│┤╯", row)
        pane.send("Escape")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertEqual(self.box.change_script(), RESET)

    def test_f2_that_finds_nothing_ends_without_a_change(self):
        # The current directory is on E:, the search on D:, which has no match.
        e = self.box.map_drive("E")
        self.box.make_dirs(e, "work/lonely-a", "work/lonely-b")
        pane = self.box.pane("D:", "lonely", cwd=e / "work")
        pane.wait_for("Row 1 to 2 / 2")
        pane.send("F2")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertEqual(self.box.change_script(), RESET)
        self.assertIn("No directory found...", pane.lines())

    def test_f3_then_escape_shows_the_list_as_it_was(self):
        pane = self.box.pane("proj", cwd=self.work)
        pane.wait_for("Row 1 to 2 / 2")
        second = pane.lines()[6].strip(" │")
        pane.send("Down")
        time.sleep(0.5)
        pane.send("F3")
        pane.wait_for("Enter the drive letter. _")
        pane.send("Escape")
        deadline = time.monotonic() + 30
        while True:
            lines = pane.lines()
            if "Available drives" not in "".join(lines) and lines[6].strip(" │") == second:
                break
            self.assertLess(time.monotonic(), deadline, pane.screen())
            time.sleep(0.1)
        time.sleep(0.5)
        lines = pane.lines()
        for row in range(1, 17):
            self.assertIn(lines[row][-1], "╮│┤╯", row)
        self.assertIn("\x1b[30m\x1b[47m " + second, pane.screen(colours=True))
        pane.send("Enter")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertIn(second.encode(), self.box.change_script())

    def test_f3_to_a_drive_without_a_match_keeps_the_list(self):
        self.box.map_drive("E")
        restart_wine()
        pane = self.box.pane("proj", cwd=self.work)
        pane.wait_for("Row 1 to 2 / 2")
        first = pane.lines()[5].strip(" │")
        pane.send("F3")
        pane.wait_for("Enter the drive letter. _")
        pane.send("e")
        note = "No directory on drive E:\\ holds proj; the list stays."
        # The page is drawn anew with the note: the list rows come just after it.
        lines = pane.wait_until(lambda rows: note in "\n".join(rows) and rows[5].strip(" │") == first, timeout=60)
        self.assertIn("2 directories were found with proj", lines[4])
        for row in range(1, 17):
            self.assertIn(lines[row][-1], "╮│┤╯", row)
        pane.send("Enter")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertIn(first.encode(), self.box.change_script())

    def test_f2_and_f3_boxes_stay_inside_a_50_column_frame(self):
        self.box.map_drive("E")
        restart_wine()
        pane = self.box.pane("proj", cwd=self.work, width=50, height=30)
        pane.wait_for("Row 1 to 2 / 2")
        pane.send("F3")
        screen = pane.wait_for("Enter the drive letter. _")
        lines = screen.split("\n")
        self.assertIn("Available drives", screen)
        self.assertRegex(screen, r"D E ")
        for row in range(1, 17):
            self.assertIn(lines[row][49], "╮│┤╯", row)
        pane.send("Escape")
        pane.send("F2")
        lines = self.poll_for(pane, "Create IndexFile for Drive D:\\").split("\n")
        for row in range(1, 17):
            self.assertIn(lines[row][49], "╮│┤╯", row)
        # ESC during the build would only stop the build.
        pane.wait_until(lambda lines: "Create IndexFile" not in "".join(lines), timeout=60)
        pane.send("Escape")
        self.assertEqual(pane.wait_exit(), 0)

    def test_f3_lists_drives_ignores_other_keys_and_takes_a_lower_case_letter(self):
        e = self.box.map_drive("E")
        self.box.make_dirs(e, *[f"x{i % 3}/proj-e{i:02d}" for i in range(1, 40)])
        self.box.map_drive("F")
        restart_wine()
        pane = self.box.pane("proj", cwd=self.work)
        pane.wait_for("Row 1 to 2 / 2")
        pane.send("F3")
        screen = pane.wait_for("Enter the drive letter. _")
        lines = screen.split("\n")
        self.assertEqual(lines[10][BOX_LEFT:BOX_LEFT + 53], " " * 18 + "Available drives" + " " * 19)
        row = lines[11][BOX_LEFT:BOX_LEFT + 53]
        letters = row.strip() + " "
        self.assertIn("D E F ", letters)
        self.assertEqual(row, (" " * max(25 - len(letters) // 2, 0) + letters).ljust(53)[:53])
        self.assertNotIn("Q", letters)

        pane.send("q", "Enter", "Down")
        time.sleep(1.5)
        self.assertFalse(pane.exited)
        self.assertIn("Enter the drive letter. _", pane.screen())

        pane.send("e")
        # The page follows the longer list. The counter is drawn after the
        # count line and the rows.
        screen = pane.wait_for("Row 1 to 15 / 39", timeout=60)
        lines = screen.split("\n")
        self.assertIn("39 directories were found with proj", lines[4])
        self.assertRegex(lines[5], r"E:\\.*proj-e")
        self.assertNotIn("Available drives", screen)
        for row in range(1, 33):
            self.assertIn(lines[row][-1], "╮│┤╯", row)

        # F2 names the drive in upper case, though e was typed.
        pane.send("F2")
        self.poll_for(pane, "Create IndexFile for Drive E:\\")
        # Keys typed during the build are dropped.
        pane.wait_until(lambda lines: "Create IndexFile" not in "".join(lines), timeout=60)
        pane.send("Enter")
        self.assertEqual(pane.wait_exit(), 0)
        self.assertIn(b"chdir /D \"E:\\", self.box.change_script())


if __name__ == "__main__":
    unittest.main()
