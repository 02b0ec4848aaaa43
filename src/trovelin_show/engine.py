"""The engine: a show, its tempo and its cue state, and the frame at any moment.

The engine reads no clock: every call that depends on when it happens takes
the time in seconds, on the clock the caller reads (the one `Clock.beat_zero`
is given on, for a show that sets it). With a "midi" clock, the position comes
from the MIDI clock messages fed to `midi`; otherwise from the tempo map, which
`set_bpm`, `tap`, `nudge` and `resync` change.
"""
from __future__ import annotations

from typing import Dict, Optional

from .cues import Cue, next_to_go
from .frames import Frame, Renderer, Show
from .midi_clock import ClockFollower
from .tempo import TapTempo, TempoMap


class Engine:
    """Plays a show: `frame(time_s)` at any moment, with the desk's tempo and cue controls.

    `tempo` starts the show at another tempo map than its clock's (beat 0 at
    `Clock.beat_zero`, or at 0 seconds when that is None).
    """

    def __init__(self, show: Show, tempo: Optional[TempoMap] = None) -> None:
        self.show = show
        self.renderer = Renderer(show)
        clock = show.clock
        self.tempo: TempoMap = tempo if tempo is not None else TempoMap.from_beat_zero(
            clock.bpm, clock.beat_zero if clock.beat_zero is not None else 0.0)
        self.taps = TapTempo()
        self.midi_clock: Optional[ClockFollower] = ClockFollower() if clock.source == "midi" else None
        self._started: Dict[int, float] = {}

    @property
    def started(self) -> Dict[int, float]:
        """The cues started by a go: cue index to start pip (a copy)."""
        return dict(self._started)

    def pip_at(self, time_s: float) -> float:
        """The fractional pip the show is at, at `time_s` seconds."""
        if self.midi_clock is not None:
            return self.midi_clock.pip_at(time_s)
        return self.tempo.pip_at(time_s)

    def frame(self, time_s: float) -> Frame:
        """Every universe's channels and every fixture's (x, y, z) at `time_s` seconds."""
        return self.renderer.frame(self.pip_at(time_s), self._started, time_s)

    def frame_at_pip(self, pip: float) -> Frame:
        """The frame at a fractional pip, whatever the clock."""
        return self.renderer.frame(pip, self._started)

    def set_bpm(self, bpm: float, at_time_s: float) -> None:
        """Change the tempo at `at_time_s`, keeping the position there (nothing jumps)."""
        self.tempo = self.tempo.with_bpm(bpm, at_time_s)

    def tap(self, time_s: float) -> Optional[float]:
        """A tapped beat at `time_s`: from the second tap of a count on, the tempo follows the taps and the
        last tap falls on the nearest whole beat. The tempo it gives, or None for a first tap."""
        estimate = self.taps.tap(time_s)
        if estimate is None:
            return None
        self.tempo = self.tempo.aligned(estimate.bpm, estimate.beat_time_s)
        return estimate.bpm

    def nudge(self, beats: float) -> None:
        """Move the phase by `beats` (positive: ahead)."""
        self.tempo = self.tempo.nudged(beats)

    def resync(self, time_s: float) -> None:
        """Make the next downbeat after `time_s` beat 1 of a bar."""
        self.tempo = self.tempo.resynced(time_s, self.show.beats_per_bar)

    def go(self, time_s: float) -> Optional[Cue]:
        """Start the next cue that has not started, now; the cue, or None when every cue has."""
        pip = self.pip_at(time_s)
        index = next_to_go(self.show.cues, self._started, pip, self.show.beats_per_bar)
        if index is None:
            return None
        self._started[index] = pip
        return self.show.cues[index]

    def midi(self, kind: str, time_s: float, song_position: int = 0) -> None:
        """A MIDI clock message ("clock", "start", "stop", "continue", "songpos" with its position in
        sixteenths) that arrived at `time_s`; ignored unless the show's clock source is "midi"."""
        if self.midi_clock is not None:
            self.midi_clock.feed(kind, time_s, song_position)
