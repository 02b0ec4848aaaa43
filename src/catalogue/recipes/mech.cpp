// mech_: kinematic-style position studies of linkages, cams and cranks.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

Shapes mech_family() {
    Shapes s;
    s.push_back(make_shape(
        "mech_scotch_yoke",
        "Yoke with rocking linkage; an original kinematic-style position study, not an engineering simulation.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            return Point{0.82 * std::cos(t), 0.287 * std::sin(t) + 0.1476 * std::sin(3 * t)};
        }));
    return s;
}

}  // namespace trovelin::recipes
