"""OSC: each fixture's position as one message of three float32 arguments, x, y and z, to an address of its own."""
from __future__ import annotations

from typing import Any, Mapping

from ..extras import require
from . import Positions, SendFailures, Universes
from .destination import resolve

OSC_PORT = 9000


class OscOutput:
    """Sends, every frame, one OSC message per fixture of `addresses` (fixture -> OSC address) to `host`:`port`."""

    def __init__(self, host: str, port: int, addresses: Mapping[str, str]) -> None:
        builder = require("pythonosc.osc_message_builder", package="python-osc", extra="live", purpose="OSC output")
        client = require("pythonosc.udp_client", package="python-osc", extra="live", purpose="OSC output")
        self._builder: Any = builder.OscMessageBuilder
        self._client: Any = client.UDPClient(resolve(host, port), port)
        self._addresses = dict(addresses)
        self.label = f"OSC {host}:{port}"
        self.failures = SendFailures(self.label)

    def send(self, universes: Universes, positions: Positions) -> None:
        for fixture, address in self._addresses.items():
            message = self._builder(address=address)
            for value in positions[fixture]:
                message.add_arg(float(value), "f")
            self.failures.attempt(self._client.send, message.build())

    def close(self) -> None:
        self._client.close()
