// ribbon_: a ribbon drawn around a curved elliptical spine.
//
// ribbon_a_b runs its spine round a times per loop while the ribbon's width
// swings b times: the point sits off the spine, along the radius from the
// centre, by the width, and leaves the plane by a depth that follows the
// same swing (one sine drives both), so the ribbon rises where it widens
// outward and dips where it folds inward. A gentle tilt of the spine adds
// depth once per turn. `slim` ribbons are narrow; `deep` ribbons are wider
// and leave the plane much further.
#include <cmath>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;

struct Ribbon {
    const char* kind;
    double width;  // radial swing off the spine
    double depth;  // depth at the widest outward swing
};

constexpr Ribbon KINDS[2] = {{"slim", 0.11, 0.32}, {"deep", 0.17, 0.72}};

}  // namespace

Shapes ribbon_family() {
    static constexpr int PAIRS[8][2] = {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 3}, {2, 5}, {3, 4}, {3, 5}};
    Shapes s;
    for (const Ribbon kind : KINDS) {
        for (const auto& pair : PAIRS) {
            const int a = pair[0];
            const int b = pair[1];
            Shape shape = make_shape(
                join("ribbon", {a, b}) + "_" + kind.kind,
                "A curved elliptical spine with variable radial width and linked depth deflection.", LOOP, 3,
                [a, b, kind](int i) {
                    const double t = theta(i, LOOP);
                    const double phi = a * t;
                    // The spine: an ellipse 1 by 0.72, curved by a second-turn
                    // term that bends its long sides the same way.
                    const double sx = crmath::cos(phi);
                    const double sy = 0.72 * crmath::sin(phi) + 0.14 * crmath::cos(2.0 * phi);
                    const double swing = crmath::sin(b * t + 0.6);
                    const double w = kind.width * swing;
                    return Point{sx + w * crmath::cos(phi), sy + w * crmath::sin(phi),
                                 kind.depth * swing + 0.16 * crmath::cos(phi - 0.5)};
                });
            scale_to_peak(shape.rows, 0.82, true);
            s.push_back(std::move(shape));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
