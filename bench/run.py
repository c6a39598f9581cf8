"""Measures, on one generated million-line index, side by side:

- the index pass: ZARNPATH.EXE under Wine searching a big index, minus the
  same run against a one-line index (Wine's start-up and the current-directory
  pass cancel out), against `rg -i -F -c`, `LC_ALL=C grep -i -F -c` and a
  plain read of the file;
- inside the driver, the same pass for a path query (a parent and the
  name) and for a plain search sorted into the learned order, each against
  the plain search, for the rare fragment and for the common "src";
- the filter step of a build on the UTF-16 listing, timed inside a small
  driver linked with the program's library, against
  `LC_ALL=C grep -v -i -F -f words` on the ANSI copy.

Each figure is the best of several runs. Usage: bench/run.sh [--lines N] [--runs N]
"""

import argparse
import os
import pathlib
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

REPO = pathlib.Path(__file__).resolve().parents[1]
BUILD = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build")).resolve()
os.environ["ZRN_BUILD_DIR"] = str(BUILD)
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402  (reads ZRN_BUILD_DIR)

SEARCH = "zqrvex"
EXCLUSIONS = ["$Recycle.Bin", "$SysReset", "System Volume Information", "Zarnpath", "$WINDOWS.~BT",
              "$Windows.~WS", "OneDriveTemp", "Recovery", "Boot", "node_modules", ".git"]


def timed(argv, env=None, stdout=subprocess.DEVNULL, cwd=None):
    """Wall time and peak resident memory (KB) of one child process."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, env=env, stdout=stdout, stderr=subprocess.DEVNULL,
                            stdin=subprocess.DEVNULL, cwd=cwd)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    return time.perf_counter() - start, usage.ru_maxrss


def best(runs, argv, **kw):
    results = [timed(argv, **kw) for _ in range(runs)]
    return min(r[0] for r in results), max(r[1] for r in results)


def program_runs(runs, argv_big, argv_small, **kw):
    """Alternating runs of the program on both indexes: Wine's start of the
    hidden cmd.exe varies by tens of milliseconds from run to run."""
    big, small = [], []
    for _ in range(runs):
        big.append(timed(argv_big, **kw))
        small.append(timed(argv_small, **kw))
    return big, small


def build_driver(work):
    exe = work / "filter_driver.exe"
    subprocess.run(["x86_64-w64-mingw32-g++-posix", "-std=c++20", "-O2", "-DUNICODE", "-D_UNICODE",
                    "-DWIN32_LEAN_AND_MEAN", "-DNOMINMAX", "-D_WIN32_WINNT=0x0600", f"-I{REPO / 'src'}",
                    str(REPO / "bench" / "filter_driver.cpp"), str(BUILD / "libzarnpath_lib.a"), "-static",
                    "-lshell32", "-lole32", "-luser32", "-ladvapi32", "-lwinmm", "-lpsapi", "-o", str(exe)],
                   check=True)
    return exe


def driver(exe, runs, *args):
    """Best in-process time and the largest peak working set the driver saw."""
    times, peaks = [], []
    for _ in range(runs):
        out = subprocess.run(harness.HOST.launch([exe, *args]), env=harness.wine_env(), stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, check=True).stdout.decode()
        m = re.search(r"([\d.]+) s, result (\d+), peak working set ([\d.]+) MB", out)
        times.append(float(m.group(1)))
        peaks.append(float(m.group(3)))
    return min(times), max(peaks)


def parent_of_rare(index):
    """The component above the rare folder, for a path query that names it."""
    with open(index, "rb") as lines:
        for line in lines:
            parts = line.rstrip(b"\r\n").decode("cp1252").split("\\")
            if parts[-1].startswith("Zqrvex"):
                return parts[-2]
    raise AssertionError("the index holds no Zqrvex folder")


def queries(exe, runs, index):
    """Plain search, path query and learned order, in the driver, side by side."""
    path = harness.windows_path(index)
    rows = []
    for plain, path_query in ((SEARCH, f"{parent_of_rare(index)}\\{SEARCH}"), ("src", "projects\\src")):
        for label, args in ((f"plain {plain}", (plain,)), (f"path query {path_query}", (path_query,)),
                            (f"plain {plain}, learned order", (plain, "learned"))):
            found = re.search(r"result (\d+)", subprocess.run(
                harness.HOST.launch([exe, "scan", path, *args]), env=harness.wine_env(), stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL, check=True).stdout.decode()).group(1)
            seconds, peak = driver(exe, runs, "scan", path, *args)
            rows.append((label, seconds, peak, int(found)))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lines", type=int, default=1_000_000)
    parser.add_argument("--runs", type=int, default=5)
    opts = parser.parse_args()
    for tool in ("rg", "grep", "wine", "x86_64-w64-mingw32-g++-posix"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: run bench/run.sh without ZRN_BUILD_DIR to install it")

    work = pathlib.Path(tempfile.mkdtemp(prefix="zrn-bench-"))
    try:
        box = harness.Sandbox()
        big = box.map_drive("D")
        small = box.map_drive("E")
        for drive in (big, small):
            box.make_dirs(drive, "Work/Nothing", "Zarnpath")
        index = big / "Zarnpath" / "Indexfile.ZRN"
        listing = work / "listing.u16"
        words = work / "words"
        subprocess.run([sys.executable, str(REPO / "bench" / "make_index.py"), str(index), str(listing),
                        str(words), str(opts.lines)], check=True)
        (small / "Zarnpath" / "Indexfile.ZRN").write_bytes(b"E:\\Some\\Zqrvex Place\r\n")
        size_mb = index.stat().st_size / 1e6
        exe = build_driver(work)
        env = harness.wine_env()
        program = [str(box.exe)]

        # The index pass. Both runs find exactly one match, so both end by
        # writing the change script.
        cwd = big / "Work"
        timed([*harness.WINE, *program, f"d:{SEARCH}"], env=env, cwd=cwd)
        big, small = program_runs(opts.runs * 4, [*harness.WINE, *program, f"d:{SEARCH}"],
                                  [*harness.WINE, *program, f"e:{SEARCH}"], env=env, cwd=cwd)
        assert b"Zqrvex" in box.change_script(), box.change_script()
        big_time, one_time = min(r[0] for r in big), min(r[0] for r in small)
        big_rss, one_rss = max(r[1] for r in big), max(r[1] for r in small)
        pass_time = big_time - one_time
        median_pass = statistics.median(r[0] for r in big) - statistics.median(r[0] for r in small)
        scan_time, scan_peak = driver(exe, opts.runs, "scan", harness.windows_path(index), SEARCH)
        rg_time, _ = best(opts.runs, ["rg", "-i", "-F", "-c", SEARCH, str(index)])
        grep_env = dict(os.environ, LC_ALL="C")
        grep_time, _ = best(opts.runs, ["grep", "-i", "-F", "-c", SEARCH, str(index)], env=grep_env)
        read_time, _ = best(opts.runs, ["cat", str(index)])
        query_rows = queries(exe, opts.runs, index)

        # The filter step.
        filtered = work / "filtered"
        filter_time, filter_peak = driver(exe, opts.runs, "filter", harness.windows_path(listing),
                                          harness.windows_path(filtered), *EXCLUSIONS)
        grep_out = work / "grep-out"
        grep_filter = []
        for _ in range(opts.runs):
            with open(grep_out, "wb") as out:
                grep_filter.append(timed(["grep", "-v", "-i", "-F", "-f", str(words), str(index)],
                                         env=grep_env, stdout=out)[0])
        same = filtered.read_bytes() == grep_out.read_bytes()

        print(f"\nIndex: {opts.lines} lines, {size_mb:.1f} MB ANSI; listing {listing.stat().st_size / 1e6:.1f} MB UTF-16")
        print("\nIndex pass (search misses the current directory)")
        print(f"  ZARNPATH.EXE, big index minus one-line index  {pass_time:7.3f} s "
              f"(best runs {big_time:.3f} s and {one_time:.3f} s; medians differ by {median_pass:.3f} s)")
        print(f"  the same pass inside the driver                {scan_time:7.3f} s, "
              f"peak working set {scan_peak:.1f} MB")
        print(f"  extra resident memory of the big run           {(big_rss - one_rss) / 1024:7.1f} MB")
        print(f"  rg -i -F -c                                    {rg_time:7.3f} s   ratio {pass_time / rg_time:.2f}"
              f" (in the driver {scan_time / rg_time:.2f})")
        print(f"  LC_ALL=C grep -i -F -c                         {grep_time:7.3f} s   ratio {pass_time / grep_time:.2f}"
              f" (in the driver {scan_time / grep_time:.2f})")
        print(f"  plain read (cat)                               {read_time:7.3f} s")
        print("\nPath query and learned order, inside the driver (best of runs)")
        for label, seconds, peak, found in query_rows:
            print(f"  {label:<45}  {seconds:7.3f} s, {found:>6} matches, peak working set {peak:.1f} MB")
        print("\nFilter step of a build")
        print(f"  ListingFilter (UTF-16 in, ANSI out)            {filter_time:7.3f} s, "
              f"peak working set {filter_peak:.1f} MB")
        print(f"  LC_ALL=C grep -v -i -F -f words (ANSI)         {min(grep_filter):7.3f} s   "
              f"ratio {filter_time / min(grep_filter):.2f}")
        print(f"  same lines as grep kept: {'yes' if same else 'NO'}")
        box.close()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
