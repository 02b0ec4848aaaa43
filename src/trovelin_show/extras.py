"""Optional dependencies, imported where they are used, and the message when one is missing."""
from __future__ import annotations

import importlib
from types import ModuleType


class MissingExtra(Exception):
    """A feature needs a package of an optional extra that is not installed."""

    def __init__(self, purpose: str, package: str, extra: str) -> None:
        super().__init__(f"{purpose} needs the package {package!r}, which is not installed: "
                         f"pip install 'trovelin[{extra}]'")
        self.package = package
        self.extra = extra


def require(module: str, *, package: str, extra: str, purpose: str) -> ModuleType:
    """Imports `module`, or raises MissingExtra naming the distribution `package` and the `extra` that brings it."""
    try:
        return importlib.import_module(module)
    except ImportError as error:
        raise MissingExtra(purpose, package, extra) from error
