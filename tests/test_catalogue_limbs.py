"""gesture_, arm_ and dwell_: what each table's words and parameters claim, read back from the table."""
import numpy as np
import pytest

from tables import INFO, maxima, steps, table

GESTURES = [n for n in INFO if n.startswith("gesture_")]
ARMS = [n for n in INFO if n.startswith("arm_")]
DWELLS = [n for n in INFO if n.startswith("dwell_")]


def test_families_are_complete():
    assert (len(GESTURES), len(ARMS), len(DWELLS)) == (16, 16, 16)


@pytest.mark.parametrize("name", GESTURES + ARMS + DWELLS)
def test_largest_coordinate_is_exactly_the_peak(name):
    assert np.abs(table(name)).max() == 0.82


# Gestures -------------------------------------------------------------------

def stops(rows, still=1e-3):
    """Where the point comes to rest, in loop order: the middle row of each run of pips moving less than `still`."""
    step = steps(rows)
    slow = (step < still) & (np.roll(step, 1) < still)
    moving = int(np.argmin(slow))
    groups, current = [], []
    for i in np.roll(np.arange(len(rows)), -moving):
        if slow[i]:
            current.append(i)
        elif current:
            groups, current = groups + [current], []
    groups += [current] if current else []
    return [rows[g[len(g) // 2]] for g in groups]


def cell(point, dims):
    """Coarse place of a point: left/centre/right, down/middle/up and, in 3-D, back/middle/front."""
    return "".join(("LCR", "DMU", "BMF")[a][int(np.digitize(point[a], [-0.3, 0.3]))] for a in range(dims))


def same_cycle(a, b):
    return len(a) == len(b) and any(a[k:] + a[:k] == b for k in range(len(a)))


def held(rows, at_least):
    """(first pip, pips held, point) of every stretch held exactly still for `at_least` pips or more, in loop order
    from pip 0 (a stretch through the seam counts once, from where it begins)."""
    n = len(rows)
    start = int(np.argmax(steps(rows) > 0)) + 1  # a pip just after a move: no stillness runs across the rotation
    rolled = np.roll(rows, -start, axis=0)
    firsts = np.flatnonzero(np.r_[True, (np.diff(rolled, axis=0) != 0).any(axis=1)])
    lengths = np.diff(np.r_[firsts, n])
    found = [((f + start) % n, int(k) - 1, rolled[f]) for f, k in zip(firsts, lengths) if k - 1 >= at_least]
    return sorted(found, key=lambda h: h[0])


def touches(rows, pips=8):
    """(first pip, point) of each touch: a stretch held exactly still for `pips` pips."""
    return [(pip, p) for pip, length, p in held(rows, pips) if length == pips]


STOPS = {  # where each gesture comes to rest, in loop order
    "gesture_side_reach": ["CM", "RM"],
    "gesture_cross_reach": ["RM", "LU"],
    "gesture_low_scoop": ["LM", "RU"],
    "gesture_high_arc": ["LD", "RD"],
    "gesture_corner_taps": ["LU", "CM", "RU", "CM", "LD", "CM", "RD", "CM"],  # back to the centre after each tap
    "gesture_diagonal_touch": ["CM", "LD", "RU"],
    "gesture_box_return": ["CM", "LU", "RU", "RD", "LD"],
    "gesture_zigzag_lift": ["CD", "RD", "LM", "RU", "LU"],
    "gesture_duck_sway": ["CM", "CD", "RM", "LM", "RM"],
    "gesture_push_pull": ["CMM", "CMF", "CMB"],
    "gesture_reach_depth": ["LDB", "RUF"],
    "gesture_bow_turn": ["CUM", "CDF", "CMF", "CMF"],  # a full turn leaves from and returns to the front
    "gesture_heel_toe": ["RD", "LD", "CM", "RD", "LD", "CM"],
    "gesture_hop_answer": ["LD", "LD", "RD", "RD"],  # each hop leaves from and lands at rest
    "gesture_spiral_reach": ["CMB", "CDF"],
    "gesture_diamond_depth": ["LMB", "CUM", "RMF", "CDM"],
}


@pytest.mark.parametrize("name", GESTURES)
def test_gesture_comes_to_rest_where_its_words_say(name):
    dims = INFO[name]["dimensions"]
    assert same_cycle([cell(p, dims) for p in stops(table(name))], STOPS[name])


@pytest.mark.parametrize("name, axis, sign", [
    ("gesture_side_reach", 0, 1), ("gesture_cross_reach", 0, -1), ("gesture_low_scoop", 1, -1),
    ("gesture_high_arc", 1, 1), ("gesture_push_pull", 2, 1), ("gesture_reach_depth", 2, 1),
    ("gesture_spiral_reach", 2, 1)])
def test_gesture_goes_furthest_the_way_it_is_named(name, axis, sign):
    assert (sign * table(name)[:, axis]).max() == 0.82


@pytest.mark.parametrize("name, crossings", [
    ("gesture_side_reach", 0), ("gesture_cross_reach", 2), ("gesture_duck_sway", 2), ("gesture_heel_toe", 4),
    ("gesture_hop_answer", 2)])
def test_gesture_crosses_the_body_line(name, crossings):
    side = np.sign(table(name)[:, 0])
    side = side[side != 0]
    assert int(np.sum(side != np.roll(side, 1))) == crossings


@pytest.mark.parametrize("name, expected", [
    ("gesture_corner_taps", [(0, "LU"), (128, "RU"), (256, "LD"), (384, "RD")]),
    ("gesture_heel_toe", [(0, "RD"), (64, "LD"), (256, "RD"), (304, "LD")]),
    ("gesture_diagonal_touch", [(192, "RU")])])
def test_touches_arrive_on_time_and_in_place(name, expected):
    found = [(pip, cell(p, 2)) for pip, p in touches(table(name))]
    assert found == expected
    if name == "gesture_corner_taps":  # a corner, not merely its quadrant
        assert all(np.allclose(np.abs(p[:2]), 0.82) for _, p in touches(table(name)))


def test_corner_taps_go_out_and_back_from_the_centre():
    rows = table("gesture_corner_taps")
    at = [pip for pip, _ in touches(rows)]
    assert len(at) == 4
    radius = np.hypot(rows[:, 0], rows[:, 1])
    for start, end in zip(at, at[1:] + [at[0] + len(rows)]):
        between = radius[np.arange(start + 8, end) % len(rows)]
        assert between.min() <= 0.45, "back towards the centre between two touches"
        # Out and back quickly: the hand spends most of the time between touches near the centre.
        assert np.mean(between < 0.45) > 0.5


@pytest.mark.parametrize("name, start, end, axes, about_start, turns", [
    ("gesture_bow_turn", 224, 384, (0, 2), False, 1), ("gesture_spiral_reach", 32, 288, (0, 1), True, 2)])
def test_turning_gestures_wind_round(name, start, end, axes, about_start, turns):
    rows = table(name)
    centre = rows[start, axes] if about_start else np.zeros(2)
    rel = rows[start + 1:end, axes] - centre
    angle = np.unwrap(np.arctan2(rel[:, 1], rel[:, 0]))
    assert abs(round((angle[-1] - angle[0]) / (2 * np.pi))) == turns
    assert np.all(np.diff(angle) * np.sign(angle[-1] - angle[0]) >= -1e-9), "winds one way only"
    if name == "gesture_spiral_reach":  # outwards, and forwards through depth
        radius = np.hypot(rel[:, 0], rel[:, 1])
        assert np.all(np.diff(radius) >= 0) and np.all(np.diff(rows[start:end + 1, 2]) >= 0)


@pytest.mark.parametrize("name, ratio", [
    ("gesture_push_pull", 3.0), ("gesture_reach_depth", 1.2), ("gesture_diamond_depth", 0.8)])
def test_depth_is_used_where_the_name_says_depth(name, ratio):
    span = np.ptp(table(name), axis=0)
    assert span[2] >= ratio * span[:2].max()


def test_depth_diamond_is_a_parallelogram_leaning_through_depth():
    v = stops(table("gesture_diamond_depth"))
    assert len(v) == 4 and np.allclose(v[0] + v[2], v[1] + v[3], atol=1e-9)
    lateral = [p for p in v if abs(p[0]) > 0.3]
    assert len(lateral) == 2 and all(p[0] * p[2] > 0.25 for p in lateral)


def test_hop_and_answer_peak_on_beats_on_either_side():
    rows = table("gesture_hop_answer")
    rise = rows[:, 1] - rows[0, 1]  # height above the rest at pip 0
    hop, answer = maxima(rise, floor=0.3)
    assert (hop, answer) == (64, 256)
    assert rise[hop] > 1.5 * rise[answer] and rows[hop, 0] < 0 < rows[answer, 0]


def test_zigzag_lift_rises_while_changing_sides():
    rows = table("gesture_zigzag_lift")
    v = stops(rows)
    low = int(np.argmin([p[1] for p in v]))
    climb = v[low:] + v[:low]
    assert all(b[1] > a[1] + 0.2 for a, b in zip(climb, climb[1:]))
    assert all(a[0] * b[0] < 0 for a, b in zip(climb[1:], climb[2:]))


# Arms -----------------------------------------------------------------------

# rho: elbow link against shoulder link; the elbow's bend range (radians) and
# swings per loop; the shoulder's whole turns and swings per loop (0: none);
# and for 3-D arms the yaw of the links' plane about the vertical, likewise.
ARM_DRIVES = {
    "arm_coupled_01": (0.8, (0.6, 1.8), 2, 0, 1, None),
    "arm_coupled_02": (0.5, (0.4, 1.4), 3, 1, 2, None),
    "arm_coupled_03": (1.0, (0.5, 2.7), 1, 0, 1, None),
    "arm_coupled_04": (0.6, (0.3, 1.7), 5, 2, 0, None),
    "arm_coupled_05": (1.3, (0.5, 2.3), 3, 0, 2, None),
    "arm_coupled_06": (0.4, (1.4, 2.6), 4, -1, 3, None),
    "arm_coupled_07": (0.9, (0.3, 1.9), 2, 0, 3, None),
    "arm_coupled_08": (0.7, (0.3, 2.7), 6, 1, 1, None),
    "arm_coupled_09": (0.8, (0.4, 1.6), 2, 0, 1, (1, 0)),
    "arm_coupled_10": (0.5, (0.5, 2.1), 3, 0, 2, (0, 1)),
    "arm_coupled_11": (1.1, (0.3, 1.5), 1, 0, 3, (2, 0)),
    "arm_coupled_12": (0.6, (0.4, 1.4), 4, 0, 1, (0, 2)),
    "arm_coupled_13": (0.9, (0.7, 2.5), 5, 0, 2, (-1, 0)),
    "arm_coupled_14": (0.4, (1.3, 2.3), 2, 0, 4, (0, 3)),
    "arm_coupled_15": (1.0, (0.5, 1.7), 3, 0, 1, (3, 0)),
    "arm_coupled_16": (0.7, (0.3, 1.9), 6, 0, 3, (0, 1)),
}


def turns_and_swing(angle):
    """Whole turns of an angle over the loop, and the frequency of what is left (0 if it is still)."""
    n = len(angle)
    a = np.unwrap(np.r_[angle, angle[0]])  # once round the loop, back to pip 0
    turns = round((a[-1] - a[0]) / (2 * np.pi))
    rest = a[:-1] - turns * 2 * np.pi * np.arange(n) / n
    # Smooth and periodic: no jump or corner anywhere, the seam included.
    assert np.abs(np.roll(rest, -1) - 2 * rest + np.roll(rest, 1)).max() < 5e-3
    spectrum = np.abs(np.fft.rfft(rest - rest.mean()))
    return turns, int(np.argmax(spectrum)) if spectrum.max() > 1e-6 * n else 0


@pytest.mark.parametrize("name", ARMS)
def test_arm_joint_angles_read_back_from_the_tip(name):
    rho, (bend_lo, bend_hi), bend_freq, shoulder_turns, shoulder_freq, yaw = ARM_DRIVES[name]
    rows = table(name)
    assert (INFO[name]["dimensions"] == 3) == (yaw is not None)
    reach = np.linalg.norm(rows, axis=1)  # the shoulder is at the origin
    # The tip is furthest when the elbow is least bent: that fixes the scaled link length.
    link = reach.max() / np.sqrt(1 + rho ** 2 + 2 * rho * np.cos(bend_lo))
    assert link * abs(1 - rho) <= reach.min() and reach.max() <= link * (1 + rho)
    bend = np.arccos((reach ** 2 / link ** 2 - 1 - rho ** 2) / (2 * rho))
    assert bend.max() == pytest.approx(bend_hi, abs=5e-3)
    assert turns_and_swing(bend)[:2] == (0, bend_freq)
    across = rows[:, 0] if yaw is None else np.hypot(rows[:, 0], rows[:, 2])
    if yaw is not None:
        assert across.min() > 0.05, "the links keep to one side of the vertical axis"
        assert turns_and_swing(np.arctan2(rows[:, 2], rows[:, 0]))[:2] == yaw
    shoulder = np.arctan2(rows[:, 1], across) - np.arctan2(rho * np.sin(bend), 1 + rho * np.cos(bend))
    assert turns_and_swing(shoulder)[:2] == (shoulder_turns, shoulder_freq)


# Dwells ---------------------------------------------------------------------

HOLDS = {  # eighth notes held at the first lift and at the second
    "dwell_phrase_01": (6, 3), "dwell_phrase_02": (2, 8), "dwell_phrase_03": (4, 2), "dwell_phrase_04": (8, 4),
    "dwell_phrase_05": (3, 6), "dwell_phrase_06": (5, 1), "dwell_phrase_07": (10, 4), "dwell_phrase_08": (2, 5),
    "dwell_phrase_09": (4, 7), "dwell_phrase_10": (6, 2), "dwell_phrase_11": (3, 4), "dwell_phrase_12": (7, 3),
    "dwell_phrase_13": (1, 6), "dwell_phrase_14": (5, 8), "dwell_phrase_15": (2, 3), "dwell_phrase_16": (8, 2),
}


def stillnesses(rows):
    """Every stretch held still for a sixteenth or more, in loop order from the rest at home (the lowest)."""
    found = held(rows, 16)
    home = int(np.argmin([p[1] for _, _, p in found]))
    return found[home:] + found[:home]


@pytest.mark.parametrize("name", DWELLS)
def test_dwell_holds_last_their_eighths_and_the_return_settles(name):
    rows = table(name)
    (home_at, rest, home), (first_at, first, p1), (second_at, second, p2) = stillnesses(rows)
    # Holds last exactly their stated eighths, begin on the eighth-note grid and differ.
    assert (first, second) == tuple(32 * n for n in HOLDS[name])
    assert home_at % 32 == first_at % 32 == second_at % 32 == rest % 32 == 0
    # Both are lifts from home, of unequal height, on opposite sides of the centre.
    lift1, lift2 = p1[1] - home[1], p2[1] - home[1]
    assert min(lift1, lift2) > 0.2 and abs(lift1 - lift2) > 0.1 and p1[0] * p2[0] < 0
    # The transfer between them sets down below both holds.
    between = np.roll(rows, -first_at, axis=0)[first:(second_at - first_at) % len(rows)]
    assert between[:, 1].min() < min(p1[1], p2[1]) - 0.1
    # The return, as a share of the way from home to the second hold: it overshoots home, swings back less
    # each time, and comes to rest exactly at home.
    back = np.roll(rows, -(second_at + second), axis=0)[:(home_at - second_at - second) % len(rows) + 1]
    share = (back - home) @ (p2 - home) / ((p2 - home) @ (p2 - home))
    turns = [i for i in range(1, len(share) - 1) if (share[i] - share[i - 1]) * (share[i + 1] - share[i]) < 0]
    swings = share[turns]
    assert share[0] == pytest.approx(1) and (back[-1] == home).all()
    assert len(swings) >= 2 and swings[0] < -0.05
    assert np.all(np.abs(swings[1:]) < np.abs(swings[:-1])) and np.all(swings[1:] * swings[:-1] < 0)
