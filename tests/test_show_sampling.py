"""Sampling between whole pips: exact at whole pips, within [-1, 1], hits kept sharp, no judder."""
import math

import pytest
import trovelin
from hypothesis import given, settings
from hypothesis import strategies as st

from trovelin_show.sampling import Sampler, Track
from trovelin_show.tempo import TempoMap

HIT = trovelin.SampledPattern("hit", "a one-pip jump up and back", [(-1.0, 0.0, 0.5)] * 10 + [(1.0, 1.0, -0.5)] * 6)
LIBRARY = trovelin.PatternLibrary([HIT])
MODES = ["smooth", "linear"]
SOURCES = [("figure_eight", None), ("helix", None), ("wave_rounded_square", None), ("circle", LIBRARY),
           ("hit", LIBRARY), (HIT, None)]


def module_value(source, library, pip):
    if not isinstance(source, str):
        return source.sample(pip).as_tuple()
    return (library.sample(source, pip) if library else trovelin.sample(source, pip)).as_tuple()


@pytest.mark.parametrize("mode", MODES)
@pytest.mark.parametrize("source, library", SOURCES, ids=lambda s: getattr(s, "name", str(s)))
def test_exact_at_whole_pips_and_within_range_between(source, library, mode):
    sampler = Sampler(library)
    track = sampler.track(source, mode)
    period = sampler.period_pips(source)
    for pip in list(range(-3 * period, -2 * period)) + list(range(0, period)) + [10 ** 9 + 7]:
        assert track.at(float(pip)) == module_value(source, library, pip)
    for k in range(4 * period):
        point = track.at(k / 4.0 - 1000.25)
        assert all(-1.0 <= v <= 1.0 for v in point)


@settings(max_examples=300)
@given(st.lists(st.tuples(*[st.floats(-1.0, 1.0)] * 3), min_size=1, max_size=40), st.floats(-1e6, 1e6))
def test_smooth_stays_between_the_rows_of_its_pip(rows, pip):
    track = Track(rows, "smooth")
    i = math.floor(pip)
    a, b = rows[i % len(rows)], rows[(i + 1) % len(rows)]
    for v, lo, hi in zip(track.at(pip), map(min, a, b), map(max, a, b)):
        assert lo - 1e-12 <= v <= hi + 1e-12


@pytest.mark.parametrize("mode", MODES)
def test_a_one_pip_jump_stays_within_its_pip(mode):
    track = Sampler(LIBRARY).track("hit", mode)
    for k in range(100):  # the pips either side of the jump's pip hold exactly
        assert track.at(8.0 + k / 100) == (-1.0, 0.0, 0.5)
        assert track.at(10.0 + k / 100) == (1.0, 1.0, -0.5)
    assert track.at(9.5)[0] == pytest.approx(0.0)  # the jump is made within pip 9


def test_smooth_velocity_is_continuous_across_whole_pips():
    track = Sampler().track("figure_eight", "smooth")
    h = 1e-6
    for pip in range(0, 128, 5):
        left = (track.at(pip - h)[1] - track.at(pip - 2 * h)[1]) / h
        right = (track.at(pip + 2 * h)[1] - track.at(pip + h)[1]) / h
        assert left == pytest.approx(right, abs=1e-3)


@pytest.mark.parametrize("mode", MODES)
def test_constant_speed_steps_evenly_at_128_bpm_and_60_fps(mode):
    """Whole pips step 2 or 3 pips a frame (2:3); between pips every step is alike within 10%."""
    track = Sampler().track("circle", mode)
    tempo = TempoMap(128.0)

    def steps(position):
        points = [track.at(position(tempo.pip_at(n / 60.0))) for n in range(300)]
        return [math.dist(a, b) for a, b in zip(points, points[1:])]

    whole = steps(math.floor)
    assert max(whole) / min(whole) == pytest.approx(1.5, rel=0.02)
    even = steps(float)
    assert max(even) / min(even) <= 1.1


def test_rows_are_read_once_and_unknown_names_refused():
    sampler = Sampler()
    assert sampler.track("circle") is sampler.track("circle")
    assert sampler.track(HIT) is sampler.track(HIT)
    with pytest.raises(ValueError, match="Unknown trovelin: no_such_motion"):
        sampler.track("no_such_motion")
    with pytest.raises(ValueError, match="interpolation"):
        Track([(0.0, 0.0, 0.0)], "cubic")
