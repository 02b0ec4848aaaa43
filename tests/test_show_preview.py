"""`trovelin preview`: the sheet, its refusals, and the message when matplotlib is missing."""
import sys

import pytest

from trovelin_show.cli import main

PACK = '''
import trovelin
PATTERNS = [trovelin.SampledPattern("my_ramp", "A ramp of mine", [(i / 48 - 1, 0.0, 0.0) for i in range(96)])]
'''


def test_a_sheet_of_defaults_and_own_patterns_is_written(tmp_path, capsys):
    pytest.importorskip("matplotlib")
    pack = tmp_path / "pack.py"
    pack.write_text(PACK)
    out = tmp_path / "sheet.png"
    assert main(["preview", "circle", "flam", "--file", str(pack), "-o", str(out)]) == 0
    assert out.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    assert capsys.readouterr().out.strip() == f"wrote {out} (3 motions)"


@pytest.mark.parametrize("args, message", [
    (["no_such_motion", "circle"], "trovelin preview: unknown motion(s): no_such_motion"),
    ([], "trovelin preview: name at least one motion (or give --prefix or --file)"),
])
def test_what_cannot_be_drawn_is_refused(tmp_path, capsys, args, message):
    assert main(["preview", *args, "-o", str(tmp_path / "x.png")]) == 2
    assert capsys.readouterr().err.strip() == message
    assert not (tmp_path / "x.png").exists()


def test_without_matplotlib_the_message_names_the_extra(tmp_path, capsys, monkeypatch):
    monkeypatch.setitem(sys.modules, "matplotlib", None)   # an import of it now fails
    assert main(["preview", "circle", "-o", str(tmp_path / "x.png")]) == 2
    err = capsys.readouterr().err
    assert "'matplotlib'" in err and "pip install 'trovelin[preview]'" in err
