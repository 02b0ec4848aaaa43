"""Scalloped, ribbon, contour, silhouette, surface and braid curves: the
numbers in their names and the claims in their descriptions, read back
from the tables."""
import numpy as np
import pytest

from tables import INFO, maxima, segment_crossings, table, turn_per_pip

PREFIXES = ("polar_scallop_", "ribbon_", "contour_", "silhouette_", "surface_", "braid_")
CURVES = [n for n in INFO if n.startswith(PREFIXES)]
SCALLOPS = [n for n in INFO if n.startswith("polar_scallop_")]
RIBBONS = [n for n in INFO if n.startswith("ribbon_")]
SURFACES = [n for n in INFO if n.startswith("surface_")]
BRAIDS = [n for n in INFO if n.startswith("braid_")]
PAIRS = ["1_2", "1_3", "1_4", "1_5", "2_3", "2_5", "3_4", "3_5"]

# Crests in each contour's ripple run, and each silhouette's three harmonics.
RIPPLES = dict(zip([f"contour_shaped_{i:02d}" for i in range(1, 17)], [3, 4, 5, 2, 6, 3, 2, 7, 4, 3, 5, 2, 6, 3, 4, 7]))
HARMONICS = dict(zip([f"silhouette_harmonic_{i:02d}" for i in range(1, 17)], [
    (1, 2, 5), (1, 3, 4), (1, 3, 5), (1, 2, 3), (1, 4, 7), (1, 3, 7), (1, 5, 6), (1, 2, 7),
    (1, 4, 5), (1, 3, 8), (2, 3, 5), (1, 2, 6), (1, 4, 9), (1, 6, 7), (1, 5, 9), (2, 5, 7)]))


def numbers(name):
    return [int(p) for p in name.split("_") if p.isdigit()]


def amplitudes(v):
    """Amplitude of each whole harmonic of a loop, index k = k cycles per loop."""
    return np.abs(np.fft.rfft(v)) * 2 / len(v)


def dominant(v):
    return int(np.argmax(amplitudes(v)[1:]) + 1)


def turning(rows, centre=(0.0, 0.0)):
    """Unwrapped angle of the planar point around a centre, closed back onto pip 0."""
    angle = np.unwrap(np.arctan2(rows[:, 1] - centre[1], rows[:, 0] - centre[0]))
    return np.append(angle, angle[0] + np.round((angle[-1] - angle[0]) / (2 * np.pi)) * 2 * np.pi)


def winding(rows, centre=(0.0, 0.0)):
    angle = turning(rows, centre)
    return (angle[-1] - angle[0]) / (2 * np.pi)


def planar_spectrum(rows):
    """Coefficient of x + iy turning k times forwards (k < 0: backwards), by k."""
    c = np.fft.fft(rows[:, 0] + 1j * rows[:, 1]) / len(rows)
    return lambda k: c[k % len(rows)]


def phase_gap(a, b):
    return abs((a - b + np.pi) % (2 * np.pi) - np.pi)


@pytest.mark.parametrize("name", CURVES)
def test_largest_coordinate_is_exactly_the_shared_peak(name):
    assert np.abs(table(name)).max() == 0.82


def test_every_family_is_complete():
    counts = [sum(n.startswith(p) for n in CURVES) for p in PREFIXES]
    assert counts == [8, 16, 16, 16, 16, 16]


@pytest.mark.parametrize("name", SCALLOPS)
def test_scallop_lobes_stay_clear_of_the_centre_and_one_leans(name):
    n = numbers(name)[0]
    rows = table(name)
    r = np.hypot(rows[:, 0], rows[:, 1])
    assert r.min() > 0.45 * r.max(), "comes near the centre"
    angle = turning(rows)
    assert (np.diff(angle) > 0).all() and winding(rows) == pytest.approx(1), "radius turns negative or folds back"
    tips, dips = maxima(r), maxima(-r, floor=-np.inf)
    assert len(tips) == n and len(dips) == n
    # A symmetric lobe has its tip half way round between the dips either side.
    def at(i):  # angle at pip i, counted on around the loop either way
        return angle[i % len(r)] + 2 * np.pi * (i // len(r))
    offsets = []
    for tip in tips:
        before = max([d for d in dips if d < tip] or [dips[-1] - len(r)])
        after = min([d for d in dips if d > tip] or [dips[0] + len(r)])
        offsets.append(abs(at(tip) - (at(before) + at(after)) / 2))
    assert sum(o > 0.08 for o in offsets) == 1 and sorted(offsets)[-2] < 0.02, offsets


@pytest.mark.parametrize("name", RIBBONS)
def test_ribbon_spine_turns_a_times_and_its_width_and_depth_swing_b_times_together(name):
    a, b = numbers(name)
    rows = table(name)
    c = planar_spectrum(rows)
    assert winding(rows) == pytest.approx(a)
    assert np.ptp(rows[:, 0]) > 1.15 * np.ptp(rows[:, 1]), "spine is not elliptical"
    assert abs(c(2 * a)) > 0.03 * abs(c(a)), "spine is not curved"
    assert dominant(rows[:, 2]) == b
    # Radial width w sin(b t + p) on a spine turning as e^(iat) puts w / 2i e^(ip)
    # at a + b; depth that follows the width puts the same phase at b in z.
    width = c(a + b)
    depth = np.fft.fft(rows[:, 2])[b] / len(rows)
    assert abs(width) > 0.02 and phase_gap(np.angle(width), np.angle(depth)) < 0.05


@pytest.mark.parametrize("pair", PAIRS)
def test_slim_ribbons_are_narrower_and_deep_ribbons_leave_the_plane_further(pair):
    slim, deep = table(f"ribbon_{pair}_slim"), table(f"ribbon_{pair}_deep")
    a, b = numbers(pair)
    width = {k: abs(planar_spectrum(t)(a + b)) / abs(planar_spectrum(t)(a)) for k, t in (("slim", slim), ("deep", deep))}
    depth = {k: amplitudes(t[:, 2])[b] / abs(planar_spectrum(t)(a)) for k, t in (("slim", slim), ("deep", deep))}
    assert width["slim"] < 0.8 * width["deep"]
    assert depth["deep"] > 1.8 * depth["slim"]


def ripple_residual(rows):
    """How far the planar path stands out from its own one-eighth-note running mean, square to the
    mean's direction of travel (outward for an anticlockwise outline). The mean runs over exactly one
    ripple, so a ripple shows as a crest on each of its swells while the smooth outline stays low."""
    xy = rows[:, :2]
    mean = sum(np.roll(xy, j, axis=0) for j in range(-16, 16)) / 32
    ahead = np.roll(mean, -1, axis=0) - np.roll(mean, 1, axis=0)
    outward = np.stack([ahead[:, 1], -ahead[:, 0]], axis=1) / np.linalg.norm(ahead, axis=1)[:, None]
    return ((xy - mean) * outward).sum(axis=1)


@pytest.mark.parametrize("name", RIPPLES)
def test_contour_carries_one_local_run_of_equal_ripples(name):
    d = ripple_residual(table(name))
    peaks = maxima(d, floor=0.0)
    crests = [i for i in peaks if d[i] > 0.5 * d.max()]
    assert len(crests) == RIPPLES[name]
    assert d[crests].min() > 0.75 * d.max(), "the crests rise alike"
    assert max(d[i] for i in peaks if i not in crests) < 0.35 * d.max(), "nothing else stands out like a ripple"
    gaps = np.diff(sorted(crests) + [min(crests) + len(d)])
    assert len(d) - gaps.max() <= 32 * (len(crests) - 1) + 8, "ripples are spread round the outline"


def shoelace(xy):
    return abs(np.dot(xy[:, 0], np.roll(xy[:, 1], -1)) - np.dot(xy[:, 1], np.roll(xy[:, 0], -1))) / 2


def convex_hull(xy):
    """Corners of the convex hull of planar points, in order (monotone chain)."""
    pts = sorted(map(tuple, xy))

    def half(seq):
        out = []
        for p in seq:
            while len(out) >= 2 and ((out[-1][0] - out[-2][0]) * (p[1] - out[-2][1])
                                     - (out[-1][1] - out[-2][1]) * (p[0] - out[-2][0])) <= 0:
                out.pop()
            out.append(p)
        return out[:-1]

    return np.array(half(pts) + half(pts[::-1]))


@pytest.mark.parametrize("name", RIPPLES)
def test_contour_is_a_full_oval_that_never_crosses_or_whips_round(name):
    rows = table(name)
    xy = rows[:, :2]
    assert shoelace(xy) >= 0.95 * shoelace(convex_hull(xy)), "the outline caves in"
    assert segment_crossings(xy) == []
    planar = np.column_stack([xy, np.zeros(len(xy))])
    assert turn_per_pip(planar).max() <= 30.0 and turn_per_pip(rows).max() <= 30.0


def test_contour_edges_range_from_pointed_ovals_to_rounded_squares():
    fill = []
    for name in RIPPLES:
        x, y = table(name)[:, 0], table(name)[:, 1]
        area = abs(np.dot(x, np.roll(y, -1)) - np.dot(y, np.roll(x, -1))) / 2
        fill.append(area / (np.ptp(x) * np.ptp(y)))
    # A rounded square nearly fills its box, an ellipse fills pi / 4 of it and a pointed oval less; a
    # diamond (straight edges) fills half, and anything with edges caving in less still.
    assert max(fill) > 0.8 and min(fill) > 0.6
    assert sum(f > 0.78 for f in fill) >= 4 and sum(f < 0.7 for f in fill) >= 4


@pytest.mark.parametrize("name", HARMONICS)
def test_silhouette_has_three_unequal_harmonics_crossed_phases_and_linked_depth(name):
    rows = table(name)
    ks = HARMONICS[name]
    for axis in (0, 1):
        amp = amplitudes(rows[:, axis])
        order = np.argsort(amp)[::-1]
        assert sorted(order[:3]) == list(ks) and amp[order[3]] < 0.02 * amp[order[0]]
        top = amp[order[:3]]
        assert top[0] > 1.5 * top[1] and top[1] > 1.5 * top[2], "components are not unequal"
    fx, fy = np.fft.rfft(rows[:, 0]), np.fft.rfft(rows[:, 1])
    offsets = [np.angle(fy[k]) - np.angle(fx[k]) for k in ks]
    assert max(phase_gap(p, q) for p in offsets for q in offsets) > 0.3, "every component turns alike"
    z = rows[:, 2]
    assert 0.05 < np.abs(z).max() <= 0.35 * np.abs(rows[:, :2]).max()
    linked = sorted({i + j for i in ks for j in ks} | {abs(i - j) for i in ks for j in ks})
    energy = amplitudes(z) ** 2
    assert energy[linked].sum() > 0.99 * energy.sum(), "depth moves at rates the plane does not"


@pytest.mark.parametrize("name", SURFACES)
def test_surface_turns_a_times_in_longitude_and_b_times_in_latitude(name):
    a, b = numbers(name)
    rows = table(name)
    longitude = turning(rows)[:-1]
    assert (np.diff(longitude) > 0).all() and winding(rows) == pytest.approx(a)
    assert dominant(rows[:, 2]) == b
    # Coupled: the longitude speeds and slows in the latitude's rhythm.
    drift = longitude - a * 2 * np.pi * np.arange(len(rows)) / len(rows)
    assert dominant(drift) == b and amplitudes(drift)[b] > 0.05
    radius = np.linalg.norm(rows, axis=1)
    assert radius.max() > 1.15 * radius.min(), "radius does not vary"
    assert (np.ptp(rows, axis=0) > 0.3).all()


@pytest.mark.parametrize("pair", PAIRS)
def test_low_surfaces_keep_near_the_equator_and_wide_ones_swing_far(pair):
    low, wide = table(f"surface_{pair}_low"), table(f"surface_{pair}_wide")
    lat = {k: np.arcsin(t[:, 2] / np.linalg.norm(t, axis=1)) for k, t in (("low", low), ("wide", wide))}
    assert np.abs(lat["low"]).max() < 0.55 < 0.9 < np.abs(lat["wide"]).max()


@pytest.mark.parametrize("name", BRAIDS)
def test_braid_circles_an_offset_centre_a_times_while_rolling_b_times(name):
    a, b = numbers(name)
    rows = table(name)
    centre = rows[:, :2].mean(axis=0)
    assert np.hypot(*centre) > 0.05, "the centreline is not offset"
    assert winding(rows, centre) == pytest.approx(a)
    reach = np.hypot(rows[:, 0] - centre[0], rows[:, 1] - centre[1])
    assert dominant(reach) == b
    # Rolling: depth peaks a quarter roll after the reach does.
    fr, fz = np.fft.rfft(reach)[b], np.fft.rfft(rows[:, 2])[b]
    assert phase_gap(np.angle(fz), np.angle(fr) - np.pi / 2) < 0.05
    z = amplitudes(rows[:, 2])
    assert dominant(rows[:, 2]) == b
    others = np.delete(z, [0, b])
    assert int(np.argmax(z * (np.arange(len(z)) != b))) == 2 * b and others.max() > 0.15 * z[b]
