"""What the screen benchmarks share: the time from a key to the screen that
answers it, and how several such times are reported. Import after harness
(which the benchmark has put on the path)."""

import statistics
import time


def seconds_until(pane, shows, start, what, colours=False):
    """Seconds from `start` (a perf_counter reading) until `shows(screen)`
    holds for the pane; the screen is looked at every 5 ms."""
    while True:
        screen = pane.screen(colours)
        if shows(screen):
            return time.perf_counter() - start
        if time.perf_counter() - start > 60:
            raise RuntimeError(f"{what} not within 60 s:\n{screen}")
        time.sleep(0.005)


def spread(times):
    """Each time, then the best, median and worst."""
    return (", ".join(f"{t:.3f}" for t in times)
            + f"; best {min(times):.3f} s, median {statistics.median(times):.3f} s, worst {max(times):.3f} s")
