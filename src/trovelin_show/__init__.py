"""Shows built on trovelin's motions: tempo, effects, groups, fixtures, cues and frames.

The core of this package does no I/O: it reads no clock, opens no socket and
touches no file. Time goes in as seconds or pips, frames come out as channel
values. The ``trovelin`` command (``trovelin_show.cli``) and the outputs are the
only parts that meet the world.
"""
