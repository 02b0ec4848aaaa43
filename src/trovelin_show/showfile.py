"""Show files: a show written by hand in TOML, read into the show model, every problem reported at once.

A problem names the file, the line (where the key is written in it), the key,
the value and what is allowed, and reading goes on past it, so that one check
lists everything there is to fix. Nothing here ends in a traceback: a file
that cannot be read, is not TOML, or holds anything the show model refuses,
is a list of problems in a ShowFileError.

The tables and keys are described in the README ("Using it live"); in short:
[show] (name, pack), [clock], [[output]], [[fixture]], [[group]] and [[cue]].
"""
from __future__ import annotations

import difflib
import math
import os
import re
import runpy
import sys
from dataclasses import dataclass, replace
from typing import Any, Callable, Dict, List, Mapping, Optional, Sequence, Tuple, TypeVar

import trovelin

from .cues import Cue
from .effects import MAX_SPEED, MIN_SPEED, Effect
from .fixtures import AXES, Channel, Fixture, Generic, MovingHead, used_channels
from .frames import Clock as EngineClock, Show
from .groups import ORDERS, Group
from .sampling import INTERPOLATIONS

if sys.version_info >= (3, 11):
    import tomllib
else:  # pragma: no cover - the dependency the project declares for 3.9 and 3.10
    import tomli as tomllib

PROTOCOLS = ("sacn", "artnet", "osc")
DEFAULT_PORTS = {"sacn": 5568, "artnet": 6454, "osc": 9000}
CLOCK_SOURCES = ("fixed", "tap", "midi")
FIXTURE_TYPES = ("moving_head", "generic")
HOME = "home"  # the motion of a cue that sends its group back to the fixtures' home
OSC_ADDRESS = re.compile(r"/[^\s#,]*")
OSC_PATTERN = "/trovelin/{fixture}"  # an OSC output's address unless it gives one
MISSING: Any = object()
T = TypeVar("T")


@dataclass(frozen=True)
class Problem:
    """One thing wrong with a show file: where (file and line, when it can be found), the key, the value
    written (MISSING when the key is not there) and what is allowed."""

    file: str
    line: Optional[int]
    key: str
    value: Any
    allowed: str

    def __str__(self) -> str:
        where = self.file if self.line is None else f"{self.file}:{self.line}"
        value = "" if self.value is MISSING else f" = {_written(self.value)}"
        return f"{where}: {self.key}{value}: {self.allowed}"


class ShowFileError(Exception):
    """A show file with problems, every one of them."""

    def __init__(self, problems: Sequence[Problem]) -> None:
        super().__init__("\n".join(map(str, problems)))
        self.problems = tuple(problems)


@dataclass(frozen=True)
class Clock:
    """Where the tempo comes from: "fixed" (`bpm`, beat 0 at `beat_zero`, the Unix time of a beat, when
    given; nudge and resync move it, taps do not), "tap" (starting at `bpm`, then following taps) or "midi"
    (a MIDI clock port: `midi_port`, its name or a part of it; None: the first port there is)."""

    source: str = "fixed"
    bpm: float = 120.0
    beat_zero: Optional[float] = None
    beats_per_bar: int = 4
    midi_port: Optional[str] = None

    def engine_clock(self) -> EngineClock:
        return EngineClock(self.bpm, "midi" if self.source == "midi" else "tap", self.beat_zero)


@dataclass(frozen=True)
class Output:
    """Where frames go: sACN or Art-Net (the `universes` listed) or OSC (each fixture of `fixtures` to its
    address, `address` with {fixture} replaced by the fixture's name unless the fixture names its own)."""

    protocol: str
    host: str
    port: int
    universes: Tuple[int, ...] = ()
    priority: int = 100
    multicast: bool = False
    universe_offset: int = 0
    address: str = OSC_PATTERN
    fixtures: Tuple[str, ...] = ()
    osc_addresses: Tuple[Tuple[str, str], ...] = ()


@dataclass(frozen=True)
class ShowFile:
    """A show file read: its name, the show for the engine, where its time comes from and where it goes."""

    path: str
    name: str
    show: Show
    clock: Clock
    outputs: Tuple[Output, ...]
    pack: Optional[str] = None
    osc: Tuple[Tuple[str, str], ...] = ()  # the fixtures that name an OSC address of their own, with it


def _written(value: Any) -> str:
    """A value as TOML would write it."""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, str):
        return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'
    if isinstance(value, (list, tuple)):
        return "[" + ", ".join(_written(v) for v in value) + "]"
    if isinstance(value, dict):
        return "{" + ", ".join(f"{k} = {_written(v)}" for k, v in value.items()) + "}"
    return repr(value)


class KeyLines:
    """Where keys are written in a TOML text: the line of a key in a table, or in the Nth of an array of
    tables, found from the text (the TOML reader keeps no positions)."""

    HEADER = re.compile(r"\s*(\[\[?)\s*([A-Za-z0-9_.\"' -]+?)\s*\]\]?\s*(#.*)?$")
    KEY = re.compile(r"\s*(\"[^\"]*\"|'[^']*'|[A-Za-z0-9_-]+)\s*[=.]")

    def __init__(self, text: str) -> None:
        self._headers: Dict[Tuple[str, int], int] = {}
        self._keys: Dict[Tuple[str, int, str], int] = {}
        counts: Dict[str, int] = {}
        table: Tuple[str, int] = ("", 0)
        in_string: Optional[str] = None
        for number, line in enumerate(text.splitlines(), start=1):
            if in_string is not None:  # inside a multi-line string: nothing here is a key
                if line.count(in_string) % 2:
                    in_string = None
                continue
            header = self.HEADER.match(line)
            if header and not line.lstrip().startswith("#"):
                name = header.group(2).replace('"', "").replace("'", "").replace(" ", "")
                if header.group(1) == "[[":
                    counts[name] = counts.get(name, 0) + 1
                    table = (name, counts[name] - 1)
                else:
                    table = (name, 0)
                self._headers.setdefault(table, number)
                continue
            key = self.KEY.match(line)
            if key:
                self._keys.setdefault((table[0], table[1], key.group(1).strip("\"'")), number)
            for quote in ('"""', "'''"):
                if line.count(quote) % 2:
                    in_string = quote

    def line(self, table: str, index: int = 0, key: Optional[str] = None) -> Optional[int]:
        """The line of `key` in the `index`th table `table` ("" for the top level), or of the table's header
        when the key is not written on a line of its own; None when neither is found."""
        if key is not None:
            found = self._keys.get((table, index, key))
            if found is not None:
                return found
        return self._headers.get((table, index))


class Table:
    """The keys of one table of a show file, read with their types and ranges checked; each problem is noted,
    with the table's label and the key's line, and a default stands in for the value so that reading goes on."""

    def __init__(self, reader: Reader, name: str, index: int, data: Mapping[str, Any], label: str) -> None:
        self.reader, self.name, self.index, self.data, self.label = reader, name, index, data, label
        self.asked: set[str] = set()
        self.missing: Dict[str, Problem] = {}
        self.failed = False

    def line(self, key: Optional[str] = None) -> Optional[int]:
        return self.reader.lines.line(self.name, self.index, key)

    def problem(self, key: Optional[str], value: Any, allowed: str) -> None:
        self.failed = True
        self.reader.problem(self.line(key), f"{self.label} {key}" if key else self.label, value, allowed)
        if key is not None and value is MISSING:
            self.missing[key] = self.reader.problems[-1]

    def get(self, key: str, kind: Callable[[Any], Optional[T]], default: T, allowed: str,
            required: bool = False) -> T:
        """The value of `key` converted by `kind` (which gives None for a value it refuses), or `default`."""
        self.asked.add(key)
        if key not in self.data:
            if required:
                self.problem(key, MISSING, f"missing: {allowed}")
            return default
        value = self.data[key]
        converted = kind(value)
        if converted is None:
            self.problem(key, value, allowed)
            return default
        return converted

    def choice(self, key: str, choices: Sequence[str], default: str) -> str:
        value = self.get(key, _string, default, "one of " + ", ".join(f'"{c}"' for c in choices))
        if value not in choices:
            close = difflib.get_close_matches(value, choices, n=1)
            hint = f' (did you mean "{close[0]}"?)' if close else ""
            self.problem(key, value, "one of " + ", ".join(f'"{c}"' for c in choices) + hint)
            return default
        return value

    def number(self, key: str, default: float, low: float, high: float, what: str = "a number",
               required: bool = False) -> float:
        def check(value: Any) -> Optional[float]:
            number = _number(value)
            return number if number is not None and low <= number <= high else None
        return self.get(key, check, default, f"{what}, {low:g} to {high:g}", required)

    def integer(self, key: str, default: int, low: int, high: int, what: str = "a whole number",
                required: bool = False) -> int:
        def check(value: Any) -> Optional[int]:
            return value if _is_int(value) and low <= value <= high else None
        return self.get(key, check, default, f"{what}, {low} to {high}", required)

    def flag(self, key: str) -> bool:
        return self.get(key, lambda v: v if isinstance(v, bool) else None, False, "true or false")

    def point(self, key: str, default: Tuple[float, float, float]) -> Tuple[float, float, float]:
        """A position [x, y] or [x, y, z], each -1 to 1 (z is 0 when left out)."""
        def check(value: Any) -> Optional[Tuple[float, float, float]]:
            if not isinstance(value, list) or len(value) not in (2, 3):
                return None
            numbers = [_number(v) for v in value] + [0.0] * (3 - len(value))
            if any(n is None or not -1.0 <= n <= 1.0 for n in numbers):
                return None
            x, y, z = (float(n) for n in numbers if n is not None)
            return (x, y, z)
        return self.get(key, check, default, "[x, y] or [x, y, z], each -1 to 1")

    def unknown_keys(self) -> None:
        """A problem for every key that was not asked for, with the nearest known key."""
        header = f"[[{self.name}]]" if self.reader.arrays.get(self.name) else f"[{self.name}]"
        for key in self.data:
            if key not in self.asked:
                close = difflib.get_close_matches(key, sorted(self.asked), n=1)
                hint = f"; did you mean {close[0]!r}?" if close else ""
                if close and close[0] in self.missing:  # a misspelt key, rather than a missing one as well
                    self.reader.problems.remove(self.missing.pop(close[0]))
                self.problem(key, self.data[key], f"not a key of {header}{hint}")


def _number(value: Any) -> Optional[float]:
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        return None
    number = float(value)
    return number if math.isfinite(number) else None


def _is_int(value: Any) -> bool:
    return isinstance(value, int) and not isinstance(value, bool)


def _string(value: Any) -> Optional[str]:
    return value if isinstance(value, str) else None


def _name(value: Any) -> Optional[str]:
    return value if isinstance(value, str) and value.strip() == value and value else None


def _strings(value: Any) -> Optional[Tuple[str, ...]]:
    if not isinstance(value, list) or not all(isinstance(v, str) for v in value):
        return None
    return tuple(value)


def _integers(value: Any) -> Optional[Tuple[int, ...]]:
    if not isinstance(value, list) or not value or not all(_is_int(v) for v in value):
        return None
    return tuple(value)


class Reader:
    """Reads the tables of one show file, collecting problems."""

    def __init__(self, path: str, text: str) -> None:
        self.path = path
        self.lines = KeyLines(text)
        self.problems: List[Problem] = []
        self.arrays: Dict[str, bool] = {}
        # The names given in each array of tables, read well or not: a group naming a fixture that has a
        # problem of its own is not told again that the fixture is not there.
        self.declared: Dict[str, set[str]] = {"fixture": set(), "group": set()}

    def problem(self, line: Optional[int], key: str, value: Any, allowed: str) -> None:
        self.problems.append(Problem(self.path, line, key, value, allowed))

    def tables(self, data: Mapping[str, Any], name: str, array: bool) -> List[Table]:
        """The table `name` ([name], or each [[name]] when `array`), each labelled for its problems."""
        self.arrays[name] = array
        if name not in data:
            return []
        value = data[name]
        if array:
            if not isinstance(value, list) or not all(isinstance(v, dict) for v in value):
                self.problem(self.lines.line("", 0, name) or self.lines.line(name, 0), name, MISSING,
                             f"written as [[{name}]] tables")
                return []
            return [Table(self, name, i, v, f"{name} {i + 1}") for i, v in enumerate(value)]
        if not isinstance(value, dict):
            self.problem(self.lines.line("", 0, name) or self.lines.line(name, 0), name, MISSING,
                         f"written as a [{name}] table")
            return []
        return [Table(self, name, 0, value, f"[{name}]")]


def read_show(path: str) -> ShowFile:
    """The show file at `path`, read and checked; ShowFileError with every problem found."""
    try:
        with open(path, "rb") as file:
            raw = file.read()
    except OSError as error:
        raise ShowFileError([Problem(path, None, "file", MISSING, f"cannot be read ({error.strerror})")]) from None
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        raise ShowFileError([Problem(path, raw[:error.start].count(b"\n") + 1, "file", MISSING,
                                     "not UTF-8 text, which TOML is")]) from None
    return parse_show(text, path)


def parse_show(text: str, path: str = "<show>") -> ShowFile:
    """A show from the TOML `text` (`path` names it in problems); ShowFileError with every problem found."""
    try:
        data = tomllib.loads(text)
    except tomllib.TOMLDecodeError as error:
        message = str(error)
        at = re.search(r"\(at line (\d+), column (\d+)\)", message)
        line = int(at.group(1)) if at else None
        what = re.sub(r"\s*\(at line \d+, column \d+\)", "", message) or "not valid"
        if at:
            what += f" (column {at.group(2)})"
        raise ShowFileError([Problem(path, line, "TOML", MISSING, f"{what[0].lower()}{what[1:]}")]) from None
    reader = Reader(path, text)
    show = _read(reader, data, os.path.dirname(os.path.abspath(path)))
    if reader.problems:
        raise ShowFileError(reader.problems)
    assert show is not None
    return replace(show, path=path)


def _read(reader: Reader, data: Mapping[str, Any], folder: str) -> Optional[ShowFile]:
    for key in data:
        if key not in ("show", "clock", "output", "fixture", "group", "cue"):
            close = difflib.get_close_matches(key, ["show", "clock", "output", "fixture", "group", "cue"], n=1)
            reader.problem(reader.lines.line(key, 0) or reader.lines.line("", 0, key), key, MISSING,
                           "not a part of a show: [show], [clock], [[output]], [[fixture]], [[group]] or [[cue]]"
                           + (f"; did you mean {close[0]!r}?" if close else ""))
    name, pack, library = _read_header(reader, data, folder)
    clock = _read_clock(reader, data)
    fixtures, tables = _read_fixtures(reader, data)
    groups = _read_groups(reader, data, fixtures)
    motions = [entry["name"] for entry in (library or trovelin).catalogue()]
    cues, cue_tables = _read_cues(reader, data, groups, motions, pack)
    _check_simultaneous(cues, cue_tables, groups, clock.beats_per_bar)
    outputs = _read_outputs(reader, data, fixtures, tables)
    if "fixture" not in data:
        reader.problem(None, "fixture", MISSING, "a show has at least one [[fixture]]")
    if reader.problems:
        return None
    try:
        show = Show(tuple(fixtures.values()), tuple(groups.values()), tuple(cues), clock.engine_clock(),
                    clock.beats_per_bar, library)
    except ValueError as refusal:  # what the checks above do not foresee, in the engine's words
        reader.problem(None, "show", MISSING, str(refusal))
        return None
    own_osc = tuple((n, t.data["osc"]) for n, t in tables.items() if n in fixtures and t.data.get("osc"))
    return ShowFile("", name, show, clock, tuple(outputs), pack, own_osc)


def _read_header(reader: Reader, data: Mapping[str, Any], folder: str
                 ) -> Tuple[str, Optional[str], Optional[trovelin.PatternLibrary]]:
    name, pack, library = os.path.splitext(os.path.basename(reader.path))[0], None, None
    for table in reader.tables(data, "show", array=False):
        name = table.get("name", _name, name, "a name")
        written = table.get("pack", _name, None, "the path of a Python file defining PATTERNS")
        table.unknown_keys()
        if written is not None:
            pack = written if os.path.isabs(written) else os.path.join(folder, written)
            library = _load_pack(table, written, pack)
    return name, pack, library


def _load_pack(table: Table, written: str, path: str) -> Optional[trovelin.PatternLibrary]:
    """The library of the defaults and the patterns of the pack file; a problem if it cannot be made."""
    if not os.path.isfile(path):
        table.problem("pack", written, f"no such file ({path})")
        return None
    try:
        patterns = runpy.run_path(path).get("PATTERNS")
    except Exception as error:  # the pack's own code failed: say how, in its own words
        table.problem("pack", written, f"the pack failed to load: {type(error).__name__}: {error}")
        return None
    if patterns is None:
        table.problem("pack", written, "a pack file defines PATTERNS, a list of SampledPattern")
        return None
    try:
        return trovelin.PatternLibrary(list(patterns))
    except (TypeError, ValueError) as refusal:
        table.problem("pack", written, f"its PATTERNS are refused: {refusal}")
        return None


def _read_clock(reader: Reader, data: Mapping[str, Any]) -> Clock:
    clock = Clock()
    for table in reader.tables(data, "clock", array=False):
        source = table.choice("source", CLOCK_SOURCES, "fixed")
        bpm = table.number("bpm", 120.0, 20.0, 400.0, "beats a minute")
        beat_zero = table.get("beat_zero", _number, None, "the Unix time of a beat, in seconds")
        beats_per_bar = table.integer("beats_per_bar", 4, 1, 32)
        port = table.get("midi_port", _name, None, "the name of a MIDI input port, or a part of it")
        table.unknown_keys()
        if port is not None and source != "midi":
            table.problem("midi_port", port, 'a port to follow when source = "midi"')
        if beat_zero is not None and source == "midi":
            table.problem("beat_zero", beat_zero, 'the MIDI clock sets the beat; leave beat_zero out')
        clock = Clock(source, bpm, beat_zero, beats_per_bar, port)
    return clock


def _read_fixtures(reader: Reader, data: Mapping[str, Any]) -> Tuple[Dict[str, Fixture], Dict[str, Table]]:
    fixtures: Dict[str, Fixture] = {}
    tables: Dict[str, Table] = {}
    for table in reader.tables(data, "fixture", array=True):
        name = table.get("name", _name, "", "a name of its own", required=True)
        if name:
            table.label = f"fixture {name!r}"
            reader.declared["fixture"].add(name)
            if name in tables:
                table.problem("name", name, f"already the name of the fixture at line {tables[name].line()}")
                name = ""
        kind = table.choice("type", FIXTURE_TYPES, "moving_head")
        universe = table.integer("universe", 1, 0, 63999, "a universe")
        address = table.integer("address", 1, 1, 512, "a channel", required=True)
        table.get("osc", lambda v: v if isinstance(v, str) and OSC_ADDRESS.fullmatch(v) else None, "",
                  "an OSC address: / then no spaces, # or commas")
        fixture = _moving_head(table, name, universe) if kind == "moving_head" else _generic(table, name, universe)
        table.unknown_keys()
        if fixture is None or not name:
            continue
        last = address + fixture.footprint - 1
        if last > 512 and not table.failed:
            table.problem("address", address, f"channels {address} to {last} run past 512: a fixture of "
                                              f"{fixture.footprint} channels starts at 1 to {513 - fixture.footprint}")
            continue
        fixtures[name] = replace(fixture, address=address)
        tables[name] = table
    _check_overlaps(fixtures, tables)
    return fixtures, tables


def _engine(table: Table, make: Callable[[], T]) -> Optional[T]:
    """What `make` builds, or None after a problem with the engine's own reason for refusing it."""
    if table.failed:
        return None
    try:
        return make()
    except ValueError as refusal:
        reason = str(refusal)
        if reason.startswith(table.label + ": "):
            reason = reason[len(table.label) + 2:]
        table.problem(None, MISSING, reason)
        return None


def _range(table: Table, key: str, span: float) -> Optional[Tuple[float, float]]:
    def check(value: Any) -> Optional[Tuple[float, float]]:
        if not isinstance(value, list) or len(value) != 2:
            return None
        low, high = (_number(v) for v in value)
        if low is None or high is None or not -span / 2 <= low < high <= span / 2:
            return None
        return (low, high)
    return table.get(key, check, None, f"[low, high] degrees within -{span / 2:g} to {span / 2:g}, low first")


def _fixed(table: Table) -> Tuple[Tuple[int, int], ...]:
    def check(value: Any) -> Optional[Tuple[Tuple[int, int], ...]]:
        if not isinstance(value, dict):
            return None
        pairs = []
        for channel, level in value.items():
            if not channel.isdigit() or not _is_int(level) or not 0 <= level <= 255:
                return None
            pairs.append((int(channel), level))
        return tuple(sorted(pairs))
    return table.get("fixed", check, (), "{ channel = value, ... }: channels from the address (1 is the first), "
                                         "values 0 to 255")


def _moving_head(table: Table, name: str, universe: int) -> Optional[MovingHead]:
    pan = table.number("pan", 540.0, 1.0, 3600.0, "the pan span in degrees")
    tilt = table.number("tilt", 270.0, 1.0, 3600.0, "the tilt span in degrees")
    pan_range = _range(table, "pan_range", pan)
    tilt_range = _range(table, "tilt_range", tilt)
    bits = table.get("bits", lambda v: v if v in (8, 16) and _is_int(v) else None, 16, "8 or 16")
    allowed = ("pan", "pan_fine", "tilt", "tilt_fine") if bits == 16 else ("pan", "tilt")
    layout = table.get("layout", _strings, None,
                       f"a list of channels from the address: each of {', '.join(allowed)} once, \"\" for others")
    invert_pan, invert_tilt, swap = table.flag("invert_pan"), table.flag("invert_tilt"), table.flag("swap")
    home = table.point("home", (0.0, 0.0, 0.0))
    fixed = _fixed(table)
    return _engine(table, lambda: MovingHead(name or "?", universe, 1, pan, tilt, pan_range, tilt_range, bits,
                                             layout, invert_pan, invert_tilt, swap, home, fixed))


def _generic(table: Table, name: str, universe: int) -> Optional[Generic]:
    def channels(value: Any) -> Optional[Tuple[Channel, ...]]:
        if not isinstance(value, list) or not value or not all(isinstance(v, dict) for v in value):
            return None
        made = []
        for entry in value:
            if set(entry) - {"axis", "channel", "bits", "low", "high"} or entry.get("axis") not in AXES:
                return None
            number, bits = entry.get("channel", 1), entry.get("bits", 8)
            low, high = _number(entry.get("low", 0.0)), _number(entry.get("high", 1.0))
            if not (_is_int(number) and number >= 1 and bits in (8, 16) and low is not None and high is not None
                    and 0.0 <= low <= 1.0 and 0.0 <= high <= 1.0):
                return None
            made.append(Channel(entry["axis"], number, bits, low, high))
        return tuple(made)
    none: Tuple[Channel, ...] = ()
    made = table.get("channels", channels, none, "a list of { axis = \"x\", \"y\" or \"z\", channel = 1 or more, "
                                              "bits = 8 or 16, low = 0 to 1, high = 0 to 1 }", required=True)
    home = table.point("home", (0.0, 0.0, 0.0))
    fixed = _fixed(table)
    return _engine(table, lambda: Generic(name or "?", universe, 1, made, home, fixed))


def _check_overlaps(fixtures: Mapping[str, Fixture], tables: Mapping[str, Table]) -> None:
    """A problem for each fixture whose channels another fixture listed before it already takes."""
    owner: Dict[Tuple[int, int], str] = {}
    for name, fixture in fixtures.items():
        clash = next((owner[(fixture.universe, c)] for c in used_channels(fixture)
                      if (fixture.universe, c) in owner), None)
        if clash is not None:
            other = fixtures[clash]
            tables[name].problem("address", fixture.address,
                                 f"channels {fixture.address} to {fixture.address + fixture.footprint - 1} of "
                                 f"universe {fixture.universe} overlap fixture {clash!r} (line "
                                 f"{tables[clash].line('address')}, channels {other.address} to "
                                 f"{other.address + other.footprint - 1})")
            continue
        for c in used_channels(fixture):
            owner[(fixture.universe, c)] = name


def _read_groups(reader: Reader, data: Mapping[str, Any], fixtures: Mapping[str, Fixture]) -> Dict[str, Group]:
    groups: Dict[str, Group] = {}
    lines: Dict[str, Optional[int]] = {}
    for table in reader.tables(data, "group", array=True):
        name = table.get("name", _name, "", "a name of its own", required=True)
        if name:
            table.label = f"group {name!r}"
            reader.declared["group"].add(name)
        nobody: Tuple[str, ...] = ()
        members = table.get("fixtures", _strings, nobody, "a list of fixture names", required=True)
        table.unknown_keys()
        if name in groups:
            table.problem("name", name, f"already the name of the group at line {lines[name]}")
            continue
        unknown = [m for m in members if m not in fixtures]
        for member in (m for m in unknown if m not in reader.declared["fixture"]):
            close = difflib.get_close_matches(member, list(fixtures), n=3)
            table.problem("fixtures", member, "not a fixture of this show" + (
                f"; the nearest: {', '.join(close)}" if close else ""))
        if not name or unknown or table.failed:
            continue
        group = _engine(table, lambda: Group(name, tuple(members)))
        if group is not None:
            groups[name] = group
            lines[name] = table.line()
    if not groups and fixtures and "group" not in data:
        groups["all"] = Group("all", tuple(fixtures))  # a show without groups has one of every fixture
        reader.declared["group"].add("all")
    return groups


def _read_cues(reader: Reader, data: Mapping[str, Any], groups: Mapping[str, Group], motions: List[str],
               pack: Optional[str]) -> Tuple[List[Cue], List[Table]]:
    cues: List[Cue] = []
    tables: List[Table] = []
    known = set(motions)
    for table in reader.tables(data, "cue", array=True):
        group = table.get("group", _name, "", "the name of a group", required=len(groups) != 1)
        if not group and len(groups) == 1:
            group = next(iter(groups))
        bar = table.integer("bar", 0, 1, 100000, "a bar (bar 1 starts at beat 0)")
        table.label = f"cue {table.index + 1}" + (f" ({group}, bar {bar})" if "bar" in table.data else
                                                  f" ({group}, on go)")
        if group and group not in reader.declared["group"]:
            close = difflib.get_close_matches(group, list(groups), n=3)
            table.problem("group", group, "not a group of this show" + (
                f"; the nearest: {', '.join(close)}" if close else ""))
        beat = table.number("beat", 1.0, 1.0, 32.0, "a beat of the bar (1 is its first)")
        fade = table.number("fade", 0.0, 0.0, 10000.0, "beats")
        cue_name = table.get("name", _string, "", "a name")
        motion = table.get("motion", _name, "", f'a motion: a default, a pattern of the pack, or "{HOME}"',
                           required=True)
        pack_failed = pack is not None and len(motions) == len(trovelin.catalogue())
        if motion and motion != HOME and motion not in known and not pack_failed:
            close = difflib.get_close_matches(motion, motions, n=3, cutoff=0.5)
            where = "a default" + (f" or a pattern of {os.path.basename(pack)}" if pack else
                                   " (or a pattern of a pack the show names)")
            table.problem("motion", motion, f"not {where}" + (
                f"; the nearest: {', '.join(close)}" if close else ""))
        effect = _effect(table, motion)
        table.unknown_keys()
        if table.failed or group not in groups or (motion not in known and motion != HOME):
            continue
        cue = _engine(table, lambda: Cue(group, effect, bar if "bar" in table.data else None, beat, fade,
                                         cue_name))
        if cue is not None:
            cues.append(cue)
            tables.append(table)
    return cues, tables


def _check_simultaneous(cues: Sequence[Cue], tables: Sequence[Table], groups: Mapping[str, Group],
                        beats_per_bar: int) -> None:
    """A problem for two cues of different groups that share fixtures and start at the same moment: a fixture
    in two groups follows the cue that started last, and of two that start together neither is last."""
    first: Dict[Tuple[float, str], int] = {}
    for i, cue in enumerate(cues):
        start = cue.start_pip(beats_per_bar)
        if start is None:
            continue
        for fixture in groups[cue.group].fixtures:
            other = first.setdefault((start, fixture), i)
            if other != i and cues[other].group != cue.group:
                tables[i].problem("bar", cue.bar, f"starts with cue {tables[other].index + 1} (line "
                                  f"{tables[other].line('bar')}, group {cues[other].group!r}) and both drive "
                                  f"fixture {fixture!r}: start one of them on another beat")
                break


def _effect(table: Table, motion: str) -> Optional[Effect]:
    values = dict(
        speed=table.number("speed", 1.0, MIN_SPEED, MAX_SPEED, "loops per loop of the music"),
        phase=table.number("phase", 0.0, -1e6, 1e6, "beats"),
        size=table.number("size", 1.0, 0.0, 1.0),
        centre=table.point("centre", (0.0, 0.0, 0.0)),
        rotation=table.number("rotation", 0.0, -3600.0, 3600.0, "degrees"),
        invert_x=table.flag("invert_x"), invert_y=table.flag("invert_y"), invert_z=table.flag("invert_z"),
        swap_xy=table.flag("swap_xy"),
        spread=table.number("spread", 0.0, 0.0, 64.0, "loops across the group"),
        order=table.choice("order", ORDERS, "forward"),
        seed=table.integer("seed", 0, 0, 2 ** 64 - 1),
        mirror=table.flag("mirror"),
        interpolation=table.choice("interpolation", INTERPOLATIONS, "smooth"),
    )
    if motion == HOME or not motion or table.failed:
        return None
    return _engine(table, lambda: Effect(motion, **values))  # type: ignore[arg-type]


def _read_outputs(reader: Reader, data: Mapping[str, Any], fixtures: Mapping[str, Fixture],
                  fixture_tables: Mapping[str, Table]) -> List[Output]:
    outputs: List[Output] = []
    used = sorted({f.universe for f in fixtures.values()})
    for table in reader.tables(data, "output", array=True):
        protocol = table.choice("protocol", PROTOCOLS, "")
        if protocol:
            table.label = f"output {table.index + 1} ({protocol})"
        host = table.get("host", lambda v: v if isinstance(v, str) and not _host_problem(v) else None,
                         "127.0.0.1", "an IP address or a host name of a receiver "
                         "(not the unspecified or the broadcast address)")
        port = table.integer("port", DEFAULT_PORTS.get(protocol, 1), 1, 65535, "a UDP port")
        if protocol == "osc":
            output = _osc_output(table, host, port, fixtures, fixture_tables)
        else:
            output = _dmx_output(table, protocol, host, port, used)
        table.unknown_keys()
        if output is not None and not table.failed:
            outputs.append(output)
    if "output" not in data:
        reader.problem(None, "output", MISSING, "a show has at least one [[output]]: sacn, artnet or osc")
    sent = {u for o in outputs if o.protocol != "osc" for u in o.universes}
    if any(o.protocol != "osc" for o in outputs):
        for name, fixture in fixtures.items():
            if fixture.universe not in sent:
                fixture_tables[name].problem("universe", fixture.universe,
                                             "a universe no sacn or artnet output sends")
    return outputs


def _host_problem(host: str) -> Optional[str]:
    from .outputs.destination import host_problem
    return host_problem(host)


def _dmx_output(table: Table, protocol: str, host: str, port: int, used: List[int]) -> Optional[Output]:
    low, high = (1, 63999) if protocol == "sacn" else (0, 32767)
    universes = table.get("universes", lambda v: _integers(v), tuple(used), f"a list of universes")
    multicast = table.flag("multicast") if protocol == "sacn" else False
    priority = table.integer("priority", 100, 0, 200, "an sACN priority") if protocol == "sacn" else 100
    offset = table.integer("universe_offset", 0, -1, 32767) if protocol == "artnet" else 0
    for u in universes:
        if not low <= u + offset <= high:
            where = "an sACN universe" if protocol == "sacn" else "an Art-Net port-address (with universe_offset)"
            table.problem("universes", u, f"not {where}, {low} to {high}")
    if "host" in table.data and multicast:
        table.problem("multicast", True, "a multicast output sends to each universe's group: leave host out")
    if "host" not in table.data and not multicast and protocol:
        table.asked.add("host")
    return Output(protocol, host, port, universes, priority, multicast, offset) if protocol else None


def _osc_output(table: Table, host: str, port: int, fixtures: Mapping[str, Fixture],
                fixture_tables: Mapping[str, Table]) -> Optional[Output]:
    address = table.get("address", lambda v: v if isinstance(v, str) and OSC_ADDRESS.fullmatch(
        v.replace("{fixture}", "x")) else None, OSC_PATTERN,
        "an OSC address, {fixture} standing for the fixture's name: / then no spaces, # or commas")
    names = table.get("fixtures", _strings, tuple(fixtures), "a list of fixture names")
    for name in names:
        if name not in fixtures and name not in table.reader.declared["fixture"]:
            close = difflib.get_close_matches(name, list(fixtures), n=3)
            table.problem("fixtures", name, "not a fixture of this show" + (
                f"; the nearest: {', '.join(close)}" if close else ""))
    addresses = tuple((n, fixture_tables[n].data.get("osc") or address.replace("{fixture}", n))
                      for n in names if n in fixtures)
    taken: Dict[str, str] = {}
    for name, path in addresses:
        if path in taken:
            table.problem("address", address, f"fixtures {taken[path]!r} and {name!r} would both send to {path}; "
                                              "put {fixture} in it, or give a fixture its own osc address")
        taken.setdefault(path, name)
    return Output("osc", host, port, (), address=address, fixtures=names, osc_addresses=addresses)
