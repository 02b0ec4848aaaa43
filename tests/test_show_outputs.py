"""Outputs and pacing apart from any show: what goes on the wire for given channels, failed sends counted, the
frame schedule under a simulated clock, keys and MIDI port names."""
import errno
import itertools

import pytest
from sacn.messages.data_packet import DataPacket

from show_wire import parse_artdmx, udp_receiver
from trovelin_show.live.keys import actions_of
from trovelin_show.live.midi import MidiPortError, choose_port
from trovelin_show.live.pacing import Schedule, paced
from trovelin_show.outputs.artnet import ArtnetOutput, artdmx, next_sequence
from trovelin_show.outputs.destination import host_problem
from trovelin_show.outputs.osc import OscOutput
from trovelin_show.outputs.sacn import SacnOutput


def frames_of(universes, count):
    """`count` frames over `universes`, every channel different from frame to frame and universe to universe."""
    return [{u: bytes((f * 7 + u * 3 + c) % 256 for c in range(512)) for u in universes} for f in range(count)]


def test_sacn_sends_each_universe_in_sequence_and_ends_every_stream():
    sock, port = udp_receiver()
    frames = frames_of([1, 7], 5)
    try:
        out = SacnOutput("127.0.0.1", port, [1, 7, 9], priority=150, source_name="rig")
        for frame in frames:
            out.send(frame, {})
        out.close()
        out.close()  # a second close sends nothing more
        packets = [DataPacket.make_data_packet(sock.recv(2048)) for _ in range(3 * 8)]
        sock.settimeout(0.2)
        with pytest.raises(OSError):
            sock.recv(2048)
    finally:
        sock.close()
    for u in (1, 7, 9):
        mine = [p for p in packets if p.universe == u]
        assert [p.sequence for p in mine] == list(range(8))
        assert [p.option_StreamTerminated for p in mine] == [False] * 5 + [True] * 3
        expected = [tuple(f[u]) if u in f else (0,) * 512 for f in frames]
        assert [p.dmxData for p in mine[:5]] == expected
    assert {(p.priority, p.sourceName) for p in packets} == {(150, "rig")} and len({p.cid for p in packets}) == 1
    assert out.failures.sent == 24 and out.failures.failed == 0


@pytest.mark.parametrize("offset", [0, -1, 300])
def test_artnet_sends_artdmx_with_sequence_numbers_on_each_port_address(offset):
    sock, port = udp_receiver()
    frames = frames_of([1, 2], 300)  # past 255, so the sequence goes round
    try:
        out = ArtnetOutput("127.0.0.1", port, [1, 2], universe_offset=offset)
        packets = []
        for frame in frames:  # read as it goes: 600 packets would overrun the socket's buffer
            out.send(frame, {})
            packets += [parse_artdmx(sock.recv(1024)) for _ in range(2)]
        out.close()
    finally:
        sock.close()
    for u in (1, 2):
        mine = [p for p in packets if p[2] == u + offset]
        assert [p[0] for p in mine] == [k % 255 + 1 for k in range(300)]
        assert [p[3] for p in mine] == [f[u] for f in frames]


@pytest.mark.parametrize("address, sequence, channels, message", [
    (32768, 1, bytes(512), "port-address 32768 is not 0 to 32767"),
    (-1, 1, bytes(512), "port-address -1 is not 0 to 32767"),
    (0, 1, bytes(3), "an even number of channels, 2 to 512, not 3"),
    (0, 1, bytes(514), "an even number of channels, 2 to 512, not 514"),
])
def test_artdmx_refuses_what_it_cannot_carry(address, sequence, channels, message):
    with pytest.raises(ValueError, match=message):
        artdmx(address, sequence, channels)


def test_artdmx_layout_and_sequence_never_zero():
    sequence, physical, address, channels = parse_artdmx(artdmx(0x1234, 200, bytes(range(6)), physical=3))
    assert (sequence, physical, address, channels) == (200, 3, 0x1234, bytes(range(6)))
    assert 0 not in set(itertools.islice(itertools.accumulate(itertools.repeat(1), lambda s, _: next_sequence(s)),
                                         1000))


class BrokenSocket:
    """Stands for a socket on a network that has gone: every send fails, every second one for a new reason."""

    def __init__(self):
        self.calls = 0

    def sendto(self, data, target):
        self.calls += 1
        raise OSError(errno.ENETUNREACH if self.calls % 2 else errno.EHOSTUNREACH, "down")

    def close(self):
        pass


def test_failed_sends_are_counted_said_once_and_the_output_goes_on(capsys):
    out = ArtnetOutput("127.0.0.1", 6454, [1, 2])
    out._sock.close()
    out._sock = BrokenSocket()
    for frame in frames_of([1, 2], 3):
        out.send(frame, {})
    assert (out.failures.sent, out.failures.failed) == (0, 6)
    assert out._sock.calls == 6
    said = capsys.readouterr().err.splitlines()
    assert said == ["Art-Net 127.0.0.1:6454 universes 1, 2: cannot send (down); still trying"]


def test_osc_sends_each_fixture_to_its_address_as_float32():
    from pythonosc.osc_message import OscMessage
    sock, port = udp_receiver()
    positions = {"a": (0.1, -0.5, 1.0), "b": (1 / 3, 0.0, -1.0)}
    try:
        out = OscOutput("127.0.0.1", port, {"a": "/rig/a", "b": "/layer/2/xyz"})
        out.send({}, positions)
        out.close()
        messages = [OscMessage(sock.recv(1024)) for _ in range(2)]
    finally:
        sock.close()
    import struct
    f32 = lambda v: struct.unpack("<3f", struct.pack("<3f", *v))  # noqa: E731
    assert {(m.address, tuple(m.params)) for m in messages} == {("/rig/a", f32(positions["a"])),
                                                                ("/layer/2/xyz", f32(positions["b"]))}
    assert all(m.dgram.count(b",fff\x00") == 1 for m in messages)


@pytest.mark.parametrize("host, problem", [
    ("", "is empty"), ("0.0.0.0", "is the unspecified address"), ("255.255.255.255", "is the broadcast address"),
    ("300.1.2.3", "is not an IPv4 address"), ("desk 2", "is neither a host name nor an IP address"),
    ("127.0.0.1", None), ("lighting-node.local", None), ("::1", None)])
def test_hosts_as_written(host, problem):
    found = host_problem(host)
    assert (found is None) if problem is None else problem in found


class FakeClock:
    """A monotonic clock that moves only when slept on: each sleep overshoots by `overshoot`, and the sleeps
    numbered in `stalls` (from 1) by that much more, as when the process is not scheduled in time."""

    def __init__(self, overshoot=0.0, stalls=None):
        self.now, self.overshoot, self.stalls, self.sleeps = 1000.0, overshoot, stalls or {}, 0

    def __call__(self):
        return self.now

    def sleep(self, seconds):
        self.sleeps += 1
        self.now += seconds + self.overshoot + self.stalls.get(self.sleeps, 0.0)


def test_frames_go_at_their_slots_and_a_stall_gives_one_late_frame_then_the_schedule():
    clock = FakeClock(stalls={10: 0.2})  # the wait for slot 10 ends eight slots late
    ticks, sent = [], []
    for tick in paced(40.0, count=30, clock=clock, sleep=clock.sleep):
        ticks.append(tick)
        sent.append(clock.now)
        clock.now += 0.001  # the work of a frame
    start = sent[0]
    assert [t.slot for t in ticks[:11]] == list(range(11))
    assert sent[:10] == [start + k / 40 for k in range(10)]
    # Slot 10's frame goes late, as soon as the loop wakes; the next waits for the first slot still to come.
    assert sent[10] == start + 10 / 40 + 0.2
    assert [t.slot for t in ticks[11:]] == list(range(19, 38))
    assert sent[11] == start + 19 / 40
    gaps = [b - a for a, b in zip(sent, sent[1:])]
    assert min(gaps) > 0.5 / 40  # never two frames back to back


def test_the_schedule_counts_slots_from_the_start_and_never_drifts():
    schedule = Schedule(44.0, 12345.678)
    n = 44 * 3600 * 10  # ten hours of slots
    assert schedule.due_s(n) == 12345.678 + n / 44.0
    # A loop whose sleeps always overshoot a little still sends every slot, each within that overshoot.
    clock = FakeClock(overshoot=0.003)
    ticks = list(paced(44.0, count=2000, clock=clock, sleep=clock.sleep))
    assert [t.slot for t in ticks] == list(range(2000))
    assert ticks[-1].due_s == pytest.approx(ticks[0].due_s + 1999 / 44.0, abs=1e-9)


def test_stop_ends_the_frames_at_the_next_wait():
    clock = FakeClock()
    stop = []
    ticks = []
    for tick in paced(30.0, stop=lambda: bool(stop), clock=clock, sleep=clock.sleep):
        ticks.append(tick.frame)
        if tick.frame == 4:
            stop.append(True)
    assert ticks == [0, 1, 2, 3, 4]


@pytest.mark.parametrize("chunk, actions", [
    (" ", ["tap"]), ("tT", ["tap", "tap"]), ("\x1b[C\x1b[D", ["nudge_forward", "nudge_back"]),
    (",.", ["nudge_back", "nudge_forward"]), ("rg\r", ["resync", "go", "go"]), ("xq", ["quit"]),
    ("\x1b[A", []), ("", [])])
def test_keys_become_actions(chunk, actions):
    assert actions_of(chunk) == actions


PORTS = ["Desk Clock 20:0", "Drum Machine MIDI 1 24:0"]


@pytest.mark.parametrize("wanted, names, expected", [
    (None, PORTS, "Desk Clock 20:0"), ("Drum", PORTS, "Drum Machine MIDI 1 24:0"),
    ("Desk Clock 20:0", PORTS, "Desk Clock 20:0"),
    ("Sampler", PORTS, "'Sampler' names no input port; the input ports here are: 'Desk Clock 20:0', "
                       "'Drum Machine MIDI 1 24:0'"),
    (":0", PORTS, "':0' names more than one input port"),
    (None, [], "there are no MIDI input ports here")])
def test_midi_ports_are_chosen_by_name_or_part_of_one(wanted, names, expected):
    if expected in names:
        assert choose_port(wanted, names) == expected
    else:
        with pytest.raises(MidiPortError, match=expected.replace("(", r"\(")):
            choose_port(wanted, names)
