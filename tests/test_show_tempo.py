"""Musical time: the tempo map, nudge, resync, tap tempo and the MIDI clock follower."""
import random

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from trovelin_show.midi_clock import ClockFollower
from trovelin_show.tempo import PIPS_PER_BEAT, TapTempo, TempoMap

bpms = st.floats(20.0, 400.0)
times = st.floats(-1e5, 1e5)


@settings(max_examples=200)
@given(bpms, bpms, times, st.floats(-1e5, 1e5), st.floats(-10.0, 10.0))
def test_a_tempo_change_keeps_the_position_and_takes_the_new_rate(bpm, new_bpm, zero_s, at_s, later_s):
    before = TempoMap.from_beat_zero(bpm, zero_s)
    after = before.with_bpm(new_bpm, at_s)
    assert after.pip_at(at_s) == pytest.approx(before.pip_at(at_s), abs=1e-6)
    assert after.pip_at(at_s + later_s) - after.pip_at(at_s) == pytest.approx(
        later_s * new_bpm / 60 * PIPS_PER_BEAT, rel=1e-9, abs=1e-6)


def test_tempo_map_units():
    tempo = TempoMap.from_beat_zero(120.0, 100.0)
    assert tempo.pip_at(100.0) == 0.0
    assert tempo.beat_at(100.5) == 1.0
    assert tempo.time_at(128.0) == 101.0
    assert tempo.with_bpm(60.0, 101.0).beat_zero_s == pytest.approx(99.0)


@pytest.mark.parametrize("beats", [0.25, -0.5, 3.0])
def test_nudge_moves_the_phase_by_its_beats(beats):
    tempo = TempoMap(128.0, 5.0, 300.0)
    assert tempo.nudged(beats).pip_at(7.0) - tempo.pip_at(7.0) == pytest.approx(beats * PIPS_PER_BEAT)


@pytest.mark.parametrize("beat_now, expected_bar_beat", [
    (13.7, 16), (12.0, 12), (12.01, 16), (15.2, 16), (-0.5, 0), (-1.5, 0), (3.999, 4)])
def test_resync_makes_the_next_downbeat_a_bar_start(beat_now, expected_bar_beat):
    tempo = TempoMap(120.0, 0.0, beat_now * PIPS_PER_BEAT)
    synced = tempo.resynced(0.0, beats_per_bar=4)
    # The beat's phase is kept and the next whole beat now starts a bar.
    next_beat_s = tempo.time_at(-(-beat_now // 1) * PIPS_PER_BEAT)
    assert synced.beat_at(next_beat_s) == pytest.approx(expected_bar_beat)
    assert synced.pip_at(0.0) >= tempo.pip_at(0.0)


@settings(max_examples=60, deadline=None)
@given(st.floats(60.0, 200.0), st.integers(0, 2 ** 32 - 1), st.floats(0.0, 0.015))
def test_tap_tempo_from_jittered_taps(bpm, seed, jitter_s):
    rng = random.Random(seed)
    interval = 60.0 / bpm
    taps = TapTempo(window=8)
    estimate = None
    for n in range(12):
        estimate = taps.tap(1000.0 + n * interval + rng.uniform(-jitter_s, jitter_s))
    assert estimate is not None and estimate.taps == 8
    # A fit over eight taps: the error in the interval is at most about a quarter of the jitter.
    assert abs(60.0 / estimate.bpm - interval) <= jitter_s / 2 + 1e-9


def test_a_tap_far_off_the_interval_starts_a_new_count():
    taps = TapTempo()
    for n in range(5):
        taps.tap(n * 0.5)  # 120 BPM
    assert taps.count == 5
    assert taps.tap(2.0 + 0.25) is None  # half the interval: a new count
    assert taps.count == 1
    estimate = taps.tap(2.25 + 0.4)
    assert estimate is not None and estimate.bpm == pytest.approx(150.0)
    assert taps.tap(20.0) is None  # after a long pause too


def test_tapping_aligns_the_phase_to_the_last_tap():
    from trovelin_show import Engine, Group, MovingHead, Show
    engine = Engine(Show((MovingHead("h", 1, 1),), (Group("g", ("h",)),)))
    engine.nudge(0.3)
    for n in range(6):
        bpm = engine.tap(10.0 + n * 0.4)
    assert bpm == pytest.approx(150.0)
    assert engine.tempo.beat_at(12.0) == pytest.approx(round(engine.tempo.beat_at(12.0)), abs=1e-9)
    assert engine.tempo.bpm == pytest.approx(150.0)


def run_ticks(follower, start_s, count, period_s, jitter=None):
    t = start_s
    for _ in range(count):
        follower.feed("clock", t + (jitter() if jitter else 0.0))
        t += period_s
    return t


def test_midi_clock_ticks_give_tempo_and_a_position_between_ticks():
    follower = ClockFollower()
    period = 60.0 / (125.0 * 24)
    follower.feed("start", 0.0)
    assert follower.state == "waiting"
    end = run_ticks(follower, 0.01, 48, period)  # two beats
    assert follower.state == "running"
    assert follower.bpm == pytest.approx(125.0)
    last_tick_s = end - period
    assert follower.pip_at(last_tick_s) == pytest.approx(47 * PIPS_PER_BEAT / 24)
    assert follower.pip_at(last_tick_s + period / 2) == pytest.approx(47.5 * PIPS_PER_BEAT / 24)
    # Never past the next tick before it comes.
    assert follower.pip_at(last_tick_s + 5 * period) == pytest.approx(48 * PIPS_PER_BEAT / 24)


def test_midi_clock_stop_continue_and_song_position():
    follower = ClockFollower()
    period = 60.0 / (120.0 * 24)
    follower.feed("start", 0.0)
    end = run_ticks(follower, 0.0, 24, period)
    follower.feed("stop", end)
    held = follower.pip_at(end)
    assert follower.state == "stopped" and follower.pip_at(end + 3.0) == held
    follower.feed("continue", end + 3.0)
    run_ticks(follower, end + 3.0, 24, period)
    assert follower.pip_at(end + 3.0 + 23 * period) == pytest.approx(47 * PIPS_PER_BEAT / 24)
    follower.feed("stop", 10.0)
    follower.feed("songpos", 10.0, song_position=16)  # bar 2 in sixteenths
    assert follower.pip_at(10.5) == 4 * PIPS_PER_BEAT
    follower.feed("continue", 11.0)
    run_ticks(follower, 11.0, 2, period)
    assert follower.pip_at(11.0 + period) == pytest.approx((96 + 1) * PIPS_PER_BEAT / 24)
    follower.feed("start", 12.0)
    assert follower.pip_at(12.0) == 0.0
    with pytest.raises(ValueError, match="one of clock"):
        follower.feed("sysex", 12.0)


def test_midi_clock_position_never_moves_back_on_jittered_ticks():
    follower = ClockFollower()
    rng = random.Random(7)
    period = 60.0 / (128.0 * 24)
    follower.feed("start", 0.0)
    t, previous = 0.0, -1.0
    for n in range(200):
        follower.feed("clock", n * period + rng.uniform(-0.002, 0.002))
        for k in range(3):
            t = max(t, n * period + k * period / 3)
            now = follower.pip_at(t)
            assert now >= previous
            previous = now
    assert follower.bpm == pytest.approx(128.0, rel=0.02)
