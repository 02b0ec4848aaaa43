"""Run a show live: frames at --fps to the show's outputs until Ctrl-C (or q, or --frames N).

Beat 0 is the clock's beat_zero (or --beat-zero), a Unix time, so that several
programs agree on the beat; without one it is the first frame. The status line
shows the tempo and its source, bar.beat, each group's cue, the frames sent and
the failed sends; keys (where standard input is a terminal): space or t to tap,
←/→ (or , and .) to nudge by 1/16 beat, r to resync (the next beat starts a
bar), g or Enter for the next cue, q to stop. On exit every sACN stream is
ended as receivers expect.

  trovelin run examples/shows/fan.toml
  trovelin run examples/shows/fan.toml --to artnet --frames 200 --quiet
  trovelin run examples/shows/fan.toml --to osc:127.0.0.1:9000 --to sacn
"""
from __future__ import annotations

import argparse
import math
import signal
import sys
import threading
import time
from dataclasses import replace
from typing import Any, List, Optional

from ..outputs import Output, open_outputs
from ..showfile import DEFAULT_PORTS, OSC_PATTERN, PROTOCOLS, Output as OutputSpec, ShowFile
from . import UsageError
from .check import load

HELP = "send a show's frames live, in time with the music"


def configure(parser: argparse.ArgumentParser) -> None:
    parser.add_argument("show", help="the show file (TOML)")
    parser.add_argument("--fps", type=float, default=44.0, help="frames a second (default 44)")
    parser.add_argument("--frames", type=int, help="stop after this many frames (default: until Ctrl-C or q)")
    parser.add_argument("--beat-zero", type=float,
                        help="the Unix time of beat 0, in seconds (default: the show's, or the first frame)")
    parser.add_argument("--bpm", type=float, help="the tempo to start at, instead of the show's")
    parser.add_argument("--to", action="append", metavar="PROTOCOL[:HOST[:PORT]]",
                        help="send here instead of the show's outputs (sacn, artnet or osc; host 127.0.0.1 and "
                             "the protocol's port by default); may be given more than once")
    parser.add_argument("--midi-port", help="the MIDI input port to follow, for a show whose clock is midi")
    parser.add_argument("--log", help="write each frame's number, slot, time since beat 0, pip and lateness to "
                                      "this CSV file")
    parser.add_argument("--quiet", action="store_true", help="no status line (for scripts)")


def outputs_to(targets: List[str], showfile: ShowFile) -> tuple[OutputSpec, ...]:
    """The outputs --to names, carrying every universe and every fixture of the show (over OSC to the fixture's
    own address, or the default pattern's)."""
    universes = tuple(sorted({f.universe for f in showfile.show.fixtures}))
    names = [f.name for f in showfile.show.fixtures]
    own = dict(showfile.osc)
    specs = []
    for target in targets:
        protocol, _, rest = target.partition(":")
        host, _, port_text = rest.rpartition(":") if rest.count(":") == 1 else (rest, "", "")
        if protocol not in PROTOCOLS:
            raise UsageError(f"--to {target!r}: the protocol is one of {', '.join(PROTOCOLS)}")
        if port_text and not (port_text.isdigit() and 1 <= int(port_text) <= 65535):
            raise UsageError(f"--to {target!r}: the port is 1 to 65535")
        port = int(port_text) if port_text else DEFAULT_PORTS[protocol]
        osc = protocol == "osc"
        specs.append(OutputSpec(protocol, host or "127.0.0.1", port, () if osc else universes,
                                fixtures=tuple(names) if osc else (),
                                osc_addresses=tuple((n, own.get(n, OSC_PATTERN.replace("{fixture}", n)))
                                                    for n in names) if osc else ()))
    return tuple(specs)


def run(args: argparse.Namespace) -> int:
    from ..live.keys import HELP as KEYS, KeyReader
    from ..live.runner import LiveShow, RunOptions, play
    from ..live.status import StatusLine

    if not (0 < args.fps <= 1000):
        raise UsageError("--fps must be more than 0 and at most 1000")
    if args.frames is not None and args.frames < 0:
        raise UsageError("--frames must not be negative")
    if args.bpm is not None and not (20 <= args.bpm <= 400):
        raise UsageError("--bpm must be 20 to 400")
    if args.beat_zero is not None and not math.isfinite(args.beat_zero):
        raise UsageError("--beat-zero must be a Unix time in seconds")
    showfile = load(args.show)
    if showfile is None:
        return 1
    clock = showfile.clock
    if args.bpm is not None or args.beat_zero is not None or args.midi_port is not None:
        if args.midi_port is not None and clock.source != "midi":
            raise UsageError("--midi-port: this show's clock does not follow MIDI")
        clock = replace(clock, bpm=args.bpm if args.bpm is not None else clock.bpm,
                        beat_zero=args.beat_zero if args.beat_zero is not None else clock.beat_zero,
                        midi_port=args.midi_port if args.midi_port is not None else clock.midi_port)
        showfile = replace(showfile, clock=clock, show=replace(showfile.show, clock=clock.engine_clock()))
    specs = outputs_to(args.to, showfile) if args.to else showfile.outputs
    # Beat zero on the monotonic clock, from the Unix time, read once.
    beat_zero_s = None if clock.beat_zero is None else clock.beat_zero - (time.time() - time.monotonic())
    live = LiveShow(showfile, beat_zero_s)

    try:
        outputs: List[Output] = open_outputs(specs, source_name=f"trovelin {showfile.name}")
    except ValueError as wrong:
        raise UsageError(str(wrong)) from None
    port: Any = None
    log = None
    stopping = threading.Event()
    previous = _catch_interrupt(stopping)
    try:
        if clock.source == "midi":
            from ..live.midi import MidiPortError, open_clock_input
            try:
                port = open_clock_input(clock.midi_port, live.heard)
            except MidiPortError as error:
                raise UsageError(str(error)) from None
        if args.log:
            try:
                log = open(args.log, "w")
            except OSError as error:
                raise UsageError(f"cannot write {args.log} ({error.strerror})") from None
        with StatusLine(args.quiet) as status, KeyReader() as keys:
            status.say(f"{showfile.name}: {args.fps:g} frames a second to "
                       + "; ".join(o.label for o in outputs)
                       + (f" (following MIDI port {port.name!r})" if port is not None else "")
                       + (f"; keys: {KEYS}" if keys.active else ""))
            tally = play(live, outputs, RunOptions(args.fps, args.frames, args.quiet, log),
                         stop=stopping.is_set, keys=keys.take, say=lambda text: None, status=status.show)
            status.show(live.status(time.monotonic(), live.engine.pip_at(time.monotonic()),
                                    sum(o.failures.failed for o in outputs)), force=True)
    finally:
        if previous is not None:
            signal.signal(signal.SIGINT, previous)
        if port is not None:
            port.close()
        for output in outputs:
            output.close()
        if log is not None:
            log.close()
    ended = any(o.label.startswith("sACN") for o in outputs)
    print(f"sent {tally.frames} frames" + (f" ({tally.skipped} late slot{'' if tally.skipped == 1 else 's'} skipped)" if tally.skipped else "")
          + ("; sACN streams ended" if ended else ""), flush=True)
    failed = [o for o in outputs if o.failures.failed]
    for output in failed:
        print(f"{output.label}: {output.failures.failed} sends failed: {output.failures.summary()}", file=sys.stderr)
    return 1 if failed else 0


def _catch_interrupt(stopping: threading.Event) -> Optional[Any]:
    """Ctrl-C ends the run after the frame in hand (a second one interrupts at once); the handler it replaced."""
    if threading.current_thread() is not threading.main_thread():
        return None

    def interrupted(number: int, frame: Any) -> None:
        if stopping.is_set():
            raise KeyboardInterrupt
        stopping.set()

    return signal.signal(signal.SIGINT, interrupted)
