"""A short run of the entry-point fuzzer: every outcome must be a documented one."""
import importlib.util
import io
import pathlib

spec = importlib.util.spec_from_file_location("fuzz", pathlib.Path(__file__).parent.parent / "bench" / "fuzz.py")
fuzz = importlib.util.module_from_spec(spec)
spec.loader.exec_module(fuzz)


def test_every_outcome_of_a_short_fuzz_run_is_documented():
    out = io.StringIO()
    ok = fuzz.run(4000, seed=11, out=out)
    report = out.getvalue()
    assert ok, report
    # The run reached the refusals as well as the successes.
    for outcome in ("ok", "Unknown trovelin: <name>", "incompatible function arguments", "Invalid identifier",
                    "Pip outside non-looping recording", "the object was never initialised",
                    "called on an object already made", "Empty recording or recording resource limit exceeded"):
        assert outcome in report, report


def test_the_verdict_flags_an_undocumented_outcome():
    assert fuzz.documented("ValueError", "Invalid identifier")
    assert not fuzz.documented("ValueError", "Invalid identifier!")
    assert not fuzz.documented("wrong result", "sample: coordinate out of range")
    assert not fuzz.documented("SystemError", "")
    assert fuzz.fold(TypeError("trovelin.Offset3: the object was never initialised, so it holds nothing to use")) \
        == "<class>: the object was never initialised, so it holds nothing to use"
