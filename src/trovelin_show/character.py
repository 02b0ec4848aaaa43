"""The character of a motion, measured from its rows, and the plain words it earns.

Every figure is computed from one loop of rows, (x, y, z) at each whole pip,
the seam from the last row back to the first included, so a loop that jumps at
its seam is measured as jumping. Distances are in field units (the field runs
from -1 to 1 on every axis); a step is the straight-line distance between the
rows of neighbouring pips.

The figures (`Figures`), each defined in `measure` and nowhere else:

  loop_beats      the loop length in beats (period_pips / 64)
  axes            the axes that move at all, as letters: "x", "xy", "xyz", ...
  extent          half the widest span of any axis: 1 reaches across the field
  speed           path length per beat
  punch           the largest step against the mean step: 1 for an even pace
  hits_per_beat   sharp reversals per beat: the direction turns back (more than
                  90 degrees between one move and the next) while the point
                  covers at least HIT_TRAVEL in the HIT_PIPS pips on each side
  turns_per_beat  every reversal of direction per beat, sharp or gentle
  rest_share      the share of steps shorter than REST_STEP: time held still
  smoothness      1 minus the largest change of step against twice the largest
                  step: 1 for a steady glide, about 0.95 for a one-beat circle,
                  0 for a motion that reverses at full speed

The words (`WORDS` lists them with their meaning) are decided by `words_for`
from the figures, a few measures of the shape (`Shape`) and the description,
with thresholds taken from the catalogue's own spread (`THRESHOLDS`).
`characters()` measures every default, and a library's own patterns beside
them, in about a second and a half of pure Python.
"""
from __future__ import annotations

import math
import re
from dataclasses import dataclass
from typing import Any, Callable, Dict, Iterable, List, Mapping, Optional, Sequence, Tuple

import trovelin

from .families import YOURS, family_of

Row = Tuple[float, float, float]

PIPS_PER_BEAT = 64
MOVE_EPS = 1e-6        # an axis whose span is below this does not move
REST_STEP = 2e-4       # a step shorter than this (0.0128 per beat) is time at rest
HIT_PIPS = 6           # how far either side of a reversal a hit is judged
HIT_TRAVEL = 0.1       # the path a hit covers in HIT_PIPS on each side of its reversal
SHAPE_POINTS = 128     # rows enough to judge the shape of a path


@dataclass(frozen=True)
class Figures:
    """What a loop does, in numbers (the module's docstring defines each)."""

    loop_beats: float
    axes: str
    extent: float
    speed: float
    punch: float
    hits_per_beat: float
    turns_per_beat: float
    rest_share: float
    smoothness: float

    def as_dict(self) -> Dict[str, Any]:
        return {"loop_beats": self.loop_beats, "axes": self.axes, "extent": self.extent, "speed": self.speed,
                "punch": self.punch, "hits_per_beat": self.hits_per_beat, "turns_per_beat": self.turns_per_beat,
                "rest_share": self.rest_share, "smoothness": self.smoothness}


# The figures a gallery sorts by, with a label and their unit.
FIGURE_LABELS: Tuple[Tuple[str, str], ...] = (
    ("loop_beats", "loop (beats)"), ("extent", "extent"), ("speed", "speed (per beat)"),
    ("punch", "punch"), ("hits_per_beat", "hits per beat"), ("turns_per_beat", "turns per beat"),
    ("rest_share", "share at rest"), ("smoothness", "smoothness"),
)


@dataclass(frozen=True)
class Shape:
    """Measures of the path's shape that decide the shape words.

    The plane is that of the two axes with the widest spans; `winding` is how
    many times the path goes round the centre of its bounding box in that plane
    (signed), `roundness_spread` the spread of its distance from that centre
    (standard deviation over mean, 0 for a circle) and `oval_spread` the same
    after scaling each axis to its own span (0 for any ellipse). `crossings`
    counts how often each axis of the plane crosses the middle of its span.
    `elongation` is the second widest span over the widest. `fan_rays` counts
    the separate directions in which the path leaves the centre and comes back
    (0 if it never returns to the centre). `through_middle` tells whether the
    path is near the middle of the other axis each time the axis of fewer
    crossings crosses its middle, as a figure eight's crossing point is.
    """

    plane: str
    winding: int
    roundness_spread: float
    oval_spread: float
    crossings: Tuple[int, int]
    elongation: float
    vertical: bool
    horizontal: bool
    fan_rays: int
    through_middle: bool


def rows_of(name: str, period_pips: int, sample: Optional[Callable[[str, int], Any]] = None) -> List[Row]:
    """One loop of a motion's rows, read from the module (or `sample(name, pip)`, such as a library's)."""
    read = sample or trovelin.sample
    return [read(name, pip).as_tuple() for pip in range(period_pips)]


def measure(rows: Sequence[Row]) -> Tuple[Figures, Shape]:
    """The figures and the shape of one loop of rows."""
    n = len(rows)
    if n == 0:
        raise ValueError("a loop needs at least one row")
    xs = [r[0] for r in rows]
    ys = [r[1] for r in rows]
    zs = [r[2] for r in rows]
    lows = (min(xs), min(ys), min(zs))
    highs = (max(xs), max(ys), max(zs))
    spans = tuple(h - lo for h, lo in zip(highs, lows))
    axes = "".join(a for a, s in zip("xyz", spans) if s > MOVE_EPS)
    beats = n / PIPS_PER_BEAT

    # steps, seam included: step i runs from row i to row i + 1
    sx = [b - a for a, b in zip(xs, xs[1:] + xs[:1])]
    sy = [b - a for a, b in zip(ys, ys[1:] + ys[:1])]
    sz = [b - a for a, b in zip(zs, zs[1:] + zs[:1])]
    lengths = [math.sqrt(a * a + b * b + c * c) for a, b, c in zip(sx, sy, sz)]
    path = math.fsum(lengths)
    longest = max(lengths)
    # the largest change from one step to the next, the seam's included
    jerk = math.sqrt(max((a - pa) * (a - pa) + (b - pb) * (b - pb) + (c - pc) * (c - pc) for a, b, c, pa, pb, pc
                         in zip(sx, sy, sz, sx[-1:] + sx[:-1], sy[-1:] + sy[:-1], sz[-1:] + sz[:-1])))
    moving = [i for i, length in enumerate(lengths) if length >= REST_STEP]

    turns = hits = 0
    if len(moving) > 1:
        before = moving[-1]
        for i in moving:
            if sx[before] * sx[i] + sy[before] * sy[i] + sz[before] * sz[i] < 0:
                turns += 1
                near = min(HIT_PIPS, n // 2)
                if (sum(lengths[(i - k) % n] for k in range(1, near + 1)) >= HIT_TRAVEL
                        and sum(lengths[(i + k) % n] for k in range(near)) >= HIT_TRAVEL):
                    hits += 1
            before = i

    figures = Figures(
        loop_beats=beats,
        axes=axes,
        extent=max(spans) / 2,
        speed=path / beats,
        punch=longest / (path / n) if path > 0 else 0.0,
        hits_per_beat=hits / beats,
        turns_per_beat=turns / beats,
        rest_share=(n - len(moving)) / n,
        smoothness=1.0 - jerk / (2 * longest) if longest > 0 else 1.0,
    )
    # the shape is judged on at most SHAPE_POINTS rows spread evenly over the loop
    every = max(1, n // SHAPE_POINTS)
    return figures, _shape(xs[::every], ys[::every], zs[::every], lows, highs, spans)


def _shape(xs: List[float], ys: List[float], zs: List[float], lows: Tuple[float, float, float],
           highs: Tuple[float, float, float], spans: Tuple[float, ...]) -> Shape:
    order = sorted(range(3), key=lambda a: -spans[a])
    first, second = sorted(order[:2])
    columns = (xs, ys, zs)
    us, vs = columns[first], columns[second]
    cu, cv = (lows[first] + highs[first]) / 2, (lows[second] + highs[second]) / 2
    hu, hv = spans[first] / 2, spans[second] / 2
    n = len(xs)
    widest = spans[order[0]]
    elongation = spans[order[1]] / widest if widest > MOVE_EPS else 0.0

    winding, round_spread, oval_spread = 0, 1.0, 1.0
    if hu > MOVE_EPS and hv > MOVE_EPS:
        angle = 0.0
        last = math.atan2(vs[-1] - cv, us[-1] - cu)
        radii, ovals = [], []
        for u, v in zip(us, vs):
            a = math.atan2(v - cv, u - cu)
            d = a - last
            angle += d - 2 * math.pi * round(d / (2 * math.pi))
            last = a
            radii.append(math.hypot(u - cu, v - cv))
            ovals.append(math.hypot((u - cu) / hu, (v - cv) / hv))
        winding = round(angle / (2 * math.pi))
        round_spread = _spread(radii)
        oval_spread = _spread(ovals)

    across = (_crossings(us, cu, hu), _crossings(vs, cv, hv))
    crossings = (len(across[0]), len(across[1]))
    # a figure eight passes through its middle each time its slower axis crosses
    slow_axis = 0 if crossings[0] <= crossings[1] else 1
    other, other_centre, other_half = (vs, cv, hv) if slow_axis == 0 else (us, cu, hu)
    through_middle = bool(across[slow_axis]) and all(
        abs(other[i] - other_centre) < 0.3 * other_half for i in across[slow_axis])
    # rays: leave the centre region, reach out in some direction, come back
    rays = 0
    if hu > MOVE_EPS:
        scale = max(hu, hv)
        near = [math.hypot(u - cu, v - cv) < 0.2 * scale for u, v in zip(us, vs)]
        if any(near) and not all(near):
            sectors = set()
            start = near.index(True)
            far, far_at = 0.0, 0.0
            for k in range(1, n + 1):
                i = (start + k) % n
                if near[i]:
                    if far > 0.6 * scale:
                        sectors.add(int((far_at + math.pi) / (2 * math.pi) * 8) % 8)
                    far = 0.0
                else:
                    r = math.hypot(us[i] - cu, vs[i] - cv)
                    if r > far:
                        far, far_at = r, math.atan2(vs[i] - cv, us[i] - cu)
            rays = len(sectors)
    return Shape(
        plane="xyz"[first] + "xyz"[second],
        winding=winding,
        roundness_spread=round_spread,
        oval_spread=oval_spread,
        crossings=crossings,
        elongation=elongation,
        vertical=spans[1] > MOVE_EPS and spans[1] >= 1.5 * max(spans[0], spans[2]),
        horizontal=spans[0] > MOVE_EPS and spans[0] >= 1.5 * max(spans[1], spans[2]),
        fan_rays=rays,
        through_middle=through_middle,
    )


def _spread(values: List[float]) -> float:
    mean = math.fsum(values) / len(values)
    if mean <= 0:
        return 1.0
    return math.sqrt(math.fsum((v - mean) ** 2 for v in values) / len(values)) / mean


def _crossings(values: List[float], centre: float, half: float) -> List[int]:
    """Where `values` cross `centre` (the index after each crossing), counting only swings past a tenth of the
    half-span either way, the seam included."""
    if half <= MOVE_EPS:
        return []
    side, found = 0, []
    n = len(values)
    for k in range(2 * n):  # twice round, so the side is known when the seam is crossed
        v = values[k % n]
        now = 1 if v > centre + 0.1 * half else -1 if v < centre - 0.1 * half else 0
        if now and side and now != side and k >= n:
            found.append(k - n)
        if now:
            side = now
    return found


# ---------------------------------------------------------------- words

# Thresholds from the spread of the 1731 defaults (`catalogue_quantiles` gives
# them again; a test keeps these in step with the catalogue). qNN is the NNth
# percentile of the figure over the catalogue.
THRESHOLDS: Dict[str, float] = {
    "slow_speed": 1.236,       # speed q25: slower than three quarters of the defaults
    "median_speed": 1.986,     # speed q50
    "fast_speed": 3.011,       # speed q75
    "small_extent": 0.58,      # extent q10
    "wide_extent": 0.8494,     # extent q75
    "smooth": 0.888,           # smoothness q50
    "rough": 0.8431,           # smoothness q25
    "punch": 3.306,            # punch q75
    "busy_turns": 2.375,       # turns per beat q75
    "shake_turns": 3.5,        # turns per beat q90
    "strobe_hits": 3.0,        # hits per beat q90
    "rests": 0.125,            # share at rest q75
}

# The words, what each means, in the order a card lists them.
WORDS: Dict[str, str] = {
    "still": "does not move",
    "slow": "covers little ground per beat (speed in the slowest quarter)",
    "fast": "covers much ground per beat (speed in the fastest quarter)",
    "wide": "reaches across most of the field (extent in the widest quarter)",
    "small": "stays near the middle (extent in the smallest tenth)",
    "smooth": "no sudden change of pace or direction (smoothness above the median, no hits)",
    "flowing": "smooth and never reverses or stops: one continuous curve",
    "sweeping": "a wide, smooth pass from side to side",
    "punchy": "sharp hits with a sudden largest step (punch in the top quarter)",
    "hits": "reverses sharply at speed at least once every two beats",
    "busy": "reverses direction often (turns per beat in the top quarter)",
    "holds": "rests in place for a share of the loop (share at rest in the top quarter)",
    "1-D": "moves along one axis",
    "planar": "moves in a plane (two axes)",
    "3-D": "moves on all three axes",
    "vertical": "mostly up and down",
    "horizontal": "mostly side to side",
    "sweep": "a wide back-and-forth pass along one main direction",
    "swing": "a smooth back-and-forth along an arc or a line, like a pendulum",
    "bounce": "back and forth along a line, rebounding sharply at an end",
    "circle": "goes round the middle once at an even distance",
    "orbit": "goes round the middle without reversing",
    "figure eight": "two lobes crossing in the middle",
    "wave": "a smooth oscillation on one main axis",
    "spiral": "winds round more than once, or spirals in depth",
    "fan": "leaves the middle and comes back in three or more directions",
    "hit": "sharp reversals at speed",
    "punch": "hard hits: the largest step far above the typical one",
    "shake": "many small quick reversals: a tremor",
    "chase": "moves from position to position, holding between",
    "strobe": "rapid hits, three or more a beat",
    "stab": "short sharp hits separated by rests",
}

# Words a description or name may also earn, each when its measure allows it.
_DESCRIBED: Tuple[Tuple[str, str], ...] = (
    ("sweep", r"sweep|\bscan"),
    ("swing", r"pendulum|\bswing"),
    ("bounce", r"bounce|\bhop\b|rebound"),
    ("circle", r"\bcircle|circular"),
    ("orbit", r"orbit|ellipse|revolution"),
    ("figure eight", r"figure[ _-]?(eight|8)"),
    ("wave", r"wave|\bsine\b|oscillat|ripple"),
    ("spiral", r"spiral|helix|corkscrew|torus"),
    ("fan", r"petal|\brose|\breach"),
    ("shake", r"tremor|flutter|shake|jitter|shimmer|wobble"),
    ("chase", r"sequence|\btour\b|vertex|chase"),
    ("stab", r"burst|ratchet|\bstab"),
    ("hit", r"\bhits?\b|accent|strike"),
)


@dataclass(frozen=True)
class Character:
    """A motion's listing, family, figures, shape and words (word -> strength in (0, 1], strongest first)."""

    name: str
    description: str
    family: str
    period_pips: int
    dimensions: int
    figures: Figures
    shape: Shape
    words: Mapping[str, float]

    def has(self, *words: str) -> bool:
        """Whether the motion earns every one of `words`."""
        return all(w in self.words for w in words)


def _grade(value: float, threshold: float, upward: bool = True) -> float:
    """0.5 at the threshold, towards 1 as `value` goes past it (twice the threshold, or zero, is 1)."""
    if threshold <= 0:
        return 1.0
    past = (value - threshold) / threshold if upward else (threshold - value) / threshold
    return round(0.5 + 0.5 * min(1.0, max(0.0, past)), 3)


def words_for(figures: Figures, shape: Shape, text: str = "",
              thresholds: Mapping[str, float] = THRESHOLDS) -> Dict[str, float]:
    """The words a motion earns, each with its strength, from its figures, shape and words (name and description)."""
    t = thresholds
    f = figures
    found: Dict[str, float] = {}
    moves = len(f.axes)
    if f.speed * f.loop_beats < 1e-3 or not moves:
        return {"still": 1.0}
    turns_per_loop = round(f.turns_per_beat * f.loop_beats)
    smooth = f.smoothness >= t["smooth"] and f.hits_per_beat == 0
    back_and_forth = turns_per_loop >= 2 and shape.winding == 0
    if f.speed <= t["slow_speed"]:
        found["slow"] = _grade(f.speed, t["slow_speed"], upward=False)
    if f.speed >= t["fast_speed"]:
        found["fast"] = _grade(f.speed, t["fast_speed"])
    if f.extent >= t["wide_extent"]:
        found["wide"] = _grade(f.extent, t["wide_extent"] * 0.9)
    if f.extent <= t["small_extent"]:
        found["small"] = _grade(f.extent, t["small_extent"], upward=False)
    if smooth:
        found["smooth"] = _grade(f.smoothness, t["smooth"] * 0.9)
        if f.turns_per_beat == 0 and f.rest_share == 0:
            found["flowing"] = found["smooth"]
        if f.extent >= t["wide_extent"] * 0.9 and f.turns_per_beat <= 1 and shape.winding == 0:
            found["sweeping"] = _grade(f.extent, t["wide_extent"] * 0.8)
    if (f.hits_per_beat >= 0.5 and f.punch >= t["punch"] and f.speed >= t["slow_speed"]
            and f.extent >= t["small_extent"]):
        found["punchy"] = found["punch"] = round(
            (_grade(f.punch, t["punch"]) + _grade(f.speed, t["fast_speed"] * 0.5) + _grade(f.extent, t["small_extent"])) / 3, 3)
    if f.hits_per_beat >= 0.5:
        found["hits"] = found["hit"] = _grade(f.hits_per_beat, 0.5)
    if f.turns_per_beat >= t["busy_turns"]:
        found["busy"] = _grade(f.turns_per_beat, t["busy_turns"])
    if f.rest_share >= t["rests"]:
        found["holds"] = _grade(f.rest_share, t["rests"])
    found[("1-D", "planar", "3-D")[min(moves, 3) - 1]] = 1.0
    if shape.vertical:
        found["vertical"] = 1.0
    if shape.horizontal:
        found["horizontal"] = 1.0

    # shapes
    line = shape.elongation <= 0.5
    if back_and_forth and line and smooth and f.extent >= t["wide_extent"] * 0.9 and f.turns_per_beat <= 1:
        found["sweep"] = _grade(f.extent * (1 - shape.elongation), t["wide_extent"] * 0.6)
    if back_and_forth and shape.elongation <= 0.6 and smooth and f.turns_per_beat <= 2:
        found["swing"] = _grade(f.smoothness, t["smooth"] * 0.95)
    if back_and_forth and line and f.hits_per_beat > 0 and f.hits_per_beat <= 4 and f.punch < 2 * t["punch"]:
        found["bounce"] = _grade(f.extent * (1 - shape.elongation), t["wide_extent"] * 0.5)
    if abs(shape.winding) == 1 and shape.roundness_spread < 0.06 and f.turns_per_beat == 0:
        found["circle"] = _grade(0.06 - shape.roundness_spread, 0.03)
    if shape.winding != 0 and shape.oval_spread < 0.25 and f.turns_per_beat == 0:
        found["orbit"] = _grade(0.25 - shape.oval_spread, 0.125)
    if (shape.winding == 0 and sorted(shape.crossings) == [2, 4] and f.turns_per_beat == 0
            and shape.elongation >= 0.3 and shape.through_middle and shape.fan_rays < 3):
        found["figure eight"] = 1.0
    if back_and_forth and smooth and (moves == 1 or shape.elongation <= 0.35):
        found["wave"] = _grade(f.smoothness, t["smooth"] * 0.95)
    if abs(shape.winding) >= 2 and f.turns_per_beat == 0:
        found["spiral"] = _grade(abs(shape.winding), 2)
    if shape.fan_rays >= 3:
        found["fan"] = _grade(shape.fan_rays, 3)
    if f.turns_per_beat >= t["shake_turns"] and f.speed / f.turns_per_beat <= 1.0:
        found["shake"] = _grade(f.turns_per_beat, t["shake_turns"])
    if f.rest_share >= t["rests"] and f.turns_per_beat > 0 and f.punch >= t["punch"] * 0.8:
        found["chase"] = _grade(f.rest_share, t["rests"])
    if f.hits_per_beat >= t["strobe_hits"]:
        found["strobe"] = _grade(f.hits_per_beat, t["strobe_hits"])
    if f.hits_per_beat > 0 and f.rest_share >= t["rests"] and f.punch >= t["punch"]:
        found["stab"] = _grade(f.rest_share, t["rests"])

    # what the words of the motion say, where its measures allow it
    lowered = text.lower()
    allowed = {
        "sweep": f.extent >= t["small_extent"] and f.hits_per_beat <= 1,
        "swing": back_and_forth or f.turns_per_beat > 0,
        "bounce": f.turns_per_beat > 0,
        "circle": shape.winding != 0 and shape.roundness_spread < 0.1,
        "orbit": shape.winding != 0 or shape.oval_spread < 0.5,
        "figure eight": True,
        "wave": f.turns_per_beat > 0,
        "spiral": shape.winding != 0 or "z" in f.axes,
        "fan": shape.fan_rays >= 2,
        "shake": f.turns_per_beat >= t["busy_turns"],
        "chase": f.rest_share > 0 or f.punch >= t["punch"],
        "stab": f.hits_per_beat > 0,
        "hit": f.hits_per_beat > 0,
    }
    for word, pattern in _DESCRIBED:
        if word not in found and allowed[word] and re.search(pattern, lowered):
            found[word] = 0.5
    order = list(WORDS)
    return dict(sorted(found.items(), key=lambda kv: order.index(kv[0])))


def character_of(name: str, description: str, family: str, rows: Sequence[Row],
                 dimensions: Optional[int] = None) -> Character:
    """The character of one motion from one loop of its rows."""
    figures, shape = measure(rows)
    dims = dimensions if dimensions is not None else max((i + 1 for i, a in enumerate("xyz") if a in figures.axes),
                                                           default=1)
    text = name.replace("_", " ") + " " + description
    return Character(name, description, family, len(rows), dims, figures, shape, words_for(figures, shape, text))


def characters(library: Optional[Any] = None,
               rows: Optional[Callable[[str, int], Sequence[Row]]] = None) -> List[Character]:
    """The character of every motion: the defaults, then a `trovelin.PatternLibrary`'s own patterns.

    `rows(name, period_pips)` may supply the rows (for one who has them already);
    by default they are read from the library, or from the module.
    """
    defaults = trovelin.catalogue()
    listing = library.catalogue() if library is not None else defaults
    rudiments = {d["name"] for d in defaults if callable(getattr(trovelin, d["name"], None))}
    count = len(defaults)
    read = rows or (lambda name, period: rows_of(name, period, library.sample if library is not None else None))
    result = []
    for index, d in enumerate(listing):
        family = family_of(d["name"], rudiments) if index < count else YOURS
        result.append(character_of(d["name"], d["description"], family, read(d["name"], d["period_pips"]),
                                   d["dimensions"]))
    return result


def matching(found: Iterable[Character], *words: str) -> List[Character]:
    """The motions that earn every one of `words`, strongest first (by the sum of their strengths)."""
    chosen = [c for c in found if c.has(*words)]
    return sorted(chosen, key=lambda c: -sum(c.words[w] for w in words))


def catalogue_quantiles(found: Sequence[Character]) -> Dict[str, float]:
    """The thresholds as the spread of `found` gives them (what THRESHOLDS holds for the defaults)."""
    def q(values: List[float], p: float) -> float:
        ordered = sorted(values)
        return ordered[int(p * (len(ordered) - 1))]
    figs = [c.figures for c in found]
    return {
        "slow_speed": q([f.speed for f in figs], 0.25), "median_speed": q([f.speed for f in figs], 0.5),
        "fast_speed": q([f.speed for f in figs], 0.75),
        "small_extent": q([f.extent for f in figs], 0.10), "wide_extent": q([f.extent for f in figs], 0.75),
        "smooth": q([f.smoothness for f in figs], 0.50), "rough": q([f.smoothness for f in figs], 0.25),
        "punch": q([f.punch for f in figs], 0.75),
        "busy_turns": q([f.turns_per_beat for f in figs], 0.75),
        "shake_turns": q([f.turns_per_beat for f in figs], 0.90),
        "strobe_hits": q([f.hits_per_beat for f in figs], 0.90),
        "rests": q([f.rest_share for f in figs], 0.75),
    }
