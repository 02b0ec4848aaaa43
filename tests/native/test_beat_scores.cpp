// The beat_ styles' drum scores, read as data: the facts their labels and
// notes state, and the rules every score keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "beat/score.hpp"

using trovelin::recipes::beat::Hit;
using trovelin::recipes::beat::Score;
using trovelin::recipes::beat::scores;

namespace {

constexpr double EPS = 1e-9;
constexpr double T = 64.0 / 3;  // a triplet eighth
constexpr double S23_E = 64.0 / 3, S23_A = 160.0 / 3;  // the e and a under a 2/3 swing

enum class Lane { kick, snare, hat, perc, bass };
constexpr Lane LANES[] = {Lane::kick, Lane::snare, Lane::hat, Lane::perc, Lane::bass};

const char* lane_name(Lane l) {
    constexpr const char* names[] = {"kick", "snare", "hat", "perc", "bass"};
    return names[static_cast<int>(l)];
}

const std::vector<Hit>& lane(const Score& s, Lane l) {
    switch (l) {
        case Lane::kick: return s.kick;
        case Lane::snare: return s.snare;
        case Lane::hat: return s.hat;
        case Lane::perc: return s.perc;
        case Lane::bass: return s.bass;
    }
    return s.bass;
}

const Score& style(std::string_view key) {
    for (const Score& s : scores()) {
        if (s.key == key) {
            return s;
        }
    }
    throw std::runtime_error("no style " + std::string(key));
}

// Which hits of a lane a fact speaks of: all, the accents, the main (accented
// or normal) notes, the quiet ones, or one voice.
enum class Pick { all, accent, main, quiet, voice0, voice1 };

bool picked(const Hit& h, Pick p) {
    switch (p) {
        case Pick::all: return true;
        case Pick::accent: return h.velocity >= 0.95;
        case Pick::main: return h.velocity >= 0.5;
        case Pick::quiet: return h.velocity < 0.5;
        case Pick::voice0: return h.voice == 0;
        case Pick::voice1: return h.voice == 1;
    }
    return false;
}

// Pips of the picked hits of a lane inside [from, to).
std::vector<double> pips(const Score& s, Lane l, Pick p = Pick::all, double from = 0.0, double to = 1e9) {
    std::vector<double> out;
    for (const Hit& h : lane(s, l)) {
        if (picked(h, p) && h.pip >= from && h.pip < to) {
            out.push_back(h.pip);
        }
    }
    return out;
}

bool has_hit_at(const Score& s, Lane l, double pip) {
    const auto& hits = lane(s, l);
    return std::any_of(hits.begin(), hits.end(), [&](const Hit& h) { return std::abs(h.pip - pip) < EPS; });
}

void expect_pips(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size()) << ::testing::PrintToString(got);
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], EPS) << "hit " << i;
    }
}

// ---- the expected listing of the styles, read from the Python listing ----

struct Listed {
    std::string key;
    std::string label;
    int period = 0;
    int planar = 0;
    std::optional<std::string> note;  // none: the style carries no note
};

// Tokens of one Python line: quoted strings (kept with their quote), names,
// numbers and single punctuation characters.
std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == '#') {
            break;
        }
        if (c == '"' || c == '\'') {
            const std::size_t end = line.find(c, i + 1);
            if (end == std::string::npos) {
                break;
            }
            out.push_back(line.substr(i, end + 1 - i));
            i = end + 1;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = i;
            while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) {
                ++end;
            }
            out.push_back(line.substr(i, end - i));
            i = end;
        } else if (c == ' ') {
            ++i;
        } else {
            out.push_back(std::string(1, c));
            ++i;
        }
    }
    return out;
}

// A sum of string literals and known string constants, if the tokens are one.
std::optional<std::string> text(const std::vector<std::string>& t, std::size_t from, std::size_t to,
                                const std::map<std::string, std::string>& known) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        if (i % 2 != from % 2) {
            if (t[i] != "+") {
                return std::nullopt;
            }
        } else if (t[i][0] == '"' || t[i][0] == '\'') {
            out += t[i].substr(1, t[i].size() - 2);
        } else if (known.count(t[i])) {
            out += known.at(t[i]);
        } else {
            return std::nullopt;
        }
    }
    return from < to ? std::optional(out) : std::nullopt;
}

const std::vector<Listed>& listed() {
    static const std::vector<Listed> all = [] {
        const auto file = std::filesystem::path(__FILE__).parent_path().parent_path() / "catalogue_listing.py";
        std::ifstream in(file);
        if (!in) {
            throw std::runtime_error("cannot read " + file.string());
        }
        std::vector<Listed> out;
        std::map<std::string, std::string> known;
        bool inside = false;
        for (std::string line; std::getline(in, line);) {
            const auto t = tokens(line);
            if (!inside && t.size() >= 3 && t[1] == "=") {
                inside = t[0] == "BEAT_STYLES";
                if (const auto v = text(t, 2, t.size(), known)) {
                    known[t[0]] = *v;
                }
            } else if (inside && !t.empty() && t[0] == "]") {
                break;
            } else if (inside && t.size() >= 12 && t[0] == "(") {
                Listed l;
                l.key = t[1].substr(1, t[1].size() - 2);
                l.label = t[3].substr(1, t[3].size() - 2);
                l.period = std::stoi(t[5]);
                l.planar = std::stoi(t[7]);
                if (t[9] != "None") {
                    l.note = text(t, 9, t.size() - 2, known);
                }
                out.push_back(l);
            }
        }
        return out;
    }();
    return all;
}

// ---- structure ----

TEST(BeatScores, EveryStyleMatchesTheListingInOrder) {
    const auto& want = listed();
    ASSERT_EQ(want.size(), 68u);
    ASSERT_EQ(scores().size(), want.size());
    for (std::size_t i = 0; i < scores().size(); ++i) {
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
}

TEST(BeatScores, EveryHitLiesInItsLoopInTimeOrderWithASensibleLevel) {
    for (const Score& s : scores()) {
        for (Lane l : LANES) {
            SCOPED_TRACE(s.key + " " + lane_name(l));
            const auto& hits = lane(s, l);
            std::set<std::pair<double, int>> seen;
            for (std::size_t i = 0; i < hits.size(); ++i) {
                const Hit& h = hits[i];
                EXPECT_GE(h.pip, 0.0);
                EXPECT_LT(h.pip, s.period);
                EXPECT_GT(h.velocity, 0.0);
                EXPECT_LE(h.velocity, 1.0);
                EXPECT_GE(h.voice, 0);
                EXPECT_TRUE(seen.insert({h.pip, h.voice}).second) << "two hits of one voice at " << h.pip;
                if (i > 0) {
                    EXPECT_LE(hits[i - 1].pip, h.pip) << "out of order at " << h.pip;
                }
                if (l == Lane::bass) {
                    EXPECT_GT(h.length, 0.0) << h.pip;
                    EXPECT_LE(h.length, s.period) << h.pip;
                } else {
                    EXPECT_EQ(h.length, 0.0) << h.pip;
                }
            }
        }
    }
}

bool same_hits(const std::vector<Hit>& a, const std::vector<Hit>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const Hit& x, const Hit& y) {
               return x.pip == y.pip && x.velocity == y.velocity && x.length == y.length && x.voice == y.voice;
           });
}

bool same_lanes(const Score& a, const Score& b) {
    return a.period == b.period && std::all_of(std::begin(LANES), std::end(LANES), [&](Lane l) {
               return same_hits(lane(a, l), lane(b, l));
           });
}

TEST(BeatScores, NoTwoStylesShareTheirLanes) {
    const auto& all = scores();
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            EXPECT_FALSE(same_lanes(all[i], all[j])) << all[i].key << " and " << all[j].key;
        }
    }
}

// Hits (lane, voice, pip) in one score and not the other, both ways.
int hits_apart(const Score& a, const Score& b) {
    auto keys = [](const Score& s) {
        std::set<std::tuple<int, int, long>> k;
        for (Lane l : LANES) {
            for (const Hit& h : lane(s, l)) {
                k.insert({static_cast<int>(l), h.voice, std::lround(h.pip * 3.0)});
            }
        }
        return k;
    };
    const auto ka = keys(a);
    const auto kb = keys(b);
    std::vector<std::tuple<int, int, long>> d;
    std::set_symmetric_difference(ka.begin(), ka.end(), kb.begin(), kb.end(), std::back_inserter(d));
    return static_cast<int>(d.size());
}

const std::vector<std::vector<const char*>> SIBLINGS = {
    {"grime_sparse", "grime_syncopated", "grime_half"},
    {"drill_tresillo", "drill_displaced", "drill_rolls"},
    {"amen_four_bar", "amen_no_ghosts"},
    {"jungle_chops", "jungle_ghosts", "jungle_switch"},
    {"dnb_two_step", "dnb_rolling", "dnb_half"},
    {"dubstep_half", "dubstep_skip", "trap_trills"},
    {"ukg_two_step", "dnb_two_step"},
    {"electro", "trance", "rave_breaks", "dembow", "disco", "amapiano"},
    {"jersey_five", "jersey_call"},
    {"footwork_triplet", "footwork_sparse"},
    {"funky_toms", "funky_syncopated"},
    {"broken_push", "broken_shuffle"},
    {"afro_bell", "afro_cross"},
    {"gqom_space", "gqom_exchange"},
    {"baile_toms", "baile_response"},
    {"reggae_one_drop", "reggae_steppers", "reggae_rockers"},
    {"son_clave_32", "son_clave_23"},
    {"psy_rolling", "psy_offbeat", "hard_reverse", "trance"},
    {"electro", "electro_robot", "italo_machine", "acid_percussion"},
    {"techno_drive", "techno_toms", "techno_broken", "techno_polymeter", "techno_rumble"},
    {"ukg_two_step", "ukg_skip", "ukg_four_four", "ukg_rim_shuffle"},
    {"dnb_two_step", "dnb_rolling", "dnb_half", "dnb_push"},
    {"jungle_chops", "jungle_ghosts", "jungle_switch", "jungle_switchback"},
    {"amapiano", "amapiano_answer"},
    {"dembow", "dembow_push", "dancehall_space"},
    {"house_classic", "house_shuffle", "house_jack"},
    {"techno_drive", "techno_toms", "techno_broken"},
    {"ukg_two_step", "ukg_skip", "ukg_four_four", "speed_garage", "bassline"},
};

TEST(BeatScores, SiblingStylesDifferInSeveralHits) {
    for (const auto& family : SIBLINGS) {
        for (std::size_t i = 0; i < family.size(); ++i) {
            for (std::size_t j = i + 1; j < family.size(); ++j) {
                EXPECT_GE(hits_apart(style(family[i]), style(family[j])), 4) << family[i] << " and " << family[j];
            }
        }
    }
}

// ---- facts stated by the labels and notes, as pips ----

struct PipFact {
    const char* style;
    Lane lane;
    Pick pick;
    std::vector<double> pips;  // every picked hit of the lane inside [from, to), in order
    double from = 0.0;
    double to = 1e9;
};

void PrintTo(const PipFact& f, std::ostream* os) {
    *os << f.style << " " << lane_name(f.lane);
}

class PipFacts : public ::testing::TestWithParam<PipFact> {};

TEST_P(PipFacts, HitsLandWhereTheWordsSay) {
    const PipFact& f = GetParam();
    expect_pips(pips(style(f.style), f.lane, f.pick, f.from, f.to), f.pips);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, PipFacts,
    ::testing::Values(
        PipFact{"four_floor", Lane::kick, Pick::all, {0, 64, 128, 192}},
        PipFact{"house_classic", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384, 448}},
        PipFact{"house_classic", Lane::snare, Pick::all, {64, 192, 320, 448}},
        PipFact{"house_classic", Lane::hat, Pick::all, {32, 96, 160, 224, 288, 352, 416, 480}},
        PipFact{"house_shuffle", Lane::snare, Pick::all, {64, 192, 320, 448}},
        // the ghost kicks and claps of the turnaround, swung to 20 and 52
        PipFact{"house_jack", Lane::kick, Pick::quiet, {192 + 52, 320 + 52, 480, 448 + 52}},
        PipFact{"house_jack", Lane::snare, Pick::quiet, {64 + 52, 320 + 52, 448 + 20, 448 + 52}},
        PipFact{"techno_drive", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384, 448}},
        PipFact{"techno_broken", Lane::kick, Pick::all, {0, 96, 160, 208, 256, 304, 416}},
        PipFact{"techno_polymeter", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384, 448, 512, 576, 640, 704}},
        PipFact{"techno_polymeter", Lane::perc, Pick::all,
                {0, 48, 96, 144, 192, 240, 288, 336, 384, 432, 480, 528, 576, 624, 672, 720}},
        PipFact{"ukg_two_step", Lane::kick, Pick::all, {0, 160, 256, 416}},
        PipFact{"ukg_two_step", Lane::snare, Pick::main, {64, 192, 320, 448}},
        PipFact{"ukg_four_four", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384, 448}},
        // bar two's answer slips to the swung a of 3 and the & of 4
        PipFact{"speed_garage", Lane::bass, Pick::all, {32, 96, 160, 224, 288, 352, 384 + 160.0 / 3, 480}},
        PipFact{"grime_syncopated", Lane::snare, Pick::main, {64, 176, 352, 448}},
        PipFact{"grime_half", Lane::snare, Pick::main, {128, 384}},
        PipFact{"drill_tresillo", Lane::hat, Pick::all, {0, 48, 96, 128, 176, 224, 256, 304, 352, 384, 432, 480}},
        PipFact{"drill_tresillo", Lane::snare, Pick::main, {128, 384}},
        PipFact{"drill_displaced", Lane::snare, Pick::all, {128, 448}},
        PipFact{"drill_rolls", Lane::snare, Pick::all, {128, 384}},
        PipFact{"drill_rolls", Lane::hat, Pick::all, {384, 384 + T, 384 + 2 * T, 448, 448 + T, 448 + 2 * T}, 384, 512},
        PipFact{"amen_four_bar", Lane::snare, Pick::main, {64, 192, 320, 448, 576, 736, 784, 832, 992}},
        PipFact{"amen_four_bar", Lane::snare, Pick::quiet, {112, 144, 240, 368, 400, 496, 624, 656, 880, 912}},
        PipFact{"amen_four_bar", Lane::kick, Pick::all,
                {0, 32, 160, 176, 256, 288, 416, 432, 512, 544, 672, 800, 816, 928}},
        PipFact{"amen_four_bar", Lane::hat, Pick::voice1, {928}},
        PipFact{"jungle_chops", Lane::snare, Pick::main, {256, 384}, 256, 512},
        // the closing roll, a thirty-second apart after the last backbeat
        PipFact{"jungle_ghosts", Lane::snare, Pick::all, {456, 464, 472, 480, 488, 496, 504}, 449, 512},
        PipFact{"jungle_switch", Lane::snare, Pick::main, {64, 192, 320, 448, 640, 896}},
        PipFact{"dnb_two_step", Lane::kick, Pick::all, {0, 160, 256, 416}},
        PipFact{"dnb_two_step", Lane::snare, Pick::all, {64, 192, 320, 448}},
        PipFact{"dnb_rolling", Lane::kick, Pick::all, {0, 160, 256, 416, 432}},
        PipFact{"dnb_half", Lane::snare, Pick::main, {128, 384}},
        PipFact{"dubstep_half", Lane::snare, Pick::all, {128, 384}},
        PipFact{"dubstep_skip", Lane::snare, Pick::voice0, {128, 384}},
        PipFact{"trap_trills", Lane::snare, Pick::all, {128, 384}},
        PipFact{"trap_trills", Lane::hat, Pick::all, {192, 200, 208, 216, 224, 232, 240, 248}, 192, 256},
        PipFact{"trap_trills", Lane::hat, Pick::all,
                {448, 448 + T / 2, 448 + T, 480, 480 + T / 2, 480 + T}, 448, 512},
        PipFact{"trance", Lane::bass, Pick::all, {32, 96, 160, 224, 288, 352, 416, 480}},
        PipFact{"rave_breaks", Lane::kick, Pick::voice0, {0, 64, 128, 192, 256, 320, 384, 448}},
        PipFact{"dembow", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384, 448}},
        PipFact{"dembow", Lane::snare, Pick::all, {48, 96, 176, 224, 304, 352, 432, 480}},
        PipFact{"jersey_five", Lane::kick, Pick::all, {0, 64, 128, 176, 224, 256, 320, 384, 432, 480}},
        PipFact{"jersey_call", Lane::kick, Pick::all, {448, 464, 480, 496}, 448, 512},
        PipFact{"footwork_triplet", Lane::bass, Pick::all, {384, 384 + 2 * T, 384 + 4 * T}, 384, 512},
        PipFact{"footwork_sparse", Lane::snare, Pick::all, {128, 320}},
        PipFact{"afro_cross", Lane::perc, Pick::all,
                {0, 2 * T, 4 * T, 5 * T, 7 * T, 9 * T, 11 * T,
                 256, 256 + 2 * T, 256 + 4 * T, 256 + 5 * T, 256 + 7 * T, 256 + 9 * T, 256 + 11 * T}},
        PipFact{"afro_cross", Lane::hat, Pick::accent, {0, 64, 128, 192, 256, 320, 384, 448}},
        PipFact{"gqom_exchange", Lane::snare, Pick::all, {128, 320, 448}},
        PipFact{"reggae_one_drop", Lane::kick, Pick::all, {128, 384}},
        PipFact{"reggae_steppers", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384, 448}},
        PipFact{"reggae_steppers", Lane::snare, Pick::all, {128, 384}},
        PipFact{"reggae_rockers", Lane::kick, Pick::all, {0, 128, 256, 384}},
        PipFact{"son_clave_32", Lane::perc, Pick::voice0, {0, 96, 192, 320, 384}},
        PipFact{"son_clave_23", Lane::perc, Pick::voice0, {64, 128, 256, 352, 448}},
        PipFact{"psy_offbeat", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384}},
        PipFact{"hard_reverse", Lane::kick, Pick::accent, {0, 64, 128, 192, 256, 320, 384}},
        PipFact{"acid_percussion", Lane::snare, Pick::all, {64, 192, 320, 448, 496}},
        PipFact{"dnb_push", Lane::kick, Pick::all, {0, 160, 256, 416, 480, 496}},
        PipFact{"dnb_push", Lane::snare, Pick::quiet, {96, 224, 352}},
        PipFact{"amapiano_answer", Lane::kick, Pick::all, {0, 64, 128, 192, 256, 320, 384}},
        PipFact{"dembow_push", Lane::snare, Pick::all, {48, 96, 176, 224, 304, 352, 432}},
        PipFact{"dembow_push", Lane::perc, Pick::all, {448, 464, 480, 496}}),
    [](const ::testing::TestParamInfo<PipFact>& p) {
        return std::string(p.param.style) + "_" + lane_name(p.param.lane) + "_" + std::to_string(p.index);
    });

// ---- the feel: where the e, & and a of each beat land ----

struct FeelFact {
    const char* style;
    Lane lane;
    double e;
    double et;  // the &
    double a;
};

void PrintTo(const FeelFact& f, std::ostream* os) {
    *os << f.style << " " << lane_name(f.lane);
}

class Feels : public ::testing::TestWithParam<FeelFact> {};

// Every hit sits on a beat or on its e, & or a as the style's feel places
// them, and the lane plays at least one of the moved subdivisions.
TEST_P(Feels, OffbeatsLandWhereTheFeelPutsThem) {
    const FeelFact& f = GetParam();
    const double places[] = {0.0, f.e, f.et, f.a};
    int moved = 0;
    for (const Hit& h : lane(style(f.style), f.lane)) {
        const double within = std::fmod(h.pip, 64.0);
        const bool on = std::any_of(std::begin(places), std::end(places),
                                    [&](double p) { return std::abs(within - p) < EPS; });
        EXPECT_TRUE(on) << "hit at " << h.pip;
        moved += (std::abs(within - f.e) < EPS && f.e != 16.0) || (std::abs(within - f.a) < EPS && f.a != 48.0) ||
                 (std::abs(within - f.et) < EPS && f.et != 32.0);
    }
    const bool straight = f.e == 16.0 && f.et == 32.0 && f.a == 48.0;
    EXPECT_TRUE(straight || moved > 0) << "no swung note";
}


INSTANTIATE_TEST_SUITE_P(
    Styles, Feels,
    ::testing::Values(FeelFact{"house_classic", Lane::hat, 16, 32, 48},
                      FeelFact{"house_shuffle", Lane::hat, S23_E, 32, S23_A},
                      FeelFact{"house_jack", Lane::kick, 20, 32, 52},
                      FeelFact{"house_jack", Lane::snare, 20, 32, 52},
                      FeelFact{"house_jack", Lane::hat, 20, 32, 52},
                      FeelFact{"techno_drive", Lane::hat, 16, 32, 48},
                      FeelFact{"ukg_two_step", Lane::hat, S23_E, 32, S23_A},
                      FeelFact{"ukg_skip", Lane::kick, S23_E, 32, S23_A},
                      FeelFact{"ukg_skip", Lane::snare, S23_E, 32, S23_A},
                      FeelFact{"ukg_four_four", Lane::snare, S23_E, 32, S23_A},
                      FeelFact{"ukg_four_four", Lane::hat, S23_E, 32, S23_A},
                      FeelFact{"speed_garage", Lane::hat, S23_E, 32, S23_A},
                      FeelFact{"speed_garage", Lane::bass, S23_E, 32, S23_A},
                      FeelFact{"dnb_two_step", Lane::hat, 16, 32, 48},
                      FeelFact{"dubstep_skip", Lane::kick, S23_E, 32, S23_A},
                      FeelFact{"dubstep_skip", Lane::snare, S23_E, 32, S23_A},
                      FeelFact{"dubstep_skip", Lane::hat, S23_E, 32, S23_A},
                      FeelFact{"dubstep_skip", Lane::bass, S23_E, 32, S23_A},
                      FeelFact{"amapiano", Lane::hat, 20, 32, 52},
                      FeelFact{"amapiano", Lane::perc, 20, 32, 52},
                      FeelFact{"amapiano", Lane::bass, 20, 32, 52},
                      FeelFact{"funky_toms", Lane::hat, 20, 32, 52},
                      FeelFact{"funky_toms", Lane::perc, 20, 32, 52},
                      FeelFact{"funky_syncopated", Lane::kick, 20, 32, 52},
                      FeelFact{"funky_syncopated", Lane::perc, 20, 32, 52},
                      FeelFact{"broken_shuffle", Lane::snare, S23_E, 32, S23_A},
                      FeelFact{"broken_push", Lane::snare, 16, 32, 48},
                      FeelFact{"reggae_one_drop", Lane::snare, 16, 2 * T, 48},
                      FeelFact{"reggae_one_drop", Lane::hat, 16, 2 * T, 48},
                      FeelFact{"reggae_one_drop", Lane::bass, 16, 2 * T, 48},
                      FeelFact{"ukg_rim_shuffle", Lane::kick, S23_E, 32, S23_A},
                      FeelFact{"ukg_rim_shuffle", Lane::snare, S23_E, 32, S23_A},
                      FeelFact{"amapiano_answer", Lane::hat, 20, 32, 52},
                      FeelFact{"amapiano_answer", Lane::bass, 20, 32, 52},
                      FeelFact{"italo_machine", Lane::hat, 16, 32, 48}),
    [](const ::testing::TestParamInfo<FeelFact>& p) {
        return std::string(p.param.style) + "_" + lane_name(p.param.lane);
    });

// ---- lanes that play or stay silent, and levels ----

TEST(BeatScores, TheBarePulseIsEqualKicksAndNothingElse) {
    const Score& s = style("four_floor");
    for (Lane l : {Lane::snare, Lane::hat, Lane::perc, Lane::bass}) {
        EXPECT_TRUE(lane(s, l).empty()) << lane_name(l);
    }
    for (const Hit& h : s.kick) {
        EXPECT_EQ(h.velocity, s.kick.front().velocity) << h.pip;
    }
}

// Styles whose words leave no ghost notes and no swing: every hit is a main
// note on the straight sixteenth grid.
struct Straight {
    const char* style;
    bool no_ghosts;
};

// Styles whose words keep them on the straight sixteenth grid (no swing, no
// tuplets), some of them without ghost notes too.
TEST(BeatScores, StraightStylesKeepToTheSixteenthGrid) {
    for (const Straight st : {Straight{"house_classic", true}, Straight{"techno_drive", true},
                              Straight{"drill_tresillo", false}, Straight{"amen_four_bar", false},
                              Straight{"amen_no_ghosts", true}, Straight{"dnb_two_step", true},
                              Straight{"trance", true}, Straight{"psy_rolling", true},
                              Straight{"son_clave_32", true}, Straight{"italo_machine", true},
                              Straight{"electro_robot", true}, Straight{"jungle_switchback", false}}) {
        for (Lane l : LANES) {
            for (const Hit& h : lane(style(st.style), l)) {
                EXPECT_EQ(std::fmod(h.pip, 16.0), 0.0) << st.style << " " << lane_name(l) << " " << h.pip;
                if (st.no_ghosts) {
                    EXPECT_GE(h.velocity, 0.5) << st.style << " " << lane_name(l) << " " << h.pip;
                }
            }
        }
    }
}

struct KickFloor {
    const char* style;
    bool every_beat;  // a kick on every beat of the loop
};

TEST(BeatScores, KicksOnEveryBeatWhereTheStyleIsFourToTheFloor) {
    for (const KickFloor k : {KickFloor{"four_floor", true}, KickFloor{"house_jack", true},
                              KickFloor{"techno_polymeter", true}, KickFloor{"ukg_four_four", true},
                              KickFloor{"speed_garage", true}, KickFloor{"bassline", true},
                              KickFloor{"techno_broken", false}, KickFloor{"ukg_two_step", false},
                              KickFloor{"ukg_skip", false}, KickFloor{"trance", true},
                              KickFloor{"rave_breaks", true}, KickFloor{"dembow", true}, KickFloor{"disco", true},
                              KickFloor{"amapiano", true}, KickFloor{"electro", false},
                              KickFloor{"dnb_two_step", false}, KickFloor{"afro_bell", true},
                              KickFloor{"afro_cross", true}, KickFloor{"funky_syncopated", false},
                              KickFloor{"gqom_space", false}, KickFloor{"gqom_exchange", false},
                              KickFloor{"reggae_one_drop", false}, KickFloor{"reggae_steppers", true},
                              KickFloor{"reggae_rockers", false}, KickFloor{"son_clave_32", true},
                              KickFloor{"psy_rolling", true}, KickFloor{"psy_offbeat", false},
                              KickFloor{"italo_machine", true}, KickFloor{"acid_percussion", true},
                              KickFloor{"techno_rumble", true}, KickFloor{"electro_robot", false},
                              KickFloor{"dembow_push", true}, KickFloor{"dancehall_space", false}}) {
        const Score& s = style(k.style);
        bool all = true;
        for (int b = 0; b < s.period; b += 64) {
            all = all && has_hit_at(s, Lane::kick, b);
        }
        EXPECT_EQ(all, k.every_beat) << k.style;
    }
}

TEST(BeatScores, JackinHouseAddsGhostKicksAndClapsToTheHouseBeat) {
    const Score& jack = style("house_jack");
    const Score& plain = style("house_classic");
    EXPECT_EQ(pips(jack, Lane::kick, Pick::main), pips(plain, Lane::kick));
    EXPECT_EQ(pips(jack, Lane::snare, Pick::main), pips(plain, Lane::snare));
    EXPECT_GT(pips(jack, Lane::kick, Pick::quiet).size(), 0u);
    EXPECT_GT(pips(jack, Lane::snare, Pick::quiet).size(), 0u);
}

TEST(BeatScores, ThePercussionCycleClosesWithTheBarsOnlyAtTheLoop) {
    const Score& s = style("techno_polymeter");
    const auto p = pips(s, Lane::perc);
    ASSERT_FALSE(p.empty());
    for (std::size_t i = 0; i < p.size(); ++i) {
        const double next = i + 1 < p.size() ? p[i + 1] : p.front() + s.period;
        EXPECT_EQ(next - p[i], 48.0) << "after " << p[i];
        // on a bar line only where the loop starts
        EXPECT_EQ(std::fmod(p[i], 256.0) == 0.0, i == 0) << p[i];
    }
    EXPECT_EQ(s.period, 3 * 256);
}

TEST(BeatScores, TwoStepHatsShuffleOffTheGrid) {
    const auto h = pips(style("ukg_two_step"), Lane::hat);
    const auto off = std::count_if(h.begin(), h.end(), [](double p) { return std::fmod(p, 16.0) != 0.0; });
    EXPECT_GE(off, 4);
}

TEST(BeatScores, BassLinesCueTheLowEnd) {
    // the speed garage answers fall in the gaps between kicks
    const Score& sg = style("speed_garage");
    ASSERT_FALSE(sg.bass.empty());
    for (const Hit& h : sg.bass) {
        EXPECT_FALSE(has_hit_at(sg, Lane::kick, h.pip)) << h.pip;
    }
    // the bassline hooks are syncopated: none on a beat, and bar two is busier
    const Score& bl = style("bassline");
    for (const Hit& h : bl.bass) {
        EXPECT_NE(std::fmod(h.pip, 64.0), 0.0) << h.pip;
    }
    EXPECT_GT(pips(bl, Lane::bass, Pick::all, 256, 512).size(), pips(bl, Lane::bass, Pick::all, 0, 256).size());
}

// (pip within the bar, velocity, voice) of every hit of a lane in bar b.
std::vector<std::tuple<double, double, int>> bar(const Score& s, Lane l, int b) {
    std::vector<std::tuple<double, double, int>> out;
    for (const Hit& h : lane(s, l)) {
        if (h.pip >= 256.0 * b && h.pip < 256.0 * (b + 1)) {
            out.emplace_back(h.pip - 256.0 * b, h.velocity, h.voice);
        }
    }
    return out;
}

std::size_t count(const Score& s, Lane l, Pick p, double from, double to) {
    return pips(s, l, p, from, to).size();
}

TEST(BeatScores, SparseGrimeCutsSquareOneSixteenthStabs) {
    const Score& s = style("grime_sparse");
    for (int b = 0; b < 2; ++b) {
        EXPECT_GE(bar(s, Lane::kick, b).size(), 1u);
        EXPECT_LE(bar(s, Lane::kick, b).size(), 2u);
    }
    ASSERT_FALSE(s.bass.empty());
    for (const Hit& h : s.bass) {
        EXPECT_EQ(h.length, 16.0) << h.pip;
    }
    // half-time grime leaves bar one without hats
    EXPECT_TRUE(bar(style("grime_half"), Lane::hat, 0).empty());
    EXPECT_FALSE(bar(style("grime_half"), Lane::hat, 1).empty());
}

TEST(BeatScores, TheBreakRunsFourBarsWithTheFirstTwoAlike) {
    const Score& s = style("amen_four_bar");
    EXPECT_EQ(s.period, 1024);
    for (Lane l : LANES) {
        EXPECT_EQ(bar(s, l, 0), bar(s, l, 1)) << lane_name(l);
    }
    // bars three and four are not a repeat of the first two
    EXPECT_NE(bar(s, Lane::snare, 2), bar(s, Lane::snare, 0));
    EXPECT_NE(bar(s, Lane::kick, 3), bar(s, Lane::kick, 1));
}

TEST(BeatScores, TheGhostFreeBreakDropsOnlyItsQuietSnares) {
    const Score& full = style("amen_four_bar");
    const Score& bare = style("amen_no_ghosts");
    for (Lane l : {Lane::kick, Lane::hat, Lane::perc, Lane::bass}) {
        EXPECT_TRUE(same_hits(lane(full, l), lane(bare, l))) << lane_name(l);
    }
    std::vector<Hit> loud;
    std::copy_if(full.snare.begin(), full.snare.end(), std::back_inserter(loud),
                 [](const Hit& h) { return h.velocity >= 0.5; });
    EXPECT_TRUE(same_hits(bare.snare, loud));
    EXPECT_EQ(full.snare.size() - bare.snare.size(), 10u);
}

TEST(BeatScores, ChoppedJungleRearrangesRatherThanReplaysTheBreak) {
    const Score& chops = style("jungle_chops");
    const Score& amen = style("amen_four_bar");
    for (int b = 0; b < 2; ++b) {
        for (int a = 0; a < 4; ++a) {
            const bool same = bar(chops, Lane::kick, b) == bar(amen, Lane::kick, a) &&
                              bar(chops, Lane::snare, b) == bar(amen, Lane::snare, a);
            EXPECT_FALSE(same) << "bar " << b + 1 << " is break bar " << a + 1;
        }
    }
}

TEST(BeatScores, TheJungleRollSwellsAndGhostsOutnumberBackbeats) {
    const Score& s = style("jungle_ghosts");
    double last = 0.0;
    for (const Hit& h : s.snare) {
        if (h.pip > 448) {
            EXPECT_GT(h.velocity, last) << h.pip;
            last = h.velocity;
        }
    }
    // before the roll, the backbeats are buried in ghosts
    EXPECT_GT(count(s, Lane::snare, Pick::quiet, 0, 449), 2 * count(s, Lane::snare, Pick::main, 0, 449));
}

TEST(BeatScores, TheSwitchHalvesItsMainSnaresButNotItsTempo) {
    const Score& s = style("jungle_switch");
    EXPECT_LT(count(s, Lane::snare, Pick::main, 512, 1024), count(s, Lane::snare, Pick::main, 0, 512));
    const auto ride = pips(s, Lane::hat);
    ASSERT_EQ(ride.size(), 32u);
    for (std::size_t i = 0; i < ride.size(); ++i) {
        EXPECT_EQ(ride[i], 32.0 * static_cast<double>(i));
    }
    EXPECT_GT(count(s, Lane::snare, Pick::quiet, 512, 1024), 0u);
}

TEST(BeatScores, RollingGhostsSurroundEveryBackbeat) {
    const Score& s = style("dnb_rolling");
    for (double b : pips(s, Lane::snare, Pick::main)) {
        const auto near = pips(s, Lane::snare, Pick::quiet, b - 48, b + 49);
        EXPECT_GE(near.size(), 2u) << "backbeat " << b;
    }
    const auto h = pips(s, Lane::hat);
    EXPECT_EQ(h.size(), 32u);  // every sixteenth
}

TEST(BeatScores, ElectroKicksAvoidBeatsTwoToFour) {
    const Score& s = style("electro");
    for (double beat : {64, 128, 192, 320, 384, 448}) {
        EXPECT_FALSE(has_hit_at(s, Lane::kick, beat)) << beat;
    }
    EXPECT_FALSE(s.perc.empty());
}

TEST(BeatScores, TheRaveBreakKicksAreQuieterThanTheFloor) {
    const Score& s = style("rave_breaks");
    double floor_level = 1.0;
    double break_level = 0.0;
    for (const Hit& h : s.kick) {
        if (h.voice == 0) {
            floor_level = std::min(floor_level, h.velocity);
        } else {
            EXPECT_NE(std::fmod(h.pip, 64.0), 0.0) << "break kick on a beat at " << h.pip;
            break_level = std::max(break_level, h.velocity);
        }
    }
    EXPECT_GT(break_level, 0.0);
    EXPECT_LT(break_level, floor_level);
}

TEST(BeatScores, DiscoOpensItsLoudestHatsOnTheAnds) {
    const Score& s = style("disco");
    for (const Hit& h : s.hat) {
        const double within = std::fmod(h.pip, 64.0);
        if (within == 32.0) {
            EXPECT_EQ(h.velocity, 1.0) << h.pip;
        } else {
            EXPECT_LT(h.velocity, 1.0) << h.pip;
        }
    }
    // sixteenth pickups into beats 3 and 4 of bar two
    EXPECT_TRUE(has_hit_at(s, Lane::hat, 256 + 144) && has_hit_at(s, Lane::hat, 256 + 208));
}

TEST(BeatScores, AmapianoCuesItsLogDrumInTheBassLane) {
    const Score& s = style("amapiano");
    EXPECT_GE(s.bass.size(), 8u);
    EXPECT_GE(s.perc.size(), 8u);
    for (const Hit& h : s.kick) {
        EXPECT_LT(h.velocity, 0.7) << "soft kick at " << h.pip;
    }
}

// Gaps, in sixteenths, between the onsets of one lane in one bar, the last
// running to the end of the bar: the grouping a drummer counts.
struct Grouping {
    const char* style;
    Lane lane;
    int bar;
    std::vector<int> sixteenths;
};

TEST(BeatScores, OnsetsGroupAsTheWordsCount) {
    for (const Grouping& g : {
             Grouping{"drill_tresillo", Lane::hat, 0, {3, 3, 2, 3, 3, 2}},
             Grouping{"drill_tresillo", Lane::hat, 1, {3, 3, 2, 3, 3, 2}},
             Grouping{"jersey_five", Lane::kick, 0, {4, 4, 3, 3, 2}},
             Grouping{"jersey_five", Lane::kick, 1, {4, 4, 3, 3, 2}},
             Grouping{"footwork_triplet", Lane::kick, 0, {3, 3, 3, 3, 4}},
             Grouping{"jersey_call", Lane::kick, 1, {3, 3, 2, 2, 2, 1, 1, 1, 1}},
             Grouping{"baile_toms", Lane::kick, 0, {3, 3, 4, 3, 3}},
             Grouping{"baile_response", Lane::kick, 0, {3, 3, 2, 3, 3, 2}},
             Grouping{"electro_robot", Lane::kick, 0, {5, 5, 6}},
             Grouping{"electro_robot", Lane::kick, 1, {3, 5, 3, 5}},
             Grouping{"amapiano_answer", Lane::bass, 1, {3, 3, 2, 3, 3, 2}},
         }) {
        const Score& s = style(g.style);
        std::vector<int> gaps;
        const auto b = bar(s, g.lane, g.bar);
        for (std::size_t i = 0; i < b.size(); ++i) {
            const double next = i + 1 < b.size() ? std::get<0>(b[i + 1]) : 256.0;
            gaps.push_back(static_cast<int>(std::lround((next - std::get<0>(b[i])) / 16.0)));
        }
        EXPECT_EQ(gaps, g.sixteenths) << g.style << " " << lane_name(g.lane) << " bar " << g.bar + 1;
        ASSERT_FALSE(b.empty());
        EXPECT_EQ(std::get<0>(b.front()), 0.0) << g.style;
    }
}

TEST(BeatScores, InterruptedFootworkFallsSilentForTheLastBeat) {
    const Score& s = style("footwork_sparse");
    for (Lane l : LANES) {
        EXPECT_TRUE(pips(s, l, Pick::all, 448, 512).empty()) << lane_name(l);
    }
    for (const Hit& h : s.bass) {
        EXPECT_LE(h.pip + h.length, 448.0) << h.pip;
    }
    // the kick bursts in threes where bar one held back
    EXPECT_GT(count(s, Lane::kick, Pick::all, 256, 448), count(s, Lane::kick, Pick::all, 0, 192));
}

TEST(BeatScores, FunkyTomsLeadWithTwoTomsNeverStruckTogether) {
    const Score& s = style("funky_toms");
    const auto high = pips(s, Lane::perc, Pick::voice0);
    const auto low = pips(s, Lane::perc, Pick::voice1);
    EXPECT_GE(high.size(), 6u);
    EXPECT_GE(low.size(), 6u);
    for (double p : low) {
        EXPECT_EQ(std::count(high.begin(), high.end(), p), 0) << p;
    }
}

TEST(BeatScores, BrokenFunkyMovesItsSecondClap) {
    const Score& s = style("funky_syncopated");
    ASSERT_EQ(pips(s, Lane::snare).size(), 4u);
    EXPECT_NE(std::fmod(pips(s, Lane::snare)[1], 64.0), 0.0);  // bar one: off the beat
    EXPECT_EQ(pips(s, Lane::snare)[3], 448.0);                 // bar two: on 4
}

TEST(BeatScores, BrokenBeatAnswersEarlyThenLate) {
    const auto sn = pips(style("broken_push"), Lane::snare);
    ASSERT_EQ(sn.size(), 4u);
    EXPECT_EQ(sn[0], 64.0);
    EXPECT_EQ(sn[2], 320.0);
    EXPECT_GT(sn[1], 128.0);  // after beat 3 of bar one, before its beat 4
    EXPECT_LT(sn[1], 192.0);
    EXPECT_GT(sn[3], 448.0);  // after beat 4 of bar two
}

TEST(BeatScores, TheRimCircuitStepsFiveSixteenthsAndRestartsWithTheLoop) {
    const auto rim = pips(style("broken_shuffle"), Lane::snare, Pick::voice1);
    ASSERT_EQ(rim.size(), 7u);
    for (std::size_t i = 0; i < rim.size(); ++i) {
        // the nominal step under the 2/3 swing: 0, 64/3, 32, 160/3 within a beat
        const double within = std::fmod(rim[i], 64.0);
        const double nominal = rim[i] - within + (within > 50 ? 48.0 : within > 30 ? 32.0 : within > 10 ? 16.0 : 0.0);
        EXPECT_EQ(nominal, 16.0 + 80.0 * static_cast<double>(i)) << rim[i];
    }
}

TEST(BeatScores, TheBellMeetsTheKickOnlyOnBeatsOneAndTwo) {
    const Score& s = style("afro_bell");
    for (int b = 0; b < 2; ++b) {
        EXPECT_EQ(bar(s, Lane::perc, b).size(), 7u);
        std::vector<double> met;
        for (const auto& [pip, v, voice] : bar(s, Lane::perc, b)) {
            if (has_hit_at(s, Lane::kick, pip + 256.0 * b)) {
                met.push_back(pip);
            }
        }
        EXPECT_EQ(met, (std::vector<double>{0.0, 64.0})) << "bar " << b + 1;
    }
}

TEST(BeatScores, ThreeOverFourPercussionLeavesTheSixteenthGrid) {
    const Score& s = style("afro_cross");
    for (Lane l : {Lane::perc, Lane::hat}) {
        const auto p = pips(s, l);
        EXPECT_EQ(p.size(), l == Lane::hat ? 24u : 14u);
        for (double x : p) {
            const double pulses = x / T;
            EXPECT_NEAR(pulses, std::round(pulses), 1e-9) << x;  // on the triplet lattice
        }
        EXPECT_TRUE(std::any_of(p.begin(), p.end(), [](double x) { return std::fmod(x, 16.0) != 0.0; }));
    }
}

TEST(BeatScores, GqomLeavesSpaceAndStaggersTheTomBehindTheKick) {
    const Score& space = style("gqom_space");
    EXPECT_TRUE(space.hat.empty());
    EXPECT_EQ(bar(space, Lane::snare, 0).size(), 1u);
    EXPECT_EQ(bar(space, Lane::snare, 1).size(), 1u);
    const Score& ex = style("gqom_exchange");
    const auto k = pips(ex, Lane::kick);
    const auto t = pips(ex, Lane::perc);
    ASSERT_EQ(k.size(), t.size());
    for (std::size_t i = 0; i < k.size(); ++i) {
        EXPECT_EQ(t[i] - k[i], 48.0) << "kick at " << k[i];
    }
}

TEST(BeatScores, BaileDrumsTalkInTurns) {
    const Score& toms = style("baile_toms");
    ASSERT_FALSE(toms.perc.empty());
    for (const Hit& h : toms.perc) {
        EXPECT_FALSE(has_hit_at(toms, Lane::kick, h.pip)) << h.pip;
    }
    // the answer: bar two thins the kick and moves every clap off the beat
    const Score& resp = style("baile_response");
    EXPECT_LT(bar(resp, Lane::kick, 1).size(), bar(resp, Lane::kick, 0).size());
    for (const auto& [pip, v, voice] : bar(resp, Lane::snare, 1)) {
        EXPECT_NE(std::fmod(pip, 64.0), 0.0) << pip;
    }
}

TEST(BeatScores, TheOneDropLeavesTheDownbeatEmpty) {
    const Score& s = style("reggae_one_drop");
    for (double p : {0.0, 256.0}) {
        for (Lane l : {Lane::kick, Lane::snare, Lane::bass}) {
            EXPECT_FALSE(has_hit_at(s, l, p)) << lane_name(l) << " " << p;
        }
    }
    // kick and cross-stick land together
    EXPECT_EQ(pips(s, Lane::snare, Pick::main), pips(s, Lane::kick));
}

TEST(BeatScores, TheTwoSonClavesAreOneClaveStartedOnOppositeSides) {
    const Score& a = style("son_clave_32");
    const Score& b = style("son_clave_23");
    for (Lane l : {Lane::kick, Lane::snare, Lane::hat, Lane::bass}) {
        EXPECT_TRUE(same_hits(lane(a, l), lane(b, l))) << lane_name(l);
    }
    EXPECT_EQ(pips(a, Lane::perc, Pick::voice1), pips(b, Lane::perc, Pick::voice1));
    // the 3-side is the bar of three strokes
    EXPECT_EQ(count(a, Lane::perc, Pick::voice0, 0, 256), 3u);
    EXPECT_EQ(count(b, Lane::perc, Pick::voice0, 0, 256), 2u);
    std::vector<double> turned;
    for (double p : pips(a, Lane::perc, Pick::voice0)) {
        turned.push_back(std::fmod(p + 256.0, 512.0));
    }
    std::sort(turned.begin(), turned.end());
    EXPECT_EQ(turned, pips(b, Lane::perc, Pick::voice0));
}

TEST(BeatScores, PsyBassRollsThreeSixteenthsAfterEveryKick) {
    const Score& s = style("psy_rolling");
    EXPECT_TRUE(s.snare.empty());
    for (double k : pips(s, Lane::kick)) {
        const auto after = pips(s, Lane::bass, Pick::all, k, k + 64);
        if (k == 448) {
            EXPECT_TRUE(after.empty());  // the gap before the loop turns
        } else {
            expect_pips(after, {k + 16, k + 32, k + 48});
        }
    }
}

TEST(BeatScores, BassTakesTheBeatTheKickGivesUp) {
    for (const char* key : {"psy_offbeat", "hard_reverse"}) {
        const Score& s = style(key);
        EXPECT_FALSE(has_hit_at(s, Lane::kick, 448)) << key;
        EXPECT_TRUE(has_hit_at(s, Lane::bass, 448)) << key;
    }
    // the swells start on the e after each kick and run up to the next beat
    for (const Hit& h : style("hard_reverse").bass) {
        EXPECT_EQ(std::fmod(h.pip + h.length, 64.0), 0.0) << h.pip;
        EXPECT_TRUE(h.pip == 448 || std::fmod(h.pip, 64.0) == 16.0) << h.pip;
    }
}

TEST(BeatScores, TheItaloRimTalksInTheClapsGaps) {
    const Score& s = style("italo_machine");
    const auto clap = pips(s, Lane::snare, Pick::voice0);
    const auto rim = pips(s, Lane::snare, Pick::voice1);
    EXPECT_EQ(clap, (std::vector<double>{64, 192, 320, 448}));
    ASSERT_GE(rim.size(), 6u);
    for (double r : rim) {
        EXPECT_EQ(std::count(clap.begin(), clap.end(), r), 0) << r;
        EXPECT_FALSE(has_hit_at(s, Lane::kick, r)) << r;
    }
    expect_pips(pips(s, Lane::bass), [] {
        std::vector<double> eighths;
        for (int i = 0; i < 16; ++i) eighths.push_back(32.0 * i);
        return eighths;
    }());
}

// Lanes whose notes keep off the quarter-note beats.
struct Offbeat {
    const char* style;
    Lane lane;
    Pick pick;
};

TEST(BeatScores, SyncopatedLanesStayOffTheBeat) {
    for (const Offbeat o : {Offbeat{"acid_percussion", Lane::bass, Pick::accent},
                            Offbeat{"dancehall_space", Lane::snare, Pick::all},
                            Offbeat{"dembow", Lane::snare, Pick::all}, Offbeat{"trance", Lane::bass, Pick::all},
                            Offbeat{"amapiano_answer", Lane::snare, Pick::all},
                            Offbeat{"ukg_rim_shuffle", Lane::snare, Pick::voice1},
                            Offbeat{"techno_rumble", Lane::bass, Pick::all}}) {
        const auto p = pips(style(o.style), o.lane, o.pick);
        EXPECT_GE(p.size(), 4u) << o.style;
        for (double x : p) {
            EXPECT_NE(std::fmod(x, 64.0), 0.0) << o.style << " " << lane_name(o.lane) << " " << x;
        }
    }
    // the acid slides hold across the beat that follows an off-beat note
    const auto& acid = style("acid_percussion").bass;
    EXPECT_TRUE(std::any_of(acid.begin(), acid.end(), [](const Hit& h) { return h.length > 16.0; }));
}

TEST(BeatScores, TheRumbleAnswersEachKickLate) {
    const Score& s = style("techno_rumble");
    ASSERT_EQ(s.bass.size(), 8u);
    for (std::size_t i = 0; i < s.bass.size(); ++i) {
        const double delay = s.bass[i].pip - 64.0 * static_cast<double>(i);
        EXPECT_EQ(delay, i < 4 ? 16.0 : i < 7 ? 32.0 : 16.0) << s.bass[i].pip;
    }
    EXPECT_EQ(pips(s, Lane::snare), (std::vector<double>{496}));
}

TEST(BeatScores, RimShuffleGarageHasNoHats) {
    const Score& s = style("ukg_rim_shuffle");
    EXPECT_TRUE(s.hat.empty());
    EXPECT_GE(pips(s, Lane::snare, Pick::voice1).size(), 10u);
}

TEST(BeatScores, DnbGhostsReplyAnEighthAfterTheBackbeat) {
    const Score& s = style("dnb_push");
    for (double g : pips(s, Lane::snare, Pick::quiet)) {
        EXPECT_TRUE(has_hit_at(s, Lane::snare, g - 32)) << g;
    }
}

TEST(BeatScores, TheSwitchbackSwapsBarOnesLastTwoBeats) {
    const Score& s = style("jungle_switchback");
    auto slice = [&](Lane l, int bar_index, int beat) {
        std::vector<std::pair<double, double>> out;
        const double start = 256.0 * bar_index + 64.0 * beat;
        for (const Hit& h : lane(s, l)) {
            if (h.pip >= start && h.pip < start + 64) {
                out.emplace_back(h.pip - start, h.velocity);
            }
        }
        return out;
    };
    for (Lane l : {Lane::kick, Lane::snare, Lane::hat}) {
        EXPECT_EQ(slice(l, 1, 0), slice(l, 0, 0)) << lane_name(l);
        EXPECT_EQ(slice(l, 1, 1), slice(l, 0, 1)) << lane_name(l);
        EXPECT_EQ(slice(l, 1, 2), slice(l, 0, 3)) << lane_name(l);
        EXPECT_EQ(slice(l, 1, 3), slice(l, 0, 2)) << lane_name(l);
    }
    EXPECT_NE(slice(Lane::snare, 0, 2), slice(Lane::snare, 0, 3));
    EXPECT_TRUE(has_hit_at(s, Lane::snare, 384) && has_hit_at(s, Lane::kick, 256 + 208));
}

TEST(BeatScores, TheLogDrumHoldsInBarOneAndAnswersInBarTwo) {
    const Score& s = style("amapiano_answer");
    ASSERT_EQ(bar(s, Lane::bass, 0).size(), 1u);
    EXPECT_GE(s.bass.front().length, 64.0);
    EXPECT_GE(bar(s, Lane::bass, 1).size(), 6u);
}

TEST(BeatScores, ThePickupAnswerReplacesTheLastDembowSnare) {
    const Score& plain = style("dembow");
    const Score& push = style("dembow_push");
    for (Lane l : {Lane::kick, Lane::snare, Lane::hat}) {
        EXPECT_EQ(bar(push, l, 0), bar(plain, l, 0)) << lane_name(l);
    }
    EXPECT_EQ(count(push, Lane::snare, Pick::all, 256, 512) + 1, count(plain, Lane::snare, Pick::all, 256, 512));
    double last = 0.0;
    for (const Hit& h : push.perc) {
        EXPECT_GT(h.velocity, last) << "the pickup rises at " << h.pip;
        last = h.velocity;
    }
}

}  // namespace
