"""Small shared helpers for exact comparisons."""


def bits(values):
    """Floats as hex strings: equal only when equal bit for bit (sign of zero too)."""
    return tuple(float.hex(float(v)) for v in values)


INT32_MIN = -2**31
INT32_MAX = 2**31 - 1
