"""accent_, triplet_, dialogue_ and burst_: the scores their names and words describe, read back from the tables."""
import itertools

import numpy as np
import pytest

from tables import INFO, maxima, table

CELL = 64 / 3


def stills(rows):
    """Lengths of the runs of rows where the point rests exactly at the centre."""
    rest = np.all(rows == 0, axis=1)
    return [len(list(run)) for still, run in itertools.groupby(rest) if still] or [0]


def names(prefix):
    return [n for n in INFO if n.startswith(prefix)]


def numbers(name):
    return [int(p) for p in name.split("_") if p.isdigit()]


@pytest.mark.parametrize("name", names("accent_walk_"))
def test_accent_walk_keeps_its_grid_while_the_motif_moves_on(name):
    n, m = numbers(name)
    x, y, z = table(name).T
    spacing = 256 / n
    taps = maxima(-y, 0.05)
    expected = [bar * 256 + k * spacing for bar in range(4) for k in range(n)]
    assert len(taps) == 4 * n and np.abs(np.array(taps) - np.round(expected)).max() <= 0.5
    leads, answers = maxima(x, 0.3), maxima(-x, 0.3)
    assert [p // 256 for p in leads] == [0, 1, 2, 3] and [p // 256 for p in answers] == [0, 1, 2, 3]
    lead_cells = [round((p % 256) / spacing) for p in leads]
    answer_cells = [round((p % 256) / spacing) for p in answers]
    assert all((b - a) % n == m for a, b in itertools.pairwise(lead_cells))
    assert len({(a - l) % n for l, a in zip(lead_cells, answer_cells)}) == 1  # the motif keeps its shape
    assert (z[leads] > 0).all() and (z[answers] < 0).all()


def hit_cells(x, half):
    """Triplet cells of the lateral hits in one half of the loop, checking each lands on the grid."""
    peaks = sorted(maxima(x, 0.2) + maxima(-x, 0.2))
    cells = [round(p / CELL) for p in peaks]
    assert all(abs(p - c * CELL) <= 0.5 for p, c in zip(peaks, cells))
    signs = [np.sign(x[p]) for p in peaks]
    assert all(a == -b for a, b in itertools.pairwise(signs))  # sides alternate
    return {c - 12 * half for c in cells if c // 12 == half}


@pytest.mark.parametrize("number", range(1, 9))
def test_triplet_gaps_answer_off_grid_or_rotate(number):
    x, _, z = table(f"triplet_{number:02d}_answer").T
    word = hit_cells(x, 0)
    assert word == hit_cells(x, 1) and 3 <= 12 - len(word) <= 5
    gaps = [c + 12 * half for half in (0, 1) for c in range(12) if c not in word]
    answers = maxima(z, 0.2)
    assert len(answers) == len(gaps)
    assert all(abs(p - (c + 0.5) * CELL) <= 0.5 for p, c in zip(answers, gaps))  # halfway between cells
    x, _, z = table(f"triplet_{number:02d}_turnaround").T
    first, second = hit_cells(x, 0), hit_cells(x, 1)
    assert first == word and second != first
    turns = [r for r in range(1, 12) if {(c + r) % 12 for c in first} == second]
    assert len(turns) == 1
    hits = [round(c * CELL) for c in first]
    assert (z[hits] == 0).all() and (z[[round((c + 12) * CELL) for c in second]] < -0.2).all()


@pytest.mark.parametrize("name", names("dialogue_"))
def test_dialogue_groups_change_direction_with_late_pickups(name):
    groups = numbers(name)
    rows = table(name)
    starts = list(itertools.accumulate([0] + [32 * g for g in groups[:-1]]))
    reach = np.hypot(rows[:, 0], rows[:, 1])
    assert maxima(reach, 0.45) == starts
    heads = [np.arctan2(rows[s, 1], rows[s, 0]) for s in starts]
    assert all(abs(np.angle(np.exp(1j * (b - a)))) > 1.0 for a, b in itertools.pairwise(heads + heads[:1]))
    ends = starts[1:] + [len(rows)]
    pickups = maxima(rows[:, 2], 0.2)
    assert len(pickups) == len(groups) and all(0 < e - p < 16 for p, e in zip(pickups, ends))


@pytest.mark.parametrize("name", names("burst_"))
def test_burst_subdivisions_gaps_and_late_settle(name):
    rows = table(name)
    for start, count in zip((0, 160, 320), numbers(name)):
        span = rows[start:start + 96]
        heading = rows[start] / np.linalg.norm(rows[start])
        along = span @ heading
        notes = [i for i in range(1, 95) if along[i] > 0.05 and along[i] > along[i - 1] and along[i] >= along[i + 1]]
        assert len(notes) + 1 == count  # the first note sits on the burst's first pip
        if start < 320:  # half a beat of stillness before the next burst's first note comes in
            assert max(length for length in stills(rows[start + 96:start + 160])) >= 24
    settle = maxima(-rows[:, 1], 0.2)
    assert settle[-1] > 400 and rows[settle[-1], 1] < -0.35
