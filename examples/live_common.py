"""What the live examples share: their arguments, wall-clock pips, the frame loop and the checks of a destination.

Only the module is needed here; the network and MIDI libraries are imported by the examples that use them,
through `need`, which says how to install them when they are missing.
"""
import argparse
import importlib
import ipaddress
import math
import os
import re
import signal
import socket
import sys
import threading
import time

import trovelin

PIP_RANGE = (-2 ** 31, 2 ** 31 - 1)  # pips are signed 32-bit
HOST_NAME = re.compile(r"(?!-)[A-Za-z0-9-]{1,63}(?<!-)(\.(?!-)[A-Za-z0-9-]{1,63}(?<!-))*\.?")


def need(module, package):
    """Import a library of the live extra, or stop and say how to install it."""
    try:
        return importlib.import_module(module)
    except ImportError:
        sys.exit(f"{os.path.basename(sys.argv[0])}: this needs {package} (pip install '.[live]')")


def make_parser(doc, file):
    """An argument parser named after the example's file, its docstring as the help."""
    return argparse.ArgumentParser(prog=os.path.basename(file), description=doc,
                                   formatter_class=argparse.RawDescriptionHelpFormatter)


def pip_at(now, beat_zero, bpm):
    """Whole pips from beat zero to `now` (both wall-clock seconds since the epoch) at `bpm`."""
    return math.floor((now - beat_zero) * bpm / 60.0 * trovelin.PIPS_PER_BEAT)


def add_motion_arg(parser, default=None):
    if default is None:
        parser.add_argument("name", help="any default motion")
    else:
        parser.add_argument("name", nargs="?", default=default, help="any default motion")


def check_motion(parser, name):
    """The catalogue entry of a default motion; an unknown name stops with the module's own message."""
    try:
        trovelin.sample(name, 0)
    except ValueError as unknown:
        parser.error(str(unknown))
    return next(entry for entry in trovelin.catalogue() if entry["name"] == name)


def add_frame_args(parser, fps):
    parser.add_argument("--fps", type=float, default=fps, help=f"frames a second (default {fps:g})")
    parser.add_argument("--frames", type=int, help="stop after this many frames (default: run until Ctrl-C)")


def add_clock_args(parser, fps):
    parser.add_argument("--bpm", type=float, default=120.0)
    add_frame_args(parser, fps)
    parser.add_argument("--beat-zero", type=float,
                        help="wall-clock time of a beat, in seconds since the epoch, so that programs started at "
                             "different moments agree on the beat (default: the moment this one starts)")


def check_frame_args(parser, args):
    if not (0 < args.fps < math.inf):
        parser.error("--fps must be positive")
    if args.frames is not None and args.frames < 0:
        parser.error("--frames must not be negative")


def check_clock_args(parser, args):
    """Refuses a tempo, frame rate or beat zero that cannot give pips."""
    if not (0 < args.bpm < math.inf and 0 < args.fps < math.inf):
        parser.error("--bpm and --fps must be positive")
    check_frame_args(parser, args)
    if args.beat_zero is None:
        return
    if not math.isfinite(args.beat_zero):
        parser.error("--beat-zero must be a time in seconds since the epoch")
    if not PIP_RANGE[0] <= pip_at(time.time(), args.beat_zero, args.bpm) <= PIP_RANGE[1]:
        days = PIP_RANGE[1] / (args.bpm / 60.0 * trovelin.PIPS_PER_BEAT) / 86400.0
        parser.error(f"--beat-zero is too far from now: at {args.bpm:g} BPM pips count only {days:.0f} days "
                     f"either side of beat zero")


def frames(fps, count=None):
    """Frame numbers from 0, each at its slot of 1/fps seconds on the monotonic clock: `count` of them, or as
    many as the caller takes. A loop that falls more than a frame behind skips the slots it missed rather than
    sending them late in a burst. Ctrl-C ends the frames at the next slot, so the frame in hand is always
    finished (sent and counted) before the program stops."""
    stop = []
    previous = None
    if threading.current_thread() is threading.main_thread():
        previous = signal.signal(signal.SIGINT, lambda *_: stop.append(True))
    try:
        started = time.monotonic()
        frame = slot = 0
        while (count is None or frame < count) and not stop:
            if frame:
                slot += 1
                late = time.monotonic() - (started + slot / fps)
                if late > 1.0 / fps:
                    slot += math.floor(late * fps)
                time.sleep(max(0.0, started + slot / fps - time.monotonic()))
                if stop:
                    break
            yield frame
            frame += 1
    finally:
        if previous is not None:
            signal.signal(signal.SIGINT, previous)


class SendFailures:
    """Sends that failed, by reason: a network that goes away mid-show is said once, at its first failure, and
    the sender keeps sending; the tally is given at the end."""

    def __init__(self, target, unit):
        self.target, self.unit, self.counts = target, unit, {}

    def note(self, error):
        if error.strerror not in self.counts:
            print(f"cannot send to {self.target}: {error.strerror}; still trying", file=sys.stderr, flush=True)
        self.counts[error.strerror] = self.counts.get(error.strerror, 0) + 1

    def report(self):
        """The exit status: 1, after saying what failed, if anything did."""
        if not self.counts:
            return 0
        print("could not send " + ", ".join(f"{n} {self.unit} ({why})" for why, n in self.counts.items()),
              file=sys.stderr)
        return 1


def timed_frames(args):
    """(frame, now, pip) for each frame of the run: the wall-clock time it is taken at and the pip the music is
    in then. Without --beat-zero, beat zero is the first frame."""
    for frame in frames(args.fps, args.frames):
        now = time.time()
        if args.beat_zero is None:
            args.beat_zero = now
        yield frame, now, pip_at(now, args.beat_zero, args.bpm)


def address_of(host, family=socket.AF_UNSPEC):
    """The IP address `host` names (an address or a host name), or ValueError saying what is wrong with it."""
    if not host:
        raise ValueError("is empty")
    try:
        return ipaddress.ip_address(host)
    except ValueError:
        pass
    if re.fullmatch(r"[0-9.]+", host):
        raise ValueError(f"{host!r} is not an IPv4 address")
    if not HOST_NAME.fullmatch(host):
        raise ValueError(f"{host!r} is neither a host name nor an IP address")
    try:
        found = socket.getaddrinfo(host, None, family, socket.SOCK_DGRAM)
    except socket.gaierror as error:
        raise ValueError(f"{host!r} cannot be resolved ({error.strerror})") from None
    return ipaddress.ip_address(found[0][4][0])


def check_port(parser, flag, port):
    if not 1 <= port <= 65535:
        parser.error(f"{flag} {port} is not a UDP port (1 to 65535)")


def check_destination(host, port, *, family=socket.AF_UNSPEC, multicast=True):
    """The address to send UDP datagrams for `host` to, checked as far as can be done without sending anything:
    a host that resolves, not the unspecified or the broadcast address (nor a multicast group unless allowed),
    and a route to it. Raises ValueError with the reason."""
    address = address_of(host, family)
    if family == socket.AF_INET and address.version != 4:
        raise ValueError(f"{host!r} is not an IPv4 address")
    if address.is_unspecified:
        raise ValueError(f"{host!r} is the unspecified address, which names no receiver")
    if address == ipaddress.ip_address("255.255.255.255"):
        raise ValueError(f"{host!r} is the broadcast address; name a receiver")
    if address.is_multicast and not multicast:
        raise ValueError(f"{host!r} is a multicast group")
    # Connecting a UDP socket looks up the route and sends nothing.
    probe = socket.socket(socket.AF_INET6 if address.version == 6 else socket.AF_INET, socket.SOCK_DGRAM)
    try:
        probe.connect((str(address), port))
    except OSError as error:
        raise ValueError(f"{host!r} cannot be reached from here ({error.strerror})") from None
    finally:
        probe.close()
    return str(address)


def add_osc_args(parser, port_flag="--port"):
    parser.add_argument("--host", default="127.0.0.1", help="where the OSC messages go (default 127.0.0.1)")
    parser.add_argument(port_flag, dest="osc_port", type=int, default=9000, help="their UDP port (default 9000)")
    parser.add_argument("--path", help="their OSC address (default /trovelin/NAME)")


class OscSender:
    """Sends x, y and z as one OSC message of three float32 arguments a frame."""

    def __init__(self, host, port, path):
        self._builder = need("pythonosc.osc_message_builder", "python-osc").OscMessageBuilder
        self._client = need("pythonosc.udp_client", "python-osc").UDPClient(host, port)
        self.path = path

    def send(self, x, y, z):
        message = self._builder(address=self.path)
        for value in (x, y, z):
            message.add_arg(value, self._builder.ARG_TYPE_FLOAT)
        self._client.send(message.build())

    def close(self):
        self._client.close()


def osc_sender(parser, args, port_flag="--port"):
    """The OscSender for the OSC arguments, once they are checked."""
    if args.path is None:
        args.path = f"/trovelin/{args.name}"
    if not args.path.startswith("/") or re.search(r"[\s#,]", args.path):
        parser.error(f"--path {args.path!r} is not an OSC address: it starts with / and has no spaces, # or commas")
    check_port(parser, port_flag, args.osc_port)
    try:
        address = check_destination(args.host, args.osc_port)
    except ValueError as wrong:
        parser.error(f"--host {wrong}")
    return OscSender(address, args.osc_port, args.path)
