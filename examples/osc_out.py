"""Send a motion over OSC, live, in time with the music: one message a frame.

Each frame is an OSC message to --path (default /trovelin/NAME) with three
float32 arguments, the motion's x, y and z at the frame's pip, sent over UDP to
--host and --port (default 127.0.0.1:9000), where a media server or a visual
tool maps them onto whatever it moves. The pip is the whole pips since
--beat-zero (a wall-clock time of a beat; the start by default) at --bpm, so
several programs given the same beat zero agree on the beat. It runs for
--frames frames, or until Ctrl-C.

  python examples/osc_out.py circle --bpm 120 --frames 40
  python examples/osc_out.py helix --bpm 128 --host 10.0.0.30 --port 7000 --path /layer1/position

With --verbose every frame is printed with the wall-clock time it was taken at,
its pip and the values sent.
"""
import sys

import trovelin
from live_common import (add_clock_args, add_motion_arg, add_osc_args, check_clock_args, check_motion, make_parser,
                         osc_sender, SendFailures, timed_frames)


def where(args):
    return f"[{args.host}]:{args.osc_port}" if ":" in args.host else f"{args.host}:{args.osc_port}"


def main(argv=None):
    parser = make_parser(__doc__, __file__)
    add_motion_arg(parser)
    add_clock_args(parser, fps=40.0)
    add_osc_args(parser)
    parser.add_argument("--verbose", action="store_true", help="print every frame")
    args = parser.parse_args(argv)
    check_motion(parser, args.name)
    check_clock_args(parser, args)
    osc = osc_sender(parser, args)

    print(f"{args.name} at {args.bpm:g} BPM, {args.fps:g} frames a second, to {where(args)} "
          f"{args.path}", flush=True)
    count = 0
    failed = SendFailures(args.host, "messages")
    try:
        for frame, now, pip in timed_frames(args):
            x, y, z = trovelin.sample(args.name, pip).as_tuple()
            if args.verbose:
                print(f"frame {frame} time {now!r} pip {pip} x {x!r} y {y!r} z {z!r}", flush=True)
            try:
                osc.send(x, y, z)
            except OSError as error:
                failed.note(error)
            count += 1
    except KeyboardInterrupt:
        pass
    finally:
        osc.close()
    print(f"sent {count} frames to {where(args)} {args.path}")
    return failed.report()


if __name__ == "__main__":
    sys.exit(main())
