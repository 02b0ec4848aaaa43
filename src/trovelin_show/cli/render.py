"""Render a show offline: the frames a run would send from beat 0, exactly, as CSV (and a plot).

One row per frame and universe: time_s,beat,universe,ch1,...,ch512, frame n
at n / fps seconds. The tempo is the show's bpm (a show that follows a MIDI
clock is rendered at its bpm, as if the clock ran at it from beat 0); cues
that wait for a "go" are not started.

  trovelin render examples/shows/fan.toml --seconds 8 --fps 44 -o fan.csv
  trovelin render examples/shows/song.toml --seconds 60 -o song.csv --plot song.png
"""
from __future__ import annotations

import argparse
import csv
import math
import sys
from typing import Dict, Iterable, Iterator, List, Sequence, TextIO, Tuple

from ..engine import Engine
from ..extras import require
from ..fixtures import MovingHead
from ..frames import Frame
from ..sampling import Point
from ..showfile import ShowFile
from ..tempo import PIPS_PER_BEAT, TempoMap
from . import UsageError
from .check import load

HELP = "write the frames of a show as CSV, offline"


def configure(parser: argparse.ArgumentParser) -> None:
    parser.add_argument("show", help="the show file (TOML)")
    parser.add_argument("--seconds", type=float, required=True, help="how long to render, from beat 0")
    parser.add_argument("--fps", type=float, default=44.0, help="frames a second (default 44)")
    parser.add_argument("-o", "--output", required=True, help="the CSV file to write ('-' for standard output)")
    parser.add_argument("--plot", help="also draw each fixture's pan and tilt against bars into this PNG "
                                       "(needs the preview extra)")


def frames(showfile: ShowFile, count: int, fps: float) -> Iterator[Frame]:
    """The first `count` frames from beat 0 at `fps`, as a run from beat 0 would compute them."""
    show = showfile.show
    engine = Engine(show, TempoMap.from_beat_zero(show.clock.bpm, 0.0))
    for n in range(count):
        yield engine.frame(n / fps)


def write_csv(rendered: Iterable[Frame], out: TextIO) -> None:
    writer = csv.writer(out, lineterminator="\n")
    writer.writerow(["time_s", "beat", "universe"] + [f"ch{c}" for c in range(1, 513)])
    for frame in rendered:
        for universe in sorted(frame.universes):
            writer.writerow([repr(frame.time_s), repr(frame.pip / PIPS_PER_BEAT), universe,
                             *frame.universes[universe]])


def plot(showfile: ShowFile, moments: Sequence[Tuple[float, Dict[str, Point]]], path: str) -> None:
    """Each fixture's pan and tilt (degrees; x and y for a generic fixture) against bars, from each frame's pip
    and positions."""
    matplotlib = require("matplotlib", package="matplotlib", extra="preview", purpose="--plot")
    matplotlib.use("Agg")
    pyplot = require("matplotlib.pyplot", package="matplotlib", extra="preview", purpose="--plot")
    show = showfile.show
    bars = [pip / PIPS_PER_BEAT / show.beats_per_bar + 1 for pip, _ in moments]
    figure, (pan_axes, tilt_axes) = pyplot.subplots(2, 1, sharex=True, figsize=(10, 6))
    for fixture in show.fixtures:
        points = [positions[fixture.name] for _, positions in moments]
        if isinstance(fixture, MovingHead):
            angles: List[Sequence[float]] = [fixture.angles_deg(p) for p in points]
        else:
            angles = [(p[0], p[1]) for p in points]
        pan_axes.plot(bars, [a[0] for a in angles], label=fixture.name, linewidth=1)
        tilt_axes.plot(bars, [a[1] for a in angles], label=fixture.name, linewidth=1)
    pan_axes.set_ylabel("pan (degrees; x for generic)")
    tilt_axes.set_ylabel("tilt (degrees; y for generic)")
    tilt_axes.set_xlabel(f"bar ({show.beats_per_bar} beats)")
    pan_axes.set_title(f"{showfile.name}: {show.clock.bpm:g} BPM")
    pan_axes.legend(loc="upper right", fontsize="small", ncol=4)
    for axes in (pan_axes, tilt_axes):
        axes.grid(True, alpha=0.3)
    figure.tight_layout()
    figure.savefig(path, dpi=100)
    pyplot.close(figure)


def run(args: argparse.Namespace) -> int:
    if not (0 < args.fps < math.inf) or not (0 <= args.seconds < math.inf):
        raise UsageError("--fps must be positive and --seconds 0 or more")
    if args.plot:  # before the work, so that a missing extra is said at once
        require("matplotlib", package="matplotlib", extra="preview", purpose="--plot")
    showfile = load(args.show)
    if showfile is None:
        return 1
    count = math.ceil(args.seconds * args.fps)
    while count and (count - 1) / args.fps >= args.seconds:  # the frames whose time is before --seconds
        count -= 1
    # Frames are written as they are made; only what the plot draws is kept.
    moments: List[Tuple[float, Dict[str, Point]]] = []

    def kept(rendered: Iterator[Frame]) -> Iterator[Frame]:
        for frame in rendered:
            if args.plot:
                moments.append((frame.pip, frame.positions))
            yield frame

    rendered = kept(frames(showfile, count, args.fps))
    if args.output == "-":
        write_csv(rendered, sys.stdout)
    else:
        try:
            with open(args.output, "w", newline="") as out:
                write_csv(rendered, out)
        except OSError as error:
            raise UsageError(f"cannot write {args.output} ({error.strerror})") from None
    if args.plot:
        try:
            plot(showfile, moments, args.plot)
        except OSError as error:
            raise UsageError(f"cannot write {args.plot} ({error.strerror})") from None
    return 0
