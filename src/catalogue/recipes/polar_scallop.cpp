// polar_scallop_: positive-radius scalloped loops, one lobe leaning aside.
//
// The radius 1 + 0.3 cos(n phi) swings between 0.7 and 1.3 of the mean, so
// the path has n lobes and n concave dips and never comes near the centre.
// One lobe, the one centred on phi = 0, is bent: its points turn forward
// around the centre by an angle that grows with their height up the lobe,
// so the tip leans sideways while the two dips at its base stay in place.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double DEPTH = 0.3;  // lobe swing as a fraction of the mean radius

// Forward turn of the bent lobe at its tip, in radians. A lobe of n spans
// 2 pi / n; the lean is half a lobe's half-width, capped at 0.5 so the wide
// lobes of the smallest n stay lobes rather than folding over.
double lean(int n) {
    return std::fmin(0.5 * PI / n, 0.5);
}

}  // namespace

Shapes polar_scallop_family() {
    Shapes s;
    for (int n = 2; n <= 9; ++n) {
        const double tip_turn = lean(n);
        Shape shape = make_shape(
            join("polar_scallop", {n}),
            "A positive-radius scalloped loop; no centre crossings, with an asymmetrically bent lobe.", LOOP, 2,
            [n, tip_turn](int i) {
                const double phi = theta(i, LOOP);
                // Angle from the bent lobe's centre, in (-pi, pi].
                const double u = i <= LOOP / 2 ? phi : phi - TWO_PI;
                const double half_lobe = PI / n;
                double turn = 0.0;
                if (std::fabs(u) < half_lobe) {
                    // Height up the lobe, 0 at the dips and 1 at the tip,
                    // raised to 1.5 so the lean gathers towards the tip.
                    const double c = crmath::cos(n * u / 2);
                    const double height = c * c;
                    turn = tip_turn * height * std::sqrt(height);
                }
                const double r = 1.0 + DEPTH * crmath::cos(n * phi);
                const double a = phi + turn;
                return Point{r * crmath::cos(a), r * crmath::sin(a)};
            });
        scale_to_peak(shape.rows, 0.82);
        s.push_back(std::move(shape));
    }
    return s;
}

}  // namespace trovelin::recipes
