"""The catalogue: listing, lookup by name, sampling and the invariants of every table."""
import math

import numpy as np
import pytest

import trovelin
from catalogue_formulas import evaluate
from catalogue_listing import LISTING as LISTING_EXPECTED, Y_ONLY
from helpers import INT32_MAX, INT32_MIN, bits
from tables import table
from test_module import RUDIMENT_NAMES

LISTING = trovelin.catalogue()
ENTRIES = LISTING[15:]
NAMES = [e["name"] for e in ENTRIES]
BY_NAME = {e["name"]: e for e in ENTRIES}

EXPECTED = {e[0]: e for e in LISTING_EXPECTED}
EXPECTED_ORDER = [e[0] for e in LISTING_EXPECTED]
TABLES = {name: table(name) for name in NAMES}


def test_listing_form_and_order():
    assert [d["name"] for d in LISTING[:15]] == RUDIMENT_NAMES
    assert all(list(d) == ["name", "description", "period_pips", "dimensions"] for d in LISTING)
    assert NAMES == EXPECTED_ORDER
    assert len(LISTING) == 1731 and sum(e["period_pips"] for e in ENTRIES) == 1_022_912
    assert (NAMES[0], NAMES[627], NAMES[628], NAMES[-1]) == (
        "lfo_breathe", "burst_5_6_2", "beat_four_floor_bounce", "beat_dembow_push_ricochet")


def test_the_scaled_geometric_families_and_no_others_peak_at_exactly_0_82():
    at_peak = [n for n in NAMES if np.abs(TABLES[n]).max() == 0.82]
    assert len(at_peak) == 307
    assert {n.split("_")[0] for n in at_peak} == {
        "wave", "orbit", "weave", "polar", "spiro", "space", "mech", "path", "gesture", "ribbon", "contour",
        "silhouette", "spline", "tour", "scan", "reach", "surface", "braid", "arm", "dwell"}


@pytest.mark.parametrize("name", NAMES)
def test_each_entry_lists_its_name_length_dimensions_and_description(name):
    entry = BY_NAME[name]
    assert (name, entry["period_pips"], entry["dimensions"], entry["description"]) == EXPECTED[name]


def test_listing_is_a_fresh_copy_each_time():
    first = trovelin.catalogue()
    first.append("junk")
    first[0]["name"] = "changed"
    again = trovelin.catalogue()
    assert again == LISTING and again is not first and again[0] is not first[0]


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
        # beat_ entries share their scores style by style, so two of them need only half the distance.
        beat = np.array([n.startswith("beat_") for n in names])
        margin = rms - np.where(beat[:, None] & beat[None, :], 0.01, 0.02)
        i, j = np.unravel_index(np.argmin(margin), rms.shape)
        assert margin[i, j] > 0.0, (names[i], names[j], rms[i, j])


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
