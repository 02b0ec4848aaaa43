"""Independent pure-Python evaluation of the rudiment formulas.

Written from the formulas' own definitions (constants, order of operations),
not from the native code, so that a disagreement in any bit points at a fault.
The sines and cosines are correctly rounded, as the module's are: computed to
200 bits by mpmath and rounded to the nearest double, so that the comparison
holds on every platform, whatever its math library gives. Where mpmath is
missing, the platform's own (correctly rounded at these angles on glibc).
"""
from functools import lru_cache
from math import fabs

try:
    import mpmath
except ImportError:  # pragma: no cover - mpmath is in the test extra
    mpmath = None


def _correctly_rounded(name):
    if mpmath is None:
        import math
        return getattr(math, name)
    exact = getattr(mpmath, name)

    @lru_cache(maxsize=None)
    def rounded(x):
        with mpmath.workprec(200):
            return mpmath.libmp.to_float(exact(mpmath.mpf(x))._mpf_, rnd="n")
    return rounded


sin = _correctly_rounded("sin")
cos = _correctly_rounded("cos")

TWO_PI = 6.283185307179586
FOUR_PI = 12.566370614359172
PI = 3.141592653589793
HALF_PI = 1.5707963267948966


def fmod_pip(pip, period):
    return pip % period  # Python's % is already floor modulo


def smoothstep(u):
    return (3.0 - (u + u)) * (u * u)


def bounce(p):
    u = fmod_pip(p, 64) * 0.015625
    return (1.0 - fabs(u - 0.5) * 4.0, 0.0, 0.0)


def sway(p):
    return (sin((fmod_pip(p, 128) * 0.0078125) * TWO_PI), 0.0, 0.0)


def circle(p):
    a = (fmod_pip(p, 64) * 0.015625) * TWO_PI - HALF_PI
    return (cos(a), sin(a), 0.0)


def figure_eight(p):
    a = (fmod_pip(p, 128) * 0.0078125) * TWO_PI
    return (sin(a), sin(a + a), 0.0)


def step_touch(p):
    r = fmod_pip(p, 128)
    k, u = r // 32, (r % 32) * 0.03125
    start, end = (-1.0, 0.0, 1.0, 0.0)[k], (0.0, 1.0, 0.0, -1.0)[k]
    return (smoothstep(u) * (end - start) + start, -(sin(u * PI) * 0.35), 0.0)


def box_step(p):
    corners = [(-1.0, -1.0), (1.0, -1.0), (1.0, 1.0), (-1.0, 1.0), (-1.0, -1.0)]
    r = fmod_pip(p, 256)
    k = r // 64
    s = smoothstep((r % 64) * 0.015625)
    (x0, y0), (x1, y1) = corners[k], corners[k + 1]
    return ((x1 - x0) * s + x0, (y1 - y0) * s + y0, 0.0)


def helix(p):
    s = fmod_pip(p, 256) * 0.00390625
    a = s * FOUR_PI
    return (cos(a), sin(a), sin(s * TWO_PI))


_KEYS = [(0, 0, 0.0), (23, 2, -0.1), (33, 13, -0.8), (49, 5, -0.4), (87, -3, 0.2),
         (100, -14, 0.9), (118, -5, 0.5), (154, 1, 0.0), (169, 12, 1.0), (187, 4, 0.5),
         (215, -2, -0.2), (228, -10, -0.9), (243, -3, -0.3), (256, 0, 0.0)]


def _background_row(j):
    # The segment whose end pip is the first at or after j (segment 0 for j = 0).
    i = next(n for n in range(13) if j <= _KEYS[n + 1][0])
    (p0, k0, y0), (p1, k1, y1) = _KEYS[i], _KEYS[i + 1]
    x0, x1 = k0 / 14.0, k1 / 14.0
    s = smoothstep(float(j - p0) / float(p1 - p0))
    return ((x1 - x0) * s + x0, (y1 - y0) * s + y0, 0.0)


_BACKGROUND = [_background_row(j) for j in range(256)]


def vessa_background(p):
    return _BACKGROUND[fmod_pip(p, 256)]


R, L = 1, -1
STROKES = {
    "single_stroke_roll": (64, [(8 * i, (R, L)[i % 2], 0.92, 8) for i in range(8)]),
    "double_stroke_roll": (64, [(8 * i, (R, R, L, L)[i % 4], (0.88, 0.72)[i % 2], 8)
                                for i in range(8)]),
    "multiple_bounce_roll": (64, [(0, R, 0.92, 6), (6, R, 0.68, 6), (12, R, 0.48, 6),
                                  (18, R, 0.32, 6), (32, L, 0.92, 6), (38, L, 0.68, 6),
                                  (44, L, 0.48, 6), (50, L, 0.32, 6)]),
    "single_paradiddle": (128, [(8 * i, "RLRRLRLL"[i % 8] == "R" and R or L,
                                 1.0 if i % 4 == 0 else 0.72, 8) for i in range(16)]),
    "flam": (64, [(0, L, 0.34, 10), (5, R, 0.9, 14), (32, R, 0.34, 10), (37, L, 0.9, 14)]),
    "drag": (64, [(0, L, 0.28, 8), (5, L, 0.32, 8), (10, R, 0.88, 14),
                  (32, R, 0.28, 8), (37, R, 0.32, 8), (42, L, 0.88, 14)]),
    "five_stroke_roll": (128, [(0, R, 0.72, 9), (8, R, 0.62, 9), (16, L, 0.72, 9),
                               (24, L, 0.62, 9), (36, R, 1.0, 14), (64, L, 0.72, 9),
                               (72, L, 0.62, 9), (80, R, 0.72, 9), (88, R, 0.62, 9),
                               (100, L, 1.0, 14)]),
}


def stroke_motion(p, period, strokes):
    sx = sy = 0.0
    c = p % period
    for start, side, amp, length in strokes:
        local = (c - start) % period
        e = 0.0
        if local < length:
            v = sin((float(local) / float(length)) * PI)
            e = (v * amp) * v
        sx = sx + float(side) * e
        sy = sy - e * 0.72
    clamp = lambda v: 1.0 if v > 1.0 else (-1.0 if v < -1.0 else v)
    return (clamp(sx), clamp(sy), 0.0)


def _stroke_rudiment(name):
    period, strokes = STROKES[name]
    return lambda p: stroke_motion(p, period, strokes)


RUDIMENTS = {
    "bounce": (bounce, 64, 1), "sway": (sway, 128, 1), "circle": (circle, 64, 2),
    "figure_eight": (figure_eight, 128, 2), "step_touch": (step_touch, 128, 2),
    "box_step": (box_step, 256, 2), "helix": (helix, 256, 3),
    "vessa_background": (vessa_background, 256, 2),
}
for _name, (_period, _) in STROKES.items():
    RUDIMENTS[_name] = (_stroke_rudiment(_name), _period, 2)
