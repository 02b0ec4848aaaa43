"""Shows built on trovelin's motions: tempo, effects, groups, fixtures, cues and frames.

The core of this package does no I/O: it reads no clock, opens no socket and
touches no file. Time goes in as seconds or pips, frames come out as channel
values. The ``trovelin`` command (``trovelin_show.cli``) and the outputs are the
only parts that meet the world.
"""
from __future__ import annotations

from .cues import Cue
from .effects import Effect
from .engine import Engine
from .fixtures import Channel, Generic, MovingHead
from .frames import Clock, Frame, Renderer, Show, frame_at
from .groups import ORDERS, Group
from .midi_clock import ClockFollower
from .sampling import Sampler, Track
from .tempo import PIPS_PER_BEAT, TapTempo, TempoMap

__all__ = ["Channel", "Clock", "ClockFollower", "Cue", "Effect", "Engine", "Frame", "Generic", "Group",
           "MovingHead", "ORDERS", "PIPS_PER_BEAT", "Renderer", "Sampler", "Show", "TapTempo", "TempoMap",
           "Track", "frame_at"]
