"""Keys pressed at the terminal, each with the time it came: tap, nudge, resync, go and quit.

Where standard input is a terminal it is put in cbreak mode for the run (keys
come one by one, unechoed; Ctrl-C still interrupts) and read by a thread that
stamps each key on the monotonic clock as it arrives, so a tap is timed by the
key, not by the frame that reads it. Where standard input is not a terminal
(a script, a pipe, a service) no key is read.
"""
from __future__ import annotations

import os
import sys
import threading
import time
from queue import Empty, SimpleQueue
from types import TracebackType
from typing import Callable, Optional, TextIO

ACTIONS = {
    " ": "tap", "t": "tap",
    "\x1b[D": "nudge_back", ",": "nudge_back",
    "\x1b[C": "nudge_forward", ".": "nudge_forward",
    "r": "resync",
    "g": "go", "\r": "go", "\n": "go",
    "q": "quit",
}
ESCAPES = sorted((k for k in ACTIONS if len(k) > 1), key=len, reverse=True)
HELP = "space tap, ←/→ nudge, r resync, g go, q quit"


def actions_of(chunk: str) -> list[str]:
    """The actions of the keys in `chunk` (what one read of the terminal gave), in order; other keys are ignored."""
    found = []
    i = 0
    while i < len(chunk):
        key = next((e for e in ESCAPES if chunk.startswith(e, i)), chunk[i])
        i += len(key)
        action = ACTIONS.get(key.lower() if len(key) == 1 else key)
        if action:
            found.append(action)
    return found


class KeyReader:
    """A context in which keys of the terminal on `stream` become (action, monotonic time) pairs for `take()`."""

    def __init__(self, stream: TextIO = sys.stdin, clock: Callable[[], float] = time.monotonic) -> None:
        self._stream = stream
        self._clock = clock
        self._queue: SimpleQueue[tuple[str, float]] = SimpleQueue()
        self._stop = threading.Event()
        self._thread: Optional[threading.Thread] = None
        self._restore: Optional[Callable[[], None]] = None
        self.active = False

    def __enter__(self) -> KeyReader:
        try:
            interactive = self._stream.isatty()
        except (AttributeError, ValueError):
            interactive = False
        if not interactive:
            return self
        if sys.platform == "win32":
            target: Callable[[], None] = self._read_console
        else:
            import termios
            import tty
            fd = self._stream.fileno()
            saved = termios.tcgetattr(fd)
            tty.setcbreak(fd)
            self._restore = lambda: termios.tcsetattr(fd, termios.TCSADRAIN, saved)
            target = self._read_terminal
        self._thread = threading.Thread(target=target, name="keys", daemon=True)
        self._thread.start()
        self.active = True
        return self

    def __exit__(self, kind: Optional[type[BaseException]], error: Optional[BaseException],
                 trace: Optional[TracebackType]) -> None:
        self._stop.set()
        if self._thread is not None:
            self._thread.join(timeout=1.0)
        if self._restore is not None:
            self._restore()

    def take(self) -> list[tuple[str, float]]:
        """The keys pressed since the last call, each an (action, monotonic time) pair."""
        taken = []
        while True:
            try:
                taken.append(self._queue.get_nowait())
            except Empty:
                return taken

    def _put(self, chunk: str) -> None:
        now = self._clock()
        for action in actions_of(chunk):
            self._queue.put((action, now))

    def _read_terminal(self) -> None:
        import select
        fd = self._stream.fileno()
        while not self._stop.is_set():
            ready, _, _ = select.select([fd], [], [], 0.1)
            if ready:
                chunk = os.read(fd, 16)
                if not chunk:
                    return
                self._put(chunk.decode(errors="ignore"))

    def _read_console(self) -> None:  # pragma: no cover - Windows only
        import msvcrt
        arrows = {"K": "\x1b[D", "M": "\x1b[C"}
        while not self._stop.is_set():
            if not msvcrt.kbhit():  # type: ignore[attr-defined, unused-ignore]
                self._stop.wait(0.005)
                continue
            key = msvcrt.getwch()  # type: ignore[attr-defined, unused-ignore]
            if key in ("\x00", "\xe0"):
                key = arrows.get(msvcrt.getwch(), "")  # type: ignore[attr-defined, unused-ignore]
            self._put(key)
