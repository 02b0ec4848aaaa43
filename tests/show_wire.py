"""Receivers for the show tests, on loopback ports of their own: raw UDP sockets, and parsers of what arrives
written from the protocols' layouts (not from the code that sends)."""
import os
import socket
import struct

import trovelin

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def command_env():
    """The environment of a `python -m trovelin_show` child: this checkout's package and the module under test
    first. Under the sanitizers the children are pure-Python commands whose leaks would be the interpreter's
    (and matplotlib's threads trip the leak checker at exit), so they are not leak-checked."""
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(
        [os.path.join(ROOT, "src"), os.path.dirname(trovelin.__file__)]
        + [p for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p]))
    if "ASAN_OPTIONS" in env:
        env["ASAN_OPTIONS"] += ":detect_leaks=0"
    return env


def udp_receiver(timeout=30.0):
    """A UDP socket bound to a free loopback port; returns (socket, port)."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    sock.settimeout(timeout)
    return sock, sock.getsockname()[1]


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def parse_artdmx(packet):
    """(sequence, physical, port-address, channels) of an ArtDMX packet; AssertionError if it is not one."""
    assert packet[:8] == b"Art-Net\x00", packet[:8]
    opcode, version = struct.unpack("<H", packet[8:10])[0], struct.unpack(">H", packet[10:12])[0]
    assert (opcode, version) == (0x5000, 14)
    sequence, physical = packet[12], packet[13]
    sub_uni, net = packet[14], packet[15]
    length = struct.unpack(">H", packet[16:18])[0]
    assert len(packet) == 18 + length and length % 2 == 0
    return sequence, physical, (net << 8) | sub_uni, packet[18:]
