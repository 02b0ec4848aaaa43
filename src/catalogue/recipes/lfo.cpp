// lfo_: slow control shapes, one to two axes, four to sixteen beats.
#include <cmath>

#include "families.hpp"

namespace trovelin::recipes {

Shapes lfo_opening() {
    Shapes s;
    s.push_back(make_shape(
        "lfo_breathe", "A four-beat, single-axis sine. The quiet reference for judging busier shapes.", 256, 1,
        [](int i) { return Point{0.8 * std::sin(TWO_PI * i / 256)}; }));
    s.push_back(make_shape(
        "lfo_flower", "Related rotations form an original three-lobed XY loop over eight beats.", 512, 2, [](int i) {
            const double t = theta(i, 512);
            return Point{0.56 * std::cos(t) - 0.28 * std::cos(2 * t), 0.56 * std::sin(t) + 0.28 * std::sin(2 * t)};
        }));
    return s;
}

Shapes lfo_more() {
    Shapes s;
    s.push_back(make_shape(
        "lfo_triplet_wobble", "Three rounded oscillations per two beats, breathing in depth over an eight-beat phrase.",
        512, 2, [](int i) {
            const double t = theta(i, 512);
            return Point{std::sin(12 * t) * (0.5525 - 0.255 * std::cos(t)), 0.22 * std::sin(t)};
        }));
    s.push_back(make_shape(
        "lfo_breathing_orbit", "A closed ellipse expands and contracts twice during its eight-beat revolution.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            return Point{0.67 * std::cos(t) + 0.11 * std::cos(3 * t), 0.39 * std::sin(t) + 0.09 * std::sin(3 * t)};
        }));
    return s;
}

}  // namespace trovelin::recipes
