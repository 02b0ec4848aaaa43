"""Fixtures: DMX mapping of moving heads and generic fixtures, and where they may sit."""
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from trovelin_show import Channel, Generic, Group, MovingHead, Show
from trovelin_show.fixtures import check_overlaps, point_of_values, writer

unit = st.floats(-1.0, 1.0)
HEADS = [
    MovingHead("plain", 1, 1),
    MovingHead("ranged", 1, 1, pan_range=(-60.0, 60.0), tilt_range=(-20.0, 100.0)),
    MovingHead("inverted", 1, 1, invert_pan=True, invert_tilt=True, pan=630.0, tilt=265.0),
    MovingHead("swapped", 1, 1, swap=True, invert_tilt=True, tilt_range=(0.0, 90.0)),
    MovingHead("layout", 1, 1, layout=("tilt", "tilt_fine", "", "pan", "pan_fine")),
]


@settings(max_examples=200)
@given(st.sampled_from(HEADS), unit, unit)
def test_16bit_values_round_trip_through_coarse_and_fine(head, x, y):
    pan, tilt = head.values((x, y, 0.0))
    channels = head.channel_values((x, y, 0.0))
    slot = {name: channels[head.address + i] for i, name in enumerate(head.slots) if name}
    assert (slot["pan"] << 8 | slot["pan_fine"], slot["tilt"] << 8 | slot["tilt_fine"]) == (pan, tilt)
    back = point_of_values(pan, tilt, head)
    # One step of 16 bits, measured in the effect's -1 to 1 over the range used.
    (plo, phi), (tlo, thi) = head.pan_limits_deg(), head.tilt_limits_deg()
    spans = (head.pan / (phi - plo), head.tilt / (thi - tlo))
    if head.swap:
        spans = spans[::-1]
    assert abs(back[0] - x) <= spans[0] * 2 / 65535 and abs(back[1] - y) <= spans[1] * 2 / 65535


@pytest.mark.parametrize("head, point, degrees", [
    (HEADS[0], (1.0, -1.0, 0.0), (270.0, -135.0)),
    (HEADS[1], (-1.0, 1.0, 0.0), (-60.0, 100.0)),
    (HEADS[1], (0.0, 0.0, 0.0), (0.0, 40.0)),
    (HEADS[2], (1.0, 0.5, 0.0), (-315.0, -66.25)),
    (HEADS[3], (0.5, -1.0, 0.0), (-270.0, 22.5)),  # y steers pan, x (inverted) tilt
])
def test_ranges_invert_and_swap_in_degrees(head, point, degrees):
    assert head.angles_deg(point) == pytest.approx(degrees)


def test_16bit_matches_the_moving_head_example_mapping():
    # round((degrees / span + 0.5) * 65535), coarse then fine, as examples/moving_head.py sends it
    head = MovingHead("h", 1, 10, pan_range=(-45.0, 45.0), tilt_range=(-20.0, 20.0))
    x, y = 0.3, -0.8
    pan, tilt = round((x * 90 / 2 / 540 + 0.5) * 65535), round((y * 40 / 2 / 270 + 0.5) * 65535)
    assert head.channel_values((x, y, 0.0)) == {10: pan >> 8, 11: pan & 255, 12: tilt >> 8, 13: tilt & 255}


@settings(max_examples=100)
@given(st.sampled_from(HEADS + [MovingHead("eight", 1, 7, bits=8, layout=("", "tilt", "pan"), fixed=((1, 255),))]),
       unit, unit, unit)
def test_the_fast_writer_writes_what_channel_values_says(head, x, y, z):
    buffer = bytearray(512)
    writer(head)(buffer, (x, y, z))
    expected = bytearray(512)
    for channel, value in head.channel_values((x, y, z)).items():
        if channel - head.address + 1 not in dict(head.fixed):
            expected[channel - 1] = value
    assert buffer == expected


def test_8bit_head():
    head = MovingHead("h", 2, 510, bits=8)
    assert head.footprint == 2
    assert head.channel_values((1.0, -1.0, 0.0)) == {510: 255, 511: 0}
    assert head.channel_values((0.0, 0.0, 0.0)) == {510: 128, 511: 128}


def test_generic_maps_any_axis_to_any_channel():
    dimmer = Generic("par", 3, 100, (Channel("x", 2), Channel("z", 3, bits=16, low=1.0, high=0.0)),
                     fixed=((1, 200),))
    assert dimmer.channel_values((-1.0, 0.0, 1.0)) == {100: 200, 101: 0, 102: 0, 103: 0}
    assert dimmer.channel_values((1.0, 0.0, -1.0)) == {100: 200, 101: 255, 102: 255, 103: 255}
    buffer = bytearray(512)
    writer(dimmer)(buffer, (0.0, 0.0, 0.0))
    # channel 101 (index 100) is x, 102 and 103 are z's coarse and fine; the fixed channel is left to the frame
    assert buffer[99:103] == bytes([0, 128, 128, 0])


@pytest.mark.parametrize("make, message", [
    (lambda: MovingHead("a", 1, 510), r"'a': channels 510 to 513 are not within 1 to 512"),
    (lambda: MovingHead("a", 1, 0), "not within 1 to 512"),
    (lambda: MovingHead("a", 1, 1, pan_range=(-300.0, 0.0)), "pan_range"),
    (lambda: MovingHead("a", 1, 1, bits=12), "bits"),
    (lambda: MovingHead("a", 1, 1, layout=("pan", "tilt", "pan_fine")), "layout"),
    (lambda: MovingHead("a", 1, 1, fixed=((2, 9),)), "fixed channel 2"),
    (lambda: Generic("g", 1, 512, (Channel("x", 1, bits=16),)), "512 to 513"),
    (lambda: Generic("g", 1, 1, (Channel("x", 1, bits=16), Channel("y", 2))), "share a channel"),
    (lambda: Channel("w"), "axis"),
])
def test_impossible_fixtures_are_refused(make, message):
    with pytest.raises(ValueError, match=message):
        make()


def test_overlapping_fixtures_are_refused_naming_both():
    a, b = MovingHead("left", 1, 1), MovingHead("right", 1, 4)
    with pytest.raises(ValueError, match=r"'left' \(channels 1 to 4\) and 'right' \(channels 4 to 7\) overlap "
                                         r"on channel 4 of universe 1"):
        Show((a, b))
    check_overlaps((a, MovingHead("right", 2, 4)))  # another universe is free
    with pytest.raises(ValueError, match="two fixtures are called 'left'"):
        check_overlaps((a, MovingHead("left", 2, 1)))
    with pytest.raises(ValueError, match="not in the show: 'ghost'"):
        Show((a,), (Group("g", ("left", "ghost")),))
