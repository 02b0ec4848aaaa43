"""Check a show file: every problem with its file, line, key and value, or a summary of the show.

  trovelin check examples/shows/fan.toml
"""
from __future__ import annotations

import argparse
import sys

from ..showfile import HOME, ShowFile, ShowFileError, read_show

HELP = "check a show file and summarise it"


def configure(parser: argparse.ArgumentParser) -> None:
    parser.add_argument("show", help="the show file (TOML)")


def load(path: str) -> ShowFile | None:
    """The show file, or None after printing its problems on stderr."""
    try:
        return read_show(path)
    except ShowFileError as error:
        count = len(error.problems)
        print(f"{path}: {count} problem{'s' if count != 1 else ''}", file=sys.stderr)
        for problem in error.problems:
            print(f"  {problem}", file=sys.stderr)
        return None


def summary(showfile: ShowFile) -> list[str]:
    show, clock = showfile.show, showfile.clock
    universes = sorted({f.universe for f in show.fixtures})
    tempo = {"fixed": f"{clock.bpm:g} BPM", "tap": f"tapped, from {clock.bpm:g} BPM",
             "midi": "a MIDI clock" + (f" ({clock.midi_port})" if clock.midi_port else "")}[clock.source]
    lines = [f"{showfile.name}: {_count(len(show.fixtures), 'fixture')} on universe{'s' if len(universes) > 1 else ''} "
             f"{', '.join(map(str, universes))}, {_count(len(show.groups), 'group')}, "
             f"{_count(len(show.cues), 'cue')}; tempo {tempo}, "
             f"{show.beats_per_bar} beats a bar" + (f"; pack {showfile.pack}" if showfile.pack else "")]
    for f in show.fixtures:
        lines.append(f"  fixture {f.name}: {f.type.replace('_', ' ')}, universe {f.universe}, channels "
                     f"{f.address} to {f.address + f.footprint - 1}")
    for g in show.groups:
        lines.append(f"  group {g.name}: {', '.join(g.fixtures)}")
    for i, cue in enumerate(show.cues, start=1):
        when = "on go" if cue.bar is None else f"bar {cue.bar}" + (f" beat {cue.beat:g}" if cue.beat != 1 else "")
        effect = cue.effect
        what = HOME if effect is None else (effect.motion if isinstance(effect.motion, str) else effect.motion.name)
        lines.append(f"  cue {i}: {cue.group} {when}: {what}" + (f", fade {cue.fade:g} beats" if cue.fade else ""))
    for o in showfile.outputs:
        where = "multicast" if o.multicast else f"{o.host}:{o.port}"
        carries = (f"universes {', '.join(map(str, o.universes))}" if o.protocol != "osc"
                   else f"{len(o.osc_addresses)} fixtures' x y z")
        lines.append(f"  output {o.protocol} {where}: {carries}")
    return lines


def _count(n: int, word: str) -> str:
    return f"{n} {word}{'' if n == 1 else 's'}"


def run(args: argparse.Namespace) -> int:
    showfile = load(args.show)
    if showfile is None:
        return 1
    print("\n".join(summary(showfile)))
    return 0
