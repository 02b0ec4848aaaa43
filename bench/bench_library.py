"""Per-call cost of sampling through a full PatternLibrary.

A library of 1024 own patterns looks each name up in its own index before
falling back on the defaults. An empty library is timed too: the gap between
it and the module-level function is the cost of a bound-method call, the gap
between it and the full library is the cost of the index. All cases run
round-robin in one process; quote the ratios. Run with the built module on the path:

    PYTHONPATH=build/dev python bench/bench_library.py
"""
import trovelin
from timing import compare, report

PIP = 1234


def main():
    patterns = [trovelin.SampledPattern(f"user_pattern_{i}", "", [((i % 64) / 64, 0.0, 0.0)] * (1 + i % 256))
                for i in range(1024)]
    library = trovelin.PatternLibrary(patterns)
    empty = trovelin.PatternLibrary()
    own_first, own_last = patterns[0], patterns[-1]
    n = 200_000
    cases = [
        ("module sample('circle')", "f('circle', p)", dict(f=trovelin.sample, p=PIP)),
        ("library sample('circle'), no own", "f('circle', p)", dict(f=empty.sample, p=PIP)),
        ("library sample('circle'), 1024 own", "f('circle', p)", dict(f=library.sample, p=PIP)),
        ("library sample(first own)", "f(name, p)", dict(f=library.sample, name=own_first.name, p=PIP)),
        ("library sample(last own)", "f(name, p)", dict(f=library.sample, name=own_last.name, p=PIP)),
        ("pattern.sample (last own)", "f(p)", dict(f=own_last.sample, p=PIP)),
    ]
    report(compare(cases, n), "module sample('circle')")


if __name__ == "__main__":
    main()
