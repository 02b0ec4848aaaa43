// path_: closed curves in the plane and in space.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

Shapes path_family() {
    Shapes s;
    s.push_back(make_shape(
        "path_lissajous_2_3", "Two horizontal cycles cross three vertical cycles in a closed eight-beat Lissajous path.",
        512, 2, [](int i) {
            return Point{0.78 * std::sin(TWO_PI * (2 * i) / 512), 0.68 * std::sin(TWO_PI * (3 * i) / 512)};
        }));
    s.push_back(make_shape(
        "path_rose_4", "A signed radial oscillation draws four petals, passing through the centre between them.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            const double r = 0.82 * std::cos(2 * t);
            return Point{r * std::cos(t), r * std::sin(t)};
        }));
    s.push_back(make_shape(
        "path_rose_5",
        "Five petals in one complete eight-beat traversal; the odd-petal parameter runs through pi, not two pi.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            const double r = 0.82 * std::cos(5 * t / 2);
            return Point{r * std::cos(t / 2), r * std::sin(t / 2)};
        }));
    s.push_back(make_shape(
        "path_bowed_diamond", "An astroid-shaped loop with inward-curved edges and naturally slow corners.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            const double c = std::cos(t);
            const double n = std::sin(t);
            return Point{0.8 * c * c * c, 0.8 * n * n * n};
        }));
    s.push_back(make_shape(
        "path_torus_knot", "Two turns around the axis and three through the tube. XYZ is retained; the demo projects depth.",
        1024, 3, [](int i) {
            const double t = theta(i, 1024);
            const double r = 0.54 + 0.22 * std::cos(3 * t);
            return Point{r * std::cos(2 * t), r * std::sin(2 * t), 0.36 * std::sin(3 * t)};
        }));
    s.push_back(make_shape(
        "path_woven_3d", "Independent two-, three-, and five-cycle XYZ oscillations close after sixteen beats.", 1024, 3,
        [](int i) {
            const double t = theta(i, 1024);
            return Point{0.72 * std::sin(2 * t), 0.64 * std::sin(3 * t), 0.48 * std::sin(5 * t)};
        }));
    return s;
}

}  // namespace trovelin::recipes
