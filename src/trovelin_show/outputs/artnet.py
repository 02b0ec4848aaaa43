"""Art-Net: every universe of a frame as one ArtDMX packet, unicast to a node.

The packets are built here. The Art-Net packages on PyPI were tried and do not
fit this frame loop: one (stupidartnet) writes the sequence number into its
header once, so every packet goes out with the same sequence, and it prints a
failed send instead of letting the caller count it; another (pyartnet) runs
its own asyncio refresh task and fades, where this loop needs one packet per
universe when it says so; a third (npartnet) also prints a failed send, needs
NumPy and Python 3.10. An ArtDMX packet is 18 bytes of header and the
channels, so it is built in a few lines.
"""
from __future__ import annotations

from typing import Sequence

from . import Positions, SendFailures, Universes
from .destination import resolve, udp_socket

ARTNET_PORT = 6454
PROTOCOL_VERSION = 14
OP_DMX = 0x5000
HEADER = b"Art-Net\x00" + OP_DMX.to_bytes(2, "little") + PROTOCOL_VERSION.to_bytes(2, "big")
PORT_ADDRESSES = range(0, 32768)  # 15 bits: net (7), sub-net (4), universe (4)
SILENCE = bytes(512)


def artdmx(port_address: int, sequence: int, channels: bytes, physical: int = 0) -> bytes:
    """An ArtDMX packet: `channels` (2 to 512 values, an even count) for the 15-bit `port_address`, with a
    `sequence` number 1 to 255 (0 tells the node not to reorder)."""
    if port_address not in PORT_ADDRESSES:
        raise ValueError(f"Art-Net port-address {port_address} is not 0 to 32767")
    if not 2 <= len(channels) <= 512 or len(channels) % 2:
        raise ValueError(f"an ArtDMX packet carries an even number of channels, 2 to 512, not {len(channels)}")
    return (HEADER + bytes((sequence, physical)) + port_address.to_bytes(2, "little")
            + len(channels).to_bytes(2, "big") + channels)


def next_sequence(sequence: int) -> int:
    """The sequence number after `sequence`: 1 to 255 and round again, never 0 (which turns reordering off)."""
    return sequence % 255 + 1


class ArtnetOutput:
    """Sends the listed universes of each frame as ArtDMX packets to `host`:`port`. A universe goes out on the
    port-address of its number plus `universe_offset` (-1 where the node counts from 0)."""

    def __init__(self, host: str, port: int, universes: Sequence[int], *, universe_offset: int = 0) -> None:
        self._address = resolve(host, port)
        self._target = (self._address, port)
        self._universes = list(universes)
        self._port_addresses = [u + universe_offset for u in universes]
        for u, pa in zip(self._universes, self._port_addresses):
            if pa not in PORT_ADDRESSES:
                raise ValueError(f"universe {u} would be Art-Net port-address {pa}, not 0 to 32767")
        self._sequence = {u: 1 for u in universes}
        self._sock = udp_socket(self._address)
        self.label = f"Art-Net {host}:{port} universe{'s' if len(universes) > 1 else ''} " + ", ".join(
            map(str, universes))
        self.failures = SendFailures(self.label)

    def send(self, universes: Universes, positions: Positions) -> None:
        for u, pa in zip(self._universes, self._port_addresses):
            packet = artdmx(pa, self._sequence[u], bytes(universes.get(u, SILENCE)))
            self._sequence[u] = next_sequence(self._sequence[u])
            self.failures.attempt(self._sock.sendto, packet, self._target)

    def close(self) -> None:
        self._sock.close()
