"""The show package as a whole: typed, strict, its core free of I/O, its command installed."""
import ast
import os
import pathlib
import shutil
import subprocess
import sys

import pytest

import trovelin_show
from trovelin_show.extras import MissingExtra, require

ROOT = pathlib.Path(__file__).resolve().parent.parent
PACKAGE = pathlib.Path(trovelin_show.__file__).resolve().parent

# The edges: the only modules that may read clocks, open sockets or touch files.
EDGES = {"cli", "outputs", "live", "showfile", "gallery", "preview", "__main__"}
# Imports that would let the core do I/O of its own.
IO_MODULES = {"socket", "select", "selectors", "asyncio", "threading", "subprocess", "time", "datetime", "os",
              "io", "pathlib", "shutil", "tempfile", "sys", "urllib", "http", "sacn", "pythonosc", "mido", "rtmidi"}


def core_modules():
    for path in sorted(PACKAGE.rglob("*.py")):
        parts = path.relative_to(PACKAGE).with_suffix("").parts
        if parts[0] not in EDGES:
            yield path


def imported_roots(tree):
    for node in ast.walk(tree):
        if isinstance(node, ast.Import):
            yield from (alias.name.split(".")[0] for alias in node.names)
        elif isinstance(node, ast.ImportFrom) and node.level == 0 and node.module:
            yield node.module.split(".")[0]


def test_the_core_imports_nothing_that_does_io():
    found = {}
    for path in core_modules():
        tree = ast.parse(path.read_text(), str(path))
        bad = sorted(set(imported_roots(tree)) & IO_MODULES)
        calls = sorted({node.func.id for node in ast.walk(tree)
                        if isinstance(node, ast.Call) and isinstance(node.func, ast.Name)
                        and node.func.id in {"open", "print", "input"}})
        if bad or calls:
            found[str(path.relative_to(PACKAGE))] = bad + calls
    assert list(core_modules()), "no core module found"
    assert found == {}


def test_the_package_is_typed_and_strict():
    assert (PACKAGE / "py.typed").is_file()
    source = ROOT / "src" / "trovelin_show"
    target = source if source.is_dir() else PACKAGE
    done = subprocess.run([sys.executable, "-m", "mypy", "--strict", "--no-incremental", str(target)],
                          cwd=ROOT, capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr


def test_the_command_is_installed_and_lists_its_subcommands():
    from trovelin_show.cli import COMMANDS
    command = shutil.which("trovelin", path=os.path.dirname(sys.executable) + os.pathsep + os.environ.get("PATH", ""))
    args = [command] if command else [sys.executable, "-m", "trovelin_show"]
    done = subprocess.run(args + ["--help"], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert all(name in done.stdout for name in COMMANDS)


def test_a_missing_extra_names_the_package_and_the_extra_to_install():
    with pytest.raises(MissingExtra) as caught:
        require("trovelin_no_such_module", package="no-such-package", extra="live", purpose="sending frames")
    assert str(caught.value) == ("sending frames needs the package 'no-such-package', which is not installed: "
                                 "pip install 'trovelin[live]'")
    assert require("json", package="json", extra="live", purpose="x").__name__ == "json"
