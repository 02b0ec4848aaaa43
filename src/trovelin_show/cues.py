"""Cues on a timeline: what each group does from which bar and beat on, and the manual "go".

Bar 1 starts at beat 0; `beat` counts from 1 within a bar. A cue without a bar
waits for a "go". A cue's `fade` (in beats) crossfades from whatever its group
was doing to the new effect; a first cue fades in from the fixtures' home, and
a cue with no effect fades out to it.
"""
from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Dict, List, Mapping, Optional, Sequence, Tuple

from .effects import Effect
from .tempo import PIPS_PER_BEAT


@dataclass(frozen=True)
class Cue:
    """From `bar` (1 is the first) and `beat` (1 is the bar's first) on, `group` runs `effect` (None: back to
    home), fading in over `fade` beats. `bar` None: the cue starts on a "go"."""

    group: str
    effect: Optional[Effect]
    bar: Optional[int] = None
    beat: float = 1.0
    fade: float = 0.0
    name: str = ""

    def __post_init__(self) -> None:
        if self.bar is not None and self.bar < 1:
            raise ValueError(f"cue for {self.group!r}: bars count from 1, not {self.bar}")
        if not (math.isfinite(self.beat) and self.beat >= 1.0):
            raise ValueError(f"cue for {self.group!r}: beats in a bar count from 1, not {self.beat!r}")
        if not (math.isfinite(self.fade) and self.fade >= 0.0):
            raise ValueError(f"cue for {self.group!r}: fade is a number of beats, 0 or more, not {self.fade!r}")

    def start_pip(self, beats_per_bar: int = 4) -> Optional[float]:
        """The pip the cue starts at on the timeline; None for a cue that waits for a go."""
        if self.bar is None:
            return None
        return ((self.bar - 1) * beats_per_bar + (self.beat - 1.0)) * PIPS_PER_BEAT


def timeline(cues: Sequence[Cue], beats_per_bar: int = 4) -> Tuple[int, ...]:
    """The indices of the cues in the order they come: timed cues by start (then as listed); a cue that waits
    for a go comes after the cue listed before it."""
    keyed: List[Tuple[float, int, int]] = []
    last = -math.inf
    for i, cue in enumerate(cues):
        start = cue.start_pip(beats_per_bar)
        if start is not None:
            last = start
        keyed.append((last, 0 if start is not None else 1, i))
    return tuple(i for _, _, i in sorted(keyed))


def next_to_go(cues: Sequence[Cue], started: Mapping[int, float], pip: float,
               beats_per_bar: int = 4) -> Optional[int]:
    """The first cue in timeline order that has not started by `pip`: what "go" starts."""
    for i in timeline(cues, beats_per_bar):
        start = started.get(i, cues[i].start_pip(beats_per_bar))
        if start is None or start > pip:
            return i
    return None


def active(cues: Sequence[Cue], started: Mapping[int, float], pip: float,
           beats_per_bar: int = 4) -> Dict[str, List[Tuple[float, int]]]:
    """Per group, the cues that have started by `pip` as (start pip, index), latest last.

    `started` holds the pips at which cues were started by a go (it overrides a timed cue's bar)."""
    out: Dict[str, List[Tuple[float, int]]] = {}
    for i, cue in enumerate(cues):
        start = started.get(i, cue.start_pip(beats_per_bar))
        if start is not None and start <= pip:
            out.setdefault(cue.group, []).append((start, i))
    for entries in out.values():
        entries.sort()
    return out
