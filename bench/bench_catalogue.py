"""Catalogue costs: import, memory, lookup, size, listing.

  python bench/bench_catalogue.py

Import time and resident memory are measured in fresh interpreters, each
import against `import math` started the same way in the same run; lookups
compare a catalogue name against a rudiment name through the same `sample`.
"""
import os
import statistics
import subprocess
import sys
import time

import trovelin
from timing import compare, report

PROBE = r"""
import sys, time
t = time.perf_counter()
import {module}
elapsed = time.perf_counter() - t
rss = dict(l.split(':', 1) for l in open('/proc/self/status'))['VmRSS'].split()[0]
print(elapsed, rss)
"""

TOUCH = r"""
import trovelin
for d in trovelin.catalogue()[15:]:
    for i in range(d['period_pips']):
        trovelin.sample(d['name'], i)
path = trovelin.__file__
private = shared = 0
with open('/proc/self/smaps') as f:
    mine = False
    for line in f:
        if line[0] in '0123456789abcdef' and ' ' in line and '-' in line.split()[0]:
            mine = line.rstrip().endswith(path)
        elif mine and line.startswith(('Private_Dirty', 'Private_Clean', 'Shared_Clean', 'Shared_Dirty')):
            kb = int(line.split()[1])
            if line.startswith('Private_Dirty'):
                private += kb
            else:
                shared += kb
print(private, shared)
"""


def fresh(module, runs=15):
    # -S skips site, which would otherwise have imported math already; the
    # module's own directory is put on the path instead.
    env = dict(os.environ, PYTHONPATH=os.path.dirname(trovelin.__file__))
    times, rss = [], []
    for _ in range(runs):
        out = subprocess.run([sys.executable, "-S", "-c", PROBE.format(module=module)], capture_output=True,
                             text=True, check=True, env=env).stdout.split()
        times.append(float(out[0]))
        rss.append(int(out[1]))
    return min(times), statistics.median(rss)


def main():
    # Interleave the two so machine noise falls on both alike.
    results = {"math": [], "trovelin": [], "decimal": []}
    for _ in range(3):
        for module in results:
            results[module].append(fresh(module, runs=5))
    t_math = min(r[0] for r in results["math"])
    t_trov = min(r[0] for r in results["trovelin"])
    rss_math = statistics.median(r[1] for r in results["math"])
    rss_trov = statistics.median(r[1] for r in results["trovelin"])
    t_dec = min(r[0] for r in results["decimal"])
    print(f"import time:   math {t_math * 1e3:.3f} ms, trovelin {t_trov * 1e3:.3f} ms "
          f"({t_trov / t_math:.1f}x); decimal, for scale, {t_dec * 1e3:.3f} ms")
    print(f"RSS after import: math {rss_math:.0f} kB, trovelin {rss_trov:.0f} kB "
          f"(+{rss_trov - rss_math:.0f} kB, {rss_trov / rss_math:.3f}x)")

    size = os.path.getsize(trovelin.__file__)
    entries = len(trovelin.catalogue()) - 15
    print(f"module file: {size / 1e6:.2f} MB for {entries} catalogue entries")

    private, shared = map(int, subprocess.run([sys.executable, "-c", TOUCH], capture_output=True, text=True,
                                              check=True).stdout.split())
    print(f"after sampling every row: module mapping {shared} kB clean (shareable), {private} kB private dirty")

    n = 200_000
    times = compare([
        ("rudiment: sample('circle', p)", "f('circle', p)", dict(f=trovelin.sample, p=1234)),
        ("catalogue first: sample('lfo_breathe', p)", "f('lfo_breathe', p)", dict(f=trovelin.sample, p=1234)),
        ("catalogue, first sorted: sample('accent_walk_10_3', p)", "f('accent_walk_10_3', p)",
         dict(f=trovelin.sample, p=1234)),
        ("beat entry: sample('beat_amen_four_bar_spring', p)", "f('beat_amen_four_bar_spring', p)",
         dict(f=trovelin.sample, p=1234)),
        ("last entry: sample('beat_dembow_push_ricochet', p)", "f('beat_dembow_push_ricochet', p)",
         dict(f=trovelin.sample, p=1234)),
        ("rudiment function: circle(p)", "f(p)", dict(f=trovelin.circle, p=1234)),
    ], n)
    report(times, "rudiment: sample('circle', p)")

    # The listing against Python building the same dicts from strings it holds.
    held = [(d["name"], d["description"], d["period_pips"], d["dimensions"]) for d in trovelin.catalogue()]
    build = "[{'name': n, 'description': d, 'period_pips': p, 'dimensions': k} for n, d, p, k in held]"
    library = trovelin.PatternLibrary([trovelin.SampledPattern("mine", "One of mine", [(0.0, 0.0, 0.0)] * 64)])
    print()
    report(compare([
        ("Python: the same dicts from held strings", build, dict(held=held)),
        ("catalogue()", "f()", dict(f=trovelin.catalogue)),
        ("PatternLibrary([one]).catalogue()", "f()", dict(f=library.catalogue)),
    ], 200), "Python: the same dicts from held strings", unit_label="listing")


if __name__ == "__main__":
    main()
