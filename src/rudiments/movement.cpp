#include "rudiments/movement.hpp"

#include <array>
#include <cmath>
#include <cstddef>

namespace trovelin {
namespace {

// Constants are literal doubles so every build evaluates the same numbers.
constexpr double TWO_PI = 6.283185307179586;
constexpr double FOUR_PI = 12.566370614359172;
constexpr double PI = 3.141592653589793;
constexpr double HALF_PI = 1.5707963267948966;

// Fractions of a loop are formed with exact reciprocals of powers of two.
constexpr double ONE_64TH = 0.015625;
constexpr double ONE_128TH = 0.0078125;
constexpr double ONE_256TH = 0.00390625;
constexpr double ONE_32ND = 0.03125;

struct BackgroundKey {
    Pip pip;
    double x;
    double y;
};

// Keyframes of the background drift; the last repeats the first one loop on.
const std::array<BackgroundKey, 14> BACKGROUND_KEYS{{
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
std::array<Offset3, BACKGROUND_PERIOD> build_background_table() noexcept {
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

// Filled while the module loads, before any call can reach it.
const std::array<Offset3, BACKGROUND_PERIOD> background_table = build_background_table();

}  // namespace

Offset3 bounce(Pip pip) noexcept {
    const double u = floor_mod(pip, 64) * ONE_64TH;
    return {1.0 - std::fabs(u - 0.5) * 4.0, 0.0, 0.0};
}

Offset3 sway(Pip pip) noexcept {
    const double a = (floor_mod(pip, 128) * ONE_128TH) * TWO_PI;
    return {std::sin(a), 0.0, 0.0};
}

Offset3 circle(Pip pip) noexcept {
    const double a = (floor_mod(pip, 64) * ONE_64TH) * TWO_PI - HALF_PI;
    return {std::cos(a), std::sin(a), 0.0};
}

Offset3 figure_eight(Pip pip) noexcept {
    const double a = (floor_mod(pip, 128) * ONE_128TH) * TWO_PI;
    return {std::sin(a), std::sin(a + a), 0.0};
}

Offset3 step_touch(Pip pip) noexcept {
    static constexpr double START[4] = {-1.0, 0.0, 1.0, 0.0};
    static constexpr double END[4] = {0.0, 1.0, 0.0, -1.0};
    const Pip r = floor_mod(pip, 128);
    const Pip k = r / 32;
    const double u = (r % 32) * ONE_32ND;
    const double x = smoothstep(u) * (END[k] - START[k]) + START[k];
    const double y = -(std::sin(u * PI) * 0.35);
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
    const double s = floor_mod(pip, 256) * ONE_256TH;
    const double a = s * FOUR_PI;
    return {std::cos(a), std::sin(a), std::sin(s * TWO_PI)};
}

Offset3 vessa_background(Pip pip) noexcept {
    return background_table[static_cast<std::size_t>(floor_mod(pip, BACKGROUND_PERIOD))];
}

}  // namespace trovelin
