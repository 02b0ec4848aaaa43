#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/pip.hpp"

using trovelin::floor_mod;
using trovelin::Pip;

namespace {

constexpr Pip MIN = std::numeric_limits<Pip>::min();
constexpr Pip MAX = std::numeric_limits<Pip>::max();

// The mathematical floor modulo, computed in 64 bits.
Pip expected(Pip pip, Pip period) {
    const std::int64_t r = ((static_cast<std::int64_t>(pip) % period) + period) % period;
    return static_cast<Pip>(r);
}

struct Case {
    Pip pip;
    Pip period;
    Pip index;
};

class FloorModCases : public ::testing::TestWithParam<Case> {};

TEST_P(FloorModCases, GivesTheLoopIndex) {
    const Case c = GetParam();
    EXPECT_EQ(floor_mod(c.pip, c.period), c.index);
}

INSTANTIATE_TEST_SUITE_P(
    KnownIndices, FloorModCases,
    ::testing::Values(Case{-1, 512, 511}, Case{512, 512, 0}, Case{-512, 512, 0}, Case{MIN, 512, 0},
                      Case{MAX, 512, 511}, Case{-1, 448, 447}, Case{-449, 448, 447}, Case{MIN, 448, 320},
                      Case{MAX, 448, 127}, Case{63, 64, 63}, Case{64, 64, 0}, Case{-65, 64, 63},
                      Case{MIN, 160, 32}, Case{MIN, 1024, 0}, Case{MIN, 3, 1}, Case{MIN, 1, 0},
                      Case{MAX, 1, 0}, Case{MIN, MAX, MAX - 1}, Case{MAX, MAX, 0}, Case{-1, MAX, MAX - 1}));

TEST(FloorMod, NonPositivePeriodsGiveZero) {
    for (Pip period : {0, -1, -64, MIN}) {
        for (Pip pip : {MIN, MIN + 1, -1, 0, 1, 63, MAX}) {
            EXPECT_EQ(floor_mod(pip, period), 0) << pip << " mod " << period;
        }
    }
}

TEST(FloorMod, MatchesWideArithmeticAcrossPeriods) {
    for (Pip period : {1, 2, 3, 7, 32, 64, 100, 128, 160, 255, 256, 448, 1000, 65535, 1 << 20, MAX - 1, MAX}) {
        for (Pip pip : {MIN, MIN + 1, MIN + 2, -period, -period - 1, -1, 0, 1, period - 1, period, MAX - 1, MAX}) {
            const Pip r = floor_mod(pip, period);
            EXPECT_EQ(r, expected(pip, period)) << pip << " mod " << period;
            EXPECT_GE(r, 0);
            EXPECT_LT(r, period);
        }
    }
}

static_assert(floor_mod(-1, 64) == 63, "usable in constant expressions");
static_assert(trovelin::PIPS_PER_BEAT == 64);

}  // namespace
