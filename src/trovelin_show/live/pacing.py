"""The pace of a run: each frame due at its slot on a monotonic clock.

Frame slots are start + k / fps, computed from the slot number rather than
by adding up frame times, so the schedule never drifts from the clock however
long the run. A frame that misses its slot goes out late, as soon as it can,
and the next frame waits for the first slot still to come: the slots that went
by are skipped, never sent as a burst to catch up. The schedule is arithmetic
on times given to it; the loop that sleeps is a few lines over it.
"""
from __future__ import annotations

import math
import time
from dataclasses import dataclass
from typing import Callable, Iterator, Optional


@dataclass(frozen=True)
class Schedule:
    """Frame slots `fps` a second from `start_s` (seconds on a monotonic clock)."""

    fps: float
    start_s: float

    def due_s(self, slot: int) -> float:
        return self.start_s + slot / self.fps

    def next_slot(self, slot: int, now_s: float) -> int:
        """The slot of the frame after the one sent for `slot`, when the clock reads `now_s`: the next slot, or,
        if that one has gone by already, the first slot still to come."""
        return max(slot + 1, math.floor((now_s - self.start_s) * self.fps) + 1)


@dataclass(frozen=True)
class Tick:
    """A frame to send: its number, its slot and the time it was due (`slot - frame` slots were skipped)."""

    frame: int
    slot: int
    due_s: float


def paced(fps: float, *, count: Optional[int] = None, stop: Callable[[], bool] = lambda: False,
          clock: Callable[[], float] = time.monotonic,
          sleep: Callable[[float], None] = time.sleep) -> Iterator[Tick]:
    """Ticks at their slots: `count` of them, or until `stop()` is true (asked before and after each wait). The
    first slot is the moment of the first call."""
    schedule = Schedule(fps, clock())
    frame = slot = 0
    while (count is None or frame < count) and not stop():
        due = schedule.due_s(slot)
        wait = due - clock()
        if wait > 0:
            sleep(wait)
            if stop():
                return
        yield Tick(frame, slot, due)
        frame += 1
        slot = schedule.next_slot(slot, clock())
