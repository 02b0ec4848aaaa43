"""The control-shape families (wave_, env_, seq_, noise_, ease_, akwf_): each table shows what its words claim."""
import hashlib
import math
from pathlib import Path

import numpy as np
import pytest

from tables import INFO, maxima, runs, table

DATA = Path(__file__).resolve().parent.parent / "data" / "akwf"


def family(prefix):
    return [n for n in INFO if n.startswith(prefix)]


def lane(name, axis=0):
    return table(name)[:, axis]


def turns(v):
    """Pips of every turning point around the loop (maxima and minima)."""
    return sorted(maxima(v, -2) + maxima(-v, -2))


def speed(v):
    return np.abs(np.roll(v, -1) - v)


def not_at_rest(v):
    """Pips where motion slows, stops or starts without coming to rest: the speed at a
    local minimum, or next to a stretch of stillness, is not small against the speed
    four pips away (it grows from zero in proportion at a resting join)."""
    s, n = speed(v), len(v)
    near = lambda i, k: s[(i + k) % n]  # noqa: E731
    return [i for i in range(n) if s[i] > 0 and (
        (s[i] == min(near(i, k) for k in range(-8, 9)) and s[i] > 0.3 * max(near(i, -4), near(i, 4)))
        or (near(i, -1) == 0 and s[i] > 0.3 * near(i, 4)) or (near(i, 1) == 0 and s[i] > 0.3 * near(i, -4)))]


# wave_ ---------------------------------------------------------------------------------------------

def flanks(v):
    """(rise, fall) in pips on either side of every maximum, to the neighbouring minima."""
    t = turns(v)
    return [((t[j] - t[j - 1]) % 512, (t[(j + 1) % len(t)] - t[j]) % 512)
            for j in range(len(t)) if t[j] in maxima(v, -2)]


def band(v, top, fraction):
    """How many rows lie within `fraction` of the range from the top (or the bottom)."""
    return int(np.sum(v >= v.max() - fraction * np.ptp(v))) if top else int(np.sum(v <= v.min() + fraction * np.ptp(v)))


def slow_spots(v):
    """Local minima of speed away from the turning points: shoulders, shelves and ripples."""
    t = turns(v)
    return [i for i in maxima(-speed(v), -2) if all(abs((i - j + 256) % 512 - 256) > 8 for j in t)]


def longest_shelf(v):
    """The longest stretch of the rise, starting within half the peak of zero, that gains less than 0.1."""
    lo, hi = int(np.argmin(v)), int(np.argmax(v))
    rise = np.roll(v, -lo)[:(hi - lo) % 512]
    return max(k2 - k1 for k1 in range(len(rise)) if abs(rise[k1]) < 0.41
               for k2 in range(k1, len(rise)) if rise[k2] - rise[k1] < 0.1)


def folds(v, side):
    """Depth of every fold on one side of zero: a minimum above zero (side 1) or a maximum below it (side -1)."""
    return [side * v[i] for i in maxima(-side * v, -2) if side * v[i] > 0]


def ripples_only_on_the_recovery(v):
    low, high = int(np.argmin(v)), int(np.argmax(v))
    extra = [i for i in turns(v) + slow_spots(v) if i not in (low, high)]
    return len(slow_spots(v)) >= 2 and len(turns(v)) >= 4 and all((i - low) % 512 < (high - low) % 512 for i in extra)


WAVE_FEATURES = {
    "wave_pinched": lambda v: len(turns(v)) == 2 and np.mean(np.abs(v) > 0.41) < 0.45 and speed(v)[0] < 1e-3,
    "wave_shouldered": lambda v: len(turns(v)) == 2 and [0.2 < abs(v[i]) < 0.5 for i in slow_spots(v)] == [True] * 4,
    "wave_folded": lambda v: len(turns(v)) == 6 and folds(v, 1) == folds(v, -1) != [],
    "wave_double_fold": lambda v: len(turns(v)) == 10,
    "wave_rounded_square": lambda v: len(turns(v)) == 2 and np.mean(np.abs(v) >= 0.94 * 0.82) > 0.7,
    "wave_soft_rectifier": lambda v: len(turns(v)) == 2 and band(v, False, 0.05) > 0.4 * 512 > 2 * band(v, True, 0.05),
    "wave_skew_warp": lambda v: [rise >= 1.8 * fall for rise, fall in flanks(v)] == [True],
    "wave_scoop_warp": lambda v: len(turns(v)) == 2 and band(v, False, 0.1) >= 2.5 * band(v, True, 0.1),
    "wave_shelf_wave": lambda v: len(turns(v)) == 2 and longest_shelf(v) >= 64 and band(v, False, 0.1) >= 1.5 * band(
        v, True, 0.1),
    "wave_notched": lambda v: len(turns(v)) == 4 and len(maxima(v, 0.6)) == 2 and 0.2 < v[128] < 0.5,
    "wave_bottle": lambda v: len(turns(v)) == 2 and np.sum(v > 0.6) <= 0.35 * np.sum(v > 0.2),
    "wave_reed": lambda v: len(turns(v)) >= 16 and all(abs(v[i]) > 0.3 for i in turns(v)),
    "wave_unequal_peaks": lambda v: len(turns(v)) == 4 and 0.5 < sorted(v[maxima(v, -2)])[0] / 0.82 < 0.7 < -v.min(),
    "wave_ripple_return": ripples_only_on_the_recovery,
    "wave_soft_teeth": lambda v: len(flanks(v)) == 3 and all(rise >= 1.5 * fall for rise, fall in flanks(v)),
    "wave_warped_fold": lambda v: len(turns(v)) == 6 and len(folds(v, 1)) == len(folds(v, -1)) == 1
    and abs(folds(v, 1)[0] - folds(v, -1)[0]) > 0.3,
}


@pytest.mark.parametrize("name", family("wave_"))
def test_waves_one_smooth_cycle_at_the_peak(name):
    v = lane(name)
    assert np.abs(v).max() == 0.82
    bend = np.abs(np.roll(v, -1) - 2 * v + np.roll(v, 1))
    assert bend.max() < speed(v).max() / 3  # no corner anywhere, the seam included
    assert all(np.abs(np.roll(v, 512 // k) - v).max() > 0.1 for k in (2, 3, 4, 5))  # nothing repeats within the loop


@pytest.mark.parametrize("name", WAVE_FEATURES)
def test_each_wave_shows_its_named_feature(name):
    assert WAVE_FEATURES[name](lane(name))


# env_ ----------------------------------------------------------------------------------------------

def holds(v, length=48):
    """(start, end, level) of every hold of at least `length` pips, in time order, end exclusive."""
    return [(s, next((i for i in range(s, len(v)) if v[i] != lv), len(v)), lv) for s, lv in runs(list(v), length)]


def fall_to_rest(y):
    top = int(np.argmax(y))
    return next(i for i in range(top, 512) if y[i] == 0) - top


def crests(v):
    return [(i, v[i]) for i in maxima(v)]


def evenly(values):
    return np.ptp(np.diff(values)) < 1e-9


ENVELOPES = {
    "env_lift_hold_drop": lambda y: holds(y, 192)[0][0] <= 64 and holds(y, 192)[0][1:] == (321, y.max())
    and (y[-48:] == 0).all() and fall_to_rest(y) > 2 * np.argmax(y),
    "env_inhale_exhale": lambda y: np.argmax(y) >= 3 * fall_to_rest(y) and len(crests(y)) == 1,
    "env_triple_swell": lambda y: len(crests(y)) == 3 and np.diff(sorted(h for _, h in crests(y))).min() > 0.1
    and all(0.0 in y[a:b] for (a, _), (b, _) in zip(crests(y), crests(y)[1:])),
    "env_rising_echo": lambda y: len(crests(y)) == 4 and evenly([i for i, _ in crests(y)]) and evenly(
        [h for _, h in crests(y)]) and crests(y)[0][1] < crests(y)[-1][1],
    "env_falling_echo": lambda y: len(crests(y)) == 4 and evenly([i for i, _ in crests(y)]) and evenly(
        [h for _, h in crests(y)]) and crests(y)[0][1] > crests(y)[-1][1],
    "env_anticipation": lambda y: np.argmin(y) < np.argmax(y) and 0.2 < -y.min() / y.max() < 0.5
    and (y[:np.argmin(y)] <= 0).all(),
    "env_plateau_scoop": lambda y: holds(y, 128)[0][2] == y.max() and holds(y, 128)[0][1] < np.argmin(y) < 512
    and y.min() < 0,
    "env_hesitant": lambda y: len(crests(y)) == 3 and crests(y)[0][1] < crests(y)[1][1] < crests(y)[2][1] == y.max(),
    "env_double_hold": lambda y: [lv for _, _, lv in holds(y, 96) if lv] == [0.4, 0.8],
    "env_swell_recoil": lambda y: np.argmin(y) >= 192 and y.min() <= -0.75 and 0 < np.argmax(y) - np.argmin(y) <= 64
    and 0.3 < y.max() / -y.min() < 0.6,
    "env_late_release": lambda y: holds(y, 192)[0][0] <= 64 and holds(y, 192)[0][1:] == (449, y.max()),
    "env_split_attack": lambda y: holds(y, 16)[0][0] <= 32 and 0.4 < holds(y, 16)[0][2] / y.max() < 0.7
    and holds(y, 16)[0][1] < np.argmax(y) < 128,
    "env_suspended": lambda y: [(lv < 0, end >= 448) for _, end, lv in holds(y, 128)] == [(True, True)]
    and np.argmax(y) < holds(y, 48)[0][0] < holds(y, 128)[0][0] and holds(y, 48)[0][2] == 0,
    "env_valley_peaks": lambda y: len(crests(y)) == 2 and crests(y)[0][1] == crests(y)[1][1]
    and y[crests(y)[0][0]:crests(y)[1][0]].min() < 0,
    "env_four_breaths": lambda y: len(crests(y)) == 4 and np.diff([i for i, _ in crests(y)]).tolist() == [128] * 3
    and len({h for _, h in crests(y)}) == 1 and all(2 * (i % 128) <= 128 - i % 128 for i, _ in crests(y)),
    "env_return_stair": lambda y: [lv for _, _, lv in holds(y, 48)] == [0.8, 0.6, 0.4, 0.2, 0.0],
}


@pytest.mark.parametrize("name", family("env_"))
def test_envelopes_move_y_alone_and_join_at_rest(name):
    rows = table(name)
    assert not np.signbit(rows[:, 0]).any() and (rows[:, 0] == 0).all() and np.ptp(rows[:, 1]) > 0.5
    assert rows[0, 1] == 0.0 and not_at_rest(rows[:, 1]) == []


@pytest.mark.parametrize("name", ENVELOPES)
def test_each_envelope_is_the_one_it_names(name):
    assert ENVELOPES[name](lane(name, 1))


# seq_ ----------------------------------------------------------------------------------------------

def segments(name):
    """(pip each move begins, position held before it) for every segment of a sequence."""
    rows = table(name)
    still = [(rows[i] == rows[i - 1]).all() for i in range(512)]
    return [(i, tuple(rows[i])) for i in range(512) if still[i] and not still[(i + 1) % 512]]


PROGRAMMES = sorted({n[4:].rsplit("_", 1)[0] for n in family("seq_")})


@pytest.mark.parametrize("programme", PROGRAMMES)
def test_lilt_alternates_five_to_three_where_even_is_even(programme):
    even, lilt = segments(f"seq_{programme}_even"), segments(f"seq_{programme}_lilt")
    n = len(even)
    assert n >= 8 and n % 2 == 0 and [p for _, p in even] == [p for _, p in lilt]  # one programme, two timings
    gaps = lambda segs: np.diff([i for i, _ in segs] + [segs[0][0] + 512]).tolist()  # noqa: E731
    assert gaps(even) == [512 // n] * n
    long, short = gaps(lilt)[::2], gaps(lilt)[1::2]
    assert len(set(long)) == len(set(short)) == 1 and long[0] * 3 == short[0] * 5 and long[0] + short[0] == 1024 // n


@pytest.mark.parametrize("name", family("seq_"))
def test_sequence_moves_are_softened_and_held(name):
    rows = table(name)
    assert all(not_at_rest(rows[:, axis]) == [] for axis in (0, 1))
    positions = [p for _, p in segments(name)]
    assert all(a != b for a, b in zip(positions, positions[1:] + positions[:1]))
    assert sum(s == 0 for s in np.abs(np.roll(rows, -1, axis=0) - rows).max(axis=1)) >= 256  # held half the time


# noise_ --------------------------------------------------------------------------------------------

def digest_value(text):
    """First 13 hex digits of the SHA-256 digest as a 52-bit integer n, mapped to n / 2^51 - 1."""
    return int(hashlib.sha256(text.encode()).hexdigest()[:13], 16) / 2 ** 51 - 1


def through_points(name, n):
    """Whether the table passes exactly through control points 0..n-1 placed at round(1024 k / n)."""
    rows, kind = table(name), name.split("_")[1]
    ok = True
    for k in range(n):
        pip = (1024 * k + n // 2) // n
        value = {lane: digest_value(f"{name}/{lane}/{k}") for lane in "xyrz"}
        t = 2 * math.pi * pip / 1024
        expected = {
            "drift": (0.7 * value["x"], 0.7 * value["y"], 0.0),
            "orbit": ((0.6 + 0.2 * value["x"]) * math.cos(t), (0.6 + 0.2 * value["y"]) * math.sin(t), 0.0),
            "ripple": ((0.7 + 0.18 * value["r"]) * math.cos(t), (0.7 + 0.18 * value["r"]) * math.sin(t), 0.0),
            "depth": ((0.55 + 0.15 * value["r"]) * math.cos(t), (0.55 + 0.15 * value["r"]) * math.sin(t),
                      0.7 * value["z"]),
        }[kind]
        ok &= tuple(rows[pip]) == tuple(float(f"{c:.12f}") + 0.0 for c in expected)
    return ok


@pytest.mark.parametrize("name", family("noise_"))
def test_noise_passes_through_its_digest_points(name):
    n = int(name.rsplit("_", 1)[1])
    assert through_points(name, n)
    assert not through_points(name, n - 1) and not through_points(name, n + 1)  # the name's count, and no other


@pytest.mark.parametrize("name", [n for n in family("noise_") if "drift" not in n])
def test_orbits_ripples_and_depths_go_round_once(name):
    x, y, _ = table(name).T
    angle = np.arctan2(y, x)
    turn = (np.roll(angle, -1) - angle + np.pi) % (2 * np.pi) - np.pi  # from each pip to the next, the seam included
    assert (turn > 0).all() and abs(turn.sum() - 2 * np.pi) < 1e-9
    if "ripple" in name:
        assert len(maxima(np.hypot(x, y))) == int(name.rsplit("_", 1)[1])  # one crest of the radius per point


# ease_ and akwf_ -----------------------------------------------------------------------------------

def bounce(t):
    b1, b2, b3, b4, b5, b6, b7, b8, b9 = 4 / 11, 6 / 11, 8 / 11, 3 / 4, 9 / 11, 10 / 11, 15 / 16, 21 / 22, 63 / 64
    b0 = 1 / b1 / b1
    return (b0 * t * t if t < b1 else b0 * (t - b2) ** 2 + b4 if t < b3 else b0 * (t - b5) ** 2 + b7 if t < b6
            else b0 * (t - b8) ** 2 + b9)


S = 1.70158


def back_in(t):
    return t * t * ((S + 1) * t - S)


def back_out(t):
    return 1 - back_in(1 - t)


def test_rebound_runs_out_and_back_along_its_published_curve():
    x = lane("ease_rebound")
    for i in range(256):
        assert abs(x[i] - (-0.8 + 1.6 * bounce(min(i, 256 - i) / 128))) <= 1.0000001e-12, i
    assert x[1] == x[-1] and abs(x[1] - x[0]) < 1e-3  # the seam turns at rest
    assert np.abs(x).max() == pytest.approx(0.8, abs=1e-4)


def moves(x):
    """(first pip, pips) of each move between two stretches held still, in loop order."""
    still = np.roll(x, -1) == x
    starts = np.flatnonzero(still & ~np.roll(still, -1)) + 1
    ends = np.flatnonzero(~still & np.roll(still, -1)) + 1  # the first pip of the next hold
    return [(int(a) % len(x), int((b - a) % len(x))) for a, b in zip(starts, ends[np.searchsorted(ends, starts) % len(ends)])]


BACK = {  # name: (the published curve, what each move does near its ends)
    "ease_anticipate": (back_in, "winds up first"),
    "ease_overshoot": (back_out, "passes and settles"),
}


@pytest.mark.parametrize("name", BACK)
def test_back_easings_play_their_published_curve_for_each_move(name):
    curve, _ = BACK[name]
    x = lane(name)
    found = moves(x)
    assert len(found) == 2
    for start, pips in found:
        a, b = x[start], x[(start + pips) % 256]
        assert a == -b and abs(a) == 0.8
        for k in range(pips):
            assert abs(x[(start + k) % 256] - (a + (b - a) * curve(k / pips))) <= 1.0000001e-12
    assert np.abs(x).max() == pytest.approx(0.96, abs=1e-4)


@pytest.mark.parametrize("name", BACK)
def test_anticipate_winds_up_before_each_move_and_overshoot_settles_after(name):
    x = lane(name)
    for start, pips in moves(x):
        a, b = x[start], x[(start + pips) % 256]
        seen = (x[(start + np.arange(pips)) % 256] - a) * np.sign(b - a)  # progress towards the target
        first, last = seen[: pips // 3], seen[-pips // 3:] - abs(b - a)
        if name == "ease_anticipate":  # back away first, then strike the target still moving fast
            assert first.min() < -0.1 and last.max() <= 1e-12
            assert abs(x[(start + pips - 1) % 256] - b) > 0.1
        else:  # leave fast, go past the target, and come back to rest on it
            assert first.min() >= 0 and last.max() > 0.1
            assert abs(x[(start + 1) % 256] - a) > 0.05 and abs(x[(start + pips - 1) % 256] - b) < 1e-3


def test_anticipate_and_overshoot_are_not_one_motion_turned_round():
    a, o = lane("ease_anticipate"), lane("ease_overshoot")
    # Against every copy of the other played backwards or not, negated or not, and started at any
    # pip (so every mirror and the half-loop shift among them).
    copies = [np.roll(sign * v, shift) for v in (o, o[::-1]) for sign in (1, -1) for shift in range(256)]
    assert min(np.sqrt(np.mean((a - c) ** 2)) for c in copies) >= 0.1


def test_elastic_swings_decay_inside_a_window_to_a_peak_of_point_eight():
    x = lane("ease_elastic")
    swings = [abs(x[i]) for i in turns(x)]
    big = int(np.argmax(swings))
    assert np.abs(x).max() == 0.8 and x[0] == 0.0 and abs(x[1]) < 1e-3 and np.abs(x[-16:]).max() < 0.01
    assert len(swings) >= 9 and all(a > b for a, b in zip(swings[big:], swings[big + 1:])) and big <= 2
    assert all(x[i] * x[j] < 0 for i, j in zip(turns(x), turns(x)[1:]))  # each swing crosses to the other side


AKWF = {name: INFO[name]["description"].split(":")[0] for name in family("akwf_")}


@pytest.mark.parametrize("name", AKWF)
def test_akwf_tables_are_their_data_files_scaled_to_point_seven(name):
    samples = [int(line) for line in (DATA / f"{AKWF[name]}.txt").read_text().split()]
    unit = [s / 32768 for s in samples]
    k = 0.7 / max(map(abs, unit))
    assert len(samples) == 256 and lane(name).tolist() == [float(f"{u * k:.12f}") + 0.0 for u in unit]


@pytest.mark.parametrize("prefix", ["env_", "seq_", "noise_", "ease_", "akwf_"])
def test_only_the_waves_peak_at_point_eight_two(prefix):
    assert all(np.abs(table(n)).max() != 0.82 for n in family(prefix))
