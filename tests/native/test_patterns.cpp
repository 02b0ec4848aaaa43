#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "patterns/pattern_library.hpp"
#include "patterns/sampled_pattern.hpp"
#include "rudiments/registry.hpp"

using trovelin::Offset3;
using trovelin::PatternLibrary;
using trovelin::Pip;
using trovelin::SampledPattern;

namespace {

// Bit-for-bit equality, so that -0.0 and 0.0 differ.
bool same_bits(const Offset3& a, const Offset3& b) {
    return std::memcmp(&a, &b, sizeof(Offset3)) == 0;
}

std::vector<Offset3> ramp(int n) {
    std::vector<Offset3> rows;
    for (int i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / n;
        rows.push_back({u, -0.0, -u});
    }
    return rows;
}

// A long name, so the strings live on the heap and a shallow copy would share them.
const std::string LONG_NAME = "a_pattern_name_longer_than_any_small_string_buffer";

// The message of the exception `f` throws, which must be exactly an E.
template <typename E, typename F>
std::string message_of(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        EXPECT_EQ(typeid(e), typeid(E)) << e.what();
        return e.what();
    }
    ADD_FAILURE() << "nothing thrown";
    return {};
}

TEST(SampledPattern, CopyIsDeepAndOutlivesTheSource) {
    auto source = std::make_unique<SampledPattern>(LONG_NAME, std::string(40, 'd'), ramp(5));
    const SampledPattern copy(*source);
    const std::vector<Offset3> rows = ramp(5);
    source.reset();
    EXPECT_EQ(copy.name(), LONG_NAME);
    EXPECT_EQ(copy.description(), std::string(40, 'd'));
    EXPECT_EQ(copy.period_pips(), 5);
    EXPECT_EQ(copy.dimensions(), 3);
    for (Pip p = -6; p < 11; ++p) {
        EXPECT_TRUE(same_bits(copy.sample(p), rows[static_cast<std::size_t>(((p % 5) + 5) % 5)])) << p;
    }
}

TEST(SampledPattern, MoveEmptiesTheSource) {
    SampledPattern source(LONG_NAME, "short", ramp(3));
    const SampledPattern target(std::move(source));

    EXPECT_EQ(target.name(), LONG_NAME);
    EXPECT_EQ(target.description(), "short");
    EXPECT_EQ(target.period_pips(), 3);
    EXPECT_TRUE(same_bits(target.sample(-2147483647 - 1), ramp(3)[1]));

    EXPECT_TRUE(source.name().empty());
    EXPECT_TRUE(source.description().empty());
    EXPECT_EQ(source.period_pips(), 0);
    EXPECT_EQ(source.dimensions(), 3);  // copied, not reset
    for (Pip p : {0, 1, -1}) {
        EXPECT_EQ(message_of<std::logic_error>([&] { (void)source.sample(p); }),
                  "Cannot sample a moved-from pattern");
    }
}

TEST(PatternLibrary, RefusesAMovedFromPatternBeforeAnyOtherRule) {
    SampledPattern moved(LONG_NAME, "", ramp(2));
    [[maybe_unused]] const SampledPattern taken(std::move(moved));
    const SampledPattern twin("twin", "", ramp(2));

    // Behind it: a duplicate name and an override of a default, both unreported.
    std::vector<SampledPattern> pack;
    pack.push_back(twin);
    pack.push_back(moved);
    pack.push_back(twin);
    pack.push_back(SampledPattern("bounce", "", ramp(2)));
    EXPECT_EQ(message_of<std::invalid_argument>([&] { PatternLibrary{pack}; }), "Empty/moved-from pattern");
}

TEST(PatternLibrary, CopiesAndMovesKeepTheNameIndexValid) {
    std::vector<SampledPattern> pack;
    for (int i = 0; i < 40; ++i) {
        pack.emplace_back(std::string("p").append(std::to_string(i)), "", std::vector<Offset3>{{i / 64.0, 0.0, 0.0}});
    }
    auto original = std::make_unique<PatternLibrary>(pack);
    const PatternLibrary copy(*original);
    const PatternLibrary moved(std::move(*original));

    // The moved-from library holds no own patterns and answers for defaults only.
    EXPECT_TRUE(original->patterns().empty());
    EXPECT_TRUE(same_bits(original->sample("bounce", 16), trovelin::sample("bounce", 16)));
    EXPECT_EQ(message_of<std::invalid_argument>([&] { (void)original->sample("p3", 0); }), "Unknown trovelin: p3");
    original.reset();

    for (const PatternLibrary* library : {&copy, &moved}) {
        ASSERT_EQ(library->patterns().size(), 40U);
        for (int i = 0; i < 40; ++i) {
            const Offset3 got = library->sample(std::string("p").append(std::to_string(i)), 7);
            EXPECT_EQ(got.x, i / 64.0);
        }
        EXPECT_EQ(library->catalogue().size(), trovelin::default_pattern_infos().size() + 40);
    }
}

}  // namespace
