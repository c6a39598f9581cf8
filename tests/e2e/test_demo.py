"""The demo a new user runs first: in an ordinary 80 x 24 terminal, smaller
than the page needs, it still shows the page, and clears no message away."""

import pathlib
import shutil
import tempfile
import unittest

import harness


@unittest.skipUnless(harness.HOST.console_driver, "the demo runs under Wine in tmux")
class Demo(unittest.TestCase):
    def test_page_shows_in_an_80_by_24_terminal(self):
        harness.ensure_wine()
        demo = pathlib.Path(tempfile.mkdtemp(prefix="zrn-demo-"))
        self.addCleanup(shutil.rmtree, demo, True)
        harness.copy_template(demo / "wineprefix")
        pane = harness.Pane(["bash", harness.REPO / "scripts" / "demo.sh"], 80, 24, harness.REPO,
                            {"ZRN_DEMO_DIR": str(demo), "ZRN_DEMO_EXE": str(harness.EXE)})
        self.addCleanup(pane.close)
        pane.wait_for("Press Enter to start.", timeout=300)
        pane.send("Enter")
        pane.wait_for("directories were found with project", timeout=120)
        pane.send("Escape")
        self.assertEqual(pane.wait_exit(timeout=60), 0)
        self.assertIn("the page needs 50 x 30", pane.history())


if __name__ == "__main__":
    unittest.main()
