// The eight movement rudiments: closed figures of the pip.
#pragma once

#include "core/offset3.hpp"
#include "core/pip.hpp"

namespace trovelin {

// (3 - (u + u)) * (u * u): 0 at 0, 1 at 1, zero slope at both ends.
constexpr double smoothstep(double u) noexcept {
    return (3.0 - (u + u)) * (u * u);
}

Offset3 bounce(Pip pip) noexcept;            // 64 pips, x only
Offset3 sway(Pip pip) noexcept;              // 128 pips, x only
Offset3 circle(Pip pip) noexcept;            // 64 pips
Offset3 figure_eight(Pip pip) noexcept;      // 128 pips
Offset3 step_touch(Pip pip) noexcept;        // 128 pips
Offset3 box_step(Pip pip) noexcept;          // 256 pips
Offset3 helix(Pip pip) noexcept;             // 256 pips, all three axes
Offset3 vessa_background(Pip pip) noexcept;  // 256 pips, keyframed table

}  // namespace trovelin
