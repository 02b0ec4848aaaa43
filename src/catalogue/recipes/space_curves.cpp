// space_: closed curves that use all three axes.
#include <cmath>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

Shapes space_family() {
    static constexpr int KNOTS[8][2] = {{2, 5}, {2, 7}, {3, 4}, {3, 5}, {3, 7}, {4, 5}, {4, 7}, {5, 6}};
    static constexpr int LANES[8][3] = {{1, 2, 3}, {1, 3, 4}, {2, 3, 4}, {2, 3, 7},
                                        {2, 5, 7}, {3, 4, 5}, {3, 5, 7}, {4, 5, 7}};
    Shapes s;
    for (const auto& knot : KNOTS) {
        const int p = knot[0];
        const int q = knot[1];
        // The largest coordinate, x at row 0, is 3.9 before scaling.
        const double k = 0.82 / 3.9;
        s.push_back(make_shape(join("space_torus", {p, q}),
                               "A genuine XYZ closed torus-knot trajectory. The demo uses an oblique projection.", 1024, 3,
                               [p, q, k](int i) {
                                   const double t = theta(i, 1024);
                                   const double r = 2.9 + crmath::cos(q * t);
                                   return Point{r * crmath::cos(p * t) * k, r * crmath::sin(p * t) * k,
                                                2.1 * crmath::sin(q * t) * k};
                               }));
    }
    for (const auto& lane : LANES) {
        const int a = lane[0];
        const int b = lane[1];
        const int c = lane[2];
        s.push_back(make_shape(
            join("space_weave", {a, b, c}),
            "Three coprime-frequency coordinate lanes with distinct phase offsets.", 1024, 3, [a, b, c](int i) {
                const double t = theta(i, 1024);
                return Point{0.82 * crmath::sin(a * t), 0.82 * 0.8 * crmath::sin(b * t + 0.4),
                             0.82 * 0.7 * crmath::cos(c * t + 0.7)};
            }));
    }
    return s;
}

}  // namespace trovelin::recipes
