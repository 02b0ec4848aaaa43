"""The binding layer's own cost, one build against another: every hidden path a call goes through (a pip's
conversion, a name's lookup, a sample's rows read once, a pack checked before it is copied).

Each build is timed in interpreters of its own, alternately, and every case is divided by a pure-Python
call timed in the same interpreter, so that the ratio of two builds is taken from figures measured alike.

  python bench/bench_bindings.py OLD_BUILD_DIR NEW_BUILD_DIR     # directories holding the module
"""
import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

CASES = {
    "rudiment bounce(pip)": "bounce(333)",
    "sample(name, pip)": "sample('circle', 333)",
    "pattern.sample(pip)": "pattern.sample(333)",
    "library.sample(name, pip)": "library.sample('mine', 333)",
    "recording.sample(pip)": "recording.sample(12)",
    "SampledPattern(64 rows)": "SampledPattern('p', '', rows64)",
    "PatternLibrary(8 patterns)": "PatternLibrary(pack8)",
    "SampledRecording(64 rows of 3)": "SampledRecording('r', axes, rows64, 120.0)",
}
BASELINE = "python call"


def measure():
    sys.path.insert(0, HERE)
    from timing import compare
    import trovelin
    rows64 = [(0.25, -0.5, 0.75)] * 64
    names = {
        "bounce": trovelin.bounce, "sample": trovelin.sample, "SampledPattern": trovelin.SampledPattern,
        "PatternLibrary": trovelin.PatternLibrary, "SampledRecording": trovelin.SampledRecording,
        "rows64": rows64, "axes": ["x", "y", "z"],
        "pattern": trovelin.SampledPattern("p", "", rows64),
        "pack8": [trovelin.SampledPattern(f"p{i}", "", rows64) for i in range(8)],
        "library": trovelin.PatternLibrary([trovelin.SampledPattern("mine", "", rows64)]),
        "recording": trovelin.SampledRecording("r", ["x", "y", "z"], rows64, 120.0),
        "python_call": lambda pip: (pip, 0.0, 0.0),
    }
    cases = [(BASELINE, "python_call(333)", names)] + [(label, stmt, names) for label, stmt in CASES.items()]
    times = compare(cases, number=2000, rounds=9)
    print(json.dumps({label: t / times[BASELINE] for label, t in times.items()}))


def main(old, new, turns=3):
    best = {}
    for _ in range(turns):
        for which, folder in (("old", old), ("new", new)):
            env = dict(os.environ, PYTHONPATH=os.path.abspath(folder))
            out = subprocess.run([sys.executable, __file__, "--measure"], env=env, capture_output=True, text=True,
                                 check=True).stdout
            for label, ratio in json.loads(out).items():
                key = (which, label)
                best[key] = min(best.get(key, float("inf")), ratio)
    width = max(len(label) for label in CASES)
    print(f"{'case':{width}s}  old (x {BASELINE})  new (x {BASELINE})  new / old")
    for label in CASES:
        o, n = best[("old", label)], best[("new", label)]
        print(f"{label:{width}s}  {o:18.2f}  {n:18.2f}  {n / o:9.2f}")


if __name__ == "__main__":
    if sys.argv[1:] == ["--measure"]:
        measure()
    elif len(sys.argv) == 3:
        main(sys.argv[1], sys.argv[2])
    else:
        sys.exit(__doc__)
