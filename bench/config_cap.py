"""Measures what a ZRN.INI at the size limit costs every run: ZARNPATH.EXE /?
under Wine with no ZRN.INI, with one of 4 MB of exclusion words (the limit;
only the first 1000 words count) and with one of 64 MB (read only up to the
limit), best wall time of several runs and the largest peak resident memory.

Usage: ZRN_BUILD_DIR=<build> python3 bench/config_cap.py [--runs N]
"""

import argparse
import os
import pathlib
import sys

REPO = pathlib.Path(__file__).resolve().parents[1]
os.environ.setdefault("ZRN_BUILD_DIR", str(REPO / "build"))
sys.path.insert(0, str(REPO / "tests" / "e2e"))
sys.path.insert(0, str(REPO / "bench"))
import harness  # noqa: E402
from run import timed  # noqa: E402


def write_words_file(path, size):
    """Written in pieces: a Python process holding the whole file would lend
    its own memory to the measured child's peak until the child execs."""
    with open(path, "wb") as out:
        out.write(b"[exclude]\r\n")
        n = 0
        while out.tell() < size:
            out.write(b"".join(b"word%07d ; a remark\r\n" % (n + k) for k in range(1000)))
            n += 1000
        out.truncate(size)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    opts = parser.parse_args()
    box = harness.Sandbox()
    try:
        env = harness.wine_env()
        argv = harness.HOST.launch([box.exe, "/?"])
        cases = [("no ZRN.INI", None), ("4 MB of exclusion words", 4 << 20), ("64 MB of exclusion words", 64 << 20)]
        print(f"ZARNPATH.EXE /? under Wine, best of {opts.runs} runs")
        for label, size in cases:
            ini = box.program_dir / "ZRN.INI"
            if size is None:
                ini.unlink(missing_ok=True)
            else:
                write_words_file(ini, size)
            timed(argv, env=env, cwd=box.root)
            results = [timed(argv, env=env, cwd=box.root) for _ in range(opts.runs)]
            best = min(r[0] for r in results)
            peak = max(r[1] for r in results) / 1024
            print(f"  {label:28} {best:6.3f} s   peak resident {peak:7.1f} MB")
    finally:
        box.close()


if __name__ == "__main__":
    main()
