"""A MIDI input port whose clock messages go, stamped on the monotonic clock as they arrive, to a callback."""
from __future__ import annotations

import time
from typing import Any, Callable, Optional

from ..extras import MissingExtra, require

CLOCK_MESSAGES = {"clock", "start", "stop", "continue", "songpos"}


class MidiPortError(Exception):
    """No port to open: no MIDI system, no input ports, or none by the name asked for."""


def choose_port(wanted: Optional[str], names: list[str]) -> str:
    """The input port `wanted` names (its full name, or a part of it that only one port has), or the first port."""
    if not names:
        raise MidiPortError("there are no MIDI input ports here")
    if wanted is None:
        return names[0]
    if wanted in names:
        return wanted
    matches = [name for name in names if wanted in name]
    if len(matches) != 1:
        which = "names no input port" if not matches else "names more than one input port"
        raise MidiPortError(f"MIDI port {wanted!r} {which}; the input ports here are: "
                            + ", ".join(repr(name) for name in names))
    return matches[0]


def open_clock_input(wanted: Optional[str], heard: Callable[[Any, float], None],
                     clock: Callable[[], float] = time.monotonic) -> Any:
    """Opens the input port `wanted` names (see choose_port) with mido; each clock, Start, Stop, Continue and
    Song Position Pointer message goes to heard(message, time of arrival) from the port's thread. The caller
    closes the port it is given."""
    purpose = "following a MIDI clock"
    mido = require("mido", package="mido", extra="live", purpose=purpose)
    try:
        names = list(mido.get_input_names())
    except Exception as error:  # the backend's own kind of error: no MIDI driver or sequencer to talk to
        if isinstance(error, ImportError) and error.name == "rtmidi":  # mido's backend, of the same extra
            raise MissingExtra(purpose, "python-rtmidi", "live") from None
        raise MidiPortError(f"no MIDI system to open ports on here ({error})") from None

    def callback(message: Any) -> None:
        if message.type in CLOCK_MESSAGES:
            heard(message, clock())

    return mido.open_input(choose_port(wanted, names), callback=callback)
