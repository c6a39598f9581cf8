"""The harness itself: a run that outstays its time is ended with what it
started and fails with what it printed, a process left holding a run's output
does not hold up the test, and Wine's background processes hold none of a
test's files."""

import os
import shlex
import subprocess
import unittest

import harness
from harness import RunTimeout, Sandbox


def held_by_wine(*folders):
    """(command line, path) for each file below `folders` that a process of the
    group's Wine has open; the wineserver apart, which holds files for the
    programs it serves."""
    held = []
    for pid, command in harness.wine_processes():
        if "wineserver" in command:
            continue
        try:
            targets = [os.readlink(f"/proc/{pid}/fd/{fd}") for fd in os.listdir(f"/proc/{pid}/fd")]
        except OSError:
            continue
        held += [(command, target) for target in targets if target.startswith(tuple(map(str, folders)))]
    return held


def holders():
    return [command for _, command in harness.wine_processes() if "file_holder" in command]


class Harness(unittest.TestCase):
    def setUp(self):
        self.box = Sandbox(ini="")
        self.addCleanup(self.box.close)
        self.drive = self.box.map_drive("D")
        ini = harness.windows_path(self.box.program_dir / "ZRN.INI")
        self.holder = f'"{harness.windows_path(harness.FILE_HOLDER)}" "{ini}" 1'
        # The holder's input: a pipe that stays open until the test ends.
        self.input, writer = os.pipe()
        self.addCleanup(os.close, writer)
        self.addCleanup(os.close, self.input)

    def test_background_processes_hold_none_of_a_tests_files(self):
        self.box.make_dirs(self.drive, "a/proj-1", "b/proj-2")
        self.box.run("/?", cwd=self.drive)
        self.box.run("/info", cwd=self.drive)
        self.box.run_cmd(f'call "{self.box.wrapper_windows}" proj-1', cwd=self.drive)  # builds the index
        pane = self.box.pane("/?", cwd=self.drive)
        self.assertEqual(pane.wait_exit(), 0)
        self.assertEqual(held_by_wine(self.box.root, self.box.runs_dir), [])

    def test_a_run_that_outstays_its_time_is_ended_with_what_it_started(self):
        ini = harness.windows_path(self.box.program_dir / "ZRN.INI")
        starts = {
            "cmd": lambda: self.box.start_cmd(f"echo waiting for its input& {self.holder}", stdin=self.input),
            "shell": lambda: self.box.start_process(["sh", "-c", f"echo waiting for its input; sleep 600 | "
                                                                 f"{shlex.join(harness.HOST.launch([harness.FILE_HOLDER, ini]))} 1"]),
        }
        for label, start in starts.items():
            with self.subTest(label):
                run = start()
                # Its time starts once what it started is there to be ended.
                run.wait_output(b"held", timeout=120)
                with self.assertRaises(RunTimeout) as caught:
                    run.run(timeout=1)
                self.assertIn("waiting for its input", str(caught.exception))
                self.assertIn("held", str(caught.exception))
                harness.wait_until(lambda: not holders(), 60, "the end of the holder")

    def test_a_run_reads_its_input_to_the_end(self):
        # subprocess.PIPE gives an empty input, as subprocess.run does.
        for stdin in (None, subprocess.PIPE, b"some input\r\n"):
            with self.subTest(stdin=stdin):
                result = self.box.run_cmd(self.holder, stdin=stdin, timeout=60)
                self.assertEqual((result.returncode, result.text), (0, "held\n"))

    def test_a_process_left_holding_the_output_does_not_hold_up_the_run(self):
        result = self.box.run_cmd(f'start "" /b {self.holder}& echo started', stdin=self.input, timeout=60)
        self.assertEqual(result.returncode, 0)
        self.assertIn("started", result.text)
        self.assertEqual(len(holders()), 1, "the holder outlives the run")

    def test_a_pane_that_times_out_shows_its_screen(self):
        pane = self.box.pane("/?", cwd=self.drive)
        pane.wait_exit()
        with self.assertRaises(AssertionError) as caught:
            pane.wait_for("never shown", timeout=1)
        self.assertIn("ZRN - Zarnpath Help", str(caught.exception))
        self.assertIn("ended with exit code 0", str(caught.exception))


if __name__ == "__main__":
    unittest.main()
