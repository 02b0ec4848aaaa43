"""The live rigs over the loopback interface: what the sACN and OSC examples send, read back by those protocols'
own receivers; the MIDI clock follower fed recorded streams; and how all three refuse bad arguments."""
import math
import os
import random
import re
import signal
import socket
import struct
import subprocess
import sys
import threading
import time

import mido
import pytest
import sacn
from pythonosc import dispatcher as osc_dispatcher
from pythonosc import osc_server
from sacn.messages.data_packet import DataPacket

import trovelin

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(ROOT, "examples")
sys.path.insert(0, EXAMPLES)
import midi_follow  # noqa: E402
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


def free_udp_port():
    """A UDP port on loopback that nothing holds now, for a receiver of this test alone."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


SACN_FRAME = (r"frame (?P<frame>\d+) seq (?P<seq>\d+) time (?P<time>\S+) pip (?P<pip>-?\d+) "
              r"pan [+-]\d+\.\d+ tilt [+-]\d+\.\d+ ch\d+=\d+ ch\d+=\d+ ch\d+=\d+ ch\d+=\d+")


@pytest.mark.parametrize("name, bpm, fps, pan, tilt, address, universe", [
    ("circle", 120, 40, 120, 60, 1, 1), ("figure_eight", 124, 30, 90, 40, 101, 7),
    ("helix", 175, 25, 540, 270, 509, 63999), ("path_torus_knot", 96, 40, 200, 100, 17, 512)])
def test_sacn_receiver_gets_the_motion_at_each_frames_pip(name, bpm, fps, pan, tilt, address, universe):
    packets, availability = [], []
    port = free_udp_port()
    receiver = sacn.sACNreceiver(bind_address="127.0.0.1", bind_port=port)
    receiver.register_listener("universe", packets.append, universe=universe)
    receiver.register_listener("availability", lambda universe, changed: availability.append((universe, changed)))
    receiver.start()
    beat_zero = time.time() - 7.25  # a fixed beat, seven and a quarter seconds ago
    try:
        started = time.time()
        lines = run("sacn_out.py", name, "--bpm", str(bpm), "--fps", str(fps), "--pan", str(pan), "--tilt", str(tilt),
                    "--address", str(address), "--universe", str(universe), "--beat-zero", repr(beat_zero),
                    "--frames", str(FRAMES), "--verbose", "--port", str(port))
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
    sock.bind(("127.0.0.1", 0))  # a port of its own, so that runs side by side do not meet
    sock.settimeout(60.0)
    try:
        lines = run("sacn_out.py", "circle", "--bpm", "30", "--universe", "9", "--priority", "150",
                    "--frames", str(FRAMES), "--verbose", "--port", str(sock.getsockname()[1]))
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


@pytest.mark.skipif(sys.platform == "win32", reason="Ctrl-C cannot be sent to one child process on Windows")
def test_sacn_closes_the_stream_on_ctrl_c():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    sock.settimeout(60.0)
    proc = subprocess.Popen([sys.executable, os.path.join(EXAMPLES, "sacn_out.py"), "helix", "--universe", "4",
                             "--port", str(sock.getsockname()[1])],
                            env=ENV, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        first = [DataPacket.make_data_packet(sock.recv(2048)) for _ in range(3)]
        proc.send_signal(signal.SIGINT)
        out, err = proc.communicate(timeout=10)
        rest = []
        while not (len(rest) >= 3 and all(p.option_StreamTerminated for p in rest[-3:])):
            rest.append(DataPacket.make_data_packet(sock.recv(2048)))
    finally:
        proc.kill()
        sock.close()
    assert proc.returncode == 0 and "Traceback" not in err
    sent = int(re.search(r"^sent (\d+) frames to 127.0.0.1 universe 4; stream closed$", out, re.M).group(1))
    packets = first + rest
    assert len(packets) == sent + 3 and [p.sequence for p in packets] == list(range(sent + 3))
    assert not any(p.option_StreamTerminated for p in packets[:-3])


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
    *[(e, ["no_such_motion"], module_message("no_such_motion")) for e in (sacn_out, osc_out, midi_follow)],
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
    (midi_follow, ["circle", "--osc", "--osc-port", "70000"], "--osc-port 70000 is not a UDP port (1 to 65535)"),
    (midi_follow, ["circle", "--osc", "--host", "0.0.0.0"], "--host '0.0.0.0' is the unspecified address"),
    (midi_follow, ["circle", "--fps", "0"], "--fps must be positive"),
])
def test_arguments_are_refused_with_the_reason(example, args, message, capsys):
    with pytest.raises(SystemExit) as stop:
        example.main(args)
    assert stop.value.code == 2
    err = capsys.readouterr().err
    assert f"{example.__name__}.py: error: " in err and message in err, err


# MIDI clock: recorded streams of (seconds, message), fed to the follower in time order.

def clocks(first, bpm, count, start_tick=0):
    """`count` clock ticks at `bpm`, the first at `first` seconds; ticks numbered from `start_tick`."""
    period = 60.0 / (bpm * 24)
    return [(first + i * period, mido.Message("clock")) for i in range(count)], period


def follow(events, queries):
    """Feeds the events in time order; at each query time, after every event up to it, the pip, tempo and state."""
    follower = midi_follow.ClockFollower()
    events = sorted(events, key=lambda event: event[0])
    seen, i = [], 0
    for q in sorted(queries):
        while i < len(events) and events[i][0] <= q:
            follower.feed(events[i][1], events[i][0])
            i += 1
        seen.append((follower.pip_at(q), follower.bpm, follower.state))
    return seen


def pip_of(ticks):
    """The pip a song position of `ticks` MIDI clock ticks (a whole or fractional number) is in: 64 pips to 24."""
    return math.floor(ticks * 64 / 24)


def test_steady_clock_gives_pips_between_ticks_and_holds_for_a_late_one():
    ticks, period = clocks(10.001, 120, 96)  # four beats
    start = (10.0, mido.Message("start"))
    times = [t for t, _ in ticks]
    at_ticks = follow([start] + ticks, [9.0, 10.0005] + times)
    assert at_ticks[0] == (0, None, "stopped") and at_ticks[1] == (0, None, "waiting")
    assert [pip for pip, _, _ in at_ticks[2:]] == [pip_of(k) for k in range(96)]
    assert at_ticks[2][1] is None and all(bpm == pytest.approx(120, rel=1e-9) for _, bpm, _ in at_ticks[3:])
    # three tenths of the way to the next tick, and past the last one: the position waits for a tick that is late
    between = follow([start] + ticks, [t + 0.3 * period for t in times[1:]] + [times[-1] + 5 * period])
    assert [pip for pip, _, _ in between[:-1]] == [pip_of(k + 0.3) for k in range(1, 96)]
    assert between[-1][0] == pip_of(95 + 63 / 64) < pip_of(96)


def test_tempo_change_is_measured_within_a_beat_and_the_position_never_steps_back():
    slow, slow_period = clocks(0.0, 120, 96)
    fast, _ = clocks(96 * slow_period, 150, 96)
    events = [(-0.001, mido.Message("start"))] + slow + fast
    times = [t for t, _ in slow + fast]
    seen = follow(events, times)
    assert [pip for pip, _, _ in seen] == [pip_of(k) for k in range(192)]
    tempi = [bpm for _, bpm, _ in seen]
    # Tick 96 is the last a 120 BPM interval ends on; up to tick 118 the beat of ticks measured spans the change.
    assert all(bpm == pytest.approx(120, rel=1e-9) for bpm in tempi[1:97])
    assert all(120 < a < b < 150 for a, b in zip(tempi[97:119], tempi[98:119]))
    assert all(bpm == pytest.approx(150, rel=1e-9) for bpm in tempi[119:])
    grid = follow(events, [i * 0.001 for i in range(round(times[-1] * 1000))])
    assert all(a[0] <= b[0] for a, b in zip(grid, grid[1:]))


@pytest.mark.parametrize("clock_while_stopped", [True, False])
def test_stop_freezes_the_position_and_continue_resumes_at_the_next_tick(clock_while_stopped):
    ticks, period = clocks(0.0, 120, 48)
    stop_at = ticks[-1][0] + 0.5 * period
    if clock_while_stopped:  # a master that keeps its clock running, still at 120, and continues between ticks
        idle, _ = clocks(ticks[-1][0] + period, 120, 24)
        resume_bpm, go = 120, idle[-1][0] + 0.5 * period
        more, more_period = clocks(idle[-1][0] + period, 120, 24)
    else:  # a master whose clock stops too, resuming two seconds later at another tempo
        idle, resume_bpm, go = [], 100, stop_at + 2.0
        more, more_period = clocks(go + 0.002, 100, 24)
    events = ([(-0.001, mido.Message("start"))] + ticks + [(stop_at, mido.Message("stop"))] + idle
              + [(go, mido.Message("continue"))] + more)
    frozen = pip_of(47.5)
    stopped = follow(events, [stop_at + 0.0001] + [t + 0.0001 for t, _ in idle] + [go - 0.0001, go + 0.0001])
    states = [(frozen, "stopped")] * (len(stopped) - 1) + [(frozen, "waiting")]  # Continue waits for a tick
    assert [(pip, state) for pip, _, state in stopped] == states
    assert stopped[-1][1] == pytest.approx(120, rel=1e-9)  # the tempo last measured, until ticks come again
    resumed = follow(events, [t for t, _ in more] + [more[-1][0] + 0.3 * more_period])
    assert [pip for pip, _, _ in resumed] == [pip_of(48 + j) for j in range(24)] + [pip_of(71.3)]
    # after a silence the tempo is measured afresh, from the second tick on
    assert resumed[0][1] == (pytest.approx(120, rel=1e-9) if clock_while_stopped else None)
    assert resumed[-1][1:] == (pytest.approx(resume_bpm, rel=1e-9), "running")


def test_song_position_pointer_jumps_stopped_or_running():
    ticks, period = clocks(0.0, 120, 30)
    spp_running = ticks[-1][0] + 0.5 * period  # a jump to bar 5 while playing: 64 sixteenths
    after, _ = clocks(ticks[-1][0] + period, 120, 12)
    stop_at = after[-1][0] + 0.25 * period
    spp_stopped = stop_at + 0.1  # then a jump to beat 9 while stopped, and Continue from there
    more, _ = clocks(spp_stopped + 0.2, 120, 6)
    events = ([(-0.001, mido.Message("start"))] + ticks + [(spp_running, mido.Message("songpos", pos=64))] + after
              + [(stop_at, mido.Message("stop")), (spp_stopped, mido.Message("songpos", pos=32)),
                 (spp_stopped + 0.1, mido.Message("continue"))] + more + [(more[-1][0] + 0.1, mido.Message("start"))])
    seen = follow(events, [spp_running - 0.0001, spp_running + 0.0001] + [t for t, _ in after]
                  + [spp_stopped - 0.01, spp_stopped + 0.01] + [t for t, _ in more] + [more[-1][0] + 0.11])
    assert seen[0][0] == pip_of(29.5 - 0.0001 / period) and seen[1][0] == pip_of(64 * 6) == 1024
    assert [pip for pip, _, _ in seen[2:14]] == [pip_of(384 + j) for j in range(12)]
    assert seen[14][0] == pip_of(395.25) and seen[15][0] == pip_of(32 * 6) == 512
    assert [pip for pip, _, _ in seen[16:22]] == [pip_of(192 + j) for j in range(6)]
    assert seen[22] == (0, pytest.approx(120, rel=1e-9), "waiting")  # Start goes back to the top


def test_jittered_ticks_give_a_steady_tempo_and_the_position_within_a_pip():
    rng = random.Random(20)
    period = 60.0 / (120 * 24)
    times = [5.0 + k * period + rng.uniform(-0.003, 0.003) for k in range(192)]  # eight beats, up to 3 ms off
    events = [(4.99, mido.Message("start"))] + [(t, mido.Message("clock")) for t in times]
    single = [60.0 / (24 * (b - a)) for a, b in zip(times, times[1:])]
    assert max(abs(bpm - 120) for bpm in single) > 15  # tick to tick, the tempo is all over the place
    tempi = [bpm for _, bpm, _ in follow(events, times[24:])]
    assert all(abs(bpm - 120) < 1.5 for bpm in tempi)
    grid = [5.0 + i * 0.005 for i in range(round(191 * period / 0.005))]
    pips = [pip for pip, _, _ in follow(events, grid)]
    assert pips == sorted(pips)
    # From the second beat on, when a beat of ticks is measured, within a pip of where the music is, and on it
    # mostly: anchored on each tick's own arrival, about one frame in five would be a pip off, not one in nine.
    off = [pip - math.floor((t - 5.0) * 128) for t, pip in zip(grid, pips) if t >= 5.5]
    assert max(map(abs, off)) <= 1 and sum(e != 0 for e in off) < 0.15 * len(off)


class RecordedPort:
    """An input port that plays a recorded stream to its callback from a thread in real time, as a driver does."""

    def __init__(self, name, callback, stream):
        self.name, self.closed = name, False
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._play, args=(callback, stream))
        self._thread.start()

    def _play(self, callback, stream):
        begun = time.monotonic()
        for t, message in stream:
            if self._stop.wait(max(0.0, begun + t - time.monotonic())):
                return
            callback(message)

    def close(self):
        self._stop.set()
        self._thread.join()
        self.closed = True


PORTS = ["Desk Clock 20:0", "Drum Machine MIDI 1 24:0"]
MIDI_FRAME = (r"(?P<state>running|waiting|stopped) +pip +(?P<pip>\d+) +beat +\S+ +(?P<bpm>\S+) BPM  "
              r"x (?P<x>\S+) y (?P<y>\S+) z (?P<z>\S+)")


def test_midi_follow_prints_the_motion_at_the_followed_position(monkeypatch, capsys):
    opened = []

    def open_input(name, callback):
        opened.append(RecordedPort(name, callback, [(0.0, mido.Message("start"))] + clocks(0.01, 120, 144)[0]))
        return opened[-1]

    monkeypatch.setattr(mido, "get_input_names", lambda: PORTS)
    monkeypatch.setattr(mido, "open_input", open_input)
    assert midi_follow.main(["figure_eight", "--port", "Drum Machine", "--fps", "20", "--frames", "16"]) == 0
    lines = capsys.readouterr().out.splitlines()
    assert lines[0] == "following 'Drum Machine MIDI 1 24:0': figure_eight, 20 frames a second"
    assert lines[-1] == "stopped after 16 frames" and len(opened) == 1 and opened[0].closed
    frames = [re.fullmatch(MIDI_FRAME, line) for line in lines[1:-1]]
    assert len(frames) == 16 and all(frames), lines
    pips = [int(m["pip"]) for m in frames]
    for m, pip in zip(frames, pips):
        x, y, z = trovelin.figure_eight(pip).as_tuple()
        assert (m["x"], m["y"], m["z"]) == (f"{x:+.6f}", f"{y:+.6f}", f"{z:+.6f}")
    assert pips == sorted(pips)


@pytest.mark.parametrize("wanted, ports, message", [
    ("Sampler", PORTS, "--port 'Sampler' names no input port; the input ports here are: "
                       "'Desk Clock 20:0', 'Drum Machine MIDI 1 24:0'"),
    (":0", PORTS, "--port ':0' names more than one input port; the input ports here are: "
                  "'Desk Clock 20:0', 'Drum Machine MIDI 1 24:0'"),
    ("Sampler", [], "there are no MIDI input ports here"),
    (None, OSError("no sequencer"), "no MIDI system to open ports on here (no sequencer)"),
])
def test_midi_follow_refuses_a_port_that_is_not_there(monkeypatch, capsys, wanted, ports, message):
    def names():
        if isinstance(ports, Exception):
            raise ports
        return ports

    monkeypatch.setattr(mido, "get_input_names", names)
    monkeypatch.setattr(mido, "open_input", lambda *a, **k: pytest.fail("opened a port"))
    with pytest.raises(SystemExit) as stop:
        midi_follow.main(["circle", "--frames", "1"] + (["--port", wanted] if wanted else []))
    said = capsys.readouterr().err + (stop.value.code if isinstance(stop.value.code, str) else "")
    assert message in said and stop.value.code != 0


def midi_system():
    """Why there is no MIDI system to open ports on here, or None where there is one."""
    try:
        mido.get_input_names()
    except Exception as error:  # the backend's own error
        return f"{type(error).__name__}: {error}"
    return None


NO_MIDI = midi_system()


@pytest.mark.skipif(NO_MIDI is not None, reason=f"no MIDI system here, so no real port to follow ({NO_MIDI})")
def test_midi_follow_on_a_real_system_follows_a_virtual_port():
    with mido.open_output("trovelin test clock", virtual=True) as out:
        proc = subprocess.Popen([sys.executable, os.path.join(EXAMPLES, "midi_follow.py"), "circle", "--port",
                                 "trovelin test clock", "--fps", "20", "--frames", "30"], env=ENV,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        out.send(mido.Message("start"))
        while proc.poll() is None:
            out.send(mido.Message("clock"))
            time.sleep(60 / (120 * 24))
        stdout, stderr = proc.communicate(timeout=10)
    assert proc.returncode == 0, stderr
    lines = stdout.splitlines()
    assert "trovelin test clock" in lines[0] and lines[-1] == "stopped after 30 frames"
    frames = [re.fullmatch(MIDI_FRAME, line) for line in lines[1:-1]]
    assert len(frames) == 30 and all(frames) and any(m["state"] == "running" for m in frames)


@pytest.mark.skipif(NO_MIDI is None, reason="there is a MIDI system here")
def test_midi_follow_without_a_midi_system_says_so():
    done = subprocess.run([sys.executable, os.path.join(EXAMPLES, "midi_follow.py"), "circle", "--frames", "1"],
                          env=ENV, capture_output=True, text=True, timeout=60)
    assert done.returncode == 1 and "Traceback" not in done.stderr
    assert "midi_follow.py: no MIDI system to open ports on here" in done.stderr
