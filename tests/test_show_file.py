"""Show files: broken ones, each problem said with its file, line, key, value and what is allowed, every one at
once and never as a traceback; good ones read into the show the engine plays."""
import os
import subprocess
import sys
import textwrap

import pytest

import trovelin
from show_wire import command_env
from trovelin_show.cli.run import outputs_to
from trovelin_show.showfile import ShowFileError, parse_show, read_show

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHOWS = os.path.join(ROOT, "examples", "shows")
ENV = command_env()

# A small good show; each broken case replaces one line of it (the line numbers in messages count from 1 here).
GOOD = textwrap.dedent("""\
    [clock]
    bpm = 124.0

    [[output]]
    protocol = "sacn"
    host = "127.0.0.1"
    port = 5568
    universes = [1]

    [[fixture]]
    name = "head1"
    universe = 1
    address = 1

    [[fixture]]
    name = "head2"
    universe = 1
    address = 17

    [[group]]
    name = "front"
    fixtures = ["head1", "head2"]

    [[group]]
    name = "left"
    fixtures = ["head1"]

    [[cue]]
    group = "front"
    bar = 1
    motion = "figure_eight"
    spread = 1.0

    [[cue]]
    group = "left"
    bar = 5
    motion = "circle"
    """)


def broken(old, new):
    assert GOOD.count(old) == 1, old
    return GOOD.replace(old, new)


# Each broken show with the problems said of it, in order.
BROKEN = [
    ("", "show.toml: output: a show has at least one [[output]]: sacn, artnet or osc",
     "show.toml: fixture: a show has at least one [[fixture]]"),
    (broken("address = 17", 'address = 17\nlayout = ["pan", "tilt"]'),
     "show.toml:15: fixture 'head2': a 16-bit layout has each of pan, pan_fine, tilt, tilt_fine once (and \"\" for "
     "other channels), not ('pan', 'tilt')"),
    (broken('motion = "circle"', 'motion = "circle"\nspeed = 16'),
     "show.toml:38: cue 2 (left, bar 5) speed = 16: loops per loop of the music, 0.125 to 8"),
    (broken('motion = "figure_eight"', 'motion = "figure_eigth"'),
     'show.toml:31: cue 1 (front, bar 1) motion = "figure_eigth": not a default (or a pattern of a pack the show '
     'names); the nearest: figure_eight, gesture_high_arc, gesture_diagonal_touch'),
    (broken("address = 17", "address = 510"),
     "show.toml:18: fixture 'head2' address = 510: channels 510 to 513 run past 512: a fixture of 4 channels "
     "starts at 1 to 509"),
    (broken("address = 17", "address = 3"),
     "show.toml:18: fixture 'head2' address = 3: channels 3 to 6 of universe 1 overlap fixture 'head1' (line 13, "
     "channels 1 to 4)"),
    (broken("port = 5568", "port = 70000"),
     "show.toml:7: output 1 (sacn) port = 70000: a UDP port, 1 to 65535"),
    (broken("bar = 5", "bar = 1"),
     "show.toml:36: cue 2 (left, bar 1) bar = 1: starts with cue 1 (line 30, group 'front') and both drive fixture "
     "'head1': start one of them on another beat"),
    (broken("address = 17", "adress = 17"),
     "show.toml:18: fixture 'head2' adress = 17: not a key of [[fixture]]; did you mean 'address'?"),
    (broken('protocol = "sacn"', 'protocol = "sacm"'),
     'show.toml:5: output 1 protocol = "sacm": one of "sacn", "artnet", "osc" (did you mean "sacn"?)'),
    (broken('fixtures = ["head1", "head2"]', 'fixtures = ["head1", "haed2"]'),
     'show.toml:22: group \'front\' fixtures = "haed2": not a fixture of this show; the nearest: head2, head1'),
    (broken("bpm = 124.0", "bpm = 1240"), "show.toml:2: [clock] bpm = 1240: beats a minute, 20 to 400"),
    (broken("spread = 1.0", 'spread = "wide"'),
     'show.toml:32: cue 1 (front, bar 1) spread = "wide": loops across the group, 0 to 64'),
    (broken("universes = [1]", "universes = [0]"),
     "show.toml:8: output 1 (sacn) universes = 0: not an sACN universe, 1 to 63999"),
    (broken('host = "127.0.0.1"', 'host = "0.0.0.0"'),
     'show.toml:6: output 1 (sacn) host = "0.0.0.0": an IP address or a host name of a receiver (not the '
     'unspecified or the broadcast address)'),
    (broken("universe = 1\naddress = 17", "universe = 2\naddress = 17"),
     "show.toml:17: fixture 'head2' universe = 2: a universe no sacn or artnet output sends"),
    (broken("bpm = 124.0", "bpm = = 124.0"), "show.toml:2: TOML: invalid value (column 7)"),
    (broken("[clock]", "[[clock]]"), "show.toml:1: clock: written as a [clock] table"),
    (broken('name = "left"', 'name = "front"'),
     "show.toml:25: group 'front' name = \"front\": already the name of the group at line 20",
     'show.toml:35: cue 2 (left, bar 5) group = "left": not a group of this show'),
]


@pytest.mark.parametrize("text, problems", [(case[0], list(case[1:])) for case in BROKEN])
def test_a_broken_show_says_what_where_and_what_is_allowed(text, problems):
    with pytest.raises(ShowFileError) as caught:
        parse_show(text, "show.toml")
    assert [str(p) for p in caught.value.problems] == problems


def test_every_problem_is_reported_at_once():
    text = broken("address = 17", "address = 510")
    text = text.replace('motion = "circle"', 'motion = "circel"').replace("port = 5568", "port = 0")
    with pytest.raises(ShowFileError) as caught:
        parse_show(text, "show.toml")
    assert [(p.line, p.key) for p in caught.value.problems] == [
        (18, "fixture 'head2' address"), (37, "cue 2 (left, bar 5) motion"), (7, "output 1 (sacn) port")]
    # The fixture with a problem is still a fixture of the show: its group is not told it is missing.


def test_check_prints_every_problem_and_exits_1_without_a_traceback(tmp_path):
    path = tmp_path / "broken.toml"
    path.write_text(broken("address = 17", "address = 3").replace('"circle"', '"no_such_motion"'))
    done = subprocess.run([sys.executable, "-m", "trovelin_show", "check", str(path)], env=ENV,
                          capture_output=True, text=True, timeout=60, stdin=subprocess.DEVNULL)
    assert done.returncode == 1 and done.stdout == ""
    lines = done.stderr.splitlines()
    assert lines[0] == f"{path}: 2 problems"
    assert lines[1].startswith(f"  {path}:18: fixture 'head2' address = 3: channels 3 to 6")
    assert lines[2].startswith(f"  {path}:37: cue 2 (left, bar 5) motion = \"no_such_motion\": not a default")
    assert "Traceback" not in done.stderr


@pytest.mark.parametrize("contents, problem", [
    (None, "no such file"),
    ("x = 1\n", "a pack file defines PATTERNS, a list of SampledPattern"),
    ("raise RuntimeError('broken pack')\n", "the pack failed to load: RuntimeError: broken pack"),
    ("PATTERNS = [1]\n", "its PATTERNS are refused"),
])
def test_a_pack_that_cannot_be_loaded_is_a_problem(tmp_path, contents, problem):
    if contents is not None:
        (tmp_path / "pack.py").write_text(contents)
    show = tmp_path / "show.toml"
    show.write_text('[show]\npack = "pack.py"\n\n' + GOOD)
    with pytest.raises(ShowFileError) as caught:
        read_show(str(show))
    found = [str(p) for p in caught.value.problems]
    assert len(found) == 1 and found[0].startswith(f'{show}:2: [show] pack = "pack.py": ') and problem in found[0]


def test_a_pack_names_its_patterns_for_cues(tmp_path):
    (tmp_path / "pack.py").write_text(textwrap.dedent("""\
        import trovelin
        PATTERNS = [trovelin.SampledPattern("shuffle_step", "a ramp",
                                            [(k / 64 - 1, 0.0, 0.0) for k in range(128)])]
        """))
    show = tmp_path / "show.toml"
    show.write_text('[show]\npack = "pack.py"\n\n' + GOOD.replace('"circle"', '"shuffle_step"'))
    read = read_show(str(show))
    assert read.pack == str(tmp_path / "pack.py") and read.show.cues[1].effect.motion == "shuffle_step"
    # A misspelt pattern of the pack is offered from the pack too.
    show.write_text('[show]\npack = "pack.py"\n\n' + GOOD.replace('"circle"', '"shufle_step"'))
    with pytest.raises(ShowFileError) as caught:
        read_show(str(show))
    assert str(caught.value.problems[0]).endswith("not a default or a pattern of pack.py; the nearest: shuffle_step, "
                                                 "beat_house_shuffle_step, beat_broken_shuffle_step")


@pytest.mark.parametrize("name", ["fan.toml", "song.toml"])
def test_the_example_shows_check_clean(name):
    done = subprocess.run([sys.executable, "-m", "trovelin_show", "check", os.path.join(SHOWS, name)], env=ENV,
                          capture_output=True, text=True, timeout=60, stdin=subprocess.DEVNULL)
    assert done.returncode == 0 and done.stderr == ""
    assert done.stdout.startswith(name.split(".")[0] + ": ")


def test_the_fan_reads_as_written():
    fan = read_show(os.path.join(SHOWS, "fan.toml"))
    assert [(f.name, f.universe, f.address, f.pan, f.tilt) for f in fan.show.fixtures] == [
        (f"head{k + 1}", 1, 1 + 16 * k, 540.0, 270.0) for k in range(4)]
    assert fan.show.clock.bpm == 124.0 and fan.clock.source == "fixed"
    (cue,) = fan.show.cues
    assert (cue.group, cue.bar, cue.effect.motion, cue.effect.spread) == ("fan", 1, "figure_eight", 1.0)
    assert [(o.protocol, o.host, o.port, o.universes) for o in fan.outputs] == [("sacn", "127.0.0.1", 5568, (1,))]


def test_osc_addresses_come_from_the_pattern_or_the_fixture():
    text = GOOD.replace('name = "head2"', 'name = "head2"\nosc = "/stage/right"') + textwrap.dedent("""
        [[output]]
        protocol = "osc"
        port = 9001
        address = "/rig/{fixture}/xyz"
        """)
    outputs = parse_show(text, "show.toml").outputs
    assert outputs[1].osc_addresses == (("head1", "/rig/head1/xyz"), ("head2", "/stage/right"))
    # `trovelin run --to osc` sends each fixture to its own address too, the others to the default pattern's.
    (to,) = outputs_to(["osc:127.0.0.1:9002"], parse_show(text, "show.toml"))
    assert (to.port, to.osc_addresses) == (9002, (("head1", "/trovelin/head1"), ("head2", "/stage/right")))
    with pytest.raises(ShowFileError, match="fixtures 'head1' and 'head2' would both send to /rig"):
        parse_show(text.replace("/rig/{fixture}/xyz", "/rig").replace('osc = "/stage/right"', ""), "show.toml")
