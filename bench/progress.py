"""What the progress shown while an index is built costs: the build of a
100,000-directory drive, timed in a console (a tmux pane, where the window
title really changes) for the program and for a baseline build of it without
the progress (for example one of an earlier commit). Each figure is the
median of several builds; the index is deleted before each.

Usage: python3 bench/progress.py --baseline OLD.EXE [--program NEW.EXE] [--dirs N] [--runs N]
"""

import argparse
import os
import pathlib
import statistics
import sys
import time

REPO = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build")).resolve()
os.environ["ZRN_BUILD_DIR"] = str(BUILD)
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402  (reads ZRN_BUILD_DIR)


def make_tree(root, count):
    per_branch = 1000
    for i in range((count + per_branch - 1) // per_branch):
        branch = root / f"branch{i:03d}"
        for j in range(min(per_branch, count - i * per_branch) - 1):
            (branch / f"leaf{j:04d}").mkdir(parents=True, exist_ok=True)
    (root / "work").mkdir(exist_ok=True)


def processor_times():
    """User and system time so far of every process, by process id, with its name."""
    times = {}
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                raw = (entry / "stat").read_text()
            except OSError:
                continue
            fields = raw.rsplit(")", 1)[1].split()
            name = raw[raw.index("(") + 1:raw.rindex(")")]
            times[int(entry.name)] = (name, (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK"))
    return times


def build_time(box, exe, drive):
    """Wall time of a build, and the processor time that the program, the
    listing's cmd and the wineserver used in it. The program's own share is
    what reading the listing as it grows and showing the count can cost; if
    the progress slowed the listing down, cmd and the wineserver would spend
    a larger share of the wall time busy."""
    index = drive / "Zarnpath" / "Indexfile.ZRN"
    if index.exists():
        index.unlink()
    before = processor_times()
    last = dict(before)
    start = time.perf_counter()
    pane = box.pane(command=[str(exe), "zqxj-nowhere"], cwd=drive / "work", width=100, height=30)
    # Sampled while the build runs: cmd is gone by the end.
    while not pane.exited:
        last.update(processor_times())
        time.sleep(0.2)
    pane.wait_exit(timeout=3600)
    elapsed = time.perf_counter() - start
    pane.close()
    last.update(processor_times())
    if not index.exists():
        raise SystemExit(f"{exe} built no index")
    used = {"program": 0.0, "cmd": 0.0, "wineserver": 0.0}
    for pid, (name, seconds) in last.items():
        earlier = before.get(pid)
        spent = seconds - (earlier[1] if earlier and earlier[0] == name else 0.0)
        if name == exe.name:
            used["program"] += spent
        elif name.lower() == "cmd.exe":
            used["cmd"] += spent
        elif name.startswith("wineserver"):
            used["wineserver"] += spent
    return elapsed, used


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--baseline", required=True, help="a ZARNPATH.EXE without the progress")
    parser.add_argument("--program", default=str(BUILD / "ZARNPATH.EXE"))
    parser.add_argument("--dirs", type=int, default=100_000)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    with harness.Sandbox() as box:
        # Copies beside each other, so that neither writes into a build folder.
        exes = {}
        for name in ("baseline", "program"):
            exes[name] = box.program_dir / f"{name}.exe"
            exes[name].write_bytes(pathlib.Path(getattr(args, name)).read_bytes())
        drive = box.map_drive("K")
        print(f"Making {args.dirs:,} directories ...", flush=True)
        make_tree(drive, args.dirs)
        times = {"baseline": [], "program": []}
        own = {"baseline": [], "program": []}
        busy = {"baseline": [], "program": []}
        # Alternating, and each first in every other pair, so that neither a
        # slow spell of the machine nor going second favours one of them.
        for run in range(args.runs):
            for name in ("baseline", "program") if run % 2 == 0 else ("program", "baseline"):
                seconds, used = build_time(box, exes[name], drive)
                times[name].append(seconds)
                own[name].append(used["program"])
                busy[name].append((used["cmd"] + used["wineserver"]) / seconds)
                print(f"  run {run + 1} {name:8} {seconds:7.2f} s; processor time: program {used['program']:5.2f} s, "
                      f"cmd {used['cmd']:5.1f} s, wineserver {used['wineserver']:5.1f} s", flush=True)
        median = {name: statistics.median(values) for name, values in times.items()}
        print(f"median build: baseline {median['baseline']:.2f} s, with progress {median['program']:.2f} s, "
              f"difference {100 * (median['program'] - median['baseline']) / median['baseline']:+.1f} % "
              f"(the same program varied by {spread(times['program']):.0f} % here)")
        extra = statistics.median(own["program"]) - statistics.median(own["baseline"])
        print(f"program's own processor time, median: baseline {statistics.median(own['baseline']):.2f} s, "
              f"with progress {statistics.median(own['program']):.2f} s; the difference is "
              f"{100 * extra / median['baseline']:+.2f} % of the baseline build")
        print(f"cmd and wineserver busy, median share of the wall time: baseline "
              f"{statistics.median(busy['baseline']):.3f}, with progress {statistics.median(busy['program']):.3f}")


def spread(values):
    return 100 * (max(values) - min(values)) / min(values)


if __name__ == "__main__":
    main()
