import hashlib
import math
import struct
from pathlib import Path

import pytest

import trovelin
from helpers import INT32_MAX, INT32_MIN, bits
from reference import RUDIMENTS

NAMES = list(RUDIMENTS)
RECORDED = Path(__file__).resolve().parent.parent / "src" / "rudiments" / "expected_rudiments.sha256"


def recorded_digests():
    lines = [line.split() for line in RECORDED.read_text().splitlines() if line and not line.startswith("#")]
    return {name: digest for digest, name in lines}

# (name, pip, expected (x, y, z)), exact to the last bit and the sign of zero.
EDGE_VALUES = [
    ("bounce", 0, (-1.0, 0.0, 0.0)),
    ("bounce", 16, (0.0, 0.0, 0.0)),
    ("bounce", 48, (0.0, 0.0, 0.0)),
    ("bounce", 32, (1.0, 0.0, 0.0)),
    ("bounce", 63, (-0.9375, 0.0, 0.0)),
    ("bounce", -1, (-0.9375, 0.0, 0.0)),
    ("bounce", 64, (-1.0, 0.0, 0.0)),
    ("sway", 32, (1.0, 0.0, 0.0)),
    ("sway", 64, (1.2246467991473532e-16, 0.0, 0.0)),
    ("circle", 0, (6.123233995736766e-17, -1.0, 0.0)),
    ("circle", 16, (1.0, 0.0, 0.0)),
    ("figure_eight", 16, (0.7071067811865475, 1.0, 0.0)),
    ("figure_eight", 48, (0.7071067811865476, -1.0, 0.0)),
    ("step_touch", 0, (-1.0, -0.0, 0.0)),
    ("step_touch", 16, (-0.5, -0.35, 0.0)),
    ("step_touch", 48, (0.5, -0.35, 0.0)),
    ("step_touch", 64, (1.0, -0.0, 0.0)),
    ("step_touch", 63, (0.99713134765625, -0.034305999115346285, 0.0)),
    ("box_step", 0, (-1.0, -1.0, 0.0)),
    ("box_step", 16, (-0.6875, -1.0, 0.0)),
    ("box_step", 32, (0.0, -1.0, 0.0)),
    ("box_step", 64, (1.0, -1.0, 0.0)),
    ("box_step", -1, (-1.0, -0.9985504150390625, 0.0)),
    ("helix", 0, (1.0, 0.0, 0.0)),
    ("helix", 64, (-1.0, 1.2246467991473532e-16, 1.0)),
    ("vessa_background", 0, (0.0, 0.0, 0.0)),
    ("vessa_background", 23, (0.14285714285714285, -0.1, 0.0)),
    ("vessa_background", 100, (-1.0, 0.8999999999999999, 0.0)),
    ("vessa_background", 255, (-0.0036088172182846823, -0.005052344105598516, 0.0)),
    ("vessa_background", -1, (-0.0036088172182846823, -0.005052344105598516, 0.0)),
    ("vessa_background", 256, (0.0, 0.0, 0.0)),
    ("single_stroke_roll", 0, (0.0, 0.0, 0.0)),
    ("single_stroke_roll", 4, (0.92, -0.6624, 0.0)),
    ("single_stroke_roll", 12, (-0.92, -0.6624, 0.0)),
    ("single_stroke_roll", 60, (-0.92, -0.6624, 0.0)),
    ("single_stroke_roll", -60, (0.92, -0.6624, 0.0)),
    ("double_stroke_roll", 4, (0.88, -0.6335999999999999, 0.0)),
    ("double_stroke_roll", 12, (0.72, -0.5184, 0.0)),
    ("double_stroke_roll", 20, (-0.88, -0.6335999999999999, 0.0)),
    ("multiple_bounce_roll", 35, (-0.92, -0.6624, 0.0)),
    ("single_paradiddle", 4, (1.0, -0.72, 0.0)),
    ("single_paradiddle", 12, (-0.72, -0.5184, 0.0)),
    ("single_paradiddle", 28, (0.72, -0.5184, 0.0)),
    ("single_paradiddle", 36, (-1.0, -0.72, 0.0)),
    ("single_paradiddle", 100, (-1.0, -0.72, 0.0)),
    ("flam", 5, (-0.34, -0.24480000000000002, 0.0)),
    ("flam", 7, (-0.053103299880171206, -0.2822129843092639, 0.0)),
    ("flam", 12, (0.9, -0.648, 0.0)),
    ("flam", 44, (-0.9, -0.648, 0.0)),
    ("drag", 17, (0.88, -0.6335999999999999, 0.0)),
    ("drag", 24, (0.0, 0.0, 0.0)),
    ("drag", 6, (-0.18686291501015242, -0.13454129880730972, 0.0)),
    ("drag", 8, (-0.2731370849898476, -0.19665870119269027, 0.0)),
    ("five_stroke_roll", 43, (1.0, -0.72, 0.0)),
    ("five_stroke_roll", 107, (-1.0, -0.72, 0.0)),
    ("five_stroke_roll", 50, (0.0, 0.0, 0.0)),
    ("five_stroke_roll", 64, (0.0, 0.0, 0.0)),
]


@pytest.mark.parametrize("name, pip, expected", EDGE_VALUES)
def test_edge_values_are_exact(name, pip, expected):
    assert bits(getattr(trovelin, name)(pip).as_tuple()) == bits(expected)


@pytest.mark.parametrize("pip, x", [(3, 0.92), (9, 0.68), (15, 0.48), (21, 0.32)])
def test_multiple_bounce_cluster_peaks(pip, x):
    assert trovelin.multiple_bounce_roll(pip).x == x


def test_multiple_bounce_gap_is_still():
    for pip in range(24, 32):
        assert trovelin.multiple_bounce_roll(pip).as_tuple() == (0.0, 0.0, 0.0)


def test_helix_quarter_depth():
    assert trovelin.helix(32).z == 0.7071067811865475


def test_the_record_holds_every_rudiment_once():
    lines = [line for line in RECORDED.read_text().splitlines() if line and not line.startswith("#")]
    assert [line.split()[1] for line in lines] == NAMES


@pytest.mark.parametrize("name", NAMES)
def test_every_pip_of_the_loop_is_the_recorded_bits(name):
    """The same bits on every platform: the loop's rows, as little-endian doubles, hash to the recorded digest."""
    period = RUDIMENTS[name][1]
    rows = b"".join(struct.pack("<3d", *getattr(trovelin, name)(pip).as_tuple()) for pip in range(period))
    assert hashlib.sha256(rows).hexdigest() == recorded_digests()[name]


@pytest.mark.parametrize("name", NAMES)
def test_a_copy_of_the_recorded_loop_is_absorbed_and_one_bit_off_is_refused(name):
    """A pack made anywhere from the recorded bits is the default here: the rows hash to the record, a pattern
    of them is absorbed into the default, and the same rows with one coordinate a unit in the last place
    away are refused as a change to it."""
    period = RUDIMENTS[name][1]
    description = next(d["description"] for d in trovelin.catalogue() if d["name"] == name)
    rows = [getattr(trovelin, name)(pip).as_tuple() for pip in range(period)]
    assert hashlib.sha256(b"".join(struct.pack("<3d", *row) for row in rows)).hexdigest() == recorded_digests()[name]
    library = trovelin.PatternLibrary([trovelin.SampledPattern(name, description, rows)])
    assert len(library.catalogue()) == len(trovelin.catalogue())
    assert all(bits(library.sample(name, pip).as_tuple()) == bits(row) for pip, row in enumerate(rows))
    x, y, z = rows[period // 3]
    rows[period // 3] = (math.nextafter(x, 0.0 if x > 0 else 1.0), y, z)
    with pytest.raises(ValueError, match=f"^Cannot override default pattern: {name}$"):
        trovelin.PatternLibrary([trovelin.SampledPattern(name, description, rows)])


@pytest.mark.parametrize("name", NAMES)
def test_every_pip_of_the_loop_matches_the_formula(name):
    """Bit-for-bit against an independent evaluation, over three whole loops."""
    reference, period, _ = RUDIMENTS[name]
    fn = getattr(trovelin, name)
    for pip in range(-period, 2 * period):
        assert bits(fn(pip).as_tuple()) == bits(reference(pip)), pip


@pytest.mark.parametrize("name", NAMES)
@pytest.mark.parametrize("pip", [INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, 0])
def test_wraps_like_floor_modulo_at_the_int32_extremes(name, pip):
    reference, period, _ = RUDIMENTS[name]
    fn = getattr(trovelin, name)
    assert bits(fn(pip).as_tuple()) == bits(fn(pip % period).as_tuple())
    assert bits(fn(pip).as_tuple()) == bits(reference(pip))
    other = pip + period if pip + period <= INT32_MAX else pip - period
    assert bits(fn(pip).as_tuple()) == bits(fn(other).as_tuple())


@pytest.mark.parametrize("name", NAMES)
def test_bounds_and_unused_axes(name):
    _, period, dimensions = RUDIMENTS[name]
    fn = getattr(trovelin, name)
    rows = [fn(p).as_tuple() for p in range(period)]
    assert all(-1.0 <= v <= 1.0 for row in rows for v in row)
    if dimensions < 3:
        assert all(row[2] == 0.0 for row in rows)
    if dimensions < 2:
        assert all(row[1] == 0.0 for row in rows)
    # every declared axis actually moves
    for axis in range(dimensions):
        assert len({row[axis] for row in rows}) > 1


@pytest.mark.parametrize("name", [n for n in NAMES if n.endswith(("roll", "diddle")) or n in ("flam", "drag")])
def test_sticks_only_ever_move_down(name):
    period = RUDIMENTS[name][1]
    assert all(getattr(trovelin, name)(p).y <= 0.0 for p in range(period))
