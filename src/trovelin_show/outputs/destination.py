"""Where a UDP output sends: a host checked as far as can be done without sending anything."""
from __future__ import annotations

import ipaddress
import re
import socket

HOST_NAME = re.compile(r"(?!-)[A-Za-z0-9-]{1,63}(?<!-)(\.(?!-)[A-Za-z0-9-]{1,63}(?<!-))*\.?")


def host_problem(host: str) -> str | None:
    """What is wrong with `host` as written (nothing is looked up), or None."""
    if not host:
        return "is empty"
    try:
        address = ipaddress.ip_address(host)
    except ValueError:
        if re.fullmatch(r"[0-9.]+", host):
            return "is not an IPv4 address"
        if not HOST_NAME.fullmatch(host):
            return "is neither a host name nor an IP address"
        return None
    if address.is_unspecified:
        return "is the unspecified address, which names no receiver"
    if address == ipaddress.ip_address("255.255.255.255"):
        return "is the broadcast address; name a receiver"
    return None


def resolve(host: str, port: int, *, multicast: bool = False) -> str:
    """The IPv4 or IPv6 address to send to for `host`, once it resolves and has a route from here (connecting a
    UDP socket looks the route up and sends nothing). Raises ValueError saying what is wrong."""
    problem = host_problem(host)
    if problem:
        raise ValueError(f"{host!r} {problem}")
    try:
        found = socket.getaddrinfo(host, port, socket.AF_UNSPEC, socket.SOCK_DGRAM)
    except socket.gaierror as error:
        raise ValueError(f"{host!r} cannot be resolved ({error.strerror})") from None
    address = ipaddress.ip_address(found[0][4][0])
    if address.is_multicast and not multicast:
        raise ValueError(f"{host!r} is a multicast group")
    probe = socket.socket(socket.AF_INET6 if address.version == 6 else socket.AF_INET, socket.SOCK_DGRAM)
    try:
        probe.connect((str(address), port))
    except OSError as error:
        raise ValueError(f"{host!r} cannot be reached from here ({error.strerror})") from None
    finally:
        probe.close()
    return str(address)


def udp_socket(address: str) -> socket.socket:
    """A datagram socket of the family of `address`."""
    family = socket.AF_INET6 if ipaddress.ip_address(address).version == 6 else socket.AF_INET
    return socket.socket(family, socket.SOCK_DGRAM)
