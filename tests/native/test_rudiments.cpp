#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/generator/sha256.hpp"
#include "patterns/pattern_library.hpp"
#include "patterns/sampled_pattern.hpp"
#include "rudiments/registry.hpp"
#include "rudiments/strokes.hpp"

using trovelin::Offset3;
using trovelin::Pip;
using trovelin::Stroke;
using trovelin::stroke_motion;

namespace {

std::map<std::string, std::string> recorded_digests() {
    std::ifstream in(TROVELIN_RUDIMENT_DIGESTS);
    std::map<std::string, std::string> by_name;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string digest, name;
        fields >> digest >> name;
        by_name[name] = digest;
    }
    return by_name;
}

// Every pip of a rudiment's loop, 0 to the period - 1.
std::vector<Offset3> loop_rows(const trovelin::Rudiment& r) {
    std::vector<Offset3> rows;
    for (Pip pip = 0; pip < r.info.period_pips; ++pip) {
        rows.push_back(r.function(pip));
    }
    return rows;
}

std::string digest(const std::vector<Offset3>& rows) {
    trovelin::generator::Sha256 h;
    h.update({reinterpret_cast<const unsigned char*>(rows.data()), rows.size() * sizeof(Offset3)});
    return h.hex();
}

// Every pip of every loop, as the bytes of its rows, against the digests the
// Linux build recorded: the cross builds run this too, so a rudiment copied
// bit for bit on one platform is the same default on every other.
TEST(Rudiments, EveryLoopIsTheRecordedBits) {
    const auto recorded = recorded_digests();
    ASSERT_EQ(recorded.size(), trovelin::rudiments().size()) << TROVELIN_RUDIMENT_DIGESTS;
    for (const trovelin::Rudiment& r : trovelin::rudiments()) {
        const auto it = recorded.find(std::string(r.info.name));
        ASSERT_NE(it, recorded.end()) << r.info.name;
        EXPECT_EQ(digest(loop_rows(r)), it->second) << r.info.name;
    }
}

// A pack holding every rudiment as the rows Linux recorded (the digest proves
// these rows are those bits) is accepted here, each copy absorbed into its
// default; the same pack with one coordinate a unit in the last place away
// is refused, rudiment by rudiment.
TEST(Rudiments, APackOfTheRecordedLoopsIsAccepted) {
    const auto recorded = recorded_digests();
    std::vector<trovelin::SampledPattern> pack;
    for (const trovelin::Rudiment& r : trovelin::rudiments()) {
        std::vector<Offset3> rows = loop_rows(r);
        ASSERT_EQ(digest(rows), recorded.at(std::string(r.info.name))) << r.info.name;
        pack.emplace_back(std::string(r.info.name), std::string(r.info.description), rows);

        const std::size_t at = rows.size() / 3;
        rows[at].x = std::nextafter(rows[at].x, rows[at].x > 0 ? 0.0 : 1.0);  // stays within [-1, 1]
        const trovelin::SampledPattern nudged(std::string(r.info.name), std::string(r.info.description), rows);
        try {
            trovelin::PatternLibrary{std::vector{nudged}};
            ADD_FAILURE() << r.info.name << ": a copy a unit in the last place away was accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot override default pattern: " + std::string(r.info.name));
        }
    }
    const trovelin::PatternLibrary library(std::move(pack));
    EXPECT_TRUE(library.patterns().empty());
    EXPECT_EQ(library.catalogue().size(), trovelin::default_pattern_infos().size());
}

// A stroke longer than the pulse table is computed by crmath at the call; at
// the same angle ((2k / 32) pi = (k / 16) pi) it must give the table's bits.
TEST(Rudiments, LongStrokesGiveTheTablesBitsAtTheSameAngle) {
    constexpr std::array<Stroke, 1> TABLED{{{0, 1, 0.9, 16}}};
    constexpr std::array<Stroke, 1> LONG{{{0, 1, 0.9, 32}}};
    for (Pip k = 0; k < 16; ++k) {
        const Offset3 a = stroke_motion(k, 64, TABLED);
        const Offset3 b = stroke_motion(2 * k, 64, LONG);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(a.x), std::bit_cast<std::uint64_t>(b.x)) << k;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(a.y), std::bit_cast<std::uint64_t>(b.y)) << k;
    }
    EXPECT_EQ(stroke_motion(16, 64, LONG).x, 0.9);  // sin(pi/2) = 1: the amplitude itself
}

}  // namespace
