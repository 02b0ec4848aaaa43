"""Outputs: where a frame's channels and positions go. These are the only modules of the package that open sockets.

Every output takes a frame as two mappings, universes (universe -> 512 channel
values) and positions (fixture -> x, y, z), sends what its protocol carries of
them, and counts what it could not send instead of stopping: a network that
goes away in the middle of a show must not end the show.
"""
from __future__ import annotations

import sys
from typing import Any, Callable, Mapping, Protocol, Sequence, Tuple

Universes = Mapping[int, Sequence[int]]
Positions = Mapping[str, Tuple[float, float, float]]


class SendFailures:
    """What an output sent and what it could not, by reason (the system's words for the error). The first
    failure of each reason is said at once on stderr, with the output's `label`."""

    def __init__(self, label: str) -> None:
        self.label = label
        self.sent = 0
        self.reasons: dict[str, int] = {}

    @property
    def failed(self) -> int:
        return sum(self.reasons.values())

    def note(self, error: OSError) -> bool:
        """Counts a failed send; True the first time its reason is seen, so that it can be said once."""
        reason = error.strerror or type(error).__name__
        first = reason not in self.reasons
        self.reasons[reason] = self.reasons.get(reason, 0) + 1
        return first

    def attempt(self, send: Callable[..., object], *args: object) -> None:
        """Calls send(*args), counting it as sent, or as failed if it raises OSError."""
        try:
            send(*args)
        except OSError as error:
            if self.note(error):
                print(f"{self.label}: cannot send ({error.strerror}); still trying", file=sys.stderr, flush=True)
        else:
            self.sent += 1

    def summary(self) -> str:
        return ", ".join(f"{count} ({reason})" for reason, count in self.reasons.items())


class Output(Protocol):
    """A destination for frames: `label` says where it sends, `failures` what went wrong."""

    label: str
    failures: SendFailures

    def send(self, universes: Universes, positions: Positions) -> None: ...

    def close(self) -> None: ...


def open_outputs(specs: Sequence[Any], source_name: str = "trovelin") -> list[Output]:
    """An open output for each output of a show file (`showfile.Output`); ValueError naming the one that
    cannot be opened (the ones opened before it are closed again)."""
    opened: list[Output] = []
    try:
        for spec in specs:
            try:
                opened.append(_open(spec, source_name))
            except ValueError as wrong:
                raise ValueError(f"output {spec.protocol} {spec.host}:{spec.port}: {wrong}") from None
    except BaseException:
        for output in opened:
            output.close()
        raise
    return opened


def _open(spec: Any, source_name: str) -> Output:
    if spec.protocol == "sacn":
        from .sacn import SacnOutput
        return SacnOutput(spec.host, spec.port, spec.universes, priority=spec.priority, multicast=spec.multicast,
                          source_name=source_name)
    if spec.protocol == "artnet":
        from .artnet import ArtnetOutput
        return ArtnetOutput(spec.host, spec.port, spec.universes, universe_offset=spec.universe_offset)
    from .osc import OscOutput
    return OscOutput(spec.host, spec.port, dict(spec.osc_addresses))
