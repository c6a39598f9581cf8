"""Measures how long the selection screen takes to settle after a burst of
keys: 200 Down presses and one Up sent to it at once (one tmux send-keys),
the way a held key or a fast typist delivers them.

The program runs under Wine in a 100 x 40 tmux pane on 300 matches. The time
runs from the send until the pane shows the final state: the counter
"Row 187 to 201 / 300" with the 200th match highlighted and its preview
drawn. Each figure is one run; the best, median and worst of several runs are
printed. Usage: ZRN_BUILD_DIR=$PWD/build python3 bench/key_burst.py [--runs N]
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

MATCHES = 300
DOWNS = 200
HIGHLIGHT = "\x1b[30m\x1b[47m"


def settled(screen):
    lines = screen.split("\n")
    # 200 Downs leave the 201st match on the last row (top 186); Up moves the
    # highlight one row up without scrolling.
    return (len(lines) > 32 and "Row 187 to 201 / 300" in lines[4]
            and HIGHLIGHT in lines[5 + 13] and "inside" in "".join(lines[22:32]))


def one_run(box, work):
    pane = box.pane("proj", width=100, height=40, cwd=work)
    try:
        pane.wait_for("Row 1 to 15 / 300", timeout=60)
        time.sleep(1.0)
        keys = ["Down"] * DOWNS + ["Up"]
        start = time.perf_counter()
        pane.send(*keys)
        return seconds_until(pane, settled, start, "the screen did not settle", colours=True)
    finally:
        pane.send("Escape")
        pane.wait_exit(timeout=30)
        pane.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with harness.Sandbox() as box:
        work = box.map_drive("D")
        box.make_dirs(work, *[f"proj{i:03d}" for i in range(1, MATCHES + 1)])
        for i in range(1, MATCHES + 1):
            (work / f"proj{i:03d}" / "inside").mkdir()
        times = [one_run(box, work) for _ in range(args.runs)]
    print(f"{DOWNS} Downs and one Up on {MATCHES} matches, settled after (s): " + spread(times))


if __name__ == "__main__":
    main()
