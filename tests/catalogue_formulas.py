"""Independent Python evaluation of the catalogue entries defined by formula.

Each function returns the unrounded rows of one entry; the stored table must
agree with them to the twelfth decimal place.
"""
from math import ceil, cos, pi, sin

TWO_PI = 2 * pi


def _rows(period, f):
    return [f(TWO_PI * i / period, i) for i in range(period)]


def _scaled(rows, peak=0.82, axes=2):
    m = max(abs(v) for r in rows for v in r[:axes])
    return [tuple(v * peak / m for v in r) for r in rows]


def _pulse(d, w):
    return cos(pi * d / (2 * w)) ** 2 if abs(d) < w else 0.0


def _around(pip, onset, period):
    d = (pip - onset) % period
    return d - period if d > period / 2 else d


def _train(pip, onsets, w, period):
    return sum(weight * _pulse(_around(pip, at, period), w) for at, weight in onsets)


FORMULAS = {
    "lfo_breathe": (256, 1, lambda t, i: (0.8 * sin(t), 0.0, 0.0)),
    "lfo_flower": (512, 2, lambda t, i: (0.56 * cos(t) - 0.28 * cos(2 * t), 0.56 * sin(t) + 0.28 * sin(2 * t), 0.0)),
    "lfo_breathing_orbit": (512, 2, lambda t, i: (0.67 * cos(t) + 0.11 * cos(3 * t),
                                                  0.39 * sin(t) + 0.09 * sin(3 * t), 0.0)),
    "lfo_triplet_wobble": (512, 2, lambda t, i: (sin(12 * t) * (0.5525 - 0.255 * cos(t)), 0.22 * sin(t), 0.0)),
    "path_lissajous_2_3": (512, 2, lambda t, i: (0.78 * sin(2 * t), 0.68 * sin(3 * t), 0.0)),
    "path_rose_4": (512, 2, lambda t, i: (0.82 * cos(2 * t) * cos(t), 0.82 * cos(2 * t) * sin(t), 0.0)),
    "path_rose_5": (512, 2, lambda t, i: (0.82 * cos(2.5 * t) * cos(t / 2), 0.82 * cos(2.5 * t) * sin(t / 2), 0.0)),
    "path_bowed_diamond": (512, 2, lambda t, i: (0.8 * cos(t) ** 3, 0.8 * sin(t) ** 3, 0.0)),
    "path_torus_knot": (1024, 3, lambda t, i: ((0.54 + 0.22 * cos(3 * t)) * cos(2 * t),
                                                (0.54 + 0.22 * cos(3 * t)) * sin(2 * t), 0.36 * sin(3 * t))),
    "path_woven_3d": (1024, 3, lambda t, i: (0.72 * sin(2 * t), 0.64 * sin(3 * t), 0.48 * sin(5 * t))),
    "wave_pinched": (512, 1, lambda t, i: (0.615 * sin(t) - 0.205 * sin(3 * t), 0.0, 0.0)),
    "mech_scotch_yoke": (512, 2, lambda t, i: (0.82 * cos(t), 0.287 * sin(t) + 0.1476 * sin(3 * t), 0.0)),
}


def evaluate(name):
    """(period, dimensions, rows) of a formula entry, or None for any other name."""
    if name in FORMULAS:
        period, dims, f = FORMULAS[name]
        return period, dims, _rows(period, f)
    family, _, variant = name.partition("_")
    numbers = [int(n) for n in variant.split("_") if n.isdigit()]
    if name.startswith("polar_rose_"):
        (n,) = numbers
        m, half = (n, True) if n % 2 else (n // 2, False)

        def rose(t, i):
            s = t / 2 if half else t
            return (0.82 * cos(m * s) * cos(s), 0.82 * cos(m * s) * sin(s), 0.0)
        return 1024, 2, _rows(1024, rose)
    if name.startswith("spiro_"):
        big, small = numbers
        q = {(3, 1): 0.45, (4, 1): 0.6, (5, 2): 0.75, (5, 1): 0.55, (7, 2): 0.65,
             (7, 3): 0.7, (8, 3): 0.6, (9, 4): 0.8}[(big, small)]
        d = q * small
        if "inside" in name:
            k = (big - small) / small
            f = lambda t, i: ((big - small) * cos(small * t) + d * cos(k * small * t),
                              (big - small) * sin(small * t) - d * sin(k * small * t), 0.0)
        else:
            k = (big + small) / small
            f = lambda t, i: ((big + small) * cos(small * t) - d * cos(k * small * t),
                              (big + small) * sin(small * t) - d * sin(k * small * t), 0.0)
        return 1024, 2, _scaled(_rows(1024, f))
    if family == "weave":
        a, b = numbers
        return 1024, 2, _scaled(_rows(1024, lambda t, i: (sin(a * t + 0.37), 0.8125 * sin(b * t), 0.0)))
    if name.startswith("space_torus_"):
        p, q = numbers
        k = 0.82 / 3.9
        return 1024, 3, _rows(1024, lambda t, i: ((2.9 + cos(q * t)) * cos(p * t) * k,
                                                  (2.9 + cos(q * t)) * sin(p * t) * k, 2.1 * sin(q * t) * k))
    if name.startswith("space_weave_"):
        a, b, c = numbers
        return 1024, 3, _rows(1024, lambda t, i: (0.82 * sin(a * t), 0.82 * 0.8 * sin(b * t + 0.4),
                                                  0.82 * 0.7 * cos(c * t + 0.7)))
    if name.startswith("orbit_harmonic_"):
        (n,) = numbers
        k = [2, 3, 4, 5, 6, 7, 8, 9][(n - 1) % 8]
        h = [0.18, 0.22, 0.25, 0.28, 0.25, 0.2, 0.15, 0.13, 0.34, 0.31, 0.29, 0.26, 0.23, 0.2, 0.17, 0.14][n - 1]
        phi = 0.0 if n <= 8 else [0.5, 0.8, 1.1, 1.4, 1.7, 2.0, 2.3, 2.6][n - 9]
        return 512, 2, _scaled(_rows(512, lambda t, i: (cos(t) + h * cos(k * t + phi),
                                                        0.72 * sin(t) - h * sin((k + 1) * t - phi), 0.0)))
    if family == "euclid":
        k, n = numbers
        period = 32 * n
        onsets = [32 * ceil(j * n / k) for j in range(k)]
        xw = [(at, 0.75 if j == 0 else (0.5625 if j % 2 == 0 else -0.5625)) for j, at in enumerate(onsets)]
        yw = [(at, -0.32 if j == 0 else -0.24) for j, at in enumerate(onsets)]
        return period, 2, [(_train(i, xw, 24, period), _train(i, yw, 24, period), 0.0) for i in range(period)]
    if name in ("rhythm_euclid_3_8", "rhythm_euclid_5_12"):  # the two 256-pip grids; 7_16 and 5_16 are authored
        k, n = numbers
        onsets = [(256 / n) * ceil(j * n / k) for j in range(k)]
        xw = [(at, 0.8 if j % 2 == 0 else -0.8) for j, at in enumerate(onsets)]
        yw = [(at, -0.3) for at in onsets]
        return 256, 2, [(_train(i, xw, 12, 256), _train(i, yw, 12, 256), 0.0) for i in range(256)]
    if family == "poly":
        a, b = numbers
        left = [(512 * j / a, 1.0 if j == 0 else 0.65) for j in range(a)]
        right = [(512 * j / b, 1.0 if j == 0 else 0.65) for j in range(b)]

        def lanes(i):
            lw, rw = _train(i, left, 22.4, 512), _train(i, right, 22.4, 512)
            return (-0.62 * lw + 0.62 * rw, -0.26 * lw - 0.26 * rw, 0.22 * rw)
        return 512, 3, [lanes(i) for i in range(512)]
    if family == "meter":
        starts, subdivisions, at = [], [], 0
        for g, length in enumerate(numbers):
            starts.append((at * 32, 1.0 if g % 2 == 0 else -1.0))
            subdivisions += [((at + e) * 32, 1.0) for e in range(1, length)]
            at += length
        period = 32 * at

        def meter(i):
            sub = _train(i, subdivisions, 32 / 3, period)
            return (0.72 * _train(i, starts, 19.2, period),
                    -0.33 * _train(i, [(s, 1.0) for s, _ in starts], 19.2, period) - 0.1134 * sub, 0.0504 * sub)
        return period, 3, [meter(i) for i in range(period)]
    return None
