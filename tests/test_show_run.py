"""`trovelin run` and `trovelin render` end to end, on loopback ports of their own: what sACN, Art-Net and OSC
receivers get equals the frames rendered for the same moments; Ctrl-C ends the sACN stream; taps, MIDI clock
and Song Position Pointer drive a live show; render writes what the module's motions give."""
import csv
import os
import re
import signal
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
from show_wire import command_env, free_udp_port, parse_artdmx, udp_receiver
from trovelin_show.frames import Renderer
from trovelin_show.extras import MissingExtra
from trovelin_show.live import midi as live_midi
from trovelin_show.live.runner import LiveShow, RunOptions, play
from trovelin_show.showfile import parse_show, read_show
from trovelin_show.tempo import TempoMap

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FAN = os.path.join(ROOT, "examples", "shows", "fan.toml")
ENV = command_env()
FRAMES = 16
# The last line of a run that sent sACN; on a loaded machine some slots may go by while a frame is late.
SENT = re.compile(r"sent (\d+) frames(?: \(\d+ late slots? skipped\))?; sACN streams ended")


def trovelin_cli(*args, timeout=60):
    done = subprocess.run([sys.executable, "-m", "trovelin_show", *map(str, args)], env=ENV, capture_output=True,
                          text=True, timeout=timeout, stdin=subprocess.DEVNULL)
    assert "Traceback" not in done.stderr, done.stderr
    return done


def fan_to(tmp_path, output):
    """The fan show with `output` (TOML lines) as its only output."""
    text = open(FAN).read()
    start = text.index("[[output]]")
    end = text.index("[[fixture]]")
    path = tmp_path / "fan.toml"
    path.write_text(text[:start] + "[[output]]\n" + output + "\n\n" + text[end:])
    return str(path)


def logged(path):
    with open(path) as log:
        return [(int(r["frame"]), int(r["slot"]), float(r["time_s"]), float(r["pip"])) for r in csv.DictReader(log)]


def expected_frames(show_path, log):
    """The frames rendered for each logged frame's moment: its pip is the pip of its time since beat 0 at the
    show's tempo, and its channels and positions the renderer's at that pip."""
    show = read_show(show_path).show
    tempo = TempoMap.from_beat_zero(show.clock.bpm, 0.0)
    renderer = Renderer(show)
    assert [frame for frame, _, _, _ in log] == list(range(len(log)))
    assert all(tempo.pip_at(time_s) == pip for _, _, time_s, pip in log)
    return [renderer.frame(pip) for _, _, _, pip in log]


def test_sacn_receiver_gets_the_rendered_frames_and_the_stream_ends(tmp_path):
    port = free_udp_port()
    show = fan_to(tmp_path, f'protocol = "sacn"\nhost = "127.0.0.1"\nport = {port}\nuniverses = [1]\npriority = 150')
    packets, availability = [], []
    receiver = sacn.sACNreceiver(bind_address="127.0.0.1", bind_port=port)
    receiver.register_listener("universe", packets.append, universe=1)
    receiver.register_listener("availability", lambda universe, changed: availability.append((universe, changed)))
    receiver.start()
    try:
        done = trovelin_cli("run", show, "--frames", FRAMES, "--quiet", "--log", tmp_path / "log.csv")
        deadline = time.monotonic() + 10
        while not (len(packets) >= FRAMES and (1, "timeout") in availability) and time.monotonic() < deadline:
            time.sleep(0.02)
    finally:
        receiver.stop()
    assert done.returncode == 0, done.stderr
    assert SENT.fullmatch(done.stdout.splitlines()[-1])[1] == str(FRAMES)
    expected = expected_frames(show, logged(tmp_path / "log.csv"))
    # The receiver passes on a packet whose channels differ from the last; every frame of the fan moves.
    assert [p.dmxData for p in packets] == [tuple(f.universes[1]) for f in expected]
    assert [p.sequence for p in packets] == list(range(FRAMES))
    assert {(p.priority, p.sourceName) for p in packets} == {(150, "trovelin fan")}
    assert availability[0] == (1, "available") and (1, "timeout") in availability


def test_artnet_node_gets_the_rendered_frames_in_sequence(tmp_path):
    sock, port = udp_receiver()
    show = fan_to(tmp_path, f'protocol = "artnet"\nhost = "127.0.0.1"\nport = {port}\nuniverses = [1]\n'
                            'universe_offset = -1')
    try:
        done = trovelin_cli("run", show, "--frames", FRAMES, "--quiet", "--log", tmp_path / "log.csv")
        packets = [parse_artdmx(sock.recv(1024)) for _ in range(FRAMES)]
    finally:
        sock.close()
    assert done.returncode == 0, done.stderr
    expected = expected_frames(show, logged(tmp_path / "log.csv"))
    assert [(seq, address, data) for seq, _, address, data in packets] == [
        (k + 1, 0, f.universes[1]) for k, f in enumerate(expected)]


def float32(values):
    return struct.unpack("<3f", struct.pack("<3f", *values))


def test_osc_server_gets_each_heads_rendered_position_as_float32(tmp_path):
    messages = []
    dispatcher = osc_dispatcher.Dispatcher()
    dispatcher.set_default_handler(lambda address, *values: messages.append((address, values)))
    server = osc_server.BlockingOSCUDPServer(("127.0.0.1", 0), dispatcher)
    serving = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.05})
    serving.start()
    show = fan_to(tmp_path, f'protocol = "osc"\nhost = "127.0.0.1"\nport = {server.server_address[1]}\n'
                            'address = "/rig/{fixture}"')
    try:
        done = trovelin_cli("run", show, "--frames", FRAMES, "--quiet", "--log", tmp_path / "log.csv")
        deadline = time.monotonic() + 10
        while len(messages) < 4 * FRAMES and time.monotonic() < deadline:
            time.sleep(0.02)
    finally:
        server.shutdown()
        server.server_close()
        serving.join()
    assert done.returncode == 0, done.stderr
    expected = expected_frames(show, logged(tmp_path / "log.csv"))
    assert messages == [(f"/rig/head{k}", float32(frame.positions[f"head{k}"]))
                        for frame in expected for k in range(1, 5)]


def test_a_fixed_beat_zero_puts_every_frame_on_the_same_timeline(tmp_path):
    """Two runs given the same beat zero agree: each frame's pip is its Unix time since beat zero, at the
    show's tempo (to within the run's own reading of the clocks)."""
    sock, port = udp_receiver()
    beat_zero = time.time() - 30.0  # bar 16 or so, at 124 BPM
    try:
        before = time.time()
        done = trovelin_cli("run", FAN, "--to", f"artnet:127.0.0.1:{port}", "--frames", 4, "--quiet",
                            "--beat-zero", repr(beat_zero), "--log", tmp_path / "log.csv")
        after = time.time()
        for _ in range(4):
            parse_artdmx(sock.recv(1024))
    finally:
        sock.close()
    assert done.returncode == 0, done.stderr
    for _, _, time_s, pip in logged(tmp_path / "log.csv"):
        assert before - beat_zero <= time_s <= after - beat_zero
        assert pip == TempoMap.from_beat_zero(124.0, 0.0).pip_at(time_s)


@pytest.mark.skipif(sys.platform == "win32", reason="Ctrl-C cannot be sent to one child process on Windows")
def test_ctrl_c_ends_the_sacn_stream(tmp_path):
    sock, port = udp_receiver()
    proc = subprocess.Popen([sys.executable, "-m", "trovelin_show", "run", FAN, "--to", f"sacn:127.0.0.1:{port}",
                             "--quiet"], env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    try:
        packets = [DataPacket.make_data_packet(sock.recv(2048)) for _ in range(3)]
        proc.send_signal(signal.SIGINT)
        out, err = proc.communicate(timeout=20)
        while not (len(packets) >= 6 and all(p.option_StreamTerminated for p in packets[-3:])):
            packets.append(DataPacket.make_data_packet(sock.recv(2048)))
    finally:
        proc.kill()
        sock.close()
    assert proc.returncode == 0 and "Traceback" not in err, err
    sent = int(SENT.fullmatch(out.splitlines()[-1])[1])
    assert len(packets) == sent + 3 and [p.sequence for p in packets] == list(range(sent + 3))
    assert not any(p.option_StreamTerminated for p in packets[:-3])


@pytest.mark.parametrize("args, message", [
    (["--fps", "0"], "--fps must be more than 0"),
    (["--to", "dmx"], "--to 'dmx': the protocol is one of sacn, artnet, osc"),
    (["--to", "osc:127.0.0.1:99999"], "--to 'osc:127.0.0.1:99999': the port is 1 to 65535"),
    (["--to", "sacn:no.such.host.invalid"], "output sacn no.such.host.invalid:5568: 'no.such.host.invalid' cannot "
                                            "be resolved"),
    (["--midi-port", "Clock"], "--midi-port: this show's clock does not follow MIDI"),
])
def test_run_refuses_what_it_cannot_do_before_sending(args, message):
    done = trovelin_cli("run", FAN, "--frames", "1", *args)
    assert done.returncode == 2 and message in done.stderr, done.stderr


def test_render_writes_the_fan_computed_from_the_module(tmp_path):
    """At 120 BPM and 32 frames a second each frame is on a whole pip (4 pips a frame), where the show's value is
    the module's own: each head is a quarter loop behind the one before, pan and tilt on 16 bits over 540 and
    270 degrees."""
    show = tmp_path / "fan.toml"
    show.write_text(open(FAN).read().replace("bpm = 124.0", "bpm = 120.0"))
    done = trovelin_cli("render", show, "--seconds", 3, "--fps", 32, "-o", tmp_path / "fan.csv")
    assert done.returncode == 0, done.stderr
    with open(tmp_path / "fan.csv") as rendered:
        rows = list(csv.reader(rendered))
    assert rows[0] == ["time_s", "beat", "universe"] + [f"ch{c}" for c in range(1, 513)]
    assert len(rows) == 1 + 96
    period = next(e["period_pips"] for e in trovelin.catalogue() if e["name"] == "figure_eight")
    assert period % 4 == 0
    for n, row in enumerate(rows[1:]):
        assert (float(row[0]), float(row[1]), row[2]) == (n / 32, n * 4 / 64, "1")
        channels = [int(v) for v in row[3:]]
        expected = [0] * 512
        for k in range(4):
            x, y, _ = trovelin.figure_eight(4 * n - k * period // 4).as_tuple()
            pan = round((x * 270 / 540 + 0.5) * 65535)
            tilt = round((y * 135 / 270 + 0.5) * 65535)
            expected[16 * k:16 * k + 4] = [pan >> 8, pan & 255, tilt >> 8, tilt & 255]
        assert channels == expected, n


def test_render_plots_pan_and_tilt_when_asked(tmp_path):
    pytest.importorskip("matplotlib")
    done = trovelin_cli("render", FAN, "--seconds", 2, "-o", tmp_path / "fan.csv", "--plot", tmp_path / "fan.png")
    assert done.returncode == 0, done.stderr
    assert (tmp_path / "fan.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


@pytest.mark.parametrize("option", ["-o", "--plot"])
def test_render_says_which_file_it_cannot_write(tmp_path, option):
    if option == "--plot":
        pytest.importorskip("matplotlib")
    args = {"-o": tmp_path / "fan.csv", option: tmp_path / "no such folder" / "x"}
    done = trovelin_cli("render", FAN, "--seconds", 1, *(v for k, path in args.items() for v in (k, path)))
    assert done.returncode == 2
    assert done.stderr == f"trovelin render: cannot write {args[option]} (No such file or directory)\n"


def test_a_file_a_command_cannot_write_is_said_without_a_traceback(tmp_path):
    pytest.importorskip("matplotlib")
    sheet = tmp_path / "no such folder" / "sheet.png"
    done = trovelin_cli("preview", "circle", "-o", sheet)
    assert (done.returncode, done.stderr) == (2, f"trovelin preview: {sheet}: No such file or directory\n")


# Live input, simulated: taps, nudges, resync and go as keys with their times; a MIDI clock as mido messages.

TAP_SHOW = """
[clock]
source = "{source}"
bpm = 100.0

[[output]]
protocol = "osc"

[[fixture]]
name = "a"
address = 1

[[group]]
name = "all"
fixtures = ["a"]

[[cue]]
bar = 1
motion = "circle"

[[cue]]
motion = "home"
"""


def live_show(source="tap", beat_zero_s=10.0):
    return LiveShow(parse_show(TAP_SHOW.format(source=source)), beat_zero_s)


def test_taps_set_the_tempo_and_put_the_last_tap_on_a_beat():
    live = live_show()
    said = [live.apply("tap", 20.0 + 0.5 * k + (0.004 if k % 2 else -0.004)) for k in range(8)]
    assert said[0] == "tap: one more" and said[-1].startswith("tap: 1")
    assert live.engine.tempo.bpm == pytest.approx(120.0, abs=1.0)
    last = 20.0 + 3.5 + 0.004
    assert live.engine.pip_at(last) % 64 == pytest.approx(0.0, abs=1e-6)


@pytest.mark.parametrize("source, action, effect", [
    ("fixed", "tap", "tap: the tempo comes from the show"),
    ("tap", "nudge_forward", "nudge +1/16 beat"),
    ("tap", "nudge_back", "nudge -1/16 beat"),
    ("tap", "resync", "resync: the next beat starts a bar"),
    ("midi", "nudge_forward", "nudge: the MIDI clock sets the phase"),
])
def test_keys_move_the_phase_or_say_why_not(source, action, effect):
    live = live_show(source)
    before = live.engine.pip_at(15.3)
    assert live.apply(action, 15.3) == effect
    moved = live.engine.pip_at(15.3) - before
    expected = {"nudge +1/16 beat": 4.0, "nudge -1/16 beat": -4.0}.get(effect, 0.0)
    if effect.startswith("resync"):  # 15.3 s is beat 8.8 at 100 BPM: beat 9 becomes the first of bar 4
        expected = 64 * 3
    assert moved == pytest.approx(expected)


def test_go_starts_the_waiting_cue_and_the_status_line_shows_it():
    live = live_show()
    assert "all: circle (cue 1)" in live.status(12.0, live.engine.pip_at(12.0), 0)
    assert live.apply("go", 12.0) == "go: all home"
    assert live.apply("go", 12.5) == "go: every cue has started"
    assert "all: home (cue 2)" in live.status(12.5, live.engine.pip_at(12.5), 0)


class FakeClock:
    def __init__(self):
        self.now = 100.0

    def __call__(self):
        return self.now

    def sleep(self, seconds):
        self.now += seconds


def test_keys_pressed_during_a_run_reach_the_engine_at_their_own_times():
    live = live_show(beat_zero_s=None)
    clock = FakeClock()
    pending = {3: [("tap", 100.05), ("tap", 100.55)], 5: [("tap", 101.05)], 7: [("go", 101.1), ("quit", 101.1)]}
    frames = []

    class Recorder:
        label, failures = "recorder", type("F", (), {"failed": 0})()

        def send(self, universes, positions):
            frames.append(positions["a"])

        def close(self):
            pass

    tally = play(live, [Recorder()], RunOptions(fps=5.0), stop=lambda: False,
                 keys=lambda: pending.pop(len(frames), []), say=lambda text: None, status=lambda text: None,
                 clock=clock, sleep=clock.sleep)
    assert tally.frames == 7 and len(frames) == 7  # q stopped it before the eighth
    assert live.engine.tempo.bpm == pytest.approx(120.0)
    assert live.engine.started == {1: pytest.approx(live.engine.pip_at(101.1))}


def clocks(first, bpm, count):
    period = 60.0 / (bpm * 24)
    return [(first + i * period, mido.Message("clock")) for i in range(count)]


def test_a_midi_clock_and_its_song_position_pointer_drive_the_show(monkeypatch):
    """Messages arrive through the port's callback, stamped by the clock as they come."""
    live = live_show("midi")
    now = [0.0]
    opened = {}

    def open_input(name, callback):
        opened["port"], opened["callback"] = name, callback
        return type("Port", (), {"name": name, "close": lambda self: None})()

    monkeypatch.setattr(mido, "get_input_names", lambda: ["Desk Clock 20:0", "Drum Machine 24:0"])
    monkeypatch.setattr(mido, "open_input", open_input)
    live_midi.open_clock_input("Drum", live.heard, clock=lambda: now[0])
    assert opened["port"] == "Drum Machine 24:0"

    def play_messages(stream):
        for t, message in stream:
            now[0] = t
            opened["callback"](message)

    play_messages([(0.0, mido.Message("start"))] + clocks(0.001, 120, 48) + [(0.2, mido.Message("note_on"))])
    tick = 60.0 / (120 * 24)
    assert live.engine.midi_clock.bpm == pytest.approx(120.0)
    assert live.engine.pip_at(0.001 + 47 * tick) == pytest.approx(47 * 64 / 24)
    # A jump to bar 5 (64 sixteenths): the show goes on from beat 16.
    play_messages([(0.5, mido.Message("songpos", pos=64))] + clocks(0.51, 120, 3))
    assert live.engine.pip_at(0.51 + 2 * tick) == pytest.approx(16 * 64 + 2 * 64 / 24)
    assert " | 5.1 | " in live.status(0.6, live.engine.pip_at(0.6), 0)
    play_messages([(0.7, mido.Message("stop"))])
    assert live.engine.midi_clock.state == "stopped"


@pytest.mark.parametrize("failure, refusal, said", [
    (ModuleNotFoundError("No module named 'rtmidi'", name="rtmidi"), MissingExtra,
     "following a MIDI clock needs the package 'python-rtmidi', which is not installed: pip install 'trovelin[live]'"),
    (OSError("cannot open the sequencer"), live_midi.MidiPortError,
     "no MIDI system to open ports on here (cannot open the sequencer)"),
])
def test_a_midi_clock_without_a_midi_system_says_what_is_missing(monkeypatch, failure, refusal, said):
    def names():
        raise failure

    monkeypatch.setattr(mido, "get_input_names", names)
    with pytest.raises(refusal) as caught:
        live_midi.open_clock_input(None, lambda message, time_s: None)
    assert str(caught.value) == said
