"""Steer a moving head's pan and tilt with a motion, frame by frame, as DMX values.

x steers pan and y steers tilt, across a chosen range of degrees around the
fixture's centre. Each angle becomes a 16-bit DMX value on the fixture's full
pan or tilt span, sent as two channels: the coarse byte (value // 256) and the
fine byte (value % 256). Frames are taken at a frame rate and a BPM, each at
the nearest pip. No hardware is needed: frames are printed, or written as CSV.

  python examples/moving_head.py figure_eight --bpm 124 --pan 90 --tilt 40 --beats 2
  python examples/moving_head.py circle --fps 40 --csv frames.csv
"""
import argparse
import csv
import sys

import trovelin

COLUMNS = ["frame", "seconds", "pip", "pan_deg", "tilt_deg", "pan_coarse", "pan_fine", "tilt_coarse", "tilt_fine"]


def dmx16(degrees, span):
    """The 16-bit value for an angle on a fixture whose full travel is `span` degrees, centre at 0."""
    value = round((degrees / span + 0.5) * 65535)
    return min(65535, max(0, value))


def channels(point, pan_range, tilt_range, pan_span, tilt_span):
    """The pan and tilt angles a point steers to, and the four channel bytes that send the fixture there:
    pan coarse, pan fine, tilt coarse, tilt fine."""
    pan, tilt = point.x * pan_range / 2, point.y * tilt_range / 2
    p, t = dmx16(pan, pan_span), dmx16(tilt, tilt_span)
    return pan, tilt, (p >> 8, p & 0xFF, t >> 8, t & 0xFF)


def frames(name, bpm, fps, beats, pan_range, tilt_range, pan_span, tilt_span):
    """One row per frame over `beats` beats: time, pip, angles and the four channel bytes."""
    count = round(beats * 60.0 / bpm * fps)
    for frame in range(count + 1):
        seconds = frame / fps
        pip = round(seconds * bpm / 60.0 * trovelin.PIPS_PER_BEAT)  # the nearest pip
        pan, tilt, bytes4 = channels(trovelin.sample(name, pip), pan_range, tilt_range, pan_span, tilt_span)
        yield [frame, seconds, pip, pan, tilt, *bytes4]


def add_fixture_args(parser):
    """The fixture's ranges, spans and DMX address."""
    parser.add_argument("--pan", type=float, default=120.0, help="pan range in degrees the motion sweeps")
    parser.add_argument("--tilt", type=float, default=60.0, help="tilt range in degrees the motion sweeps")
    parser.add_argument("--pan-span", type=float, default=540.0, help="the fixture's full pan travel")
    parser.add_argument("--tilt-span", type=float, default=270.0, help="the fixture's full tilt travel")
    parser.add_argument("--address", type=int, default=1, help="DMX channel of pan coarse (1 to 509); pan fine, "
                        "tilt coarse and tilt fine follow it")


def check_fixture_args(parser, args):
    if not (0 < args.pan <= args.pan_span and 0 < args.tilt <= args.tilt_span):
        parser.error("the pan and tilt ranges must be positive and within the fixture's spans")
    if not 1 <= args.address <= 509:
        parser.error(f"--address {args.address} is not 1 to 509: the four channels from it must fit "
                     f"the 512 of a universe")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("name", nargs="?", default="figure_eight", help="any default motion")
    parser.add_argument("--bpm", type=float, default=120.0)
    parser.add_argument("--fps", type=float, default=30.0, help="frames a second (DMX refresh)")
    parser.add_argument("--beats", type=float, default=4.0, help="how many beats of frames to make")
    add_fixture_args(parser)
    parser.add_argument("--csv", help="write the frames to this CSV file instead of printing them")
    args = parser.parse_args(argv)
    check_fixture_args(parser, args)
    if args.bpm <= 0 or args.fps <= 0 or args.beats < 0:
        parser.error("--bpm and --fps must be positive and --beats not negative")
    try:
        trovelin.sample(args.name, 0)
    except ValueError as unknown:
        parser.error(str(unknown))

    rows = frames(args.name, args.bpm, args.fps, args.beats, args.pan, args.tilt, args.pan_span, args.tilt_span)
    if args.csv:
        with open(args.csv, "w", newline="") as f:
            out = csv.writer(f)
            out.writerow(COLUMNS)
            n = 0
            for n, row in enumerate(rows, 1):
                out.writerow(row)
        print(f"wrote {n} frames of {args.name} at {args.bpm:g} BPM to {args.csv}")
        return
    a = args.address
    print(f"{args.name} at {args.bpm:g} BPM, {args.fps:g} frames a second; pan ±{args.pan / 2:g}° of "
          f"{args.pan_span:g}°, tilt ±{args.tilt / 2:g}° of {args.tilt_span:g}°; channels {a} to {a + 3}")
    for frame, seconds, pip, pan, tilt, pc, pf, tc, tf in rows:
        print(f"{frame:5d} {seconds:8.3f}s pip {pip:6d}  pan {pan:+8.2f}°  tilt {tilt:+7.2f}°  "
              f"ch{a}={pc:3d} ch{a + 1}={pf:3d} ch{a + 2}={tc:3d} ch{a + 3}={tf:3d}")
    sys.stdout.flush()


if __name__ == "__main__":
    main()
