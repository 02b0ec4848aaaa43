"""The authored lfo_ shapes: each table shows what its description claims."""
import itertools
import math

import pytest

import trovelin
from tables import maxima, runs

INFO = {d["name"]: d for d in trovelin.catalogue() if d["name"].startswith("lfo_")}
AUTHORED = ["lfo_surge", "lfo_soft_gate", "lfo_double_pump", "lfo_ratchet", "lfo_glide_stair", "lfo_morph",
            "lfo_twin_swell", "lfo_pulse_hold", "lfo_sweep_ratchet", "lfo_seeded_drift", "lfo_pendulum_dwell",
            "lfo_reverse_swell"]


def rows(name):
    return [trovelin.sample(name, p).as_tuple() for p in range(INFO[name]["period_pips"])]


def lanes(name):
    return tuple(zip(*rows(name)))


@pytest.mark.parametrize("name", AUTHORED)
def test_closed_smooth_loop_on_its_own_axes(name):
    r, dims = rows(name), INFO[name]["dimensions"]
    n = len(r)
    moving = [1] if name == "lfo_double_pump" else range(dims)
    for a, values in enumerate(zip(*r)):
        assert max(values) - min(values) > 0.2 if a in moving else all(str(v) == "0.0" for v in values)
    assert 0.78 <= max(abs(c) for p in r for c in p) <= 0.82
    steps = [max(abs(r[(i + 1) % n][a] - r[i][a]) for a in range(3)) for i in range(n)]
    # No corners, the seam included: from one pip to the next the slope changes by
    # less than a third of the fastest step (a corner changes it by a whole step).
    bend = [max(abs(r[(i + 1) % n][a] - 2 * r[i][a] + r[i - 1][a]) for a in range(3)) for i in range(n)]
    assert max(steps) < 0.16 and max(bend) < max(steps) / 3


def test_no_two_lfo_shapes_alike():
    for a, b in itertools.combinations(INFO, 2):
        if INFO[a]["period_pips"] == INFO[b]["period_pips"]:
            pairs = list(zip(rows(a), rows(b)))
            assert sum(math.dist(p, q) ** 2 for p, q in pairs) / len(pairs) > 0.15 ** 2, (a, b)


def test_surge_and_reverse_swell_rise_long_and_return_short():
    x = lanes("lfo_surge")[0]
    low, high = x.index(min(x)), x.index(max(x))
    assert high - low >= 2.5 * (256 - high + low) and list(x[low:high + 1]) == sorted(x[low:high + 1])
    assert x[low + (high - low) // 3] - x[low] > 0.4 * (x[high] - x[low])  # a surge: quick to get going
    x = lanes("lfo_reverse_swell")[0]
    crest = x.index(max(x))
    start = max(i for i in range(crest) if x[i] < 0.01)
    back = next(i for i in range(crest, 512) if x[i] < 0.01)
    assert crest - start >= 4 * (back - crest) and x[crest // 2] < 0.1 * x[crest]  # anticipation: slow start
    shocks = [i for i in maxima(x) if i > back]
    assert len(shocks) == 2 and x[crest] / 2 > x[shocks[0]] > x[shocks[1]]


def test_gate_and_hold_dwell_exactly_still_between_eased_moves():
    x = lanes("lfo_soft_gate")[0]
    assert sorted(v for _, v in runs(x, 96)) == [min(x), max(x)] and max(x) - min(x) > 1.5
    moving = [i for i in range(256) if x[(i + 1) % 256] != x[i]]
    assert len(moving) <= 48 and all(abs(x[i + 1] - x[i]) < 0.01 for i in moving if x[i - 1] == x[i])
    x = lanes("lfo_pulse_hold")[0]
    (plateau, top), (rest, still) = runs(x, 48)
    assert (top, still) == (max(x), 0.0) and plateau < x.index(min(x)) < rest and -0.6 * top < min(x) < -0.1


def test_double_pump_two_unequal_dips_then_space():
    y = lanes("lfo_double_pump")[1]
    dips = sorted((-y[i] for i in maxima([-v for v in y])), reverse=True)
    assert len(dips) == 2 and 0.4 < dips[1] / dips[0] < 0.8 and (128, 0.0) in runs(y, 96)


def test_ratchets_hit_on_their_onsets_and_decay():
    x, y, _ = lanes("lfo_ratchet")
    reach = [math.hypot(a, b) for a, b in zip(x, y)]
    assert maxima(reach) == [0, 32, 64, 96] and set(reach[112:240]) == {0.0}
    assert all(b < 0.8 * a for a, b in itertools.pairwise([reach[i] for i in (0, 32, 64, 96)]))
    x, y, _ = lanes("lfo_sweep_ratchet")
    top = x.index(max(x))
    assert top >= 256 and list(x[:top + 1]) == sorted(x[:top + 1]) and set(y[:top]) == {0.0}
    hits = maxima(y)
    assert len(hits) == 3 and y[hits[0]] > y[hits[1]] > y[hits[2]] and len({x[h] for h in hits}) == 3
    assert all(x[i] == x[h] for h in hits for i in range(h - 16, h + 16))  # vertical: x stands still


def test_glide_stair_five_rising_plateaus_then_one_return():
    x = lanes("lfo_glide_stair")[0]
    plateaus = runs(x, 12)
    levels = [v for _, v in plateaus]
    gaps = [b - a for a, b in itertools.pairwise(levels)]
    assert len(levels) == 5 and min(gaps) > 0 and max(gaps) - min(gaps) < 1e-9 and levels[-1] - levels[0] > 1.5
    leave = max(i for i in range(256) if x[i] == levels[-1])
    assert list(x[leave:]) + [x[0]] == sorted(x[leave:] + x[:1], reverse=True) and 256 - leave > 96


def test_morph_goes_from_even_sine_to_skewed_triangle():
    x = lanes("lfo_morph")[0]

    def rise_over_fall(start):
        low, high = (x.index(f(x[start:start + 128]), start) - start for f in (min, max))
        return ((high - low) % 128) / ((low - high) % 128)

    assert 0.8 < rise_over_fall(0) < 1.25 and rise_over_fall(256) > 1.6


def test_twin_swell_unequal_broad_swells_answered_sideways():
    x, y, _ = lanes("lfo_twin_swell")
    crests = maxima(y)
    assert len(crests) == 2 and 0.5 < y[crests[1]] / y[crests[0]] < 0.75
    assert all(sum(v > y[c] / 2 for v in y[c - 128:c + 128]) >= 96 for c in crests)
    assert max(map(abs, x)) < 0.5 * y[crests[0]] and crests[0] < x.index(max(x)) < crests[1] < x.index(min(x))


def test_seeded_drift_lanes_are_independent_smooth_and_seekable():
    x, y, _ = lanes("lfo_seeded_drift")
    mx, my = sum(x) / 1024, sum(y) / 1024
    cov = sum((a - mx) * (b - my) for a, b in zip(x, y))
    assert abs(cov) < 0.3 * math.sqrt(sum((a - mx) ** 2 for a in x) * sum((b - my) ** 2 for b in y))
    for v in (x, y):
        turns = sorted(maxima(v, -2) + maxima([-a for a in v], -2))
        gaps = [b - a for a, b in itertools.pairwise(turns)]
        assert len(turns) >= 6 and max(gaps) > 2 * min(gaps)  # irregular
    for pip in (-1, -700, 5000, 2**31 - 1):
        assert trovelin.sample("lfo_seeded_drift", pip).as_tuple() == (x[pip % 1024], y[pip % 1024], 0.0)


def test_pendulum_dwell_lingers_at_turns_on_a_shallow_arc():
    x, y, _ = lanes("lfo_pendulum_dwell")
    peak = max(map(abs, x))
    speed = [abs(x[(i + 1) % 512] - x[i]) for i in range(512)]
    outer = [s for s, v in zip(speed, x) if abs(v) > 0.9 * peak]
    middle = [s for s, v in zip(speed, x) if abs(v) < 0.3 * peak]
    assert max(outer) < min(middle) / 3  # a plain sine gives 0.46: saturation is what slows the turns
    turn_height = min(b for a, b in zip(x, y) if abs(a) == peak)
    assert 0.1 < turn_height - min(y) < 0.4 and abs(x[y.index(min(y))]) < 0.05
