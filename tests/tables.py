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


def segment_crossings(xy):
    """(i, j) of every pair of steps (pip to pip + 1, the seam included) of a closed planar path that properly
    cross each other; neighbouring steps, which share a point, are not compared."""
    xy = np.asarray(xy)
    a, b = xy, np.roll(xy, -1, axis=0)
    n = len(xy)
    i, j = np.triu_indices(n, 2)
    keep = ~((i == 0) & (j == n - 1))
    i, j = i[keep], j[keep]

    def side(p, q, r):
        return np.sign((q[:, 0] - p[:, 0]) * (r[:, 1] - p[:, 1]) - (q[:, 1] - p[:, 1]) * (r[:, 0] - p[:, 0]))

    hit = (side(a[i], b[i], a[j]) * side(a[i], b[i], b[j]) < 0) & (side(a[j], b[j], a[i]) * side(a[j], b[j], b[i]) < 0)
    return list(zip(i[hit].tolist(), j[hit].tolist()))


def turn_per_pip(rows):
    """Angle in degrees between the step into each pip and the step out of it."""
    step = np.roll(rows, -1, axis=0) - rows
    before = np.roll(step, 1, axis=0)
    cos = (before * step).sum(axis=1) / (np.linalg.norm(before, axis=1) * np.linalg.norm(step, axis=1))
    return np.degrees(np.arccos(np.clip(cos, -1.0, 1.0)))
