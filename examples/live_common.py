"""What the live clock example uses: its arguments, wall-clock pips and the frame loop.

Shows on the wire (sACN, Art-Net, OSC, a MIDI clock) are the `trovelin run` command's: see the README.
"""
import math
import signal
import threading
import time

import trovelin

PIP_RANGE = (-2 ** 31, 2 ** 31 - 1)  # pips are signed 32-bit


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


def timed_frames(args):
    """(frame, now, pip) for each frame of the run: the wall-clock time it is taken at and the pip the music is
    in then. Without --beat-zero, beat zero is the first frame."""
    for frame in frames(args.fps, args.frames):
        now = time.time()
        if args.beat_zero is None:
            args.beat_zero = now
        yield frame, now, pip_at(now, args.beat_zero, args.bpm)
