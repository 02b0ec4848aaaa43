"""SampledRecording: which refusal wins, the size limits, the span, conversion."""
import copy
import math

import pytest

import trovelin
from helpers import INT32_MAX, INT32_MIN, bits
from test_functions import Index, IntOnly

Rec = trovelin.SampledRecording
IDENT = "Invalid identifier"
CLOCK = "A finite positive BPM and beat origin are required"
SIZE = "Empty recording or recording resource limit exceeded"
DUP = "Duplicate axis"
RAGGED = "Ragged recording"
BAD = "Invalid sample"
OUTSIDE = "^Pip outside non-looping recording$"
MAX_VALUES = 2**23


def make(name="rec", dimensions=None, samples=None, bpm=120.0, **rest):
    return Rec(name, ["x"] if dimensions is None else dimensions,
               [[0.5]] if samples is None else samples, bpm, **rest)


@pytest.mark.parametrize("message, args", [
    *[(IDENT, dict(name=n)) for n in ["", "a" * 129, "Rec", "_a", "1a", "a-b", "a b", "ré", "a\0"]],
    (IDENT, dict(name="Bad", bpm=0.0)),                                # the name comes first
    *[(CLOCK, dict(bpm=b)) for b in [0.0, -0.0, -120.0, math.nan, math.inf, 1e-310]],
    *[(CLOCK, dict(beat_zero_seconds=s)) for s in [math.nan, math.inf, -math.inf]],
    (CLOCK, dict(bpm=0.0, samples=[])),                                # tempo before sizes
    (SIZE, dict(dimensions=[])),
    (SIZE, dict(samples=[])),
    (SIZE, dict(dimensions=["X"], samples=[])),                        # sizes before axis names
    (SIZE, dict(start_pip=INT32_MAX)),
    (SIZE, dict(start_pip=INT32_MAX - 1, samples=[[0.5], [0.5]])),
    (IDENT, dict(dimensions=["x", "Y", "x"], samples=[[0.1, 0.2, 0.3]])),
    (DUP, dict(dimensions=["x", "x", "Y"], samples=[[0.1, 0.2, 0.3]])),
    (IDENT, dict(dimensions=["X"], samples=[[2.0]])),                  # axes before rows
    (RAGGED, dict(samples=[[0.5], [0.1, 0.2]])),
    (RAGGED, dict(samples=[[0.1, 0.2], [0.5]])),
    (RAGGED, dict(samples=[[]])),
    (RAGGED, dict(samples=[[2.0, 0.5]])),                              # length before values
    (BAD, dict(samples=[[2.0], [0.1, 0.2]])),                          # row 0 before row 1
    *[(BAD, dict(samples=[[0.5], [v]])) for v in
      [math.nan, math.inf, -math.inf, 1.0000000000000002, -1.0000000000000002]],
])
def test_refusals_and_their_precedence(message, args):
    caller = copy.deepcopy(args)
    with pytest.raises(ValueError) as info:
        make(**args)
    assert str(info.value) == message
    assert args == caller


def test_recording_keeps_its_own_copy():
    dims, rows = ["x", "y"], [[0.5, -0.0], [1.0, -1.0]]
    r = Rec("rec", dims, rows, 120.0)
    assert dims == ["x", "y"] and bits(rows[0] + rows[1]) == bits([0.5, -0.0, 1.0, -1.0])
    dims.append("z")
    rows[0][0] = 0.0
    assert r.dimensions == ["x", "y"] and bits(r.sample(0)) == bits([0.5, -0.0])


@pytest.mark.parametrize("name", ["a", "a1_", "z" * 128, b"abc", bytearray(b"abc")])
def test_names_accepted(name):
    assert make(name=name).name == (name if isinstance(name, str) else "abc")


def test_fields_read_back_exactly_and_read_only():
    r = Rec("take", ["left", "right"], [[1.0, -1.0], [-0.0, 0.25]], 120, beat_zero_seconds=-3.5, start_pip=-5)
    assert (r.name, r.dimensions, r.sample_count, r.start_pip) == ("take", ["left", "right"], 2, -5)
    assert type(r.bpm) is float and (r.bpm, r.beat_zero_seconds) == (120.0, -3.5)
    assert bits(r.sample(-5) + r.sample(-4)) == bits([1.0, -1.0, -0.0, 0.25])
    for attr in ("name", "dimensions", "sample_count", "bpm", "beat_zero_seconds", "start_pip"):
        with pytest.raises(AttributeError):
            setattr(r, attr, getattr(r, attr))
    d, s = r.dimensions, r.sample(-5)
    d.append("up")
    s[0] = 0.0
    assert r.dimensions == ["left", "right"] and r.sample(-5) == [1.0, -1.0]
    assert r.dimensions is not r.dimensions and r.sample(-5) is not r.sample(-5)


def test_defaults_and_keywords():
    r = Rec(start_pip=3, bpm=90, samples=[[0.5]], dimensions=["x"], name="k")
    assert (r.start_pip, r.beat_zero_seconds, r.sample(pip=3)) == (3, 0.0, [0.5])
    assert (make().start_pip, make().beat_zero_seconds) == (0, 0.0)
    with pytest.raises(TypeError):
        Rec("k", ["x"], [[0.5]], bpm_=90)
    with pytest.raises(TypeError):
        Rec("k", ["x"], [[0.5]])


@pytest.mark.parametrize("start, rows, inside, outside", [
    (10, 3, [10, 11, 12], [9, 13, 0, -1, INT32_MIN, INT32_MAX]),
    (-5, 2, [-5, -4], [-6, -3, 59, 251]),
    (INT32_MIN, 2, [INT32_MIN, INT32_MIN + 1], [INT32_MIN + 2, -1, INT32_MAX]),
    (INT32_MAX - 1, 1, [INT32_MAX - 1], [INT32_MAX - 2, INT32_MAX, INT32_MIN]),
])
def test_span_edges(start, rows, inside, outside):
    values = [[r / 8, -r / 8] for r in range(rows)]
    rec = make(dimensions=["x", "y"], samples=values, start_pip=start)
    assert [rec.sample(p) for p in inside] == values
    for pip in outside:
        with pytest.raises(IndexError, match=OUTSIDE):
            rec.sample(pip)


def test_sample_pip_takes_ints_only():
    rec = make(samples=[[0.0], [0.25], [0.75]])
    assert [rec.sample(True), rec.sample(Index(2)), rec.sample(pip=0)] == [[0.25], [0.75], [0.0]]
    for bad in (2.0, 2**31, INT32_MIN - 1, "1", IntOnly(1), None):
        with pytest.raises(TypeError):
            rec.sample(bad)


def test_constructor_converts_numbers_and_iterables():
    r = make(bpm=Index(60), beat_zero_seconds=1, start_pip=IntOnly(4),
             dimensions=("x", "y"), samples=((v, -v) for v in (0.5, 1)))
    assert (r.bpm, r.beat_zero_seconds, r.start_pip, r.dimensions) == (60.0, 1.0, 4, ["x", "y"])
    assert r.sample(5) == [1.0, -1.0] and type(r.sample(5)[0]) is float


@pytest.mark.parametrize("args", [
    dict(dimensions=iter(["x"])),     # a bare iterator is not taken
    dict(dimensions="x"),             # nor is a str as a list of names
    dict(name=1), dict(bpm="120"), dict(samples=[["0.5"]]), dict(samples=[0.5]),
    dict(start_pip=1.0), dict(start_pip=2**31), dict(samples=[[10**400]]),
])
def test_constructor_refuses_unconvertible_arguments(args):
    with pytest.raises(TypeError):
        make(**args)


@pytest.mark.slow
@pytest.mark.parametrize("axes, most", [(1, MAX_VALUES), (3, MAX_VALUES // 3)])
def test_value_limit_is_exact(axes, most):
    dims = ["abcdefg"[a] for a in range(axes)]
    rec = Rec("big", dims, [[0.0] * axes] * most, 120.0, start_pip=INT32_MAX - most)
    assert rec.sample_count == most and rec.sample(INT32_MAX - 1) == [0.0] * axes
    # Only rows count towards the limit, so empty rows one past it are refused by size.
    with pytest.raises(ValueError, match=SIZE):
        Rec("big", dims, [[]] * (most + 1), 120.0)


@pytest.mark.slow
def test_long_ragged_row_is_ragged_not_too_big():
    with pytest.raises(ValueError, match=RAGGED):
        make(samples=[[0.0] * (MAX_VALUES + 1)])
