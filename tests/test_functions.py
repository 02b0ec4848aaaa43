"""Module-level position functions: name lookup and argument conversion."""
import decimal
import fractions

import pytest

import trovelin
from helpers import INT32_MAX, INT32_MIN, bits
from test_module import RUDIMENT_NAMES


class Index:
    def __init__(self, v):
        self.v = v

    def __index__(self):
        return self.v


class IntOnly:
    def __init__(self, v):
        self.v = v

    def __int__(self):
        return self.v


@pytest.mark.parametrize("name", RUDIMENT_NAMES)
@pytest.mark.parametrize("pip", [0, 17, -1, 96, INT32_MIN, INT32_MAX])
def test_sample_by_name_matches_the_function(name, pip):
    assert bits(trovelin.sample(name, pip).as_tuple()) == bits(getattr(trovelin, name)(pip).as_tuple())


def test_sample_keywords():
    assert trovelin.sample(name="bounce", pip_count=96).as_tuple() == (1.0, 0.0, 0.0)
    assert trovelin.sample("bounce", -32).as_tuple() == trovelin.bounce(32).as_tuple()
    with pytest.raises(TypeError):
        trovelin.sample("bounce", pip=96)


@pytest.mark.parametrize("name", ["Bounce", "", "bounce ", " bounce", "bounc", "lfo_",
                                  "no_such_pattern", "båunce"])
def test_unknown_names(name):
    with pytest.raises(ValueError) as info:
        trovelin.sample(name, 0)
    assert str(info.value) == "Unknown trovelin: " + name


@pytest.mark.parametrize("name, shown", [
    ("bounce\0", "bounce\\x00"), ("a\0b", "a\\x00b"), (b"\xff", "\\xff"), (b"ok\xc3", "ok\\xc3"),
    (b"\xed\xa0\x80", "\\xed\\xa0\\x80"),          # a surrogate's bytes are not UTF-8
    ("caf\u00e9", "caf\u00e9"), ("back\\slash", "back\\slash"),
])
@pytest.mark.parametrize("where", ["module", "library"])
def test_unknown_names_are_quoted_whole_with_unprintable_bytes_escaped(name, shown, where):
    sample = trovelin.sample if where == "module" else trovelin.PatternLibrary().sample
    with pytest.raises(ValueError) as info:
        sample(name, 0)
    assert str(info.value) == "Unknown trovelin: " + shown


@pytest.mark.parametrize("name", [b"bounce", bytearray(b"bounce")])
def test_sample_takes_bytes_names(name):
    assert trovelin.sample(name, 32).as_tuple() == (1.0, 0.0, 0.0)


@pytest.mark.parametrize("value, same_as", [(True, 1), (False, 0), (Index(5), 5),
                                            (IntOnly(7), 7), (INT32_MIN, INT32_MIN),
                                            (decimal.Decimal(9), 9), (fractions.Fraction(22, 2), 11)])
def test_pip_conversion_accepts(value, same_as):
    assert trovelin.bounce(value).as_tuple() == trovelin.bounce(same_as).as_tuple()
    assert trovelin.sample("bounce", value).as_tuple() == trovelin.bounce(same_as).as_tuple()


@pytest.mark.parametrize("value", [1.0, float("nan"), "1", None, 2**31, -2**31 - 1, 2**64, [1]])
def test_pip_conversion_refuses(value):
    with pytest.raises(TypeError):
        trovelin.bounce(value)
    with pytest.raises(TypeError):
        trovelin.sample("bounce", value)


@pytest.mark.parametrize("name", RUDIMENT_NAMES)
def test_rudiments_are_positional_only(name):
    fn = getattr(trovelin, name)
    with pytest.raises(TypeError):
        fn(pip=1)
    with pytest.raises(TypeError):
        fn()
    with pytest.raises(TypeError):
        fn(1, 2)


@pytest.mark.parametrize("name", [1, None, ["bounce"]])
def test_sample_refuses_non_text_names(name):
    with pytest.raises(TypeError):
        trovelin.sample(name, 0)


STRICT_PIPS = {
    "pattern": lambda pip: trovelin.SampledPattern("p", "", [(0.5, 0.0, 0.0), (-0.5, 0.0, 0.0)]).sample(pip).x,
    "library": lambda pip: trovelin.PatternLibrary().sample("bounce", pip).x,
    "recording": lambda pip: trovelin.SampledRecording("r", ["a"], [[0.25], [0.75]], 120.0).sample(pip)[0],
}


@pytest.mark.parametrize("kind", STRICT_PIPS)
def test_strict_pips_take_ints_and_index_objects_only(kind):
    fn = STRICT_PIPS[kind]
    assert fn(Index(1)) == fn(1) == fn(True)
    for refused in (IntOnly(1), 1.0, "1", 2**31):
        with pytest.raises(TypeError):
            fn(refused)


NUMPY_FLOATS = ("float16", "float32", "float64", "longdouble")
EVERY_PIP = {name: getattr(trovelin, name) for name in RUDIMENT_NAMES}
EVERY_PIP.update({
    "sample": lambda pip: trovelin.sample("circle", pip),
    "start_pip": lambda pip: trovelin.SampledRecording("r", ["a"], [[0.25]], 120.0, 0.0, pip).start_pip,
    **STRICT_PIPS,
})


@pytest.mark.parametrize("where", EVERY_PIP)
def test_numpy_floats_are_refused_and_numpy_ints_taken_wherever_a_pip_goes(where):
    numpy = pytest.importorskip("numpy")
    fn = EVERY_PIP[where]
    for kind in NUMPY_FLOATS:
        for value in (2.9, 2.0):
            with pytest.raises(TypeError):
                fn(getattr(numpy, kind)(value))
    def shown(result):
        return bits(result.as_tuple() if isinstance(result, trovelin.Offset3) else (result,))
    for kind in ("int8", "uint16", "int64"):
        assert shown(fn(getattr(numpy, kind)(1))) == shown(fn(1))
