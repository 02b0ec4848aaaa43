// wave_: shaped single-axis control waves.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

Shapes wave_family() {
    Shapes s;
    s.push_back(make_shape(
        "wave_pinched", "Pinched sine; a continuous shaped control wave, mapped to horizontal displacement.", 512, 1,
        [](int i) {
            const double t = theta(i, 512);
            return Point{0.615 * std::sin(t) - 0.205 * std::sin(3 * t)};
        }));
    return s;
}

}  // namespace trovelin::recipes
