"""A show played live: the engine fed the monotonic clock, keys and MIDI clock, its frames handed to the outputs.

The engine is given seconds on the monotonic clock. Beat 0 is the show's
`beat_zero` (a Unix time, carried over to the monotonic clock once at the
start) or else the first frame's slot, so that a run without one sends, frame
for frame, what `trovelin render` writes from beat 0. Every frame carries the
position of the moment it is taken, read just before it is computed and sent.
"""
from __future__ import annotations

import math
import threading
import time
from dataclasses import dataclass
from typing import Any, Callable, Dict, List, Optional, Sequence, TextIO

from ..cues import active
from ..engine import Engine
from ..frames import Frame
from ..outputs import Output
from ..showfile import HOME, ShowFile
from ..tempo import PIPS_PER_BEAT, TempoMap

NUDGE_BEATS = 1.0 / 16.0  # a nudge moves the phase by a sixteenth of a beat


@dataclass
class Tally:
    """What a run has done so far."""

    frames: int = 0
    skipped: int = 0  # frame slots that went by while a late frame was made
    last_key: str = ""


class LiveShow:
    """The engine of a show and what changes it while it plays: keys (`apply`) and MIDI clock messages
    (`heard`, from the port's thread), all on the monotonic clock, under one lock."""

    def __init__(self, showfile: ShowFile, beat_zero_s: Optional[float]) -> None:
        self.showfile = showfile
        show = showfile.show
        self.source = showfile.clock.source
        self.engine = Engine(show, TempoMap.from_beat_zero(show.clock.bpm, beat_zero_s or 0.0))
        self.beat_zero_s = beat_zero_s
        self.lock = threading.Lock()
        self.tally = Tally()

    def start(self, time_s: float) -> None:
        """Beat 0 at `time_s` unless the show set it."""
        if self.beat_zero_s is None:
            self.beat_zero_s = time_s
            with self.lock:
                self.engine.tempo = TempoMap.from_beat_zero(self.engine.tempo.bpm, time_s)

    def frame(self, time_s: float) -> Frame:
        with self.lock:
            return self.engine.frame(time_s)

    def apply(self, action: str, time_s: float) -> str:
        """A key's action at `time_s`: what it did, in words for the status line."""
        engine = self.engine
        with self.lock:
            if action == "tap":
                if self.source != "tap":
                    return f"tap: the tempo comes from {'the MIDI clock' if self.source == 'midi' else 'the show'}"
                bpm = engine.tap(time_s)
                return "tap: one more" if bpm is None else f"tap: {bpm:.1f} BPM"
            if action in ("nudge_back", "nudge_forward"):
                if self.source == "midi":
                    return "nudge: the MIDI clock sets the phase"
                beats = NUDGE_BEATS if action == "nudge_forward" else -NUDGE_BEATS
                engine.nudge(beats)
                return f"nudge {'+' if beats > 0 else '-'}1/16 beat"
            if action == "resync":
                if self.source == "midi":
                    return "resync: the MIDI clock sets the bar"
                engine.resync(time_s)
                return "resync: the next beat starts a bar"
            if action == "go":
                cue = engine.go(time_s)
                if cue is None:
                    return "go: every cue has started"
                motion = HOME if cue.effect is None else _motion_name(cue.effect.motion)
                return f"go: {cue.group} {motion}" + (f" ({cue.name})" if cue.name else "")
        return action

    def heard(self, message: Any, time_s: float) -> None:
        """A MIDI clock message (mido's) that arrived at `time_s`."""
        with self.lock:
            self.engine.midi(message.type, time_s, getattr(message, "pos", 0))

    def status(self, time_s: float, pip: float, failures: int) -> str:
        """The status line: tempo and its source, bar.beat, each group's cue, frames and failed sends."""
        engine = self.engine
        show = engine.show
        with self.lock:
            if engine.midi_clock is not None:
                measured = engine.midi_clock.bpm
                tempo = f"{'--.-' if measured is None else f'{measured:.1f}'} BPM midi {engine.midi_clock.state}"
            else:
                tempo = f"{engine.tempo.bpm:.1f} BPM {self.source}"
            chains = active(show.cues, engine.started, pip, show.beats_per_bar)
        cues = []
        for group in show.groups:
            chain = chains.get(group.name)
            if chain:
                index = chain[-1][1]
                effect = show.cues[index].effect
                cues.append(f"{group.name}: {HOME if effect is None else _motion_name(effect.motion)} "
                            f"(cue {index + 1})")
            else:
                cues.append(f"{group.name}: -")
        t = self.tally
        text = (f"{tempo} | {bar_beat(pip, show.beats_per_bar)} | " + ", ".join(cues)
                + f" | {t.frames} frames" + (f", {t.skipped} slots skipped" if t.skipped else "")
                + f", {failures} failed sends")
        return text + (f" | {t.last_key}" if t.last_key else "")


def _motion_name(motion: Any) -> str:
    return motion if isinstance(motion, str) else str(getattr(motion, "name", motion))


def bar_beat(pip: float, beats_per_bar: int) -> str:
    """Where the music is as bar.beat, both from 1 (bar 1 starts at beat 0)."""
    beat = math.floor(pip / PIPS_PER_BEAT)
    return f"{beat // beats_per_bar + 1}.{beat % beats_per_bar + 1}"


@dataclass(frozen=True)
class RunOptions:
    fps: float = 44.0
    frames: Optional[int] = None
    quiet: bool = False
    log: Optional[TextIO] = None


def play(live: LiveShow, outputs: Sequence[Output], options: RunOptions, *, stop: Callable[[], bool],
         keys: Callable[[], List[Any]], say: Callable[[str], None], status: Callable[[str], None],
         clock: Callable[[], float] = time.monotonic, sleep: Callable[[float], None] = time.sleep) -> Tally:
    """Sends frames until `options.frames` are sent or `stop()`; keys() gives the (action, time) pairs pressed
    since it was last called ("quit" stops). Returns what was done; the caller closes the outputs."""
    from .pacing import paced
    tally = live.tally
    quit_pressed: Dict[str, bool] = {}
    log = options.log
    if log is not None:
        log.write("frame,slot,time_s,pip,late_s\n")
    for tick in paced(options.fps, count=options.frames, stop=lambda: stop() or bool(quit_pressed), clock=clock,
                      sleep=sleep):
        if tally.frames == 0:
            live.start(tick.due_s)
        for action, at in keys():
            if action == "quit":
                quit_pressed["q"] = True
                continue
            tally.last_key = live.apply(action, at)
            say(tally.last_key)
        if quit_pressed:
            break
        now = clock()  # after the keys, so that no key is later than the moment of the frame
        frame = live.frame(now)
        for output in outputs:
            output.send(frame.universes, frame.positions)
        tally.frames += 1
        tally.skipped = tick.slot - tick.frame
        if log is not None:
            since = now - (live.beat_zero_s or 0.0)
            log.write(f"{tick.frame},{tick.slot},{since!r},{frame.pip!r},{now - tick.due_s!r}\n")
        status(live.status(now, frame.pip, sum(o.failures.failed for o in outputs)))
    return tally
