// orbit_, weave_, polar_ and spiro_: closed plane curves built from rotations.
#include <cmath>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

Shapes orbit_family() {
    struct Harmonic {
        int k;
        double h;
        double phi;
    };
    static constexpr Harmonic HARMONICS[16] = {
        {2, 0.18, 0.0}, {3, 0.22, 0.0}, {4, 0.25, 0.0}, {5, 0.28, 0.0},
        {6, 0.25, 0.0}, {7, 0.2, 0.0},  {8, 0.15, 0.0}, {9, 0.13, 0.0},
        {2, 0.34, 0.5}, {3, 0.31, 0.8}, {4, 0.29, 1.1}, {5, 0.26, 1.4},
        {6, 0.23, 1.7}, {7, 0.2, 2.0},  {8, 0.17, 2.3}, {9, 0.14, 2.6},
    };
    Shapes s;
    for (int n = 0; n < 16; ++n) {
        const Harmonic hm = HARMONICS[n];
        Shape shape = make_shape(
            "orbit_harmonic_" + two_digits(n + 1), "An ellipse combined with unequal horizontal and vertical harmonic ripples.", 512,
            2, [hm](int i) {
                const double t = theta(i, 512);
                return Point{crmath::cos(t) + hm.h * crmath::cos(hm.k * t + hm.phi),
                             0.72 * crmath::sin(t) - hm.h * crmath::sin((hm.k + 1) * t - hm.phi)};
            });
        scale_to_peak(shape.rows, 0.82);
        s.push_back(std::move(shape));
    }
    return s;
}

Shapes weave_family() {
    static constexpr int PAIRS[16][2] = {
        {1, 3}, {1, 4}, {1, 5}, {2, 5}, {2, 7}, {3, 4}, {3, 5}, {3, 7},
        {3, 8}, {4, 5}, {4, 7}, {4, 9}, {5, 6}, {5, 7}, {5, 8}, {5, 9},
    };
    Shapes s;
    for (const auto& pair : PAIRS) {
        const int a = pair[0];
        const int b = pair[1];
        const std::string sa = std::to_string(a);
        const std::string sb = std::to_string(b);
        Shape shape = make_shape(join("weave", {a, b}),
                                 sa + " horizontal and " + sb + " vertical cycles; a phase-offset, closed 16-beat traversal.",
                                 1024, 2, [a, b](int i) {
                                     const double t = theta(i, 1024);
                                     return Point{crmath::sin(a * t + 0.37), 0.8125 * crmath::sin(b * t)};
                                 });
        scale_to_peak(shape.rows, 0.82);
        s.push_back(std::move(shape));
    }
    return s;
}

Shapes polar_family() {
    Shapes s;
    for (int n : {3, 6, 7, 8, 9, 10, 11, 12}) {
        // An odd rose retraces itself after a half turn, so its parameter runs
        // through pi over the loop; an even rose needs the full turn.
        const bool odd = n % 2 == 1;
        const double m = odd ? n : n / 2;
        s.push_back(make_shape(
            join("polar_rose", {n}),
            "A complete signed-radius rose traversal; odd-petal roses use a half-turn parameter.", 1024, 2,
            [odd, m](int i) {
                const double t = theta(i, 1024);
                const double p = odd ? t / 2 : t;
                const double r = 0.82 * crmath::cos(m * p);
                return Point{r * crmath::cos(p), r * crmath::sin(p)};
            }));
    }
    return s;
}

Shapes spiro_family() {
    struct Rolling {
        int big;
        int small;
        double pen;  // pen distance as a fraction of the rolling radius
    };
    static constexpr Rolling CIRCLES[8] = {
        {3, 1, 0.45}, {4, 1, 0.6}, {5, 2, 0.75}, {5, 1, 0.55}, {7, 2, 0.65}, {7, 3, 0.7}, {8, 3, 0.6}, {9, 4, 0.8},
    };
    Shapes s;
    for (const bool inside : {true, false}) {
        for (const Rolling c : CIRCLES) {
            const std::string kind = inside ? "inside" : "outside";
            const double big = c.big;
            const double small = c.small;
            const double d = c.pen * small;
            Shape shape = make_shape(
                join("spiro_" + kind, {c.big, c.small}),
                "A closed " + kind + "-rolling circle trace, with pen radius smaller than the rolling radius.", 1024, 2,
                [=](int i) {
                    const double t = small * theta(i, 1024);
                    if (inside) {
                        const double k = (big - small) / small;
                        return Point{(big - small) * crmath::cos(t) + d * crmath::cos(k * t),
                                     (big - small) * crmath::sin(t) - d * crmath::sin(k * t)};
                    }
                    const double k = (big + small) / small;
                    return Point{(big + small) * crmath::cos(t) - d * crmath::cos(k * t),
                                 (big + small) * crmath::sin(t) - d * crmath::sin(k * t)};
                });
            scale_to_peak(shape.rows, 0.82);
            s.push_back(std::move(shape));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
