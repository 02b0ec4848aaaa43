// spline_: closed cubic curves through hand-placed control points.
//
// Each shape is a list of controls drawn roughly in a [-1, 1] box. A control
// carries the share of the loop spent on the way to the next one, so segment
// times are unequal and the point hurries along some edges and lingers on
// others. A sharp control (a corner or a point of the figure) gets two
// shoulder controls on its edges, close to it, so that the edges come in
// straight and the curve turns tightly at the corner. The curve is the
// periodic cubic Hermite through all controls with tangents from the chords
// between neighbours; every control falls on a whole pip. The shape is then
// centred and scaled so that its largest coordinate is 0.82.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 512;
constexpr double PEAK = 0.82;
const std::string DESCRIPTION = "Periodic cubic tangents connect asymmetrical controls with unequal segment times.";

// Pips from a sharp control to each of its shoulders, as a share of the
// edge's time, and the fewest pips any shoulder segment may take.
constexpr double SHOULDER = 0.14;
constexpr int SHOULDER_MIN = 5;

struct Control {
    double x;
    double y;
    double z;
    double weight;  // share of the loop from this control to the next
    bool sharp;
};

Control corner(double x, double y, double weight, double z = 0.0) {
    return {x, y, z, weight, true};
}

Control through(double x, double y, double weight, double z = 0.0) {
    return {x, y, z, weight, false};
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

Point lerp(const Control& a, const Control& b, double u) {
    return {a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u, a.z + (b.z - a.z) * u};
}

// (pip, point) keys: every control at its pip, and the shoulders of sharp
// controls on their two edges.
std::vector<std::pair<double, Point>> spline_keys(const std::vector<Control>& controls) {
    const std::size_t n = controls.size();
    const std::vector<int> pips = segment_pips(controls);
    std::vector<std::pair<int, Point>> at;
    int start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Control& c = controls[i];
        const Control& next = controls[(i + 1) % n];
        const int length = pips[i];
        const int out = c.sharp ? std::max(SHOULDER_MIN, static_cast<int>(std::lround(SHOULDER * length))) : 0;
        const int in = next.sharp ? std::max(SHOULDER_MIN, static_cast<int>(std::lround(SHOULDER * length))) : 0;
        if (length - out - in < SHOULDER_MIN) {
            throw std::logic_error("a spline edge is too short for its shoulders");
        }
        at.emplace_back(start, Point{c.x, c.y, c.z});
        if (out > 0) {
            at.emplace_back(start + out, lerp(c, next, static_cast<double>(out) / length));
        }
        if (in > 0) {
            at.emplace_back(start + length - in, lerp(c, next, static_cast<double>(length - in) / length));
        }
        start += length;
    }
    std::vector<std::pair<double, Point>> keys;
    for (const auto& [pip, p] : at) {
        keys.emplace_back(static_cast<double>(pip) / LOOP, p);
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

// A four-cornered kite: a short head, wide shoulders set high, a long tail
// point; the head leans right.
std::vector<Control> kite() {
    return {corner(0.12, 1.0, 1.1), corner(0.66, 0.4, 1.9), corner(-0.06, -1.0, 1.5), corner(-0.58, 0.28, 1.0)};
}

// Two triangles meeting point to point: flat top and bottom edges, their
// diagonals crossing at a waist set low and a little left of centre. The lower
// bulb is the wider one.
std::vector<Control> hourglass() {
    return {corner(-0.6, 0.95, 1.1),  corner(0.62, 1.0, 0.9),  through(0.1, 0.1, 0.5), through(-0.1, -0.22, 0.9),
            corner(-0.86, -0.95, 1.4), corner(0.84, -1.0, 0.8), through(0.1, -0.26, 0.6), through(-0.14, 0.02, 1.0)};
}

// A J-shaped hook as a thin outline: down the outside of the shank, round the
// bend, up to a barbed point on the left, and back along the inside to a
// rounded top.
std::vector<Control> hook() {
    return {through(0.24, 0.92, 1.6),  through(0.26, -0.25, 0.8),  through(0.1, -0.82, 0.7),
            through(-0.36, -0.92, 0.6), through(-0.7, -0.5, 0.5),  corner(-0.66, -0.02, 0.45),
            through(-0.48, -0.45, 0.5), through(-0.24, -0.62, 0.45), through(0.02, -0.48, 0.55),
            through(0.08, -0.1, 1.3),   through(0.07, 0.9, 0.3),    through(0.16, 1.02, 0.3)};
}

// A crown: a straight band along the bottom and three points of unequal
// height, the tallest right of centre, with rounded dips between them.
std::vector<Control> crown() {
    return {corner(0.8, -0.72, 1.9),  corner(-0.86, -0.62, 1.2), corner(-0.92, 0.5, 0.7),
            through(-0.5, -0.08, 0.6), corner(0.08, 1.0, 0.7),   through(0.42, 0.06, 0.55),
            corner(0.86, 0.66, 1.1)};
}

// An archer's bow drawn: the limb arcs left through the grip from tip to tip
// (the upper limb longer), the string runs straight to the nock, pulled back
// to the right, and straight up again.
std::vector<Control> bow() {
    return {corner(0.32, 1.0, 0.8),   through(-0.22, 0.78, 0.7), through(-0.52, 0.22, 0.55),
            through(-0.5, -0.3, 0.6), through(-0.12, -0.74, 0.55), corner(0.34, -0.86, 1.0),
            corner(0.78, 0.14, 1.2)};
}

// The outline of a cross whose four arms are of unequal length and width and
// stand off square: each arm is two corners at its tip, joined to the next
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
        const double ux = std::cos(t);
        const double uy = std::sin(t);
        controls.push_back(
            corner(arm.length * ux + arm.half_width * uy, arm.length * uy - arm.half_width * ux, 0.5 + 0.1 * a));
        controls.push_back(
            corner(arm.length * ux - arm.half_width * uy, arm.length * uy + arm.half_width * ux, 1.0 + 0.15 * a));
        // The inner corner sits on the bisector between this arm and the next.
        const double mid = (arm.angle + next.angle + (a == 3 ? 360.0 : 0.0)) / 2 * PI / 180.0;
        const double reach = 0.22;
        controls.push_back(corner(reach * std::cos(mid), reach * std::sin(mid), 1.1 - 0.12 * a));
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
        controls.push_back(corner(OUTER[j][1] * std::cos(a), OUTER[j][1] * std::sin(a), 0.8 + 0.08 * j));
        controls.push_back(corner(INNER[j][1] * std::cos(b), INNER[j][1] * std::sin(b), 1.1 - 0.07 * j));
    }
    return controls;
}

// A scoop: a deep rounded bowl swept from a low left lip to a higher right
// lip, and a shallower inner curve back, like a crescent tipped up on the
// right.
std::vector<Control> scoop() {
    return {corner(-0.96, 0.12, 0.9),  through(-0.72, -0.56, 0.8), through(-0.02, -0.96, 0.9),
            through(0.64, -0.62, 0.8),  corner(0.94, 0.44, 0.5),    through(0.5, -0.16, 0.7),
            through(-0.06, -0.44, 0.6), through(-0.58, -0.2, 0.7)};
}

// A kite tipped back in depth and rising towards its head.
std::vector<Control> rising_kite() {
    return {corner(-0.1, 1.0, 1.4, 0.9), corner(0.6, 0.18, 1.2, 0.2), corner(0.1, -0.9, 1.6, -0.85),
            corner(-0.7, 0.4, 0.9, 0.35)};
}

// A bow standing tilted, its limb on the right: the limb twists through depth
// from one tip to the other and the string is drawn back to the left and
// towards the viewer.
std::vector<Control> twisted_bow() {
    return {corner(-0.2, 1.0, 0.8, 0.75),  through(0.3, 0.82, 0.55, 0.5),  through(0.62, 0.38, 0.5, 0.2),
            through(0.68, -0.12, 0.5, -0.1), through(0.48, -0.6, 0.55, -0.42), corner(0.1, -0.95, 1.1, -0.7),
            corner(-0.64, -0.12, 1.3, 0.9)};
}

// A cup: the bowl hangs in front from rim to rim with a handle bulging out of
// its right side, and the far half of the rim closes the loop behind it.
std::vector<Control> cup() {
    return {corner(-0.74, 0.86, 0.7, 0.0),   through(-0.7, 0.1, 0.6, -0.32),   through(-0.34, -0.62, 0.5, -0.5),
            through(0.1, -0.8, 0.5, -0.54),   through(0.5, -0.45, 0.35, -0.42), corner(0.64, -0.12, 0.3, -0.3),
            through(0.9, -0.06, 0.35, -0.2),  through(1.0, 0.3, 0.3, -0.12),    through(0.86, 0.58, 0.25, -0.1),
            corner(0.7, 0.5, 0.3, -0.16),     corner(0.76, 0.84, 0.8, 0.0),     through(0.3, 0.94, 0.9, 0.62),
            through(-0.42, 0.92, 0.8, 0.58)};
}

// An arch bridge: the deck runs across the top and bows away in depth, the
// piers drop at either end and the arch between their feet peaks off centre.
std::vector<Control> bridge() {
    return {corner(-0.96, 0.4, 0.9, 0.0),   through(0.0, 0.46, 0.9, 0.7),   corner(0.96, 0.44, 0.7, 0.0),
            corner(0.86, -0.74, 0.5, -0.1),  through(0.58, -0.16, 0.5, -0.28), through(0.12, 0.1, 0.55, -0.34),
            through(-0.42, -0.1, 0.55, -0.3), corner(-0.82, -0.8, 0.6, -0.12)};
}

// A shoreline with two bays of unequal size between three headlands, closed
// over the land behind; the water deepens into each bay.
std::vector<Control> double_bay() {
    return {corner(-0.96, 0.24, 0.5, 0.0),   through(-0.76, -0.38, 0.55, -0.52), through(-0.38, -0.6, 0.45, -0.72),
            through(-0.1, -0.2, 0.45, -0.36), corner(0.08, 0.2, 0.45, 0.0),       through(0.34, -0.18, 0.4, -0.34),
            through(0.62, -0.28, 0.4, -0.4), corner(0.9, 0.34, 0.9, 0.0),        through(0.44, 0.9, 0.9, 0.36),
            through(-0.52, 0.84, 0.7, 0.3)};
}

// One teardrop loop, its point low on the left, its round end high on the
// right and leaning towards the viewer.
std::vector<Control> slanted_loop() {
    return {corner(-0.92, -0.8, 1.0, -0.6), through(0.16, -0.36, 0.8, 0.02), through(0.84, 0.32, 0.6, 0.6),
            through(0.66, 0.96, 0.7, 0.8),  through(-0.04, 0.64, 1.1, 0.34)};
}

// A fork: a narrow handle and three tines of unequal length that bend
// forward in depth towards their tips.
std::vector<Control> fork() {
    return {corner(0.04, -1.0, 1.4, -0.6),  corner(0.1, -0.2, 0.45, -0.2),  corner(0.4, 0.08, 1.0, 0.0),
            corner(0.42, 0.86, 0.35, 0.62), corner(0.3, 0.24, 0.8, 0.1),    corner(0.05, 0.98, 0.35, 0.74),
            corner(-0.08, 0.24, 0.8, 0.1),  corner(-0.3, 0.78, 0.35, 0.56), corner(-0.4, 0.06, 0.45, 0.0),
            corner(-0.08, -0.2, 1.4, -0.2)};
}

// A four-pointed crown folded down the middle: the left half stands forward,
// the right half back, and the points have four different heights.
std::vector<Control> folded_crown() {
    return {corner(0.86, -0.7, 2.0, -0.6),  corner(-0.9, -0.6, 1.1, 0.62),   corner(-0.94, 0.56, 0.55, 0.66),
            through(-0.62, 0.0, 0.45, 0.42), corner(-0.36, 0.8, 0.5, 0.26),   through(-0.1, 0.12, 0.45, 0.04),
            corner(0.2, 0.98, 0.5, -0.14),   through(0.46, 0.1, 0.45, -0.32), corner(0.84, 0.62, 1.0, -0.58)};
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
