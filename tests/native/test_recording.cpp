#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "recording/sampled_recording.hpp"

using trovelin::MAX_RECORDING_VALUES;
using trovelin::Pip;
using trovelin::recording_fits;
using trovelin::SampledRecording;

// Every single-object allocation of this binary goes through here, so a test
// can see the largest request made while it watches. Array forms keep their
// defaults, which come back here or stay paired within the sanitizer runtime.
namespace {
bool watching = false;
std::size_t largest_request = 0;

void* allocate(std::size_t n) {
    if (watching && n > largest_request) {
        largest_request = n;
    }
    return std::malloc(n == 0 ? 1 : n);
}
}  // namespace

void* operator new(std::size_t n) {
    if (void* p = allocate(n)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
// GCC, inlining these into a caller, sees free() meet a pointer from operator
// new and warns; here operator new is malloc, so the pair is right.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr Pip MIN = std::numeric_limits<Pip>::min();
constexpr Pip MAX = std::numeric_limits<Pip>::max();
constexpr std::size_t HUGE_COUNT = std::numeric_limits<std::size_t>::max();
constexpr std::size_t HALF_WORD = std::size_t{1} << 32;

struct Shape {
    std::size_t axes;
    std::size_t rows;
    Pip start;
    bool fits;
};

void PrintTo(const Shape& s, std::ostream* os) {
    *os << s.axes << " axes x " << s.rows << " rows from " << s.start;
}

class RecordingFits : public ::testing::TestWithParam<Shape> {};

TEST_P(RecordingFits, ComparesByDivision) {
    const Shape s = GetParam();
    EXPECT_EQ(recording_fits(s.axes, s.rows, s.start), s.fits);
}

// Several refused shapes have a product that wraps to a small number, or to 0,
// in 64 bits: a multiplying check would take them.
INSTANTIATE_TEST_SUITE_P(
    Limits, RecordingFits,
    ::testing::Values(Shape{1, MAX_RECORDING_VALUES, 0, true}, Shape{1, MAX_RECORDING_VALUES + 1, 0, false},
                      Shape{3, 2'796'202, 0, true}, Shape{3, 2'796'203, 0, false}, Shape{7, 1'198'372, 0, true},
                      Shape{7, 1'198'373, 0, false}, Shape{MAX_RECORDING_VALUES, 1, 0, true},
                      Shape{MAX_RECORDING_VALUES + 1, 1, 0, false}, Shape{0, 1, 0, false}, Shape{1, 0, 0, false},
                      Shape{HALF_WORD, HALF_WORD, 0, false}, Shape{2, HUGE_COUNT / 2 + 1, 0, false},
                      Shape{HUGE_COUNT, HUGE_COUNT, 0, false}, Shape{HUGE_COUNT, 1, 0, false},
                      Shape{1, HUGE_COUNT, MIN, false}, Shape{1, 1, MAX - 1, true}, Shape{1, 2, MAX - 1, false},
                      Shape{1, 1, MAX, false}, Shape{1, MAX_RECORDING_VALUES, MIN, true},
                      Shape{1, MAX_RECORDING_VALUES, MAX - (1 << 23), true},
                      Shape{1, MAX_RECORDING_VALUES, MAX - (1 << 23) + 1, false}));

TEST(SampledRecording, RefusesOversizeShapesBeforeAllocatingAnything) {
    // 1024 axes x 8193 rows is one row past the limit. Empty rows: only their
    // number counts, and the caller's side stays small.
    std::vector<std::string> axes;
    for (int a = 0; a < 1024; ++a) {
        axes.push_back(std::string("a").append(std::to_string(a)));
    }
    const std::vector<std::vector<double>> rows(8193);
    std::string name = "rec";

    largest_request = 0;
    watching = true;
    try {
        SampledRecording(std::move(name), std::move(axes), rows, 120.0);
        ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Empty recording or recording resource limit exceeded");
    }
    watching = false;
    // The message is all there is room for: no axis set, no value array.
    EXPECT_LT(largest_request, 256u);
}

TEST(SampledRecording, OffsetsAcrossTheWholePipRangeStayInRange) {
    const SampledRecording r("rec", {"x", "y"}, {{0.25, -0.25}, {1.0, -0.0}}, 120.0, 0.0, MIN);
    EXPECT_EQ(r.sample(MIN), (std::vector<double>{0.25, -0.25}));
    EXPECT_EQ(r.row(MIN + 1)[0], 1.0);
    EXPECT_TRUE(std::signbit(r.row(MIN + 1)[1]));
    EXPECT_EQ(r.row(MIN).size(), 2u);
    for (Pip pip : {MAX, MIN + 2, -1, 0, MAX - 1}) {
        EXPECT_THROW(r.row(pip), std::out_of_range) << pip;
    }

    const SampledRecording last("rec", {"x"}, {{0.5}}, 120.0, 0.0, MAX - 1);
    EXPECT_EQ(last.sample(MAX - 1), std::vector<double>{0.5});
    EXPECT_THROW(last.sample(MAX), std::out_of_range);
    EXPECT_THROW(last.sample(MIN), std::out_of_range);
}

TEST(SampledRecording, MovedFromRecordingHoldsNoRows) {
    SampledRecording r("rec", {"x"}, {{0.5}, {0.5}}, 120.0);
    const SampledRecording taken(std::move(r));
    EXPECT_EQ(taken.sample_count(), 2);
    EXPECT_EQ(r.sample_count(), 0);  // NOLINT(bugprone-use-after-move): the point of the test
    EXPECT_THROW(r.sample(0), std::out_of_range);
}

}  // namespace
