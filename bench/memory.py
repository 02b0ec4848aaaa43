#!/usr/bin/env python3
"""Resident memory while every class is built and dropped, at its limits, over and over.

Each phase runs two warm-up rounds, measures the process's private resident
memory, runs its cycles and measures again; the growth is what the cycles
kept. Objects at the limits are built fewer times (their construction is the
slow part), small ones and sampling 100,000 times. A flat line is the goal:
growth within allocator noise.

  python bench/memory.py [--scale 1.0]
"""
import argparse
import gc
import os
import time

import trovelin

PAGE = os.sysconf("SC_PAGE_SIZE")


def rss_kib():
    """Resident memory that is the process's own (resident less file-backed,
    shareable pages): the catalogue's tables are read-only pages of the module
    that become resident as they are first sampled, and are not growth."""
    with open("/proc/self/statm") as f:
        fields = f.read().split()
    return (int(fields[1]) - int(fields[2])) * PAGE // 1024


def resident_kib():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * PAGE // 1024


def phase(label, cycles, body):
    # Two warm-up rounds: the allocator keeps what one large temporary needed
    # (a recording's rows pass through a nested list of vectors), so the
    # second round shows the level it settles at.
    body(0)
    body(1)
    gc.collect()
    before, resident = rss_kib(), resident_kib()
    start = time.perf_counter()
    for k in range(cycles):
        body(k)
    gc.collect()
    after = rss_kib()
    paged_in = resident_kib() - resident - (after - before)
    print(f"{label:58s} {cycles:7d} cycles {time.perf_counter() - start:7.1f} s  "
          f"private {before / 1024:7.1f} -> {after / 1024:7.1f} MiB  growth {after - before:+7d} KiB"
          f"  (tables paged in {paged_in:+d} KiB)", flush=True)
    return after - before


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--scale", type=float, default=1.0, help="multiply every cycle count (e.g. 0.01 to try it)")
    args = parser.parse_args(argv)

    def n(count):
        return max(2, int(count * args.scale))

    defaults = [d["name"] for d in trovelin.catalogue()]
    full = [((k % 200) / 100 - 1, 0.5, -0.5) for k in range(65535)]
    small = [(0.1 * (k % 3), -0.2, 0.3) for k in range(64)]
    one_axis = [[0.25]] * 8_388_608
    print(f"trovelin memory check: {len(defaults)} defaults, private memory at start {rss_kib() / 1024:.1f} MiB")
    growth = []

    def big_pattern(k):
        p = trovelin.SampledPattern("full", "65,535 samples", full)
        for pip in range(k, k + 2000, 7):
            p.sample(pip)

    growth.append(phase("SampledPattern of 65,535 samples, built and sampled", n(300), big_pattern))

    pack = [trovelin.SampledPattern(f"p{i}", "pack", small) for i in range(1024)]

    def full_library(k):
        lib = trovelin.PatternLibrary(pack)
        for pip in range(200):
            lib.sample(f"p{(k + pip) % 1024}", pip)
            lib.sample(defaults[(k + pip) % len(defaults)], pip)
        lib.catalogue()

    growth.append(phase("PatternLibrary of 1024 patterns, built, sampled, listed", n(300), full_library))

    heavy = [trovelin.SampledPattern(f"h{i}", "heavy", full) for i in range(16)]

    def heavy_library(k):
        trovelin.PatternLibrary(heavy).sample(f"h{k % 16}", k)

    growth.append(phase("PatternLibrary of 16 x 65,535 samples (1,048,560)", n(100), heavy_library))

    def big_recording(k):
        rec = trovelin.SampledRecording("take", ["v"], one_axis, 120.0, start_pip=-k)
        for pip in range(0, 8_000_000, 40_000):
            rec.sample(pip)

    growth.append(phase("SampledRecording of 8,388,608 values, built and sampled", n(8), big_recording))

    def sample_every_default(k):
        name = defaults[k % len(defaults)]
        trovelin.sample(name, k * 37 - 50_000)
        trovelin.sample(name.encode(), -k)

    growth.append(phase("sample() of every default in turn", n(100_000), sample_every_default))

    def listing(k):
        trovelin.catalogue()

    growth.append(phase("catalogue() listing", n(2000), listing))

    rec = trovelin.SampledRecording("small", ["a", "b", "c"], [[0.1, 0.2, 0.3]] * 500, 96.0, start_pip=10)
    lib = trovelin.PatternLibrary(pack[:10])

    def small_objects(k):
        p = trovelin.SampledPattern("tiny", "small", small)
        p.sample(k)
        trovelin.SampledRecording("tiny", ["x", "y"], [[0.0, 0.1]] * 10, 120.0).sample(k % 10)
        rec.sample(10 + k % 500)
        lib.sample("p3", k)
        trovelin.circle(k)

    growth.append(phase("small patterns and recordings, built, sampled, dropped", n(100_000), small_objects))

    def refusals(k):
        for make in (lambda: trovelin.sample("no_such_motion", k),
                     lambda: trovelin.SampledPattern("Bad", "", small),
                     lambda: trovelin.SampledPattern("ok", "", [(2.0, 0.0, 0.0)]),
                     lambda: trovelin.PatternLibrary([pack[0], pack[0]]),
                     lambda: rec.sample(-k - 1),
                     lambda: trovelin.SampledRecording("r", ["a", "a"], [[0.0, 0.0]], 120.0),
                     lambda: trovelin.sample("circle", 1.5)):
            try:
                make()
            except (ValueError, IndexError, TypeError):
                pass

    growth.append(phase("refusals of every kind", n(100_000), refusals))
    print(f"total growth of private memory over all phases: {sum(growth):+d} KiB")


if __name__ == "__main__":
    main()
