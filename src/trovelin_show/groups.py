"""Groups of fixtures and the spread of one effect across them, in an order.

A spread of 0 runs every fixture together; a spread of 1 puts one whole loop
across the group. The order says which fixture comes when: each fixture gets a
step, and a fixture at step s of S runs `spread * s / S` of a loop behind the
fixtures at step 0.
"""
from __future__ import annotations

from dataclasses import dataclass
from typing import List, Tuple

ORDERS: Tuple[str, ...] = ("forward", "reverse", "centre_out", "outside_in", "mirrored_pairs", "shuffle")


@dataclass(frozen=True)
class Group:
    """A named group of fixtures, by name, in the order the spread runs across them (left to right, say)."""

    name: str
    fixtures: Tuple[str, ...]

    def __post_init__(self) -> None:
        if not self.fixtures:
            raise ValueError(f"group {self.name!r} has no fixtures")
        seen = set()
        for name in self.fixtures:
            if name in seen:
                raise ValueError(f"group {self.name!r} names fixture {name!r} twice")
            seen.add(name)


def _splitmix64(state: int) -> Tuple[int, int]:
    """One step of SplitMix64: (the next state, a 64-bit output). Fixed arithmetic, the same everywhere."""
    state = (state + 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF
    z = state
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & 0xFFFFFFFFFFFFFFFF
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & 0xFFFFFFFFFFFFFFFF
    return state, z ^ (z >> 31)


def shuffled(count: int, seed: int) -> List[int]:
    """A permutation of range(count) from `seed`: Fisher-Yates on SplitMix64, the same on every platform and
    Python version."""
    out = list(range(count))
    state = seed & 0xFFFFFFFFFFFFFFFF
    for i in range(count - 1, 0, -1):
        state, r = _splitmix64(state)
        j = r % (i + 1)
        out[i], out[j] = out[j], out[i]
    return out


def steps(count: int, order: str = "forward", seed: int = 0) -> Tuple[Tuple[int, ...], int]:
    """Each of `count` fixtures' step in `order`, and the number of steps.

    - forward: fixture k at step k; reverse: the last fixture first.
    - centre_out: from the middle outwards, one fixture a step (left before right at the same distance).
    - outside_in: from both ends inwards, one fixture a step (left before right).
    - mirrored_pairs: fixture k and its mirror image (count - 1 - k) together, from the ends inwards.
    - shuffle: a shuffled forward order, the same for the same seed.
    """
    if count < 1:
        raise ValueError("a group has at least one fixture")
    indices = range(count)
    if order == "forward":
        return tuple(indices), count
    if order == "reverse":
        return tuple(count - 1 - k for k in indices), count
    if order in ("centre_out", "outside_in"):
        # Twice the distance from the middle, to stay in integers.
        by_distance = sorted(indices, key=lambda k: (abs(2 * k - (count - 1)), k))
        if order == "outside_in":
            by_distance = sorted(indices, key=lambda k: (-abs(2 * k - (count - 1)), k))
        rank = [0] * count
        for step, k in enumerate(by_distance):
            rank[k] = step
        return tuple(rank), count
    if order == "mirrored_pairs":
        return tuple(min(k, count - 1 - k) for k in indices), (count + 1) // 2
    if order == "shuffle":
        permutation = shuffled(count, seed)
        rank = [0] * count
        for step, k in enumerate(permutation):
            rank[k] = step
        return tuple(rank), count
    raise ValueError(f"order is one of {', '.join(ORDERS)}, not {order!r}")


def spread_fractions(count: int, spread: float, order: str = "forward", seed: int = 0) -> Tuple[float, ...]:
    """Each fixture's lag behind step 0, as a fraction of a loop: spread * step / steps."""
    rank, total = steps(count, order, seed)
    return tuple(spread * s / total for s in rank)


def mirrored(count: int) -> Tuple[bool, ...]:
    """Which fixtures mirror: the right half of the group (a middle fixture of an odd group does not)."""
    return tuple(2 * k > count - 1 for k in range(count))
