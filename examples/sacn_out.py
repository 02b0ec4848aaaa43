"""Steer a moving head with a motion over sACN (E1.31), live, in time with the music.

x steers pan and y steers tilt as examples/moving_head.py maps them: each angle,
within --pan and --tilt degrees around the fixture's centre, becomes a 16-bit
value on its full span, sent as four channels from --address: pan coarse, pan
fine, tilt coarse, tilt fine, in a universe of 512 channels whose others stay 0.
The pip of each frame is the whole pips since --beat-zero (a wall-clock time of
a beat; the start by default) at --bpm, so several programs given the same beat
zero agree on the beat. Every frame is one packet, unicast to --dest or
multicast to the universe's group; the stream ends (after --frames, or on
Ctrl-C) with three stream-terminated packets, so receivers let go of the
universe at once instead of holding the last look until they time out.

  python examples/sacn_out.py circle --bpm 120 --frames 40
  python examples/sacn_out.py figure_eight --bpm 124 --universe 3 --address 101 --multicast
  python examples/sacn_out.py helix --bpm 128 --beat-zero "$(date +%s)" --dest 10.0.0.20 --verbose

With --verbose every frame is printed with the sequence number of its packet,
the wall-clock time it was taken at, its pip and its channels.
"""
import ipaddress
import socket
import sys
import uuid

import trovelin
from live_common import (add_clock_args, add_motion_arg, check_clock_args, check_destination, check_motion,
                         make_parser, need, SendFailures, timed_frames)
from moving_head import add_fixture_args, channels, check_fixture_args

SACN_PORT = 5568  # every E1.31 receiver listens here
TERMINATING_PACKETS = 3


def open_stream(args):
    """The data packet of the stream, the socket and the address it goes to."""
    data_packet = need("sacn.messages.data_packet", "sacn")
    source = f"trovelin {args.name}".encode()[:63].decode(errors="ignore")
    packet = data_packet.DataPacket(cid=tuple(uuid.uuid4().bytes), sourceName=source, universe=args.universe,
                                    priority=args.priority)
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    if args.multicast:
        sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, args.ttl)
        if args.interface:
            try:
                sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(args.interface))
            except OSError as error:
                sock.close()
                raise ValueError(f"--interface {args.interface!r} is not an address of this machine "
                                 f"({error.strerror})") from None
        return packet, sock, packet.calculate_multicast_addr()
    return packet, sock, args.dest


def main(argv=None):
    parser = make_parser(__doc__, __file__)
    add_motion_arg(parser)
    add_clock_args(parser, fps=40.0)
    add_fixture_args(parser)
    parser.add_argument("--universe", type=int, default=1, help="sACN universe, 1 to 63999 (default 1)")
    parser.add_argument("--priority", type=int, default=100, help="sACN priority, 0 to 200 (default 100)")
    to = parser.add_mutually_exclusive_group()
    to.add_argument("--dest", default="127.0.0.1", help="the receiver to unicast to (default 127.0.0.1)")
    to.add_argument("--multicast", action="store_true", help="send to the universe's multicast group instead")
    parser.add_argument("--port", type=int, default=SACN_PORT,
                        help=f"UDP port of the receiver (default {SACN_PORT}, where every sACN receiver listens)")
    parser.add_argument("--ttl", type=int, default=8, help="hops a multicast packet may take (default 8)")
    parser.add_argument("--interface", help="with --multicast: the local IPv4 address of the network to send on")
    parser.add_argument("--verbose", action="store_true", help="print every frame")
    args = parser.parse_args(argv)
    check_motion(parser, args.name)
    check_clock_args(parser, args)
    check_fixture_args(parser, args)
    if not 1 <= args.universe <= 63999:
        parser.error(f"--universe {args.universe} is not 1 to 63999")
    if not 0 <= args.priority <= 200:
        parser.error(f"--priority {args.priority} is not 0 to 200")
    if not 1 <= args.port <= 65535:
        parser.error(f"--port {args.port} is not 1 to 65535")
    if not 0 <= args.ttl <= 255:
        parser.error(f"--ttl {args.ttl} is not 0 to 255")
    if args.interface is not None and not args.multicast:
        parser.error("--interface chooses the network for --multicast")
    if not args.multicast:
        try:
            args.dest = check_destination(args.dest, args.port, family=socket.AF_INET, multicast=False)
        except ValueError as wrong:
            hint = "; --multicast sends to the universe's group" if "multicast" in str(wrong) else ""
            parser.error(f"--dest {wrong}{hint}")
    elif args.interface is not None:
        try:
            ipaddress.IPv4Address(args.interface)
        except ValueError:
            parser.error(f"--interface {args.interface!r} is not an IPv4 address")

    try:
        packet, sock, target = open_stream(args)
    except ValueError as wrong:
        parser.error(str(wrong))
    a = args.address
    slots = [0] * (a + 3)
    print(f"{args.name} at {args.bpm:g} BPM, {args.fps:g} frames a second, to {target} universe {args.universe}, "
          f"channels {a} to {a + 3} (pan ±{args.pan / 2:g}° of {args.pan_span:g}°, "
          f"tilt ±{args.tilt / 2:g}° of {args.tilt_span:g}°)", flush=True)
    failed = SendFailures(target, "packets")

    def send():
        try:
            sock.sendto(bytes(packet.getBytes()), (target, args.port))
        except OSError as error:
            failed.note(error)
        packet.sequence_increase()

    count = 0
    try:
        for frame, now, pip in timed_frames(args):
            pan, tilt, four = channels(trovelin.sample(args.name, pip), args.pan, args.tilt, args.pan_span,
                                       args.tilt_span)
            slots[a - 1:a + 3] = four
            packet.dmxData = tuple(slots)
            if args.verbose:
                print(f"frame {frame} seq {packet.sequence} time {now!r} pip {pip} pan {pan:+.3f} tilt {tilt:+.3f} "
                      + " ".join(f"ch{a + i}={v}" for i, v in enumerate(four)), flush=True)
            send()
            count += 1
    except KeyboardInterrupt:
        pass
    finally:
        packet.option_StreamTerminated = True
        for _ in range(TERMINATING_PACKETS):
            send()
        sock.close()
    print(f"sent {count} frames to {target} universe {args.universe}; stream closed")
    return failed.report()


if __name__ == "__main__":
    sys.exit(main())
