// The beat_ styles' drum scores, read as data: the facts their labels and
// notes state, and the rules every score keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "beat/score.hpp"

using trovelin::recipes::beat::Hit;
using trovelin::recipes::beat::Score;
using trovelin::recipes::beat::scores;

namespace {

constexpr double EPS = 1e-9;
constexpr double T = 64.0 / 3;  // a triplet eighth

enum Lane { K, S, H, P, B };  // kick, snare, hat, percussion, bass
constexpr Lane LANES[] = {K, S, H, P, B};
const char* const LANE_NAMES[] = {"kick", "snare", "hat", "perc", "bass"};

const std::vector<Hit>& lane(const Score& s, Lane l) {
    const std::vector<Hit>* lanes[] = {&s.kick, &s.snare, &s.hat, &s.perc, &s.bass};
    return *lanes[l];
}

const Score& style(const std::string& key) {
    for (const Score& s : scores()) {
        if (s.key == key) return s;
    }
    throw std::runtime_error("no style " + key);
}

// Which hits a fact speaks of: all, accents, main notes (accented or normal),
// quiet notes, or one voice.
enum Pick { ALL, ACCENT, MAIN, QUIET, VOICE0, VOICE1 };

bool picked(const Hit& h, Pick p) {
    switch (p) {
        case ACCENT: return h.velocity >= 0.95;
        case MAIN: return h.velocity >= 0.5;
        case QUIET: return h.velocity < 0.5;
        case VOICE0: return h.voice == 0;
        case VOICE1: return h.voice == 1;
        default: return true;
    }
}

// Pips of the picked hits of a lane inside [from, to).
std::vector<double> pips(const Score& s, Lane l, Pick p = ALL, double from = 0, double to = 1e9) {
    std::vector<double> out;
    for (const Hit& h : lane(s, l)) {
        if (picked(h, p) && h.pip >= from && h.pip < to) out.push_back(h.pip);
    }
    return out;
}

std::size_t count(const Score& s, Lane l, Pick p, double from, double to) { return pips(s, l, p, from, to).size(); }

bool at(const Score& s, Lane l, double pip) {
    const auto& h = lane(s, l);
    return std::any_of(h.begin(), h.end(), [&](const Hit& x) { return std::abs(x.pip - pip) < EPS; });
}

// (pip from the start of the slice, velocity, voice) of every hit in [from, from + length).
std::vector<std::tuple<double, double, int>> slice(const Score& s, Lane l, double from, double length = 256) {
    std::vector<std::tuple<double, double, int>> out;
    for (const Hit& h : lane(s, l)) {
        if (h.pip >= from && h.pip < from + length) out.emplace_back(h.pip - from, h.velocity, h.voice);
    }
    return out;
}

auto bar(const Score& s, Lane l, int b) { return slice(s, l, 256.0 * b); }

// Gaps in sixteenths between a lane's onsets in bar b, the last to the bar's
// end, from an onset on the downbeat: the grouping a drummer counts.
std::vector<int> grouping(const Score& s, Lane l, int b) {
    const auto p = pips(s, l, ALL, 256.0 * b, 256.0 * (b + 1));
    std::vector<int> gaps;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const double next = i + 1 < p.size() ? p[i + 1] : 256.0 * (b + 1);
        gaps.push_back(static_cast<int>(std::lround((next - p[i]) / 16.0)));
    }
    return p.empty() || p[0] != 256.0 * b ? std::vector<int>{} : gaps;
}

bool kick_every_beat(const Score& s) {
    for (int b = 0; b < s.period; b += 64) {
        if (!at(s, K, b)) return false;
    }
    return true;
}

bool on_sixteenths(const Score& s) {
    return std::all_of(std::begin(LANES), std::end(LANES), [&](Lane l) {
        const auto p = pips(s, l);
        return std::all_of(p.begin(), p.end(), [](double x) { return std::fmod(x, 16.0) == 0.0; });
    });
}

bool no_ghosts(const Score& s) {
    return std::all_of(std::begin(LANES), std::end(LANES), [&](Lane l) { return pips(s, l, QUIET).empty(); });
}

bool off_the_beat(const std::vector<double>& p) {
    return p.size() >= 2 && std::none_of(p.begin(), p.end(), [](double x) { return std::fmod(x, 64.0) == 0.0; });
}

bool rising(const std::vector<Hit>& h) {
    for (std::size_t i = 1; i < h.size(); ++i) {
        if (h[i].velocity <= h[i - 1].velocity) return false;
    }
    return h.size() >= 3;
}

bool same_hits(const std::vector<Hit>& a, const std::vector<Hit>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Hit& x, const Hit& y) {
        return x.pip == y.pip && x.velocity == y.velocity && x.length == y.length && x.voice == y.voice;
    });
}

bool same_lanes(const Score& a, const Score& b, std::initializer_list<Lane> lanes = {K, S, H, P, B}) {
    return std::all_of(lanes.begin(), lanes.end(), [&](Lane l) { return same_hits(lane(a, l), lane(b, l)); });
}

// ---- every style, in order, as the catalogue listing names it ----

struct Listed {
    std::string key, label;
    int period = 0, planar = 0;
    std::optional<std::string> note;  // none: the style carries no note
};

// The style table of the Python listing beside these tests; a note is a
// literal, None, or a constant built from literals with +.
std::vector<Listed> listed() {
    std::ifstream in(std::filesystem::path(__FILE__).parent_path().parent_path() / "catalogue_listing.py");
    const std::regex constant(R"(^([A-Z_]+) = (.*)$)"), row(R"~(^\s+\('(\w+)', "([^"]*)", (\d+), (\d+), (.*)\),$)~"),
        term(R"~("([^"]*)"|([A-Z_]+))~");
    std::map<std::string, std::string> known;
    auto value = [&](const std::string& expr) {
        std::string v;
        for (std::sregex_iterator t(expr.begin(), expr.end(), term), end; t != end; ++t) {
            v += (*t)[1].matched ? (*t)[1].str() : known[(*t)[2].str()];
        }
        return v;
    };
    std::vector<Listed> out;
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, m, row)) {
            out.push_back({m[1], m[2], std::stoi(m[3]), std::stoi(m[4]),
                           m[5] == "None" ? std::nullopt : std::optional(value(m[5]))});
        } else if (std::regex_match(line, m, constant)) {
            known[m[1]] = value(m[2]);
        }
    }
    return out;
}

TEST(BeatScores, EveryStyleMatchesTheListingInOrder) {
    const auto want = listed();
    ASSERT_EQ(want.size(), 68u);
    ASSERT_EQ(scores().size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Score& s = scores()[i];
        SCOPED_TRACE(want[i].key);
        EXPECT_EQ(s.key, want[i].key);
        EXPECT_EQ(s.label, want[i].label);
        EXPECT_EQ(s.period, want[i].period);
        EXPECT_EQ(s.planar_gestures, want[i].planar);
        EXPECT_EQ(s.has_note, want[i].note.has_value());
        EXPECT_EQ(s.note, want[i].note.value_or(""));
        EXPECT_EQ(s.has_note, i < 36);
    }
    EXPECT_EQ(style("amen_four_bar").note.rfind("G. C. Coleman of The Winstons on Amen, Brother. Four bars", 0), 0u);
}

TEST(BeatScores, EveryHitLiesInItsLoopInTimeOrderWithASensibleLevel) {
    for (const Score& s : scores()) {
        for (Lane l : LANES) {
            SCOPED_TRACE(s.key + " " + LANE_NAMES[l]);
            std::set<std::pair<double, int>> seen;
            double last = 0.0;
            for (const Hit& h : lane(s, l)) {
                EXPECT_TRUE(h.pip >= last && h.pip < s.period) << h.pip;
                EXPECT_TRUE(h.velocity > 0.0 && h.velocity <= 1.0) << h.pip;
                EXPECT_TRUE(seen.insert({h.pip, h.voice}).second && h.voice >= 0) << "voice twice at " << h.pip;
                EXPECT_TRUE(l == B ? h.length > 0 && h.length <= s.period : h.length == 0.0) << h.pip;
                last = h.pip;
            }
        }
    }
}

TEST(BeatScores, NoTwoStylesShareTheirLanes) {
    const auto& all = scores();
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            EXPECT_FALSE(all[i].period == all[j].period && same_lanes(all[i], all[j])) << all[i].key << " " << all[j].key;
        }
    }
}

// Hits (lane, voice, pip) in one score and not the other, both ways.
int hits_apart(const Score& a, const Score& b) {
    auto keys = [](const Score& s) {
        std::set<std::tuple<int, int, long>> k;
        for (Lane l : LANES) {
            for (const Hit& h : lane(s, l)) k.insert({l, h.voice, std::lround(h.pip * 3.0)});
        }
        return k;
    };
    const auto ka = keys(a), kb = keys(b);
    std::vector<std::tuple<int, int, long>> d;
    std::set_symmetric_difference(ka.begin(), ka.end(), kb.begin(), kb.end(), std::back_inserter(d));
    return static_cast<int>(d.size());
}

TEST(BeatScores, SiblingStylesDifferInSeveralHits) {
    const std::vector<std::vector<const char*>> families = {
        {"house_classic", "house_shuffle", "house_jack"},
        {"techno_drive", "techno_toms", "techno_broken", "techno_polymeter", "techno_rumble"},
        {"ukg_two_step", "ukg_skip", "ukg_four_four", "ukg_rim_shuffle", "speed_garage", "bassline", "dnb_two_step"},
        {"grime_sparse", "grime_syncopated", "grime_half"},
        {"drill_tresillo", "drill_displaced", "drill_rolls"},
        {"amen_four_bar", "amen_no_ghosts"},
        {"jungle_chops", "jungle_ghosts", "jungle_switch", "jungle_switchback"},
        {"dnb_two_step", "dnb_rolling", "dnb_half", "dnb_push"},
        {"dubstep_half", "dubstep_skip", "trap_trills"},
        {"electro", "electro_robot", "italo_machine", "acid_percussion"},
        {"trance", "psy_rolling", "psy_offbeat", "hard_reverse"},
        {"rave_breaks", "disco", "amapiano", "amapiano_answer"},
        {"dembow", "dembow_push", "dancehall_space"},
        {"jersey_five", "jersey_call"}, {"footwork_triplet", "footwork_sparse"},
        {"funky_toms", "funky_syncopated"}, {"broken_push", "broken_shuffle"},
        {"afro_bell", "afro_cross"}, {"gqom_space", "gqom_exchange"}, {"baile_toms", "baile_response"},
        {"reggae_one_drop", "reggae_steppers", "reggae_rockers"}, {"son_clave_32", "son_clave_23"},
    };
    for (const auto& f : families) {
        for (std::size_t i = 0; i < f.size(); ++i) {
            for (std::size_t j = i + 1; j < f.size(); ++j) {
                EXPECT_GE(hits_apart(style(f[i]), style(f[j])), 4) << f[i] << " and " << f[j];
            }
        }
    }
}

// ---- facts stated as pips ----

struct PipFact {
    const char* style;
    Lane lane;
    Pick pick;
    std::vector<double> pips;  // every picked hit of the lane inside [from, to), in order
    double from = 0, to = 1e9;
};

void PrintTo(const PipFact& f, std::ostream* os) { *os << f.style << " " << LANE_NAMES[f.lane]; }

class PipFacts : public ::testing::TestWithParam<PipFact> {};

TEST_P(PipFacts, HitsLandWhereTheWordsSay) {
    const PipFact& f = GetParam();
    const auto got = pips(style(f.style), f.lane, f.pick, f.from, f.to);
    ASSERT_EQ(got.size(), f.pips.size()) << ::testing::PrintToString(got);
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], f.pips[i], EPS) << "hit " << i;
}

const std::vector<double> BEATS = {0, 64, 128, 192, 256, 320, 384, 448};

INSTANTIATE_TEST_SUITE_P(
    Styles, PipFacts,
    ::testing::Values(
        PipFact{"four_floor", K, ALL, {0, 64, 128, 192}},
        PipFact{"house_classic", K, ALL, BEATS},
        PipFact{"house_classic", S, ALL, {64, 192, 320, 448}},
        PipFact{"house_classic", H, ALL, {32, 96, 160, 224, 288, 352, 416, 480}},
        PipFact{"house_shuffle", S, ALL, {64, 192, 320, 448}},
        // the turnaround's ghost kicks and claps, swung to 20 and 52
        PipFact{"house_jack", K, QUIET, {192 + 52, 320 + 52, 480, 448 + 52}},
        PipFact{"house_jack", S, QUIET, {64 + 52, 320 + 52, 448 + 20, 448 + 52}},
        PipFact{"techno_drive", K, ALL, BEATS},
        PipFact{"techno_broken", K, ALL, {0, 96, 160, 208, 256, 304, 416}},
        PipFact{"techno_polymeter", K, ALL, {0, 64, 128, 192, 256, 320, 384, 448, 512, 576, 640, 704}},
        PipFact{"techno_polymeter", P, ALL, {0, 48, 96, 144, 192, 240, 288, 336, 384, 432, 480, 528, 576, 624, 672, 720}},
        PipFact{"ukg_two_step", K, ALL, {0, 160, 256, 416}},
        PipFact{"ukg_two_step", S, MAIN, {64, 192, 320, 448}},
        PipFact{"ukg_four_four", K, ALL, BEATS},
        // bar two's answer slips to the swung a of 3 and the & of 4
        PipFact{"speed_garage", B, ALL, {32, 96, 160, 224, 288, 352, 384 + 160.0 / 3, 480}},
        PipFact{"grime_syncopated", S, MAIN, {64, 176, 352, 448}},
        PipFact{"grime_half", S, MAIN, {128, 384}},
        PipFact{"drill_tresillo", H, ALL, {0, 48, 96, 128, 176, 224, 256, 304, 352, 384, 432, 480}},
        PipFact{"drill_tresillo", S, MAIN, {128, 384}},
        PipFact{"drill_displaced", S, ALL, {128, 448}},
        PipFact{"drill_rolls", S, ALL, {128, 384}},
        PipFact{"drill_rolls", H, ALL, {384, 384 + T, 384 + 2 * T, 448, 448 + T, 448 + 2 * T}, 384, 512},
        PipFact{"amen_four_bar", S, MAIN, {64, 192, 320, 448, 576, 736, 784, 832, 992}},
        PipFact{"amen_four_bar", S, QUIET, {112, 144, 240, 368, 400, 496, 624, 656, 880, 912}},
        PipFact{"amen_four_bar", K, ALL, {0, 32, 160, 176, 256, 288, 416, 432, 512, 544, 672, 800, 816, 928}},
        PipFact{"amen_four_bar", H, VOICE1, {928}},  // the crash
        PipFact{"jungle_chops", S, MAIN, {256, 384}, 256, 512},
        // the closing roll, a thirty-second apart after the last backbeat
        PipFact{"jungle_ghosts", S, ALL, {456, 464, 472, 480, 488, 496, 504}, 449, 512},
        PipFact{"jungle_switch", S, MAIN, {64, 192, 320, 448, 640, 896}},
        PipFact{"dnb_two_step", K, ALL, {0, 160, 256, 416}},
        PipFact{"dnb_two_step", S, ALL, {64, 192, 320, 448}},
        PipFact{"dnb_rolling", K, ALL, {0, 160, 256, 416, 432}},
        PipFact{"dnb_half", S, MAIN, {128, 384}},
        PipFact{"dubstep_half", S, ALL, {128, 384}},
        PipFact{"dubstep_skip", S, VOICE0, {128, 384}},
        PipFact{"trap_trills", S, ALL, {128, 384}},
        PipFact{"trap_trills", H, ALL, {192, 200, 208, 216, 224, 232, 240, 248}, 192, 256},
        PipFact{"trap_trills", H, ALL, {448, 448 + T / 2, 448 + T, 480, 480 + T / 2, 480 + T}, 448, 512},
        PipFact{"trance", B, ALL, {32, 96, 160, 224, 288, 352, 416, 480}},
        PipFact{"rave_breaks", K, VOICE0, BEATS},
        PipFact{"dembow", K, ALL, BEATS},
        PipFact{"dembow", S, ALL, {48, 96, 176, 224, 304, 352, 432, 480}},
        PipFact{"jersey_five", K, ALL, {0, 64, 128, 176, 224, 256, 320, 384, 432, 480}},
        PipFact{"jersey_call", K, ALL, {448, 464, 480, 496}, 448, 512},
        PipFact{"footwork_triplet", B, ALL, {384, 384 + 2 * T, 384 + 4 * T}, 384, 512},
        PipFact{"footwork_sparse", S, ALL, {128, 320}},
        PipFact{"afro_cross", P, ALL, {0, 2 * T, 4 * T, 5 * T, 7 * T, 9 * T, 11 * T, 256, 256 + 2 * T, 256 + 4 * T,
                                       256 + 5 * T, 256 + 7 * T, 256 + 9 * T, 256 + 11 * T}},
        PipFact{"afro_cross", H, ACCENT, BEATS},
        PipFact{"gqom_exchange", S, ALL, {128, 320, 448}},
        PipFact{"reggae_one_drop", K, ALL, {128, 384}},
        PipFact{"reggae_steppers", K, ALL, BEATS},
        PipFact{"reggae_steppers", S, ALL, {128, 384}},
        PipFact{"reggae_rockers", K, ALL, {0, 128, 256, 384}},
        PipFact{"son_clave_32", P, VOICE0, {0, 96, 192, 320, 384}},
        PipFact{"son_clave_23", P, VOICE0, {64, 128, 256, 352, 448}},
        PipFact{"psy_offbeat", K, ALL, {0, 64, 128, 192, 256, 320, 384}},
        PipFact{"hard_reverse", K, ACCENT, {0, 64, 128, 192, 256, 320, 384}},
        PipFact{"italo_machine", S, VOICE0, {64, 192, 320, 448}},
        PipFact{"acid_percussion", S, ALL, {64, 192, 320, 448, 496}},
        PipFact{"techno_rumble", S, ALL, {496}},
        PipFact{"dnb_push", K, ALL, {0, 160, 256, 416, 480, 496}},
        PipFact{"dnb_push", S, QUIET, {96, 224, 352}},
        PipFact{"amapiano_answer", K, ALL, {0, 64, 128, 192, 256, 320, 384}},
        PipFact{"dembow_push", S, ALL, {48, 96, 176, 224, 304, 352, 432}},
        PipFact{"dembow_push", P, ALL, {448, 464, 480, 496}}),
    [](const ::testing::TestParamInfo<PipFact>& p) {
        return std::string(p.param.style) + "_" + LANE_NAMES[p.param.lane] + "_" + std::to_string(p.index);
    });

// ---- the feel: where the e, & and a of each beat land ----

struct FeelFact {
    const char* style;
    std::vector<Lane> lanes;
    std::array<double, 4> places;  // the beat, its e, & and a, in pips after the beat
};

void PrintTo(const FeelFact& f, std::ostream* os) { *os << f.style; }

class Feels : public ::testing::TestWithParam<FeelFact> {};

// Every hit sits on a beat or on its e, & or a as the feel places them, and a
// swung lane plays at least one of the moved subdivisions.
TEST_P(Feels, OffbeatsLandWhereTheFeelPutsThem) {
    const FeelFact& f = GetParam();
    const std::array<double, 4> straight = {0, 16, 32, 48};
    for (Lane l : f.lanes) {
        int moved = 0;
        for (const Hit& h : lane(style(f.style), l)) {
            const double within = std::fmod(h.pip, 64.0);
            const auto k = std::find_if(f.places.begin(), f.places.end(), [&](double x) { return std::abs(within - x) < EPS; });
            EXPECT_NE(k, f.places.end()) << LANE_NAMES[l] << " hit at " << h.pip;
            moved += k != f.places.end() && *k != straight[static_cast<std::size_t>(k - f.places.begin())];
        }
        EXPECT_TRUE(f.places == straight || moved > 0) << LANE_NAMES[l] << ": no swung note";
    }
}

constexpr std::array<double, 4> STRAIGHT = {0, 16, 32, 48}, SWING_2_3 = {0, T, 32, 2.5 * T}, SWING_5_8 = {0, 20, 32, 52},
                                LATE_AND = {0, 16, 2 * T, 48};

INSTANTIATE_TEST_SUITE_P(
    Styles, Feels,
    ::testing::Values(FeelFact{"house_classic", {H}, STRAIGHT}, FeelFact{"house_shuffle", {H}, SWING_2_3},
                      FeelFact{"house_jack", {K, S, H}, SWING_5_8}, FeelFact{"techno_drive", {H}, STRAIGHT},
                      FeelFact{"ukg_two_step", {S, H}, SWING_2_3}, FeelFact{"ukg_skip", {K, S}, SWING_2_3},
                      FeelFact{"ukg_four_four", {S, H}, SWING_2_3}, FeelFact{"speed_garage", {S, H, B}, SWING_2_3},
                      FeelFact{"dnb_two_step", {H}, STRAIGHT}, FeelFact{"dubstep_skip", {K, S, H, B}, SWING_2_3},
                      FeelFact{"amapiano", {H, P, B}, SWING_5_8}, FeelFact{"funky_toms", {H, P}, SWING_5_8},
                      FeelFact{"funky_syncopated", {K, P}, SWING_5_8}, FeelFact{"broken_shuffle", {S}, SWING_2_3},
                      FeelFact{"broken_push", {S}, STRAIGHT}, FeelFact{"reggae_one_drop", {S, H, B}, LATE_AND},
                      FeelFact{"ukg_rim_shuffle", {K, S}, SWING_2_3}, FeelFact{"amapiano_answer", {H, B}, SWING_5_8},
                      FeelFact{"italo_machine", {H}, STRAIGHT}),
    [](const ::testing::TestParamInfo<FeelFact>& p) { return std::string(p.param.style); });

// ---- what the labels and notes claim, one claim a row ----

struct Claim {
    const char* style;
    const char* words;
    bool (*holds)(const Score&);
};

void PrintTo(const Claim& c, std::ostream* os) { *os << c.style << ": " << c.words; }

class Claims : public ::testing::TestWithParam<Claim> {};

TEST_P(Claims, Hold) { EXPECT_TRUE(GetParam().holds(style(GetParam().style))) << GetParam().words; }

template <class F>
bool every(const std::vector<Hit>& h, F f) { return std::all_of(h.begin(), h.end(), f); }
template <class F>
bool none(const std::vector<Hit>& h, F f) { return std::none_of(h.begin(), h.end(), f); }
bool silent(const Score& s, double from, double to) {
    return std::all_of(std::begin(LANES), std::end(LANES), [&](Lane l) { return pips(s, l, ALL, from, to).empty(); });
}
std::vector<double> shifted(std::vector<double> p, double by, double period) {
    for (double& x : p) x = std::fmod(x + by, period);
    std::sort(p.begin(), p.end());
    return p;
}

using G = std::vector<int>;

const std::vector<Claim> CLAIMS = {
    {"four_floor", "equal quarter-note kicks and no other lane", [](const Score& s) {
         return kick_every_beat(s) && s.snare.empty() && s.hat.empty() && s.perc.empty() && s.bass.empty() &&
                every(s.kick, [&](const Hit& h) { return h.velocity == s.kick[0].velocity; });
     }},
    {"house_classic", "straight, unornamented", [](const Score& s) { return on_sixteenths(s) && no_ghosts(s); }},
    {"techno_drive", "no ghosts, no swing", [](const Score& s) { return on_sixteenths(s) && no_ghosts(s); }},
    {"dnb_two_step", "dead straight, no ghosts", [](const Score& s) { return on_sixteenths(s) && no_ghosts(s); }},
    {"trance", "straight four-floor", [](const Score& s) { return on_sixteenths(s) && kick_every_beat(s); }},
    {"drill_tresillo", "grouped, not a tuplet: the grid stays straight", [](const Score& s) {
         return on_sixteenths(s) && grouping(s, H, 0) == G{3, 3, 2, 3, 3, 2} && grouping(s, H, 1) == G{3, 3, 2, 3, 3, 2};
     }},
    {"amen_four_bar", "a straight grid", on_sixteenths},
    {"electro_robot", "straight machine break", on_sixteenths},
    {"house_jack", "extra ghost kicks and claps over the house beat", [](const Score& s) {
         const Score& h = style("house_classic");
         return pips(s, K, MAIN) == pips(h, K) && pips(s, S, MAIN) == pips(h, S) && !pips(s, K, QUIET).empty() &&
                !pips(s, S, QUIET).empty();
     }},
    {"techno_polymeter", "the three-sixteenth cycle meets a bar line again only at 768", [](const Score& s) {
         const auto p = pips(s, P);
         return s.period == 768 && kick_every_beat(s) && shifted(p, 48, 768) == p &&
                std::count_if(p.begin(), p.end(), [](double x) { return std::fmod(x, 256.0) == 0; }) == 1;
     }},
    {"ukg_two_step", "off-grid hats supply shuffle", [](const Score& s) {
         return std::count_if(s.hat.begin(), s.hat.end(), [](const Hit& h) { return std::fmod(h.pip, 16.0) != 0; }) >= 4;
     }},
    {"speed_garage", "bass answers in the gaps between kicks", [](const Score& s) {
         return kick_every_beat(s) && s.bass.size() >= 8 && none(s.bass, [&](const Hit& h) { return at(s, K, h.pip); });
     }},
    {"bassline", "syncopated hooks, busier in bar two", [](const Score& s) {
         return off_the_beat(pips(s, B)) && count(s, B, ALL, 256, 512) > count(s, B, ALL, 0, 256);
     }},
    {"grime_sparse", "one or two kicks a bar, one-sixteenth bass stabs", [](const Score& s) {
         return bar(s, K, 0).size() <= 2 && bar(s, K, 1).size() <= 2 && !s.bass.empty() &&
                every(s.bass, [](const Hit& h) { return h.length == 16; });
     }},
    {"grime_half", "hats only in bar two", [](const Score& s) { return bar(s, H, 0).empty() && !bar(s, H, 1).empty(); }},
    {"amen_four_bar", "four bars: bars one and two alike, three and four not a repeat", [](const Score& s) {
         return s.period == 1024 && bar(s, S, 2) != bar(s, S, 0) && bar(s, K, 3) != bar(s, K, 1) &&
                std::all_of(std::begin(LANES), std::end(LANES), [&](Lane l) { return bar(s, l, 0) == bar(s, l, 1); });
     }},
    {"amen_no_ghosts", "the break with only its quiet snares removed", [](const Score& s) {
         const Score& full = style("amen_four_bar");
         std::vector<Hit> loud;
         std::copy_if(full.snare.begin(), full.snare.end(), std::back_inserter(loud),
                      [](const Hit& h) { return h.velocity >= 0.5; });
         return same_lanes(s, full, {K, H, P, B}) && same_hits(s.snare, loud) && full.snare.size() == loud.size() + 10;
     }},
    {"jungle_chops", "no bar replays a bar of the break", [](const Score& s) {
         const Score& amen = style("amen_four_bar");
         for (int b = 0; b < 8; ++b) {
             if (bar(s, K, b / 4) == bar(amen, K, b % 4) && bar(s, S, b / 4) == bar(amen, S, b % 4)) return false;
         }
         return true;
     }},
    {"jungle_ghosts", "backbeats buried in ghosts, a swelling closing roll", [](const Score& s) {
         std::vector<Hit> roll;
         std::copy_if(s.snare.begin(), s.snare.end(), std::back_inserter(roll), [](const Hit& h) { return h.pip > 448; });
         return rising(roll) && count(s, S, QUIET, 0, 449) > 2 * count(s, S, MAIN, 0, 449);
     }},
    {"jungle_switch", "fewer main snares in the final half; the same ride, ghosts go on", [](const Score& s) {
         const auto ride = pips(s, H);
         return ride.size() == 32 && shifted(ride, 32, 1024) == ride && count(s, S, QUIET, 512, 1024) > 0 &&
                count(s, S, MAIN, 512, 1024) < count(s, S, MAIN, 0, 512);
     }},
    {"dnb_rolling", "ghosts around every backbeat over sixteenth hats", [](const Score& s) {
         const auto main = pips(s, S, MAIN);
         return s.hat.size() == 32 && std::all_of(main.begin(), main.end(), [&](double b) {
                    return count(s, S, QUIET, b - 48, b + 49) >= 2;
                });
     }},
    {"electro", "a kick that avoids beats 2 to 4, cowbell stabs", [](const Score& s) {
         return !s.perc.empty() && std::none_of(BEATS.begin(), BEATS.end(), [&](double b) {
                    return std::fmod(b, 256.0) != 0 && at(s, K, b);
                });
     }},
    {"rave_breaks", "quieter break kicks between the four-floor beats", [](const Score& s) {
         const auto brk = pips(s, K, VOICE1);
         return kick_every_beat(s) && off_the_beat(brk) && pips(s, K, QUIET) == brk;
     }},
    {"dembow", "quarter-note kick, offbeat snare answers", [](const Score& s) {
         return kick_every_beat(s) && off_the_beat(pips(s, S));
     }},
    {"disco", "loud open hats on every &, pickups into beats 3 and 4 of bar two", [](const Score& s) {
         return at(s, H, 400) && at(s, H, 464) &&
                every(s.hat, [](const Hit& h) { return (h.velocity == 1.0) == (std::fmod(h.pip, 64.0) == 32); });
     }},
    {"amapiano", "soft kicks; percussion and a log-drum bass cue", [](const Score& s) {
         return kick_every_beat(s) && s.bass.size() >= 8 && s.perc.size() >= 8 &&
                every(s.kick, [](const Hit& h) { return h.velocity < 0.7; });
     }},
    {"jersey_call", "a turnaround of kicks in threes and a sixteenth roll", [](const Score& s) {
         return grouping(s, K, 1) == G{3, 3, 2, 2, 2, 1, 1, 1, 1} && grouping(s, K, 0) == grouping(style("jersey_five"), K, 0);
     }},
    {"footwork_triplet", "kicks grouped 3+3+3+3+4", [](const Score& s) { return grouping(s, K, 0) == G{3, 3, 3, 3, 4}; }},
    {"footwork_sparse", "bar two bursts, then falls silent for its last beat", [](const Score& s) {
         return silent(s, 448, 512) && every(s.bass, [](const Hit& h) { return h.pip + h.length <= 448; }) &&
                count(s, K, ALL, 256, 448) > count(s, K, ALL, 0, 192);
     }},
    {"funky_toms", "two toms lead, never struck together", [](const Score& s) {
         const auto hi = pips(s, P, VOICE0), lo = pips(s, P, VOICE1);
         return hi.size() >= 6 && lo.size() >= 6 &&
                std::none_of(lo.begin(), lo.end(), [&](double p) { return std::count(hi.begin(), hi.end(), p); });
     }},
    {"funky_syncopated", "broken kick; the second clap moves from off the beat to 4", [](const Score& s) {
         const auto c = pips(s, S);
         return !kick_every_beat(s) && c.size() == 4 && std::fmod(c[1], 64.0) != 0 && c[3] == 448;
     }},
    {"broken_push", "the second snare early in bar one, late in bar two", [](const Score& s) {
         const auto c = pips(s, S);
         return c.size() == 4 && c[0] == 64 && c[2] == 320 && c[1] > 128 && c[1] < 192 && c[3] > 448;
     }},
    {"broken_shuffle", "a rim every five swung sixteenths, restarting with the loop", [](const Score& s) {
         const auto rim = pips(s, S, VOICE1);
         for (std::size_t i = 0; i < rim.size(); ++i) {
             // the swing moves a note by less than half a sixteenth: round it back to its step
             if (std::round(rim[i] / 16.0) * 16.0 != 16.0 + 80.0 * static_cast<double>(i)) return false;
         }
         return rim.size() == 7;
     }},
    {"afro_bell", "a seven-stroke bell meeting the kick on beats 1 and 2 only", [](const Score& s) {
         std::vector<double> met;
         for (double p : pips(s, P)) {
             if (at(s, K, p)) met.push_back(p);
         }
         return bar(s, P, 0).size() == 7 && bar(s, P, 1).size() == 7 && met == std::vector<double>{0, 64, 256, 320};
     }},
    {"afro_cross", "bell and shaker on the triplet lattice, off the sixteenths", [](const Score& s) {
         auto lattice = [](const Hit& h) { return std::abs(h.pip / T - std::round(h.pip / T)) < EPS; };
         auto grid = [](const Hit& h) { return std::fmod(h.pip, 16.0) == 0; };
         return kick_every_beat(s) && s.hat.size() == 24 && every(s.perc, lattice) && every(s.hat, lattice) &&
                !every(s.perc, grid) && !every(s.hat, grid);
     }},
    {"gqom_space", "no four-floor, no hats, one clap a bar", [](const Score& s) {
         return !kick_every_beat(s) && s.hat.empty() && bar(s, S, 0).size() == 1 && bar(s, S, 1).size() == 1;
     }},
    {"gqom_exchange", "the tom three sixteenths after every kick", [](const Score& s) {
         auto k = pips(s, K);
         return !kick_every_beat(s) && !k.empty() && shifted(k, 48, 512) == pips(s, P);
     }},
    {"baile_toms", "low drum 3+3+4+3+3, the mid drum only in its gaps", [](const Score& s) {
         return grouping(s, K, 0) == G{3, 3, 4, 3, 3} && !s.perc.empty() &&
                none(s.perc, [&](const Hit& h) { return at(s, K, h.pip); });
     }},
    {"baile_response", "doubled 3+3+2, then a thinner kick and syncopated claps", [](const Score& s) {
         return grouping(s, K, 0) == G{3, 3, 2, 3, 3, 2} && bar(s, K, 1).size() < bar(s, K, 0).size() &&
                off_the_beat(pips(s, S, ALL, 256, 512));
     }},
    {"reggae_one_drop", "an empty downbeat; kick and cross-stick together on 3", [](const Score& s) {
         return pips(s, S, MAIN) == pips(s, K) && std::none_of(std::begin(LANES), std::end(LANES), [&](Lane l) {
                    return l != H && (at(s, l, 0) || at(s, l, 256));
                });
     }},
    {"son_clave_23", "the 3-2 clave started on its 2-side, every other lane unchanged", [](const Score& s) {
         const Score& a = style("son_clave_32");
         return same_lanes(s, a, {K, S, H, B}) && pips(s, P, VOICE1) == pips(a, P, VOICE1) &&
                shifted(pips(a, P, VOICE0), 256, 512) == pips(s, P, VOICE0) && count(a, P, VOICE0, 0, 256) == 3;
     }},
    {"psy_rolling", "every kick but the last followed by three sixteenth bass notes", [](const Score& s) {
         for (double k : pips(s, K)) {
             const auto after = pips(s, B, ALL, k, k + 64);
             if (after != (k == 448 ? std::vector<double>{} : std::vector{k + 16, k + 32, k + 48})) return false;
         }
         return s.snare.empty() && kick_every_beat(s);
     }},
    {"psy_offbeat", "bass takes the beat the kick gives up", [](const Score& s) { return !at(s, K, 448) && at(s, B, 448); }},
    {"hard_reverse", "swells from the e after each kick into the next beat", [](const Score& s) {
         return !at(s, K, 448) && every(s.bass, [](const Hit& h) {
                    return std::fmod(h.pip + h.length, 64.0) == 0 && (h.pip == 448 || std::fmod(h.pip, 64.0) == 16);
                });
     }},
    {"italo_machine", "a rim in the gaps of clap and kick; eighth-note bass", [](const Score& s) {
         const auto rim = pips(s, S, VOICE1);
         return rim.size() >= 6 && s.bass.size() == 16 && every(s.bass, [](const Hit& h) { return std::fmod(h.pip, 32.0) == 0; }) &&
                std::none_of(rim.begin(), rim.end(), [&](double r) { return at(s, K, r) || std::fmod(r, 128.0) == 64; });
     }},
    {"electro_robot", "kicks grouped 5+5+6, then 3+5+3+5", [](const Score& s) {
         return grouping(s, K, 0) == G{5, 5, 6} && grouping(s, K, 1) == G{3, 5, 3, 5};
     }},
    {"acid_percussion", "accents off the beat; slides held over the next step", [](const Score& s) {
         return off_the_beat(pips(s, B, ACCENT)) && !every(s.bass, [](const Hit& h) { return h.length == 16; });
     }},
    {"techno_rumble", "the low end a sixteenth after each kick, later in bar two", [](const Score& s) {
         for (std::size_t i = 0; i < s.bass.size(); ++i) {
             if (s.bass[i].pip - 64.0 * static_cast<double>(i) != (i < 4 || i == 7 ? 16.0 : 32.0)) return false;
         }
         return s.bass.size() == 8 && kick_every_beat(s);
     }},
    {"ukg_rim_shuffle", "a swung rim in place of hats", [](const Score& s) {
         return s.hat.empty() && pips(s, S, VOICE1).size() >= 10 && off_the_beat(pips(s, S, VOICE1));
     }},
    {"dnb_push", "ghost replies an eighth after the backbeats", [](const Score& s) {
         return !pips(s, S, QUIET).empty() && every(s.snare, [&](const Hit& h) { return h.velocity >= 0.5 || at(s, S, h.pip - 32); });
     }},
    {"jungle_switchback", "bar two replays beats 1 and 2, then swaps beats 3 and 4", [](const Score& s) {
         return slice(s, S, 128, 64) != slice(s, S, 192, 64) && at(s, K, 464) &&
                std::all_of(std::begin(LANES), std::end(LANES), [&](Lane l) {
                    return slice(s, l, 256, 128) == slice(s, l, 0, 128) && slice(s, l, 384, 64) == slice(s, l, 192, 64) &&
                           slice(s, l, 448, 64) == slice(s, l, 128, 64);
                });
     }},
    {"amapiano_answer", "one long log-drum note, then a 3+3+2 burst", [](const Score& s) {
         return bar(s, B, 0).size() == 1 && s.bass[0].length >= 64 && grouping(s, B, 1) == G{3, 3, 2, 3, 3, 2};
     }},
    {"dancehall_space", "rim replies on the offbeats", [](const Score& s) { return off_the_beat(pips(s, S)) && !kick_every_beat(s); }},
    {"dembow_push", "the dembow's bar one; its last snare gives way to a rising pickup", [](const Score& s) {
         const Score& d = style("dembow");
         return bar(s, K, 0) == bar(d, K, 0) && bar(s, S, 0) == bar(d, S, 0) && bar(s, H, 0) == bar(d, H, 0) &&
                count(s, S, ALL, 256, 512) + 1 == count(d, S, ALL, 256, 512) && rising(s.perc);
     }},
};

INSTANTIATE_TEST_SUITE_P(Styles, Claims, ::testing::ValuesIn(CLAIMS), [](const ::testing::TestParamInfo<Claim>& p) {
    return std::string(p.param.style) + "_" + std::to_string(p.index);
});

}  // namespace
