"""Draw motions on a sheet: each one's path, its axes against beats and its per-pip steps.

  trovelin preview lfo_breathe circle -o sheet.png
  trovelin preview --prefix mech_ -o mech.png
  trovelin preview --file my_patterns.py -o mine.svg   # PATTERNS = [SampledPattern, ...]

Needs matplotlib: pip install 'trovelin[preview]'.
"""
from __future__ import annotations

import argparse

import trovelin

from . import UsageError

HELP = "draw motions on a sheet (png, svg or pdf) to judge them"


def configure(parser: argparse.ArgumentParser) -> None:
    parser.add_argument("names", nargs="*", metavar="NAME", help="built-in motions to draw")
    parser.add_argument("--prefix", default="", help="every built-in motion whose name starts with this")
    parser.add_argument("--file", help="a Python file defining PATTERNS, a list of trovelin.SampledPattern")
    parser.add_argument("-o", "--output", default="preview.png", help="the sheet: .png, .svg or .pdf")


def run(args: argparse.Namespace) -> int:
    from ..preview import default_sources, draw, pattern_source
    from .gallery import load_library, load_patterns
    try:
        sources = default_sources(args.names, args.prefix)
    except KeyError as error:
        raise UsageError(f"unknown motion(s): {error.args[0]}") from error
    if args.file:
        load_library(args.file)  # refuses a pattern that would change a default
        defaults = {d["name"] for d in trovelin.catalogue()}
        sources += [pattern_source(p) for p in load_patterns(args.file) if p.name not in defaults]
    if not sources:
        raise UsageError("name at least one motion (or give --prefix or --file)")
    draw(sources, args.output)
    print(f"wrote {args.output} ({len(sources)} motions)")
    return 0
