"""The selection screen seen in a tmux pane: layout, keys, preview, the
change script it leaves, the window checks and hostile input."""

import subprocess
import time
import unicodedata
import unittest

import harness
from change_scripts import RESET, chdir_target
from harness import Sandbox

HIGHLIGHT = "\x1b[30m\x1b[47m"  # black on light grey
SEPARATOR = "\uf061"  # first of the three characters that join a long path's ends
# Wine's terminal console knows Home and End only in their xterm forms.
HOME = ("-H", "1b", "5b", "48")
END = ("-H", "1b", "5b", "46")


class ScreenCase(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.work = self.box.map_drive("D")

    def start(self, text="proj", width=100, height=40):
        pane = self.box.pane(text, width=width, height=height, cwd=self.work)
        pane.wait_for("found with")
        return pane

    def settle(self, pane, text):
        """Waits until `text` is shown and the screen has stopped changing."""
        pane.wait_for(text)
        previous = None
        for _ in range(50):
            screen = pane.screen(colours=True)
            if screen == previous:
                return screen.split("\n")
            previous = screen
            time.sleep(0.15)
        return previous.split("\n")

    def wait_until(self, pane, check, timeout=30):
        """Waits until `check` holds for the pane's lines; returns them."""
        return pane.wait_until(check, timeout)

    def finish(self, pane, *keys):
        pane.send(*keys)
        self.assertEqual(pane.wait_exit(), 0)


class TwoMatches(ScreenCase):
    def setUp(self):
        super().setUp()
        self.box.make_dirs(self.work, "proj-a", "proj-b")
        for name in ("proj-a", "proj-b"):
            for i in range(7):
                (self.work / name / f"file{i}.txt").write_text("x")
            for i in range(5):
                (self.work / name / f"sub{i}").mkdir()

    def test_rows_and_highlight_at_100_by_40(self):
        pane = self.start()
        lines = self.settle(pane, "Row 1 to 2 / 2")
        plain = pane.lines()
        self.assertTrue(plain[1].startswith(" ╭"))
        self.assertIn("** ZRN - Zarnpath **", plain[2])
        self.assertTrue(plain[3].startswith(" ├"))
        self.assertIn("2 directories were found with proj", plain[4])
        self.assertRegex(plain[5], r"^ │ D:\\proj-[ab] +│$")
        self.assertRegex(plain[6], r"^ │ D:\\proj-[ab] +│$")
        self.assertRegex(plain[7], r"^ │ +│$")
        self.assertTrue(plain[8].startswith(" ├"))
        self.assertTrue(plain[16].startswith(" ╰"))
        self.assertIn("F2=Rescan", plain[17])
        self.assertIn(HIGHLIGHT + " D:\\proj-", lines[5])
        self.assertNotIn(HIGHLIGHT, lines[6])
        # Twelve entries: lines of 5, 5 and 2, directories in brackets.
        preview = [line.strip(" │") for line in plain[9:16]]
        self.assertEqual([len(line.split()) for line in preview if line], [5, 5, 2])
        self.assertEqual(sorted(preview[0].split()), [f"[sub{i}]" for i in range(5)])  # folders first
        self.assertEqual(preview[3:], ["", "", "", ""])
        for row in range(1, 17):
            self.assertEqual(len(plain[row]), 100, row)

    def test_return_writes_the_highlighted_path_and_clears(self):
        pane = self.start()
        self.settle(pane, "Row 1 to 2 / 2")
        second = pane.lines()[6].strip(" │")
        pane.send("Down")
        # The key takes its time on a busy machine: wait for the highlight.
        deadline = time.monotonic() + 30
        while HIGHLIGHT + " " + second not in pane.lines(colours=True)[6]:
            self.assertLess(time.monotonic(), deadline, pane.lines(colours=True)[6])
            time.sleep(0.1)
        self.finish(pane, "Enter")
        self.assertEqual(chdir_target(self.box.change_script()), second)
        self.assertNotIn("directories were found", pane.screen())

    def test_escape_leaves_only_echo_off(self):
        pane = self.start()
        self.settle(pane, "Row 1 to 2 / 2")
        self.finish(pane, "Escape")
        self.assertEqual(self.box.change_script(), RESET)
        self.assertNotIn("directories were found", pane.screen())

    def test_highlighted_directory_removed_leaves_a_blank_preview(self):
        pane = self.start()
        self.settle(pane, "Row 1 to 2 / 2")
        first = pane.lines()[5].strip(" │").split("\\")[-1]
        for entry in (self.work / first).iterdir():
            entry.rmdir() if entry.is_dir() else entry.unlink()
        (self.work / first).rmdir()
        pane.send("Down")
        pane.send("Up")
        time.sleep(1)
        plain = self.settle(pane, "Row 1 to 2 / 2")
        plain = pane.lines()
        self.assertEqual([line.strip(" │") for line in plain[9:16]], [""] * 7)
        # Return keeps the page and says why.
        pane.send("Enter")
        pane.wait_for("This directory no longer exists; F2 rebuilds the index.")
        self.assertFalse(pane.exited)
        self.finish(pane, "Escape")
        self.assertEqual(self.box.change_script(), RESET)


class ManyMatches(ScreenCase):
    def setUp(self):
        super().setUp()
        self.box.make_dirs(self.work, *[f"proj{i:02d}" for i in range(1, 41)])

    def listed(self, pane):
        return [line.strip(" │") for line in pane.lines()[5:20]]

    def highlighted(self, lines):
        return [i for i, line in enumerate(lines[5:20]) if HIGHLIGHT in line]

    def test_forty_matches_page_and_end_keys(self):
        pane = self.start()
        lines = self.settle(pane, "Row 1 to 15 / 40")
        plain = pane.lines()
        self.assertRegex(plain[4], r"│ Row 1 to 15 / 40 +40 directories were found with proj │")
        self.assertTrue(plain[21].startswith(" ├"))  # P = 15
        self.assertTrue(plain[32].startswith(" ╰"))  # H = 8
        order = self.listed(pane)
        self.assertEqual(self.highlighted(lines), [0])

        pane.send("Up")  # at the top: nothing changes
        lines = self.settle(pane, "Row 1 to 15 / 40")
        self.assertEqual(self.highlighted(lines), [0])
        self.assertEqual(self.listed(pane), order)

        pane.send(*END)
        lines = self.settle(pane, "Row 26 to 40 / 40")
        self.assertEqual(self.highlighted(lines), [14])
        last_page = self.listed(pane)

        pane.send("Down")  # at the bottom: nothing changes
        lines = self.settle(pane, "Row 26 to 40 / 40")
        self.assertEqual(self.highlighted(lines), [14])
        self.assertEqual(self.listed(pane), last_page)

        pane.send(*HOME)
        lines = self.settle(pane, "Row 1 to 15 / 40")
        self.assertEqual(self.highlighted(lines), [0])

        pane.send("PageDown")
        lines = self.settle(pane, "Row 16 to 30 / 40")
        self.assertEqual(self.highlighted(lines), [0])
        sixteenth = self.listed(pane)[0]

        pane.send("PageUp")
        lines = self.settle(pane, "Row 1 to 15 / 40")
        self.assertEqual(self.highlighted(lines), [0])
        self.assertEqual(self.listed(pane), order)

        pane.send("PageDown")
        self.settle(pane, "Row 16 to 30 / 40")
        self.finish(pane, "Enter")
        self.assertEqual(chdir_target(self.box.change_script()), sixteenth)

    def test_typing_narrows_backspace_widens_and_return_takes_a_narrowed_row(self):
        pane = self.start()
        self.settle(pane, "Row 1 to 15 / 40")
        pane.send("1", "3")
        self.settle(pane, "Row 1 to 1 / 1")
        plain = pane.lines()
        self.assertIn("1 of 40 directories were found with proj", plain[4])
        # A page of one row, the typed text below it.
        self.assertEqual(self.listed(pane)[:2], ["D:\\proj13", "Narrowed by: 13"])
        self.assertTrue(plain[7].startswith(" ├"))
        pane.send("BSpace", "BSpace")
        self.settle(pane, "Row 1 to 15 / 40")
        pane.send("1")
        self.settle(pane, "Row 1 to 13 / 13")
        narrowed = self.listed(pane)[:13]
        expected = [f"D:\\proj{i:02d}" for i in range(1, 41) if "1" in f"{i:02d}"]
        self.assertEqual(sorted(narrowed), expected)
        # The highlight stayed on proj13 all along; Down moves on from it.
        pane.send("Down")
        time.sleep(0.5)
        self.finish(pane, "Enter")
        after = narrowed[min(narrowed.index("D:\\proj13") + 1, 12)]
        self.assertEqual(chdir_target(self.box.change_script()), after)

    def test_ctrl_u_brings_the_whole_list_back(self):
        pane = self.start()
        self.settle(pane, "Row 1 to 15 / 40")
        pane.send("1", "3")
        self.settle(pane, "Row 1 to 1 / 1")
        pane.send("C-u")
        self.settle(pane, " / 40")
        self.assertIn(" 40 directories were found with proj", pane.lines()[4])
        self.assertNotIn("Narrowed by", pane.screen())
        # The highlight stayed on proj13: Return takes it.
        self.finish(pane, "Enter")
        self.assertEqual(chdir_target(self.box.change_script()), "D:\\proj13")

    def test_key_storm_and_resize_keep_the_screen_and_end_cleanly(self):
        pane = self.start()
        self.settle(pane, "Row 1 to 15 / 40")
        pane.send(*(["Down"] * 100))
        self.settle(pane, "Row 26 to 40 / 40")
        plain = pane.lines()
        for row in range(1, 33):
            self.assertEqual(plain[row][-1], {1: "╮", 3: "┤", 21: "┤", 32: "╯"}.get(row, "│"), row)
        last = self.listed(pane)[-1]
        self.box_resize(pane, 70, 35)
        pane.send("Up", "Down")
        time.sleep(1)
        self.finish(pane, "Enter")
        self.assertEqual(chdir_target(self.box.change_script()), last)

    def box_resize(self, pane, width, height):
        subprocess.run(["tmux", "-L", harness.TMUX_SOCKET, "resize-window", "-t", pane.name,
                        "-x", str(width), "-y", str(height)], check=False)


class Counts(ScreenCase):
    def test_thousands_and_long_path(self):
        names = [f"proj{i:04d}" for i in range(1, 1234)] + ["proj-" + "x" * 120]
        self.box.make_dirs(self.work, *names)
        pane = self.start()
        self.settle(pane, "Row 1 to 15 / 1234")
        self.assertIn("1,234 directories were found with proj", pane.lines()[4])
        # The long path sits somewhere in the list: page until it shows.
        for _ in range(90):
            rows = pane.lines()[5:20]
            shown = [row for row in rows if SEPARATOR in row]
            if shown:
                break
            pane.send("PageDown")
            time.sleep(0.3)
        self.assertTrue(shown)
        self.assertIn("D:\\proj-xxxx", shown[0])
        # Cut at the inner width: the right border stays.
        self.assertTrue(shown[0].endswith("xxx│"))
        self.assertEqual(len(shown[0]), 100)
        self.finish(pane, "Escape")
        self.assertEqual(self.box.change_script(), RESET)

    def test_ten_thousand_entries_preview_only_what_fits(self):
        self.box.make_dirs(self.work, "proj-big", "proj-big2")
        for name in ("proj-big", "proj-big2"):
            for i in range(10000):
                (self.work / name / f"f{i:05d}").touch()
        pane = self.start()
        # The last cell says how many are left out, counted up to 5,000.
        self.settle(pane, "+ more")
        preview = [line.strip(" │") for line in pane.lines()[9:16]]
        self.assertEqual([len(line.split()) for line in preview[:6]], [5] * 6)
        self.assertTrue(preview[6].endswith("… 4,966+ more"), preview[6])
        self.finish(pane, "Escape")


class WindowChecks(ScreenCase):
    def setUp(self):
        super().setUp()
        self.box.make_dirs(self.work, "proj-a", "proj-b")

    def test_size_messages_wrap_and_stay_after_the_run(self):
        cases = [(49, 40, "Please change the console width to at least 50 characters"),
                 (80, 29, "Please change the console height to at least 30 characters")]
        for width, height, message in cases:
            with self.subTest(size=f"{width}x{height}"):
                pane = self.box.pane("proj", width=width, height=height, cwd=self.work)
                self.assertEqual(pane.wait_exit(timeout=60), 0)
                # The console breaks the message wherever the window ends.
                shown = "".join(pane.lines()).replace(" ", "")
                self.assertIn(message.replace(" ", ""), shown)
                self.assertEqual(self.box.change_script(), RESET)

    def test_output_that_is_no_console_lists_the_matches(self):
        result = self.box.run("proj", cwd=self.work)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(sorted(result.stdout.split(b"\r\n")), [b"", b"D:\\proj-a", b"D:\\proj-b"])
        self.assertEqual(self.box.change_script(), RESET)

    def test_width_50_height_30_shows_an_intact_frame(self):
        pane = self.box.pane("proj", width=50, height=30, cwd=self.work)
        pane.wait_for("Row 1 to 2 / 2")
        plain = pane.lines()
        self.assertEqual(plain[1], " ╭" + "─" * 47 + "╮")
        for row in range(2, 16):
            self.assertIn(plain[row][-1], "│┤", row)
        self.assertEqual(len(plain[17].rstrip()), 48)  # the compact legend fills the window
        self.finish(pane, "Escape")


class FitsTheWindow(ScreenCase):
    def test_legend_and_count_line_at_common_sizes(self):
        self.box.make_dirs(self.work, *[f"proj{i}" for i in range(1, 6)])
        for width, height in [(120, 40), (100, 40), (60, 30), (50, 30)]:
            with self.subTest(size=f"{width}x{height}"):
                pane = self.start(width=width, height=height)
                self.settle(pane, "Row 1 to 5 / 5")
                plain = pane.lines()
                legend = plain[next(i for i, line in enumerate(plain) if line.startswith(" ╰")) + 1]
                self.assertIn(" ESC=Exit", legend)
                self.assertIn(" Return=Select", legend)
                if width >= 105:
                    self.assertIn(" F2=Rescan   F3=Change Drive   Navigation Keys=Move selection ", legend)
                self.assertRegex(plain[4], r"│ Row 1 to 5 / 5 +5 (directories were )?found with proj │$")
                self.finish(pane, "Escape")

    def test_preview_of_a_60_column_window_shows_every_name(self):
        names = [f"entry{i:02d}" for i in range(1, 15)]
        for parent in ("proj-a", "proj-b"):
            for name in names:
                (self.work / parent / name).mkdir(parents=True)
        pane = self.start(width=60, height=30)
        self.settle(pane, "Row 1 to 2 / 2")
        plain = pane.lines()
        preview = " ".join(plain[9:16])
        for name in names:
            self.assertIn(f"[{name}]", preview)
        for row in range(9, 16):
            self.assertEqual(plain[row][59], "│", row)
        self.finish(pane, "Escape")

    def test_wide_characters_keep_the_right_border(self):
        # The second name is shortened with the marker, whose middle character
        # Wine shows in two cells.
        self.box.make_dirs(self.work, "proj_中文目录名字", "proj_" + "中文目录" * 8 + "x" * 30)
        (self.work / "proj_中文目录名字" / "子目录").mkdir()
        for width in (52, 100, 120):
            with self.subTest(width=width):
                pane = self.start(width=width)
                self.settle(pane, "Row 1 to 2 / 2")
                frame = min(width - 1, 100)
                for row in pane.lines()[5:7]:
                    self.assertTrue(row.rstrip().endswith("│"), row)
                    self.assertEqual(sum(2 if unicodedata.east_asian_width(c) in "WF" else 1
                                         for c in row.rstrip()), 1 + frame, row)
                self.finish(pane, "Escape")

    def test_narrow_then_wide_window_is_drawn_again(self):
        self.box.make_dirs(self.work, *[f"proj{i}" for i in range(1, 6)])
        pane = self.start()
        self.settle(pane, "Row 1 to 5 / 5")
        # The pane stays 100 wide: only the window's own columns count.
        resize_console(60, 30)
        self.wait_until(pane, lambda lines: lines[1][:60] == " ╭" + "─" * 57 + "╮"
                        and lines[4][:60].endswith("5 directories were found with proj │"))
        resize_console(40, 30)
        pane.wait_for("Please change the console width")
        resize_console(100, 40)
        self.wait_until(pane, lambda lines: lines[20] == " ╰" + "─" * 97 + "╯" and " ESC=Exit" in lines[21]
                        and "Row 1 to 5 / 5" in lines[4])
        self.finish(pane, "Escape")
        self.assertEqual(self.box.change_script(), RESET)


def resize_console(width, height):
    """Gives the running program's console window a new size. Wine's terminal
    console does not follow a resize of the tmux pane itself."""
    helper = harness.BUILD_DIR / "tests" / "console_window.exe"
    result = subprocess.run(harness.HOST.launch([helper, "ZARNPATH.EXE", width, height]),
                            env=harness.wine_env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, timeout=60, check=False)
    assert result.returncode == 0, f"resize to {width}x{height} failed: {result.returncode}"


if __name__ == "__main__":
    unittest.main()
