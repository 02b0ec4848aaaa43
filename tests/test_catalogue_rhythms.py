"""Score-driven families (the authored rhythm_ members, rudiment_, groove_, swing_, stick_): the rhythm each
name and description states is read back from the tables: where the hits peak, on which side, how loud."""
import re
from fractions import Fraction as F

import numpy as np
import pytest

from tables import INFO, maxima, table

X, Y, Z = 0, 1, 2
PREFIXES = ("rhythm_", "rudiment_", "groove_", "swing_", "stick_")
AUTHORED = [n for n in INFO if n.startswith(PREFIXES) and n not in ("rhythm_euclid_3_8", "rhythm_euclid_5_12")]


def peaks(v, floor=0.02):
    """{pip: signed value} where a lane peaks away from rest, on either side."""
    v = np.asarray(v)
    return {i: float(v[i]) for i in sorted(maxima(v, floor) + maxima(-v, floor))}


def refine(v, i):
    """(sub-pip position, height) of the peak of |v| at pip i, from the parabola through it and its neighbours."""
    a, b, c = (abs(v[(i + k) % len(v)]) for k in (-1, 0, 1))
    bend = a - 2 * b + c
    return i + 0.5 * (a - c) / bend, b - (a - c) ** 2 / (8 * bend)


def sign(v):
    return "+" if v > 0 else "-"


def alternating(n):
    return "+-" * (n // 2)


def even(k, span):
    return [F(span) * j / k for j in range(k)]


def swung(beats, p, q):
    return [64 * b + F(64 * p, q) for b in beats]


def check_onsets(v, onsets):
    """Every peak of the lane sits on one of the onsets, rounded to the pip, each within a hundredth of a pip."""
    found = peaks(v)
    assert list(found) == sorted(round(o) % len(v) for o in onsets)
    for o in onsets:
        assert refine(v, round(o) % len(v))[0] == pytest.approx(float(o), abs=0.01)
    return found


LANES = [  # name, axis, onsets (exact pips), sides in onset order (None: not claimed)
    ("rhythm_three_two", X, even(3, 256), None),
    ("rhythm_three_two", Y, even(2, 256), None),
    ("rhythm_five_four", X, even(10, 512), alternating(10)),
    ("rhythm_five_four", Y, even(8, 512), "-+" * 4),  # down on the first beat
    ("rhythm_seven_four", X, even(14, 512), alternating(14)),
    ("rhythm_seven_four", Y, even(8, 512), "-+" * 4),
    ("rhythm_swung_answer", X, sorted(even(4, 256) + swung(range(4), 2, 3)), "++++----"),
    ("rhythm_swung_answer", Y, sorted(even(4, 256) + swung(range(4), 2, 3)), "-+" * 4),
    ("rhythm_group_332", X, [32 * e for e in (0, 3, 6, 8, 11, 14)], alternating(6)),
    ("rhythm_group_332", Y, [32 * e for e in range(16)], "-" * 16),
    ("rhythm_group_223", X, [32 * e for e in (0, 2, 4, 7, 9, 11)], alternating(6)),
    ("rhythm_group_223", Y, [32 * e for e in range(14)], "-" * 14),
    ("rhythm_three_four_five", X, even(3, 512), None),
    ("rhythm_three_four_five", Y, even(4, 512), None),
    ("rhythm_three_four_five", Z, even(5, 512), None),
    ("rhythm_half_time", X, sorted([128] + swung(range(4), 2, 3)), "--+--"),
    ("rhythm_half_time", Y, sorted([0, 128] + swung(range(4), 2, 3)), "-++-++"),
]


@pytest.mark.parametrize("name, axis, onsets, sides", LANES)
def test_rhythm_lanes_peak_on_their_score(name, axis, onsets, sides):
    found = check_onsets(table(name)[:, axis], onsets)
    if sides:
        assert "".join(sign(v) for v in found.values()) == sides


@pytest.mark.parametrize("name, loud, quiet", [
    ("rhythm_half_time", [0, 128], swung(range(4), 2, 3)),
    ("rhythm_swung_answer", even(4, 256), swung(range(4), 2, 3)),
    ("rhythm_group_332", [32 * e for e in (0, 3, 6, 8, 11, 14)], [32 * e for e in (1, 2, 4, 5, 7, 9, 10, 12, 13, 15)]),
    ("rhythm_group_223", [32 * e for e in (0, 2, 4, 7, 9, 11)], [32 * e for e in (1, 3, 5, 6, 8, 10, 12, 13)]),
])
def test_accents_stand_above_the_quieter_notes(name, loud, quiet):
    size = np.linalg.norm(table(name), axis=1)
    assert min(size[round(p)] for p in loud) > 1.4 * max(size[round(p)] for p in quiet)
    if name == "rhythm_half_time":  # the downbeat hardest, the snare-like accent the widest swing
        assert np.argmax(np.abs(table(name)[:, Y])) == 0 and np.argmax(table(name)[:, X]) == 128


@pytest.mark.parametrize("k", [7, 5])
def test_sixteen_step_grids_spread_evenly_and_repeat_mirrored(k):
    rows = table(f"rhythm_euclid_{k}_16")
    hits = peaks(rows[:, X])
    assert all(p % 16 == 0 for p in hits) and len(hits) == 2 * k
    first = [p for p in hits if p < 256]
    assert [p + 256 for p in first] == [p for p in hits if p >= 256] and first[0] == 0
    gaps = np.diff(first + [256]) // 16
    assert set(gaps) <= {16 // k, -(-16 // k)}, gaps  # evenly: gaps differ by at most one step
    sides = "".join(sign(v) for v in hits.values())
    assert sides == alternating(2 * k) and sides[:k] != sides[k:]
    assert all(rows[p, Y] < 0 for p in hits)  # every onset dips as well


def sticking(name):
    return "".join(re.search(r"study ([RL]+) ([RL]+);", INFO[name]["description"]).groups())


@pytest.mark.parametrize("name", ["rudiment_double_paradiddle", "rudiment_paradiddle_diddle", "rudiment_six_stroke"])
def test_rudiment_studies_play_their_sticking_on_the_triplet_grid(name):
    word = sticking(name)
    found = check_onsets(table(name)[:, X], even(12, 256))
    assert "".join("R" if v > 0 else "L" for v in found.values()) == word


def test_flam_accents_lead_groups_of_three_with_opposite_hand_graces():
    x = table("rudiment_flam_accent")[:, X]
    found = peaks(x)
    for beat in range(4):
        at = 64 * beat
        lead = found[at]
        assert sign(lead) == "+-"[beat % 2] and abs(lead) == np.abs(x).max()
        grace = [(p, v) for p, v in found.items() if 0 < (at - p) % 256 < 16]
        assert len(grace) == 1 and grace[0][1] * lead < 0 and abs(grace[0][1]) < abs(lead) / 2
        taps = [found[round(at + F(64, 3) * k)] for k in (1, 2)]
        assert [sign(t) for t in taps] == [sign(-lead), sign(lead)] and max(map(abs, taps)) < abs(lead) / 1.5
    assert len(found) == 16


@pytest.mark.parametrize("excerpt", ["a", "b"])
def test_groove_grid_is_the_played_performance_quantised(excerpt):
    played, grid = (np.linalg.norm(table(f"groove_{excerpt}_{kind}"), axis=1) for kind in ("played", "grid"))
    on_grid, performed = peaks(grid), peaks(played)
    assert len(on_grid) == len(performed) >= 20
    assert all(p % 16 == 0 for p in on_grid) and all(p % 16 for p in performed)
    offsets = []
    for p in performed:
        q = min(on_grid, key=lambda g: abs((p - g + 256) % 512 - 256))
        offsets.append((p - q + 256) % 512 - 256)
        assert refine(played, p)[1] == pytest.approx(refine(grid, q)[1], rel=0.005)
    assert max(map(abs, offsets)) <= 4 and np.std(offsets) > 0.5  # small, and not one shift for every hit
    assert len(set(round(o) for o in offsets)) >= 4


SWING = [(score, p, q) for p, q in [(3, 5), (2, 3), (5, 7), (3, 4)] for score in ("push", "answer", "skip", "shuffle")]


@pytest.mark.parametrize("score, p, q", SWING)
def test_swing_offbeats_sit_at_the_named_fraction(score, p, q):
    rows = table(f"swing_{score}_{p}_{q}")
    offbeats = swung(range(8), p, q)
    seen = set()
    for axis in range(INFO[f"swing_{score}_{p}_{q}"]["dimensions"]):
        for pip in peaks(rows[:, axis]):
            assert pip % 64 == 0 or pip in [round(o) for o in offbeats], (axis, pip)
            if pip % 64:
                assert refine(rows[:, axis], pip)[0] == pytest.approx(float(offbeats[pip // 64]), abs=0.02)
                seen.add(pip // 64)
    assert seen == set(range(8))


@pytest.mark.parametrize("score", ["push", "answer", "skip", "shuffle"])
def test_swing_ratios_move_only_the_offbeats(score):
    tables = [table(f"swing_{score}_{p}_{q}") for p, q in [(3, 5), (2, 3), (5, 7), (3, 4)]]
    near_beats = [(64 * b + d) % 512 for b in range(8) for d in range(-9, 10)]
    for t in tables[1:]:
        assert np.array_equal(t[near_beats], tables[0][near_beats])
        assert np.abs(t - tables[0]).max() > 0.1


@pytest.mark.parametrize("n", range(1, 17))
def test_stick_study_answers_itself_with_hands_swapped(n):
    rows = table(f"stick_study_{n:02d}")
    np.testing.assert_allclose(rows[256:, X], -rows[:256, X], atol=2e-12)
    np.testing.assert_allclose(rows[256:, Y], rows[:256, Y], atol=2e-12)
    strokes = peaks(rows[:, X])
    spacing = 16 if all(p % 16 == 0 for p in strokes) else F(64, 3)
    assert all(round(round(p / spacing) * spacing) == p for p in strokes)
    assert len([p for p in strokes if p < 256]) >= 8
    accents = [p for p, v in strokes.items() if abs(v) > 0.6]
    taps = [p for p in strokes if p not in accents]
    assert 0 in accents and 2 <= len([p for p in accents if p < 256]) and taps
    assert max(abs(strokes[p]) for p in taps) < 0.6 * min(abs(strokes[p]) for p in accents)
    assert max(rows[p, Y] for p in accents) < 2 * min(rows[p, Y] for p in taps)  # accents dip deeper


@pytest.mark.parametrize("name", AUTHORED)
def test_peaks_keep_headroom_off_the_geometric_peak(name):
    top = np.abs(table(name)).max()
    assert top != 0.82 and 0.45 <= top <= 0.9
