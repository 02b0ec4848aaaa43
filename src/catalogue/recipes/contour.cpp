// contour_: signed-power ovals with a run of local ripples and a bow.
//
// The outline is x = A spow(cos t, p), y = B spow(sin t, q), where spow is
// a signed power: exponents under 1 push the edges out towards a rounded
// rectangle, exponents over 1 pull them in towards a pinched star. The
// outline is bowed: every point moves along the bow's direction by an amount
// that is largest across the middle of the shape, falls to nothing at its
// two flanks and leans to one of them. Then a run of k ripples, an eighth
// note apart, swells the bowed outline outward from the centre along one
// stretch of its edge, each crest by the same fraction of the radius. The
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

// sign(c) |c|^p, softened within about 0.1 of zero so that squarish
// exponents (p < 1) cross the middle of an edge at a finite speed; it still
// gives exactly -1, 0 and 1 at c = -1, 0 and 1.
double signed_power(double c, double p) {
    constexpr double SOFT = 0.01;
    return c * std::pow(c * c + SOFT, (p - 1.0) / 2.0) * std::pow(1.0 + SOFT, (1.0 - p) / 2.0);
}

// How much to slow the traversal where an exponent's edge is steep: full
// speed for exponents of 1 and over.
double pace(double exponent) {
    return std::fmin(1.0, std::pow(exponent, 0.9));
}

struct Contour {
    double p, q;    // exponents of the x and y edges
    double a, b;    // half-width and half-height
    int ripples;    // number of ripple crests
    double at;      // angle of the middle of the ripple run
    double swell;   // ripple height as a fraction of the radius
    double bow_at;  // direction the bow pushes
    double bow;     // bow at the middle of the shape
    double lean;    // how far the bow leans to one flank (-1 to 1)
    double depth;   // tilt in depth (3-D members)
    double tilt_at; // angle of the outline's highest point in depth
};

constexpr double Q = HALF_PI / 2;  // an eighth of a turn

constexpr Contour CONTOURS[16] = {
    {0.55, 0.55, 1.0, 0.8, 3, HALF_PI, 0.07, HALF_PI, 0.3, 0.5, 0.0, 0.0},
    {2.2, 2.2, 1.0, 0.85, 4, Q, 0.10, 0.0, 0.34, -0.5, 0.0, 0.0},
    {0.7, 1.5, 1.0, 0.75, 5, PI, 0.07, -HALF_PI, 0.27, 0.6, 0.0, 0.0},
    {1.0, 1.0, 1.0, 0.6, 2, HALF_PI, 0.10, PI, 0.34, 0.4, 0.0, 0.0},
    {1.6, 0.6, 0.8, 1.0, 6, 0.0, 0.06, HALF_PI, 0.24, -0.6, 0.0, 0.0},
    {0.6, 0.85, 1.0, 0.9, 3, 3 * HALF_PI, 0.08, 0.0, 0.38, 0.6, 0.0, 0.0},
    {3.0, 3.0, 1.0, 1.0, 2, 1.5, 0.12, -Q, 0.27, 0.5, 0.0, 0.0},
    {1.35, 1.35, 1.0, 0.55, 7, HALF_PI, 0.05, Q, 0.3, -0.4, 0.0, 0.0},
    {0.6, 0.6, 1.0, 0.7, 4, 5 * Q, 0.07, HALF_PI, 0.27, -0.5, 0.45, 0.0},
    {2.5, 1.8, 1.0, 0.9, 3, 5 * Q, 0.10, PI, 0.3, 0.5, 0.5, HALF_PI},
    {0.8, 0.8, 0.9, 1.0, 5, 0.0, 0.07, 0.0, 0.34, 0.4, 0.4, PI},
    {1.2, 0.55, 1.0, 0.8, 2, PI, 0.10, -HALF_PI, 0.34, 0.6, 0.55, -HALF_PI},
    {2.0, 2.0, 1.0, 0.75, 6, 7 * Q, 0.08, Q, 0.27, -0.4, 0.5, Q},
    {0.65, 1.1, 1.0, 0.65, 3, 3 * Q, 0.09, -HALF_PI, 0.3, -0.6, 0.4, 3 * Q},
    {1.5, 1.5, 0.85, 1.0, 4, 0.0, 0.08, PI, 0.27, 0.4, 0.6, -Q},
    {0.6, 0.75, 1.0, 0.85, 7, 3.5, 0.05, HALF_PI, 0.34, 0.5, 0.45, 2.0},
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
    const double ux = std::cos(c.bow_at);
    const double uy = std::sin(c.bow_at);
    Shape shape = make_shape(
        "contour_shaped_" + two_digits(n + 1), "Signed-power oval edges with local ripples and an asymmetric bow.", LOOP,
        dims, [&](int i) {
            const double s = theta(i, LOOP);
            const double t = s + c2 * std::sin(2.0 * s) / 2.0 + c4 * std::sin(4.0 * s) / 4.0;
            double x = c.a * signed_power(std::cos(t), c.p);
            double y = c.b * signed_power(std::sin(t), c.q);
            // Across the bow: -1 and 1 at the flanks, 0 in the middle.
            const double v = (ux * y - uy * x) / span;
            const double push = c.bow * (1.0 - v * v) * (1.0 + c.lean * v);
            x += ux * push;
            y += uy * push;
            const double ripple = pulse_train(i, crests, RIPPLE_SPACING / 2.0, LOOP);
            const double swell = 1.0 + c.swell * ripple;
            x *= swell;
            y *= swell;
            const double z = dims == 3 ? c.depth * std::cos(t - c.tilt_at) + 1.5 * c.swell * ripple : 0.0;
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
