"""Integer-pip rhythmic position functions"""
from typing import Iterable, SupportsFloat, SupportsIndex, SupportsInt, TypedDict

_Text = str | bytes | bytearray
# A pip: an int, or any number int() converts exactly as it is (__index__, __int__); never a float of any
# kind, NumPy's included, which int() would truncate (TypeError).
_Pip = SupportsInt | SupportsIndex

PIPS_PER_BEAT: int
"""Pips in a beat: 64. Every position source counts time in whole pips."""

class SampledRecording:
    """Named value tracks, one row per pip from `start_pip` on, taken at `bpm`; does not loop.

    Raises ValueError for the first of these that applies, in this order:
    a name that is not 1 to 128 characters from a-z, 0-9 and _, the first a letter ("Invalid identifier");
    a BPM that is not finite and positive, or a beat origin that is not finite (it may be negative)
    ("A finite positive BPM and beat origin are required");
    no axes, no rows, more than 8,388,608 values (rows times axes), or a last row after pip 2,147,483,646
    ("Empty recording or recording resource limit exceeded");
    an axis name that breaks the name's rule ("Invalid identifier") or repeats one ("Duplicate axis");
    then, row by row, a row whose length is not the number of axes ("Ragged recording"), or a value in it
    that is not finite or lies outside [-1, 1], such as a raw DMX level ("Invalid sample").
    A pip (`start_pip`) is an int or an object with __index__, never a float of any kind (TypeError).
    Immutable once made: calling __init__ again raises TypeError, as does any use of an instance made by
    __new__ alone (whose constructor never ran).
    """
    def __init__(
        self,
        name: _Text,
        dimensions: Iterable[_Text],
        samples: Iterable[Iterable[SupportsFloat]],
        bpm: SupportsFloat,
        beat_zero_seconds: SupportsFloat = 0.0,
        start_pip: _Pip = 0,
    ) -> None:
        """Copy `samples` (a row of floats per pip, one value per axis of `dimensions`) into a new recording."""
    @property
    def name(self) -> str:
        """The recording's name."""
    @property
    def dimensions(self) -> list[str]:
        """The axis names, in the order of each row's values (a new list each time)."""
    @property
    def sample_count(self) -> int:
        """How many rows (pips) the recording holds."""
    @property
    def bpm(self) -> float:
        """The tempo the recording was taken at, in beats a minute."""
    @property
    def beat_zero_seconds(self) -> float:
        """The time of beat zero, in seconds, on the clock the recording was taken with."""
    @property
    def start_pip(self) -> int:
        """The pip of the first row."""
    def sample(self, pip: SupportsIndex) -> list[float]:
        """The row at `pip` as a new list of floats; IndexError ("Pip outside non-looping recording") outside it."""

class Offset3:
    """A point (x, y, z), each coordinate in [-1, 1]: where the moving point is at a pip. Read-only; not
    constructible (an instance made by __new__ alone refuses every use with TypeError)."""
    @property
    def x(self) -> float:
        """Left (-1) to right (+1)."""
    @property
    def y(self) -> float:
        """Down (-1) to up (+1)."""
    @property
    def z(self) -> float:
        """Back (-1) to front (+1)."""
    def as_tuple(self) -> tuple[float, float, float]:
        """(x, y, z) as a tuple, which compares and hashes by value."""

class SampledPattern:
    """A loop of your own: one (x, y, z) per pip, sampled by floor modulo like every built-in loop.

    Immutable once made: calling __init__ again raises TypeError, as does any use of an instance made by
    __new__ alone (whose constructor never ran)."""
    def __init__(
        self,
        name: _Text,
        description: _Text,
        samples: Iterable[Iterable[SupportsFloat]],
    ) -> None:
        """Copy `samples`, 1 to 65535 rows of three numbers in [-1, 1].

        Raises ValueError for a name that is not 1 to 128 characters from a-z, 0-9 and _, the first a letter
        ("Invalid pattern name"), no rows or more than 65535 ("A pattern requires 1..65535 samples (one per pip)"),
        or a number that is not finite or lies outside [-1, 1] ("Pattern samples must be finite and within [-1, 1]");
        TypeError for a row that is not three numbers.
        """
    @property
    def name(self) -> str:
        """The pattern's name: lower-case letters, digits and underscores, starting with a letter."""
    @property
    def description(self) -> str:
        """The pattern's description."""
    @property
    def period_pips(self) -> int:
        """The loop length in pips: one per sample."""
    def sample(self, pip_count: SupportsIndex) -> Offset3:
        """The sample at `pip_count` modulo the loop, for any pip; an int only (TypeError otherwise)."""

class _ListingRecord(TypedDict):
    name: str
    description: str
    period_pips: int
    dimensions: int

class PatternLibrary:
    """A pack of your patterns served by name beside the built-in motions, which it protects.

    Immutable once made: calling __init__ again raises TypeError, as does any use of an instance made by
    __new__ alone (whose constructor never ran)."""
    def __init__(self, patterns: Iterable[SampledPattern] = ...) -> None:
        """Copy the pack; raises ValueError for more than 1024 patterns ("Too many patterns"), a repeated name
        ("Duplicate pattern name: NAME"), more than 1,048,576 samples in all ("Pattern pack is too large"), or a
        pattern that would change a default ("Cannot override default pattern: NAME"; an exact copy is absorbed,
        and still counts towards the limits)."""
    def sample(self, name: _Text, pip_count: SupportsIndex) -> Offset3:
        """Your pattern called `name` at the pip, else the default of that name; ValueError("Unknown trovelin: NAME"), the name's
        bytes that a message cannot hold (NUL, bytes that are not UTF-8) written as \\xNN."""
    def catalogue(self) -> list[_ListingRecord]:
        """Every default, then your patterns, as new dicts (name, description, period_pips, dimensions)."""

def sample(name: _Text, pip_count: _Pip) -> Offset3:
    """Any built-in motion (rudiment or catalogue entry) by name at a pip; ValueError("Unknown trovelin: NAME"), the name's
    bytes that a message cannot hold (NUL, bytes that are not UTF-8) written as \\xNN.

    A pip here and in every rudiment's function is a signed 32-bit integer: a float of any kind, or an int
    outside -2,147,483,648 to 2,147,483,647, raises TypeError before anything runs."""
def catalogue() -> list[_ListingRecord]:
    """Every built-in motion as new dicts with name, description, period_pips and dimensions, in order."""
def bounce(pip: _Pip, /) -> Offset3:
    """One-beat vertical bounce, at a pip."""
def sway(pip: _Pip, /) -> Offset3:
    """Two-beat side-to-side sway, at a pip."""
def circle(pip: _Pip, /) -> Offset3:
    """One-beat circular orbit, at a pip."""
def figure_eight(pip: _Pip, /) -> Offset3:
    """Two-beat figure eight, at a pip."""
def step_touch(pip: _Pip, /) -> Offset3:
    """Two-beat side step with a small lift, at a pip."""
def box_step(pip: _Pip, /) -> Offset3:
    """Four-beat softened square path, at a pip."""
def helix(pip: _Pip, /) -> Offset3:
    """Four-beat double-turn helix, at a pip."""
def vessa_background(pip: _Pip, /) -> Offset3:
    """Vessa/Lumo four-beat accented background drift, at a pip."""
def single_stroke_roll(pip: _Pip, /) -> Offset3:
    """Alternating R/L strokes with smooth attack and decay, at a pip."""
def double_stroke_roll(pip: _Pip, /) -> Offset3:
    """RRLL strokes with a softer second motion, at a pip."""
def multiple_bounce_roll(pip: _Pip, /) -> Offset3:
    """Decaying same-hand bounce clusters, at a pip."""
def single_paradiddle(pip: _Pip, /) -> Offset3:
    """RLRR LRLL with accented lead strokes, at a pip."""
def flam(pip: _Pip, /) -> Offset3:
    """Grace motion flowing into an opposite-hand primary motion, at a pip."""
def drag(pip: _Pip, /) -> Offset3:
    """Two grace motions flowing into an opposite-hand primary motion, at a pip."""
def five_stroke_roll(pip: _Pip, /) -> Offset3:
    """Two diddles resolving to an accented fifth motion, at a pip."""
