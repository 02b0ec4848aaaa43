// The beat_ block: every style rendered as the sixteen gestures, style by
// style in the scores' order.
#include <algorithm>

#include "beat/gestures.hpp"
#include "beat/score.hpp"
#include "families.hpp"

namespace trovelin::recipes {

Shapes beat_family() {
    Shapes shapes;
    for (const beat::Score& score : beat::scores()) {
        for (int g = 0; g < beat::GESTURE_COUNT; ++g) {
            const beat::Gesture& gesture = beat::gestures()[static_cast<std::size_t>(g)];
            const bool depth = g >= score.planar_gestures;
            Shape s;
            s.name = "beat_" + score.key + "_" + gesture.key;
            s.description = beat::describe(score, g);
            s.period = score.period;
            s.dimensions = depth ? 3 : 2;
            s.rows = gesture.render(score, depth);
            // A plane gesture with nothing to the side (a bounce over equal
            // kicks alone) moves y only.
            s.y_only = !depth && std::all_of(s.rows.begin(), s.rows.end(), [](const Point& p) { return p.x == 0.0; });
            shapes.push_back(std::move(s));
        }
    }
    return shapes;
}

}  // namespace trovelin::recipes
