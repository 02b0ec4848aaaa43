"""Draw motions so a person can judge them: a sheet of one row per motion.

For each motion, one row of three panels:
  path   the x-y path (x-z for a shape that only moves x and z), coloured from
         the start of the loop (dark) to its end (light); a dot marks pip 0;
         1-D shapes are drawn as x against pips instead
  axes   x, y and z against pips, with beat lines every 64 pips, and the
         motion's character words
  speed  the largest move of any axis between neighbouring pips, the seam from
         the last pip back to pip 0 included: spikes are hits or jumps

Needs matplotlib, the `preview` extra.
"""
from __future__ import annotations

import textwrap
from dataclasses import dataclass
from typing import Any, Callable, List, Sequence

import trovelin

from .character import Row, character_of
from .extras import require


@dataclass(frozen=True)
class Source:
    """Anything with a name, a description, a loop length and per-pip samples."""

    name: str
    description: str
    period: int
    dimensions: int
    sample: Callable[[int], Any]

    def rows(self) -> List[Row]:
        return [self.sample(p).as_tuple() for p in range(self.period)]


def default_sources(names: Sequence[str] = (), prefix: str = "") -> List[Source]:
    """The defaults named, and every default whose name starts with `prefix`; KeyError names the unknown."""
    listing = {d["name"]: d for d in trovelin.catalogue()}
    chosen = list(names)
    if prefix:
        chosen += [n for n in listing if n.startswith(prefix)]
    missing = [n for n in chosen if n not in listing]
    if missing:
        raise KeyError(", ".join(missing))
    return [Source(n, listing[n]["description"], listing[n]["period_pips"], listing[n]["dimensions"],
                   _sampler(n)) for n in chosen]


def _sampler(name: str) -> Callable[[int], Any]:
    return lambda pip: trovelin.sample(name, pip)


def pattern_source(pattern: trovelin.SampledPattern) -> Source:
    """A user's pattern, its dimensions those of the axes it moves."""
    rows = [pattern.sample(p).as_tuple() for p in range(pattern.period_pips)]
    dims = 3 if any(r[2] != 0 for r in rows) else 2 if any(r[1] != 0 for r in rows) else 1
    return Source(pattern.name, pattern.description, pattern.period_pips, dims, pattern.sample)


def max_steps(rows: Sequence[Row]) -> List[float]:
    n = len(rows)
    return [max(abs(rows[(i + 1) % n][a] - rows[i][a]) for a in range(3)) for i in range(n)]


def draw(sources: Sequence[Source], out: str) -> None:
    """Draw a sheet of `sources` into the file `out` (.png, .svg or .pdf)."""
    matplotlib = require("matplotlib", package="matplotlib", extra="preview", purpose="drawing a preview")
    matplotlib.use("Agg")
    plt: Any = require("matplotlib.pyplot", package="matplotlib", extra="preview", purpose="drawing a preview")
    LineCollection: Any = require("matplotlib.collections", package="matplotlib", extra="preview",
                                  purpose="drawing a preview").LineCollection

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
        words = ", ".join(character_of(src.name, src.description, "", rows, src.dimensions).words)
        title = f"{src.name}   ({src.period} pips, {src.dimensions}-D)   {words}"
        ax_axes.set_title(title + "\n" + "\n".join(textwrap.wrap(src.description, 110)), fontsize=8.5)

        ax_speed.plot(pips, steps, color="purple", lw=1)
        ax_speed.set_xlim(0, src.period)
        ax_speed.set_ylim(0, max(0.05, max(steps) * 1.1))
        ax_speed.set_title(f"largest step {max(steps):.3f} (seam {steps[-1]:.3f})", fontsize=8.5)
        ax_speed.grid(alpha=0.3)

    fig.tight_layout()
    fig.savefig(out, dpi=70)
    plt.close(fig)
