"""A source's position at a fractional pip, sampled from the module's own values.

A source is a default by name, a pattern of a `PatternLibrary` by name, or a
`SampledPattern`. Its rows (one (x, y, z) per pip of its loop) are read once,
through the module's own `sample`, the first time the source is asked for;
between whole pips the position is interpolated:

- ``"linear"``: a straight line between the two rows;
- ``"smooth"``: a monotone cubic Hermite curve over each pip, its tangents
  limited so that it stays between the pip's two rows. It passes through every
  row with a continuous velocity, never leaves [-1, 1], and a one-pip jump in
  the rows (a hit) stays a jump within its pip.

At a whole pip both give the module's value exactly.
"""
from __future__ import annotations

import math
from typing import Dict, List, Optional, Sequence, Tuple, Union

import trovelin

Point = Tuple[float, float, float]
Source = Union[str, trovelin.SampledPattern]
INTERPOLATIONS: Tuple[str, ...] = ("smooth", "linear")
# Per pip: x, then its three polynomial coefficients in the fraction t, then y's and z's.
Coefficients = Tuple[float, float, float, float, float, float, float, float, float, float, float, float]


def source_name(source: Source) -> str:
    return source if isinstance(source, str) else source.name


def _limited_tangent(before: float, after: float) -> float:
    """The tangent at a row between steps `before` and `after`: flat at a turn or a plateau, else the central
    difference limited to three times the smaller step, which keeps the curve monotone on both sides."""
    if before * after <= 0.0:
        return 0.0
    central = (before + after) / 2.0
    limit = 3.0 * min(abs(before), abs(after))
    return max(-limit, min(limit, central))


def _axis_coefficients(values: Sequence[float], smooth: bool) -> List[Tuple[float, float, float, float]]:
    n = len(values)
    steps = [values[(i + 1) % n] - values[i] for i in range(n)]
    out = []
    for i in range(n):
        v, d = values[i], steps[i]
        if not smooth:
            out.append((v, d, 0.0, 0.0))
            continue
        m0 = _limited_tangent(steps[i - 1], d)
        m1 = _limited_tangent(d, steps[(i + 1) % n])
        out.append((v, m0, 3.0 * d - 2.0 * m0 - m1, m0 + m1 - 2.0 * d))
    return out


class Track:
    """One source's loop, read from the module once, answering at any fractional pip.

    `coefficients[i]` holds, for the pip interval from row i to row i + 1, each
    axis as v + t * (a + t * (b + t * c)) for t in [0, 1): exactly the row at t = 0.
    """

    def __init__(self, rows: Sequence[Point], interpolation: str = "smooth") -> None:
        if interpolation not in INTERPOLATIONS:
            raise ValueError(f"interpolation is one of {', '.join(INTERPOLATIONS)}, not {interpolation!r}")
        if not rows:
            raise ValueError("a track needs at least one row")
        self.rows: Tuple[Point, ...] = tuple(rows)
        self.period_pips = len(self.rows)
        self.interpolation = interpolation
        smooth = interpolation == "smooth"
        axes = [_axis_coefficients([row[a] for row in self.rows], smooth) for a in range(3)]
        self.coefficients: List[Coefficients] = [xs + ys + zs for xs, ys, zs in zip(*axes)]

    def at(self, pip: float) -> Point:
        """The position at a fractional pip (any finite value; the loop repeats by floor modulo)."""
        whole = math.floor(pip)
        t = pip - whole
        c = self.coefficients[whole % self.period_pips]
        return (_clamp(c[0] + t * (c[1] + t * (c[2] + t * c[3]))),
                _clamp(c[4] + t * (c[5] + t * (c[6] + t * c[7]))),
                _clamp(c[8] + t * (c[9] + t * (c[10] + t * c[11]))))


def _clamp(v: float) -> float:
    return 1.0 if v > 1.0 else -1.0 if v < -1.0 else v


class Sampler:
    """Tracks of sources, each read once: defaults by name, a library's patterns, `SampledPattern`s.

    With a `library`, names are looked up in it (it serves the defaults too).
    """

    def __init__(self, library: Optional[trovelin.PatternLibrary] = None) -> None:
        self.library = library
        self._periods: Optional[Dict[str, int]] = None
        # A pattern object is keyed by identity and kept alive with its track, so that its id stays its own.
        self._tracks: Dict[Tuple[object, str], Tuple[Source, Track]] = {}

    def period_pips(self, source: Source) -> int:
        """The loop length of a source in pips; ValueError for a name nobody knows."""
        if not isinstance(source, str):
            return int(source.period_pips)
        if self._periods is None:
            listing = self.library.catalogue() if self.library is not None else trovelin.catalogue()
            self._periods = {entry["name"]: entry["period_pips"] for entry in listing}
        try:
            return self._periods[source]
        except KeyError:
            raise ValueError(f"Unknown trovelin: {source}") from None

    def rows(self, source: Source) -> List[Point]:
        """Every row of a source's loop, through the module's own sampling."""
        period = self.period_pips(source)
        if not isinstance(source, str):
            return [source.sample(i).as_tuple() for i in range(period)]
        if self.library is not None:
            library = self.library
            return [library.sample(source, i).as_tuple() for i in range(period)]
        return [trovelin.sample(source, i).as_tuple() for i in range(period)]

    def track(self, source: Source, interpolation: str = "smooth") -> Track:
        """The source's track, read the first time it is asked for."""
        key = (source if isinstance(source, str) else id(source), interpolation)
        found = self._tracks.get(key)
        if found is None:
            found = self._tracks[key] = (source, Track(self.rows(source), interpolation))
        return found[1]

    def at(self, source: Source, pip: float, interpolation: str = "smooth") -> Point:
        """The source's position at a fractional pip."""
        return self.track(source, interpolation).at(pip)
