"""Follow a motion live in the terminal, the way a show controller keeps time.

Wall-clock seconds since a beat origin become pips at the BPM; a frame loop
samples the motion at a frame rate and draws the point on the x-y field over
the dots of its loop, its height z as the character (o low, O, @ high).
Ctrl-C stops it.

  python examples/live_clock.py helix --bpm 128
  python examples/live_clock.py circle --frames 40 --plain     # 40 frames as lines of text

--beat-zero takes the wall-clock time (seconds since the epoch) of beat zero, so
two machines started at different moments stay in step; by default beat zero
is the moment the program starts.
"""
import argparse
import sys

import trovelin
from live_common import add_clock_args, add_motion_arg, check_clock_args, check_motion, timed_frames

WIDTH, HEIGHT = 41, 17
DEPTH = "oO@"


def cell(x, y):
    return round((1 - y) / 2 * (HEIGHT - 1)), round((x + 1) / 2 * (WIDTH - 1))


def loop_cells(name, period):
    """Every cell of the field that the motion's loop passes through."""
    return {cell(*trovelin.sample(name, pip).as_tuple()[:2]) for pip in range(period)}


def field(x, y, z, dims, trace):
    """The x-y field as lines of text, the point on the dots of its loop (a bar for a motion along x only)."""
    row, col = cell(x, y)
    if dims == 1:
        centre = (WIDTH - 1) // 2
        lo, hi = sorted((col, centre))
        return ["|" + "".join("#" if lo <= c <= hi else "-" for c in range(WIDTH)) + "|"]
    mark = DEPTH[min(2, int((z + 1) / 2 * 3))] if dims == 3 else "@"
    lines = []
    for r in range(HEIGHT):
        cells = ["." if (r, c) in trace else "+" if (r, c) == (HEIGHT // 2, WIDTH // 2) else " "
                 for c in range(WIDTH)]
        if r == row:
            cells[col] = mark
        lines.append("|" + "".join(cells) + "|")
    border = "+" + "-" * WIDTH + "+"
    return [border] + lines + [border]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    add_motion_arg(parser, default="helix")
    add_clock_args(parser, fps=30.0)
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--plain", action="store_true", help="a line of text a frame, never redrawn")
    mode.add_argument("--draw", action="store_true", help="redraw the field in place (default on a terminal)")
    args = parser.parse_args(argv)
    entry = check_motion(parser, args.name)
    check_clock_args(parser, args)
    dims, period = entry["dimensions"], entry["period_pips"]
    draw = args.draw or (not args.plain and sys.stdout.isatty())
    trace = loop_cells(args.name, period) if draw and dims > 1 else set()

    done = 0
    if draw:
        sys.stdout.write("\x1b[2J\x1b[?25l")  # clear the screen, hide the cursor
    try:
        for _, _, pip in timed_frames(args):
            x, y, z = trovelin.sample(args.name, pip).as_tuple()
            status = (f"{args.name}  {args.bpm:g} BPM  pip {pip:8d}  beat {pip / trovelin.PIPS_PER_BEAT:9.3f}  "
                      f"loop pip {pip % period:4d}  x {x:+.3f} y {y:+.3f} z {z:+.3f}")
            if draw:
                sys.stdout.write("\x1b[H" + "\n".join(field(x, y, z, dims, trace) + [status, "Ctrl-C to stop"]) + "\n")
            else:
                sys.stdout.write(status + "\n")
            sys.stdout.flush()
            done += 1
    except KeyboardInterrupt:
        pass
    finally:
        if draw:
            sys.stdout.write("\x1b[?25h")
    print(f"stopped after {done} frames")


if __name__ == "__main__":
    main()
