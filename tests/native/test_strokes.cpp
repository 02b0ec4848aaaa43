#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "rudiments/strokes.hpp"

using trovelin::Offset3;
using trovelin::Pip;
using trovelin::Stroke;
using trovelin::stroke_motion;

namespace {

constexpr Pip MIN = std::numeric_limits<Pip>::min();
constexpr Pip MAX = std::numeric_limits<Pip>::max();

// Four full-strength right strokes peaking together would reach 4.0 on x.
constexpr std::array<Stroke, 4> PILED_RIGHT{{{0, 1, 1.0, 16}, {0, 1, 1.0, 16}, {0, 1, 1.0, 16}, {0, 1, 1.0, 16}}};
constexpr std::array<Stroke, 3> PILED_LEFT{{{4, -1, 1.0, 8}, {4, -1, 1.0, 8}, {4, -1, 0.5, 8}}};

TEST(StrokeMotion, ClampsOverlappingStrokesToTheUnitRange) {
    const Offset3 peak = stroke_motion(8, 64, PILED_RIGHT);
    EXPECT_EQ(peak.x, 1.0);
    EXPECT_EQ(peak.y, -1.0);  // 4 * 0.72 = 2.88 of descent, held at -1
    EXPECT_EQ(peak.z, 0.0);

    const Offset3 left = stroke_motion(8, 64, PILED_LEFT);
    EXPECT_EQ(left.x, -1.0);
    EXPECT_EQ(left.y, -1.0);
}

TEST(StrokeMotion, LeavesSumsInsideTheRangeUnchanged) {
    // Just one of the piled strokes, at the pip where sin^2 is exactly 0.5.
    const Offset3 one = stroke_motion(4, 64, std::span(PILED_RIGHT).first(1));
    EXPECT_GT(one.x, 0.0);
    EXPECT_LT(one.x, 1.0);
    EXPECT_DOUBLE_EQ(one.y, -0.72 * one.x);
}

TEST(StrokeMotion, EveryPipGivesABoundedValueWithTheClamp) {
    for (Pip pip : {MIN, MIN + 1, -1, 0, 1, 7, 8, 9, 63, 64, MAX}) {
        const Offset3 o = stroke_motion(pip, 64, PILED_RIGHT);
        EXPECT_GE(o.x, -1.0);
        EXPECT_LE(o.x, 1.0);
        EXPECT_GE(o.y, -1.0);
        EXPECT_LE(o.y, 0.0);
    }
}

TEST(StrokeMotion, WrapsAStrokeThatStartsNearTheEndOfTheLoop) {
    constexpr std::array<Stroke, 1> LATE{{{60, 1, 1.0, 8}}};
    // Local time 4 of 8 at pip 0 of the next loop: the stroke's peak.
    EXPECT_EQ(stroke_motion(0, 64, LATE).x, 1.0);
    EXPECT_EQ(stroke_motion(64, 64, LATE).x, 1.0);
    EXPECT_EQ(stroke_motion(4, 64, LATE).x, 0.0);
}

TEST(StrokeMotion, NonPositivePeriodAndExtremeStartsAreSafe) {
    constexpr std::array<Stroke, 2> ODD{{{MIN, 1, 1.0, 8}, {MAX, -1, 1.0, 8}}};
    for (Pip period : {0, -5}) {
        const Offset3 o = stroke_motion(MAX, period, ODD);  // local time 0: sin(0) = 0
        EXPECT_EQ(o.x, 0.0);
        EXPECT_EQ(o.y, 0.0);
    }
    for (Pip pip : {MIN, -1, 0, MAX}) {
        const Offset3 o = stroke_motion(pip, MAX, ODD);
        EXPECT_GE(o.x, -1.0);
        EXPECT_LE(o.x, 1.0);
    }
}

TEST(StrokeMotion, EmptyListIsStill) {
    const Offset3 o = stroke_motion(12, 64, {});
    EXPECT_EQ(o.x, 0.0);
    EXPECT_EQ(o.y, 0.0);
    EXPECT_EQ(o.z, 0.0);
}

}  // namespace
