"""The catalogue: listing, lookup by name, sampling and the invariants of every table."""
import math

import numpy as np
import pytest

import trovelin
from catalogue_formulas import evaluate
from helpers import INT32_MAX, INT32_MIN, bits
from test_module import RUDIMENT_NAMES

LISTING = trovelin.catalogue()
ENTRIES = LISTING[15:]
NAMES = [e["name"] for e in ENTRIES]
BY_NAME = {e["name"]: e for e in ENTRIES}

# Catalogue order of the families built so far; later families slot in between.
def _numbered(prefix, groups):
    return [prefix + "_".join(map(str, g)) for g in groups]


EXPECTED_ORDER = [
    "lfo_breathe", "lfo_surge", "lfo_soft_gate", "lfo_double_pump", "lfo_ratchet", "lfo_glide_stair",
    "lfo_morph", "lfo_flower",
    "rhythm_euclid_3_8", "rhythm_euclid_5_12",
    "lfo_twin_swell", "lfo_pulse_hold", "lfo_sweep_ratchet", "lfo_triplet_wobble", "lfo_breathing_orbit",
    "lfo_seeded_drift", "lfo_pendulum_dwell", "lfo_reverse_swell",
    "path_lissajous_2_3", "path_rose_4", "path_rose_5", "path_bowed_diamond", "path_orbit_dwell",
    "path_torus_knot", "path_woven_3d", "path_crank_slider",
    "wave_pinched",
    *[f"orbit_harmonic_{n:02d}" for n in range(1, 17)],
    *_numbered("weave_", [(1, 3), (1, 4), (1, 5), (2, 5), (2, 7), (3, 4), (3, 5), (3, 7), (3, 8), (4, 5),
                          (4, 7), (4, 9), (5, 6), (5, 7), (5, 8), (5, 9)]),
    *[f"polar_rose_{n}" for n in (3, 6, 7, 8, 9, 10, 11, 12)],
    *[f"spiro_{kind}_{big}_{small}" for kind in ("inside", "outside")
      for big, small in ((3, 1), (4, 1), (5, 2), (5, 1), (7, 2), (7, 3), (8, 3), (9, 4))],
    *_numbered("space_torus_", [(2, 5), (2, 7), (3, 4), (3, 5), (3, 7), (4, 5), (4, 7), (5, 6)]),
    *_numbered("space_weave_", [(1, 2, 3), (1, 3, 4), (2, 3, 4), (2, 3, 7), (2, 5, 7), (3, 4, 5), (3, 5, 7),
                                (4, 5, 7)]),
    "mech_piston_short", "mech_piston_long", "mech_offset_crank", "mech_scotch_yoke", "mech_whitworth",
    "mech_elliptic_cam", "mech_two_lobe_cam", "mech_three_lobe_cam", "mech_escapement", "mech_paddle",
    "mech_wobble_plate", "mech_rocking_beam", "mech_coupled_cranks", "mech_crank_rocker",
    "mech_piston_balance", "mech_cam_return",
    *_numbered("euclid_", [(2, 5), (3, 7), (3, 10), (4, 9), (4, 11), (5, 9), (5, 11), (5, 13), (5, 14),
                           (6, 13), (7, 12), (7, 15), (7, 17), (8, 19), (9, 20), (11, 24)]),
    *_numbered("poly_", [(2, 5), (2, 7), (2, 9), (3, 5), (3, 7), (3, 8), (3, 10), (4, 5), (4, 7), (4, 9),
                         (5, 6), (5, 7), (5, 8), (5, 9), (6, 7), (7, 8)]),
    *_numbered("meter_", [(2, 3), (3, 2), (3, 2, 2), (2, 3, 2), (3, 4), (4, 3), (2, 2, 2, 3), (2, 3, 2, 2),
                          (3, 2, 3, 2), (3, 3, 2, 3), (2, 2, 3, 2, 3), (3, 3, 3, 2), (4, 3, 3), (3, 4, 4),
                          (2, 3, 3, 2, 3), (3, 3, 3, 4)]),
]

# Descriptions carry typography (dashes) and wording that must survive byte for byte.
DESCRIPTIONS = {
    "lfo_breathe": "A four-beat, single-axis sine. The quiet reference for judging busier shapes.",
    "rhythm_euclid_5_12": "5 evenly distributed onsets on a 12-step grid. Alternating lateral gestures.",
    "weave_3_8": "3 horizontal and 8 vertical cycles; a phase-offset, closed 16-beat traversal.",
    "polar_rose_7": "A complete signed-radius rose traversal; odd-petal roses use a half-turn parameter.",
    "spiro_outside_9_4": "A closed outside-rolling circle trace, with pen radius smaller than the rolling radius.",
    "space_torus_5_6": "A genuine XYZ closed torus-knot trajectory. The demo uses an oblique projection.",
    "space_weave_4_5_7": "Three coprime-frequency coordinate lanes with distinct phase offsets.",
    "orbit_harmonic_16": "An ellipse combined with unequal horizontal and vertical harmonic ripples.",
    "euclid_11_24": "Evenly distributed accents with alternating sides; first onset is the phrase accent.",
    "poly_7_8": "Two independent pulse trains share an eight-beat boundary. Each right-lane gesture includes depth.",
    "meter_2_2_3_2_3": "Group starts lean alternately left and right; quieter subdivisions mark the eighth-note grid.",
    "path_torus_knot": "Two turns around the axis and three through the tube. XYZ is retained; the demo projects depth.",
    "mech_scotch_yoke": "Yoke with rocking linkage; an original kinematic-style position study, "
                        "not an engineering simulation.",
}

Y_ONLY = {"lfo_double_pump"}


def table(name):
    return np.array([trovelin.sample(name, i).as_tuple() for i in range(BY_NAME[name]["period_pips"])])


TABLES = {name: table(name) for name in NAMES}


def test_listing_form_and_order():
    assert [d["name"] for d in LISTING[:15]] == RUDIMENT_NAMES
    assert all(list(d) == ["name", "description", "period_pips", "dimensions"] for d in LISTING)
    assert NAMES == [n for n in EXPECTED_ORDER if n in BY_NAME]
    assert set(EXPECTED_ORDER) <= set(NAMES)
    assert LISTING[15]["name"] == "lfo_breathe"


def test_listing_is_a_fresh_copy_each_time():
    first = trovelin.catalogue()
    first.append("junk")
    first[0]["name"] = "changed"
    again = trovelin.catalogue()
    assert again == LISTING and again is not first and again[0] is not first[0]


@pytest.mark.parametrize("name, description", DESCRIPTIONS.items())
def test_descriptions(name, description):
    assert BY_NAME[name]["description"] == description


def test_periods_that_the_names_count():
    for name, entry in BY_NAME.items():
        numbers = [int(n) for n in name.split("_")[1:] if n.isdigit()]
        if name.startswith("meter_"):
            assert entry["period_pips"] == 32 * sum(numbers), name
        elif name.startswith("euclid_"):
            assert entry["period_pips"] == 32 * numbers[-1], name
    assert BY_NAME["meter_2_3"]["period_pips"] == 160
    assert BY_NAME["euclid_9_20"]["period_pips"] == 640


@pytest.mark.parametrize("name", [n for n in NAMES if evaluate(n)])
def test_formula_entries_match_an_independent_evaluation(name):
    period, dims, rows = evaluate(name)
    assert (BY_NAME[name]["period_pips"], BY_NAME[name]["dimensions"]) == (period, dims)
    worst = np.abs(TABLES[name] - np.array(rows)).max()
    assert worst <= 1.0000001e-12, worst


def test_rounding_settles_tiny_values_at_exact_zero():
    assert bits(trovelin.sample("lfo_breathe", 128).as_tuple()) == bits((0.0, 0.0, 0.0))
    assert trovelin.sample("lfo_breathe", -1).x == -0.019632982818
    assert trovelin.sample("lfo_breathe", -64).as_tuple() == (-0.8, 0.0, 0.0)


@pytest.mark.parametrize("name", NAMES)
def test_table_invariants(name):
    entry, rows = BY_NAME[name], TABLES[name]
    dims = entry["dimensions"]
    assert entry["period_pips"] % 32 == 0 and 8 <= len(name) <= 32
    assert np.isfinite(rows).all() and (np.abs(rows) <= 1.0).all()
    # Every value is a decimal of at most 12 places (checked exactly on a
    # spread of rows, approximately on all).
    scaled = rows * 1e12
    assert (np.abs(scaled - np.round(scaled)) < 1e-3).all()
    assert all(float(f"{v:.12f}") == v for v in rows[::13].ravel())
    unused = [a for a in range(3) if a >= dims or (a == 0 and name in Y_ONLY)]
    for axis in unused:
        assert (rows[:, axis] == 0.0).all() and not np.signbit(rows[:, axis]).any()
    for axis in range(dims):
        if axis not in unused:
            assert np.ptp(rows[:, axis]) > 0.0, f"axis {axis} never moves"


@pytest.mark.parametrize("name", NAMES)
def test_loops_close_without_a_jump(name):
    rows = TABLES[name]
    steps = np.abs(np.roll(rows, -1, axis=0) - rows).max(axis=1)
    assert steps.max() <= 0.25
    # The seam from the last pip back to pip 0 is no rougher than the loop itself.
    assert steps[-1] <= steps[:-1].max() + 1e-9


def test_no_two_entries_look_alike():
    """Root-mean-square distance between every pair of equally long loops."""
    by_period = {}
    for name in NAMES:
        by_period.setdefault(BY_NAME[name]["period_pips"], []).append(name)
    for names in by_period.values():
        if len(names) < 2:
            continue
        x = np.array([TABLES[n].ravel() for n in names])
        sq = np.einsum("ij,ij->i", x, x)
        rms = np.sqrt(np.maximum(sq[:, None] + sq[None, :] - 2 * x @ x.T, 0.0) / x.shape[1])
        np.fill_diagonal(rms, np.inf)
        i, j = np.unravel_index(np.argmin(rms), rms.shape)
        assert rms[i, j] > 0.02, (names[i], names[j], rms[i, j])


@pytest.mark.parametrize("name, period, row", [
    ("euclid_2_5", 160, 32), ("euclid_5_14", 448, 320), ("lfo_breathe", 256, 0),
    ("lfo_flower", 512, 0), ("weave_1_3", 1024, 0)])
def test_wrap_at_the_int32_extremes(name, period, row):
    assert BY_NAME[name]["period_pips"] == period
    rows = TABLES[name]
    assert trovelin.sample(name, INT32_MIN).as_tuple() == tuple(rows[row])
    assert trovelin.sample(name, INT32_MAX).as_tuple() == tuple(rows[INT32_MAX % period])
    assert trovelin.sample(name, -1).as_tuple() == tuple(rows[-1])
    assert trovelin.sample(name, period).as_tuple() == tuple(rows[0])
    for k in (0, 5, period - 1):
        for n in (-3, 1, 1000):
            assert trovelin.sample(name, k + n * period).as_tuple() == tuple(rows[k])


def test_lookup_finds_every_entry_and_the_ends_of_the_index():
    ordered = sorted(NAMES, key=lambda n: n.encode())
    for name in (ordered[0], ordered[-1], *NAMES):
        assert trovelin.sample(name, 7).as_tuple() == tuple(TABLES[name][7])


@pytest.mark.parametrize("name", ["LFO_BREATHE", "Lfo_breathe", "lfo_", "lfo_breath", "lfo_breathes",
                                  "lfo_breathe ", " lfo_breathe", "", "weave_5_9_", "a", "zzzz"])
def test_lookup_is_exact(name):
    with pytest.raises(ValueError, match="^Unknown trovelin: " + name + "$"):
        trovelin.sample(name, 0)


@pytest.mark.parametrize("name", [b"lfo_breathe", bytearray(b"lfo_breathe")])
def test_lookup_takes_bytes(name):
    assert trovelin.sample(name, 64).as_tuple() == (0.8, 0.0, 0.0)
