// scan_<kind>_n: a serpentine scan of n rows and an outer return.
//
// The rows run left to right, right to left and so on from the top down,
// joined by rounded U-turns that swing out beyond the row ends. After the last
// row the point leaves the scanned area outwards and travels around its
// outside (up the right side and over the top when the last row ends on the
// right, up the left side when it ends on the left) and comes back in to the
// first row's start across the corner of the area, without reaching past it. The path is one smooth closed curve
// through waypoints (rows, turns, return), paced by its length; the point
// comes to rest at both ends of every row, so each row, each turn and the
// return are eased moves of their own.
//
// Kinds: flat rows; rows bowed downwards in the middle; rows tilted (the
// whole scan sheared upwards to the right); and, in 3-D, flat rows that step
// back in depth one after another, each bulging towards the viewer.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double PEAK = 0.82;

enum class Kind { flat, bowed, tilted, depth };

constexpr double LEFT = -0.8;
constexpr double RIGHT = 0.8;
constexpr double TOP = 0.7;
constexpr double BOTTOM = -0.6;
constexpr double BOW = 0.38;
constexpr double SLOPE = 0.28;
constexpr double MARGIN = 0.18;  // how far outside the scanned area the return runs
// Each eased move gets time in proportion to its share of the path's length
// plus this much, so that short moves are not rushed.
constexpr double EXTRA_SHARE = 0.02;
// The return's own extra share: enough more time that, with its corners
// rounded, it turns no more sharply a pip than the U-turns between rows do.
constexpr double RETURN_SHARE = 0.12;
// How far along each leg the return's corners are rounded, at most.
constexpr double CORNER = 0.5;

// A point of a row, `along` from its left end (0) to its right end (1).
Point row_point(Kind kind, int row, int rows, double along) {
    const double gap = (TOP - BOTTOM) / (rows - 1);
    const double x = LEFT + (RIGHT - LEFT) * along;
    double y = TOP - gap * row;
    double z = 0.0;
    if (kind == Kind::bowed) {
        y -= BOW * crmath::sin(PI * along);
    } else if (kind == Kind::depth) {
        z = -0.55 + 1.1 * row / (rows - 1) - 0.2 * crmath::sin(PI * along);
    }
    return {x, y, z};
}

// The rounded turn from the end of `row` to the start of the next one, on the
// right (side +1) or the left (side -1): a half ellipse as deep as the row gap.
std::vector<Point> turn_points(Kind kind, int row, int rows, double side) {
    const double gap = (TOP - BOTTOM) / (rows - 1);
    const double end_x = side > 0 ? RIGHT : LEFT;
    const double mid_y = TOP - gap * (row + 0.5);
    std::vector<Point> points;
    for (double degrees : {45.0, 90.0, 135.0}) {
        const double a = degrees * PI / 180.0;
        Point p{end_x + side * 0.5 * gap * crmath::sin(a), mid_y + 0.5 * gap * crmath::cos(a), 0.0};
        if (kind == Kind::depth) {
            p.z = -0.55 + 1.1 * (row + 0.5 - 0.5 * crmath::cos(a)) / (rows - 1);
        }
        points.push_back(p);
    }
    return points;
}

// The return runs the whole way round in one eased move, far faster than
// any turn between rows; so that it turns no more sharply a pip than they
// do, each of its corners is an arc (three points: where it leaves the leg
// before, its middle and where it joins the leg after) as wide as the legs
// allow, rather than a single waypoint the curve swings round at speed.
std::vector<Point> rounded(const Point& from, const std::vector<Point>& corners, const Point& to) {
    std::vector<Point> out;
    auto toward = [](const Point& a, const Point& b, double* length) {
        const Point d{b.x - a.x, b.y - a.y, b.z - a.z};
        *length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        return Point{d.x / *length, d.y / *length, d.z / *length};
    };
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const Point& c = corners[k];
        const Point& before = k == 0 ? from : corners[k - 1];
        const Point& after = k + 1 < corners.size() ? corners[k + 1] : to;
        double back_length = 0.0;
        double on_length = 0.0;
        const Point back = toward(c, before, &back_length);
        const Point on = toward(c, after, &on_length);
        const double cosine = back.x * on.x + back.y * on.y + back.z * on.z;
        if (cosine < -0.95) {  // all but straight on: no corner to round
            out.push_back(c);
            continue;
        }
        // the arc leaves each leg `d` from the corner; its middle lies on the
        // bisector, d (1 / cos(a/2) - tan(a/2)) from the corner, a the angle
        // between the legs
        const double d = std::min(CORNER, 0.5 * std::min(back_length, on_length));
        const double half_cos = std::sqrt(0.5 * (1.0 + cosine));
        const double half_tan = std::sqrt(1.0 - cosine * cosine) / (1.0 + cosine);
        Point bisector{back.x + on.x, back.y + on.y, back.z + on.z};
        const double b = std::sqrt(bisector.x * bisector.x + bisector.y * bisector.y + bisector.z * bisector.z);
        const double inward = d * (1.0 / half_cos - half_tan) / b;
        out.push_back({c.x + d * back.x, c.y + d * back.y, c.z + d * back.z});
        out.push_back({c.x + inward * bisector.x, c.y + inward * bisector.y, c.z + inward * bisector.z});
        out.push_back({c.x + d * on.x, c.y + d * on.y, c.z + d * on.z});
    }
    return out;
}

Shape scan(Kind kind, const std::string& word, int rows) {
    // Waypoints, with the indices at which the point rests: every row's start
    // and end. The return runs from the last rest back to the first.
    std::vector<Point> points;
    std::vector<std::size_t> rests;
    for (int r = 0; r < rows; ++r) {
        const bool rightwards = r % 2 == 0;
        for (int q = 0; q <= 4; ++q) {
            const double along = rightwards ? q / 4.0 : 1.0 - q / 4.0;
            if (q == 0 || q == 4) {
                rests.push_back(points.size());
            }
            points.push_back(row_point(kind, r, rows, along));
        }
        if (r + 1 < rows) {
            const std::vector<Point> turn = turn_points(kind, r, rows, rightwards ? 1.0 : -1.0);
            points.insert(points.end(), turn.begin(), turn.end());
        }
    }
    if (kind == Kind::tilted) {
        for (Point& p : points) {
            p.y += SLOPE * p.x;
        }
    }
    // The scanned area's extent, rows and turns together.
    double x0 = points[0].x, x1 = points[0].x, y1 = points[0].y;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    const Point start = points.front();
    const Point end = points.back();
    const double slope = kind == Kind::tilted ? SLOPE : 0.0;
    // The return never passes the first row's start on its outer side: it
    // comes in to it diagonally from outside the corner of the scanned area
    // (from above when it has come over the top, from below when it has come
    // up the left side) and turns along the first row there.
    std::vector<Point> back;
    if (rows % 2 == 1) {
        back = {{x1 + MARGIN, end.y, end.z},
                {x1 + MARGIN, y1 + MARGIN, end.z - 0.3},
                {start.x, y1 + MARGIN, start.z + 0.3}};
    } else {
        const Point below{start.x - MARGIN, start.y - MARGIN - slope * MARGIN, start.z};
        back = {{x0 - MARGIN, end.y, end.z}, {x0 - MARGIN, 0.5 * (end.y + below.y), 0.5 * (end.z + start.z)}, below};
    }
    const std::vector<Point> round_back = rounded(end, back, start);
    points.insert(points.end(), round_back.begin(), round_back.end());

    const EvenLoopPath path(keys_by_length(points));
    // Time for each eased move between rests, the return last.
    std::vector<double> weights;
    double total = 0.0;
    for (std::size_t r = 0; r < rests.size(); ++r) {
        const double from = path.key_progress(rests[r]);
        const double to = r + 1 < rests.size() ? path.key_progress(rests[r + 1]) : 1.0;
        weights.push_back(to - from + (r + 1 < rests.size() ? EXTRA_SHARE : RETURN_SHARE));
        total += weights.back();
    }
    std::vector<std::pair<double, double>> timing;
    double t = 0.0;
    for (std::size_t r = 0; r < rests.size(); ++r) {
        timing.emplace_back(t, path.key_progress(rests[r]));
        t += weights[r] / total;
    }
    const EasedProgress progress(std::move(timing));
    Shape s = make_shape("scan_" + word + "_" + std::to_string(rows),
                         "An eased serpentine scan and an explicit outer return to the starting point.", LOOP,
                         kind == Kind::depth ? 3 : 2, [&](int i) {
                             Point p = path(progress(static_cast<double>(i) / LOOP));
                             if (kind != Kind::depth) {
                                 p.z = 0.0;
                             }
                             return p;
                         });
    centre_on_range(s.rows);
    scale_to_peak(s.rows, PEAK, kind == Kind::depth);
    return s;
}

}  // namespace

Shapes scan_family() {
    Shapes s;
    for (int rows : {3, 4, 5, 6}) {
        s.push_back(scan(Kind::flat, "flat", rows));
        s.push_back(scan(Kind::bowed, "bowed", rows));
        s.push_back(scan(Kind::tilted, "tilted", rows));
        s.push_back(scan(Kind::depth, "depth", rows));
    }
    return s;
}

}  // namespace trovelin::recipes
