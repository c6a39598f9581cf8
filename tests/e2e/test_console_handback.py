"""The user's console after ZRN, seen in Wine's interactive cmd in tmux: the
earlier output, line ends, wrapping and the window title are as they were, and
input that is no console never makes the program wait."""

import time
import unittest

from harness import Sandbox, Shell


class HandBack(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.work = self.box.map_drive("D")
        self.box.make_dirs(self.work, "proj-a", "proj-b")

    def test_escape_and_return_give_the_console_back(self):
        shell = Shell(self.box, self.work)
        title = shell.title()
        shell.run("echo printed before the run")
        prompts = shell.prompts()
        shell.type(shell.zrn("proj"))
        shell.pane.wait_for("Row 1 to 2 / 2")
        self.assertEqual(shell.title(), "ZRN - Zarnpath")
        shell.pane.send("Escape")
        shell.wait_for_prompts(prompts + 1)
        lines = shell.pane.lines()
        self.assertIn("printed before the run", lines)
        self.assertEqual(shell.title(), title)
        self.assertFalse(any(line.startswith("Directory has been changed") for line in lines))
        shell.assert_lines_end_normally(self)

        prompts = shell.prompts()
        shell.type(shell.zrn("proj"))
        shell.pane.wait_for("Row 1 to 2 / 2")
        shell.pane.send("Enter")
        shell.wait_for_prompts(prompts + 1)
        self.assertTrue(any(line.startswith("Directory has been changed to D:\\proj-") for line in shell.pane.lines()))
        self.assertIn("printed before the run", shell.pane.lines())
        shell.assert_lines_end_normally(self)

    def test_width_message_gives_the_console_back(self):
        shell = Shell(self.box, self.work, width=49)
        shell.run(shell.zrn("proj"))
        self.assertIn("Pleasechangetheconsolewidth", "".join(shell.pane.lines()).replace(" ", ""))
        shell.assert_lines_end_normally(self)

    def test_input_that_is_no_console_ends_at_once_with_the_matches(self):
        shell = Shell(self.box, self.work)
        start = time.monotonic()
        lines = shell.run(shell.zrn("proj") + " < nul", timeout=30)
        self.assertLess(time.monotonic() - start, 20)
        self.assertIn("D:\\proj-a", lines)
        self.assertIn("D:\\proj-b", lines)
        self.assertFalse(any(line.startswith("Directory has been changed") for line in lines))


if __name__ == "__main__":
    unittest.main()
