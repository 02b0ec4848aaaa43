"""The live rigs over the loopback interface: what the sACN and OSC examples send, read back by those protocols'
own receivers, and how they refuse bad arguments."""
import math
import os
import re
import socket
import struct
import subprocess
import sys
import threading
import time

import pytest
import sacn
from pythonosc import dispatcher as osc_dispatcher
from pythonosc import osc_server
from sacn.messages.data_packet import DataPacket

import trovelin

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(ROOT, "examples")
sys.path.insert(0, EXAMPLES)
import osc_out  # noqa: E402
import sacn_out  # noqa: E402

ENV = dict(os.environ, PYTHONPATH=os.pathsep.join(
    [os.path.dirname(trovelin.__file__)] + [p for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p]))
FRAMES = 12


def run(script, *args):
    done = subprocess.run([sys.executable, os.path.join(EXAMPLES, script), *args], env=ENV,
                          capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stderr
    return done.stdout.splitlines()


def wait_for(condition, seconds=10.0):
    """Polls until the condition holds or the seconds are up; the caller asserts what it then sees."""
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.02)


def frame_lines(lines, pattern):
    found = [re.fullmatch(pattern, line) for line in lines[1:-1]]
    assert len(found) == FRAMES and all(found), lines
    return found


def check_pip(match, beat_zero, bpm, started, ended):
    """The frame's pip is the whole pips from beat zero to the time it was taken at, during the run."""
    now, pip = float(match["time"]), int(match["pip"])
    assert started <= now <= ended
    assert pip == math.floor((now - beat_zero) * bpm / 60 * 64)
    return pip


def fixture_value(v, sweep, span):
    """The 16-bit value nearest the angle v * sweep / 2 degrees on a fixture's travel of `span` degrees."""
    return min(65535, max(0, round((v * sweep / 2 / span + 0.5) * 65535)))


def universe_data(point, pan, tilt, address):
    p, t = fixture_value(point.x, pan, 540), fixture_value(point.y, tilt, 270)
    data = [0] * 512
    data[address - 1:address + 3] = [p >> 8, p & 0xFF, t >> 8, t & 0xFF]
    return tuple(data)


SACN_FRAME = (r"frame (?P<frame>\d+) seq (?P<seq>\d+) time (?P<time>\S+) pip (?P<pip>-?\d+) "
              r"pan [+-]\d+\.\d+ tilt [+-]\d+\.\d+ ch\d+=\d+ ch\d+=\d+ ch\d+=\d+ ch\d+=\d+")


@pytest.mark.parametrize("name, bpm, fps, pan, tilt, address, universe", [
    ("circle", 120, 40, 120, 60, 1, 1), ("figure_eight", 124, 30, 90, 40, 101, 7),
    ("helix", 175, 25, 540, 270, 509, 63999), ("path_torus_knot", 96, 40, 200, 100, 17, 512)])
def test_sacn_receiver_gets_the_motion_at_each_frames_pip(name, bpm, fps, pan, tilt, address, universe):
    packets, availability = [], []
    receiver = sacn.sACNreceiver(bind_address="127.0.0.1")
    receiver.register_listener("universe", packets.append, universe=universe)
    receiver.register_listener("availability", lambda universe, changed: availability.append((universe, changed)))
    receiver.start()
    beat_zero = time.time() - 7.25  # a fixed beat, seven and a quarter seconds ago
    try:
        started = time.time()
        lines = run("sacn_out.py", name, "--bpm", str(bpm), "--fps", str(fps), "--pan", str(pan), "--tilt", str(tilt),
                    "--address", str(address), "--universe", str(universe), "--beat-zero", repr(beat_zero),
                    "--frames", str(FRAMES), "--verbose")
        ended = time.time()
        wait_for(lambda: len(packets) >= FRAMES and (universe, "timeout") in availability)
    finally:
        receiver.stop()
    assert lines[-1] == f"sent {FRAMES} frames to 127.0.0.1 universe {universe}; stream closed"
    expected = [(int(m["seq"]), universe_data(trovelin.sample(name, check_pip(m, beat_zero, bpm, started, ended)),
                                              pan, tilt, address))
                for m in frame_lines(lines, SACN_FRAME)]
    # The receiver passes on a packet whose channels differ from the last; every frame here moves the head.
    assert all(a[1] != b[1] for a, b in zip(expected, expected[1:]))
    assert [(p.sequence, p.dmxData) for p in packets] == expected
    assert all(p.universe == universe and p.priority == 100 and p.sourceName == f"trovelin {name}" for p in packets)
    # Available from the first packet on, and let go of at the end of the stream (once for each packet ending it).
    assert availability[0] == (universe, "available") and set(availability[1:]) == {(universe, "timeout")}


def test_sacn_sends_a_packet_every_frame_and_closes_the_stream():
    """Read off the socket (the receiver passes on changes only): at 30 BPM and 40 frames a second, frames repeat
    pips, and each still goes out, in sequence, before three packets that end the stream."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 5568))
    sock.settimeout(5.0)
    try:
        lines = run("sacn_out.py", "circle", "--bpm", "30", "--universe", "9", "--priority", "150",
                    "--frames", str(FRAMES), "--verbose")
        packets = [DataPacket.make_data_packet(sock.recv(2048)) for _ in range(FRAMES + 3)]
    finally:
        sock.close()
    pips = [int(m["pip"]) for m in frame_lines(lines, SACN_FRAME)]
    assert len(set(pips)) < FRAMES  # some frames share a pip
    assert [p.sequence for p in packets] == list(range(FRAMES + 3))
    assert [p.option_StreamTerminated for p in packets] == [False] * FRAMES + [True] * 3
    assert all(p.universe == 9 and p.priority == 150 for p in packets)
    assert [p.dmxData for p in packets[:FRAMES]] == [universe_data(trovelin.circle(pip), 120, 60, 1) for pip in pips]
    assert len({p.cid for p in packets}) == 1 and packets[-1].dmxData == packets[FRAMES - 1].dmxData


OSC_FRAME = r"frame (?P<frame>\d+) time (?P<time>\S+) pip (?P<pip>-?\d+) x \S+ y \S+ z \S+"


def float32(values):
    return struct.unpack("<3f", struct.pack("<3f", *values))


@pytest.mark.parametrize("name, bpm, fps, path", [
    ("circle", 120, 40, None), ("helix", 128, 30, "/layer1/position"), ("lfo_breathe", 90, 25, None),
    ("path_torus_knot", 140, 40, "/deck/a/xyz")])
def test_osc_server_gets_xyz_at_each_frames_pip_as_float32(name, bpm, fps, path):
    messages = []
    dispatcher = osc_dispatcher.Dispatcher()
    dispatcher.set_default_handler(lambda address, *values: messages.append((address, values)))
    server = osc_server.BlockingOSCUDPServer(("127.0.0.1", 0), dispatcher)
    serving = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.05})
    serving.start()
    beat_zero = time.time() - 3.5
    try:
        started = time.time()
        lines = run("osc_out.py", name, "--bpm", str(bpm), "--fps", str(fps), "--port", str(server.server_address[1]),
                    "--beat-zero", repr(beat_zero), "--frames", str(FRAMES), "--verbose",
                    *(["--path", path] if path else []))
        ended = time.time()
        wait_for(lambda: len(messages) >= FRAMES)
    finally:
        server.shutdown()
        server.server_close()
        serving.join()
    path = path or f"/trovelin/{name}"
    assert lines[-1] == f"sent {FRAMES} frames to 127.0.0.1:{server.server_address[1]} {path}"
    pips = [check_pip(m, beat_zero, bpm, started, ended) for m in frame_lines(lines, OSC_FRAME)]
    samples = [trovelin.sample(name, pip).as_tuple() for pip in pips]
    # Each value travels as a float32: what arrives is the sample rounded to float32, exactly. Some samples here
    # are not float32 values already, so doubles on the wire would not pass.
    assert messages == [(path, float32(s)) for s in samples]
    assert any(float32(s) != s for s in samples)


def module_message(name):
    with pytest.raises(ValueError) as unknown:
        trovelin.sample(name, 0)
    return str(unknown.value)


@pytest.mark.parametrize("example, args, message", [
    *[(e, ["no_such_motion"], module_message("no_such_motion")) for e in (sacn_out, osc_out)],
    (sacn_out, ["circle", "--address", "0"], "--address 0 is not 1 to 509"),
    (sacn_out, ["circle", "--address", "510"], "--address 510 is not 1 to 509"),
    (sacn_out, ["circle", "--universe", "0"], "--universe 0 is not 1 to 63999"),
    (sacn_out, ["circle", "--universe", "64000"], "--universe 64000 is not 1 to 63999"),
    (sacn_out, ["circle", "--priority", "201"], "--priority 201 is not 0 to 200"),
    (sacn_out, ["circle", "--pan", "600"], "the pan and tilt ranges must be positive and within the fixture's spans"),
    (sacn_out, ["circle", "--dest", "0.0.0.0"], "--dest '0.0.0.0' is the unspecified address"),
    (sacn_out, ["circle", "--dest", "255.255.255.255"], "--dest '255.255.255.255' is the broadcast address"),
    (sacn_out, ["circle", "--dest", "239.255.0.1"],
     "--dest '239.255.0.1' is a multicast group; --multicast sends to the universe's group"),
    (sacn_out, ["circle", "--dest", "300.1.2.3"], "--dest '300.1.2.3' is not an IPv4 address"),
    (sacn_out, ["circle", "--dest", "::1"], "--dest '::1' is not an IPv4 address"),
    (sacn_out, ["circle", "--dest", "desk 2"], "--dest 'desk 2' is neither a host name nor an IP address"),
    (sacn_out, ["circle", "--dest", ""], "--dest is empty"),
    (sacn_out, ["circle", "--dest", "127.0.0.1", "--multicast"], "not allowed with argument"),
    (sacn_out, ["circle", "--interface", "127.0.0.1"], "--interface chooses the network for --multicast"),
    (sacn_out, ["circle", "--multicast", "--interface", "lo"], "--interface 'lo' is not an IPv4 address"),
    (sacn_out, ["circle", "--multicast", "--ttl", "256"], "--ttl 256 is not 0 to 255"),
    (sacn_out, ["circle", "--bpm", "0"], "--bpm and --fps must be positive"),
    (sacn_out, ["circle", "--beat-zero", "0"], "--beat-zero is too far from now: at 120 BPM pips count only 194 days"),
    (osc_out, ["circle", "--port", "0"], "--port 0 is not a UDP port (1 to 65535)"),
    (osc_out, ["circle", "--port", "65536"], "--port 65536 is not a UDP port (1 to 65535)"),
    (osc_out, ["circle", "--host", "0.0.0.0"], "--host '0.0.0.0' is the unspecified address"),
    (osc_out, ["circle", "--host", "256.0.0.1"], "--host '256.0.0.1' is not an IPv4 address"),
    (osc_out, ["circle", "--host", "media_server"], "--host 'media_server' is neither a host name nor an IP address"),
    (osc_out, ["circle", "--path", "trovelin/circle"], "--path 'trovelin/circle' is not an OSC address"),
    (osc_out, ["circle", "--path", "/two words"], "--path '/two words' is not an OSC address"),
    (osc_out, ["circle", "--fps", "nan"], "--bpm and --fps must be positive"),
    (osc_out, ["circle", "--frames", "-1"], "--frames must not be negative"),
])
def test_arguments_are_refused_with_the_reason(example, args, message, capsys):
    with pytest.raises(SystemExit) as stop:
        example.main(args)
    assert stop.value.code == 2
    err = capsys.readouterr().err
    assert f"{example.__name__}.py: error: " in err and message in err, err
