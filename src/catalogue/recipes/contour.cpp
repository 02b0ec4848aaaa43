// contour_: signed-power ovals with a run of local ripples and a bow.
//
// The outline is x = A spow(cos t, p), y = B spow(sin t, q), where spow is
// a signed power: exponents under 1 push the edges out towards a rounded
// rectangle, exponents over 1 draw them in towards a pointed oval. Every
// exponent lies between 0.55 and 1.6, so the outline stays convex (at 2 its
// edges would run straight, and beyond they would cave in). The outline is
// bowed: every point moves along the bow's direction by an amount that is
// largest across the middle of the shape, falls to nothing at its two flanks
// and leans to one of them. Then a run of k ripples, an eighth note apart,
// raises the bowed outline outward, square to its edge, along one stretch of
// a flank. The crests rise equally, by a share of a ripple's length along the
// path, so each ripple is a gentle swell in proportion to its own width that
// never folds back over itself or comes to a point. The
// 3-D members tilt the outline in depth and lift the ripples out of the
// plane as well.
#include <algorithm>
#include <cmath>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double RIPPLE_SPACING = EIGHTH;  // pips between ripple crests
constexpr double RIPPLE_LIFT = 1.0;        // depth of a 3-D ripple against its height in the plane

// sign(c) |c|^p, softened within about 0.1 of zero so that squarish
// exponents (p < 1) cross the middle of an edge at a finite speed; it still
// gives exactly -1, 0 and 1 at c = -1, 0 and 1.
double signed_power(double c, double p) {
    constexpr double SOFT = 0.01;
    return c * crmath::pow(c * c + SOFT, (p - 1.0) / 2.0) * crmath::pow(1.0 + SOFT, (1.0 - p) / 2.0);
}

// How much to slow the traversal where an exponent's edge is steep: full
// speed for exponents of 1 and over.
double pace(double exponent) {
    return std::fmin(1.0, crmath::pow(exponent, 0.9));
}

struct Contour {
    double p, q;    // exponents of the x and y edges
    double a, b;    // half-width and half-height
    int ripples;    // number of ripple crests
    double at;      // angle of the middle of the ripple run
    double swell;   // ripple height as a share of one ripple's length along the path
    double bow_at;  // direction the bow pushes
    double bow;     // bow at the middle of the shape
    double lean;    // how far the bow leans to one flank (-1 to 1)
    double depth;   // tilt in depth (3-D members)
    double tilt_at; // angle of the outline's highest point in depth
};

constexpr double Q = HALF_PI / 2;  // an eighth of a turn

constexpr Contour CONTOURS[16] = {
    {0.55, 0.55, 1.0, 0.8, 3, HALF_PI, 0.154, HALF_PI, 0.3, 0.5, 0.0, 0.0},
    {1.5, 1.5, 1.0, 0.85, 4, Q, 0.22, 0.0, 0.34, -0.5, 0.0, 0.0},
    {0.7, 1.5, 1.0, 0.75, 5, 2.55, 0.154, -HALF_PI, 0.27, 0.6, 0.0, 0.0},
    {1.0, 1.0, 1.0, 0.6, 2, HALF_PI, 0.22, PI, 0.34, 0.4, 0.0, 0.0},
    {1.6, 0.6, 0.8, 1.0, 6, 0.0, 0.132, HALF_PI, 0.24, -0.6, 0.0, 0.0},
    {0.6, 0.85, 1.0, 0.9, 3, 3 * HALF_PI, 0.176, 0.0, 0.38, 0.6, 0.0, 0.0},
    {1.3, 1.6, 1.0, 1.0, 2, 0.85, 0.264, -Q, 0.27, 0.5, 0.0, 0.0},
    {1.35, 1.35, 1.0, 0.55, 7, HALF_PI, 0.11, Q, 0.3, -0.4, 0.0, 0.0},
    {0.6, 0.6, 1.0, 0.7, 4, 5 * Q, 0.154, HALF_PI, 0.27, -0.5, 0.45, 0.0},
    {1.6, 1.25, 1.0, 0.9, 3, 5 * Q, 0.22, PI, 0.3, 0.5, 0.5, HALF_PI},
    {0.8, 0.8, 0.9, 1.0, 5, 0.0, 0.154, 0.0, 0.34, 0.4, 0.4, PI},
    {1.2, 0.55, 1.0, 0.8, 2, PI, 0.22, -HALF_PI, 0.34, 0.6, 0.55, -HALF_PI},
    {1.45, 1.45, 1.0, 0.75, 6, 7 * Q, 0.176, Q, 0.27, -0.4, 0.5, Q},
    {0.65, 1.1, 1.0, 0.65, 3, 3 * Q, 0.198, -HALF_PI, 0.3, -0.6, 0.4, 3 * Q},
    {1.5, 1.5, 0.85, 1.0, 4, 5.6, 0.176, PI, 0.27, 0.4, 0.6, -Q},
    {0.6, 0.75, 1.0, 0.85, 7, 3.5, 0.11, HALF_PI, 0.34, 0.5, 0.45, 2.0},
};

Shape contour_shape(int n, const Contour& c) {
    const int dims = n < 8 ? 2 : 3;
    // Crests an eighth note apart, spread evenly about the middle of the run.
    std::vector<Onset> crests;
    const double middle = c.at / TWO_PI * LOOP;
    for (int j = 0; j < c.ripples; ++j) {
        crests.push_back({middle + (j - (c.ripples - 1) / 2.0) * RIPPLE_SPACING, 1.0});
    }
    // t(s) = s + c2 sin(2s) / 2 + c4 sin(4s) / 4 runs at pace(q) through the
    // ends of the x axis (s = 0, pi) and at pace(p) through the ends of the y
    // axis, where the y and the x edges are steepest.
    const double c4 = (pace(c.q) + pace(c.p)) / 2.0 - 1.0;
    const double c2 = (pace(c.q) - pace(c.p)) / 2.0;
    const double span = std::max(c.a, c.b);
    const double ux = crmath::cos(c.bow_at);
    const double uy = crmath::sin(c.bow_at);
    // The smooth bowed outline at a pip, fractions allowed, and its angle t.
    struct Along {
        double x;
        double y;
        double t;
    };
    const auto outline = [&](double pip) {
        const double s = TWO_PI * pip / LOOP;
        const double t = s + c2 * crmath::sin(2.0 * s) / 2.0 + c4 * crmath::sin(4.0 * s) / 4.0;
        double x = c.a * signed_power(crmath::cos(t), c.p);
        double y = c.b * signed_power(crmath::sin(t), c.q);
        // Across the bow: -1 and 1 at the flanks, 0 in the middle.
        const double v = (ux * y - uy * x) / span;
        const double push = c.bow * (1.0 - v * v) * (1.0 + c.lean * v);
        return Along{x + ux * push, y + uy * push, t};
    };
    // The way ahead over each pip, centred on it: its length is the
    // outline's pace there, and the ripples rise to its right, which is
    // outward as the outline runs anticlockwise.
    struct Ahead {
        double dx;
        double dy;
        double pace;
    };
    std::vector<Ahead> ahead;
    double run_pace = 0.0;
    int run_pips = 0;
    for (int i = 0; i < LOOP; ++i) {
        const Along after = outline(i + 0.5);
        const Along before = outline(i - 0.5);
        const double dx = after.x - before.x;
        const double dy = after.y - before.y;
        ahead.push_back({dx, dy, std::sqrt(dx * dx + dy * dy)});
        if (pulse_train(i, crests, RIPPLE_SPACING / 2.0, LOOP) > 0.0) {
            run_pace += ahead.back().pace;
            ++run_pips;
        }
    }
    // Every crest rises by the same height: `swell` of a ripple's length at
    // the run's mean pace.
    const double height = c.swell * RIPPLE_SPACING * (run_pace / run_pips);
    Shape shape = make_shape(
        "contour_shaped_" + two_digits(n + 1), "Signed-power oval edges with local ripples and an asymmetric bow.", LOOP,
        dims, [&](int i) {
            const Along here = outline(i);
            const Ahead& way = ahead[static_cast<std::size_t>(i)];
            const double rise = height * pulse_train(i, crests, RIPPLE_SPACING / 2.0, LOOP);
            const double x = here.x + rise * (way.dy / way.pace);
            const double y = here.y - rise * (way.dx / way.pace);
            const double z = dims == 3 ? c.depth * crmath::cos(here.t - c.tilt_at) + RIPPLE_LIFT * rise : 0.0;
            return Point{x, y, z};
        });
    scale_to_peak(shape.rows, 0.82, true);
    return shape;
}

}  // namespace

Shapes contour_family() {
    Shapes s;
    for (int n = 0; n < 16; ++n) {
        s.push_back(contour_shape(n, CONTOURS[n]));
    }
    return s;
}

}  // namespace trovelin::recipes
