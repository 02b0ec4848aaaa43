"""Song position and tempo from a MIDI clock, apart from any port or library.

Feed the follower the kind of each message ("clock", "start", "stop",
"continue", "songpos") with the time it arrived, in seconds on one clock, and
ask it for the fractional pip at any later moment. A MIDI clock has 24 ticks a
beat; a Song Position Pointer counts sixteenths (6 ticks).
"""
from __future__ import annotations

from collections import deque
from typing import Deque, Optional

from .tempo import PIPS_PER_BEAT, fit_steady

TICKS_PER_BEAT = 24
TICKS_PER_SIXTEENTH = TICKS_PER_BEAT // 4
KINDS = ("clock", "start", "stop", "continue", "songpos")


class ClockFollower:
    """Follows a MIDI clock: where the song is (in pips) and its tempo.

    The tempo is the slope of a straight line fitted through the times of the
    last beat of ticks, which smooths the jitter of single ticks; so is the time
    of the latest tick, from which the position moves on at that tempo, never
    past the next tick before it comes. A tick that comes early does not move
    the position back: it holds at the tick until the line catches up. While
    stopped the position holds.
    """

    WINDOW = TICKS_PER_BEAT  # the ticks the tempo is measured over
    GAP_S = 0.25  # seconds without a tick (under 10 BPM) after which the tempo is measured afresh

    def __init__(self) -> None:
        self.running = False
        self._times: Deque[float] = deque(maxlen=self.WINDOW)
        self._period_s: Optional[float] = None  # seconds a tick, fitted
        self._anchor_s: Optional[float] = None  # the fitted time of the latest tick
        self._next = 0  # the song tick that the next clock plays while running
        self._last: Optional[int] = None  # the song tick of the latest clock played, until Start, Continue or a jump
        self._held = 0.0  # the position in ticks while it does not move

    @property
    def bpm(self) -> Optional[float]:
        """The tempo measured from the ticks, None until two have come."""
        return None if self._period_s is None else 60.0 / (self._period_s * TICKS_PER_BEAT)

    @property
    def state(self) -> str:
        """"stopped", "waiting" (started, for the first tick) or "running"."""
        if not self.running:
            return "stopped"
        return "running" if self._last is not None else "waiting"

    def feed(self, kind: str, time_s: float, song_position: int = 0) -> None:
        """Take a message: its kind, the time it arrived, and for "songpos" the position in sixteenths."""
        if kind == "clock":
            self._tick(time_s)
        elif kind == "start":
            self.running, self._next, self._last, self._held = True, 0, None, 0.0
        elif kind == "continue":
            if not self.running:
                self.running, self._last = True, None
        elif kind == "stop":
            if self.running:
                self._held = self._position(time_s)
                self.running, self._last = False, None
        elif kind == "songpos":
            if song_position < 0:
                raise ValueError(f"a song position counts sixteenths from 0, not {song_position}")
            self._next = song_position * TICKS_PER_SIXTEENTH
            self._held = float(self._next)
            self._last = None
        else:
            raise ValueError(f"a MIDI clock message is one of {', '.join(KINDS)}, not {kind!r}")

    def pip_at(self, time_s: float) -> float:
        """The fractional pip the song is at, at `time_s`."""
        return self._position(time_s) * PIPS_PER_BEAT / TICKS_PER_BEAT

    def _position(self, time_s: float) -> float:
        """The position at `time_s` in ticks."""
        if not self.running or self._last is None:
            return self._held
        if self._period_s is None or self._anchor_s is None:
            return float(self._last)
        ahead = (time_s - self._anchor_s) / self._period_s
        return self._last + min(1.0, max(0.0, ahead))

    def _tick(self, time_s: float) -> None:
        if self._times and time_s - self._times[-1] > self.GAP_S:
            self._times.clear()
        self._times.append(time_s)
        self._fit()
        if self.running:
            self._last = self._next
            self._next += 1

    def _fit(self) -> None:
        fitted = fit_steady(list(self._times))
        if fitted is None or fitted[0] <= 0.0:
            self._period_s, self._anchor_s = None, None
            return
        self._period_s, self._anchor_s = fitted
