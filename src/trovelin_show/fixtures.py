"""Fixtures: where a point (x, y, z) in [-1, 1] goes on a universe's channels.

A moving head steers pan with x and tilt with y. Its `pan` and `tilt` are the
full travel in degrees (540 and 270, say), centred on 0; an effect's -1 to 1
covers `pan_range` and `tilt_range`, the degrees (low, high) it may use. An
angle becomes round((degrees / span + 0.5) * 65535) on 16 bits (coarse byte,
then fine) or the same on 255 at 8 bits.

A generic fixture maps any axis to any channel, each from a low to a high
share of the channel's range (x to a dimmer, say).

Addresses are 1 to 512 within a universe; channel numbers in a fixture's
layout count from its address (1 is the address itself).
"""
from __future__ import annotations

import math
from dataclasses import dataclass, field
from typing import Callable, Dict, Optional, Tuple, Union

from .sampling import Point

CHANNELS_PER_UNIVERSE = 512
MOVING_HEAD_CHANNELS: Tuple[str, ...] = ("pan", "pan_fine", "tilt", "tilt_fine")
LAYOUT_16BIT: Tuple[str, ...] = ("pan", "pan_fine", "tilt", "tilt_fine")
LAYOUT_8BIT: Tuple[str, ...] = ("pan", "tilt")
AXES: Tuple[str, ...] = ("x", "y", "z")
UNUSED = ""  # a slot of a layout the effect does not drive
# Writes a fixture's channels for a point into its universe's 512 bytes.
Writer = Callable[[bytearray, Point], None]


def _check_place(kind: str, name: str, universe: int, address: int, footprint: int) -> None:
    if not name:
        raise ValueError(f"a {kind} needs a name")
    if universe < 0:
        raise ValueError(f"fixture {name!r}: universe {universe} is not a universe number")
    last = address + footprint - 1
    if address < 1 or last > CHANNELS_PER_UNIVERSE:
        raise ValueError(f"fixture {name!r}: channels {address} to {last} are not within 1 to "
                         f"{CHANNELS_PER_UNIVERSE} of universe {universe}")


def _check_fixed(name: str, footprint: int, fixed: Tuple[Tuple[int, int], ...], used: Tuple[int, ...]) -> None:
    for channel, value in fixed:
        if not 1 <= channel <= footprint or channel in used:
            raise ValueError(f"fixture {name!r}: fixed channel {channel} is not a free channel of its "
                             f"{footprint}")
        if not 0 <= value <= 255:
            raise ValueError(f"fixture {name!r}: fixed channel {channel} has value {value}, not 0 to 255")


@dataclass(frozen=True)
class MovingHead:
    """A moving head at `address` (1-based) of `universe`.

    - pan, tilt: the fixture's full travel in degrees, centred on 0.
    - pan_range, tilt_range: the degrees (low, high) an effect's -1 to 1 covers (default: the whole travel).
    - bits: 16 (coarse and fine channels) or 8.
    - layout: what each channel from the address carries: "pan", "pan_fine", "tilt", "tilt_fine", or ""
      for a channel left alone; the default is pan, pan fine, tilt, tilt fine (pan, tilt at 8 bits).
    - invert_pan, invert_tilt: the axis runs the other way; swap: x steers tilt and y pan.
    - home: where the head rests, as a point in the effect's -1 to 1, when no effect runs on it.
    - fixed: (channel, value) pairs of the layout's free channels held at a constant (a shutter open, say).
    """

    name: str
    universe: int
    address: int
    pan: float = 540.0
    tilt: float = 270.0
    pan_range: Optional[Tuple[float, float]] = None
    tilt_range: Optional[Tuple[float, float]] = None
    bits: int = 16
    layout: Optional[Tuple[str, ...]] = None
    invert_pan: bool = False
    invert_tilt: bool = False
    swap: bool = False
    home: Tuple[float, float, float] = (0.0, 0.0, 0.0)
    fixed: Tuple[Tuple[int, int], ...] = ()
    type: str = field(default="moving_head", init=False)

    def __post_init__(self) -> None:
        name = self.name
        for axis, span in (("pan", self.pan), ("tilt", self.tilt)):
            if not (math.isfinite(span) and span > 0.0):
                raise ValueError(f"fixture {name!r}: {axis} span must be positive degrees, not {span!r}")
        for axis, span, wanted in (("pan", self.pan, self.pan_range), ("tilt", self.tilt, self.tilt_range)):
            if wanted is None:
                continue
            low, high = wanted
            if not (math.isfinite(low) and math.isfinite(high) and -span / 2 <= low < high <= span / 2):
                raise ValueError(f"fixture {name!r}: {axis}_range {wanted!r} is not within the {axis} span of "
                                 f"{span:g} degrees (-{span / 2:g} to {span / 2:g}, low before high)")
        if self.bits not in (8, 16):
            raise ValueError(f"fixture {name!r}: bits is 8 or 16, not {self.bits!r}")
        layout = self.slots
        allowed = MOVING_HEAD_CHANNELS if self.bits == 16 else ("pan", "tilt")
        named = [slot for slot in layout if slot != UNUSED]
        if any(slot not in allowed for slot in named) or len(set(named)) != len(named) \
                or set(named) != set(allowed):
            raise ValueError(f"fixture {name!r}: a {self.bits}-bit layout has each of {', '.join(allowed)} "
                             f"once (and \"\" for other channels), not {layout!r}")
        if len(self.home) != 3 or not all(math.isfinite(v) and -1.0 <= v <= 1.0 for v in self.home):
            raise ValueError(f"fixture {name!r}: home is three numbers in [-1, 1], not {self.home!r}")
        _check_place("moving head", name, self.universe, self.address, len(layout))
        _check_fixed(name, len(layout), self.fixed,
                     tuple(i + 1 for i, slot in enumerate(layout) if slot != UNUSED))

    @property
    def slots(self) -> Tuple[str, ...]:
        """The layout in use: what each channel from the address carries."""
        if self.layout is not None:
            return self.layout
        return LAYOUT_16BIT if self.bits == 16 else LAYOUT_8BIT

    @property
    def footprint(self) -> int:
        """How many channels from the address the fixture takes."""
        return len(self.slots)

    def pan_limits_deg(self) -> Tuple[float, float]:
        return self.pan_range if self.pan_range is not None else (-self.pan / 2, self.pan / 2)

    def tilt_limits_deg(self) -> Tuple[float, float]:
        return self.tilt_range if self.tilt_range is not None else (-self.tilt / 2, self.tilt / 2)

    def angles_deg(self, point: Point) -> Tuple[float, float]:
        """The pan and tilt, in degrees from the centre of travel, that a point steers the head to."""
        x, y = (point[1], point[0]) if self.swap else (point[0], point[1])
        if self.invert_pan:
            x = -x
        if self.invert_tilt:
            y = -y
        plo, phi = self.pan_limits_deg()
        tlo, thi = self.tilt_limits_deg()
        return (plo + phi) / 2 + x * ((phi - plo) / 2), (tlo + thi) / 2 + y * ((thi - tlo) / 2)

    def values(self, point: Point) -> Tuple[int, int]:
        """The pan and tilt DMX values (0 to 65535, or 0 to 255 at 8 bits) for a point."""
        pan_deg, tilt_deg = self.angles_deg(point)
        full = 65535 if self.bits == 16 else 255
        return dmx_value(pan_deg, self.pan, full), dmx_value(tilt_deg, self.tilt, full)

    def channel_values(self, point: Point) -> Dict[int, int]:
        """Each channel's byte for a point, by channel number in the universe (1 to 512)."""
        pan, tilt = self.values(point)
        parts = {"pan": pan, "tilt": tilt}
        if self.bits == 16:
            parts = {"pan": pan >> 8, "pan_fine": pan & 0xFF, "tilt": tilt >> 8, "tilt_fine": tilt & 0xFF}
        out = {self.address + channel - 1: value for channel, value in self.fixed}
        for i, slot in enumerate(self.slots):
            if slot != UNUSED:
                out[self.address + i] = parts[slot]
        return out


def _head_writer(head: MovingHead) -> Writer:
    """`MovingHead.channel_values` (without the fixed channels) as one function of constants, writing straight
    into the universe's bytes; the same arithmetic in the same order, so the same values."""
    swap, invert_pan, invert_tilt = head.swap, head.invert_pan, head.invert_tilt
    plo, phi = head.pan_limits_deg()
    tlo, thi = head.tilt_limits_deg()
    pmid, phalf, tmid, thalf = (plo + phi) / 2, (phi - plo) / 2, (tlo + thi) / 2, (thi - tlo) / 2
    pan_span, tilt_span = head.pan, head.tilt
    full = 65535 if head.bits == 16 else 255
    where = {slot: head.address - 1 + i for i, slot in enumerate(head.slots) if slot != UNUSED}
    pan_at, tilt_at = where["pan"], where["tilt"]
    if head.bits == 8:
        def write8(buffer: bytearray, point: Point) -> None:
            x, y = (point[1], point[0]) if swap else (point[0], point[1])
            if invert_pan:
                x = -x
            if invert_tilt:
                y = -y
            buffer[pan_at] = min(full, max(0, round(((pmid + x * phalf) / pan_span + 0.5) * full)))
            buffer[tilt_at] = min(full, max(0, round(((tmid + y * thalf) / tilt_span + 0.5) * full)))
        return write8
    pan_fine_at, tilt_fine_at = where["pan_fine"], where["tilt_fine"]

    def write16(buffer: bytearray, point: Point) -> None:
        x, y = (point[1], point[0]) if swap else (point[0], point[1])
        if invert_pan:
            x = -x
        if invert_tilt:
            y = -y
        pan = min(full, max(0, round(((pmid + x * phalf) / pan_span + 0.5) * full)))
        tilt = min(full, max(0, round(((tmid + y * thalf) / tilt_span + 0.5) * full)))
        buffer[pan_at] = pan >> 8
        buffer[pan_fine_at] = pan & 0xFF
        buffer[tilt_at] = tilt >> 8
        buffer[tilt_fine_at] = tilt & 0xFF
    return write16


def writer(fixture: Fixture) -> Writer:
    """A function that writes the fixture's driven channels for a point into its universe's bytes (the fixed
    channels are not written: they never change)."""
    if isinstance(fixture, MovingHead):
        return _head_writer(fixture)
    channels = [(AXES.index(c.axis), fixture.address + c.channel - 2, c) for c in fixture.channels]

    def write(buffer: bytearray, point: Point) -> None:
        for axis, at, channel in channels:
            v = channel.value(point[axis])
            if channel.bits == 8:
                buffer[at] = v
            else:
                buffer[at] = v >> 8
                buffer[at + 1] = v & 0xFF
    return write


def dmx_value(degrees: float, span: float, full: int = 65535) -> int:
    """The DMX value (0 to `full`) for an angle on a travel of `span` degrees centred on 0."""
    return min(full, max(0, round((degrees / span + 0.5) * full)))


def point_of_values(pan: int, tilt: int, head: MovingHead) -> Point:
    """The (x, y, 0) that gives the pan and tilt DMX values: the inverse of `MovingHead.values`, up to
    the rounding of a value."""
    full = 65535 if head.bits == 16 else 255
    plo, phi = head.pan_limits_deg()
    tlo, thi = head.tilt_limits_deg()
    x = ((pan / full - 0.5) * head.pan - (plo + phi) / 2) / ((phi - plo) / 2)
    y = ((tilt / full - 0.5) * head.tilt - (tlo + thi) / 2) / ((thi - tlo) / 2)
    if head.invert_pan:
        x = -x
    if head.invert_tilt:
        y = -y
    return (y, x, 0.0) if head.swap else (x, y, 0.0)


@dataclass(frozen=True)
class Channel:
    """One channel of a generic fixture: `axis` ("x", "y" or "z") on channel `channel` (1 is the fixture's
    address), 8 bits or 16 (then `channel + 1` is the fine byte), -1 giving `low` and +1 giving `high` as
    shares (0 to 1) of the channel's range; `low` above `high` runs it the other way."""

    axis: str
    channel: int = 1
    bits: int = 8
    low: float = 0.0
    high: float = 1.0

    def __post_init__(self) -> None:
        if self.axis not in AXES:
            raise ValueError(f"a channel follows axis x, y or z, not {self.axis!r}")
        if self.bits not in (8, 16):
            raise ValueError(f"a channel has 8 or 16 bits, not {self.bits!r}")
        if self.channel < 1:
            raise ValueError(f"channel numbers count from 1, not {self.channel}")
        if not all(math.isfinite(v) and 0.0 <= v <= 1.0 for v in (self.low, self.high)):
            raise ValueError(f"a channel's low and high are shares from 0 to 1, not {self.low!r}, {self.high!r}")

    @property
    def numbers(self) -> Tuple[int, ...]:
        """The channel numbers (from the fixture's address, 1-based) this takes."""
        return (self.channel,) if self.bits == 8 else (self.channel, self.channel + 1)

    def value(self, v: float) -> int:
        """The value (0 to 255, or 0 to 65535 at 16 bits) for an axis value in [-1, 1]."""
        full = 255 if self.bits == 8 else 65535
        share = self.low + (v + 1.0) / 2.0 * (self.high - self.low)
        return min(full, max(0, round(share * full)))


@dataclass(frozen=True)
class Generic:
    """A fixture whose channels each follow an axis (see `Channel`), at `address` of `universe`, with
    `fixed` (channel, value) pairs held at a constant and `home` where it rests when no effect runs."""

    name: str
    universe: int
    address: int
    channels: Tuple[Channel, ...]
    home: Tuple[float, float, float] = (0.0, 0.0, 0.0)
    fixed: Tuple[Tuple[int, int], ...] = ()
    type: str = field(default="generic", init=False)

    def __post_init__(self) -> None:
        if not self.channels:
            raise ValueError(f"fixture {self.name!r}: a generic fixture needs at least one channel")
        numbers = [n for c in self.channels for n in c.numbers]
        if len(set(numbers)) != len(numbers):
            raise ValueError(f"fixture {self.name!r}: two axes share a channel")
        if len(self.home) != 3 or not all(math.isfinite(v) and -1.0 <= v <= 1.0 for v in self.home):
            raise ValueError(f"fixture {self.name!r}: home is three numbers in [-1, 1], not {self.home!r}")
        footprint = self.footprint
        _check_place("generic fixture", self.name, self.universe, self.address, footprint)
        _check_fixed(self.name, footprint, self.fixed, tuple(numbers))

    @property
    def footprint(self) -> int:
        return max([n for c in self.channels for n in c.numbers] + [c for c, _ in self.fixed])

    def channel_values(self, point: Point) -> Dict[int, int]:
        """Each channel's byte for a point, by channel number in the universe (1 to 512)."""
        out = {self.address + channel - 1: value for channel, value in self.fixed}
        for c in self.channels:
            v = c.value(point[AXES.index(c.axis)])
            if c.bits == 8:
                out[self.address + c.channel - 1] = v
            else:
                out[self.address + c.channel - 1] = v >> 8
                out[self.address + c.channel] = v & 0xFF
        return out


Fixture = Union[MovingHead, Generic]


def used_channels(fixture: Fixture) -> range:
    """The channel numbers in its universe the fixture takes."""
    return range(fixture.address, fixture.address + fixture.footprint)


def check_overlaps(fixtures: Tuple[Fixture, ...]) -> None:
    """Refuses fixtures with the same name, or sharing a channel of a universe, naming both."""
    names: Dict[str, Fixture] = {}
    owner: Dict[Tuple[int, int], Fixture] = {}
    for fixture in fixtures:
        if fixture.name in names:
            raise ValueError(f"two fixtures are called {fixture.name!r}")
        names[fixture.name] = fixture
        for channel in used_channels(fixture):
            other = owner.get((fixture.universe, channel))
            if other is not None:
                raise ValueError(f"fixtures {other.name!r} (channels {other.address} to "
                                 f"{other.address + other.footprint - 1}) and {fixture.name!r} (channels "
                                 f"{fixture.address} to {fixture.address + fixture.footprint - 1}) overlap on "
                                 f"channel {channel} of universe {fixture.universe}")
            owner[(fixture.universe, channel)] = fixture
