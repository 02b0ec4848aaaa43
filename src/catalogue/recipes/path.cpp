// path_: closed curves in the plane and in space.
#include <cmath>
#include <utility>

#include "families.hpp"

namespace trovelin::recipes {

Shapes path_family() {
    Shapes s;
    s.push_back(make_shape(
        "path_lissajous_2_3", "Two horizontal cycles cross three vertical cycles in a closed eight-beat Lissajous path.",
        512, 2, [](int i) {
            return Point{0.78 * crmath::sin(TWO_PI * (2 * i) / 512), 0.68 * crmath::sin(TWO_PI * (3 * i) / 512)};
        }));
    s.push_back(make_shape(
        "path_rose_4", "A signed radial oscillation draws four petals, passing through the centre between them.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            const double r = 0.82 * crmath::cos(2 * t);
            return Point{r * crmath::cos(t), r * crmath::sin(t)};
        }));
    s.push_back(make_shape(
        "path_rose_5",
        "Five petals in one complete eight-beat traversal; the odd-petal parameter runs through pi, not two pi.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            const double r = 0.82 * crmath::cos(5 * t / 2);
            return Point{r * crmath::cos(t / 2), r * crmath::sin(t / 2)};
        }));
    s.push_back(make_shape(
        "path_bowed_diamond", "An astroid-shaped loop with inward-curved edges and naturally slow corners.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            const double c = crmath::cos(t);
            const double n = crmath::sin(t);
            return Point{0.8 * c * c * c, 0.8 * n * n * n};
        }));
    s.push_back(make_shape(
        "path_orbit_dwell",
        "An ellipse whose phase slows to zero speed at the loop boundary and accelerates through the opposite side.",
        512, 2, [](int i) {
            // Phase p - sin(p): its rate 1 - cos(p) is zero at the boundary
            // (with zero acceleration too, so the seam is smooth) and twice
            // the mean on the far side. The rest is at the top of a wide
            // ellipse, so the fastest phase sweeps along its long axis.
            const double t = theta(i, 512);
            const double phase = t - crmath::sin(t);
            return Point{0.82 * crmath::sin(phase), 0.56 * crmath::cos(phase)};
        }));
    s.push_back(make_shape(
        "path_torus_knot", "Two turns around the axis and three through the tube. XYZ is retained; the demo projects depth.",
        1024, 3, [](int i) {
            const double t = theta(i, 1024);
            const double r = 0.54 + 0.22 * crmath::cos(3 * t);
            return Point{r * crmath::cos(2 * t), r * crmath::sin(2 * t), 0.36 * crmath::sin(3 * t)};
        }));
    s.push_back(make_shape(
        "path_woven_3d", "Independent two-, three-, and five-cycle XYZ oscillations close after sixteen beats.", 1024, 3,
        [](int i) {
            const double t = theta(i, 1024);
            return Point{0.72 * crmath::sin(2 * t), 0.64 * crmath::sin(3 * t), 0.48 * crmath::sin(5 * t)};
        }));
    {
        // Crank radius 1, rod 3: the slider runs between 2 and 4 from the
        // crank centre, x is it centred on 3; y is the crank pin's height.
        Shape crank_slider = make_shape(
            "path_crank_slider",
            "Horizontal slider-crank travel with rod length three and crank radius one; vertical motion follows the crank "
            "tip.",
            256, 2, [](int i) {
                const double t = theta(i, 256);
                const double pin_y = crmath::sin(t);
                return Point{crmath::cos(t) + std::sqrt(9.0 - pin_y * pin_y) - 3.0, pin_y};
            });
        scale_to_peak(crank_slider.rows, 0.82);
        s.push_back(std::move(crank_slider));
    }
    return s;
}

}  // namespace trovelin::recipes
