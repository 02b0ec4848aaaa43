import pytest

import trovelin

RUDIMENT_NAMES = [
    "bounce", "sway", "circle", "figure_eight", "step_touch", "box_step", "helix",
    "vessa_background", "single_stroke_roll", "double_stroke_roll", "multiple_bounce_roll",
    "single_paradiddle", "flam", "drag", "five_stroke_roll",
]


def test_docstring_and_constant():
    assert trovelin.__doc__ == "Integer-pip rhythmic position functions"
    assert type(trovelin.PIPS_PER_BEAT) is int and trovelin.PIPS_PER_BEAT == 64


def test_rebinding_the_constant_changes_nothing_natively():
    before = trovelin.bounce(64).as_tuple()
    saved = trovelin.PIPS_PER_BEAT
    try:
        trovelin.PIPS_PER_BEAT = 100
        assert trovelin.bounce(64).as_tuple() == before
    finally:
        trovelin.PIPS_PER_BEAT = saved


def test_registered_attributes_in_order():
    public = [k for k in vars(trovelin) if not k.startswith("__")]
    expected = ["PIPS_PER_BEAT", "SampledRecording", "Offset3", "SampledPattern",
                "PatternLibrary", "sample", "catalogue", *RUDIMENT_NAMES]
    present = [k for k in expected if hasattr(trovelin, k)]
    assert public == present


def test_offset3_has_no_constructor():
    with pytest.raises(TypeError, match=r"^trovelin\.Offset3: No constructor defined!$"):
        trovelin.Offset3()


def test_offset3_is_read_only_and_closed():
    o = trovelin.circle(16)
    for attr in ("x", "y", "z"):
        with pytest.raises(AttributeError):
            setattr(o, attr, 0.5)
    with pytest.raises(AttributeError):
        o.w = 1.0
    assert o.as_tuple() == (1.0, 0.0, 0.0)
    assert not hasattr(o, "__dict__")


def test_offset3_results_are_fresh_objects_with_identity_equality():
    a, b = trovelin.bounce(0), trovelin.bounce(0)
    assert a is not b and a != b
    assert a.as_tuple() == b.as_tuple()
    t = a.as_tuple()
    assert type(t) is tuple and t == (a.x, a.y, a.z) and t is not a.as_tuple()


def test_offset3_subclassable():
    class Mine(trovelin.Offset3):
        pass

    assert issubclass(Mine, trovelin.Offset3)


def test_only_the_init_function_is_exported():
    import ctypes
    lib = ctypes.CDLL(trovelin.__file__)
    assert lib.PyInit_trovelin
    with pytest.raises(AttributeError):
        lib.stroke_motion
