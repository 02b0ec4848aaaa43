"""Effects: a motion with a desk's controls, and the fades between them.

An effect turns a loop position into a point: the source sampled there, then
scaled by `size` about the middle, rotated in the x-y plane, inverted and
swapped, moved to `centre`, and mirrored in x (centre included) for the
mirrored half of a group. The result is clamped to [-1, 1] on each axis.

Where a fixture's loop is, in pips of the source's loop:

    (show pip - cue start pip) * speed + phase * 64 - spread lag * period
"""
from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Tuple, Union

import trovelin

from .groups import ORDERS
from .sampling import INTERPOLATIONS, Point

Motion = Union[str, trovelin.SampledPattern]
MIN_SPEED = 0.125
MAX_SPEED = 8.0


def _finite(owner: str, **values: float) -> None:
    for key, value in values.items():
        if not math.isfinite(value):
            raise ValueError(f"{owner}: {key} must be a finite number, not {value!r}")


@dataclass(frozen=True)
class Effect:
    """A motion and its controls.

    - motion: a default's name, a pattern of the show's library by name, or a `SampledPattern`.
    - speed: loops played per loop of music, 1/8 to 8 (0.5 is half time, 2 double).
    - phase: a start offset in beats (positive: ahead).
    - size: scale about the middle, 0 (hold `centre`) to 1 (the whole motion).
    - centre: the base position (x, y, z), each in [-1, 1].
    - rotation: degrees, anticlockwise in the x-y plane.
    - invert_x, invert_y, invert_z, swap_xy: flips and the swap of x and y, applied to the motion.
    - spread: loops across a group (0: all together, 1: one whole loop), in `order` (`seed` for "shuffle").
    - mirror: the right half of the group mirrors x (about the stage middle).
    - interpolation: "smooth" or "linear" between whole pips.
    """

    motion: Motion
    speed: float = 1.0
    phase: float = 0.0
    size: float = 1.0
    centre: Tuple[float, float, float] = (0.0, 0.0, 0.0)
    rotation: float = 0.0
    invert_x: bool = False
    invert_y: bool = False
    invert_z: bool = False
    swap_xy: bool = False
    spread: float = 0.0
    order: str = "forward"
    seed: int = 0
    mirror: bool = False
    interpolation: str = "smooth"

    def __post_init__(self) -> None:
        name = f"effect {self.motion if isinstance(self.motion, str) else self.motion.name!r}"
        _finite(name, speed=self.speed, phase=self.phase, size=self.size, rotation=self.rotation,
                spread=self.spread)
        if not MIN_SPEED <= self.speed <= MAX_SPEED:
            raise ValueError(f"{name}: speed is 1/8 to 8, not {self.speed!r}")
        if not 0.0 <= self.size <= 1.0:
            raise ValueError(f"{name}: size is 0 to 1, not {self.size!r}")
        if len(self.centre) != 3 or not all(math.isfinite(c) and -1.0 <= c <= 1.0 for c in self.centre):
            raise ValueError(f"{name}: centre is three numbers in [-1, 1], not {self.centre!r}")
        if self.order not in ORDERS:
            raise ValueError(f"{name}: order is one of {', '.join(ORDERS)}, not {self.order!r}")
        if self.interpolation not in INTERPOLATIONS:
            raise ValueError(f"{name}: interpolation is one of {', '.join(INTERPOLATIONS)}, "
                             f"not {self.interpolation!r}")


# x' = a*x + b*y + cx, y' = c*x + d*y + cy, z' = e*z + cz
Placement = Tuple[float, float, float, float, float, float, float, float]


def _turn(degrees: float) -> Tuple[float, float]:
    """cos and sin of an angle in degrees, exact at multiples of 90."""
    quarter = degrees / 90.0
    if quarter == math.floor(quarter):
        return ((1.0, 0.0), (0.0, 1.0), (-1.0, 0.0), (0.0, -1.0))[int(quarter) % 4]
    r = math.radians(degrees)
    return math.cos(r), math.sin(r)


def placement(effect: Effect, mirrored: bool = False) -> Placement:
    """The affine map an effect puts a sampled point through, for a fixture in the mirrored half or not."""
    s = effect.size
    cos_r, sin_r = _turn(effect.rotation)
    # size, then rotation
    a, b, c, d = s * cos_r, -s * sin_r, s * sin_r, s * cos_r
    e = -s if effect.invert_z else s
    # then the flips and the swap of the turned motion
    if effect.invert_x:
        a, b = -a, -b
    if effect.invert_y:
        c, d = -c, -d
    if effect.swap_xy:
        a, b, c, d = c, d, a, b
    cx, cy, cz = effect.centre
    if mirrored:
        a, b, cx = -a, -b, -cx
    return (a, b, c, d, e, cx, cy, cz)


def place(p: Placement, point: Point) -> Point:
    """A sampled point put through a placement, clamped to [-1, 1]."""
    x, y, z = point
    return (_clamp(p[0] * x + p[1] * y + p[5]), _clamp(p[2] * x + p[3] * y + p[6]), _clamp(p[4] * z + p[7]))


def _clamp(v: float) -> float:
    return 1.0 if v > 1.0 else -1.0 if v < -1.0 else v


def fade_weight(progress: float) -> float:
    """How far a fade has gone (0 to 1) for `progress` through its time (0 to 1): an S-curve, so that the
    motion neither jumps nor kinks at either end. Exactly 0 at the start and 1 at the end."""
    if progress <= 0.0:
        return 0.0
    if progress >= 1.0:
        return 1.0
    return progress * progress * (3.0 - 2.0 * progress)


def blend(start: Point, end: Point, weight: float) -> Point:
    """The crossfade from `start` to `end` at `weight` (0: start exactly, 1: end exactly)."""
    if weight <= 0.0:
        return start
    if weight >= 1.0:
        return end
    keep = 1.0 - weight
    return (keep * start[0] + weight * end[0], keep * start[1] + weight * end[1],
            keep * start[2] + weight * end[2])
