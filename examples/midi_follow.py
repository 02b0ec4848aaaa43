"""Follow a MIDI clock from an input port: the motion at the position the music is at, frame by frame.

A drum machine, a DAW or a DJ mixer sending MIDI clock sets the time: 24 clock
ticks a beat, Start (from the top), Stop, Continue (from where it stopped) and
Song Position Pointer (a jump, in sixteenths). Between ticks the position moves
on at the tempo measured from the ticks, so the motion runs smoothly at any
frame rate; while stopped it holds still. Each frame prints the position, the
measured tempo and the motion there, or with --osc sends x, y and z over OSC as
examples/osc_out.py does (--host, --osc-port, --path).

  python examples/midi_follow.py circle                       # the first input port there is
  python examples/midi_follow.py helix --port "Drum Machine" --osc --osc-port 7000

--port takes a port's full name or a part of it that names only one; an unknown
name is refused with the list of the ports there are. The MIDI library is mido
with python-rtmidi; MIDO_BACKEND chooses another of mido's backends.
"""
import math
import sys
import threading
import time
from collections import deque

import trovelin
from live_common import (add_frame_args, add_motion_arg, add_osc_args, check_frame_args, check_motion, frames,
                         make_parser, need, osc_sender)

TICKS_PER_BEAT = 24
SUBTICKS = 64  # the position is counted in 64ths of a tick, so that a pip (3/8 of a tick) is a whole number of them


class ClockFollower:
    """Song position and tempo from timed MIDI clock messages, apart from any port.

    Feed it messages (anything with a `type`, and `pos` for a Song Position Pointer) with the times they arrived,
    in seconds on one clock; ask it for the pip at any later moment. The tempo is the slope of a straight line
    fitted through the times of the last beat of ticks, which smooths the jitter of single ticks; so is the time
    of the latest tick, from which the position moves on at that tempo, never past the next tick before it comes.
    A tick that comes early does not move the position back: it holds at the tick until the line catches up.
    """

    WINDOW = TICKS_PER_BEAT  # the ticks the tempo is measured over
    GAP = 0.25  # seconds without a tick (under 10 BPM) after which the tempo is measured afresh

    def __init__(self):
        self.running = False
        self._times = deque(maxlen=self.WINDOW)
        self._period = None  # seconds a tick, fitted
        self._anchor = None  # the fitted time of the latest tick
        self._next = 0  # the song tick that the next clock plays while running
        self._last = None  # the song tick of the latest clock played, until Start, Continue or a jump
        self._held = 0  # the position, in 64ths of a tick, while it does not move

    @property
    def bpm(self):
        """The tempo measured from the ticks, None until two have come."""
        return None if self._period is None else 60.0 / (self._period * TICKS_PER_BEAT)

    @property
    def state(self):
        if not self.running:
            return "stopped"
        return "running" if self._last is not None else "waiting"  # for the tick that starts it

    def feed(self, message, t):
        kind = message.type
        if kind == "clock":
            self._tick(t)
        elif kind == "start":
            self.running, self._next, self._last, self._held = True, 0, None, 0
        elif kind == "continue":
            if not self.running:
                self.running, self._last = True, None
        elif kind == "stop":
            if self.running:
                self._held = self._position(t)
                self.running, self._last = False, None
        elif kind == "songpos":
            self._next = message.pos * (TICKS_PER_BEAT // 4)
            self._held = self._next * SUBTICKS
            self._last = None

    def pip_at(self, t):
        return self._position(t) * trovelin.PIPS_PER_BEAT // (TICKS_PER_BEAT * SUBTICKS)

    def _position(self, t):
        """The position at time t in 64ths of a tick."""
        if not self.running or self._last is None:
            return self._held
        if self._period is None:
            return self._last * SUBTICKS
        ahead = math.floor((t - self._anchor) / self._period * SUBTICKS)
        return self._last * SUBTICKS + min(SUBTICKS - 1, max(0, ahead))

    def _tick(self, t):
        if self._times and t - self._times[-1] > self.GAP:
            self._times.clear()
        self._times.append(t)
        self._fit()
        if self.running:
            self._last = self._next
            self._next += 1

    def _fit(self):
        n = len(self._times)
        if n < 2:
            self._period, self._anchor = None, None
            return
        latest = self._times[-1]
        ds = [s - latest for s in self._times]  # times against the latest tick's, for precision
        mean_i = (n - 1) / 2.0
        mean_d = sum(ds) / n
        covariance = sum((i - mean_i) * (d - mean_d) for i, d in enumerate(ds))
        variance = sum((i - mean_i) * (i - mean_i) for i in range(n))
        period = covariance / variance
        if period <= 0.0:
            self._period, self._anchor = None, None
            return
        self._period = period
        self._anchor = latest + mean_d + period * (n - 1 - mean_i)


def open_input(parser, wanted, callback):
    """The input port named, or the first one there is; refuses a name no port has, listing the ports."""
    mido = need("mido", "mido and python-rtmidi")
    try:
        names = mido.get_input_names()
    except Exception as error:  # the backend's own kind of error: no MIDI driver or sequencer to talk to
        sys.exit(f"{parser.prog}: no MIDI system to open ports on here ({error})")
    if not names:
        sys.exit(f"{parser.prog}: there are no MIDI input ports here")
    if wanted is None:
        wanted = names[0]
    elif wanted not in names:
        matches = [name for name in names if wanted in name]
        if len(matches) != 1:
            which = "names no input port" if not matches else "names more than one input port"
            parser.error(f"--port {wanted!r} {which}; the input ports here are: " +
                         ", ".join(repr(name) for name in names))
        wanted = matches[0]
    return mido.open_input(wanted, callback=callback)


def main(argv=None):
    parser = make_parser(__doc__, __file__)
    add_motion_arg(parser)
    parser.add_argument("--port", help="the MIDI input port to follow (default: the first there is)")
    add_frame_args(parser, fps=40.0)
    parser.add_argument("--osc", action="store_true", help="send each frame over OSC instead of printing it")
    add_osc_args(parser, port_flag="--osc-port")
    parser.add_argument("--verbose", action="store_true", help="with --osc, print every frame as well")
    args = parser.parse_args(argv)
    check_motion(parser, args.name)
    check_frame_args(parser, args)
    osc = osc_sender(parser, args, port_flag="--osc-port") if args.osc else None

    follower = ClockFollower()
    lock = threading.Lock()

    def heard(message):
        t = time.monotonic()
        with lock:
            follower.feed(message, t)

    port = open_input(parser, args.port, heard)
    print(f"following {port.name!r}: {args.name}, {args.fps:g} frames a second"
          + (f", to {args.host}:{args.osc_port} {args.path}" if osc else ""), flush=True)
    count = 0
    try:
        for _ in frames(args.fps, args.frames):
            with lock:
                pip, bpm, state = follower.pip_at(time.monotonic()), follower.bpm, follower.state
            x, y, z = trovelin.sample(args.name, pip).as_tuple()
            if osc:
                osc.send(x, y, z)
            if not osc or args.verbose:
                tempo = "  --.-" if bpm is None else f"{bpm:6.1f}"
                print(f"{state:7} pip {pip:8d}  beat {pip / trovelin.PIPS_PER_BEAT:9.3f}  {tempo} BPM  "
                      f"x {x:+.6f} y {y:+.6f} z {z:+.6f}", flush=True)
            count += 1
    except KeyboardInterrupt:
        pass
    finally:
        port.close()
        if osc:
            osc.close()
    print(f"stopped after {count} frames")
    return 0


if __name__ == "__main__":
    sys.exit(main())
