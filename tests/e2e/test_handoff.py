"""Where the shell lands after ZRN, typed at Wine's prompt in a real console
(code page 437): the change script starts no program found by a bare name,
and the console keeps its code page."""

import os
import unittest

import harness
from harness import Sandbox, Shell

PLANTED_CHCP = b"@md D:\\CHCP_RAN\r\n"


class HandOff(unittest.TestCase):
    def test_a_planted_chcp_never_runs_and_the_shell_lands(self):
        with Sandbox() as box:
            d = box.map_drive("D")
            box.make_dirs(d, "work", "dest/caf\u00e9 qq1", "dest/plain qq2", "dest/\u0416 qq3")
            for folder in (d / "work", *(d / "dest").iterdir()):
                (folder / "chcp.bat").write_bytes(PLANTED_CHCP)
            shell = Shell(box, d / "work")
            # A name outside code page 437 needs chcp, by its full path. Wine's
            # cmd does not read the rest of a script as UTF-8 after chcp
            # 65001, so where the shell lands is not looked at here.
            shell.run(shell.zrn("qq3"), timeout=120)
            self.assertEqual(shell.code_page(), "437")
            shell.run("cd /d D:\\work")
            for words, landing in (("qq1", "D:\\dest\\caf\u00e9 qq1"), ("qq2", "D:\\dest\\plain qq2")):
                shell.run(shell.zrn(words))
                self.assertEqual(shell.directory(), landing, shell.pane.screen())
                self.assertEqual(shell.code_page(), "437")
            self.assertFalse((d / "CHCP_RAN").exists())


    def test_a_percent_in_a_typed_word_runs_nothing(self):
        # Wine's cmd reads a "%" again in the text it put in for a parameter.
        with Sandbox() as box:
            d = box.map_drive("D")
            box.make_dirs(d, "work")
            shell = Shell(box, d / "work")
            for words in ('%2 "&md INJ1&"', "a%1b"):
                shell.run(shell.zrn(words))
                lines = shell.run("echo still here")
                at = max(i for i, line in enumerate(lines) if line.endswith(">echo still here"))
                self.assertEqual(lines[at + 1], "still here", "\n".join(lines))
            self.assertEqual(sorted(p.name for p in d.rglob("INJ*")), [])

    def test_a_link_off_the_drive_is_named_and_not_previewed(self):
        with Sandbox() as box:
            d = box.map_drive("D")
            k = box.map_drive("K")
            harness.restart_wine()
            box.make_dirs(d, "work", "plain-qzx", "Zarnpath")
            (k / "secret").mkdir()
            (k / "secret" / "private-notes.txt").write_bytes(b"x")
            os.symlink(k / "secret", d / "archive-qzx")
            (d / "Zarnpath" / "Indexfile.ZRN").write_bytes(b"D:\\archive-qzx\r\nD:\\plain-qzx\r\n")
            shell = Shell(box, d / "work")
            shell.type(shell.zrn("qzx"))
            screen = shell.pane.wait_for("is a link to K:\\secret")
            self.assertNotIn("private-notes", screen)
            # The row itself is marked; the plain match's row is not.
            self.assertRegex(screen, r"D:\\archive-qzx +\(a link to K:\\secret\) \u2502")
            self.assertNotRegex(screen, r"plain-qzx.*a link")
            shell.pane.send("Enter")
            shell.wait_for_prompts(2)
            self.assertEqual(shell.directory(), "D:\\archive-qzx")
            self.assertIn("Directory has been changed to D:\\archive-qzx (a link to K:\\secret)", shell.pane.lines())


if __name__ == "__main__":
    unittest.main()
