#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "catalogue/catalogue.hpp"
#include "rudiments/registry.hpp"

using namespace trovelin;

namespace {

bool same_bits(const Offset3& a, const Offset3& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(Catalogue, TablesLieBackToBackInCatalogueOrder) {
    const auto entries = catalogue_entries();
    ASSERT_FALSE(entries.empty());
    std::size_t next = 0;
    for (const CatalogueEntry& e : entries) {
        EXPECT_EQ(e.first_row, next) << e.info.name;
        EXPECT_EQ(e.info.period_pips % 32, 0) << e.info.name;
        next += e.info.period_pips;
    }
    EXPECT_EQ(catalogue_rows().size(), next);
}

TEST(Catalogue, NameIndexIsASortedPermutation) {
    const auto entries = catalogue_entries();
    const auto index = catalogue_by_name();
    ASSERT_EQ(index.size(), entries.size());
    std::vector<bool> seen(entries.size(), false);
    for (std::size_t i = 0; i < index.size(); ++i) {
        ASSERT_LT(index[i], entries.size());
        EXPECT_FALSE(seen[index[i]]);
        seen[index[i]] = true;
        if (i > 0) {
            EXPECT_LT(entries[index[i - 1]].info.name, entries[index[i]].info.name);
        }
    }
}

TEST(Catalogue, FindsEveryEntryByExactName) {
    for (const CatalogueEntry& e : catalogue_entries()) {
        EXPECT_EQ(find_catalogue_entry(e.info.name), &e);
        const std::string name(e.info.name);
        EXPECT_EQ(find_catalogue_entry(name + "_"), nullptr);
        EXPECT_EQ(find_catalogue_entry(std::string_view(name).substr(0, name.size() - 1)), nullptr);
        std::string upper = name;
        upper[0] = static_cast<char>(upper[0] - 'a' + 'A');
        EXPECT_EQ(find_catalogue_entry(upper), nullptr);
    }
    EXPECT_EQ(find_catalogue_entry(""), nullptr);
    EXPECT_EQ(find_catalogue_entry(std::string_view("lfo_breathe\0", 12)), nullptr);
    EXPECT_EQ(find_catalogue_entry("\xff\xff"), nullptr);
}

TEST(Catalogue, SamplesRowsByFloorModulo) {
    constexpr Pip MIN = std::numeric_limits<Pip>::min();
    constexpr Pip MAX = std::numeric_limits<Pip>::max();
    const auto rows = catalogue_rows();
    for (const CatalogueEntry& e : catalogue_entries()) {
        const Pip period = e.info.period_pips;
        for (Pip pip : {MIN, MIN + 1, -period - 1, -1, 0, 1, period - 1, period, MAX - 1, MAX}) {
            const Offset3 want = rows[e.first_row + static_cast<std::size_t>(floor_mod(pip, period))];
            EXPECT_TRUE(same_bits(e.sample(pip), want)) << e.info.name << " at " << pip;
        }
    }
}

TEST(DefaultListing, RudimentsThenCatalogue) {
    const auto& listing = default_pattern_infos();
    const auto entries = catalogue_entries();
    ASSERT_EQ(listing.size(), 15 + entries.size());
    EXPECT_EQ(listing[0].name, "bounce");
    EXPECT_EQ(listing[6].name, "helix");
    EXPECT_EQ(listing[6].period_pips, 256);
    EXPECT_EQ(listing[6].dimensions, 3);
    EXPECT_EQ(listing[14].name, "five_stroke_roll");
    EXPECT_EQ(listing[15].name, "lfo_breathe");
    EXPECT_EQ(&default_pattern_infos(), &listing);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(listing[15 + i].name, entries[i].info.name);
    }
}

TEST(DefaultLookup, AnswersForEveryDefaultAndNothingElse) {
    for (const PatternInfo& info : default_pattern_infos()) {
        for (Pip pip : {-1, 0, 37, Pip{info.period_pips}}) {
            EXPECT_NO_THROW(sample(info.name, pip)) << info.name;
        }
    }
    EXPECT_TRUE(same_bits(sample("lfo_breathe", 64), Offset3{0.8, 0.0, 0.0}));
    try {
        sample("lfo_", 0);
        FAIL() << "a prefix must not be found";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Unknown trovelin: lfo_");
    }
}

}  // namespace
