"""Measures how long ESC takes to stop an index build and give the prompt
back: the time from ESC to the shell's next prompt.

A Wine cmd runs in a 100 x 40 tmux pane; the wrapper ZRN.BAT searches a drive
of 6,000 directories without an index, followed by "echo READY", which stands
for the prompt (the wrapper's "@echo off" hides the prompt itself). Once the
progress line shows, ESC is sent; the time runs until the pane shows the
cancellation line followed by READY. Each figure is one run; the best,
median and worst are printed.
Usage: ZRN_BUILD_DIR=$PWD/build python3 bench/escape_wait.py [--runs N]
"""

import argparse
import os
import pathlib
import sys
import time

REPO = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build")).resolve()
os.environ["ZRN_BUILD_DIR"] = str(BUILD)
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402  (reads ZRN_BUILD_DIR)
from screen_clock import seconds_until, spread  # noqa: E402

CANCELLED = "The index build of drive K: was cancelled."


def prompt_after_cancel(screen):
    lines = [line.rstrip() for line in screen.split("\n") if line.strip()]
    return CANCELLED in lines[:-1] and lines[-1] == "READY"


def one_run(box, k):
    pane = box.pane(cwd=k, command=["cmd"])
    try:
        pane.wait_for("K:\\>", timeout=60)
        pane.send(f'call "{box.wrapper_windows}" findme & echo READY', "Enter")
        pane.wait_for("Indexing K:\\", timeout=60)
        time.sleep(0.5)
        start = time.perf_counter()
        pane.send("Escape")
        return seconds_until(pane, prompt_after_cancel, start, "no prompt")
    finally:
        pane.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with harness.Sandbox() as box:
        k = box.map_drive("K")
        box.make_many_dirs(k, 6000)
        box.make_dirs(k, "deep/findme a", "deep/findme b")
        times = [one_run(box, k) for _ in range(args.runs)]
    print("ESC during an index build to the next prompt (s): " + spread(times))


if __name__ == "__main__":
    main()
