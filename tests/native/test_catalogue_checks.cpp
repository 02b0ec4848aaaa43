// The build refuses catalogue entries that break the catalogue's rules.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "catalogue/generator/checks.hpp"

using trovelin::generator::check_shape;
using trovelin::generator::Refusal;
using trovelin::generator::round12;
using trovelin::recipes::make_shape;
using trovelin::recipes::Point;
using trovelin::recipes::Shape;

namespace {

const std::string DESCRIPTION = "A plain test description that is long enough to pass.";

Shape circle_shape() {
    return make_shape("test_circle", DESCRIPTION, 64, 2, [](int i) {
        const double t = 6.283185307179586 * i / 64;
        return Point{0.8 * std::cos(t), 0.8 * std::sin(t), 0.0};
    });
}

void expect_refused(const Shape& s, const std::string& reason_part) {
    try {
        check_shape(s);
        FAIL() << "accepted " << s.name;
    } catch (const Refusal& r) {
        EXPECT_NE(std::string(r.what()).find(reason_part), std::string::npos) << r.what();
    }
}

TEST(CatalogueChecks, AcceptsAWellFormedShape) {
    EXPECT_NO_THROW(check_shape(circle_shape()));
}

TEST(CatalogueChecks, RefusesBadNamesAndDescriptions) {
    for (const char* name : {"short", "Test_circle", "9test_circle", "test-circle", "test_circle_that_is_far_too_long_x",
                             "single_paradiddle"}) {
        Shape s = circle_shape();
        s.name = name;
        expect_refused(s, "name");
    }
    Shape s = circle_shape();
    s.description = "Too short.";
    expect_refused(s, "description");
    s.description = DESCRIPTION + " \xc3\xa9";  // an e with an accent
    expect_refused(s, "byte outside");
    s.description = DESCRIPTION + " \xe2\x80\x94 and \xe2\x80\x93 dashes";
    EXPECT_NO_THROW(check_shape(s));
}

TEST(CatalogueChecks, RefusesLoopsThatAreNotWholeEighthsOrDisagreeWithTheirName) {
    Shape s = circle_shape();
    s.rows.pop_back();
    expect_refused(s, "rows");

    Shape odd = make_shape("test_loop_48", DESCRIPTION, 48, 1, [](int i) { return Point{i < 24 ? 0.1 : 0.2}; });
    expect_refused(odd, "eighth");

    auto pulse = [](int i) { return Point{i == 0 ? 0.1 : 0.0, i == 0 ? -0.1 : 0.0}; };
    EXPECT_NO_THROW(check_shape(make_shape("euclid_2_5", DESCRIPTION, 160, 2, pulse)));
    expect_refused(make_shape("euclid_2_5", DESCRIPTION, 192, 2, pulse), "eighth");
    expect_refused(make_shape("meter_2_3", DESCRIPTION, 192, 2, pulse), "eighth");
    expect_refused(make_shape("dialogue_3_x", DESCRIPTION, 192, 2, pulse), "eighth");
}

TEST(CatalogueChecks, RefusesValuesOutOfRangeOrNotFinite) {
    for (double bad : {1.0000001, -1.5, std::numeric_limits<double>::infinity(), std::nan("")}) {
        Shape s = circle_shape();
        s.rows[10].y = bad;
        expect_refused(s, "row 10");
    }
}

TEST(CatalogueChecks, UnusedAxesMustBeExactlyPositiveZero) {
    Shape s = circle_shape();
    s.rows[3].z = 1e-12;
    expect_refused(s, "axis z");
    s.rows[3].z = -0.0;
    expect_refused(s, "axis z");

    Shape flat = circle_shape();
    flat.dimensions = 1;
    expect_refused(flat, "axis y");

    Shape lift = make_shape("test_lift", DESCRIPTION, 64, 2, [](int i) { return Point{0.0, 0.5 * std::sin(i * 0.1)}; });
    expect_refused(lift, "axis x never moves");
    lift.y_only = true;
    EXPECT_NO_THROW(check_shape(lift));
    lift.rows[5].x = 0.25;
    expect_refused(lift, "axis x");
}

TEST(CatalogueChecks, RefusesStillAxesAndJumps) {
    Shape s = make_shape("test_still", DESCRIPTION, 64, 3, [](int i) { return Point{0.1 * i / 64, 0.2, 0.0}; });
    expect_refused(s, "never moves");

    Shape saw = make_shape("test_sawtooth", DESCRIPTION, 64, 1, [](int i) { return Point{-0.8 + 1.6 * i / 63}; });
    expect_refused(saw, "jumps");  // the seam drops 1.6 in one pip
    saw.max_step = 2.0;
    EXPECT_NO_THROW(check_shape(saw));
}

TEST(Round12, LandsOnTheDoubleNearestTheDecimal) {
    EXPECT_EQ(round12(1.2e-16), 0.0);
    EXPECT_FALSE(std::signbit(round12(-1.2e-16)));
    EXPECT_EQ(round12(0.8), 0.8);
    EXPECT_EQ(round12(-0.0196329828177), -0.019632982818);
    // The decimal a double stands for decides, not its scaled product: this
    // one lies just above the half (scaling by 1e12 would round it down) ...
    EXPECT_EQ(round12(0.7000000000005), 0.700000000001);
    // ... and this one just below.
    EXPECT_EQ(round12(0.1234567890125), 0.123456789012);
    EXPECT_EQ(round12(1.0), 1.0);
    EXPECT_EQ(round12(-1.0), -1.0);
    // Every 12-decimal value is a fixed point.
    for (double v : {0.000000000001, 0.999999999999, -0.333333333333, 0.5}) {
        EXPECT_EQ(round12(v), v);
    }
}

}  // namespace
