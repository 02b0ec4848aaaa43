// silhouette_: a closed outline built from three unequal harmonics.
//
// Each component k turns round k times per loop with its own size; in x it
// is a cosine, in y a sine whose phase is offset from the x phase by the
// component's cross-axis angle, so a component may circle forwards (offset
// 0), backwards (offset pi) or trace a tilted ellipse anywhere between. The
// largest component sets the outline, the two smaller ones carve its lobes
// and waists. Depth is a small term linked to the planar motion: it follows
// the product x * y, rising in two opposite quadrants and dipping in the
// other two, like an outline drawn on a saddle; its largest swing is a set
// fraction of the largest planar coordinate.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;

struct Component {
    int k;         // turns per loop
    double size;
    double phase;  // x phase
    double cross;  // y phase minus x phase
};

struct Silhouette {
    Component c[3];  // largest first
    double aspect;   // y size over x size
    double depth;    // largest |z| over largest |x| or |y|; z follows x * y
};

// Sixteen spreads: harmonic sets, size ratios, phases and cross-axis
// offsets differ from member to member so that no two outlines look alike.
constexpr Silhouette SPREADS[16] = {
    {{{1, 1.0, 0.0, 0.0}, {2, 0.38, 0.4, PI}, {5, 0.16, 1.2, 2.2}}, 0.8, 0.22},
    {{{1, 1.0, 0.0, 0.3}, {3, 0.32, 1.0, PI}, {4, 0.2, 0.3, 1.0}}, 0.9, 0.18},
    {{{1, 1.0, 0.0, 0.0}, {3, 0.4, 0.2, 2.6}, {5, 0.14, 2.0, PI}}, 0.75, 0.25},
    {{{1, 1.0, 0.0, 0.5}, {2, 0.45, 1.4, 3.5}, {3, 0.22, 0.6, 1.8}}, 0.85, 0.2},
    {{{1, 1.0, 0.0, 0.0}, {4, 0.3, 0.9, PI}, {7, 0.12, 2.4, 0.7}}, 0.8, 0.2},
    {{{1, 1.0, 0.0, -0.4}, {3, 0.35, 2.2, 0.0}, {7, 0.15, 0.5, PI}}, 0.7, 0.24},
    {{{1, 1.0, 0.0, 0.2}, {5, 0.28, 0.7, PI}, {6, 0.14, 1.9, 4.0}}, 0.9, 0.16},
    {{{1, 1.0, 0.0, 0.0}, {2, 0.3, 2.8, 1.2}, {7, 0.13, 0.2, PI}}, 0.8, 0.26},
    {{{1, 1.0, 0.0, 0.6}, {4, 0.36, 0.3, 2.8}, {5, 0.18, 1.5, 0.0}}, 0.75, 0.2},
    {{{1, 1.0, 0.0, 0.0}, {3, 0.3, 1.7, PI}, {8, 0.11, 0.8, 1.4}}, 0.85, 0.22},
    {{{2, 1.0, 0.0, 0.0}, {3, 0.42, 0.5, 2.4}, {5, 0.2, 1.1, PI}}, 0.8, 0.18},
    {{{1, 1.0, 0.0, -0.3}, {2, 0.4, 1.9, 0.0}, {6, 0.14, 2.6, 3.9}}, 0.7, 0.24},
    {{{1, 1.0, 0.0, 0.0}, {4, 0.26, 2.5, PI}, {9, 0.1, 0.4, 2.0}}, 0.9, 0.2},
    {{{1, 1.0, 0.0, 0.4}, {6, 0.22, 1.2, PI}, {7, 0.12, 2.9, 1.1}}, 0.8, 0.22},
    {{{1, 1.0, 0.0, 0.0}, {5, 0.3, 0.1, 1.9}, {9, 0.1, 1.6, PI}}, 0.75, 0.26},
    {{{2, 1.0, 0.0, 0.3}, {5, 0.36, 2.1, PI}, {7, 0.16, 0.9, 4.4}}, 0.85, 0.2},
};

}  // namespace

Shapes silhouette_family() {
    Shapes s;
    for (int n = 0; n < 16; ++n) {
        const Silhouette sil = SPREADS[n];
        Shape shape = make_shape(
            "silhouette_harmonic_" + two_digits(n + 1),
            "Three unequal harmonic components, with cross-axis phases and a small linked depth term.", LOOP, 3,
            [sil](int i) {
                const double t = theta(i, LOOP);
                double x = 0.0;
                double y = 0.0;
                for (const Component& c : sil.c) {
                    const double a = c.k * t + c.phase;
                    x += c.size * crmath::cos(a);
                    y += c.size * crmath::sin(a + c.cross);
                }
                y *= sil.aspect;
                return Point{x, y, x * y};
            });
        double planar = 0.0;
        double saddle = 0.0;
        for (const Point& p : shape.rows) {
            planar = std::fmax(planar, std::fmax(std::fabs(p.x), std::fabs(p.y)));
            saddle = std::fmax(saddle, std::fabs(p.z));
        }
        const double k = sil.depth * planar / saddle;
        for (Point& p : shape.rows) {
            p.z *= k;
        }
        scale_to_peak(shape.rows, 0.82, true);
        s.push_back(std::move(shape));
    }
    return s;
}

}  // namespace trovelin::recipes
