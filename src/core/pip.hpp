// Musical time in pips, and the one rule that maps any pip onto a loop.
#pragma once

#include <cstdint>

namespace trovelin {

// A pip is a signed 32-bit count of 1/64 beats, negative before pip 0.
using Pip = std::int32_t;

inline constexpr Pip PIPS_PER_BEAT = 64;

// Index in [0, period) of a pip within a loop of `period` pips, by floor
// modulo: the remainder of truncating division, plus the period when negative.
// Total over every 32-bit pip; a period of 0 or less gives 0. The `%` cannot
// overflow because the period is positive by then (only INT32_MIN % -1 could).
constexpr Pip floor_mod(Pip pip, Pip period) noexcept {
    if (period <= 0) {
        return 0;
    }
    Pip r = pip % period;
    if (r < 0) {
        r += period;
    }
    return r;
}

}  // namespace trovelin
