"""The examples, each run briefly as its README line says, their output read back against the module."""
import csv
import math
import os
import re
import signal
import subprocess
import sys
import time

import pytest

import trovelin

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENV = dict(os.environ, PYTHONPATH=os.pathsep.join(
    [os.path.dirname(trovelin.__file__)] + [p for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p]))
NUMBER = r"[+-]\d+\.\d+"


def run(script, *args, timeout=600):  # a hang guard, not a deadline
    done = subprocess.run([sys.executable, os.path.join(ROOT, "examples", script), *args], env=ENV,
                          capture_output=True, text=True, timeout=timeout)
    assert done.returncode == 0, done.stderr
    return done.stdout.splitlines()


def close(a, b, places):
    return all(abs(x - y) <= 0.5 * 10 ** -places + 1e-12 for x, y in zip(a, b))


@pytest.mark.parametrize("name, bpm, fps, pan, tilt", [("figure_eight", 124, 25, 90, 40), ("circle", 60, 40, 540, 270),
                                                       ("helix", 175, 30, 20, 10), ("bounce", 120, 30, 120, 60)])
def test_moving_head_frames_carry_the_motion_as_coarse_and_fine_bytes(tmp_path, name, bpm, fps, pan, tilt):
    out = tmp_path / "frames.csv"
    run("moving_head.py", name, "--bpm", str(bpm), "--fps", str(fps), "--pan", str(pan), "--tilt", str(tilt),
        "--beats", "2", "--csv", str(out))
    with open(out) as f:
        rows = list(csv.DictReader(f))
    assert len(rows) == round(2 * 60 / bpm * fps) + 1
    for frame, row in enumerate(rows):
        seconds = frame / fps
        pip = int(row["pip"])
        assert abs(pip - seconds * bpm / 60 * 64) <= 0.5 and float(row["seconds"]) == pytest.approx(seconds)
        point = trovelin.sample(name, pip)
        for axis, value, rng, span in (("pan", point.x, pan, 540), ("tilt", point.y, tilt, 270)):
            coarse, fine = int(row[f"{axis}_coarse"]), int(row[f"{axis}_fine"])
            assert 0 <= coarse <= 255 and 0 <= fine <= 255
            degrees = (coarse * 256 + fine) / 65535 * span - span / 2  # what the fixture turns to
            assert abs(degrees - value * rng / 2) <= span / 65535
            assert abs(float(row[f"{axis}_deg"])) <= rng / 2 + 1e-9


def test_moving_head_prints_the_four_channels_from_its_address():
    lines = run("moving_head.py", "circle", "--beats", "0.5", "--fps", "8", "--address", "101")
    frames = [line for line in lines[1:] if "ch101=" in line]
    assert len(frames) == 3 and all(re.search(r"ch101=\s*\d+ ch102=\s*\d+ ch103=\s*\d+ ch104=\s*\d+$", f)
                                    for f in frames)
    # circle starts at (0, -1): pan centred (32768), tilt at its lowest, -30 of 270 degrees (25486)
    assert re.search(r"ch101=128 ch102=  0 ch103= 99 ch104=142$", frames[0]), frames[0]


@pytest.mark.parametrize("name, bpm, fps", [("circle", 120, 20), ("helix", 200, 25), ("lfo_breathe", 90, 15)])
def test_live_clock_follows_the_wall_clock_at_the_bpm(name, bpm, fps):
    beat_zero = time.time() - 3.0  # the music started three seconds ago
    started = time.time()
    lines = run("live_clock.py", name, "--bpm", str(bpm), "--fps", str(fps), "--frames", "10",
                "--beat-zero", repr(beat_zero), "--plain")
    ended = time.time()
    assert lines[-1] == "stopped after 10 frames"
    period = next(d["period_pips"] for d in trovelin.catalogue() if d["name"] == name)
    pips = []
    for line in lines[:-1]:
        pip = int(re.search(r" pip\s+(-?\d+)", line).group(1))
        values = [float(v) for v in re.findall(r"[xyz] (" + NUMBER + ")", line)]
        assert close(values, trovelin.sample(name, pip).as_tuple(), 3), line
        assert f"loop pip {pip % period:4d}" in line
        pips.append(pip)
    rate = bpm / 60 * 64  # pips a second
    assert (started - beat_zero) * rate - 1 <= pips[0] <= (ended - beat_zero) * rate
    assert pips == sorted(pips)


def test_live_clock_draws_a_field_in_place():
    lines = run("live_clock.py", "helix", "--frames", "3", "--fps", "30", "--draw")
    text = "\n".join(lines)
    assert text.count("\x1b[H") == 3 and text.endswith("stopped after 3 frames")
    field = lines[1:18]  # inside the border: the first frame's field
    assert sum(row.count("o") + row.count("O") + row.count("@") for row in field) == 1  # one point
    assert sum(row.count(".") for row in field) > 30  # on the dots of its loop


@pytest.mark.skipif(sys.platform == "win32", reason="Ctrl-C cannot be sent to one child process on Windows")
def test_live_clock_stops_cleanly_on_ctrl_c():
    proc = subprocess.Popen([sys.executable, os.path.join(ROOT, "examples", "live_clock.py"), "circle", "--plain"],
                            env=ENV, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    first = proc.stdout.readline()
    assert first.startswith("circle  120 BPM")
    proc.send_signal(signal.SIGINT)
    out, err = proc.communicate(timeout=600)  # a hang guard
    assert proc.returncode == 0 and "Traceback" not in err
    assert re.search(r"stopped after \d+ frames$", out.strip())


def test_own_pack_lists_samples_absorbs_a_copy_and_refuses_a_change():
    lines = run("own_pack.py", "--beats", "2")
    defaults = len(trovelin.catalogue())
    assert lines[0].startswith(f"the library lists {defaults + 3} motions: {defaults} defaults and 3 of the pack")
    listed = [line.split()[:4] for line in lines[1:4]]
    assert listed == [["pack_ramp", "128", "pips", "1-D"], ["pack_square", "256", "pips", "2-D"],
                      ["pack_corkscrew", "256", "pips", "3-D"]]
    samples = [line for line in lines if line.startswith("  pip ")]
    assert len(samples) == 3 * 8  # two beats, every quarter beat, of each pattern
    square = [[float(v) for v in re.findall(NUMBER, s)] for s in samples[8:16]]
    assert square[0][:2] == [-0.8, -0.8] and square[4][:2] == [0.8, -0.8]  # a corner on each beat
    x, y, z = trovelin.circle(16).as_tuple()
    assert f"circle at pip 16 is ({x:+.6f}, {y:+.6f}, {z:+.6f})" in lines[-3]
    assert lines[-2:] == [
        "refused 'circle' (One-beat circular orbit): Cannot override default pattern: circle",
        "refused 'circle' (My circle): Cannot override default pattern: circle"]


@pytest.mark.parametrize("name, bpm, beats, start", [("figure_eight", 96, 2, 8), ("helix", 140, 3, 0),
                                                      ("lfo_breathe", 120, 1, 3)])
def test_take_reads_back_what_was_played_and_nothing_outside_it(name, bpm, beats, start):
    lines = run("take.py", name, "--bpm", str(bpm), "--beats", str(beats), "--start-beat", str(start),
                "--beat-zero", "1.5")
    dims = next(d["dimensions"] for d in trovelin.catalogue() if d["name"] == name)
    first, last = start * 64, start * 64 + beats * 64 - 1
    assert lines[0].startswith(f"take_{name}: {beats * 64} rows on axes {', '.join('xyz'[:dims])} at {bpm} BPM, "
                               f"pips {first} to {last}")
    rows = lines[1:-2]
    assert len(rows) == 2 * beats
    for line in rows:
        pip, seconds = int(line.split()[1]), float(line.split()[2])
        assert seconds == pytest.approx(1.5 + pip / 64 * 60 / bpm, abs=5e-4)
        values = [float(v) for v in re.findall(r"[xyz] (" + NUMBER + ")", line)]
        assert len(values) == dims and close(values, trovelin.sample(name, pip).as_tuple()[:dims], 6)
    assert lines[-2:] == [f"  pip {first - 1:6d}  Pip outside non-looping recording",
                          f"  pip {last + 1:6d}  Pip outside non-looping recording"]
