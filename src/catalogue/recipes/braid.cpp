// braid_: a point rolling round a tube whose centreline is an offset ring.
//
// braid_a_b goes a times round the ring while it rolls b times round the
// tube's cross-section. The ring's centre sits off the origin, so the whole
// braid leans to one side of the field. The cross-section is a little taller
// than it is wide, and a second, smaller depth ripple at twice the rolling
// rate puts a crease into each roll.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double TUBE = 0.36;      // cross-section radius, the ring's radius being 1
constexpr double TALL = 1.25;      // cross-section height over its width
constexpr double RIPPLE = 0.12;    // the second depth ripple
constexpr double CENTRE_X = 0.2;   // where the ring's centre sits
constexpr double CENTRE_Y = -0.12;

}  // namespace

Shapes braid_family() {
    static constexpr int PAIRS[16][2] = {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 3}, {2, 5}, {3, 4}, {3, 5},
                                         {1, 6}, {2, 7}, {3, 7}, {4, 5}, {4, 7}, {5, 6}, {5, 7}, {5, 8}};
    Shapes s;
    for (const auto& pair : PAIRS) {
        const int a = pair[0];
        const int b = pair[1];
        Shape shape = make_shape(join("braid", {a, b}),
                                 "An offset tube centreline and a rolling cross-section with a second depth ripple.",
                                 LOOP, 3, [a, b](int i) {
                                     const double t = theta(i, LOOP);
                                     const double around = a * t - 0.8;
                                     const double roll = b * t;
                                     const double reach = 1.0 + TUBE * crmath::cos(roll);
                                     return Point{CENTRE_X + reach * crmath::cos(around),
                                                  CENTRE_Y + reach * crmath::sin(around),
                                                  TALL * TUBE * crmath::sin(roll) + RIPPLE * crmath::sin(2.0 * roll + 0.9)};
                                 });
        scale_to_peak(shape.rows, 0.82, true);
        s.push_back(std::move(shape));
    }
    return s;
}

}  // namespace trovelin::recipes
