"""mech_ studies and the two mechanism-like path_ shapes: each does what its
description says, closes smoothly and keeps apart from its siblings."""
from functools import lru_cache

import numpy as np
import pytest

import trovelin

LISTING = {d["name"]: d for d in trovelin.catalogue()}

MECH = {  # name: (dimensions, what the study is of)
    "mech_piston_short": (2, "Short-rod piston"), "mech_piston_long": (2, "Long-rod piston"),
    "mech_offset_crank": (2, "Offset crank"), "mech_scotch_yoke": (2, "Yoke with rocking linkage"),
    "mech_whitworth": (2, "Quick-return linkage study"), "mech_elliptic_cam": (2, "Elliptic cam follower"),
    "mech_two_lobe_cam": (2, "Two-lobe cam follower"), "mech_three_lobe_cam": (2, "Three-lobe cam follower"),
    "mech_escapement": (2, "Soft escapement study"), "mech_paddle": (2, "Paddle-wheel tip"),
    "mech_wobble_plate": (3, "Wobble-plate trace"), "mech_rocking_beam": (2, "Rocking beam"),
    "mech_coupled_cranks": (2, "Coupled cranks"), "mech_crank_rocker": (3, "Crank and rocker study"),
    "mech_piston_balance": (3, "Piston and balance mass"), "mech_cam_return": (2, "Cam rise and return"),
}
STUDY = "; an original kinematic-style position study, not an engineering simulation."
PATHS = {  # name: (position in the path_ block, period, description)
    "path_orbit_dwell": (4, 512, "An ellipse whose phase slows to zero speed at the loop boundary and "
                                 "accelerates through the opposite side."),
    "path_crank_slider": (7, 256, "Horizontal slider-crank travel with rod length three and crank radius one; "
                                  "vertical motion follows the crank tip."),
}
AUTHORED = [n for n in MECH if n != "mech_scotch_yoke"] + list(PATHS)


@lru_cache(maxsize=None)
def table(name):
    period = LISTING[name]["period_pips"]
    return np.array([trovelin.sample(name, p).as_tuple() for p in range(period)])


def radius(rows):
    return np.hypot(rows[:, 0], rows[:, 1])


def rises(values):
    """Upward crossings of the mid-range level around the loop."""
    high = values > (values.max() + values.min()) / 2
    return int(np.sum(high & ~np.roll(high, 1)))


def slow_and_fast_strokes(values):
    """Pips from the maximum down to the minimum, and from there back up."""
    n = len(values)
    down = (int(np.argmin(values)) - int(np.argmax(values))) % n
    return down, n - down


def test_listing():
    assert [n for n in LISTING if n.startswith("mech_")] == list(MECH)
    expected = {n: (512, dims, what + STUDY) for n, (dims, what) in MECH.items()}
    expected.update({n: (period, 2, text) for n, (_, period, text) in PATHS.items()})
    for name, entry in expected.items():
        assert (LISTING[name]["period_pips"], LISTING[name]["dimensions"], LISTING[name]["description"]) == entry
    path_block = [n for n in LISTING if n.startswith("path_")]
    assert len(path_block) == 8 and all(path_block[i] == n for n, (i, _, _) in PATHS.items())


@pytest.mark.parametrize("name", AUTHORED)
def test_scaled_moving_and_smooth_through_the_seam(name):
    rows = table(name)
    dims = LISTING[name]["dimensions"]
    assert np.abs(rows).max() == pytest.approx(0.82, abs=1e-3)
    assert (np.ptp(rows[:, :dims], axis=0) > 0.3).all(), "every used axis visibly moves"
    assert (rows[:, dims:] == 0).all()
    # The slope carries on across the seam: the change of step there is no
    # larger than a few pips to either side (a reset or a kink would be).
    bend = np.abs(np.roll(rows, -1, 0) - 2 * rows + np.roll(rows, 1, 0)).max(axis=1)
    assert max(bend[0], bend[-1]) <= 1.5 * bend[[2, 3, 4, -3, -4, -5]].max() + 1e-6


def closest_match(a, b):
    """Smallest RMS distance between two loops over every shift of b, run
    either way round: a cyclic cross-correlation per axis by FFT."""
    best = np.inf
    for rows in (b, b[::-1]):
        cross = np.fft.ifft(np.fft.fft(a, axis=0) * np.conj(np.fft.fft(rows, axis=0)), axis=0).real.sum(axis=1)
        mean_square = (np.sum(a ** 2) + np.sum(rows ** 2) - 2 * cross) / len(a)
        best = min(best, float(np.sqrt(max(mean_square.min(), 0.0))))
    return best


def test_mech_shapes_are_distinct():
    names = list(MECH)
    for i, a in enumerate(names):
        for b in names[i + 1:]:
            assert closest_match(table(a), table(b)) > 0.1, (a, b)


def test_short_rod_stroke_is_the_lopsided_one():
    t = 2 * np.pi * np.arange(512) / 512
    piston = np.cos(t) + np.sqrt(1.5 ** 2 - np.sin(t) ** 2)   # rod of 1.5 crank radii
    expected = np.mean(piston > 1.5)
    short = np.mean(table("mech_piston_short")[:, 1] > 0)     # stroke runs along y
    long = np.mean(table("mech_piston_long")[:, 0] > 0)       # stroke runs along x
    assert short == pytest.approx(expected, abs=2 / 512)
    assert abs(short - 0.5) > 0.09 and abs(long - 0.5) < 0.04


@pytest.mark.parametrize("name, least_ratio", [("mech_offset_crank", 1.2), ("mech_whitworth", 1.8)])
def test_working_stroke_is_slower_than_the_return(name, least_ratio):
    slow, fast = slow_and_fast_strokes(table(name)[:, 0])
    assert slow >= least_ratio * fast


@pytest.mark.parametrize("name, lift, lobes", [
    ("mech_elliptic_cam", lambda r: r[:, 1], 1),
    ("mech_two_lobe_cam", radius, 2),
    ("mech_three_lobe_cam", radius, 3),
    ("mech_cam_return", lambda r: r[:, 1], 1),
])
def test_cam_followers_rise_once_per_lobe(name, lift, lobes):
    assert rises(lift(table(name))) == lobes


def test_cam_rise_dwell_return_dwell():
    y = table("mech_cam_return")[:, 1]
    held_high = np.sum(np.abs(y - y.max()) < 1e-9)
    held_low = np.sum(np.abs(y - y.min()) < 1e-9)
    assert held_high >= 80 and held_low >= 80
    x = table("mech_cam_return")[:, 0]
    assert (np.diff(x[np.abs(y - y.max()) < 1e-9]) > 0).all(), "the bar carries forward while it is up"


def test_escapement_ticks_once_a_beat_then_waits():
    rows = table("mech_escapement")
    assert np.allclose(radius(rows), 0.82, atol=1e-9)
    angle = np.unwrap(np.arctan2(rows[:, 1], rows[:, 0]))
    moving = np.abs(np.diff(np.append(angle, angle[0] - 2 * np.pi))) > 1e-6
    starts = np.flatnonzero(moving & ~np.roll(moving, 1))
    assert list(starts) == [64 * k for k in range(8)]
    assert np.sum(~moving) >= 8 * 30, "long pauses between ticks"
    assert angle[-1] - angle[0] == pytest.approx(-2 * np.pi, abs=0.05), "one turn a loop, clockwise"


def winding(xy, centre):
    d = xy - centre
    step = np.diff(np.arctan2(d[:, 1], d[:, 0]), append=np.arctan2(d[0, 1], d[0, 0]))
    return round(float(np.sum((step + np.pi) % (2 * np.pi) - np.pi)) / (2 * np.pi))


def test_paddle_tip_loops_inside_its_loop():
    xy = table("mech_paddle")[:, :2]
    assert abs(winding(xy, xy.mean(axis=0))) == 2
    # Two turns of the wheel, but the feathering blade makes the second turn
    # a different, inner loop rather than a retrace of the first.
    assert np.sqrt(np.mean(np.sum((xy[:256] - xy[256:]) ** 2, axis=1))) > 0.5


def test_wobble_plate_goes_round_while_rising_and_falling_twice():
    rows = table("mech_wobble_plate")
    assert abs(winding(rows[:, :2], np.zeros(2))) == 1
    assert rises(rows[:, 2]) == 2


def test_crank_rocker_swings_once_per_turn():
    rows = table("mech_crank_rocker")
    assert rises(rows[:, 2]) == 1 and abs(winding(rows[:, :2], rows[:, :2].mean(axis=0))) == 1


def test_balance_mass_moves_against_the_piston():
    rows = table("mech_piston_balance")
    assert np.corrcoef(rows[:, 0], rows[:, 2])[0, 1] < -0.95


def test_orbit_dwell_rests_at_the_boundary_and_is_fastest_opposite():
    rows = table("path_orbit_dwell")[:, :2]
    speed = np.linalg.norm(np.roll(rows, -1, 0) - np.roll(rows, 1, 0), axis=1) / 2
    assert speed[0] < 1e-4 and speed[[1, -1]].max() < 0.02 * speed.max()
    assert abs(int(np.argmax(speed)) - 256) <= 2
    assert (np.diff(speed[:257]) >= -1e-9).all(), "speeds up all the way to the far side"
    # Every point on one ellipse about the origin: x^2 p + y^2 q = 1 fits exactly.
    fit = np.linalg.lstsq(rows ** 2, np.ones(len(rows)), rcond=None)[0]
    assert np.allclose(rows ** 2 @ fit, 1, atol=1e-9) and fit[1] > fit[0] > 0


def test_crank_slider_is_a_rod_three_crank_one_linkage():
    rows = table("path_crank_slider")
    t = 2 * np.pi * np.arange(256) / 256
    slider = np.cos(t) + np.sqrt(9 - np.sin(t) ** 2)          # between 2 and 4
    scale = np.ptp(rows[:, 0]) / np.ptp(slider)
    assert np.allclose(rows[:, 0], scale * (slider - 3), atol=1e-9)
    assert np.allclose(rows[:, 1], scale * np.sin(t), atol=1e-9)
