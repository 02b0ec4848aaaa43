// noise_: closed paths through indexed control points, sixteen beats a loop.
//
// Control point k (k = 0 .. N-1) of lane L of entry E has the value derived
// from the SHA-256 digest of the text "E/L/k", for example
// "noise_drift_5/x/3": the first 13 hexadecimal digits of the digest, read as
// a 52-bit unsigned integer n, give n / 2^51 - 1, a value in [-1, 1) that is
// exact in double precision. The digests are computed when the build is
// configured (noise_digests.cmake); nothing here holds random state, and any
// point can be recomputed alone from its text. N, the number in the entry's
// name, is its count of control points; point k sits on the whole pip
// round(1024 k / N), and every path passes through its points exactly there.
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"
#include "noise_digests.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 1024;

double control_value(const std::string& entry, const std::string& lane, int k) {
    const std::string text = entry + "/" + lane + "/" + std::to_string(k);
    for (const auto& d : noise_digests::DIGESTS) {
        if (text == d.text) {
            const std::string hex(d.sha256, 13);
            const auto n = std::stoull(hex, nullptr, 16);
            return static_cast<double>(n) / 2251799813685248.0 - 1.0;  // 2^51
        }
    }
    throw std::logic_error("no digest for control point " + text);
}

// The pip of control point k of n: round(1024 k / n), halves rounded down.
int control_pip(int k, int n) {
    return (PERIOD * k + n / 2) / n;
}

double phase(int i) {
    return i / static_cast<double>(PERIOD);
}

// A smooth closed lane through the n control points of one lane, each value
// mapped to offset + scale * value before the curve is drawn through it.
LoopCurve lane(const std::string& entry, const std::string& name, int n, double offset, double scale) {
    std::vector<std::pair<double, double>> keys;
    for (int k = 0; k < n; ++k) {
        keys.emplace_back(phase(control_pip(k, n)), offset + scale * control_value(entry, name, k));
    }
    return LoopCurve(std::move(keys));
}

const char* const DRIFT = "Indexed SHA-256 control points in a closed drift path. No mutable random state.";
const char* const ORBIT = "Indexed SHA-256 control points in a closed orbit path. No mutable random state.";
const char* const RIPPLE = "Indexed SHA-256 control points in a closed ripple path. No mutable random state.";
const char* const DEPTH = "Indexed SHA-256 control points in a closed depth path. No mutable random state.";

// Wanders about the plane: x and y are two independent lanes, each point at
// 0.7 times its value.
Shape drift(int n) {
    const std::string name = join("noise_drift", {n});
    const LoopCurve x = lane(name, "x", n, 0.0, 0.7);
    const LoopCurve y = lane(name, "y", n, 0.0, 0.7);
    return make_shape(name, DRIFT, PERIOD, 2, [&](int i) { return Point{x(phase(i)), y(phase(i))}; });
}

// Goes once round an ellipse whose half-axes breathe: x = a cos t and
// y = b sin t, the half-axes a and b lanes through the points at 0.6 + 0.2
// times their values. Both stay positive, so the angle of the point about the
// centre only ever grows: the path always goes round, never back.
Shape orbit(int n) {
    const std::string name = join("noise_orbit", {n});
    const LoopCurve a = lane(name, "x", n, 0.6, 0.2);
    const LoopCurve b = lane(name, "y", n, 0.6, 0.2);
    return make_shape(name, ORBIT, PERIOD, 2, [&](int i) {
        const double t = theta(i, PERIOD);
        return Point{a(phase(i)) * crmath::cos(t), b(phase(i)) * crmath::sin(t)};
    });
}

// Goes once round a ring whose radius ripples: n crests, crest k at radius
// 0.7 + 0.18 times its value on its own pip, with a trough of radius 0.45
// halfway to the next; crest and trough are joined by smoothstep, so each is
// a rounded turn of the radius.
Shape ripple(int n) {
    const std::string name = join("noise_ripple", {n});
    std::vector<std::pair<double, double>> keys;
    for (int k = 0; k < n; ++k) {
        const int here = control_pip(k, n);
        const int next = k + 1 < n ? control_pip(k + 1, n) : PERIOD;
        keys.emplace_back(phase(here), 0.7 + 0.18 * control_value(name, "r", k));
        keys.emplace_back((here + next) / (2.0 * PERIOD), 0.45);
    }
    const EasedKeys radius(std::move(keys));
    return make_shape(name, RIPPLE, PERIOD, 2, [&](int i) {
        const double t = theta(i, PERIOD);
        const double r = radius(phase(i));
        return Point{r * crmath::cos(t), r * crmath::sin(t)};
    });
}

// Goes once round a gently uneven ring (radius 0.55 + 0.15 times the r lane)
// while z, the depth, follows its own lane at 0.7 times the values.
Shape depth(int n) {
    const std::string name = join("noise_depth", {n});
    const LoopCurve r = lane(name, "r", n, 0.55, 0.15);
    const LoopCurve z = lane(name, "z", n, 0.0, 0.7);
    return make_shape(name, DEPTH, PERIOD, 3, [&](int i) {
        const double t = theta(i, PERIOD);
        const double radius = r(phase(i));
        return Point{radius * crmath::cos(t), radius * crmath::sin(t), z(phase(i))};
    });
}

}  // namespace

Shapes noise_family() {
    Shapes s;
    for (int n : {5, 7, 9, 11}) {
        s.push_back(drift(n));
    }
    for (int n : {6, 8, 10, 12}) {
        s.push_back(orbit(n));
    }
    for (int n : {5, 7, 9, 11}) {
        s.push_back(ripple(n));
    }
    for (int n : {6, 8, 10, 12}) {
        s.push_back(depth(n));
    }
    return s;
}

}  // namespace trovelin::recipes
