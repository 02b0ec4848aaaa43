"""A static gallery of motions, to choose among them by looking, searching and filtering.

The gallery is one folder: index.html, its script and style (the files beside
this module) and the motions in data.js. Open index.html in a browser straight
from the disk: it needs no server and no network. Every motion is a card with
its name, description, loop length, dimensions, the words of its character and
an animated preview; all cards run on one clock. The page filters by family,
dimensions, loop length and character, sorts by any figure, ranks a search
over names, descriptions, family sentences and character words, and keeps all
of it in the page's address.

Each loop is stored at every pip, one byte per declared axis (steps of 1/127),
so the gallery of all 1731 defaults stays near 4 MB.
"""
from __future__ import annotations

import base64
import json
import os
import time
from dataclasses import dataclass
from importlib import resources
from typing import Any, Callable, Dict, List, Optional, Sequence

import trovelin

from ..character import FIGURE_LABELS, WORDS, Character, Row, characters
from ..families import FAMILIES, YOURS

SCALE = 127  # a coordinate v is stored as the byte round(v * 127) + 127
ASSETS = ("index.html", "gallery.css", "gallery.js")


@dataclass(frozen=True)
class Motion:
    """One card: a motion's character and one loop of its rows."""

    character: Character
    rows: Sequence[Row]

    @property
    def name(self) -> str:
        return self.character.name


def motions_of(library: Optional[Any] = None) -> List[Motion]:
    """Every motion `library` lists (the defaults first, then its own patterns), or the defaults alone."""
    read = library.sample if library is not None else trovelin.sample
    loops: Dict[str, List[Row]] = {}

    def rows(name: str, period_pips: int) -> List[Row]:
        loops[name] = [read(name, pip).as_tuple() for pip in range(period_pips)]
        return loops[name]

    return [Motion(c, loops[c.name]) for c in characters(library, rows=rows)]


def quantise(motion: Motion) -> bytearray:
    """The motion's declared axes at every pip of its loop, one byte per value, pip after pip."""
    dims = motion.character.dimensions
    out = bytearray(len(motion.rows) * dims)
    i = 0
    for row in motion.rows:
        for axis in range(dims):
            out[i] = round(row[axis] * SCALE) + SCALE
            i += 1
    return out


def _figures(c: Character) -> List[Any]:
    values = c.figures.as_dict()
    return [round(values[key], 4) for key, _ in FIGURE_LABELS] + [c.figures.axes]


def data_script(motions: Sequence[Motion], progress: Callable[[str], None]) -> str:
    """data.js: the listing, figures and words of every motion, and every loop's rows."""
    families = list(dict.fromkeys(m.character.family for m in motions))
    entries, rows = [], bytearray()
    run = 0  # motions of the family being stored, in a row
    for done, m in enumerate(motions, 1):
        c = m.character
        rows += quantise(m)
        entries.append([c.name, c.description, c.period_pips, c.dimensions, families.index(c.family),
                        _figures(c), [[w, s] for w, s in c.words.items()]])
        run += 1
        if done == len(motions) or motions[done].character.family != c.family:
            progress(f"  {c.family:<12} {run:5d} motions  ({done}/{len(motions)})")
            run = 0
    data = {
        "pipsPerBeat": trovelin.PIPS_PER_BEAT,
        "scale": SCALE,
        "families": [[f, FAMILIES.get(f, "")] for f in families],
        "ownFamily": YOURS,
        "figures": [list(pair) for pair in FIGURE_LABELS],
        "words": [[w, meaning] for w, meaning in WORDS.items()],
        "entries": entries,
        "rows": base64.b64encode(bytes(rows)).decode("ascii"),
    }
    return "window.TROVELIN_GALLERY = " + json.dumps(data, separators=(",", ":"), ensure_ascii=False) + ";\n"


def asset(name: str) -> str:
    """The text of one of the page's static files, shipped beside this module."""
    return resources.files(__name__).joinpath(name).read_text(encoding="utf-8")


def write_gallery(out_dir: str, motions: Sequence[Motion],
                  progress: Callable[[str], None] = lambda _: None) -> Dict[str, int]:
    """Write index.html, gallery.css, gallery.js and data.js into out_dir; returns {file: bytes}."""
    started = time.perf_counter()
    os.makedirs(out_dir, exist_ok=True)
    progress(f"storing {len(motions)} motions")
    files = {"data.js": data_script(motions, progress)}
    files.update((name, asset(name)) for name in ASSETS)
    sizes = {}
    for name, text in files.items():
        path = os.path.join(out_dir, name)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        sizes[name] = os.path.getsize(path)
    total = sum(sizes.values())
    progress(f"wrote {os.path.join(out_dir, 'index.html')}: {len(motions)} motions, "
             f"{total / 1e6:.2f} MB in {len(files)} files, {time.perf_counter() - started:.1f} s")
    return sizes
