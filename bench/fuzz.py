#!/usr/bin/env python3
"""Drive every entry point of trovelin with generated arguments.

Every registered function, constructor, method and property is called with
arguments drawn by a seeded generator: names of arbitrary bytes and lengths,
pips across and beyond the 32-bit range and of wrong types, nested sequences
of wrong shapes, lengths and values, packs at and past the library's limits,
recordings at and past the value limit; instances whose constructor never ran,
a second __init__ (from inside the first one too), sequences whose length changes while they are read or is
claimed far past every limit, and NumPy scalars where a pip is expected. Each call ends in an outcome: a result
(checked for form: finite coordinates within [-1, 1], rows of the recording's
width) or an exception, whose message is folded (names replaced by <name>).

The summary lists the outcomes and says whether every one is documented: the
module's refusal messages, the binding layer's TypeError for arguments of the
wrong type, AttributeError for assigning a read-only property, and
UnicodeDecodeError for reading back a bytes description that is not UTF-8.
The exit status is 1 if any outcome is not documented.

  python bench/fuzz.py --calls 1000000 [--seed 7]
"""
import argparse
import collections
import math
import random
import sys
import time

import trovelin

try:
    import numpy
except ImportError:  # the NumPy scalars are left out
    numpy = None

NUMPY_SCALARS = ("float16", "float32", "float64", "longdouble", "int8", "int16", "int32", "int64", "uint8",
                 "uint16", "uint32", "uint64")
INT32_MIN, INT32_MAX = -2**31, 2**31 - 1
MAX_SAMPLES = 65535
MAX_PATTERNS = 1024
MAX_PACK_SAMPLES = 1_048_576
MAX_RECORDING_VALUES = 8_388_608

REFUSALS = {
    ValueError: {
        "Unknown trovelin: <name>", "Invalid pattern name", "A pattern requires 1..65535 samples (one per pip)",
        "Pattern samples must be finite and within [-1, 1]", "Too many patterns", "Pattern pack is too large",
        "Duplicate pattern name: <name>", "Cannot override default pattern: <name>", "Invalid identifier",
        "A finite positive BPM and beat origin are required",
        "Empty recording or recording resource limit exceeded", "Duplicate axis", "Ragged recording",
        "Invalid sample",
    },
    IndexError: {"Pip outside non-looping recording"},
    TypeError: {"<binding>: incompatible function arguments", "<binding>: incompatible constructor arguments",
                "<binding>: No constructor defined!",
                "<class>: the object was never initialised, so it holds nothing to use",
                "<class>.__init__() called on an object already made: it cannot be changed"},
    AttributeError: {"read-only property"},
    UnicodeDecodeError: {"description is not UTF-8"},
}
CLASSES = ("SampledPattern", "PatternLibrary", "SampledRecording", "Offset3")
NAMED = ("Unknown trovelin: ", "Duplicate pattern name: ", "Cannot override default pattern: ")


def fold(exc):
    """The documented form of an exception's message, names and argument lists left out."""
    text = str(exc)
    if isinstance(exc, UnicodeDecodeError):
        return "description is not UTF-8"
    if isinstance(exc, AttributeError):
        return "read-only property" if ("can't set" in text or "has no setter" in text) else text
    if isinstance(exc, TypeError):
        first = text.splitlines()[0] if text else ""
        for known in ("incompatible function arguments", "incompatible constructor arguments",
                      "No constructor defined!"):
            if known in first:
                return "<binding>: " + known
        for cls in CLASSES:
            for sep in (": ", "."):
                if first.startswith(f"trovelin.{cls}{sep}"):
                    return "<class>" + first[len("trovelin." + cls):]
        return first
    for prefix in NAMED:
        if text.startswith(prefix):
            return prefix + "<name>"
    return text


class Generator:
    """Arguments of every kind an entry point might be handed."""

    def __init__(self, seed):
        self.r = random.Random(seed)
        listing = trovelin.catalogue()
        self.defaults = [d["name"] for d in listing]
        self.periods = {d["name"]: d["period_pips"] for d in listing}
        self.descriptions = {d["name"]: d["description"] for d in listing}
        self.patterns = [self.stock_pattern(i) for i in range(40)]
        self.copies = [self.copy_of_default(n) for n in ("bounce", "circle", "lfo_breathe", self.defaults[-1])]

    def chance(self, p):
        return self.r.random() < p

    def identifier(self):
        r = self.r
        n = r.choice([1, 2, 8, 32, 127, 128, r.randint(1, 128)])
        first = r.choice("abcdefghijklmnopqrstuvwxyz")
        return first + "".join(r.choice("abcdefghijklmnopqrstuvwxyz0123456789_") for _ in range(n - 1))

    def name(self):
        r = self.r
        kind = r.randrange(14)
        if kind == 0:
            return r.choice(self.defaults)
        if kind == 1:
            return ""
        if kind == 2:
            return "a" * r.choice([128, 129, 130, 1000])
        if kind == 3:
            return r.choice(self.defaults) + "\x00"
        if kind == 4:
            return bytes(r.randrange(256) for _ in range(r.randrange(0, 140)))
        if kind == 5:
            return r.choice([b"\xff\xfe", b"abc\x80", "caf\u00e9", "\u00fcber", "\U0001f941", "a\udcff"])
        if kind == 6:
            return r.choice(self.defaults).upper()
        if kind == 7:
            return r.choice(["9lives", "_x", "x-y", "x y", " circle", "circle ", "Circle"])
        if kind == 8:
            return bytearray(r.choice(self.defaults).encode())
        if kind == 9:
            return r.choice([None, 5, 1.5, ["circle"], object()])
        if kind == 10:
            return r.choice(self.defaults).encode()
        return self.identifier()

    def pip(self):
        r = self.r
        kind = r.randrange(12)
        if kind == 0:
            return r.choice([INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1, 0, -1, 1])
        if kind == 1:
            return r.choice([INT32_MIN - 1, INT32_MAX + 1, 2**63, -2**63 - 1, 2**100])
        if kind == 2:
            return r.choice([0.0, 1.5, -0.0, math.nan, math.inf, "12", None, b"1", [1], 1j])
        if kind == 3:
            return r.choice([True, False])
        if kind == 4:
            return Index(r.randint(INT32_MIN, INT32_MAX))
        if kind == 5:
            return IntOnly(r.randint(-1000, 1000))
        return r.randint(-100_000, 100_000) if kind < 9 else r.randint(INT32_MIN, INT32_MAX)

    def value(self):
        r = self.r
        kind = r.randrange(10)
        if kind == 0:
            return r.choice([math.nan, math.inf, -math.inf, -0.0, 1.0, -1.0,
                             math.nextafter(1.0, 2.0), math.nextafter(-1.0, -2.0), 1e-320, 2.0])
        if kind == 1:
            return r.choice(["0.5", None, [0.1], 1, True, 10**400 if r.random() < 0.5 else -3])
        return r.uniform(-1.0, 1.0)

    def point(self):
        r = self.r
        if self.chance(0.95):
            return (r.uniform(-1, 1), r.uniform(-1, 1), r.uniform(-1, 1))
        kind = r.randrange(5)
        if kind == 0:
            return tuple(self.value() for _ in range(3))
        if kind == 1:
            return tuple(self.value() for _ in range(r.choice([0, 1, 2, 4, 5])))
        if kind == 2:
            return r.uniform(-1, 1)
        if kind == 3:
            return "abc"
        return {"x": 0.0}

    def samples(self):
        r = self.r
        kind = r.randrange(40)
        if kind == 0:
            n = r.choice([0, MAX_SAMPLES, MAX_SAMPLES + 1]) if self.chance(0.05) else 0
            return [(0.0, 0.0, 0.0)] * n
        if kind == 1:
            return r.choice([None, 5, "abc", b"\x00\x01", [[0.0, 0.0, 0.0], 7], ((0.1, 0.2, 0.3),)])
        n = r.choice([1, 2, 3, 16, 64, r.randint(1, 600)])
        return [self.point() for _ in range(n)]

    def stock_pattern(self, i):
        r = self.r
        rows = [(r.uniform(-1, 1), r.uniform(-1, 1), r.uniform(-1, 1)) for _ in range(r.randint(1, 300))]
        return trovelin.SampledPattern(f"stock{i}_{self.identifier()[:8]}", "stock pattern", rows)

    def copy_of_default(self, name):
        rows = [trovelin.sample(name, p).as_tuple() for p in range(self.periods[name])]
        return trovelin.SampledPattern(name, self.descriptions[name], rows)

    def pack(self):
        r = self.r
        kind = r.randrange(30)
        if kind == 0 and self.chance(0.1):
            return [r.choice(self.patterns)] * r.choice([MAX_PATTERNS, MAX_PATTERNS + 1])
        if kind == 1 and self.chance(0.1):
            big = trovelin.SampledPattern("big", "", [(0.0, 0.0, 0.0)] * MAX_SAMPLES)
            count = MAX_PACK_SAMPLES // MAX_SAMPLES + r.choice([0, 1])
            return [trovelin.SampledPattern(f"big{i}", "", [(0.0, 0.0, 0.0)] * MAX_SAMPLES) for i in range(count)] \
                if self.chance(0.5) else [big]
        if kind == 2:
            return r.choice([None, 5, "circle", [None], [1, 2]])
        pack = [r.choice(self.patterns) for _ in range(r.randrange(0, 6))]
        if self.chance(0.3):
            pack.append(r.choice(self.copies))
        if self.chance(0.1):
            bent = list(self.copies[0].sample(p).as_tuple() for p in range(self.copies[0].period_pips))
            bent[r.randrange(len(bent))] = (0.5, 0.5, 0.5)
            pack.append(trovelin.SampledPattern("bounce", "bent", bent))
        if self.chance(0.05):
            pack.append(trovelin.SampledPattern(r.choice(self.defaults), "wrong length", [(0.0, 0.0, 0.0)] * 3))
        return pack

    def axes(self):
        r = self.r
        kind = r.randrange(12)
        if kind == 0:
            return []
        if kind == 1:
            a = self.identifier()
            return [a, a]
        if kind == 2:
            return [self.name() for _ in range(r.randint(1, 3))]
        if kind == 3:
            return r.choice([None, "x", 5, [None]])
        return [f"a{i}" for i in range(r.randint(1, 6))]

    def rows(self, width):
        r = self.r
        kind = r.randrange(40)
        if kind == 0 and self.chance(0.02):
            per_row = max(width, 1)
            n = MAX_RECORDING_VALUES // per_row + r.choice([0, 1])
            row = [0.0] * per_row
            return [row] * n
        if kind == 1:
            return []
        if kind == 2:
            return [[self.value() for _ in range(width)] for _ in range(r.randint(1, 20))]
        if kind == 3:
            return [[0.0] * r.choice([width - 1, width + 1, 0]) for _ in range(r.randint(1, 5))]
        if kind == 4:
            return r.choice([None, 3, [1.0, 2.0], [[0.1], None]])
        return [[r.uniform(-1, 1) for _ in range(width)] for _ in range(r.randint(1, 200))]

    def tempo(self):
        r = self.r
        if self.chance(0.85):
            return r.uniform(40, 240)
        return r.choice([0.0, -120.0, math.nan, math.inf, 1e-320, 1e-300, 1e308, "120", None])

    def origin(self):
        r = self.r
        return r.uniform(-10, 10) if self.chance(0.9) else r.choice([math.nan, math.inf, -math.inf, "0", None])

    def recording(self):
        try:
            return trovelin.SampledRecording(self.identifier()[:10], ["a", "b"], self.rows(2), 120.0,
                                              start_pip=self.r.randint(-1000, 1000))
        except (ValueError, TypeError):
            return None


class Claims:
    """A sequence whose __len__ answers from a list, one answer a call (the last repeated), and whose items
    run out at the last answer: a length that changes while it is read, or one claimed far past any limit."""

    def __init__(self, lengths, item):
        self.lengths, self.calls, self.item = lengths, 0, item

    def __len__(self):
        self.calls += 1
        return self.lengths[min(self.calls, len(self.lengths)) - 1]

    def __getitem__(self, i):
        if i >= min(self.lengths[-1], 100_000):
            raise IndexError(i)
        return self.item


class Reentrant:
    """Samples whose every read first calls `again` (another __init__ of the instance being made), counting
    the calls it refused."""

    def __init__(self, again, n):
        self.again, self.n, self.refused = again, n, 0

    def __len__(self):
        return self.n

    def __getitem__(self, i):
        if i >= self.n:
            raise IndexError(i)
        try:
            self.again()
        except TypeError as e:
            self.refused += "called on an object already made" in str(e)
        return (0.0, 0.0, 0.0)


class Index:
    def __init__(self, v):
        self.v = v

    def __index__(self):
        return self.v


class IntOnly:
    def __init__(self, v):
        self.v = v

    def __int__(self):
        return self.v


def check_point(p):
    t = p.as_tuple()
    assert isinstance(p, trovelin.Offset3) and len(t) == 3
    assert all(math.isfinite(c) and -1.0 <= c <= 1.0 for c in t) and (p.x, p.y, p.z) == t


def check_listing(listing):
    assert all(list(d) == ["name", "description", "period_pips", "dimensions"] for d in listing)


def calls(g):
    """Each entry point as a function of the generator that makes one call and checks its result."""
    r = g.r
    rudiments = [getattr(trovelin, n) for n in g.defaults[:15]]
    own = g.patterns[:8]
    library = trovelin.PatternLibrary(own + g.copies[:1])

    def module_sample():
        check_point(trovelin.sample(g.name(), g.pip()))

    def rudiment():
        check_point(r.choice(rudiments)(g.pip()))

    def listing():
        check_listing(trovelin.catalogue())

    def offset3():
        p = trovelin.sample(r.choice(g.defaults), r.randint(-1000, 1000))
        check_point(p)
        if g.chance(0.3):
            setattr(p, r.choice("xyz"), 0.5)
        if g.chance(0.3):
            trovelin.Offset3()

    def pattern():
        name = g.name() if g.chance(0.5) else g.identifier()
        desc = r.choice(["", "a description", "\u2014", b"\xff\xfe", b"plain", None, 3])
        p = trovelin.SampledPattern(name, desc, g.samples())
        assert 1 <= p.period_pips <= MAX_SAMPLES and isinstance(p.name, str)
        for _ in range(3):
            check_point(p.sample(g.pip()))
        if g.chance(0.2):
            setattr(p, r.choice(["name", "description", "period_pips"]), 1)
        p.description

    def pattern_sample():
        check_point(r.choice(g.patterns).sample(g.pip()))

    def new_library():
        lib = trovelin.PatternLibrary(g.pack()) if g.chance(0.95) else trovelin.PatternLibrary()
        check_listing(lib.catalogue())
        check_point(lib.sample(g.name(), g.pip()))

    def library_sample():
        name = r.choice(own).name if g.chance(0.5) else g.name()
        check_point(library.sample(name, g.pip()))

    def library_listing():
        listing = library.catalogue()
        check_listing(listing)
        assert len(listing) == len(g.defaults) + len(own)

    def new_recording():
        axes = g.axes()
        width = len(axes) if isinstance(axes, list) else 1
        kwargs = {}
        if g.chance(0.5):
            kwargs["beat_zero_seconds"] = g.origin()
        if g.chance(0.5):
            kwargs["start_pip"] = g.pip()
        rec = trovelin.SampledRecording(g.name() if g.chance(0.3) else g.identifier(), axes, g.rows(width),
                                        g.tempo(), **kwargs)
        assert rec.sample_count >= 1 and len(rec.dimensions) == width
        rec.name, rec.bpm, rec.beat_zero_seconds
        for pip in (rec.start_pip, rec.start_pip + rec.sample_count - 1, g.pip()):
            row = rec.sample(pip)
            assert len(row) == width and all(-1.0 <= v <= 1.0 for v in row)
        if g.chance(0.2):
            setattr(rec, r.choice(["name", "bpm", "start_pip", "dimensions"]), 1)

    def recording_sample():
        rec = g.recording()
        if rec is not None:
            row = rec.sample(g.pip() if g.chance(0.5) else rec.start_pip + r.randrange(rec.sample_count))
            assert len(row) == 2

    def never_made():
        cls = getattr(trovelin, r.choice(CLASSES))
        obj = cls.__new__(cls)
        member = r.choice([m for m in dir(cls) if not m.startswith("_")])
        value = getattr(obj, member)
        if callable(value):
            value(*{"sample": [r.choice(g.defaults), 0] if cls is trovelin.PatternLibrary else [0]}.get(member, []))
        if g.chance(0.2):
            trovelin.PatternLibrary([obj])

    def shifting_lengths():
        lengths = [r.choice([0, 1, 2, 3, 4, 2**31, 2**62]) for _ in range(r.randint(1, 4))]
        if g.chance(0.5):
            trovelin.SampledPattern("shifting", "", [Claims(lengths, 0.5)] * r.randint(1, 3))
        else:
            trovelin.SampledRecording("shifting", ["x", "y", "z"], [Claims(lengths, 0.5)] * r.randint(1, 3), 120.0)

    def numpy_scalar():
        if numpy is None:
            return
        kind = r.choice(NUMPY_SCALARS)
        value = getattr(numpy, kind)(r.choice([0, 1, 2.9, -3.5, 127]) if "int" not in kind else r.randint(0, 100))
        where = r.randrange(4)
        if where == 0:
            check_point(r.choice(rudiments)(value))
        elif where == 1:
            check_point(trovelin.sample(r.choice(g.defaults), value))
        elif where == 2:
            check_point(r.choice(g.patterns).sample(value))
        else:
            assert trovelin.SampledRecording("n", ["x"], [[0.5]], 120.0, 0.0, value).start_pip == int(value)

    def repeated_init():
        which = r.randrange(4)
        if which == 3:
            # __init__ again from inside the first one, while it reads its samples
            p = trovelin.SampledPattern.__new__(trovelin.SampledPattern)
            inner = Reentrant(lambda: p.__init__(g.identifier(), "", g.samples()), r.randint(1, 4))
            p.__init__("outer", "", inner)
            assert p.name == "outer" and p.period_pips == len(inner), "the inner __init__ changed the pattern"
            assert inner.refused == len(inner), "an inner __init__ was not refused"
            return
        if which == 0:
            p = r.choice(g.patterns)
            before = (p.name, p.period_pips)
            try:
                p.__init__(g.identifier(), "", g.samples())
            finally:
                assert (p.name, p.period_pips) == before, "a second __init__ changed the pattern"
        elif which == 1:
            trovelin.PatternLibrary(own).__init__(g.pack())
        else:
            trovelin.SampledRecording("once", ["x"], [[0.5]], 120.0).__init__(g.identifier(), g.axes(), [[0.1]], 90.0)

    def oversized():
        claimed = r.choice([MAX_SAMPLES + 1, MAX_PATTERNS + 1, MAX_RECORDING_VALUES + 1, 2**31, 2**40, 2**62])
        which = r.randrange(5)
        if which == 0:
            trovelin.SampledPattern(g.identifier(), "", Claims([claimed], (0.0, 0.0, 0.0)))
        elif which == 1:
            trovelin.PatternLibrary(Claims([claimed], own[0]))
        elif which == 2:
            trovelin.SampledRecording("big", ["x"], Claims([claimed], [0.5]), 120.0)
        elif which == 3:
            trovelin.SampledRecording("big", ["x"], [Claims([claimed], 0.5)], 120.0)
        else:
            trovelin.SampledRecording("big", Claims([claimed], "x"), [[0.5]], 120.0)

    return [(module_sample, 8), (rudiment, 6), (listing, 0.02), (offset3, 2), (pattern, 6), (pattern_sample, 4),
            (new_library, 1), (library_sample, 5), (library_listing, 0.05), (new_recording, 4),
            (recording_sample, 2), (never_made, 1), (shifting_lengths, 1), (numpy_scalar, 1), (repeated_init, 1),
            (oversized, 0.2)]


def documented(kind, message):
    if kind == "ok":
        return True
    exc = {"ValueError": ValueError, "IndexError": IndexError, "TypeError": TypeError,
           "AttributeError": AttributeError, "UnicodeDecodeError": UnicodeDecodeError}.get(kind)
    return exc is not None and message in REFUSALS[exc]


def run(n, seed, out=sys.stdout):
    g = Generator(seed)
    entries = calls(g)
    fns = [f for f, _ in entries]
    weights = [w for _, w in entries]
    outcomes = collections.Counter()
    per_entry = collections.Counter()
    start = time.perf_counter()
    for _ in range(n):
        fn = g.r.choices(fns, weights)[0]
        per_entry[fn.__name__] += 1
        try:
            fn()
            outcomes[("ok", "")] += 1
        except AssertionError as e:
            outcomes[("wrong result", f"{fn.__name__}: {e}")] += 1
        except Exception as e:  # every other outcome is classified below
            outcomes[(type(e).__name__, fold(e))] += 1
    elapsed = time.perf_counter() - start
    bad = {k: v for k, v in outcomes.items() if not documented(*k)}
    print(f"{n} calls (seed {seed}) in {elapsed:.1f} s", file=out)
    print("calls by entry point: " + ", ".join(f"{k} {v}" for k, v in sorted(per_entry.items())), file=out)
    width = max(len(k) for k, _ in outcomes)
    for (kind, message), count in sorted(outcomes.items(), key=lambda kv: -kv[1]):
        mark = "" if documented(kind, message) else "   <-- not documented"
        print(f"  {count:9d}  {kind:{width}s}  {message}{mark}", file=out)
    print("verdict: every outcome is documented" if not bad else
          f"verdict: {sum(bad.values())} outcomes are not documented", file=out)
    return not bad


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--calls", type=int, default=10_000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args(argv)
    return 0 if run(args.calls, args.seed) else 1


if __name__ == "__main__":
    sys.exit(main())
