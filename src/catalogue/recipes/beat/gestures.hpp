// The sixteen movement gestures every beat style is rendered as. A gesture
// reads a score (its lanes' onsets, velocities and bass lengths) and gives one
// point per pip of the style's loop; the motion is paced and sized by the
// score, so no two styles move a gesture alike.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "beat/score.hpp"
#include "recipe.hpp"

namespace trovelin::recipes::beat {

inline constexpr int GESTURE_COUNT = 16;

// One loop of a gesture over a score: `score.period` rows. With `depth` false
// the gesture stays in the x-y plane and z is exactly 0 in every row.
using Renderer = std::vector<Point> (*)(const Score& score, bool depth);

struct Gesture {
    const char* key;  // the gesture's part of the entry name: "bounce"
    Renderer render;
};

// The gestures in catalogue order: bounce, step, orbit, glide, surge, recoil,
// flutter, dive, pendulum, figure8, box, corkscrew, spiral, slalom, spring,
// ricochet.
const std::array<Gesture, GESTURE_COUNT>& gestures();

// The description of gesture `g` (0 for bounce ... 15 for ricochet) in a style:
// the style's label, an em dash, the gesture's title, and either the style's
// note (first four gestures of a style that has one) or the gesture's sentence.
std::string describe(const Score& score, int g);

}  // namespace trovelin::recipes::beat
