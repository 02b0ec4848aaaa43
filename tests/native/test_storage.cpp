#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/embed/coff_object.hpp"
#include "catalogue/generator/sha256.hpp"

using trovelin::embed::CoffMachine;
using trovelin::embed::coff_object;
using trovelin::generator::Sha256;

namespace {

std::string sha256_of(const std::string& text, std::size_t chunk) {
    Sha256 h;
    for (std::size_t i = 0; i < text.size(); i += chunk) {
        const std::string part = text.substr(i, chunk);
        h.update({reinterpret_cast<const unsigned char*>(part.data()), part.size()});
    }
    return h.hex();
}

// Published test vectors, fed whole and in awkward pieces: padding lands in
// one block or spills into a second depending on the length.
TEST(Sha256, MatchesTheStandardVectors) {
    const std::string million(1000000, 'a');
    const std::string two_blocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (std::size_t chunk : {1u, 3u, 63u, 64u, 65u, 1000u}) {
        EXPECT_EQ(sha256_of("", chunk), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        EXPECT_EQ(sha256_of("abc", chunk), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(sha256_of(two_blocks, chunk), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    }
    EXPECT_EQ(sha256_of(million, 4096), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

std::uint32_t u32(const std::vector<unsigned char>& b, std::size_t at) {
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}
std::uint16_t u16(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// Reads the object back the way a linker does: the section's data, and the
// name and place of every symbol.
struct Read {
    std::uint16_t machine;
    std::vector<unsigned char> data;
    std::uint32_t flags;
    std::vector<std::string> externals;
};

Read read(const std::vector<unsigned char>& obj) {
    Read r{u16(obj, 0), {}, 0, {}};
    EXPECT_EQ(u16(obj, 2), 1);   // one section
    EXPECT_EQ(u16(obj, 16), 0);  // no optional header in an object
    const std::size_t section = 20;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&obj[section]), 6), ".rdata");
    const std::uint32_t size = u32(obj, section + 16), at = u32(obj, section + 20);
    r.flags = u32(obj, section + 36);
    r.data.assign(obj.begin() + at, obj.begin() + at + size);
    const std::uint32_t symbols = u32(obj, 8), count = u32(obj, 12);
    const std::size_t strings = symbols + 18 * std::size_t{count};
    EXPECT_EQ(u32(obj, strings), obj.size() - strings);  // the string table runs to the end
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t s = symbols + 18 * std::size_t{i};
        std::string name;
        if (u32(obj, s) == 0) {
            name = reinterpret_cast<const char*>(&obj[strings + u32(obj, s + 4)]);
        } else {
            name.assign(reinterpret_cast<const char*>(&obj[s]), 8);
            name = name.c_str();
        }
        if (obj[s + 16] == 2) {  // external
            EXPECT_EQ(u32(obj, s + 8), 0u) << name;   // at the start
            EXPECT_EQ(u16(obj, s + 12), 1) << name;   // of the one section
            r.externals.push_back(name);
        }
        i += obj[s + 17];  // skip auxiliary records
    }
    return r;
}

TEST(CoffObject, HoldsTheBytesInOneReadOnlyAlignedSectionUnderOneSymbol) {
    std::vector<unsigned char> table(24 * 1000 + 7);
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<unsigned char>(i * 131 + 7);
    }
    for (CoffMachine m : {CoffMachine::amd64, CoffMachine::arm64}) {
        for (const std::string symbol : {"trovelin_catalogue_rows", "rows", "eight_ch"}) {
            const Read r = read(coff_object(table, symbol, m));
            EXPECT_EQ(r.machine, static_cast<std::uint16_t>(m));
            EXPECT_EQ(r.data, table);
            EXPECT_EQ(r.flags, 0x40000040u | 0x00700000u);  // initialised, readable, not writable, 64-byte aligned
            EXPECT_EQ(r.externals, std::vector<std::string>{symbol});
        }
    }
}

TEST(CoffObject, IsTheSameBytesEveryTime) {
    const std::vector<unsigned char> table{1, 2, 3};
    EXPECT_EQ(coff_object(table, "t", CoffMachine::amd64), coff_object(table, "t", CoffMachine::amd64));
}

}  // namespace

#include <fstream>

#include "catalogue/catalogue.hpp"

namespace {

// The rows the binary carries are the bytes the generator wrote, whichever
// way this platform embeds them.
TEST(EmbeddedTables, AreTheGeneratedRowsByteForByte) {
    std::ifstream recorded(TROVELIN_GENERATED_DIR "/catalogue_rows.sha256");
    std::string expected;
    ASSERT_TRUE(recorded >> expected) << TROVELIN_GENERATED_DIR;
    const auto rows = trovelin::catalogue_rows();
    Sha256 h;
    h.update({reinterpret_cast<const unsigned char*>(rows.data()), rows.size_bytes()});
    EXPECT_EQ(h.hex(), expected);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(rows.data()) % 64, 0u);  // aligned as the object asks
}

}  // namespace
