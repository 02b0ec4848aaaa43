"""The status line of a run, refreshed in place with rich; nothing at all when quiet."""
from __future__ import annotations

import time
from types import TracebackType
from typing import Any, Callable, Optional

from ..extras import require


class StatusLine:
    """Shows the latest text given to `show`, redrawn in place at most `per_second` times a second. Where the
    output is not a terminal nothing is redrawn: only a forced `show` (the last one of a run) prints a line."""

    def __init__(self, quiet: bool, per_second: float = 8.0, clock: Callable[[], float] = time.monotonic) -> None:
        self._live: Any = None
        self._every = 1.0 / per_second
        self._clock = clock
        self._last = -float("inf")
        self._plain = not quiet
        if not quiet:
            console = require("rich.console", package="rich", extra="live", purpose="the status line").Console()
            if console.is_terminal:
                live = require("rich.live", package="rich", extra="live", purpose="the status line")
                self._text = require("rich.text", package="rich", extra="live", purpose="the status line").Text
                self._live = live.Live(self._text(""), console=console, auto_refresh=False, transient=False)
                self._plain = False

    def __enter__(self) -> StatusLine:
        if self._live is not None:
            self._live.start()
        return self

    def __exit__(self, kind: Optional[type[BaseException]], error: Optional[BaseException],
                 trace: Optional[TracebackType]) -> None:
        if self._live is not None:
            self._live.stop()

    def show(self, text: str, force: bool = False) -> None:
        if self._live is None:
            if force and self._plain:
                print(text, flush=True)
            return
        now = self._clock()
        if force or now - self._last >= self._every:
            self._last = now
            self._live.update(self._text(text), refresh=True)

    def say(self, text: str) -> None:
        """A line printed above the status line (or plainly when quiet)."""
        if self._live is not None:
            self._live.console.print(text, highlight=False, markup=False)
        else:
            print(text, flush=True)
