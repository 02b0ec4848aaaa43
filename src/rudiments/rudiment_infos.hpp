// Listing records of the fifteen rudiments, in listing order.
#pragma once

#include <array>

#include "core/pattern_info.hpp"

namespace trovelin {

inline constexpr std::array<PatternInfo, 15> RUDIMENT_INFOS{{
    {"bounce", "One-beat vertical bounce", 64, 1},
    {"sway", "Two-beat side-to-side sway", 128, 1},
    {"circle", "One-beat circular orbit", 64, 2},
    {"figure_eight", "Two-beat figure eight", 128, 2},
    {"step_touch", "Two-beat side step with a small lift", 128, 2},
    {"box_step", "Four-beat softened square path", 256, 2},
    {"helix", "Four-beat double-turn helix", 256, 3},
    {"vessa_background", "Vessa/Lumo four-beat accented background drift", 256, 2},
    {"single_stroke_roll", "Alternating R/L strokes with smooth attack and decay", 64, 2},
    {"double_stroke_roll", "RRLL strokes with a softer second motion", 64, 2},
    {"multiple_bounce_roll", "Decaying same-hand bounce clusters", 64, 2},
    {"single_paradiddle", "RLRR LRLL with accented lead strokes", 128, 2},
    {"flam", "Grace motion flowing into an opposite-hand primary motion", 64, 2},
    {"drag", "Two grace motions flowing into an opposite-hand primary motion", 64, 2},
    {"five_stroke_roll", "Two diddles resolving to an accented fifth motion", 128, 2},
}};

}  // namespace trovelin
