#include "rudiments/movement.hpp"

#include <array>
#include <cmath>
#include <cstddef>

#include "rudiments/trig_tables.hpp"
#include "rudiment_trig.inc"

namespace trovelin {
namespace {

using namespace rudiment_trig;

struct BackgroundKey {
    Pip pip;
    double x;
    double y;
};

// Keyframes of the background drift; the last repeats the first one loop on.
constexpr std::array<BackgroundKey, 14> BACKGROUND_KEYS{{
    {0, 0 / 14.0, 0.0},
    {23, 2 / 14.0, -0.1},
    {33, 13 / 14.0, -0.8},
    {49, 5 / 14.0, -0.4},
    {87, -3 / 14.0, 0.2},
    {100, -14 / 14.0, 0.9},
    {118, -5 / 14.0, 0.5},
    {154, 1 / 14.0, 0.0},
    {169, 12 / 14.0, 1.0},
    {187, 4 / 14.0, 0.5},
    {215, -2 / 14.0, -0.2},
    {228, -10 / 14.0, -0.9},
    {243, -3 / 14.0, -0.3},
    {256, 0 / 14.0, 0.0},
}};

constexpr Pip BACKGROUND_PERIOD = 256;

// Each row is eased between the two keys that bound it; a row that falls on a
// key's pip belongs to the segment that ends there.
constexpr std::array<Offset3, BACKGROUND_PERIOD> build_background_table() noexcept {
    std::array<Offset3, BACKGROUND_PERIOD> table{};
    std::size_t i = 0;
    for (Pip j = 0; j < BACKGROUND_PERIOD; ++j) {
        while (j > BACKGROUND_KEYS[i + 1].pip) {
            ++i;
        }
        const BackgroundKey& a = BACKGROUND_KEYS[i];
        const BackgroundKey& b = BACKGROUND_KEYS[i + 1];
        const double e = static_cast<double>(j - a.pip) / static_cast<double>(b.pip - a.pip);
        const double s = smoothstep(e);
        table[static_cast<std::size_t>(j)] = {(b.x - a.x) * s + a.x, (b.y - a.y) * s + a.y, 0.0};
    }
    return table;
}

// Filled by the compiler: constant data, nothing to compute when the module loads.
constexpr std::array<Offset3, BACKGROUND_PERIOD> background_table = build_background_table();

}  // namespace

Offset3 bounce(Pip pip) noexcept {
    const double u = floor_mod(pip, 64) * ONE_64TH;
    return {1.0 - std::fabs(u - 0.5) * 4.0, 0.0, 0.0};
}

// Each sine and cosine below is read from the correctly rounded tables by
// the index its angle is made from (rudiments/trig_tables.hpp).

Offset3 sway(Pip pip) noexcept {
    return {TURN_OF_128_SIN[floor_mod(pip, 128)], 0.0, 0.0};
}

Offset3 circle(Pip pip) noexcept {
    const Pip r = floor_mod(pip, 64);
    return {CIRCLE_COS[r], CIRCLE_SIN[r], 0.0};
}

Offset3 figure_eight(Pip pip) noexcept {
    const Pip r = floor_mod(pip, 128);
    return {TURN_OF_128_SIN[r], DOUBLE_TURN_OF_128_SIN[r], 0.0};
}

Offset3 step_touch(Pip pip) noexcept {
    static constexpr double START[4] = {-1.0, 0.0, 1.0, 0.0};
    static constexpr double END[4] = {0.0, 1.0, 0.0, -1.0};
    const Pip r = floor_mod(pip, 128);
    const Pip k = r / 32;
    const double u = (r % 32) * ONE_32ND;
    const double x = smoothstep(u) * (END[k] - START[k]) + START[k];
    const double y = -(STEP_LIFT_SIN[r % 32] * 0.35);
    return {x, y, 0.0};
}

Offset3 box_step(Pip pip) noexcept {
    // Corners C0..C3 and C4 = C0: along the bottom, up, along the top, down.
    static constexpr double CX[5] = {-1.0, 1.0, 1.0, -1.0, -1.0};
    static constexpr double CY[5] = {-1.0, -1.0, 1.0, 1.0, -1.0};
    const Pip r = floor_mod(pip, 256);
    const Pip k = r / 64;
    const double s = smoothstep((r % 64) * ONE_64TH);
    return {(CX[k + 1] - CX[k]) * s + CX[k], (CY[k + 1] - CY[k]) * s + CY[k], 0.0};
}

Offset3 helix(Pip pip) noexcept {
    const Pip r = floor_mod(pip, 256);
    return {HELIX_COS[r], HELIX_SIN[r], HELIX_DEPTH_SIN[r]};
}

Offset3 vessa_background(Pip pip) noexcept {
    return background_table[static_cast<std::size_t>(floor_mod(pip, BACKGROUND_PERIOD))];
}

}  // namespace trovelin
