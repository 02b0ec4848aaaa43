// spline_: closed cubic curves through hand-placed control points.
//
// Each shape is a list of controls drawn roughly in a [-1, 1] box. A control
// carries the share of the loop spent on the way to the next one, so segment
// times are unequal and the point hurries along some stretches and lingers on
// others. The curve is the periodic cubic Hermite through the controls, the
// tangent at each one along the chord between its neighbours over their time
// apart (a Catmull-Rom spline in time), so the point flows through every
// control with an unbroken velocity: corners and points of a figure are
// rounded turns, never a stop or a kink, and no edge is ruled straight. Every control falls on a whole pip. The shape is then
// centred and scaled so that its largest coordinate is 0.82.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 512;
constexpr double PEAK = 0.82;
const std::string DESCRIPTION = "Periodic cubic tangents connect asymmetrical controls with unequal segment times.";

struct Control {
    double x;
    double y;
    double z;
    double weight;  // share of the loop from this control to the next
};

Control at(double x, double y, double weight, double z = 0.0) {
    return {x, y, z, weight};
}

// Whole pips per segment in proportion to the weights, the rounding remainder
// given to the longest segment, so the segments fill the loop exactly.
std::vector<int> segment_pips(const std::vector<Control>& controls) {
    double total = 0.0;
    for (const Control& c : controls) {
        total += c.weight;
    }
    std::vector<int> pips;
    int sum = 0;
    for (const Control& c : controls) {
        pips.push_back(static_cast<int>(std::lround(LOOP * c.weight / total)));
        sum += pips.back();
    }
    *std::max_element(pips.begin(), pips.end()) += LOOP - sum;
    return pips;
}

// (phase, point) keys: every control at the pip its segment starts on.
std::vector<std::pair<double, Point>> spline_keys(const std::vector<Control>& controls) {
    const std::vector<int> pips = segment_pips(controls);
    std::vector<std::pair<double, Point>> keys;
    int start = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        keys.emplace_back(static_cast<double>(start) / LOOP, Point{c.x, c.y, c.z});
        start += pips[i];
    }
    return keys;
}

Shape spline(const std::string& word, int dimensions, const std::vector<Control>& controls) {
    const LoopPath path(spline_keys(controls));
    Shape s = make_shape("spline_" + word, DESCRIPTION, LOOP, dimensions, [&](int i) {
        Point p = path(static_cast<double>(i) / LOOP);
        if (dimensions == 2) {
            p.z = 0.0;
        }
        return p;
    });
    centre_on_range(s.rows);
    scale_to_peak(s.rows, PEAK, dimensions == 3);
    return s;
}

// A polygon whose edges bow out: each edge from a corner to the next is a
// shallow arc through controls at 0, 1/5, 1/2 and 4/5 of the way along it,
// pushed away from the corners' centroid by 4 u (1 - u) `bulge` of the edge's
// length at fraction u, so the edge's midpoint stands out by `bulge` of it.
// The edge's share of the loop is split among its stretches by their
// lengths along the edge. Depth runs straight along each edge.
struct Corner {
    double x;
    double y;
    double z;
    double share;  // of the loop, from this corner to the next
};

std::vector<Control> bowed_polygon(const std::vector<Corner>& corners, double bulge) {
    static constexpr double ALONG[5] = {0.0, 0.2, 0.5, 0.8, 1.0};
    const std::size_t n = corners.size();
    double cx = 0.0;
    double cy = 0.0;
    for (const Corner& c : corners) {
        cx += c.x;
        cy += c.y;
    }
    cx /= static_cast<double>(n);
    cy /= static_cast<double>(n);
    std::vector<Control> controls;
    for (std::size_t i = 0; i < n; ++i) {
        const Corner& a = corners[i];
        const Corner& b = corners[(i + 1) % n];
        // A normal to the edge, as long as the edge, turned to face away from the centroid.
        double nx = b.y - a.y;
        double ny = a.x - b.x;
        if (nx * ((a.x + b.x) / 2 - cx) + ny * ((a.y + b.y) / 2 - cy) < 0.0) {
            nx = -nx;
            ny = -ny;
        }
        for (int k = 0; k < 4; ++k) {
            const double u = ALONG[k];
            const double out = 4.0 * u * (1.0 - u) * bulge;
            controls.push_back(at(a.x + (b.x - a.x) * u + out * nx, a.y + (b.y - a.y) * u + out * ny,
                                  a.share * (ALONG[k + 1] - u), a.z + (b.z - a.z) * u));
        }
    }
    return controls;
}

// A kite: a short head, wide shoulders set high, a long tail point; the head
// leans right. Its edges bow out a little between rounded corners.
std::vector<Control> kite() {
    return bowed_polygon({{0.12, 1.0, 0.0, 1.05}, {0.66, 0.4, 0.0, 1.65}, {-0.06, -1.0, 0.0, 1.5}, {-0.58, 0.28, 0.0, 1.0}},
                         0.06);
}

// Two bulbs meeting at a waist set low and a little left of centre, the
// diagonals crossing there; the lower bulb is the wider one.
std::vector<Control> hourglass() {
    return {at(-0.6, 0.95, 1.1),  at(0.62, 1.0, 0.9),  at(0.1, 0.1, 0.5), at(-0.1, -0.22, 0.9),
            at(-0.86, -0.95, 1.4), at(0.84, -1.0, 0.8), at(0.1, -0.26, 0.6), at(-0.14, 0.02, 1.0)};
}

// A J-shaped hook as a thin outline: down the outside of the shank, round the
// bend, up to a barbed point on the left, and back along the inside to a
// rounded top.
std::vector<Control> hook() {
    return {at(0.26, 0.9, 0.9),   at(0.31, 0.3, 0.8),   at(0.27, -0.35, 0.7), at(0.1, -0.82, 0.7),
            at(-0.36, -0.92, 0.6), at(-0.68, -0.52, 0.5), at(-0.7, -0.06, 0.3), at(-0.6, -0.1, 0.4),
            at(-0.46, -0.45, 0.5), at(-0.24, -0.62, 0.45), at(0.02, -0.5, 0.55), at(0.11, -0.12, 0.7),
            at(0.12, 0.5, 0.6),    at(0.08, 0.9, 0.3),     at(0.17, 1.02, 0.3)};
}

// A crown: a band along the bottom and three points of unequal height, the
// tallest right of centre, with rounded dips between them.
std::vector<Control> crown() {
    return {at(0.8, -0.72, 1.8),  at(-0.86, -0.62, 1.1), at(-0.92, 0.5, 0.75), at(-0.5, -0.08, 0.6),
            at(0.08, 1.0, 0.7),   at(0.42, 0.06, 0.65),  at(0.86, 0.66, 1.1)};
}

// An archer's bow drawn: the limb arcs left through the grip from tip to tip
// (the upper limb longer), and the string runs from the lower tip to the nock,
// pulled back to the right, and up again to the upper tip.
std::vector<Control> bow() {
    return {at(0.3, 1.0, 0.3),    at(0.12, 0.93, 0.55), at(-0.28, 0.66, 0.55), at(-0.48, 0.18, 0.55),
            at(-0.44, -0.34, 0.55), at(-0.1, -0.76, 0.55), at(0.15, -0.87, 0.3),  at(0.33, -0.86, 0.8),
            at(0.68, -0.04, 0.3),  at(0.78, 0.16, 0.3),   at(0.7, 0.36, 0.8)};
}

// The outline of a cross whose four arms are of unequal length and width and
// stand off square: each arm is two controls at its tip, joined to the next
// arm by an inner corner.
std::vector<Control> crooked_cross() {
    struct Arm {
        double angle;  // degrees
        double length;
        double half_width;
    };
    static constexpr Arm ARMS[4] = {{-8, 0.84, 0.15}, {97, 1.0, 0.13}, {172, 0.66, 0.17}, {259, 0.92, 0.14}};
    std::vector<Control> controls;
    for (int a = 0; a < 4; ++a) {
        const Arm& arm = ARMS[a];
        const Arm& next = ARMS[(a + 1) % 4];
        const double t = arm.angle * PI / 180.0;
        const double ux = crmath::cos(t);
        const double uy = crmath::sin(t);
        controls.push_back(
            at(arm.length * ux + arm.half_width * uy, arm.length * uy - arm.half_width * ux, 0.5 + 0.1 * a));
        controls.push_back(
            at(arm.length * ux - arm.half_width * uy, arm.length * uy + arm.half_width * ux, 1.0 + 0.15 * a));
        // The inner corner sits on the bisector between this arm and the next.
        const double mid = (arm.angle + next.angle + (a == 3 ? 360.0 : 0.0)) / 2 * PI / 180.0;
        const double reach = 0.22;
        controls.push_back(at(reach * crmath::cos(mid), reach * crmath::sin(mid), 1.1 - 0.12 * a));
    }
    return controls;
}

// A five-pointed star with points of unequal length, spaced a little
// irregularly, and inner corners at varied depths.
std::vector<Control> asymmetric_star() {
    static constexpr double OUTER[5][2] = {{92, 1.0}, {163, 0.8}, {232, 0.9}, {308, 0.72}, {18, 0.86}};
    static constexpr double INNER[5][2] = {{126, 0.36}, {199, 0.42}, {272, 0.33}, {342, 0.4}, {56, 0.38}};
    std::vector<Control> controls;
    for (int j = 0; j < 5; ++j) {
        const double a = OUTER[j][0] * PI / 180.0;
        const double b = INNER[j][0] * PI / 180.0;
        controls.push_back(at(OUTER[j][1] * crmath::cos(a), OUTER[j][1] * crmath::sin(a), 0.8 + 0.08 * j));
        controls.push_back(at(INNER[j][1] * crmath::cos(b), INNER[j][1] * crmath::sin(b), 1.1 - 0.07 * j));
    }
    return controls;
}

// A scoop: a deep rounded bowl swept from a low left lip to a higher right
// lip, and a shallower inner curve back, like a crescent tipped up on the
// right.
std::vector<Control> scoop() {
    return {at(-0.96, 0.12, 0.3), at(-0.9, -0.12, 0.6),  at(-0.64, -0.62, 0.8), at(-0.02, -0.96, 0.9),
            at(0.64, -0.62, 0.7), at(0.9, 0.1, 0.35),    at(0.94, 0.44, 0.36),  at(0.8, 0.26, 0.5),
            at(0.5, -0.16, 0.7),  at(-0.06, -0.44, 0.6), at(-0.58, -0.2, 0.5),  at(-0.86, 0.06, 0.3)};
}

// A kite tipped back in depth and rising towards its head.
std::vector<Control> rising_kite() {
    return bowed_polygon(
        {{-0.1, 1.0, 0.9, 1.3}, {0.68, 0.14, 0.2, 1.5}, {0.1, -0.9, -0.85, 1.7}, {-0.7, 0.4, 0.35, 0.9}}, 0.08);
}

// A bow standing tilted, its limb on the right: the limb twists through depth
// from one tip to the other and the string is drawn back to the left and
// towards the viewer.
std::vector<Control> twisted_bow() {
    return {at(-0.2, 1.0, 0.3, 0.75),   at(0.0, 0.96, 0.55, 0.62),  at(0.36, 0.72, 0.55, 0.42),
            at(0.62, 0.26, 0.55, 0.12), at(0.6, -0.3, 0.55, -0.2),  at(0.34, -0.8, 0.55, -0.55),
            at(0.1, -0.95, 0.3, -0.7),  at(-0.08, -0.92, 0.8, -0.6), at(-0.54, -0.3, 0.3, 0.6),
            at(-0.64, -0.12, 0.3, 0.9), at(-0.56, 0.1, 0.8, 0.85)};
}

// A cup: the bowl hangs in front from rim to rim with a handle bulging out of
// its right side, and the far half of the rim closes the loop behind it.
std::vector<Control> cup() {
    return {at(-0.74, 0.86, 0.7, 0.0),  at(-0.7, 0.1, 0.6, -0.32),  at(-0.34, -0.62, 0.5, -0.5),
            at(0.1, -0.8, 0.5, -0.54),  at(0.5, -0.45, 0.35, -0.42), at(0.64, -0.12, 0.3, -0.3),
            at(0.92, 0.02, 0.35, -0.2), at(1.0, 0.3, 0.3, -0.12),    at(0.86, 0.58, 0.3, -0.1),
            at(0.7, 0.5, 0.3, -0.16),   at(0.76, 0.84, 0.8, 0.0),    at(0.3, 0.94, 0.9, 0.62),
            at(-0.42, 0.92, 0.8, 0.58)};
}

// An arch bridge: the deck runs across the top and bows away in depth, the
// piers drop at either end and the arch between their feet peaks off centre.
std::vector<Control> bridge() {
    return {at(-0.96, 0.4, 0.9, 0.0),   at(0.0, 0.46, 0.9, 0.7),    at(0.96, 0.44, 0.7, 0.0),
            at(0.86, -0.74, 0.5, -0.1),  at(0.58, -0.16, 0.5, -0.28), at(0.12, 0.1, 0.55, -0.34),
            at(-0.42, -0.1, 0.55, -0.3), at(-0.82, -0.8, 0.6, -0.12)};
}

// A shoreline with two bays of unequal size between three headlands, closed
// over the land behind; the water deepens into each bay.
std::vector<Control> double_bay() {
    return {at(-0.96, 0.24, 0.5, 0.0),   at(-0.76, -0.38, 0.55, -0.52), at(-0.38, -0.6, 0.45, -0.72),
            at(-0.1, -0.2, 0.45, -0.36), at(0.08, 0.2, 0.45, 0.0),       at(0.34, -0.18, 0.4, -0.34),
            at(0.62, -0.28, 0.4, -0.4),  at(0.9, 0.34, 0.9, 0.0),        at(0.44, 0.9, 0.9, 0.36),
            at(-0.52, 0.84, 0.7, 0.3)};
}

// One teardrop loop, its point low on the left, its round end high on the
// right and leaning towards the viewer.
std::vector<Control> slanted_loop() {
    return {at(-0.92, -0.8, 1.0, -0.6), at(0.26, -0.44, 0.7, 0.02), at(0.82, 0.2, 0.45, 0.55),
            at(0.9, 0.72, 0.45, 0.76),  at(0.5, 0.98, 0.6, 0.7),    at(-0.2, 0.66, 1.0, 0.3)};
}

// A fork: a narrow handle with a rounded end, and three tines of unequal
// length, each with a rounded tip, that bend forward in depth towards their
// tips; rounded gaps between them.
std::vector<Control> fork() {
    return {at(-0.04, -1.0, 0.3, -0.62), at(0.08, -0.98, 0.9, -0.6), at(0.1, -0.2, 0.4, -0.2),
            at(0.42, 0.06, 0.9, 0.0),    at(0.46, 0.84, 0.25, 0.62), at(0.34, 0.86, 0.7, 0.6),
            at(0.27, 0.3, 0.25, 0.12),   at(0.17, 0.3, 0.7, 0.12),   at(0.12, 0.98, 0.25, 0.74),
            at(0.0, 0.98, 0.7, 0.72),    at(-0.06, 0.3, 0.25, 0.12), at(-0.16, 0.3, 0.7, 0.12),
            at(-0.22, 0.8, 0.25, 0.56),  at(-0.34, 0.76, 0.9, 0.54), at(-0.4, 0.04, 0.4, 0.0),
            at(-0.06, -0.2, 0.9, -0.2)};
}

// A four-pointed crown folded down the middle: the left half stands forward,
// the right half back, and the points have four different heights.
std::vector<Control> folded_crown() {
    return {at(0.86, -0.7, 1.8, -0.6),   at(-0.9, -0.6, 1.05, 0.62), at(-0.94, 0.56, 0.7, 0.66),
            at(-0.62, 0.0, 0.45, 0.42),  at(-0.36, 0.8, 0.5, 0.26),  at(-0.1, 0.12, 0.45, 0.04),
            at(0.2, 0.98, 0.5, -0.14),   at(0.46, 0.1, 0.6, -0.32),  at(0.84, 0.62, 1.05, -0.58)};
}

}  // namespace

Shapes spline_family() {
    Shapes s;
    s.push_back(spline("kite", 2, kite()));
    s.push_back(spline("hourglass", 2, hourglass()));
    s.push_back(spline("hook", 2, hook()));
    s.push_back(spline("crown", 2, crown()));
    s.push_back(spline("bow", 2, bow()));
    s.push_back(spline("crooked_cross", 2, crooked_cross()));
    s.push_back(spline("asymmetric_star", 2, asymmetric_star()));
    s.push_back(spline("scoop", 2, scoop()));
    s.push_back(spline("rising_kite", 3, rising_kite()));
    s.push_back(spline("twisted_bow", 3, twisted_bow()));
    s.push_back(spline("cup", 3, cup()));
    s.push_back(spline("bridge", 3, bridge()));
    s.push_back(spline("double_bay", 3, double_bay()));
    s.push_back(spline("slanted_loop", 3, slanted_loop()));
    s.push_back(spline("fork", 3, fork()));
    s.push_back(spline("folded_crown", 3, folded_crown()));
    return s;
}

}  // namespace trovelin::recipes
