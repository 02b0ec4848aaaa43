#include "rudiments/strokes.hpp"

#include <array>
#include <cstdint>

#include "catalogue/math/crmath.hpp"
#include "rudiments/trig_tables.hpp"
#include "rudiment_trig.inc"

namespace trovelin {
namespace {

using rudiment_trig::PULSE_TABLE_LENGTHS;
constexpr int R = 1;
constexpr int L = -1;

constexpr double clamp_unit(double v) noexcept {
    return v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v);
}

// Local time of a stroke: pips since its start, wrapped into the loop. The
// difference is taken in 64 bits so that a stroke list from any native caller
// (a start outside the loop included) cannot overflow; with starts inside the
// loop it equals the 32-bit floor modulo of (c - start).
constexpr Pip local_time(Pip c, Pip start, Pip period) noexcept {
    const std::int64_t d = (static_cast<std::int64_t>(c) - start) % period;
    return static_cast<Pip>(d < 0 ? d + period : d);
}

// sin((local / length) pi) for 0 <= local < length: read from the correctly
// rounded table for a stroke of up to PULSE_TABLE_LENGTHS pips (every built-in
// one), computed by crmath for a longer one from another native caller. Both
// give the same bits.
double pulse_sin(Pip local, Pip length) noexcept {
    if (length <= PULSE_TABLE_LENGTHS) {
        return rudiment_trig::PULSE_SIN[(length - 1) * PULSE_TABLE_LENGTHS + local];
    }
    return crmath::sin((static_cast<double>(local) / static_cast<double>(length)) * rudiment_trig::PI);
}

constexpr std::array<Stroke, 8> SINGLE_STROKE_ROLL{{
    {0, R, 0.92, 8}, {8, L, 0.92, 8}, {16, R, 0.92, 8}, {24, L, 0.92, 8},
    {32, R, 0.92, 8}, {40, L, 0.92, 8}, {48, R, 0.92, 8}, {56, L, 0.92, 8},
}};

constexpr std::array<Stroke, 8> DOUBLE_STROKE_ROLL{{
    {0, R, 0.88, 8}, {8, R, 0.72, 8}, {16, L, 0.88, 8}, {24, L, 0.72, 8},
    {32, R, 0.88, 8}, {40, R, 0.72, 8}, {48, L, 0.88, 8}, {56, L, 0.72, 8},
}};

constexpr std::array<Stroke, 8> MULTIPLE_BOUNCE_ROLL{{
    {0, R, 0.92, 6}, {6, R, 0.68, 6}, {12, R, 0.48, 6}, {18, R, 0.32, 6},
    {32, L, 0.92, 6}, {38, L, 0.68, 6}, {44, L, 0.48, 6}, {50, L, 0.32, 6},
}};

// RLRR LRLL twice, the first stroke of each group of four accented.
constexpr std::array<Stroke, 16> SINGLE_PARADIDDLE{{
    {0, R, 1.0, 8}, {8, L, 0.72, 8}, {16, R, 0.72, 8}, {24, R, 0.72, 8},
    {32, L, 1.0, 8}, {40, R, 0.72, 8}, {48, L, 0.72, 8}, {56, L, 0.72, 8},
    {64, R, 1.0, 8}, {72, L, 0.72, 8}, {80, R, 0.72, 8}, {88, R, 0.72, 8},
    {96, L, 1.0, 8}, {104, R, 0.72, 8}, {112, L, 0.72, 8}, {120, L, 0.72, 8},
}};

constexpr std::array<Stroke, 4> FLAM{{
    {0, L, 0.34, 10}, {5, R, 0.9, 14}, {32, R, 0.34, 10}, {37, L, 0.9, 14},
}};

constexpr std::array<Stroke, 6> DRAG{{
    {0, L, 0.28, 8}, {5, L, 0.32, 8}, {10, R, 0.88, 14},
    {32, R, 0.28, 8}, {37, R, 0.32, 8}, {42, L, 0.88, 14},
}};

constexpr std::array<Stroke, 10> FIVE_STROKE_ROLL{{
    {0, R, 0.72, 9}, {8, R, 0.62, 9}, {16, L, 0.72, 9}, {24, L, 0.62, 9}, {36, R, 1.0, 14},
    {64, L, 0.72, 9}, {72, L, 0.62, 9}, {80, R, 0.72, 9}, {88, R, 0.62, 9}, {100, L, 1.0, 14},
}};

}  // namespace

Offset3 stroke_motion(Pip pip, Pip period, std::span<const Stroke> strokes) noexcept {
    double sx = 0.0;
    double sy = 0.0;
    const Pip c = floor_mod(pip, period);
    for (const Stroke& s : strokes) {
        const Pip local = period > 0 ? local_time(c, s.start, period) : 0;
        double e = 0.0;
        if (local < s.length) {
            const double v = pulse_sin(local, s.length);
            e = (v * s.amplitude) * v;
        }
        sx = sx + static_cast<double>(s.side) * e;
        sy = sy - e * 0.72;
    }
    return {clamp_unit(sx), clamp_unit(sy), 0.0};
}

Offset3 single_stroke_roll(Pip pip) noexcept { return stroke_motion(pip, 64, SINGLE_STROKE_ROLL); }
Offset3 double_stroke_roll(Pip pip) noexcept { return stroke_motion(pip, 64, DOUBLE_STROKE_ROLL); }
Offset3 multiple_bounce_roll(Pip pip) noexcept { return stroke_motion(pip, 64, MULTIPLE_BOUNCE_ROLL); }
Offset3 single_paradiddle(Pip pip) noexcept { return stroke_motion(pip, 128, SINGLE_PARADIDDLE); }
Offset3 flam(Pip pip) noexcept { return stroke_motion(pip, 64, FLAM); }
Offset3 drag(Pip pip) noexcept { return stroke_motion(pip, 64, DRAG); }
Offset3 five_stroke_roll(Pip pip) noexcept { return stroke_motion(pip, 128, FIVE_STROKE_ROLL); }

}  // namespace trovelin
