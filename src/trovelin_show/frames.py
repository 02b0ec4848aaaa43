"""The show model and its frames: every universe's 512 channels and every fixture's (x, y, z) at a pip.

`Show` holds fixtures, groups, cues and the clock's settings; its constructor
refuses what cannot be (a fixture past channel 512, two fixtures on one
channel, a group of fixtures that do not exist). `Renderer` prepares a show
once and gives its frame at any fractional pip; the same show and the same pip
give the same bytes.
"""
from __future__ import annotations

import math
from dataclasses import dataclass, field
from typing import Dict, List, Mapping, Optional, Tuple

import trovelin

from .cues import Cue, active
from .effects import Effect, blend, fade_weight, place, placement
from .fixtures import CHANNELS_PER_UNIVERSE, Fixture, check_overlaps, writer
from .groups import Group, mirrored, spread_fractions
from .sampling import Point, Sampler, Track
from .tempo import PIPS_PER_BEAT

CLOCK_SOURCES: Tuple[str, ...] = ("tap", "midi")


@dataclass(frozen=True)
class Clock:
    """Where the show's time comes from.

    - bpm: the tempo to start at, beats a minute.
    - source: "tap" (the wall clock at `bpm`, changed by taps, nudges and resyncs) or "midi" (a MIDI clock).
    - beat_zero: the Unix time in seconds of beat 0 (the start of bar 1); None: whenever the show starts.
    """

    bpm: float = 120.0
    source: str = "tap"
    beat_zero: Optional[float] = None

    def __post_init__(self) -> None:
        if not (math.isfinite(self.bpm) and self.bpm > 0.0):
            raise ValueError(f"clock: bpm must be a positive number, not {self.bpm!r}")
        if self.source not in CLOCK_SOURCES:
            raise ValueError(f"clock: source is one of {', '.join(CLOCK_SOURCES)}, not {self.source!r}")
        if self.beat_zero is not None and not math.isfinite(self.beat_zero):
            raise ValueError(f"clock: beat_zero must be a time in seconds, not {self.beat_zero!r}")


@dataclass(frozen=True)
class Show:
    """Fixtures, groups of them, cues for the groups, the clock, the bar length in beats, and a
    `PatternLibrary` that serves the cues' motions by name (None: the defaults only)."""

    fixtures: Tuple[Fixture, ...]
    groups: Tuple[Group, ...] = ()
    cues: Tuple[Cue, ...] = ()
    clock: Clock = field(default_factory=Clock)
    beats_per_bar: int = 4
    library: Optional[trovelin.PatternLibrary] = None

    def __post_init__(self) -> None:
        for name in ("fixtures", "groups", "cues"):
            object.__setattr__(self, name, tuple(getattr(self, name)))
        check_overlaps(self.fixtures)
        if self.beats_per_bar < 1:
            raise ValueError(f"a bar has at least one beat, not {self.beats_per_bar}")
        fixtures = {f.name for f in self.fixtures}
        groups = set()
        for group in self.groups:
            if group.name in groups:
                raise ValueError(f"two groups are called {group.name!r}")
            groups.add(group.name)
            missing = [name for name in group.fixtures if name not in fixtures]
            if missing:
                raise ValueError(f"group {group.name!r} names fixtures that are not in the show: "
                                 + ", ".join(repr(m) for m in missing))
        for cue in self.cues:
            if cue.group not in groups:
                raise ValueError(f"a cue is for group {cue.group!r}, which is not in the show")

    def group(self, name: str) -> Group:
        for group in self.groups:
            if group.name == name:
                return group
        raise KeyError(name)


@dataclass(frozen=True)
class Frame:
    """The show at one moment: `pip` (fractional), every universe's 512 channel values by universe number, and
    every fixture's (x, y, z) by name. `time_s` is the moment in seconds, when the frame was asked for by
    time."""

    pip: float
    universes: Dict[int, bytes]
    positions: Dict[str, Point]
    time_s: Optional[float] = None


# What a prepared cue knows per fixture: its index in the show, its lag in pips, its placement.
_Slot = Tuple[int, float, Tuple[float, float, float, float, float, float, float, float]]


class _PreparedCue:
    __slots__ = ("track", "speed", "phase_pips", "fade_pips", "slots")

    def __init__(self, track: Optional[Track], speed: float, phase_pips: float, fade_pips: float,
                 slots: List[_Slot]) -> None:
        self.track = track
        self.speed = speed
        self.phase_pips = phase_pips
        self.fade_pips = fade_pips
        self.slots = slots


class Renderer:
    """A show prepared for frames: its motions read once, each fixture's constants worked out.

    `frame(pip, started)` is pure: `started` maps the index of a cue started by a go to its start pip.
    """

    def __init__(self, show: Show, sampler: Optional[Sampler] = None) -> None:
        self.show = show
        self.sampler = sampler if sampler is not None else Sampler(show.library)
        fixtures = show.fixtures
        self._index = {f.name: i for i, f in enumerate(fixtures)}
        self._homes: List[Point] = [f.home for f in fixtures]
        self._universe_numbers = sorted({f.universe for f in fixtures})
        template = {u: bytearray(CHANNELS_PER_UNIVERSE) for u in self._universe_numbers}
        for f in fixtures:
            for channel, value in f.fixed:
                template[f.universe][f.address + channel - 2] = value
        self._templates = {u: bytes(b) for u, b in template.items()}
        self._writers = [(f.universe, writer(f)) for f in fixtures]
        self._cues = [self._prepare(cue) for cue in show.cues]

    def _prepare(self, cue: Cue) -> _PreparedCue:
        group = self.show.group(cue.group)
        members = [self._index[name] for name in group.fixtures]
        fade_pips = cue.fade * PIPS_PER_BEAT
        effect: Optional[Effect] = cue.effect
        if effect is None:
            return _PreparedCue(None, 1.0, 0.0, fade_pips, [(k, 0.0, (0.0,) * 8) for k in members])
        track = self.sampler.track(effect.motion, effect.interpolation)
        period = track.period_pips
        lags = spread_fractions(len(members), effect.spread, effect.order, effect.seed)
        flips = mirrored(len(members)) if effect.mirror else (False,) * len(members)
        slots: List[_Slot] = [(k, lag * period, placement(effect, flip))
                              for k, lag, flip in zip(members, lags, flips)]
        return _PreparedCue(track, effect.speed, effect.phase * PIPS_PER_BEAT, fade_pips, slots)

    def _cue_points(self, cue: _PreparedCue, start: float, pip: float) -> Dict[int, Point]:
        """The points a cue alone puts its fixtures at, at `pip`."""
        track = cue.track
        if track is None:
            return {k: self._homes[k] for k, _, _ in cue.slots}
        base = (pip - start) * cue.speed + cue.phase_pips
        at = track.at
        return {k: place(p, at(base - lag)) for k, lag, p in cue.slots}

    def _chain_points(self, chain: List[Tuple[float, int]], pip: float) -> Dict[int, Point]:
        """The points of the latest cue of a chain, crossfaded from what came before while it fades in."""
        start, index = chain[-1]
        cue = self._cues[index]
        points = self._cue_points(cue, start, pip)
        weight = 1.0 if cue.fade_pips <= 0.0 else fade_weight((pip - start) / cue.fade_pips)
        if weight >= 1.0:
            return points
        before = self._chain_points(chain[:-1], pip) if len(chain) > 1 else {}
        homes = self._homes
        return {k: blend(before.get(k, homes[k]), p, weight) for k, p in points.items()}

    def points(self, pip: float, started: Optional[Mapping[int, float]] = None) -> List[Point]:
        """Every fixture's (x, y, z) at `pip`, in the show's order of fixtures."""
        show = self.show
        points = list(self._homes)
        chains = active(show.cues, started or {}, pip, show.beats_per_bar)
        # Latest takes precedence: a fixture in two groups follows the cue that started last.
        for chain in sorted(chains.values(), key=lambda c: c[-1]):
            for k, p in self._chain_points(chain, pip).items():
                points[k] = p
        return points

    def frame(self, pip: float, started: Optional[Mapping[int, float]] = None,
              time_s: Optional[float] = None) -> Frame:
        """The frame at a fractional pip."""
        points = self.points(pip, started)
        buffers = {u: bytearray(t) for u, t in self._templates.items()}
        for (universe, write), point in zip(self._writers, points):
            write(buffers[universe], point)
        return Frame(pip, {u: bytes(b) for u, b in buffers.items()},
                     {f.name: p for f, p in zip(self.show.fixtures, points)}, time_s)


def frame_at(show: Show, pip: float, started: Optional[Mapping[int, float]] = None) -> Frame:
    """The frame of a show at a fractional pip (preparing the show each time: for many frames, keep a
    `Renderer` or an `Engine`)."""
    return Renderer(show).frame(pip, started)



