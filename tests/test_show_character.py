"""A motion's character: figures on motions whose values are known, the words, the families, the thresholds."""
import math

import pytest

import trovelin
from trovelin_show import character as ch
from trovelin_show.families import FAMILIES, RUDIMENTS, YOURS


def rows(name):
    period = {d["name"]: d["period_pips"] for d in trovelin.catalogue()}[name]
    return ch.rows_of(name, period)


@pytest.fixture(scope="module")
def every():
    return ch.characters()


def test_circle_speed_and_extent_are_those_of_a_64_gon_per_beat():
    figures, shape = ch.measure(rows("circle"))
    # one turn a beat on the unit circle, sampled at 64 pips: 64 chords of 2 sin(pi / 64)
    assert figures.speed == pytest.approx(128 * math.sin(math.pi / 64), rel=1e-12)
    assert figures.extent == pytest.approx(1.0, abs=1e-12)
    assert figures.punch == pytest.approx(1.0, rel=1e-9)
    # every step turns by 2 pi / 64: the change of step is 2 sin(pi / 64) times the step
    assert figures.smoothness == pytest.approx(1 - math.sin(math.pi / 64), rel=1e-9)
    assert (figures.loop_beats, figures.axes, figures.turns_per_beat, figures.hits_per_beat, figures.rest_share) == (
        1.0, "xy", 0.0, 0.0, 0.0)
    assert shape.winding == 1 and shape.roundness_spread < 1e-9


@pytest.mark.parametrize("name, hits, turns, rest", [
    ("single_stroke_roll", 8, 8, 0.0),     # eight strokes of 8 pips, each out and back at its peak
    ("bounce", 2, 2, 0.0),                 # a triangle: it turns at full speed at both ends
    ("sway", 0, 1, 0.0),                   # a sine turns too, but gently
    ("flam", 4, 6, 26 / 64),               # grace and primary both strike; silence between the pairs
])
def test_hits_and_turns_of_rudiments(name, hits, turns, rest):
    figures, _ = ch.measure(rows(name))
    assert (figures.hits_per_beat, figures.turns_per_beat) == (hits, turns)
    assert figures.rest_share == pytest.approx(rest)


def test_bounce_rows_give_the_triangle_figures():
    figures, _ = ch.measure(rows("bounce"))
    assert figures.speed == 4.0 and figures.punch == 1.0 and figures.smoothness == 0.0 and figures.axes == "x"


def test_a_still_pattern_is_still_and_nothing_else():
    c = ch.character_of("hold", "Stays put", YOURS, [(0.25, -0.5, 0.0)] * 96)
    f = c.figures
    assert (f.axes, f.extent, f.speed, f.punch, f.hits_per_beat, f.turns_per_beat, f.rest_share) == (
        "", 0.0, 0.0, 0.0, 0.0, 0.0, 1.0)
    assert dict(c.words) == {"still": 1.0}


def test_a_jump_at_the_seam_is_measured():
    ramp = [(i / 32 - 1, 0.0, 0.0) for i in range(64)]   # rises evenly, then jumps back from 31/32 to -1
    f, _ = ch.measure(ramp)
    assert f.speed == pytest.approx(2 * 63 / 32)
    assert f.punch == pytest.approx((63 / 32) / (2 * 63 / 32 / 64))
    # it turns sharply into the jump and out of it; the jump's change of step is half its whole scale
    assert f.hits_per_beat == 2 and f.smoothness == pytest.approx(1 - 2 / (2 * 63 / 32))


def test_the_written_thresholds_are_the_catalogues_spread(every):
    spread = ch.catalogue_quantiles([c for c in every])
    assert set(spread) == set(ch.THRESHOLDS)
    for key, value in ch.THRESHOLDS.items():
        assert value == pytest.approx(spread[key], abs=5e-4), key


def test_every_motion_has_figures_words_and_a_described_family(every):
    assert len(every) == len(trovelin.catalogue())
    for c in every:
        assert c.words, c.name
        assert set(c.words) <= set(ch.WORDS), c.name
        assert all(0 < s <= 1 for s in c.words.values()), c.name
        assert sum(w in c.words for w in ("1-D", "planar", "3-D")) == 1, c.name
        assert FAMILIES.get(c.family), c.family
    assert {c.family for c in every if c.name in ("circle", "flam")} == {RUDIMENTS}


# words a person searches for, and motions any person would accept among the first found
@pytest.mark.parametrize("words, expected", [
    (("circle",), {"circle"}),
    (("orbit",), {"circle", "helix", "path_orbit_dwell"}),
    (("figure eight",), {"figure_eight"}),
    (("bounce",), {"bounce", "beat_four_floor_bounce"}),
    (("slow", "sweep"), {"wave_pinched", "wave_shouldered"}),
    (("wave",), {"lfo_breathe", "wave_folded"}),
    (("hit", "fast"), {"single_stroke_roll"}),
])
def test_words_find_the_motions_a_person_would_accept(every, words, expected):
    top = {c.name for c in ch.matching(every, *words)[:6]}
    assert expected <= top, (words, top)


@pytest.mark.parametrize("word, never", [
    ("slow", "single_stroke_roll"), ("fast", "lfo_breathe"), ("smooth", "bounce"), ("hit", "circle"),
    ("circle", "figure_eight"), ("figure eight", "circle"), ("sweep", "circle"), ("punchy", "lfo_breathe"),
    ("still", "circle"), ("shake", "lfo_breathe"), ("orbit", "sway"),
])
def test_words_avoid_motions_they_do_not_fit(every, word, never):
    assert word not in next(c for c in every if c.name == never).words


def test_own_patterns_are_measured_after_the_defaults():
    ramp = trovelin.SampledPattern("my_ramp", "A ramp of mine", [(i / 48 - 1, 0.0, 0.0) for i in range(96)])
    found = ch.characters(trovelin.PatternLibrary([ramp]))
    mine = found[-1]
    assert (mine.name, mine.family, mine.period_pips, mine.figures.axes) == ("my_ramp", YOURS, 96, "x")
    assert mine.figures.loop_beats == 1.5 and "1-D" in mine.words
