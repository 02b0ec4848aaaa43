"""Effect controls, spread and orders, measured through frames of a show."""
import math

import pytest
import trovelin
from hypothesis import given, settings
from hypothesis import strategies as st

from trovelin_show import Cue, Effect, Group, MovingHead, Renderer, Show
from trovelin_show.effects import blend, fade_weight, place, placement
from trovelin_show.groups import ORDERS, _splitmix64, mirrored, shuffled, spread_fractions, steps


def rig(count, *cues, homes=None):
    heads = tuple(MovingHead(f"h{k}", 1, 1 + 4 * k, home=(homes or {}).get(k, (0.0, 0.0, 0.0)))
                  for k in range(count))
    return Renderer(Show(heads, (Group("g", tuple(h.name for h in heads)),), cues))


def positions(renderer, pip):
    return list(renderer.frame(pip).positions.values())


@pytest.mark.parametrize("name", ["figure_eight", "helix", "circle"])
@pytest.mark.parametrize("count", [1, 2, 3, 4, 8])
def test_spread_one_puts_fixture_k_k_over_n_of_a_loop_behind(name, count):
    period = next(e["period_pips"] for e in trovelin.catalogue() if e["name"] == name)
    renderer = rig(count, Cue("g", Effect(name, spread=1.0, interpolation="linear"), bar=1))
    track = renderer.sampler.track(name, "linear")
    for pip in (0.0, 37.0, 1000.5):
        for k, point in enumerate(positions(renderer, pip)):
            behind = pip - k * period / count
            assert point == track.at(behind)
            if behind == int(behind):
                assert point == trovelin.sample(name, int(behind)).as_tuple()


@settings(max_examples=40, deadline=None)
@given(st.floats(0.0, 5000.0), st.sampled_from([0.125, 0.5, 2.0, 8.0]))
def test_speed_plays_the_loop_faster_in_the_same_time(pip, speed):
    fast = rig(1, Cue("g", Effect("figure_eight", speed=speed), bar=1))
    base = rig(1, Cue("g", Effect("figure_eight"), bar=1))
    assert positions(fast, pip)[0] == pytest.approx(positions(base, pip * speed)[0], abs=1e-9)


def test_speed_two_repeats_after_half_the_loop():
    renderer = rig(1, Cue("g", Effect("figure_eight", speed=2.0), bar=1))
    assert positions(renderer, 70.0) == positions(renderer, 70.0 + 64)


@pytest.mark.parametrize("centre", [(0.0, 0.0, 0.0), (0.3, -0.7, 1.0)])
def test_size_zero_holds_the_centre(centre):
    renderer = rig(3, Cue("g", Effect("helix", size=0.0, centre=centre, spread=1.0, rotation=33.0), bar=1))
    for pip in (0.0, 11.3, 200.0):
        assert positions(renderer, pip) == [centre] * 3


@pytest.mark.parametrize("controls, expect", [
    (dict(size=0.5), lambda x, y, z: (x / 2, y / 2, z / 2)),
    (dict(rotation=90.0), lambda x, y, z: (-y, x, z)),
    (dict(rotation=180.0), lambda x, y, z: (-x, -y, z)),
    (dict(invert_x=True, invert_z=True), lambda x, y, z: (-x, y, -z)),
    (dict(swap_xy=True), lambda x, y, z: (y, x, z)),
    (dict(size=0.5, centre=(0.2, 0.1, 0.0)), lambda x, y, z: (x / 2 + 0.2, y / 2 + 0.1, z / 2)),
    (dict(centre=(0.9, 0.0, 0.0)), lambda x, y, z: (min(1.0, x + 0.9), y, z)),
])
def test_placement_controls(controls, expect):
    p = placement(Effect("helix", **controls))
    for pip in range(0, 256, 9):
        point = trovelin.sample("helix", pip).as_tuple()
        assert place(p, point) == pytest.approx(expect(*point))


def test_rotation_turns_anticlockwise_by_degrees():
    p = placement(Effect("circle", rotation=30.0))
    x, y, _ = place(p, (0.5, 0.0, 0.0))
    assert math.degrees(math.atan2(y, x)) == pytest.approx(30.0)
    assert math.hypot(x, y) == pytest.approx(0.5)


def test_mirror_flips_the_right_half_about_the_middle():
    effect = Effect("figure_eight", mirror=True, centre=(0.2, 0.0, 0.0), size=0.5)
    renderer = rig(4, Cue("g", effect, bar=1))
    for pip in (3.0, 50.0):
        a, b, c, d = positions(renderer, pip)
        assert a == b and c == d
        assert c == pytest.approx((-a[0], a[1], a[2]))
    assert mirrored(5) == (False, False, False, True, True)


@pytest.mark.parametrize("count", [1, 2, 5, 8])
@pytest.mark.parametrize("order", ORDERS)
def test_orders_give_every_step_and_start_at_zero(order, count):
    rank, total = steps(count, order, seed=3)
    assert sorted(set(rank)) == list(range(total))
    lags = spread_fractions(count, 1.0, order, seed=3)
    assert min(lags) == 0.0 and max(lags) < 1.0


@pytest.mark.parametrize("order, expected", [
    ("forward", (0, 1, 2, 3, 4)), ("reverse", (4, 3, 2, 1, 0)), ("centre_out", (3, 1, 0, 2, 4)),
    ("outside_in", (0, 2, 4, 3, 1)), ("mirrored_pairs", (0, 1, 2, 1, 0))])
def test_order_steps(order, expected):
    assert steps(5, order)[0] == expected


def test_shuffle_is_fixed_by_its_seed():
    # SplitMix64's published first outputs from seed 0, then the order it gives: the same everywhere.
    state, first = _splitmix64(0)
    assert (first, _splitmix64(state)[1]) == (0xE220A8397B1DCDAF, 0x6E789E6AA1B965F4)
    assert shuffled(8, 1) == [4, 3, 2, 7, 5, 6, 0, 1]
    assert shuffled(8, 1) != shuffled(8, 2)
    assert sorted(shuffled(100, 9)) == list(range(100))


@pytest.mark.parametrize("fade_beats", [1.0, 2.5])
def test_crossfade_starts_at_the_first_effect_and_ends_at_the_second(fade_beats):
    first = Effect("figure_eight", spread=0.5)
    second = Effect("circle", size=0.5, centre=(0.2, 0.2, 0.0))
    both = rig(3, Cue("g", first, bar=1), Cue("g", second, bar=2, fade=fade_beats))
    only_first = rig(3, Cue("g", first, bar=1))
    only_second = rig(3, Cue("g", second, bar=2))
    start, end = 4 * 64.0, 4 * 64.0 + fade_beats * 64
    assert positions(both, start) == positions(only_first, start)
    assert positions(both, end) == positions(only_second, end)
    # No jump at either end: the path runs on smoothly across the ends of the fade.
    for edge in (start, end):
        for a, b in zip(positions(both, edge - 1e-4), positions(both, edge + 1e-4)):
            assert math.dist(a, b) < 1e-3


def test_fade_in_from_home_and_out_to_it():
    home = (0.5, -0.5, 0.0)
    renderer = rig(1, Cue("g", Effect("circle"), bar=2, fade=2.0), Cue("g", None, bar=4, fade=1.0),
                   homes={0: home})
    assert positions(renderer, 0.0) == [home]  # before the first cue
    assert positions(renderer, 256.0) == [home]  # the fade in starts at home
    assert positions(renderer, 256.0 + 128) == [trovelin.sample("circle", 128).as_tuple()]
    assert positions(renderer, 768.0 + 64) == [home]  # and the fade out ends there


def test_fade_weight_and_blend_ends():
    assert fade_weight(0.0) == 0.0 and fade_weight(1.0) == 1.0 and fade_weight(0.5) == 0.5
    a, b = (0.1, 0.2, 0.3), (-0.4, 0.5, 1.0)
    assert blend(a, b, 0.0) == a and blend(a, b, 1.0) == b


@pytest.mark.parametrize("controls, message", [
    (dict(speed=9.0), "speed"), (dict(speed=0.1), "speed"), (dict(size=1.5), "size"),
    (dict(centre=(2.0, 0.0, 0.0)), "centre"), (dict(order="sideways"), "order"),
    (dict(phase=math.nan), "phase"), (dict(interpolation="cubic"), "interpolation")])
def test_impossible_controls_are_refused(controls, message):
    with pytest.raises(ValueError, match=message):
        Effect("circle", **controls)
