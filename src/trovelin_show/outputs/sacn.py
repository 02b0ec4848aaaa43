"""sACN (E1.31): every universe of a frame as one data packet, unicast to a receiver or multicast to the
universe's group.

The packets are the `sacn` package's own; the sending is done here, one packet
per universe per frame, so that the frame loop sets the pace rather than the
package's sender thread. Each universe keeps its own sequence number. On close
every universe's stream is ended with three packets marked stream-terminated,
so that receivers let go of the universe at once instead of holding the last
look until they time out.
"""
from __future__ import annotations

import socket
import uuid
from typing import Any, Optional, Sequence

from ..extras import require
from . import Positions, SendFailures, Universes
from .destination import resolve, udp_socket

SACN_PORT = 5568  # where every E1.31 receiver listens
TERMINATING_PACKETS = 3
SILENCE = (0,) * 512


class SacnOutput:
    """Sends the listed universes of each frame over sACN, a packet each, to `host` (or, with `multicast`, to
    each universe's multicast group) at `port`."""

    def __init__(self, host: str, port: int, universes: Sequence[int], *, priority: int = 100,
                 multicast: bool = False, source_name: str = "trovelin", ttl: int = 8,
                 interface: Optional[str] = None, cid: Optional[bytes] = None) -> None:
        data_packet = require("sacn.messages.data_packet", package="sacn", extra="live", purpose="sACN output")
        cid_tuple = tuple(cid if cid is not None else uuid.uuid4().bytes)
        name = source_name.encode()[:63].decode(errors="ignore")
        self._packets: list[Any] = [data_packet.DataPacket(cid=cid_tuple, sourceName=name, universe=u,
                                                           priority=priority) for u in universes]
        if multicast:
            self._sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            self._sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, ttl)
            if interface:
                try:
                    self._sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(interface))
                except OSError as error:
                    self._sock.close()
                    raise ValueError(f"interface {interface!r} is not an address of this machine "
                                     f"({error.strerror})") from None
            self._targets = [(p.calculate_multicast_addr(), port) for p in self._packets]
            self.label = f"sACN multicast port {port}"
        else:
            address = resolve(host, port)
            self._sock = udp_socket(address)
            self._targets = [(address, port)] * len(self._packets)
            self.label = f"sACN {host}:{port}"
        self.label += f" universe{'s' if len(universes) > 1 else ''} {', '.join(map(str, universes))}"
        self.failures = SendFailures(self.label)
        self._closed = False

    def send(self, universes: Universes, positions: Positions) -> None:
        for packet in self._packets:
            packet.dmxData = tuple(universes.get(packet.universe, SILENCE))
        self._send_all()

    def close(self) -> None:
        """Ends every universe's stream and closes the socket; a second close does nothing."""
        if self._closed:
            return
        self._closed = True
        for packet in self._packets:
            packet.option_StreamTerminated = True
        try:
            for _ in range(TERMINATING_PACKETS):
                self._send_all()
        finally:
            self._sock.close()

    def _send_all(self) -> None:
        for packet, target in zip(self._packets, self._targets):
            self.failures.attempt(self._sock.sendto, bytes(packet.getBytes()), target)
            packet.sequence_increase()
