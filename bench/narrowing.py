"""Measures how long the selection screen takes to show the narrowed list
after one more typed character, on 100,000 matches.

The program runs under Wine in a 100 x 40 tmux pane on an index of 100,000
directories D:\\w\\projNNNNN (all of which match "proj"). Each run types "7"
(the first narrowing, which also upper-cases the whole list once), waits for
the counter, then types one more "7"; the time of each runs from the tmux
send until the counter and the first row of the narrowed list are on the
screen. The list is narrowed by the program's rule (every typed word anywhere
in the path, letter case aside), which the expected counts repeat here.

`narrowing_driver.cpp`, linked with the library, times the program's own
share of the same two steps in-process (best of ten), without the console.
Usage: ZRN_BUILD_DIR=$PWD/build python3 bench/narrowing.py [--runs N]
"""

import argparse
import os
import pathlib
import subprocess
import sys
import tempfile
import time

REPO = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build")).resolve()
os.environ["ZRN_BUILD_DIR"] = str(BUILD)
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402  (reads ZRN_BUILD_DIR)
from screen_clock import seconds_until, spread  # noqa: E402

MATCHES = 100_000
PATHS = [f"D:\\w\\proj{i:05d}" for i in range(MATCHES)]


def expected(typed):
    """The counter and the first row once `typed` narrows the list."""
    kept = [path for path in PATHS if all(word.upper() in path.upper() for word in typed.split())]
    return f"Row 1 to 15 / {len(kept)} ", kept[0]


def timed_key(pane, key, typed):
    counter, first = expected(typed)
    start = time.perf_counter()
    pane.send(key)

    def narrowed(screen):
        lines = screen.split("\n")
        return len(lines) > 5 and counter in lines[4] and first in lines[5]

    return seconds_until(pane, narrowed, start, "the list was not narrowed")


def one_run(box, work):
    pane = box.pane("proj", width=100, height=40, cwd=work)
    try:
        pane.wait_for(f"Row 1 to 15 / {MATCHES}", timeout=120)
        time.sleep(1.0)
        first = timed_key(pane, "7", "7")
        time.sleep(0.5)
        more = timed_key(pane, "7", "77")
        return first, more
    finally:
        pane.send("Escape")
        pane.wait_exit(timeout=30)
        pane.close()


def driver():
    """The in-process figures of narrowing_driver.cpp."""
    with tempfile.TemporaryDirectory() as work:
        exe = pathlib.Path(work) / "narrowing_driver.exe"
        subprocess.run(["x86_64-w64-mingw32-g++-posix", "-std=c++20", "-O2", "-DUNICODE", "-D_UNICODE",
                        "-DWIN32_LEAN_AND_MEAN", "-DNOMINMAX", "-D_WIN32_WINNT=0x0600", f"-I{REPO / 'src'}",
                        str(REPO / "bench" / "narrowing_driver.cpp"), str(BUILD / "libzarnpath_lib.a"), "-static",
                        "-lshell32", "-lole32", "-luser32", "-ladvapi32", "-lwinmm", "-lpsapi", "-o", str(exe)],
                       check=True)
        return harness.run_wine([str(exe)]).text.strip()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with harness.Sandbox() as box:
        drive = box.map_drive("D")
        work = drive / "empty"
        work.mkdir()
        (drive / "Zarnpath").mkdir()
        # A fresh index, never too old without a ZRN.INI: no build is made.
        (drive / "Zarnpath" / "Indexfile.ZRN").write_bytes(("\r\n".join(PATHS) + "\r\n").encode("cp1252"))
        runs = [one_run(box, work) for _ in range(args.runs)]
    print("in-process:", driver())
    for name, times in (("first character (100,000 to 40,951)", [r[0] for r in runs]),
                        ("one more character (40,951 to 3,691)", [r[1] for r in runs])):
        print(f"{name}: " + spread(times))


if __name__ == "__main__":
    main()
