"""Shared timing helper for the benchmarks.

Cases are timed round-robin (every case once per round, many rounds) and each
keeps its fastest round, so a burst of load on a noisy machine hits all cases
alike instead of skewing one. Quote ratios against a baseline from the same run.
"""
import timeit


def compare(cases, number, rounds=15):
    """cases: list of (label, stmt, globals). Returns {label: seconds per call}."""
    timers = [(label, timeit.Timer(stmt, globals=names)) for label, stmt, names in cases]
    best = {label: float("inf") for label, _ in timers}
    for _ in range(rounds):
        for label, timer in timers:
            best[label] = min(best[label], timer.timeit(number) / number)
    return best


def report(times, baseline, unit_label="call"):
    base = times[baseline]
    width = max(len(label) for label in times)
    for label, t in times.items():
        print(f"{label:{width}s} {t * 1e9:9.1f} ns/{unit_label}  {t / base:6.2f}x  (baseline: {baseline})")
