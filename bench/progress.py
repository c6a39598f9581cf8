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


def cpu_seconds(pid):
    """User and system time of a running process so far, or None once it is gone."""
    try:
        fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def program_pid(exe):
    """The Wine process of the program (not the shell or tmux that started it)."""
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if exe.name.encode() in (entry / "cmdline").read_bytes() and "wine" in os.readlink(entry / "exe"):
                    return int(entry.name)
            except OSError:
                pass
    return None


def build_time(box, exe, drive):
    """Wall time of a build, and the processor time the program itself used
    (the listing's cmd not included): what reading the listing as it grows
    and showing the count cost on top of the filter's own work."""
    index = drive / "Zarnpath" / "Indexfile.ZRN"
    if index.exists():
        index.unlink()
    start = time.perf_counter()
    pane = box.pane(command=[str(exe), "zqxj-nowhere"], cwd=drive / "work", width=100, height=30)
    pid = None
    while pid is None and not pane.exited:
        pid = program_pid(exe)
    cpu = 0.0
    while pid is not None:
        sample = cpu_seconds(pid)
        if sample is None:
            break
        cpu = sample
        time.sleep(0.05)
    pane.wait_exit(timeout=3600)
    elapsed = time.perf_counter() - start
    pane.close()
    if not index.exists():
        raise SystemExit(f"{exe} built no index")
    return elapsed, cpu


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
        cpu = {"baseline": [], "program": []}
        # Alternating, so that a slow spell of the machine hits both.
        for run in range(args.runs):
            for name in ("baseline", "program"):
                seconds, used = build_time(box, exes[name], drive)
                times[name].append(seconds)
                cpu[name].append(used)
                print(f"  run {run + 1} {name:8} {seconds:7.2f} s, program's own processor time {used:6.2f} s",
                      flush=True)
        base = statistics.median(times["baseline"])
        prog = statistics.median(times["program"])
        print(f"median build: baseline {base:.2f} s, with progress {prog:.2f} s, "
              f"difference {100 * (prog - base) / base:+.1f} %")
        extra = statistics.median(cpu["program"]) - statistics.median(cpu["baseline"])
        print(f"program's own processor time, median: baseline {statistics.median(cpu['baseline']):.2f} s, "
              f"with progress {statistics.median(cpu['program']):.2f} s; the difference is "
              f"{100 * extra / base:+.2f} % of the baseline build")


if __name__ == "__main__":
    main()
