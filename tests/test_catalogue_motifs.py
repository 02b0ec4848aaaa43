"""packet_, canon_, echo_, ladder_ and necklace_: every member's score read back
from its table, through the module, and held to the words of its name."""
from fractions import Fraction

import numpy as np
import pytest

from tables import INFO, maxima, rms_distance, table

BEAT = 64
HALF = 256
FAMILIES = ["packet_", "canon_", "echo_", "ladder_", "necklace_"]


def family(prefix):
    return [n for n in INFO if n.startswith(prefix)]


def hits(v, floor=0.02):
    """(pip, height) of every peak of v above floor around the loop; the pip is
    refined between samples by a parabola through the top three samples."""
    found = []
    for i in maxima(v, floor):
        a, b, c = v[i - 1], v[i], v[(i + 1) % len(v)]
        shift = 0.5 * (a - c) / (a - 2 * b + c)
        found.append(((i + shift) % len(v), b - 0.25 * (a - c) * shift))
    return found


def signed_hits(v, floor=0.02):
    """(pip, signed height) of every hit either way along one axis."""
    return [(p, h * np.sign(v[round(p) % len(v)])) for p, h in hits(np.abs(v), floor)]


def in_beats(pips):
    """An interval as an exact fraction of a beat (twelfths at the finest), or fail."""
    f = Fraction(pips / BEAT).limit_denominator(12)
    assert abs(float(f) * BEAT - pips) < 0.05, pips
    return f


def active_runs(rows):
    """(start, stop) of every stretch of rows where anything moves, none wrapping the seam."""
    moving = np.abs(rows).max(axis=1) > 0
    assert not moving[0] and not moving[-1]
    edges = np.flatnonzero(np.diff(moving.astype(int)))
    return list(zip(edges[::2] + 1, edges[1::2] + 1))


@pytest.mark.parametrize("name", [n for f in FAMILIES for n in family(f)])
def test_peaks_keep_headroom_off_the_geometric_level(name):
    peak = np.abs(table(name)).max()
    assert 0.5 <= peak <= 0.95 and peak != 0.82


@pytest.mark.parametrize("prefix", FAMILIES)
def test_siblings_stay_well_apart(prefix):
    names = family(prefix)
    assert len(names) == 16
    closest = min(rms_distance(table(a), table(b)) for i, a in enumerate(names) for b in names[i + 1:])
    assert closest >= 0.05


@pytest.mark.parametrize("name", family("packet_"))
def test_packets_count_spacing_and_side_motion(name):
    kind, n = name.split("_")[1], int(name.split("_")[2])
    rows = table(name)
    carrier = rows[:, 2] if kind == "depth" else rows[:, 1]
    runs = active_runs(rows)
    assert len(runs) == n
    centres, leans, ends, sizes, levels = [], [], [], [], []
    for start, stop in runs:
        assert stop - start < 512 / n, "packets are compact and rest between each other"
        wave, x = carrier[start:stop], rows[start:stop, 0]
        crests = [start + i for i in range(1, len(wave) - 1) if wave[i - 1] < wave[i] >= wave[i + 1]]
        assert 2 <= len(crests) <= 6, "a few cycles in each packet"
        # A crest peaks midway through the smooth window: the packet's time.
        middle = (start + stop - 1) / 2
        centres.append(min(crests, key=lambda c: abs(c - middle)))
        assert abs(centres[-1] - middle) <= 0.5
        half = len(x) // 2
        leans.append(x.mean())
        ends.append(np.sign(x[-half:].sum()))
        if kind == "crossing":
            assert np.sign(x[:half].sum()) == -ends[-1], "sweeps from one side to the other"
            assert x[half - 1] * x[half + 1] < 0, "through the centre at the packet's time"
        sizes.append(np.ptp(wave))
        levels.append(wave.mean())
    # Evenly spread: each on the pip nearest its share of the loop.
    assert np.ptp(np.array(centres) - np.arange(n) * 512 / n) <= 1.0
    if kind == "cascading":
        assert all(np.diff(leans) < 0), "steps across"
        assert all(np.diff(sizes) < 0) and all(np.diff(levels) < 0), "each smaller and lower"
    else:
        # The side a packet leans to (or ends on, crossing) alternates.
        assert ends == [(-1.0) ** j for j in range(n)]
    if kind == "depth":
        assert (rows[:, 1] >= 0).all() and np.ptp(rows[:, 1]) > 0.1


def wobble(wave):
    """Pips a cycle of one packet's carrier: the peak of its spectrum, found finely by zero-padding,
    above the lobe (up to two cycles a window) that a window-shaped lift alone would fill."""
    power = np.abs(np.fft.rfft(wave, 64 * len(wave)))
    cycles = np.fft.rfftfreq(64 * len(wave))
    above = cycles > 2 / len(wave)
    return 1 / cycles[above][np.argmax(power[above])]


def test_packets_are_the_same_whatever_their_count():
    """More packets of one kind are more of the same packet: as long, and wobbling at the same rate."""
    for kind in ("alternating", "cascading", "crossing", "depth"):
        lengths, cycles = [], []
        for n in (2, 3, 4, 5):
            rows = table(f"packet_{kind}_{n}")
            carrier = rows[:, 2] if kind == "depth" else rows[:, 1]
            for start, stop in active_runs(rows):
                lengths.append(stop - start)
                cycles.append(wobble(carrier[start:stop]))
        assert np.ptp(lengths) <= 1 and np.ptp(cycles) < 1.0, (kind, lengths, cycles)


def canon_voices(rows):
    """Statement (x) and answer (z) hits of each half, as (pip from the half's start, signed height)."""
    halves = []
    for start in (0, HALF):
        lane = lambda axis: [(p - start, h) for p, h in signed_hits(rows[:, axis]) if start <= p < start + HALF]
        halves.append((lane(0), lane(2)))
    return halves


@pytest.mark.parametrize("number", range(1, 9))
def test_canon_answers_close_or_late_and_alters_the_second_half(number):
    delays, alterations, statements = {}, set(), []
    for word in ("close", "late"):
        (said, answered), (said_again, altered) = canon_voices(table(f"canon_{number:02d}_{word}"))
        times, signs = [p for p, _ in said], [np.sign(h) for _, h in said]
        assert times[0] == pytest.approx(0, abs=0.05) and len(said) >= 4
        assert signs == [(-1.0) ** k for k in range(len(said))], "statement alternates sides"
        assert abs(said[0][1]) > max(abs(h) for _, h in said[1:]), "first hit is the accent"
        onsets = [in_beats(t) for t in times]
        assert any(f.denominator > 2 for f in onsets), "rational, not just eighths"
        assert np.allclose(said_again, said, atol=0.01), "restated in the second half"
        statements.append(onsets)
        # The first answer is the statement moved to depth, one delay later.
        delay = in_beats(answered[0][0])
        assert [p for p, _ in answered] == pytest.approx([t + float(delay) * BEAT for t in times], abs=0.05)
        assert [np.sign(h) for _, h in answered] == signs
        delays[word] = delay
        first, later = np.array([p for p, _ in answered]), np.array([p for p, _ in altered])
        same_count = len(later) == len(first)
        kinds = {k for k, holds in {
            "inverted": same_count and np.allclose(later, first, atol=0.05)
            and [np.sign(h) for _, h in altered] == [-s for s in signs],
            "augmented": same_count and np.allclose(later - first[0], 2 * (first - first[0]), atol=0.05),
            "dropped": len(later) == len(first) - 1 and np.isclose(later[:, None], first, atol=0.05).any(1).all(),
        }.items() if holds}
        assert len(kinds) == 1, kinds
        alterations |= kinds
    assert delays["close"] < 1 < delays["late"]
    assert len(alterations) == 1 and statements[0] == statements[1]


ECHO_GAPS = {"regular": lambda g: len(set(g)) == 1, "crossed": lambda g: len(set(g)) == 1,
             "shrinking": lambda g: all(a > b for a, b in zip(g, g[1:])),
             "expanding": lambda g: all(a < b for a, b in zip(g, g[1:]))}


@pytest.mark.parametrize("name", family("echo_"))
def test_echo_counts_spacing_decay_and_answer_direction(name):
    spacing, n = name.split("_")[1], int(name.split("_")[2])
    rows = table(name)
    strength = np.linalg.norm(rows, axis=1)
    found = hits(strength)
    phrases = [[h for h in found if start <= h[0] < start + HALF] for start in (0, HALF)]
    directions = []
    for start, phrase in zip((0, HALF), phrases):
        assert len(phrase) == n + 1, "a call and n echoes"
        assert phrase[0][0] == pytest.approx(start, abs=0.05)
        gaps = [in_beats(b[0] - a[0]) for a, b in zip(phrase, phrase[1:])]
        assert ECHO_GAPS[spacing](gaps), gaps
        ratios = [b[1] / a[1] for a, b in zip(phrase, phrase[1:])]
        assert max(ratios) < 1 and np.ptp(ratios) < 2e-3, "each echo fades by the same fraction"
        heads = [rows[round(p) % 512] / np.linalg.norm(rows[round(p) % 512]) for p, _ in phrase]
        sides = [np.sign(h[0]) for h in heads]
        if spacing == "crossed":
            assert sides == [sides[0] * (-1) ** k for k in range(n + 1)]
        else:
            assert np.allclose(heads, heads[0], atol=0.02), "echoes keep the call's direction"
        directions.append(heads[0])
        if start == 0:
            call_gaps = gaps
    assert gaps == call_gaps, "the answer keeps the call's spacing"
    assert directions[0] @ directions[1] < 0.5, "the answer goes another way"


@pytest.mark.parametrize("name", family("ladder_"))
def test_ladder_regions_read_back_their_densities(name):
    densities = [int(q) for q in name.split("_")[1:]]
    rows = table(name)
    notes = [(i, rows[i, 0]) for i in maxima(np.abs(rows[:, 0]))]
    for r, q in enumerate(densities):
        region = [(p - 128 * r, h) for p, h in notes if 128 * r <= p < 128 * (r + 1)]
        assert len(region) == 2 * q
        # Equal spacing, each peak on the pip nearest its exact onset.
        assert all(abs(p - k * BEAT / q) <= 0.5 for k, (p, _) in enumerate(region))
        assert [np.sign(h) for _, h in region] == [(-1.0) ** k for k in range(2 * q)]
        assert region[0][0] == 0 and abs(region[0][1]) > 1.3 * max(abs(h) for _, h in region[1:])
    assert maxima(-rows[:, 1]) == [0, 128, 256, 384], "a dip in y marks each region start"


def necklace_word(rows):
    return "".join("1" if rows[32 * k, 0] > 0 else "0" for k in range(16))


@pytest.mark.parametrize("name", family("necklace_"))
def test_necklace_word_its_complement_and_rising_depth(name):
    rows = table(name)
    word = necklace_word(rows)
    assert 0 < word.count("1") < 16
    # One hit a cell, on the cell's first pip: ones one side, zeros the other.
    assert maxima(np.abs(rows[:, 0])) == [32 * k for k in range(16)]
    ones = np.abs(rows[[32 * k for k in range(16) if word[k] == "1"], 0])
    zeros = np.abs(rows[[32 * k for k in range(16) if word[k] == "0"], 0])
    assert ones.min() > 1.3 * zeros.max(), "accents are stronger than their complement"
    rising = [32 * k for k in range(16) if word[k] == "1" and word[k - 1] == "0"]
    assert maxima(rows[:, 2]) == rising and (rows[:, 2] >= 0).all()


def test_necklace_words_are_sixteen_different_necklaces():
    words = [necklace_word(table(n)) for n in family("necklace_")]
    rotations = {min(w[k:] + w[:k] for k in range(16)) for w in words}
    assert len(rotations) == 16
