"""SampledPattern: validation, sampling and argument conversion."""
import math

import pytest

import trovelin
from helpers import INT32_MAX, INT32_MIN, bits
from test_functions import Index, IntOnly

SP = trovelin.SampledPattern
ONE = [(0.0, 0.0, 0.0)]
COUNT = "A pattern requires 1..65535 samples (one per pip)"
RANGE = "Pattern samples must be finite and within [-1, 1]"
MAX_ROWS = [(0.5, 0.0, 0.0)] * 65535


def dimensions(samples):
    return trovelin.PatternLibrary([SP("p", "", samples)]).catalogue()[-1]["dimensions"]


@pytest.mark.parametrize("name", ["a", "a" * 128, "x9", "end_", "a__b", "z0_9", b"ab", bytearray(b"ab")])
def test_names_accepted(name):
    expected = name if isinstance(name, str) else bytes(name).decode()
    assert SP(name, "", ONE).name == expected


@pytest.mark.parametrize("name", ["", "a" * 129, "9a", "_a", "Ab", "aB", "a-b", "a b", "a\0", "é", "aé",
                                  b"a\xff"])
def test_names_refused(name):
    with pytest.raises(ValueError, match=r"^Invalid pattern name$"):
        SP(name, "", ONE)


@pytest.mark.parametrize("name, samples, message", [
    ("Bad", [], "Invalid pattern name"),             # name before count
    ("ok", [], COUNT),
    ("ok", [(2.0, 0, 0)] * 65536, COUNT),            # count before values
    ("ok", MAX_ROWS + [(0.0, 0.0, 0.0)], COUNT),
])
def test_refusal_order(name, samples, message):
    with pytest.raises(ValueError) as info:
        SP(name, "", samples)
    assert str(info.value) == message


@pytest.mark.parametrize("bad", [math.nextafter(1.0, 2.0), math.nextafter(-1.0, -2.0), math.inf, -math.inf,
                                 math.nan])
@pytest.mark.parametrize("axis", [0, 1, 2])
def test_coordinates_refused(bad, axis):
    row = [0.0, 0.0, 0.0]
    row[axis] = bad
    with pytest.raises(ValueError, match=r"^Pattern samples must be finite and within \[-1, 1\]$"):
        SP("p", "", [(1.0, -1.0, 1.0), tuple(row)])


def test_largest_pattern_and_bounds_accepted():
    assert SP("p", "", MAX_ROWS).period_pips == 65535
    p = SP("p", "", [(1.0, -1.0, -1.0), (-1.0, 1.0, 1.0)])
    assert p.sample(1).as_tuple() == (-1.0, 1.0, 1.0)


@pytest.mark.parametrize("samples, expected", [
    ([(0.5, 0, 0)] * 4, 1),
    ([(0.5, -0.0, -0.0)], 1),
    ([(0, 0, 0), (0, 0.2, 0), (0, 0, 0)], 2),
    ([(0, 0, -0.1), (0, 0.2, 0)], 3),
    ([(0, 0.2, 0), (0, 0, -0.1), (0, 0.3, 0)], 3),
    ([(0, 0, 0.1)], 3),
])
def test_dimensions_from_samples(samples, expected):
    assert dimensions(samples) == expected


ROWS64 = [(i / 64, -0.0, -i / 128) for i in range(64)]


@pytest.mark.parametrize("rows, pip, index", [
    (ROWS64, 0, 0), (ROWS64, 64, 0), (ROWS64, -1, 63), (ROWS64, -64, 0), (ROWS64, 130, 2),
    (ROWS64, INT32_MAX, INT32_MAX % 64), (ROWS64[:3], INT32_MIN, 1), (ROWS64[:1], INT32_MIN, 0),
    (ROWS64[:1], INT32_MAX, 0), (ROWS64[:1], -7, 0),
])
def test_sampling_by_floor_modulo_bit_for_bit(rows, pip, index):
    p = SP("p", "", rows)
    assert p.period_pips == len(rows)
    assert bits(p.sample(pip).as_tuple()) == bits(rows[index])


@pytest.mark.parametrize("description", ["", "Plain words", "Ünïcødé ✓ 🥁", b"bytes kept", "x" * 100_000])
def test_descriptions_round_trip(description):
    p = SP("p", description, ONE)
    assert p.description == (description.decode() if isinstance(description, bytes) else description)


def test_invalid_utf8_description_fails_only_when_read():
    p = SP("p", b"\xffbad", ONE)
    assert p.name == "p" and p.sample(5).as_tuple() == (0.0, 0.0, 0.0)
    with pytest.raises(UnicodeDecodeError):
        p.description


def test_keywords_and_read_only_properties():
    p = SP(name="p", description="d", samples=[(0, 0, 0), (1, 0, 0)])
    assert p.sample(pip_count=3).as_tuple() == (1.0, 0.0, 0.0)
    for attr in ("name", "description", "period_pips"):
        with pytest.raises(AttributeError):
            setattr(p, attr, getattr(p, attr))
    with pytest.raises(TypeError):
        p.sample(pip=3)


@pytest.mark.parametrize("samples", [
    [(0, 0, 0), (1, -1, 1)],                      # ints become floats
    ((0, 0, 0), [True, -1, 1]),
    (iter_ for iter_ in [(0, 0, 0), (1, -1, 1)]),  # any iterable of samples
    [(0, 0, 0), (Index(1), -1, 1)],
])
def test_samples_converted(samples):
    assert SP("p", "", samples).sample(1).as_tuple() == (1.0, -1.0, 1.0)


@pytest.mark.parametrize("samples", [[(0, 0)], [(0, 0, 0, 0)], [(0, 0, 0), (0, 0)], ["abc"], [b"abc"],
                                     [(0, "0", 0)], [(0, None, 0)], (0, 0, 0), "abc", None])
def test_samples_refused_before_validation(samples):
    with pytest.raises(TypeError):
        SP("p", "", samples)


def test_strict_pip():
    p = SP("p", "", ROWS64)
    for value, same_as in [(True, 1), (Index(-1), -1)]:
        assert bits(p.sample(value).as_tuple()) == bits(p.sample(same_as).as_tuple())
    for value in [1.0, IntOnly(1), "1", None, INT32_MAX + 1, INT32_MIN - 1]:
        with pytest.raises(TypeError):
            p.sample(value)
