"""Per-call cost of a rudiment against the same formula written in Python,
and of every rudiment against `bounce`, whose call does no more than cross
the binding (a floor modulo and three doubles): how far each rudiment's own
work lifts it above that floor.

All run in one process, round-robin, several rounds each; the figures to
quote are the ratios, which survive the machine's noise far better than the
absolute times. Run after `pip install .` (or with PYTHONPATH=build/dev):

    python bench/bench_rudiments.py
"""
import math

import trovelin
from timing import compare, report

TWO_PI = 6.283185307179586
HALF_PI = 1.5707963267948966


def circle_py(pip):
    a = ((pip % 64) * 0.015625) * TWO_PI - HALF_PI
    return (math.cos(a), math.sin(a), 0.0)


def bounce_py(pip):
    u = (pip % 64) * 0.015625
    return (1.0 - abs(u - 0.5) * 4.0, 0.0, 0.0)


FIVE_STROKES = [(0, 1, 0.72, 9), (8, 1, 0.62, 9), (16, -1, 0.72, 9), (24, -1, 0.62, 9),
                (36, 1, 1.0, 14), (64, -1, 0.72, 9), (72, -1, 0.62, 9), (80, 1, 0.72, 9),
                (88, 1, 0.62, 9), (100, -1, 1.0, 14)]


def five_stroke_roll_py(pip):
    sx = sy = 0.0
    c = pip % 128
    for start, side, amplitude, length in FIVE_STROKES:
        local = (c - start) % 128
        if local < length:
            v = math.sin((local / length) * 3.141592653589793)
            e = (v * amplitude) * v
            sx += side * e
            sy -= e * 0.72
    return (max(-1.0, min(1.0, sx)), max(-1.0, min(1.0, sy)), 0.0)


def main():
    n = 200_000
    cases = [
        ("circle: pure Python tuple", "f(p)", dict(f=circle_py, p=1234)),
        ("circle: trovelin.circle", "f(p)", dict(f=trovelin.circle, p=1234)),
        ("circle: trovelin.circle + as_tuple", "f(p).as_tuple()", dict(f=trovelin.circle, p=1234)),
        ("circle: trovelin.sample by name", "f('circle', p)", dict(f=trovelin.sample, p=1234)),
        ("bounce: pure Python tuple", "f(p)", dict(f=bounce_py, p=1234)),
        ("bounce: trovelin.bounce", "f(p)", dict(f=trovelin.bounce, p=1234)),
        ("five_stroke_roll: pure Python tuple", "f(p)", dict(f=five_stroke_roll_py, p=1234)),
        ("five_stroke_roll: trovelin", "f(p)", dict(f=trovelin.five_stroke_roll, p=1234)),
    ]
    report(compare(cases, n), "circle: pure Python tuple")
    print()
    names = ["bounce", "sway", "circle", "figure_eight", "step_touch", "box_step", "helix", "vessa_background",
             "single_stroke_roll", "double_stroke_roll", "multiple_bounce_roll", "single_paradiddle", "flam", "drag",
             "five_stroke_roll"]
    # Pips 1234 and 1237 both land mid-stroke or mid-turn in every loop.
    floor = [(name, "f(p); f(q)", dict(f=getattr(trovelin, name), p=1234, q=1237)) for name in names]
    report(compare(floor, n // 2), "bounce", unit_label="2 calls")


if __name__ == "__main__":
    main()
