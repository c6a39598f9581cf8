"""What a planted index can cost a search: 200,000 lines naming one folder
through the default character ("N:\\x?\\pq", each to be looked up on the
drive), and for comparison as many lines without it. Each figure is the
median wall time of several runs of the program under Wine, output to a file
(no console: the matches are printed, up to the cap).

Usage: python3 bench/planted_index.py [--program EXE] [--lines N] [--runs N]
"""

import argparse
import os
import pathlib
import shutil
import statistics
import sys
import time

REPO = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build")).resolve()
os.environ["ZRN_BUILD_DIR"] = str(BUILD)
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402  (reads ZRN_BUILD_DIR)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", type=pathlib.Path)
    parser.add_argument("--lines", type=int, default=200_000)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with harness.Sandbox() as box:
        if args.program:
            shutil.copy2(args.program, box.exe)
        n = box.map_drive("N")
        box.make_dirs(n, "x\u0416/pq", "xa/pq", "Work")
        (n / "Zarnpath").mkdir()
        for label, line in (("default character", b"N:\\x?\\pq\r\n"), ("plain", b"N:\\xa\\pq\r\n")):
            (n / "Zarnpath" / "Indexfile.ZRN").write_bytes(line * args.lines)
            times = []
            for _ in range(args.runs):
                start = time.perf_counter()
                box.run("n:pq", cwd=n / "Work", timeout=600)
                times.append(time.perf_counter() - start)
            print(f"{label:18} {args.lines} lines: median {statistics.median(times):.2f} s")


if __name__ == "__main__":
    main()
