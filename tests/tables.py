"""Catalogue tables read back through the module, and small tools for reading shapes off them."""
from functools import lru_cache

import numpy as np

import trovelin

INFO = {d["name"]: d for d in trovelin.catalogue()}


@lru_cache(maxsize=None)
def _table(name):
    rows = np.array([trovelin.sample(name, i).as_tuple() for i in range(INFO[name]["period_pips"])])
    rows.setflags(write=False)
    return rows


def table(name):
    """Every row of a default's loop as a read-only (period, 3) array."""
    return _table(name)


def maxima(v, floor=0.01):
    """Pips of local maxima above floor, around the loop (a flat top counts once, at its start)."""
    return [i for i in range(len(v)) if v[i] > floor and v[i] > v[i - 1] and v[i] >= v[(i + 1) % len(v)]]


def runs(v, length):
    """(start, value) of every stretch of at least `length` pips holding exactly one value."""
    found, start = [], 0
    for i in range(1, len(v) + 1):
        if i == len(v) or v[i] != v[start]:
            found += [(start, v[start])] if i - start >= length else []
            start = i
    return found


def steps(rows):
    """Largest move of any axis from each pip to the next, the seam from the last pip to pip 0 last."""
    rows = np.asarray(rows)
    return np.abs(np.roll(rows, -1, axis=0) - rows).max(axis=1)


def rms_distance(a, b):
    """Root-mean-square distance between two equally long tables, over all coordinates."""
    return float(np.sqrt(np.mean((np.asarray(a) - np.asarray(b)) ** 2)))
