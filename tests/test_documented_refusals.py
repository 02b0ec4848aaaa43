"""Every refusal the type stub documents, read back through the module.

One table: where the stub documents it, the words it documents it with, the
call, and the exception and message the module raises. Each row checks the
module's behaviour and that the stub's docstring says it; and every message
the stub quotes must have a row, so the stub cannot promise a refusal that
nothing checks.
"""
import ast
import math
import pathlib
import re

import numpy
import pytest

import trovelin
from helpers import INT32_MAX, INT32_MIN

STUB = pathlib.Path(__file__).resolve().parent.parent / "stubs" / "trovelin.pyi"
Rec, SP, Lib = trovelin.SampledRecording, trovelin.SampledPattern, trovelin.PatternLibrary

IDENT = "Invalid identifier"
CLOCK = "A finite positive BPM and beat origin are required"
SIZE = "Empty recording or recording resource limit exceeded"
SAMPLE = "Invalid sample"
PATTERN_COUNT = "A pattern requires 1..65535 samples (one per pip)"
PATTERN_VALUES = "Pattern samples must be finite and within [-1, 1]"
CONVERSION = re.compile(r"incompatible (function|constructor) arguments")  # the binding library's own wording


def docstrings():
    """Docstring of every class, function and method of the stub, by dotted name."""
    found = {}
    for node in ast.parse(STUB.read_text()).body:
        if isinstance(node, (ast.ClassDef, ast.FunctionDef)):
            found[node.name] = ast.get_docstring(node) or ""
            for member in node.body if isinstance(node, ast.ClassDef) else []:
                if isinstance(member, ast.FunctionDef):
                    found[f"{node.name}.{member.name}"] = ast.get_docstring(member) or ""
    return found


def rec(name="rec", dimensions=("x",), samples=((0.5,),), bpm=120.0, **rest):
    return Rec(name, list(dimensions), [list(r) for r in samples], bpm, **rest)


def pattern(name="p", rows=((0.5, 0.0, 0.0),)):
    return SP(name, "", list(rows))


def circle_changed():
    rows = [trovelin.circle(p).as_tuple() for p in range(64)]
    rows[5] = (0.0, 0.0, 0.0)
    return SP("circle", "One-beat circular orbit", rows)


def made(make):
    """Calls __init__ a second time on an object `make()` has made."""
    made_once = make()
    made_once.__init__(*{Rec: ("rec", ["x"], [[0.5]], 120.0), SP: ("p", "", [(0.5, 0.0, 0.0)]),
                         Lib: ([],)}[type(made_once)])


def already_made(cls):
    return re.compile(rf"^trovelin\.{cls.__name__}\.__init__\(\) called on an object already made: it cannot be changed$")


def never_made(cls):
    return re.compile(rf"^trovelin\.{cls.__name__}: the object was never initialised, so it holds nothing to use$")


FULL = [(0.25, 0.0, 0.0)] * 65535

# (where the stub says it, words it says it with, call, exception, message: exact text or a pattern)
REFUSALS = [
    ("SampledRecording", "1 to 128", lambda: rec(name="a" * 129), ValueError, IDENT),
    ("SampledRecording", "the first a letter", lambda: rec(name="1take"), ValueError, IDENT),
    ("SampledRecording", "a-z, 0-9 and _", lambda: rec(name="Take"), ValueError, IDENT),
    ("SampledRecording", "breaks the name's rule", lambda: rec(dimensions=["pan", "Tilt"], samples=[[0, 0]]),
     ValueError, IDENT),
    ("SampledRecording", "BPM that is not finite and positive", lambda: rec(bpm=0.0), ValueError, CLOCK),
    ("SampledRecording", "BPM that is not finite and positive", lambda: rec(bpm=-120.0), ValueError, CLOCK),
    ("SampledRecording", "BPM that is not finite and positive", lambda: rec(bpm=math.inf), ValueError, CLOCK),
    ("SampledRecording", "beat origin that is not finite", lambda: rec(beat_zero_seconds=math.nan), ValueError, CLOCK),
    ("SampledRecording", "beat origin that is not finite", lambda: rec(beat_zero_seconds=-math.inf),
     ValueError, CLOCK),
    ("SampledRecording", "no axes", lambda: rec(dimensions=[], samples=[[]]), ValueError, SIZE),
    ("SampledRecording", "no rows", lambda: rec(samples=[]), ValueError, SIZE),
    # 4096 axes and 2049 rows: 8,392,704 values. Only rows count, so empty ones will do.
    ("SampledRecording", "more than 8,388,608 values (rows times axes)",
     lambda: rec(dimensions=[f"a{i}" for i in range(4096)], samples=[[]] * 2049), ValueError, SIZE),
    ("SampledRecording", "a last row after pip 2,147,483,646",
     lambda: rec(samples=[[0.5], [0.5]], start_pip=INT32_MAX - 1), ValueError, SIZE),
    ("SampledRecording", "repeats one", lambda: rec(dimensions=["pan", "pan"], samples=[[0, 0]]),
     ValueError, "Duplicate axis"),
    ("SampledRecording", "a row whose length is not the number of axes",
     lambda: rec(dimensions=["pan", "tilt"], samples=[[0.5, 0.5], [0.5]]), ValueError, "Ragged recording"),
    ("SampledRecording", "not finite", lambda: rec(samples=[[math.nan]]), ValueError, SAMPLE),
    ("SampledRecording", "outside [-1, 1]", lambda: rec(samples=[[1.0000000000000002]]), ValueError, SAMPLE),
    ("SampledRecording", "a raw DMX level", lambda: rec(samples=[[255.0]]), ValueError, SAMPLE),
    ("SampledRecording.sample", "IndexError", lambda: rec(start_pip=10).sample(11),
     IndexError, "Pip outside non-looping recording"),
    ("Offset3", "not constructible", lambda: trovelin.Offset3(), TypeError,
     "trovelin.Offset3: No constructor defined!"),
    ("SampledPattern.__init__", "the first a letter", lambda: pattern(name="_p"), ValueError, "Invalid pattern name"),
    ("SampledPattern.__init__", "1 to 128", lambda: pattern(name="p" * 129), ValueError, "Invalid pattern name"),
    ("SampledPattern.__init__", "no rows", lambda: pattern(rows=[]), ValueError, PATTERN_COUNT),
    ("SampledPattern.__init__", "more than 65535", lambda: pattern(rows=FULL + [(0.0, 0.0, 0.0)]),
     ValueError, PATTERN_COUNT),
    ("SampledPattern.__init__", "not finite", lambda: pattern(rows=[(0.0, math.inf, 0.0)]),
     ValueError, PATTERN_VALUES),
    ("SampledPattern.__init__", "outside [-1, 1]", lambda: pattern(rows=[(0.0, 0.0, -1.5)]),
     ValueError, PATTERN_VALUES),
    ("SampledPattern.__init__", "TypeError for a row that is not three numbers",
     lambda: pattern(rows=[(0.0, 0.0)]), TypeError, CONVERSION),
    ("SampledPattern.sample", "an int only (TypeError otherwise)", lambda: pattern().sample(1.0),
     TypeError, CONVERSION),
    ("PatternLibrary.__init__", "more than 1024 patterns", lambda: Lib([pattern(f"p{i}") for i in range(1025)]),
     ValueError, "Too many patterns"),
    ("PatternLibrary.__init__", "a repeated name", lambda: Lib([pattern("alpha"), pattern("alpha")]),
     ValueError, "Duplicate pattern name: alpha"),
    ("PatternLibrary.__init__", "more than 1,048,576 samples in all",
     lambda: Lib([SP(f"full_{i}", "", FULL) for i in range(17)]), ValueError, "Pattern pack is too large"),
    ("PatternLibrary.__init__", "would change a default", lambda: Lib([circle_changed()]),
     ValueError, "Cannot override default pattern: circle"),
    ("PatternLibrary.sample", "else the default of that name", lambda: Lib([pattern("mine")]).sample("nope", 0),
     ValueError, "Unknown trovelin: nope"),
    ("sample", "Any built-in motion", lambda: trovelin.sample("nope", 0), ValueError, "Unknown trovelin: nope"),
    ("sample", "a float of any kind", lambda: trovelin.sample("circle", 1.0), TypeError, CONVERSION),
    ("sample", "a float of any kind", lambda: trovelin.circle(numpy.float32(1)), TypeError, CONVERSION),
    ("sample", "outside -2,147,483,648 to 2,147,483,647", lambda: trovelin.sample("circle", INT32_MAX + 1),
     TypeError, CONVERSION),
    ("sample", "outside -2,147,483,648 to 2,147,483,647", lambda: trovelin.helix(INT32_MIN - 1), TypeError, CONVERSION),
    ("SampledRecording", "never a float of any kind", lambda: rec(start_pip=64.0), TypeError, CONVERSION),
    *[(cls.__name__, "calling __init__ again raises TypeError", again, TypeError, already_made(cls))
      for cls, again in [(Rec, lambda: made(rec)), (SP, lambda: made(pattern)), (Lib, lambda: made(Lib))]],
    *[(cls.__name__, words, lambda cls=cls, use=use: use(cls.__new__(cls)), TypeError, never_made(cls))
      for cls, words, use in [
          (Rec, "any use of an instance made by __new__ alone", lambda r: r.sample(0)),
          (SP, "any use of an instance made by __new__ alone", lambda p: p.period_pips),
          (Lib, "any use of an instance made by __new__ alone", lambda lib: lib.sample("circle", 0)),
          (trovelin.Offset3, "an instance made by __new__ alone refuses every use", lambda o: o.as_tuple())]],
]


def documented(message):
    """A message as the stub quotes it: a name at its end stands as NAME."""
    return re.sub(r"(: )[a-z_0-9]+$", r"\1NAME", message)


@pytest.mark.parametrize("where, words, call, exception, message", REFUSALS,
                         ids=[f"{r[0]}: {r[1]}" for r in REFUSALS])
def test_documented_refusal(where, words, call, exception, message):
    with pytest.raises(exception) as info:
        call()
    if isinstance(message, re.Pattern):
        assert message.search(str(info.value)), str(info.value)
    else:
        assert str(info.value) == message
    doc = " ".join(docstrings()[where].split())
    assert words in doc
    if isinstance(message, str) and where != "Offset3":
        assert f'"{documented(message)}"' in doc


def test_every_message_the_stub_quotes_is_in_the_table():
    quoted = {m for doc in docstrings().values() for m in re.findall(r'"([^"]+)"', " ".join(doc.split()))}
    tested = {documented(m) for *_, m in REFUSALS if isinstance(m, str)}
    assert quoted and quoted <= tested, sorted(quoted - tested)


@pytest.mark.parametrize("call", [
    lambda: rec(beat_zero_seconds=-3.5),                           # a beat origin of any sign
    lambda: rec(samples=[[1.0], [-1.0], [-0.0]]),                  # the bounds are inclusive
    lambda: rec(samples=[[0.5]], start_pip=INT32_MAX - 1),         # the last row on pip 2,147,483,646
    lambda: pattern(rows=[(1.0, -1.0, -0.0)]),
    lambda: Lib([pattern(f"p{i}") for i in range(1024)]),
], ids=["beat origin negative", "recording values at +-1", "last row at the limit", "pattern values at +-1",
        "1024 patterns"])
def test_documented_edges_are_accepted(call):
    assert call() is not None
