"""The /info report seen from outside: fifteen lines redirected, and in a
console window its size and colours."""

import datetime
import re
import subprocess
import unittest

import harness
from harness import Sandbox

LOGO = " " * 9
CREDIT_LINE = re.compile(r"^ {9}  ZRN - Zarnpath, By [^,]+, .+ \(\S+\)$")


def build_time_from_build_dir():
    """The build time the program was compiled with, when the build says."""
    header = harness.BUILD_DIR / "generated" / "build_time.h"
    found = re.search(r"#define ZRN_BUILD_TIME (\d+)", header.read_text()) if header.is_file() else None
    return int(found.group(1)) if found else None


def processor_name(facts):
    """The report's processor name from the brand string's bytes: leading
    blanks and tabs removed, trailing ones kept, read in the ANSI code page."""
    brand = b"" if facts["cpu_brand_hex"] == "none" else bytes.fromhex(facts["cpu_brand_hex"])
    brand = brand.lstrip(b" \t")
    return brand.decode(f"cp{facts['ansi_code_page']}") if brand else "Unknown CPU"


def capture_with_colours(pane):
    # capture-pane's -e must follow the command name, not the server options.
    return subprocess.run(["tmux", "-L", harness.TMUX_SOCKET, "capture-pane", "-p", "-e", "-t", pane.name],
                          stdout=subprocess.PIPE, check=True).stdout.decode("utf-8", "replace")


def coloured_cells(screen):
    """Each screen line as a list of (character, foreground, background) with
    the SGR colour codes tmux reports (39 and 49 are the defaults)."""
    foreground, background = 39, 49
    lines = []
    for text in screen.split("\n"):
        cells = []
        for piece in re.split(r"(\x1b\[[0-9;]*m)", text):
            if piece.startswith("\x1b["):
                for code in [int(c) if c else 0 for c in piece[2:-1].split(";")]:
                    if code == 0:
                        foreground, background = 39, 49
                    elif 30 <= code <= 39 or 90 <= code <= 97:
                        foreground = code
                    elif 40 <= code <= 49 or 100 <= code <= 107:
                        background = code
            else:
                cells.extend((ch, foreground, background) for ch in piece)
        lines.append(cells)
    return lines


BLACK_ON_GREY = (30, 47)
GREY_ON_BLACK = {(39, 49), (37, 40), (39, 40), (37, 49)}
YELLOW_ON_BLACK = {(93, 40), (93, 49)}


class RedirectedReport(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.drive = self.box.map_drive("D")

    def report_lines(self, *args):
        result = self.box.run("/info", *args, cwd=self.drive)
        self.assertEqual(result.returncode, 0)
        self.assertTrue(result.text.endswith("\r\n"))
        lines = result.text.split("\r\n")[:-1]
        self.assertEqual(len(lines), 15, result.text)
        return lines

    def test_fifteen_lines_in_order(self):
        lines = self.report_lines()
        program = self.box.exe_windows.rsplit("\\", 1)[0] + "\\"
        facts = harness.host_facts()

        self.assertEqual(lines[0], "")
        self.assertRegex(lines[1], CREDIT_LINE)
        self.assertEqual(lines[2], "   ZRN   ")
        self.assertEqual(lines[3], LOGO + "  Version: " + harness.project_version())
        self.assertRegex(lines[4], r"^ {9}  Build: \d{12} \(commit [0-9a-f]{7}(-modified)?\)$")
        self.assertEqual(lines[5], LOGO + "  User: " + facts["user"])
        self.assertEqual(lines[6], LOGO + "  Computer Name: " + facts["computer"])
        self.assertEqual(lines[7], LOGO + f"  Memory: {int(facts['memory_bytes']) // 1048576} MB")
        self.assertEqual(lines[8], LOGO + "  CPU Name: " + processor_name(facts))
        self.assertEqual(lines[9], LOGO + "  Console: 0x0 characters")
        self.assertEqual(lines[10], "")
        self.assertEqual(lines[11], "Location program and INI-file: " + program)
        self.assertEqual(lines[12], "Configuration file: " + program + "ZRN.INI")
        self.assertEqual(lines[13:], ["", ""])

    def test_build_stamp_is_the_build_time_without_zone_change(self):
        built = build_time_from_build_dir()
        if built is None:
            self.skipTest("build time not found in the build files")
        stamp = datetime.datetime.fromtimestamp(built, datetime.timezone.utc).strftime("%Y%m%d%H%M")
        self.assertTrue(self.report_lines()[4].startswith(LOGO + "  Build: " + stamp + " (commit "))

    def test_build_names_the_commit_of_the_sources(self):
        head = harness.source_commit()
        if head is None:
            self.skipTest("the sources are not a git checkout")
        self.assertRegex(self.report_lines()[4], rf" \(commit {head[:7]}(-modified)?\)$")

    def test_report_wins_over_help_quick_switch_and_search(self):
        self.box.write_ini("[QuickDIR]\r\nQ1=D:\\one\r\n")
        lines = self.report_lines("/?", "/q1", "something")
        self.assertEqual(lines[3], LOGO + "  Version: " + harness.project_version())
        self.assertEqual(self.box.change_script(), b"@echo off\r\n")

    def test_configuration_path_is_shown_whether_or_not_the_file_exists(self):
        without = self.report_lines()
        self.box.write_ini("[Default]\r\nIndextime=1\r\n")
        self.assertEqual(self.report_lines()[11:13], without[11:13])


class ReportInAConsole(unittest.TestCase):
    def test_console_size_and_colours_in_a_120_by_40_window(self):
        with Sandbox() as box:
            pane = box.pane("/info", width=120, height=40, cwd=box.map_drive("D"))
            self.assertEqual(pane.wait_exit(), 0)
            screen = capture_with_colours(pane)
            cells = coloured_cells(screen)
            text = ["".join(c[0] for c in line) for line in cells]
            first = next(i for i, line in enumerate(text) if "ZRN - Zarnpath, By" in line)
            self.assertIn(LOGO + "  Console: 120x40 characters", text)

            def colours(row, start, end):
                return {(fg, bg) for _, fg, bg in cells[row][start:end]}

            title = text[first].index("ZRN - Zarnpath")
            by = text[first].index(", By ")
            self.assertEqual(colours(first, 0, 9), {BLACK_ON_GREY})
            self.assertLessEqual(colours(first, title, by), YELLOW_ON_BLACK)
            self.assertLessEqual(colours(first, by, by + 5), GREY_ON_BLACK)
            self.assertLessEqual(colours(first, by + 5, len(text[first])), YELLOW_ON_BLACK)
            self.assertTrue(text[first + 1].startswith("   ZRN"))
            self.assertEqual(colours(first + 1, 0, 6), {BLACK_ON_GREY})
            for row in range(first + 2, first + 9):
                line = text[row]
                colon = line.index(": ") + 2
                self.assertEqual(colours(row, 0, 9), {BLACK_ON_GREY}, line)
                self.assertLessEqual(colours(row, 9, colon), GREY_ON_BLACK, line)
                self.assertLessEqual(colours(row, colon, len(line)), YELLOW_ON_BLACK, line)
            for row in (first + 10, first + 11):
                line = text[row]
                colon = line.index(": ") + 2
                self.assertLessEqual(colours(row, 0, colon), GREY_ON_BLACK, line)
                self.assertLessEqual(colours(row, colon, len(line)), YELLOW_ON_BLACK, line)


if __name__ == "__main__":
    unittest.main()
