"""Your own pack: SampledPatterns served by a PatternLibrary beside the defaults.

A pattern is one (x, y, z) per pip of its loop. The library answers for the
pack's patterns first and for every default after, lists them all, absorbs an
exact copy of a default, and refuses a pattern that would change one.

  python examples/own_pack.py
  python examples/own_pack.py --beats 2      # print two beats of each pattern of the pack
"""
import argparse
import math

import trovelin

PPB = trovelin.PIPS_PER_BEAT


def ramp(beats=2):
    """Along x only: a rise over most of the loop and a quick, smooth fall back."""
    n, rise = beats * PPB, beats * PPB * 3 // 4
    rows = []
    for i in range(n):
        u = i / rise if i < rise else 1 - (i - rise) / (n - rise)
        rows.append((2 * u * u * (3 - 2 * u) - 1, 0.0, 0.0))
    return rows


def square(beats=4):
    """In the x-y plane: a square whose corners fall on the beats."""
    corners = [(-0.8, -0.8), (0.8, -0.8), (0.8, 0.8), (-0.8, 0.8)]
    rows = []
    for i in range(beats * PPB):
        a, u = corners[i // PPB % 4], (i % PPB) / PPB
        b = corners[(i // PPB + 1) % 4]
        rows.append((a[0] + (b[0] - a[0]) * u, a[1] + (b[1] - a[1]) * u, 0.0))
    return rows


def corkscrew(beats=4):
    """In all three axes: two turns in x-y while z climbs and falls once."""
    n = beats * PPB
    return [(0.7 * math.cos(4 * math.pi * i / n), 0.7 * math.sin(4 * math.pi * i / n),
             math.sin(2 * math.pi * i / n)) for i in range(n)]


PATTERNS = [
    trovelin.SampledPattern("pack_ramp", "Two-beat rise and quick fall along x", ramp()),
    trovelin.SampledPattern("pack_square", "Four-beat square, a corner on every beat", square()),
    trovelin.SampledPattern("pack_corkscrew", "Two turns while z rises and falls", corkscrew()),
]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--beats", type=int, default=1, help="beats of each pattern to print")
    args = parser.parse_args(argv)

    # An exact copy of a default (same name, description, loop and every sample) is absorbed.
    circle = next(d for d in trovelin.catalogue() if d["name"] == "circle")
    copy = trovelin.SampledPattern("circle", circle["description"],
                                   [trovelin.circle(i).as_tuple() for i in range(circle["period_pips"])])
    library = trovelin.PatternLibrary(PATTERNS + [copy])
    listing = library.catalogue()
    defaults = len(trovelin.catalogue())
    print(f"the library lists {len(listing)} motions: {defaults} defaults and {len(listing) - defaults} of the pack "
          f"(the copy of circle was absorbed)")
    for d in listing[defaults:]:
        print(f"  {d['name']:<16} {d['period_pips']:4d} pips  {d['dimensions']}-D  {d['description']}")

    for pattern in PATTERNS:
        print(f"{pattern.name}, every quarter beat:")
        for pip in range(0, args.beats * PPB, PPB // 4):
            x, y, z = library.sample(pattern.name, pip).as_tuple()
            print(f"  pip {pip:4d}  x {x:+.6f} y {y:+.6f} z {z:+.6f}")
    x, y, z = library.sample("circle", 16).as_tuple()
    print(f"a default answers through the library too: circle at pip 16 is ({x:+.6f}, {y:+.6f}, {z:+.6f})")

    # Anything else under a default's name would change that default: the library refuses it.
    changed = [trovelin.circle(i).as_tuple() for i in range(circle["period_pips"])]
    changed[5] = (0.0, 0.0, 0.0)
    for pattern in (trovelin.SampledPattern("circle", circle["description"], changed),
                    trovelin.SampledPattern("circle", "My circle", changed)):
        try:
            trovelin.PatternLibrary(PATTERNS + [pattern])
            print("accepted?!")
        except ValueError as refusal:
            print(f"refused {pattern.name!r} ({pattern.description}): {refusal}")


if __name__ == "__main__":
    main()
