"""Cost of a show frame per fixture, as a ratio to one `trovelin.sample()` call.

Rigs of 64 and 512 moving heads (16-bit pan and tilt, 32 heads a universe), one
group running `figure_eight` spread over the group, smooth and linear between
pips, steady and in the middle of a crossfade. All cases run round-robin in one
process, each keeping its fastest round; quote the ratios. The share of one
core that 512 heads take at 44 frames a second follows from the same times.

    PYTHONPATH=src python bench/bench_show.py
"""
import itertools
import time

import trovelin
from trovelin_show import Cue, Effect, Engine, Group, MovingHead, Show

ROUNDS = 9


def rig(count, interpolation="smooth", crossfade=False):
    heads = tuple(MovingHead(f"head{k}", universe=1 + k // 32, address=1 + 16 * (k % 32)) for k in range(count))
    group = Group("all", tuple(h.name for h in heads))
    cues = [Cue("all", Effect("figure_eight", spread=1.0, interpolation=interpolation), bar=1)]
    if crossfade:
        cues.append(Cue("all", Effect("circle", spread=0.5, size=0.5, rotation=30.0), bar=2, fade=1000.0))
    engine = Engine(Show(heads, (group,), tuple(cues)))
    engine.frame(0.0)  # reads the motions' rows
    return engine


def per_call(call, number):
    start = time.perf_counter()
    for _ in range(number):
        call()
    return (time.perf_counter() - start) / number


def main():
    pips = itertools.count(1234)
    sample = trovelin.sample

    def one_sample():
        sample("figure_eight", next(pips))

    times = itertools.count()
    cases = {"sample() call": (one_sample, 20000, 1)}
    for count in (64, 512):
        for interpolation, crossfade in (("smooth", False), ("linear", False), ("smooth", True)):
            engine = rig(count, interpolation, crossfade)
            label = f"{count} heads, {interpolation}{', crossfading' if crossfade else ''}"
            # Frames 1/44 s apart, far enough into the show that a crossfade is under way.
            cases[label] = ((lambda e=engine: e.frame(3.0 + next(times) / 44.0)), 20 if count == 512 else 120,
                            count)
    best = {label: float("inf") for label in cases}
    for _ in range(ROUNDS):
        for label, (call, number, _) in cases.items():
            best[label] = min(best[label], per_call(call, number))
    base = best["sample() call"]
    print(f"one sample() call: {base * 1e9:.0f} ns (the unit below)")
    for label, (_, _, count) in cases.items():
        if count == 1:
            continue
        frame = best[label]
        print(f"{label:34s} frame {frame * 1e3:7.3f} ms  per head {frame / count / base:6.1f} sample() calls"
              + (f"  at 44 fps: {frame * 44 * 100:5.1f}% of a core" if count == 512 else ""))


if __name__ == "__main__":
    main()
