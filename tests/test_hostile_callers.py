"""What a hostile caller can hand the module, each tried in an interpreter of its own: no signal, no hang,
and the documented exception with its message."""
import subprocess
import sys
import textwrap

import pytest

SETUP = """
import copy, sys, trovelin
def show(f):
    try:
        r = f()
    except BaseException as e:
        print(type(e).__name__ + ": " + str(e).splitlines()[0])
    else:
        print("returned", r)
class Claims:
    \"\"\"A sequence whose __len__ answers from a list, one answer a call, the last one repeated.\"\"\"
    def __init__(self, *lengths, item=0.5):
        self.lengths, self.calls, self.item = lengths, 0, item
    def __len__(self):
        self.calls += 1
        return self.lengths[min(self.calls, len(self.lengths)) - 1]
    def __getitem__(self, i):
        if i >= self.lengths[-1]:
            raise IndexError(i)
        return self.item
"""

NEVER_MADE = "TypeError: trovelin.{}: the object was never initialised, so it holds nothing to use"
MADE = "TypeError: trovelin.{}.__init__() called on an object already made: it cannot be changed"
PATTERN_ARGS = "TypeError: __init__(): incompatible constructor arguments."
PIP_ARGS = "TypeError: {}(): incompatible function arguments."

CASES = [
    # Instances whose constructor never ran.
    ("library never made", "show(lambda: trovelin.PatternLibrary.__new__(trovelin.PatternLibrary).sample('bounce', 0))",
     NEVER_MADE.format("PatternLibrary")),
    ("pattern never made", "show(lambda: trovelin.SampledPattern.__new__(trovelin.SampledPattern).sample(0))",
     NEVER_MADE.format("SampledPattern")),
    ("period of a pattern never made",
     "show(lambda: trovelin.SampledPattern.__new__(trovelin.SampledPattern).period_pips)",
     NEVER_MADE.format("SampledPattern")),
    ("offset never made", "show(lambda: trovelin.Offset3.__new__(trovelin.Offset3).as_tuple())",
     NEVER_MADE.format("Offset3")),
    ("recording never made", "show(lambda: trovelin.SampledRecording.__new__(trovelin.SampledRecording).sample(0))",
     NEVER_MADE.format("SampledRecording")),
    ("a pack holding a pattern never made",
     "show(lambda: trovelin.PatternLibrary([trovelin.SampledPattern.__new__(trovelin.SampledPattern)]))",
     NEVER_MADE.format("SampledPattern")),
    ("copy of a subclass with __getstate__", textwrap.dedent("""
        class Mine(trovelin.SampledPattern):
            def __getstate__(self):
                return {}
        show(lambda: copy.copy(Mine("a", "", [(0, 0, 0)])).sample(0))"""), NEVER_MADE.format("SampledPattern")),
    # Lengths that change while a sample is read.
    ("length 3 then 0", "show(lambda: trovelin.SampledPattern('a', '', [Claims(3, 0)]))", PATTERN_ARGS),
    ("length 3, 3 then 1", "show(lambda: trovelin.SampledPattern('a', '', [Claims(3, 3, 1)]))", PATTERN_ARGS),
    ("a row of length 2 then 1 in a recording",
     "show(lambda: trovelin.SampledRecording('r', ['x', 'y'], [Claims(2, 1)], 120))",
     "ValueError: Ragged recording"),
    # Floats of every kind where a pip is expected.
    ("numpy float32 rudiment", "import numpy; show(lambda: trovelin.bounce(numpy.float32(1.5)))",
     PIP_ARGS.format("bounce")),
    ("numpy float16 sample", "import numpy; show(lambda: trovelin.sample('circle', numpy.float16(1.5)))",
     PIP_ARGS.format("sample")),
    ("numpy longdouble rudiment", "import numpy; show(lambda: trovelin.helix(numpy.longdouble(2.5)))",
     PIP_ARGS.format("helix")),
    ("a float subclass", "class F(float): pass\nshow(lambda: trovelin.sway(F(2.0)))", PIP_ARGS.format("sway")),
    ("numpy float16 start pip",
     "import numpy; show(lambda: trovelin.SampledRecording('r', ['x'], [[0.1]], 120, 0, numpy.float16(2.9)))",
     PATTERN_ARGS),
    ("numpy int start pip",
     "import numpy; show(lambda: trovelin.SampledRecording('r', ['x'], [[0.1]], 120, 0, numpy.int8(2)).start_pip)",
     "returned 2"),
    ("numpy int pip", "import numpy; show(lambda: trovelin.bounce(numpy.int64(40)) .as_tuple() == "
     "trovelin.bounce(40).as_tuple())", "returned True"),
    # A second __init__.
    ("second __init__ of a pattern",
     "p = trovelin.SampledPattern('a', '', [(0, 0, 0)])\nshow(lambda: p.__init__('BAD NAME', '', [(9, 9, 9)]))\n"
     "print(p.name, p.sample(0).as_tuple())", MADE.format("SampledPattern") + "\na (0.0, 0.0, 0.0)"),
    ("second __init__ of a recording",
     "r = trovelin.SampledRecording('r', ['x'], [[0.1]], 120)\nshow(lambda: r.__init__('s', ['y'], [[0.2]], 60))",
     MADE.format("SampledRecording")),
    ("second __init__ of a library",
     "l = trovelin.PatternLibrary()\nshow(lambda: l.__init__([]))", MADE.format("PatternLibrary")),
    ("__init__ again while the first one reads its samples", textwrap.dedent("""
        p = trovelin.SampledPattern.__new__(trovelin.SampledPattern)
        class Again:
            def __len__(self):
                return 1
            def __getitem__(self, i):
                if i:
                    raise IndexError(i)
                show(lambda: p.__init__("inner", "", [(0, 0, 0)]))
                return (0.5, 0, 0)
        show(lambda: p.__init__("outer", "", Again()))
        print(p.name, p.sample(0).x)"""), MADE.format("SampledPattern") + "\nreturned None\nouter 0.5"),
    ("__init__ of one instance from two threads at once", textwrap.dedent("""
        import threading, time
        r = trovelin.SampledRecording.__new__(trovelin.SampledRecording)
        class Slow:
            def __init__(self, value):
                self.value = value
            def __len__(self):
                return 20
            def __getitem__(self, i):
                if i >= 20:
                    raise IndexError(i)
                time.sleep(0.001)
                return [self.value]
        outcomes = []
        def make(value):
            try:
                r.__init__("r", ["x"], Slow(value), 120)
                outcomes.append("made")
            except TypeError as e:
                outcomes.append("TypeError: " + str(e))
        threads = [threading.Thread(target=make, args=(v,)) for v in (0.25, 0.75)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        print("\\n".join(sorted(outcomes)))
        print(r.sample(0)[0] in (0.25, 0.75))"""), MADE.format("SampledRecording") + "\nmade\nTrue"),
    # Names a message cannot carry whole.
    ("a NUL in a name", "show(lambda: trovelin.sample('a\\x00b', 0))", "ValueError: Unknown trovelin: a\\x00b"),
    ("bytes that are not UTF-8 in a name", "show(lambda: trovelin.sample(b'\\xff', 0))",
     "ValueError: Unknown trovelin: \\xff"),
    ("bytes that are not UTF-8 in a library's name",
     "show(lambda: trovelin.PatternLibrary().sample(b'ok\\xc3\\x00', 0))", "ValueError: Unknown trovelin: ok\\xc3\\x00"),
    # Lengths claimed far past every limit.
    ("2**62 samples", "show(lambda: trovelin.SampledPattern('a', '', Claims(2**62, item=(0, 0, 0))))",
     "ValueError: A pattern requires 1..65535 samples (one per pip)"),
    ("2**40 samples with a bad name", "show(lambda: trovelin.SampledPattern('A', '', Claims(2**40)))",
     "ValueError: Invalid pattern name"),
    ("2**62 patterns", "show(lambda: trovelin.PatternLibrary(Claims(2**62)))", "ValueError: Too many patterns"),
    ("2**62 recording rows", "show(lambda: trovelin.SampledRecording('r', ['x'], Claims(2**62), 120))",
     "ValueError: Empty recording or recording resource limit exceeded"),
    ("a row of 2**62 values", "show(lambda: trovelin.SampledRecording('r', ['x'], [Claims(2**62)], 120))",
     "ValueError: Empty recording or recording resource limit exceeded"),
    ("2**62 axes", "show(lambda: trovelin.SampledRecording('r', Claims(2**62, item='x'), [[0.1]], 120))",
     "ValueError: Empty recording or recording resource limit exceeded"),
    ("a caller's own error passes through",
     "class Bad:\n    def __len__(self):\n        raise KeyError('mine')\n    def __getitem__(self, i):\n"
     "        return 0\nshow(lambda: trovelin.SampledPattern('a', '', Bad()))", "KeyError: 'mine'"),
    # A refused pack is refused before any pattern is copied: the peak stays near one pattern's size.
    ("3000 of the largest pattern", textwrap.dedent("""
        import resource
        rows = [(0.5, 0.5, 0.5)] * 65535
        big = [trovelin.SampledPattern(f"big{i}", "", rows) for i in range(17)]
        before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
        show(lambda: trovelin.PatternLibrary(big * 177))
        show(lambda: trovelin.PatternLibrary(big))
        grown_mib = (resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - before) / 1024
        print("grew under 64 MiB:", grown_mib < 64)"""),
     "ValueError: Too many patterns\nValueError: Pattern pack is too large\ngrew under 64 MiB: True"),
    ("a non-pattern in too long a pack fails conversion first",
     "show(lambda: trovelin.PatternLibrary([1] * 1025))", "TypeError: __init__(): incompatible constructor"),
]


@pytest.mark.parametrize("code, expected", [c[1:] for c in CASES], ids=[c[0] for c in CASES])
def test_hostile_call_ends_in_its_documented_outcome(code, expected):
    done = subprocess.run([sys.executable, "-c", SETUP + code], capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, (done.returncode, done.stderr[-2000:])
    assert done.stdout.strip().startswith(expected), done.stdout


def test_a_sub_interpreter_import_fails_at_once():
    interpreters = pytest.importorskip("_xxsubinterpreters")
    code = textwrap.dedent("""
        import _xxsubinterpreters as interpreters
        i = interpreters.create()
        try:
            interpreters.run_string(i, "import trovelin")
        except Exception as e:
            print(type(e).__name__, str(e))
        import trovelin
        print(trovelin.bounce(3).as_tuple())""")
    assert interpreters
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr[-2000:]
    assert "ImportError" in done.stdout and "sub-interpreter" in done.stdout
    assert "(-0.8125, 0.0, 0.0)" in done.stdout, "and the main interpreter still imports it"
