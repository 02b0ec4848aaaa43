// Drum stickings rendered as motion: x tells the hand, y the stick's descent.
#pragma once

#include <span>

#include "core/offset3.hpp"
#include "core/pip.hpp"

namespace trovelin {

struct Stroke {
    Pip start;         // pip within the loop at which the stroke begins
    int side;          // +1 right hand, -1 left hand
    double amplitude;  // peak strength, 0 < amplitude <= 1
    Pip length;        // pips the stroke lasts, > 0
};

// Sum of the strokes sounding at `pip` (each amplitude * sin^2 over its
// length), x by hand and y pulled down, each limited to [-1, 1]; z is 0.
Offset3 stroke_motion(Pip pip, Pip period, std::span<const Stroke> strokes) noexcept;

Offset3 single_stroke_roll(Pip pip) noexcept;    // 64 pips
Offset3 double_stroke_roll(Pip pip) noexcept;    // 64 pips
Offset3 multiple_bounce_roll(Pip pip) noexcept;  // 64 pips
Offset3 single_paradiddle(Pip pip) noexcept;     // 128 pips
Offset3 flam(Pip pip) noexcept;                  // 64 pips
Offset3 drag(Pip pip) noexcept;                  // 64 pips
Offset3 five_stroke_roll(Pip pip) noexcept;      // 128 pips

}  // namespace trovelin
