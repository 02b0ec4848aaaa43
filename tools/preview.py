#!/usr/bin/env python3
"""Draw patterns so a person can judge them.

For each pattern, one row of three panels:
  path   the x-y path (x-z for a shape that only moves x and z), coloured from
         the start of the loop (dark) to its end (light); a dot marks pip 0;
         1-D shapes are drawn as x against pips instead
  axes   x, y and z against pips, with beat lines every 64 pips
  speed  the largest move of any axis between neighbouring pips, the seam from
         the last pip back to pip 0 included: spikes are hits or jumps

Usage:
  python tools/preview.py lfo_breathe circle -o sheet.png
  python tools/preview.py --prefix mech_ -o mech.png
  python tools/preview.py --file my_patterns.py -o mine.svg   # PATTERNS = [SampledPattern, ...]

Needs matplotlib (pip install '.[preview]'). The module must be importable.
"""
import argparse
import runpy
import sys
import textwrap

import trovelin


class Source:
    """Anything with a name, a description, a loop length and per-pip samples."""

    def __init__(self, name, description, period, dimensions, sample):
        self.name, self.description = name, description
        self.period, self.dimensions, self.sample = period, dimensions, sample

    def rows(self):
        return [self.sample(p).as_tuple() for p in range(self.period)]


def default_sources(names=(), prefix=None):
    listing = {d["name"]: d for d in trovelin.catalogue()}
    chosen = list(names)
    if prefix:
        chosen += [n for n in listing if n.startswith(prefix)]
    missing = [n for n in chosen if n not in listing]
    if missing:
        sys.exit(f"unknown pattern(s): {', '.join(missing)}")
    return [Source(n, listing[n]["description"], listing[n]["period_pips"], listing[n]["dimensions"],
                   lambda p, n=n: trovelin.sample(n, p)) for n in chosen]


def pattern_source(pattern):
    rows = [pattern.sample(p).as_tuple() for p in range(pattern.period_pips)]
    dims = 3 if any(r[2] != 0 for r in rows) else 2 if any(r[1] != 0 for r in rows) else 1
    return Source(pattern.name, pattern.description, pattern.period_pips, dims, pattern.sample)


def max_steps(rows):
    n = len(rows)
    return [max(abs(rows[(i + 1) % n][a] - rows[i][a]) for a in range(3)) for i in range(n)]


def draw(sources, out):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from matplotlib.collections import LineCollection

    fig, grid = plt.subplots(len(sources), 3, figsize=(15, 3.6 * len(sources)), squeeze=False,
                             gridspec_kw={"width_ratios": [1, 2.2, 1.2]})
    for src, (ax_path, ax_axes, ax_speed) in zip(sources, grid):
        rows = src.rows()
        pips = list(range(src.period))
        xs, ys, zs = zip(*rows)
        steps = max_steps(rows)

        if src.dimensions == 1:
            ax_path.plot(pips, xs, color="tab:blue")
            ax_path.set_xlabel("pip")
            ax_path.set_ylabel("x")
            ax_path.set_ylim(-1.05, 1.05)
        else:
            horiz, vert, label = (xs, ys, ("x", "y"))
            if src.dimensions == 3 and max(map(abs, ys)) == 0:
                horiz, vert, label = xs, zs, ("x", "z")
            closed = list(zip(horiz, vert)) + [(horiz[0], vert[0])]
            segs = [[closed[i], closed[i + 1]] for i in range(len(closed) - 1)]
            lc = LineCollection(segs, cmap="viridis", linewidths=1.6)
            lc.set_array(pips)
            ax_path.add_collection(lc)
            ax_path.plot(horiz[0], vert[0], "o", color="crimson", ms=5)
            ax_path.set_xlim(-1.05, 1.05)
            ax_path.set_ylim(-1.05, 1.05)
            ax_path.set_aspect("equal")
            ax_path.set_xlabel(label[0])
            ax_path.set_ylabel(label[1])
            if src.dimensions == 3 and label == ("x", "y"):
                ax_path.scatter(xs[::8], ys[::8], c=zs[::8], cmap="coolwarm", vmin=-1, vmax=1, s=6, zorder=3)
        ax_path.grid(alpha=0.3)

        for values, colour, axis in ((xs, "tab:blue", "x"), (ys, "tab:orange", "y"), (zs, "tab:green", "z")):
            ax_axes.plot(pips, values, color=colour, label=axis, lw=1.4)
        for beat in range(0, src.period + 1, trovelin.PIPS_PER_BEAT):
            ax_axes.axvline(beat, color="grey", lw=0.8 if beat % 256 else 1.4, alpha=0.4)
        ax_axes.set_xlim(0, src.period)
        ax_axes.set_ylim(-1.05, 1.05)
        ax_axes.legend(loc="upper right", fontsize=7)
        title = f"{src.name}   ({src.period} pips, {src.dimensions}-D)"
        ax_axes.set_title(title + "\n" + "\n".join(textwrap.wrap(src.description, 110)), fontsize=8.5)

        ax_speed.plot(pips, steps, color="purple", lw=1)
        ax_speed.set_xlim(0, src.period)
        ax_speed.set_ylim(0, max(0.05, max(steps) * 1.1))
        ax_speed.set_title(f"largest step {max(steps):.3f} (seam {steps[-1]:.3f})", fontsize=8.5)
        ax_speed.grid(alpha=0.3)

    fig.tight_layout()
    fig.savefig(out, dpi=70)
    print(f"wrote {out} ({len(sources)} patterns)")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("names", nargs="*", help="default pattern names")
    parser.add_argument("--prefix", help="every default whose name starts with this")
    parser.add_argument("--file", help="a Python file defining PATTERNS, a list of SampledPattern")
    parser.add_argument("-o", "--output", default="preview.png", help=".png or .svg")
    args = parser.parse_args(argv)
    sources = default_sources(args.names, args.prefix)
    if args.file:
        sources += [pattern_source(p) for p in runpy.run_path(args.file)["PATTERNS"]]
    if not sources:
        parser.error("name at least one pattern")
    draw(sources, args.output)


if __name__ == "__main__":
    main()
