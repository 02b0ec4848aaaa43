"""Cost of a SampledRecording: building one from Python lists, and sampling it.

Construction of 1,000,000 values is compared with building the same nested
list in Python; `sample` per call is compared with a rudiment call timed in
the same run. Quote the ratios. Run after `pip install .` (or with the build
directory on PYTHONPATH):

    python bench/bench_recording.py
"""
import math

import trovelin
from timing import compare, report

VALUES = 1_000_000
FLAT = [math.sin(i * 0.001) for i in range(VALUES)]


def nested(axes):
    return [FLAT[i:i + axes] for i in range(0, VALUES, axes)]


def main():
    shapes = [(1, ["x"]), (4, ["x", "y", "z", "roll"])]
    cases = []
    for axes, dims in shapes:
        rows = nested(axes)
        cases += [
            (f"{axes} axes: nested list in Python", "nested(a)", dict(nested=nested, a=axes)),
            (f"{axes} axes: SampledRecording", "R('take', d, rows, 120.0)",
             dict(R=trovelin.SampledRecording, d=dims, rows=rows)),
        ]
    times = compare(cases, number=1, rounds=9)
    report({k: v for k, v in times.items() if k.startswith("1 ")}, "1 axes: nested list in Python", "build")
    report({k: v for k, v in times.items() if k.startswith("4 ")}, "4 axes: nested list in Python", "build")
    print()

    rows = nested(4)
    recording = trovelin.SampledRecording("take", ["x", "y", "z", "roll"], rows, 120.0, start_pip=-1000)
    pip = 123_456
    cases = [
        ("trovelin.bounce(p)", "f(p)", dict(f=trovelin.bounce, p=pip)),
        ("recording.sample(p), 4 axes", "f(p)", dict(f=recording.sample, p=pip)),
        ("list(rows[p - start]) in Python", "list(rows[p - s])", dict(rows=rows, p=pip, s=-1000)),
    ]
    report(compare(cases, 200_000), "trovelin.bounce(p)")


if __name__ == "__main__":
    main()
