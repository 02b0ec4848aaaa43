"""Frames of a whole show: the four-head fan, cues and go, the engine's clock controls, exact bytes."""
import math

import pytest
import trovelin

from trovelin_show import Clock, Cue, Effect, Engine, Group, MovingHead, Show, TempoMap, frame_at


def fan_show(**effect):
    heads = tuple(MovingHead(f"head{k + 1}", universe=1, address=1 + 16 * k) for k in range(4))
    return Show(heads, (Group("fan", tuple(h.name for h in heads)),),
                (Cue("fan", Effect("figure_eight", spread=1.0, **effect), bar=1),), Clock(bpm=124.0))


def dmx16(degrees, span):
    return min(65535, max(0, round((degrees / span + 0.5) * 65535)))


def test_the_four_head_fan_equals_the_fan_by_hand():
    engine = Engine(fan_show())
    for pip in list(range(0, 300, 3)) + [10 ** 7]:
        frame = engine.frame_at_pip(float(pip))
        expected = bytearray(512)
        for k in range(4):  # each head a quarter loop (32 pips) after the one before
            point = trovelin.sample("figure_eight", pip - 32 * k)
            pan, tilt = dmx16(point.x * 540 / 2, 540), dmx16(point.y * 270 / 2, 270)
            expected[16 * k:16 * k + 4] = bytes([pan >> 8, pan & 255, tilt >> 8, tilt & 255])
        assert frame.universes == {1: bytes(expected)}
        assert frame.positions["head3"] == trovelin.sample("figure_eight", pip - 64).as_tuple()


def test_frames_by_time_follow_the_tempo():
    engine = Engine(fan_show(interpolation="linear"), TempoMap.from_beat_zero(124.0, 1000.0))
    track = engine.renderer.sampler.track("figure_eight", "linear")
    for n in range(50):
        time_s = 1000.0 + n / 44
        frame = engine.frame(time_s)
        assert frame.time_s == time_s
        assert frame.pip == pytest.approx(n / 44 * 124 / 60 * 64)
        assert frame.positions["head2"] == track.at(frame.pip - 32)


def test_the_same_show_and_time_give_the_same_bytes():
    show = fan_show(rotation=17.0, size=0.7)
    a, b = Engine(show), Engine(fan_show(rotation=17.0, size=0.7))
    for n in range(40):
        assert a.frame(n * 0.0371).universes == b.frame(n * 0.0371).universes
    assert frame_at(show, 123.4).universes == a.frame_at_pip(123.4).universes


def test_a_tempo_change_mid_show_moves_nothing():
    engine = Engine(fan_show())
    before = engine.frame(2.0)
    engine.set_bpm(90.0, 2.0)
    assert engine.frame(2.0).universes == before.universes
    assert engine.frame(2.001).pip - engine.frame(2.0).pip == pytest.approx(0.001 * 90 / 60 * 64)


def test_nudge_and_resync_move_the_engine_s_count():
    engine = Engine(fan_show())
    engine.nudge(0.25)
    assert engine.pip_at(0.0) == 16.0
    engine.resync(0.0)
    assert engine.tempo.beat_at(engine.tempo.time_at(4 * 64.0)) == 4.0
    assert engine.pip_at(0.0) == 16.0 + 3 * 64  # the next beat (1) became beat 4, a bar start


def cue_show():
    heads = (MovingHead("a", 1, 1), MovingHead("b", 1, 5), MovingHead("c", 2, 1, home=(0.0, -1.0, 0.0)))
    groups = (Group("left", ("a", "b")), Group("all", ("a", "b", "c")))
    cues = (Cue("left", Effect("circle"), bar=2),
            Cue("all", Effect("helix", size=0.5), name="manual"),
            Cue("left", Effect("sway"), bar=5))
    return Show(heads, groups, cues)


def test_cues_start_at_their_bars_and_go_starts_the_next():
    engine = Engine(cue_show())  # 120 BPM: a bar is two seconds
    home = (0.0, 0.0, 0.0)
    assert engine.frame(1.0).positions == {"a": home, "b": home, "c": (0.0, -1.0, 0.0)}
    at = engine.frame(2.5)
    assert at.positions["a"] == trovelin.sample("circle", 64).as_tuple()  # a beat into bar 2
    assert set(engine.frame(2.5).universes) == {1, 2} and all(len(u) == 512 for u in at.universes.values())
    assert engine.go(3.0).name == "manual"
    # Latest takes precedence: "all" started last, so "a" follows it now.
    helix = engine.frame(3.5).positions
    assert helix["a"] == pytest.approx(tuple(v / 2 for v in trovelin.sample("helix", 64).as_tuple()))
    assert helix["c"] == helix["a"]
    # At bar 5 "left" takes a and b back; c keeps the helix.
    late = engine.frame(8.25).positions
    assert late["a"] == trovelin.sample("sway", 32).as_tuple()
    assert late["c"] == pytest.approx(tuple(v / 2 for v in trovelin.sample("helix", 1056 - 384).as_tuple()))
    assert engine.go(9.0) is None


def test_go_starts_a_timed_cue_early_and_it_does_not_start_again():
    engine = Engine(cue_show())
    engine.go(0.5)  # bar 2's cue, early
    assert engine.started == {0: 64.0}
    assert engine.frame(2.5).positions["a"] == trovelin.sample("circle", 320 - 64).as_tuple()


def test_a_midi_clock_drives_a_midi_show():
    show = Show(fan_show().fixtures, fan_show().groups, fan_show().cues, Clock(source="midi"))
    engine = Engine(show)
    engine.midi("songpos", 0.0, song_position=8)  # two beats in
    engine.midi("continue", 0.0)
    period = 60.0 / (100 * 24)
    for n in range(30):
        engine.midi("clock", 0.1 + n * period)
    assert engine.pip_at(0.1 + 29 * period) == pytest.approx(128 + 29 * 64 / 24)
    assert engine.frame(0.1 + 29 * period).positions["head1"] == pytest.approx(engine.frame_at_pip(
        128 + 29 * 64 / 24).positions["head1"])
    assert math.isclose(engine.midi_clock.bpm, 100.0)


def test_a_cue_for_an_unknown_group_or_motion_is_refused():
    show = fan_show()
    with pytest.raises(ValueError, match="group 'nobody'"):
        Show(show.fixtures, show.groups, (Cue("nobody", None, bar=1),))
    with pytest.raises(ValueError, match="Unknown trovelin: no_such"):
        Engine(Show(show.fixtures, show.groups, (Cue("fan", Effect("no_such"), bar=1),)))
