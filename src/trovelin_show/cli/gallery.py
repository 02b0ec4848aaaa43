"""Write a static gallery of every motion, to choose among them by looking.

The folder holds index.html and its files; open it from the disk (no server, no
network). Search by how a motion moves ("slow sweep", "punchy hits", "orbit"),
filter by family, dimensions, loop length and character, sort by any figure;
the address keeps the search, so a view can be bookmarked or shared, and
index.html#NAME opens one motion.

  trovelin gallery -o gallery/
  trovelin gallery --file my_patterns.py -o gallery/   # PATTERNS = [SampledPattern, ...] beside the defaults
"""
from __future__ import annotations

import argparse
import runpy
from typing import List, Optional

import trovelin

from . import UsageError

HELP = "write a gallery of every motion to open in a browser"


def configure(parser: argparse.ArgumentParser) -> None:
    parser.add_argument("-o", "--output", default="gallery", help="folder to write (default: gallery)")
    parser.add_argument("--file", help="a Python file defining PATTERNS, a list of trovelin.SampledPattern")
    parser.add_argument("-q", "--quiet", action="store_true", help="print nothing while writing")


def load_patterns(path: str) -> List[trovelin.SampledPattern]:
    """The PATTERNS a Python file defines."""
    try:
        return list(runpy.run_path(path)["PATTERNS"])
    except OSError as error:
        raise UsageError(f"{path}: {error.strerror}") from error
    except KeyError as error:
        raise UsageError(f"{path}: defines no PATTERNS") from error


def load_library(path: Optional[str]) -> trovelin.PatternLibrary:
    """The defaults, and the PATTERNS of the file at `path` beside them."""
    if not path:
        return trovelin.PatternLibrary()
    patterns = load_patterns(path)
    try:
        return trovelin.PatternLibrary(patterns)
    except (ValueError, TypeError) as refusal:
        raise UsageError(f"{path}: {refusal}") from refusal


def run(args: argparse.Namespace) -> int:
    from ..gallery import motions_of, write_gallery
    library = load_library(args.file)
    write_gallery(args.output, motions_of(library), progress=(lambda _: None) if args.quiet else print)
    return 0
