"""The run sequence seen from outside: help text, exit codes, the change
script's reset, hostile command lines, and the wrapper in Wine's cmd."""

import shlex
import unittest

from harness import HOST, Sandbox

RESET = b"@echo off\r\n"

HELP_LINES = [
    "",
    "ZRN - Zarnpath Help",
    "",
    "ZRN [drive:] directory [switches]",
    "",
    "\t/?         Help",
    "\t/info      Info",
    "\t/Q0../Q9   Change To QuickMap x, see ZRN.INI To Define these QuickDIRS",
    "\t/QD        Quick Change To My Documents",
    "\t/QL        Quick Change To Downloads",
    "\t/QV        Quick Change To My Videos",
    "\t/QM        Quick Change To My Music",
    "\t/QP        Quick Change To My Pictures",
    "\t/QX        Quick Change To Program Files",
    "",
    "",
]


class HelpText(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.work = self.box.map_drive("D")

    def test_redirected_help_arrives_as_utf8_with_crlf(self):
        result = self.box.run("/?", cwd=self.work)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stdout, "".join(line + "\r\n" for line in HELP_LINES).encode("utf-8"))
        self.assertEqual(self.box.change_script(), RESET)

    def test_help_wins_over_quick_switch_and_search(self):
        result = self.box.run("docs", "/qd", "/?", cwd=self.work)
        self.assertEqual(result.stdout.decode("utf-8").split("\r\n")[1], "ZRN - Zarnpath Help")
        self.assertEqual(self.box.change_script(), RESET)

    def test_help_through_a_pipe_does_not_hang(self):
        result = self.box.run_shell(f"{shlex.join(HOST.launch([self.box.exe, '/?']))} | cat", cwd=self.work, timeout=60)
        self.assertIn(b"ZRN - Zarnpath Help\r\n", result.stdout)

    def test_help_in_a_console_shows_sixteen_lines(self):
        pane = self.box.pane("/?", width=100, height=30, cwd=self.work)
        self.assertEqual(pane.wait_exit(), 0)
        screen = pane.lines()
        start = screen.index("ZRN - Zarnpath Help") - 1
        shown = [line.rstrip() for line in screen[start:start + 16]]
        expected = [line.replace("\t", " " * 8) for line in HELP_LINES]
        self.assertEqual(shown, expected)


class HostileCommandLines(unittest.TestCase):
    """There is no invalid command line: every run ends with exit code 0 and a
    change script that starts with @echo off."""

    def test_runs_end_normally(self):
        with Sandbox() as box:
            work = box.map_drive("D")
            box.make_dirs(work, "nothing here")
            raw_tails = [
                '"unbalanced quote',
                '"',
                '///',
                '/ / / /**',
                'a\tb /x',
                'Zürich /qé',
                '1:x',
                '"" "" ""',
            ]
            for tail in raw_tails:
                with self.subTest(tail=tail[:40]):
                    result = box.run_cmd(f'"{box.exe_windows}" {tail}', cwd=work, timeout=180)
                    self.assertEqual(result.returncode, 0, (result.stdout[-500:], result.stderr[-500:]))
                    self.assertTrue(box.change_script().startswith(RESET))
            # Past cmd's own line limit: Wine starts the program directly.
            result = box.run("x" * 30000, "/qé", cwd=work)
            self.assertEqual(result.returncode, 0)
            self.assertTrue(box.change_script().startswith(RESET))


class Wrapper(unittest.TestCase):
    def test_wrapper_without_a_choice_leaves_the_shell_where_it_was(self):
        with Sandbox() as box:
            work = box.map_drive("D")
            result = box.run_cmd(f'call "{box.wrapper_windows}" /? & cd', cwd=work)
            self.assertEqual(result.returncode, 0)
            self.assertTrue(result.text.rstrip().endswith("D:\\"), result.text)
            self.assertFalse((box.program_dir / "ZRN2.BAT").exists())


if __name__ == "__main__":
    unittest.main()
