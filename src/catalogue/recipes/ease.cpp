// ease_: easing curves turned into four-beat loops along x.
//
// Three members are published easing curves f(t), t in [0, 1], f(0) = 0 and
// f(1) = 1, each evaluated from its standard formula. A loop runs out along
// the curve in 128 pips and back along it, reversed, in the next 128, so each
// half is the other's mirror in time. Each curve is at rest at one end and
// moving fast at the other; the loop is turned so that the seam (row 0) falls
// on the resting end, and the fast end becomes the single sharp turn in the
// middle of the loop. x = -0.8 + 1.6 f: the curve's 0 lies at -0.8 and its 1
// at +0.8; the two back curves overshoot by a tenth of their travel, so they
// reach about -0.96 (anticipate) and +0.96 (overshoot).
#include <cmath>
#include <cstdlib>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr char ATTRIBUTED[] = "An attributed D3 easing curve, assembled into a closed outward-and-return loop.";

// The back curves' overshoot constant: it makes the excursion past the end
// points a tenth of the travel.
constexpr double BACK = 1.70158;

// Back-in: pulls back below 0 first, then accelerates into 1.
double back_in(double t) {
    return t * t * ((BACK + 1.0) * t - BACK);
}

// Back-out: leaves 0 fast, passes 1 and settles back onto it.
double back_out(double t) {
    const double u = t - 1.0;
    return u * u * ((BACK + 1.0) * u + BACK) + 1.0;
}

// Bounce-out: a fall onto 1 followed by three rebounds, each a parabola of
// the same curvature (7.5625 = 2.75^2), the pieces meeting at t = 1 / 2.75,
// 2 / 2.75 and 2.5 / 2.75.
double bounce_out(double t) {
    if (t < 1.0 / 2.75) {
        return 7.5625 * t * t;
    }
    if (t < 2.0 / 2.75) {
        t -= 1.5 / 2.75;
        return 7.5625 * t * t + 0.75;
    }
    if (t < 2.5 / 2.75) {
        t -= 2.25 / 2.75;
        return 7.5625 * t * t + 0.9375;
    }
    t -= 2.625 / 2.75;
    return 7.5625 * t * t + 0.984375;
}

// Out and back over 256 pips. `rests_at_end` says which end of the curve is
// the still one (f' = 0 there): the seam is put on it.
Shape out_and_back(const char* name, double (*curve)(double), bool rests_at_end) {
    return make_shape(name, ATTRIBUTED, 256, 1, [curve, rests_at_end](int i) {
        const int from_turn = rests_at_end ? std::abs(128 - i) : 128 - std::abs(128 - i);
        const double t = from_turn / 128.0;
        return Point{-0.8 + 1.6 * curve(t)};
    });
}

}  // namespace

Shapes ease_family() {
    Shapes s;
    s.push_back(out_and_back("ease_rebound", bounce_out, false));
    s.push_back(out_and_back("ease_anticipate", back_in, false));
    s.push_back(out_and_back("ease_overshoot", back_out, true));

    // A plucked spring: five full swings in four beats, their size
    // decaying by e^-3.2 over the loop, inside a window that opens over the
    // first 20 pips (smootherstep, so the loop leaves rest without a jolt)
    // and closes over the last 64, so row 255 runs back into row 0 at rest.
    // Scaled so that the largest swing reaches exactly 0.8.
    s.push_back([] {
        Shape shape = make_shape(
            "ease_elastic", "Original windowed, decaying oscillation; not a copied D3 curve. Peak scaled to .8.", 256, 1,
            [](int i) {
                const double u = i / 256.0;
                const double window = smootherstep(i / 20.0) * (1.0 - smootherstep((i - 192) / 64.0));
                return Point{window * std::exp(-3.2 * u) * std::sin(TWO_PI * 5.0 * u)};
            });
        scale_to_peak(shape.rows, 0.8);
        return shape;
    }());
    return s;
}

}  // namespace trovelin::recipes
