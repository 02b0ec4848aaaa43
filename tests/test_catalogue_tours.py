"""spline_, tour_, scan_ and reach_: closed paths whose names say what they are,
each claim read back from the tables through the module."""
import math

import numpy as np
import pytest

from tables import INFO, maxima, segment_crossings, table, turn_per_pip


def family(prefix):
    return [n for n in INFO if n.startswith(prefix)]


SPLINES, TOURS, SCANS, REACHES = (family(p) for p in ("spline_", "tour_", "scan_", "reach_"))


def numbers(name):
    return [int(part) for part in name.split("_") if part.isdigit()]


def still_stretches(rows, shortest=3):
    """(first pip, pips) of every stretch of identical rows around the loop, in loop order."""
    rows = np.asarray(rows)
    moving = np.flatnonzero((rows != np.roll(rows, 1, axis=0)).any(axis=1))
    assert len(moving), "the table never moves"
    found = []
    for start, after in zip(moving, np.append(moving[1:], moving[0] + len(rows))):
        if after - start >= shortest:  # rows start .. after - 1 are one value
            found.append((int(start) % len(rows), int(after - start)))
    return sorted(found)


def speed(rows):
    """Distance moved from each pip to the next, the seam last."""
    return np.linalg.norm(np.roll(rows, -1, axis=0) - rows, axis=1)


def runs_above(v, level):
    above = v > level
    return int(np.sum(above & ~np.roll(above, 1)))


@pytest.mark.parametrize("name", SPLINES + TOURS + SCANS + REACHES)
def test_largest_coordinate_is_exactly_0_82(name):
    assert len(SPLINES) == len(TOURS) == len(SCANS) == len(REACHES) == 16
    assert np.abs(table(name)).max() == 0.82


# ---- spline_ ---------------------------------------------------------------


def knots(rows):
    """Pips where the table passes from one cubic to the next. Fourth
    differences of a cubic vanish (to rounding), so they are non-zero exactly on
    the three pips before each knot."""
    d4 = sum(c * np.roll(rows, -s, axis=0) for s, c in enumerate((1, -4, 6, -4, 1)))
    bent = np.abs(d4).max(axis=1) > 1e-9
    return sorted((np.flatnonzero(bent & ~np.roll(bent, -1)) + 1) % len(rows))


@pytest.mark.parametrize("name", SPLINES)
def test_spline_is_cubic_through_controls_with_chord_tangents_and_unequal_times(name):
    rows = table(name)
    n = len(rows)
    at = knots(rows)
    assert len(at) >= 5
    lengths = np.diff(at + [at[0] + n])
    assert lengths.min() >= 5 and len(set(lengths.tolist())) >= 4 and lengths.max() >= 1.35 * lengths.min()
    # Fit each segment's cubic exactly and read its velocity at both ends.
    starts, ends = [], []
    for a, length in zip(at, lengths):
        t = np.arange(length + 1)
        seg = rows[(a + t) % n]
        fit = np.polynomial.polynomial.polyfit(t / length, seg, 3)
        assert np.abs(np.polynomial.polynomial.polyval(t / length, fit).T - seg).max() < 1e-9
        deriv = np.polynomial.polynomial.polyder(fit)
        starts.append(np.polynomial.polynomial.polyval(0.0, deriv) / length)
        ends.append(np.polynomial.polynomial.polyval(1.0, deriv) / length)
    for k in range(len(at)):
        before, after = ends[k - 1], starts[k]
        # No kink at a control, and the tangent there runs along the chord
        # between its neighbours, over their time apart.
        chord = (rows[at[(k + 1) % len(at)]] - rows[at[k - 1]]) / (lengths[k - 1] + lengths[k])
        assert np.abs(before - after).max() < 1e-7
        assert np.abs(after - chord).max() < 1e-7


@pytest.mark.parametrize("name", SPLINES)
def test_spline_flows_through_its_controls_without_straight_runs_or_whips(name):
    rows = table(name)
    turn = turn_per_pip(rows)
    assert np.mean(turn < 0.1) <= 0.15, "edges ruled straight"
    assert turn.max() <= 35.0, "a corner taken within a pip"
    planar = np.column_stack([rows[:, :2], np.zeros(len(rows))])
    assert turn_per_pip(planar).max() <= 35.0, "a corner taken within a pip, as seen face on"
    s = speed(rows)
    assert (np.maximum(s / np.roll(s, 1), np.roll(s, 1) / s) <= 1.5).all(), "the pace jumps between pips"


def corners(xy, reach=0.1, degrees=45):
    """Rounded corners: stretches where the heading turns by more than `degrees` within `reach` of path
    length either side of a pip. Neighbouring stretches that turn the same way, less than three reaches
    apart, are one corner."""
    step = np.roll(xy, -1, axis=0) - xy
    heading = np.unwrap(np.angle(step[:, 0] + 1j * step[:, 1]))
    lap = heading[-1] - heading[0] + np.angle(np.exp(1j * (heading[0] - heading[-1])))  # whole turns of the loop
    along = np.cumsum(np.linalg.norm(step, axis=1)) - np.linalg.norm(step[0])
    length = along[-1] + np.linalg.norm(step[-1])
    s3 = np.concatenate([along - length, along, along + length])
    h3 = np.concatenate([heading - lap, heading, heading + lap])
    turn = np.interp(along + reach, s3, h3) - np.interp(along - reach, s3, h3)
    sharp = np.abs(turn) > math.radians(degrees)
    found = [(along[i], np.sign(turn[i])) for i in np.flatnonzero(sharp & ~np.roll(sharp, 1))]
    if len(found) < 2:
        return len(found)
    return sum(1 for k, (at, way) in enumerate(found)
               if way != found[k - 1][1] or (at - found[k - 1][0]) % length >= 3 * reach)


@pytest.mark.parametrize("name, count", [
    ("spline_kite", 4), ("spline_rising_kite", 4), ("spline_hourglass", 4), ("spline_bow", 3),
    ("spline_twisted_bow", 3), ("spline_scoop", 2), ("spline_slanted_loop", 1), ("spline_hook", 3),
    ("spline_crooked_cross", 8), ("spline_asymmetric_star", 10)])
def test_spline_corners(name, count):
    """Four kite corners, the bow's two tips and nock, the scoop's two lips, the loop's one point, the
    hook's barb, crook and rounded top, the cross's four arm ends and four inner corners, the star's
    points and notches."""
    assert corners(table(name)[:, :2]) == count


@pytest.mark.parametrize("name, arms, square", [("spline_asymmetric_star", 5, 72), ("spline_crooked_cross", 4, 90)])
def test_star_points_and_cross_arms_are_uneven(name, arms, square):
    xy = table(name)[:, :2]
    centre = (xy.max(axis=0) + xy.min(axis=0)) / 2
    radius = np.hypot(*(xy - centre).T)
    assert runs_above(radius, 0.6 * radius.max()) == arms
    tips = [i for i in maxima(radius, 0.6 * radius.max())]
    # The arms stand off an even spread, and reach out unequally far.
    angles = np.sort(np.degrees(np.arctan2(*(xy[tips] - centre).T[::-1])) % 360)
    gaps = np.diff(np.append(angles, angles[0] + 360))
    assert np.abs(gaps - square).max() > 5
    assert radius[tips].max() > 1.15 * radius[tips].min()


@pytest.mark.parametrize("name, where, count", [
    ("spline_crown", "top", 3), ("spline_folded_crown", "top", 4), ("spline_fork", "top", 3),
    ("spline_double_bay", "bottom", 2), ("spline_bridge", "bottom", 2), ("spline_cup", "bottom", 1)])
def test_spline_points_and_hollows(name, where, count):
    """A crown's points, a fork's tines, the bays of a shore, a bridge's two feet, the bottom of a cup:
    turning points of height in the upper or lower half of the shape."""
    y = table(name)[:, 1]
    mid = (y.max() + y.min()) / 2
    found = maxima(y - mid, 0.0) if where == "top" else maxima(mid - y, 0.0)
    assert len(found) == count
    if where == "top":
        assert len({round(float(y[i]), 2) for i in found}) == count  # points of unequal height


@pytest.mark.parametrize("name", [n for n in SPLINES if INFO[n]["dimensions"] == 2])
def test_only_the_hourglass_crosses_itself_and_at_its_waist(name):
    xy = table(name)[:, :2]
    found = segment_crossings(xy)
    if name != "spline_hourglass":
        assert found == []
        return
    assert len(found) == 1
    y = xy[found[0][0], 1]
    low, high = xy[:, 1].min(), xy[:, 1].max()
    assert low + 0.3 * (high - low) < y < low + 0.7 * (high - low)
    # The waist is far narrower than the top and the bottom edges.
    width = lambda level: np.ptp(xy[np.abs(xy[:, 1] - level) < 0.03, 0])
    assert width(y) < 0.25 * min(width(high - 0.02), width(low + 0.02))


# ---- tour_ -----------------------------------------------------------------


@pytest.mark.parametrize("name", TOURS)
def test_tour_visits_n_vertices_stepping_k(name):
    n, k = numbers(name)
    rows = table(name)
    dwells = still_stretches(rows)
    assert len(dwells) == n
    vertices = np.array([rows[start] for start, _ in dwells])
    assert len({tuple(v) for v in vertices}) == n
    centre = vertices[:, :2].mean(axis=0)
    angle = np.arctan2(*(vertices[:, :2] - centre).T[::-1])
    rank = np.argsort(np.argsort(angle))
    assert {int(s) for s in np.diff(np.append(rank, rank[0])) % n} in ({k}, {n - k})
    # A polygon, not a circle: its vertices lie at clearly different distances from its centre.
    distance = np.hypot(*(vertices[:, :2] - centre).T)
    assert distance.max() > 1.15 * distance.min()


@pytest.mark.parametrize("name", TOURS)
def test_tour_dwells_alternate_long_and_short(name):
    n, _ = numbers(name)
    lengths = np.array([pips for _, pips in still_stretches(table(name))])
    long, short = lengths.max(), lengths.min()
    assert long > 2 * short
    kind = np.where(lengths >= long - 1, "L", np.where(lengths <= short + 1, "S", "M"))
    if n % 2:
        # An odd tour cannot alternate all the way round: one dwell of middle
        # length sits between a short one and a long one.
        assert list(kind).count("M") == 1
        m = list(kind).index("M")
        assert kind[m - 1] == "S" and kind[(m + 1) % n] == "L"
        kind = np.delete(kind, m)
    assert "M" not in kind and all(kind[i] != kind[i - 1] for i in range(len(kind)))


@pytest.mark.parametrize("name", TOURS)
def test_tour_eases_into_and_out_of_every_corner(name):
    rows = table(name)
    v = speed(rows)
    for start, pips in still_stretches(rows):
        assert v[start - 1] < 0.02 * v.max() and v[(start + pips - 1) % len(rows)] < 0.02 * v.max()


# ---- scan_ -----------------------------------------------------------------


def eased_moves(rows):
    """(from pip, to pip) of each move between rests, in loop order from the rest nearest pip 0 (which
    may be pip -1). A rest is a pip where the motion into it and out of it, together, is a local
    minimum and next to nothing; it is found to within a pip."""
    v = speed(rows)
    around = v + np.roll(v, 1)
    n = len(v)
    rests = [i for i in range(n) if around[i] < 0.02 * v.max() and around[i] <= around[i - 1]
             and around[i] < around[(i + 1) % n]]
    if rests[-1] == n - 1:
        rests = [-1] + rests[:-1]
    return list(zip(rests, rests[1:] + [rests[0] + n]))


def rows_of_scan(rows):
    width = np.ptp(rows[:, 0])
    found = []
    for a, b in eased_moves(rows):
        d = rows[b % len(rows)] - rows[a]
        if abs(d[0]) > 0.5 * width and abs(d[0]) > 2 * abs(d[1]):
            found.append((a, b))
    return found


def hull(points):
    """Convex hull of points in the plane, counter-clockwise."""
    pts = sorted(set(map(tuple, np.round(points, 9))))

    def left_turn(a, b, c):
        return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]) > 0

    def half(seq):
        out = []
        for p in seq:
            while len(out) >= 2 and not left_turn(out[-2], out[-1], p):
                out.pop()
            out.append(p)
        return out[:-1]

    return np.array(half(pts) + half(pts[::-1]))


def outside(points, polygon):
    """Signed distance of each point beyond the nearest-facing edge of a convex polygon (negative inside)."""
    a, b = polygon, np.roll(polygon, -1, axis=0)
    edge = b - a
    normal = np.stack([edge[:, 1], -edge[:, 0]], axis=1) / np.linalg.norm(edge, axis=1)[:, None]
    return ((points[:, None, :] - a[None]) * normal[None]).sum(axis=2).max(axis=1)


@pytest.mark.parametrize("name", SCANS)
def test_scan_has_n_serpentine_rows_from_the_top_down(name):
    (n,) = numbers(name)
    rows = table(name)
    found = rows_of_scan(rows)
    assert len(found) == n
    assert found[0][0] in (-1, 0, 1)  # the loop starts at the start of the first row
    directions = [np.sign(rows[b % len(rows), 0] - rows[a % len(rows), 0]) for a, b in found]
    assert all(directions[i] == -directions[i - 1] for i in range(1, n))
    heights = [rows[np.arange(a, b) % len(rows), 1].mean() for a, b in found]
    assert all(np.diff(heights) < -0.05)
    kind = name.split("_")[1]
    ends = np.array([[rows[a % len(rows)], rows[b % len(rows)]] for a, b in found])
    middles = np.array([rows[(a + b) // 2] for a, b in found])
    sag = (ends[:, 0, 1] + ends[:, 1, 1]) / 2 - middles[:, 1]
    rise = (ends[:, 1, 1] - ends[:, 0, 1]) * np.sign(ends[:, 1, 0] - ends[:, 0, 0])
    assert (np.abs(sag) > 0.1).all() == (kind == "bowed")
    assert (rise > 0.1).all() == (kind == "tilted")
    assert np.all(np.diff(middles[:, 2]) > 0.05) == (kind == "depth")


@pytest.mark.parametrize("name", SCANS)
def test_scan_returns_round_the_outside_to_its_start(name):
    rows = table(name)
    found = rows_of_scan(rows)
    last_end = found[-1][1]
    scanned = rows[: last_end + 1, :2]
    back = rows[last_end:, :2]
    # The return is the one move left after the last row, back to the start.
    moves = eased_moves(rows)
    assert moves.index((found[-1][0], last_end)) == len(moves) - 2 and moves[-1][1] - len(rows) == found[0][0]
    assert len(back) > 0.1 * len(rows)
    beyond = outside(back, hull(scanned))
    assert beyond.min() > -0.01 and beyond.max() > 0.08
    if INFO[name]["dimensions"] == 3:
        assert np.ptp(rows[last_end:, 2]) > 0.3  # and comes forward again in depth
    # It homes in on the start: over its second half it never draws away from it again (no swing
    # out past the start and curl back in).
    closing = np.linalg.norm(back - rows[0, :2], axis=1)[len(back) // 2:]
    assert (np.diff(closing) <= 1e-9).all()


def sharpest_turn(rows, first, last):
    """The largest turn of direction from one pip's step to the next between two pips, in degrees, where both
    steps move at a fifth of the loop's top speed or more (at a rest the direction means nothing)."""
    steps = np.diff(rows[np.arange(first, last + 1) % len(rows)], axis=0)
    speeds = np.linalg.norm(steps, axis=1)
    moving = (speeds[1:] > 0.2 * speed(rows).max()) & (speeds[:-1] > 0.2 * speed(rows).max())
    cosines = (steps[1:] * steps[:-1]).sum(axis=1) / np.maximum(speeds[1:] * speeds[:-1], 1e-300)
    angles = np.degrees(np.arccos(np.clip(cosines[moving], -1.0, 1.0)))
    return angles.max() if angles.size else 0.0


@pytest.mark.parametrize("name", SCANS)
def test_scan_return_turns_no_more_sharply_than_its_u_turns(name):
    rows = table(name)
    moves = eased_moves(rows)
    u_turns = [m for m in moves[:-1] if m not in rows_of_scan(rows)]
    assert sharpest_turn(rows, *moves[-1]) <= max(sharpest_turn(rows, *m) for m in u_turns)


# ---- reach_ ----------------------------------------------------------------


def reaches(rows):
    """The holds, and (first pip, rows) of each excursion between one hold and the next."""
    holds = still_stretches(rows)
    out = []
    for (start, pips), (next_start, _) in zip(holds, holds[1:] + [(holds[0][0] + len(rows), 0)]):
        out.append(rows[np.arange(start + pips, next_start) % len(rows)])
    return holds, out


@pytest.mark.parametrize("name", REACHES)
def test_n_reaches_leave_and_settle_at_one_centre(name):
    (n,) = numbers(name)
    rows = table(name)
    holds, excursions = reaches(rows)
    assert len(holds) == n
    centres = {tuple(rows[start]) for start, _ in holds}
    assert len(centres) == 1
    centre = np.array(centres.pop())
    v = speed(rows)
    far = []
    for (start, pips), path in zip(holds, excursions):
        distance = np.linalg.norm(path - centre, axis=1)
        assert distance.max() > 0.35
        # Settles: the last move into the hold and the first out of it are tiny.
        assert v[start - 1] < 0.002 and v[(start + pips - 1) % len(rows)] < 0.002
        far.append(path[np.argmax(distance), :2] - centre[:2])
    # Each reach sets off in its own direction.
    heading = np.degrees(np.arctan2(*np.array(far).T[::-1]))
    assert all(abs((heading[i] - heading[i - 1] + 180) % 360 - 180) > 30 for i in range(n))


@pytest.mark.parametrize("name", REACHES)
def test_each_reach_has_its_kinds_shape(name):
    kind = name.split("_")[1]
    rows = table(name)
    holds, excursions = reaches(rows)
    centre = rows[holds[0][0]]
    for path in excursions:
        offset = path - centre
        distance = np.linalg.norm(offset[:, :2], axis=1)
        tip = int(np.argmax(distance))
        out = offset[tip, :2] / distance[tip]
        along = offset[:, :2] @ out
        v = speed(path)[:-1]
        stop = int(np.argmin(v[5:-5])) + 5  # where the reach rests before coming home
        across = offset[:, :2] @ np.array([-out[1], out[0]])
        area = 0.5 * abs(np.sum(offset[:-1, 0] * offset[1:, 1] - offset[1:, 0] * offset[:-1, 1]))
        if kind == "recoil":  # snaps back past the centre to the far side
            assert along.min() < -0.15 * distance[tip]
        else:
            assert along.min() > -0.05 * distance[tip]
        if kind == "hook":  # passes its farthest point and curls back before stopping
            assert distance[stop] < 0.9 * distance[tip] and np.ptp(across) > 0.2 * distance[tip]
        if kind == "scoop":  # out and back on different paths, enclosing a sweep
            assert area > 0.08 * distance[tip] ** 2 and distance[stop] > 0.97 * distance[tip]
        if kind == "lift":  # rises in depth, highest near the far end
            assert path[:, 2].min() >= centre[2] and path[tip, 2] > 0.8 * path[:, 2].max() > 0.2
        else:
            assert (path[:, 2] == 0.0).all()


@pytest.mark.parametrize("name", [n for n in REACHES if n.startswith("reach_hook_")])
def test_a_hook_comes_back_out_of_its_curl_no_more_sharply_than_it_curled(name):
    """The way back from the rest inside the curl is a curve too: no one-pip turn on it sharper than the
    sharpest of the curl on the way out."""
    rows = table(name)
    holds, excursions = reaches(rows)
    out, back = [], []
    for (held_from, held), e in zip(holds, excursions):
        pace = np.linalg.norm(np.diff(e, axis=0), axis=1)
        rest = len(e) // 4 + int(np.argmin(pace[len(e) // 4: 3 * len(e) // 4]))   # the rest inside the curl
        start = held_from + held
        out.append(sharpest_turn(rows, start, start + rest))
        back.append(sharpest_turn(rows, start + rest, start + len(e) - 1))
    assert max(back) <= max(out), (max(back), max(out))
