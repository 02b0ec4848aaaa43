"""Musical time: a tempo map from seconds to fractional pips, nudge, resync and a tap-tempo estimator.

Times are seconds as floats on whatever clock the caller reads (the core reads
none); positions are fractional pips, 64 to a beat; beats are pips / 64.
"""
from __future__ import annotations

import math
from dataclasses import dataclass
from typing import List, Optional, Sequence, Tuple

import trovelin

PIPS_PER_BEAT: int = trovelin.PIPS_PER_BEAT


def _check_bpm(bpm: float) -> None:
    if not (math.isfinite(bpm) and bpm > 0.0):
        raise ValueError(f"a tempo must be a positive number of beats a minute, not {bpm!r}")


@dataclass(frozen=True)
class TempoMap:
    """A steady tempo through one anchor: at `anchor_s` seconds the music is at `anchor_pip` pips.

    `bpm` is beats a minute. Every change returns a new map; a tempo change at
    a moment keeps the position at that moment, so nothing jumps.
    """

    bpm: float
    anchor_s: float = 0.0
    anchor_pip: float = 0.0

    def __post_init__(self) -> None:
        _check_bpm(self.bpm)
        if not (math.isfinite(self.anchor_s) and math.isfinite(self.anchor_pip)):
            raise ValueError("a tempo map's anchor must be finite")

    @classmethod
    def from_beat_zero(cls, bpm: float, beat_zero_s: float = 0.0) -> TempoMap:
        """The map whose beat 0 (the start of bar 1) falls at `beat_zero_s` seconds."""
        return cls(bpm, beat_zero_s, 0.0)

    @property
    def pips_per_second(self) -> float:
        return self.bpm * PIPS_PER_BEAT / 60.0

    @property
    def beat_zero_s(self) -> float:
        """The time in seconds of beat 0."""
        return self.anchor_s - self.anchor_pip / self.pips_per_second

    def pip_at(self, time_s: float) -> float:
        """The fractional pip the music is at, at `time_s` seconds."""
        return self.anchor_pip + (time_s - self.anchor_s) * self.pips_per_second

    def beat_at(self, time_s: float) -> float:
        """The fractional beat at `time_s` seconds."""
        return self.pip_at(time_s) / PIPS_PER_BEAT

    def time_at(self, pip: float) -> float:
        """The time in seconds at which the music reaches `pip`."""
        return self.anchor_s + (pip - self.anchor_pip) / self.pips_per_second

    def with_bpm(self, bpm: float, at_time_s: float) -> TempoMap:
        """The tempo changed to `bpm` at `at_time_s`, the position there kept (phase-continuous)."""
        return TempoMap(bpm, at_time_s, self.pip_at(at_time_s))

    def nudged(self, beats: float) -> TempoMap:
        """The phase moved by `beats` (a fraction of a beat, usually): positive moves the music ahead."""
        return TempoMap(self.bpm, self.anchor_s, self.anchor_pip + beats * PIPS_PER_BEAT)

    def resynced(self, time_s: float, beats_per_bar: int = 4) -> TempoMap:
        """The next downbeat at or after `time_s` made beat 1 of a bar.

        The beat's phase is kept; the count moves ahead by whole beats (0 to
        `beats_per_bar` - 1) so that the next whole beat starts a bar. The
        position never moves back, so no cue starts twice.
        """
        if beats_per_bar < 1:
            raise ValueError(f"a bar has at least one beat, not {beats_per_bar}")
        beat = math.ceil(self.beat_at(time_s))
        ahead = -beat % beats_per_bar
        return TempoMap(self.bpm, self.anchor_s, self.anchor_pip + ahead * PIPS_PER_BEAT)

    def aligned(self, bpm: float, beat_time_s: float) -> TempoMap:
        """The tempo `bpm` with a whole beat at `beat_time_s`: the beat nearest to where the count is then."""
        beat = round(self.beat_at(beat_time_s))
        return TempoMap(bpm, beat_time_s, float(beat * PIPS_PER_BEAT))


def fit_steady(times_s: Sequence[float]) -> Optional[Tuple[float, float]]:
    """The straight line through event times taken as evenly spaced (taps, clock ticks): the seconds between
    events and the fitted time of the last one; None for fewer than two."""
    n = len(times_s)
    if n < 2:
        return None
    last = times_s[-1]
    ds = [s - last for s in times_s]  # against the latest time, for precision
    mean_i = (n - 1) / 2.0
    mean_d = math.fsum(ds) / n
    covariance = math.fsum((i - mean_i) * (d - mean_d) for i, d in enumerate(ds))
    variance = math.fsum((i - mean_i) * (i - mean_i) for i in range(n))
    interval = covariance / variance
    return interval, last + mean_d + interval * (n - 1 - mean_i)


@dataclass(frozen=True)
class TapEstimate:
    """A tempo from taps: `bpm`, the time in seconds of the last tap (a beat) and how many taps it rests on."""

    bpm: float
    beat_time_s: float
    taps: int


class TapTempo:
    """Tempo from tapped beats.

    The tempo is the slope of a straight line fitted through the times of the
    last `window` taps (which evens out the jitter of single taps). A tap whose
    interval from the one before is off the running interval by more than
    `tolerance` (a fraction of it) starts a new count, as does the first tap
    after `timeout_s` seconds. The beat's phase follows the last tap.
    """

    def __init__(self, window: int = 8, tolerance: float = 0.3, timeout_s: float = 2.0,
                 min_bpm: float = 20.0, max_bpm: float = 400.0) -> None:
        if window < 2:
            raise ValueError("tap tempo needs a window of at least two taps")
        self.window = window
        self.tolerance = tolerance
        self.timeout_s = timeout_s
        self.min_bpm = min_bpm
        self.max_bpm = max_bpm
        self._taps: List[float] = []

    @property
    def count(self) -> int:
        """Taps in the current count."""
        return len(self._taps)

    def reset(self) -> None:
        self._taps.clear()

    def interval_s(self) -> Optional[float]:
        """The fitted seconds between taps of the current count, None before two taps."""
        fitted = fit_steady(self._taps)
        return None if fitted is None else fitted[0]

    def tap(self, time_s: float) -> Optional[TapEstimate]:
        """Take a tap at `time_s`; the estimate it gives, or None while a count has only one tap."""
        taps = self._taps
        if taps:
            gap = time_s - taps[-1]
            running = self.interval_s()
            if gap <= 0.0 or gap > self.timeout_s:
                taps.clear()
            elif running is not None and abs(gap - running) > self.tolerance * running:
                taps.clear()
            elif not (60.0 / self.max_bpm <= gap <= 60.0 / self.min_bpm):
                taps.clear()
        taps.append(time_s)
        del taps[:-self.window]
        interval = self.interval_s()
        if interval is None or interval <= 0.0:
            return None
        return TapEstimate(60.0 / interval, time_s, len(taps))
