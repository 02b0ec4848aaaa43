// ease_: easing curves turned into four-beat loops along x.
//
// Three members are published easing curves f(t), t in [0, 1], f(0) = 0 and
// f(1) = 1, each evaluated from its standard formula. A move along x runs
// from one end, -0.8 or +0.8, to the other as -0.8 + 1.6 f (or back as
// 0.8 - 1.6 f); each loop goes out and back.
//
// The rebound runs out along its curve in 128 pips and back along it,
// reversed, in the next 128: it is at rest at the start and lands fast at the
// end, so the seam (row 0) falls on the resting end and the landing becomes
// the single sharp turn in the middle of the loop.
//
// The two back curves overshoot by a tenth of their travel and are played as
// separate moves, the same way both times, so each keeps its own feel:
// anticipate (back-in) rests, winds up away from its target and strikes it
// at full speed, where it stops and waits before winding up to go back;
// overshoot (back-out) sets off at full speed, passes its target, turns and
// settles onto it, and rests briefly before it sets off again. Anticipate
// spends most of the loop poised and overshoot most of it on the move, so
// neither is the other played backwards. Their windings reach about -0.96 and +0.96.
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

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

// Out and back over 256 pips, the curve at rest at its start (f' = 0 at
// t = 0), which is where the seam is put.
Shape out_and_back(const char* name, double (*curve)(double)) {
    return make_shape(name, ATTRIBUTED, 256, 1, [curve](int i) {
        const double t = (128 - std::abs(128 - i)) / 128.0;
        return Point{-0.8 + 1.6 * curve(t)};
    });
}

// Moves and holds along x, starting from rest at -0.8: each move runs along
// `curve` to the other end in its pips, and a hold stays where the last move
// ended.
struct Leg {
    bool move;
    int pips;
};

Shape legs(const char* name, double (*curve)(double), std::vector<Leg> plan) {
    std::vector<double> x;
    double from = -0.8;
    for (const Leg& leg : plan) {
        for (int i = 0; i < leg.pips; ++i) {
            x.push_back(leg.move ? from + (-from - from) * curve(static_cast<double>(i) / leg.pips) : from);
        }
        if (leg.move) {
            from = -from;
        }
    }
    if (x.size() != 256 || from != -0.8) {
        throw std::logic_error(std::string(name) + " does not go out and back in four beats");
    }
    return make_shape(name, ATTRIBUTED, 256, 1,
                      [&x](int i) { return Point{x[static_cast<std::size_t>(i)]}; });
}

}  // namespace

Shapes ease_family() {
    Shapes s;
    s.push_back(out_and_back("ease_rebound", bounce_out));
    // Long poised rests and quick moves: three quarters of a beat for each
    // wind-up and strike, a beat and a quarter at rest between them. The seam
    // falls in the middle of a rest.
    s.push_back(legs("ease_anticipate", back_in, {{false, 40}, {true, 48}, {false, 80}, {true, 48}, {false, 40}}));
    // Long moves and short rests: a beat and a half to set off, pass the
    // target and settle, then half a beat still.
    s.push_back(legs("ease_overshoot", back_out, {{false, 16}, {true, 96}, {false, 32}, {true, 96}, {false, 16}}));

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
                return Point{window * crmath::exp(-3.2 * u) * crmath::sin(TWO_PI * 5.0 * u)};
            });
        scale_to_peak(shape.rows, 0.8);
        return shape;
    }());
    return s;
}

}  // namespace trovelin::recipes
