// The styles' scores, written as drum grids a drummer can read and correct.
//
// A lane line holds every bar of the loop, bars separated by '|', one
// character a sixteenth (16 pips; beat 1 is step 0, beat 2 step 4, ...):
//   X accent (1.0)   x normal (0.7)   o soft (0.5)   g ghost (0.3)   . rest
// In a bass line '=' holds the note before it one more sixteenth; the note's
// length runs from its onset to the start of the first step after its last '='.
// Swing is a Feel: where the e, & and a of every beat land, in pips from the
// beat; it applies to the lines written after it is set. Tuplets, rolls and
// fills that do not sit on sixteenths are listed as exact pips (fractions as
// exact expressions), and a lane laid out in triplet eighths has its own
// twelve-to-a-bar line.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "beat/score.hpp"

namespace trovelin::recipes::beat {
namespace {

constexpr double BAR = 256.0;
constexpr double BEAT = 64.0;

constexpr double ACCENT = 1.0;
constexpr double NORMAL = 0.7;
constexpr double SOFT = 0.5;
constexpr double GHOST = 0.3;

// Where the e, & and a of a beat land, in pips after the beat.
struct Feel {
    double e;
    double et;  // the &
    double a;
};

constexpr Feel STRAIGHT{16.0, 32.0, 48.0};
constexpr Feel SWING_2_3{64.0 / 3, 32.0, 160.0 / 3};  // triplet swing of the sixteenths
constexpr Feel SWING_5_8{20.0, 32.0, 52.0};           // a lighter sixteenth swing
constexpr Feel LATE_AND{16.0, 128.0 / 3, 48.0};       // eighths swung to the last triplet

enum class Lane { kick, snare, hat, perc, bass };

double level(char mark) {
    switch (mark) {
        case 'X': return ACCENT;
        case 'x': return NORMAL;
        case 'o': return SOFT;
        case 'g': return GHOST;
        default: return 0.0;
    }
}

// One style's score, written lane line by lane line.
class Sheet {
public:
    // The style's key and label, its loop in pips, and how many of its first
    // gestures stay in the x-y plane. A style without a note() call carries
    // no note: its first gestures are described by their own sentences.
    Sheet(std::string key, std::string label, int period, int planar_gestures) {
        s_.key = std::move(key);
        s_.label = std::move(label);
        s_.period = period;
        s_.planar_gestures = planar_gestures;
    }

    // Styles 1 to 36 describe their first four gestures by this note, which
    // may be empty.
    Sheet& note(std::string text) {
        s_.has_note = true;
        s_.note = std::move(text);
        return *this;
    }

    // The swing of the lines that follow.
    Sheet& feel(Feel f) {
        feel_ = f;
        return *this;
    }

    Sheet& kick(std::string_view line, int voice = 0) { return drums(Lane::kick, line, voice); }
    Sheet& snare(std::string_view line, int voice = 0) { return drums(Lane::snare, line, voice); }
    Sheet& hat(std::string_view line, int voice = 0) { return drums(Lane::hat, line, voice); }
    Sheet& perc(std::string_view line, int voice = 0) { return drums(Lane::perc, line, voice); }

    Sheet& bass(std::string_view line) {
        const std::string steps = sixteenths(line);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const char c = steps[i];
            if (c == '.' || c == '=') {
                if (c == '=' && (i == 0 || (steps[i - 1] != '=' && level(steps[i - 1]) == 0.0))) {
                    fail("a bass hold with no note before it");
                }
                continue;
            }
            std::size_t end = i + 1;
            while (end < steps.size() && steps[end] == '=') {
                ++end;
            }
            const double onset = at(i);
            lane(Lane::bass).push_back({onset, mark(c), at(end) - onset, 0});
        }
        return *this;
    }

    // A line of triplet eighths: twelve characters a bar, three to a beat.
    Sheet& triplets(Lane which, std::string_view line, int voice = 0) {
        const std::string steps = bars(line, 12);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i] != '.') {
                const auto step = static_cast<double>(i % 12);
                const auto bar = static_cast<double>(i / 12);
                lane(which).push_back({BAR * bar + (BAR * step) / 12, mark(steps[i]), 0.0, voice});
            }
        }
        return *this;
    }

    // Hits off the sixteenth grid, at exact pips.
    Sheet& at(Lane which, std::vector<Hit> hits) {
        for (const Hit& h : hits) {
            if (!(h.pip >= 0.0 && h.pip < s_.period)) {
                fail("a hit outside the loop");
            }
            lane(which).push_back(h);
        }
        return *this;
    }

    // The finished score: every lane in time order (voices in order within a pip).
    Score score() const {
        Score out = s_;
        for (auto* l : {&out.kick, &out.snare, &out.hat, &out.perc, &out.bass}) {
            std::stable_sort(l->begin(), l->end(), [](const Hit& a, const Hit& b) {
                return a.pip < b.pip || (a.pip == b.pip && a.voice < b.voice);
            });
        }
        return out;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::invalid_argument("beat score " + s_.key + ": " + what);
    }

    std::vector<Hit>& lane(Lane which) {
        switch (which) {
            case Lane::kick: return s_.kick;
            case Lane::snare: return s_.snare;
            case Lane::hat: return s_.hat;
            case Lane::perc: return s_.perc;
            case Lane::bass: return s_.bass;
        }
        return s_.bass;
    }

    double mark(char c) const {
        const double v = level(c);
        if (v == 0.0) {
            fail(std::string("an unknown mark '") + c + "'");
        }
        return v;
    }

    // The characters of a line without its bar lines, checked to fill the loop.
    std::string bars(std::string_view line, std::size_t per_bar) const {
        std::string steps;
        std::size_t in_bar = 0;
        for (char c : line) {
            if (c == '|') {
                if (in_bar != per_bar) {
                    fail("a bar of " + std::to_string(in_bar) + " steps in \"" + std::string(line) + "\"");
                }
                in_bar = 0;
            } else {
                steps += c;
                ++in_bar;
            }
        }
        if (in_bar != per_bar || steps.size() * 256 != per_bar * static_cast<std::size_t>(s_.period)) {
            fail("a line that does not fill the loop: \"" + std::string(line) + "\"");
        }
        return steps;
    }

    std::string sixteenths(std::string_view line) const { return bars(line, 16); }

    // Where step i of the sixteenth grid lands under the current feel; the
    // step after the last is the end of the loop.
    double at(std::size_t i) const {
        const auto beat = static_cast<double>(i / 4);
        const double within[4] = {0.0, feel_.e, feel_.et, feel_.a};
        return BEAT * beat + within[i % 4];
    }

    Sheet& drums(Lane which, std::string_view line, int voice) {
        const std::string steps = sixteenths(line);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i] != '.') {
                lane(which).push_back({at(i), mark(steps[i]), 0.0, voice});
            }
        }
        return *this;
    }

    Score s_;
    Feel feel_ = STRAIGHT;
};

// Styles 1 to 4: the bare pulse and house.
void four_floor_and_house(std::vector<Score>& s) {
    s.push_back(Sheet("four_floor", "Four to the floor / bare pulse", 256, 3)
                    .note("Equal quarter-note kicks only. This shared foundation is not itself a complete genre.")
                    .kick("x...x...x...x...")
                    .score());

    s.push_back(Sheet("house_classic", "House / kick-clap-offbeat hat", 512, 2)
                    .note("")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .score());

    s.push_back(Sheet("house_shuffle", "House / shuffled hats", 512, 2)
                    .note("")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .feel(SWING_2_3)
                    .hat  ("..Xg..Xg..Xg..Xg|..Xg..Xg..Xg.gXg")
                    .score());

    s.push_back(Sheet("house_jack", "Jackin house / ghost-kick turnaround", 512, 2)
                    .note("Original swung variant: extra ghost kicks and claps; not a transcription of a named track.")
                    .feel(SWING_5_8)
                    .kick ("x...x...x...x..g|x...x..gx...x.gg")
                    .snare("....x..g....x...|....x..g....xg.g")
                    .hat  ("xgXgxgXgxgXgxgXg|xgXgxgXgxgXgxgXg")
                    .score());
}

// Styles 5 to 8: techno.
void techno(std::vector<Score>& s) {
    s.push_back(Sheet("techno_drive", "Techno / straight driving pulse", 512, 2)
                    .note("")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("xxXxxxXxxxXxxxXx|xxXxxxXxxxXxxxXx")
                    .score());

    // The high tom calls in bar one, the low tom (voice 1) answers in bar two.
    s.push_back(Sheet("techno_toms", "Techno / tom conversation", 512, 2)
                    .note("")
                    .kick("x...x...x...x...|x...x...x...x...")
                    .hat ("..x...x...x...x.|..x...x...x...x.")
                    .perc("...x..x....x..x.|...x............")
                    .perc("................|......x..x..x.x.", 1)
                    .score());

    s.push_back(Sheet("techno_broken", "Techno / broken kick study", 512, 2)
                    .note("A deliberately broken alternative; not all techno uses a quarter-note kick.")
                    .kick ("x.....x...x..x..|x..x......x.....")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("x.X.x.X.x.X.x.X.|x.X.x.X.x.X.x.X.")
                    .score());

    // A blip every three sixteenths: sixteen of them fill the three bars.
    s.push_back(Sheet("techno_polymeter", "Techno / three-step percussion cycle", 768, 2)
                    .note("Original three-sixteenth percussion cycle over 4/4: both layers close after three bars.")
                    .kick ("x...x...x...x...|x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...|....x.......x...")
                    .hat  ("..x...x...x...x.|..x...x...x...x.|..x...x...x...x.")
                    .perc ("X..x..x..x..x..x|..x..x..x..x..x.|.x..x..x..x..x..")
                    .score());
}

// Styles 9 to 13: UK garage and its offshoots.
void garage(std::vector<Score>& s) {
    s.push_back(Sheet("ukg_two_step", "UK garage / two-step foundation", 512, 2)
                    .note("Backbeats on 2/4; the second kick sits on the & of 3. Off-grid hats supply shuffle.")
                    .kick ("x.........x.....|x.........x.....")
                    .feel(SWING_2_3)
                    .snare("....X.......X...|....X.......X..g")
                    .hat  ("..xg..xg..xg.gxg|..xg.gxg..xg..xg")
                    .score());

    // Rim ghosts (voice 1) skip between the snares.
    s.push_back(Sheet("ukg_skip", "UK garage / skipping answer", 512, 2)
                    .note("")
                    .feel(SWING_2_3)
                    .kick ("x..x......x.....|x......x.x...x..")
                    .snare("....X.......X...|....X.......X...")
                    .snare(".......g...g....|.g.........g....", 1)
                    .feel(STRAIGHT)
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .score());

    s.push_back(Sheet("ukg_four_four", "UK garage / four-four shuffle", 512, 2)
                    .note("Garage also has a four-to-the-floor branch; it is not all two-step.")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .feel(SWING_2_3)
                    .snare("...gX......gX...|...gX......gX..g")
                    .hat  (".gXg.gXg.gXg.gXg|.gXg.gXg.gXg.gXg")
                    .score());

    s.push_back(Sheet("speed_garage", "Speed garage / offbeat bass answers", 512, 0)
                    .note("Bass onsets are included as movement cues. Audio uses a simple synth, not a sampled Reese patch.")
                    .feel(SWING_2_3)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x..g")
                    .hat  ("g.X.g.X.g.X.g.Xg|g.X.g.X.g.X.g.Xg")
                    .bass ("..x=..x=..x=..x=|..x=..x=...x=.x=")
                    .score());

    s.push_back(Sheet("bassline", "Bassline / syncopated low-end hooks", 512, 0)
                    .note("")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .bass (".x=x..x=.x=x..x=|.x=x..x=.x.x.xx=")
                    .score());
}

// Styles 14 to 19: grime and UK drill.
void grime_and_drill(std::vector<Score>& s) {
    // Square-wave bass stabs, one sixteenth each.
    s.push_back(Sheet("grime_sparse", "Grime / sparse square-cut backbeat", 512, 2)
                    .note("")
                    .kick ("x...............|x........x......")
                    .snare("....X.......X...|....X.......X...")
                    .hat  ("........x.......|........x.....x.")
                    .bass ("x..x......x.....|x..x.....x.x....")
                    .score());

    s.push_back(Sheet("grime_syncopated", "Grime / displaced snare conversation", 512, 2)
                    .note("A 140 BPM syncopated study; grime has no single mandatory snare pattern.")
                    .kick ("x.....x.......x.|x..x.......x....")
                    .snare("....X......X....|......X.....X..g")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    s.push_back(Sheet("grime_half", "Grime / half-time negative space", 512, 0)
                    .note("")
                    .kick ("x...............|x.....x.......x.")
                    .snare("........X.......|........X.......")
                    .hat  ("................|..x...x...x...x.")
                    .bass ("x=======........|x=====......x===")
                    .score());

    s.push_back(Sheet("drill_tresillo", "UK drill / grouped hats", 512, 0)
                    .note("3+3+2 sixteenth grouping is not a tuplet: the grid here remains straight.")
                    .kick ("x.........x.....|x......x........")
                    .snare("........X.......|........X.......")
                    .hat  ("x..x..x.x..x..x.|x..x..x.x..x..x.")
                    .bass ("x=========x=====|x======x========")
                    .score());

    s.push_back(Sheet("drill_displaced", "UK drill / moving second-bar snare", 512, 0)
                    .note("Snare: beat 3 in bar one, beat 4 in bar two. This is one common design, not a rule for all drill.")
                    .kick ("x......x..x.....|x.....x.x.......")
                    .snare("........X.......|............X...")
                    .hat  ("x.x.x.xxx.x.x.xx|x.x.x.xxx.x.x.x.")
                    .bass ("x======x==x=====|x=====x=x===....")
                    .score());

    // The fill: eighth-note triplets across beats 3 and 4 of bar two.
    s.push_back(Sheet("drill_rolls", "UK drill / true triplet hat fill", 512, 0)
                    .note("The added hat fill uses rational tuplets; grouped hats and triplet rolls remain distinct concepts.")
                    .kick ("x..x......x.....|x.........x..x..")
                    .snare("........X.......|........X.......")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.........")
                    .at(Lane::hat, {{384.0, ACCENT}, {384 + 64.0 / 3, NORMAL}, {384 + 128.0 / 3, NORMAL},
                                    {448.0, ACCENT}, {448 + 64.0 / 3, NORMAL}, {448 + 128.0 / 3, NORMAL}})
                    .bass ("x==x======x=====|x=========x==x==")
                    .score());
}

// The break of styles 20 and 21: kick, ride, and the crash (voice 1) that
// takes the ride's place on the & of 3 in bar four.
constexpr std::string_view AMEN_KICK =
    "x.x.......xx....|x.x.......xx....|x.x.......x.....|..xx......x.....";
constexpr std::string_view AMEN_RIDE =
    "x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.|x.x.x.x.x...x.x.";
constexpr std::string_view AMEN_CRASH =
    "................|................|................|..........X.....";

// Styles 20 to 24: the break and jungle.
void amen_and_jungle(std::vector<Score>& s) {
    s.push_back(Sheet("amen_four_bar", "Amen / four-bar structural study", 1024, 0)
                    .note("G. C. Coleman of The Winstons on Amen, Brother. Four bars, not a generic 2-bar loop. "
                          "Timing/velocity are approximations; no original recording or measured human microtiming.")
                    .kick (AMEN_KICK)
                    .snare("....X..g.g..X..g|....X..g.g..X..g|....X..g.g....X.|.x..X..g.g....X.")
                    .hat  (AMEN_RIDE)
                    .hat  (AMEN_CRASH, 1)
                    .score());

    // The same break with its ghost snares taken out.
    s.push_back(Sheet("amen_no_ghosts", "Amen / remove the ghost snares", 1024, 0)
                    .note("A/B study: only quiet snares removed. This deliberately simplified version is not the complete Amen.")
                    .kick (AMEN_KICK)
                    .snare("....X.......X...|....X.......X...|....X.........X.|.x..X.........X.")
                    .hat  (AMEN_RIDE)
                    .hat  (AMEN_CRASH, 1)
                    .score());

    s.push_back(Sheet("jungle_chops", "Jungle / rearranged break fragments", 512, 2)
                    .note("Original chopped-break-style arrangement, not the original Amen sequence.")
                    .kick ("x.......x.x.....|..x.x.......x.x.")
                    .snare("..g.X..g....XgX.|X.....g.X..g...g")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    // Bar two ends in a thirty-second-note roll that swells into the loop.
    s.push_back(Sheet("jungle_ghosts", "Jungle / ghosts and snare rolls", 512, 2)
                    .note("")
                    .kick ("x......x..x.....|x.........x.....")
                    .snare("..g.X.g..g.gX.g.|..g.X.g..g.gX...")
                    .at(Lane::snare, {{456.0, 0.30}, {464.0, 0.36}, {472.0, 0.42}, {480.0, 0.48},
                                      {488.0, 0.55}, {496.0, 0.62}, {504.0, 0.70}})
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    s.push_back(Sheet("jungle_switch", "Jungle / full-time to half-time answer", 1024, 2)
                    .note("Four-bar original phrase: the final half uses fewer main snares, not a tempo change.")
                    .kick ("x.........x.....|x.x.......x.....|x.....x.........|x.....x...x..x..")
                    .snare("....X.g...g.X...|....X..g..g.X..g|..g.....X..g..g.|..g.....X.g.g.gg")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());
}

// Styles 25 to 30: drum & bass, dubstep and trap.
void bass_music(std::vector<Score>& s) {
    s.push_back(Sheet("dnb_two_step", "Drum & bass / two-step foundation", 512, 2)
                    .note("")
                    .kick ("x.........x.....|x.........x.....")
                    .snare("....X.......X...|....X.......X...")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    s.push_back(Sheet("dnb_rolling", "Drum & bass / rolling ghosts", 512, 2)
                    .note("")
                    .kick ("x.........x.....|x.........xx....")
                    .snare("..g.X..g..g.X.g.|..g.X..g..g.X.gg")
                    .hat  ("xgxgxgxgxgxgxgxg|xgxgxgxgxgxgxgxg")
                    .score());

    s.push_back(Sheet("dnb_half", "Drum & bass / half-time space", 512, 0)
                    .note("")
                    .kick ("x.....x.........|x.........x..x..")
                    .snare("........X.......|........X.....g.")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.xxx.x.")
                    .bass ("x=====x=........|x=========x==x==")
                    .score());

    s.push_back(Sheet("dubstep_half", "Dubstep / half-step anchor", 512, 0)
                    .note("")
                    .kick ("x...............|x.........x.....")
                    .snare("........X.......|........X.......")
                    .hat  ("..x...x...x...x.|..x...x...x.x.x.")
                    .bass ("x===========....|x=========x=====")
                    .score());

    // A rim ghost (voice 1) answers the snare.
    s.push_back(Sheet("dubstep_skip", "Dubstep / skippy half-step", 512, 0)
                    .note("")
                    .feel(SWING_2_3)
                    .kick ("x......x...x....|x..x......x...x.")
                    .snare("........X.......|........X.......")
                    .snare("..............g.|...........g....", 1)
                    .hat  ("..x..gx...x..gx.|..x..gx...x..gxg")
                    .bass ("x======x...x====|x==x......x===x=")
                    .score());

    // Bar one's trill is binary thirty-seconds through beat 4; bar two's is
    // sixteenth-note triplets.
    s.push_back(Sheet("trap_trills", "Trap / half-time and hat trills", 512, 0)
                    .note("")
                    .kick ("x.........xx....|x.....x..x......")
                    .snare("........X.......|........X.......")
                    .hat  ("x.x.x.x.x.x.....|x.x.x.x.x.x.....")
                    .at(Lane::hat, {{192.0, NORMAL}, {200.0, SOFT}, {208.0, SOFT}, {216.0, SOFT},
                                    {224.0, NORMAL}, {232.0, SOFT}, {240.0, SOFT}, {248.0, SOFT}})
                    .at(Lane::hat, {{448.0, NORMAL}, {448 + 32.0 / 3, SOFT}, {448 + 64.0 / 3, SOFT},
                                    {480.0, NORMAL}, {480 + 32.0 / 3, SOFT}, {480 + 64.0 / 3, SOFT}})
                    .bass ("x=========xx====|x=====x==x======")
                    .score());
}

// Styles 31 to 36: electro, trance, rave, dembow, disco and amapiano.
void club(std::vector<Score>& s) {
    // Cowbell stabs in the percussion lane.
    s.push_back(Sheet("electro", "Electro / broken machine groove", 512, 2)
                    .note("")
                    .kick ("x......x..x.....|x......x.....x..")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("XxxxXxxxXxxxXxxx|XxxxXxxxXxxxXxxx")
                    .perc ("......x.......x.|..x...x.......x.")
                    .score());

    s.push_back(Sheet("trance", "Trance / offbeat lift", 512, 0)
                    .note("Offbeat bass/pulse is included. A rhythmic sketch cannot supply trance harmony, timbre or arrangement.")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("x.Xxx.Xxx.Xxx.Xx|x.Xxx.Xxx.Xxx.Xx")
                    .bass ("..x...x...x...x.|..x...x...x...x.")
                    .score());

    // The four-floor kick, with the quieter kicks of a sped-up break (voice 1)
    // between the beats.
    s.push_back(Sheet("rave_breaks", "Rave / four-floor plus break layer", 512, 2)
                    .note("")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .kick ("..........g.....|...g......g....g", 1)
                    .snare("....X..g..g.X...|....X..g..g.X.gX")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    s.push_back(Sheet("dembow", "Reggaeton / dembow answer", 512, 2)
                    .note("Quarter-note kick version with offbeat snare answers; one useful dembow foundation, not every dancehall rhythm.")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("...x..x....x..x.|...x..x....x..x.")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    // Closed hats on the beats, loud open hats on every &.
    s.push_back(Sheet("disco", "Disco / lively hat accents", 512, 2)
                    .note("")
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("x.X.x.X.x.X.x.X.|x.X.x.X.xxX.xxX.")
                    .score());

    // Soft kicks, a rim on 2 and 4, shaker, woodblock and a log-drum hook.
    s.push_back(Sheet("amapiano", "Amapiano / shaker and bass-percussion study", 512, 0)
                    .note("An original percussion and log-drum-style bass rhythm. Pitched bass is a cue lane, not a downloaded sample.")
                    .feel(SWING_5_8)
                    .kick ("o...o...o...o...|o...o...o...o...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("gxXggxXggxXggxXg|gxXggxXggxXggxXg")
                    .perc ("..x..x....x..x..|...x..x..x...x..")
                    .bass ("...x=.x=..x=.x=.|x==..x=.x=.x=...")
                    .score());
}

// Styles 37 to 44: Jersey club, footwork, UK funky and broken beat.
void club_offshoots(std::vector<Score>& s) {
    s.push_back(Sheet("jersey_five", "Jersey / five-kick foundation", 512, 2)
                    .kick ("x...x...x..x..x.|x...x...x..x..x.")
                    .snare("....x.......x...|....x.......x...")
                    .score());

    // Bar one calls with a sample-chop cue; bar two turns round with kicks in
    // threes, a sixteenth kick roll and offbeat claps.
    s.push_back(Sheet("jersey_call", "Jersey / call and turnaround", 512, 0)
                    .kick ("x...x...x..x..x.|x..x..x.x.x.xxxx")
                    .snare("....x.......x...|..x...x...x.....")
                    .perc ("x.x.....x.x.....|................")
                    .score());

    // The bass reply is a quarter-note triplet across beats 3 and 4 of bar two.
    s.push_back(Sheet("footwork_triplet", "Footwork / triplet bass reply", 512, 0)
                    .kick ("x..x..x..x..x...|x..x..x.........")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .bass ("x==x==x==x==x===|x==x==x=........")
                    .at(Lane::bass, {{384.0, NORMAL, 40.0}, {384 + 128.0 / 3, NORMAL, 40.0},
                                     {384 + 256.0 / 3, NORMAL, 40.0}})
                    .score());

    // Bar two breaks off: a kick burst in threes, the snare on beat 2, then
    // nothing through the last beat.
    s.push_back(Sheet("footwork_sparse", "Footwork / interrupted half-time", 512, 0)
                    .kick ("x.....x...x.....|x..x..x..x......")
                    .snare("........X.......|....X...........")
                    .hat  ("x...x...x...x...|x...x...........")
                    .bass ("x=====....x=====|x==x==x==x==....")
                    .score());

    // A high tom and a low tom (voice 1) lead over a swung shaker.
    s.push_back(Sheet("funky_toms", "UK funky / tom-led skips", 512, 0)
                    .feel(SWING_5_8)
                    .kick ("x.......x.......|x......x.x......")
                    .snare("....x.......x...|....x.......x..x")
                    .hat  ("x.xgx.xgx.xgx.xg|x.xgx.xgx.xgx.xg")
                    .perc ("...x..x....x....|...x..x....x..x.")
                    .perc (".......x.x....x.|..x..x....x.....", 1)
                    .score());

    // Congas fill the gaps over a sixteenth shaker.
    s.push_back(Sheet("funky_syncopated", "UK funky / broken response", 512, 0)
                    .feel(SWING_5_8)
                    .kick ("x..x.....x...x..|x.....x...x.....")
                    .snare("....x.....x.....|....x.......x...")
                    .hat  ("xgxxxgxxxgxxxgxx|xgxxxgxxxgxxxgxx")
                    .perc (".....x.x....x..x|..x..x.....x.x..")
                    .score());

    // The second snare answers early in bar one (the a of 3) and late in bar
    // two (the e of 4).
    s.push_back(Sheet("broken_push", "Broken beat / early-and-late answers", 512, 0)
                    .kick ("x......x..x.....|x.....x...x...x.")
                    .snare("....X......X....|....X........X..")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .bass ("x==....x=.x===..|x=....x===x===x=")
                    .score());

    // A rim (voice 1) every five sixteenths from the e of 1, drifting against
    // the bar until the loop restarts it.
    s.push_back(Sheet("broken_shuffle", "Broken beat / shuffled rim circuit", 512, 0)
                    .feel(SWING_2_3)
                    .kick ("x......x....x...|x..x......x.....")
                    .snare("....X.........X.|....X.......X...")
                    .snare(".x....x....x....|x....x....x....x", 1)
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());
}

// Styles 45 to 48: Afro house and gqom.
void afro_and_gqom(std::vector<Score>& s) {
    // A seven-stroke bell that meets the kick on beats 1 and 2, then weaves
    // between the kicks.
    s.push_back(Sheet("afro_bell", "Afro house / bell and kick weave", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("gxxggxxggxxggxxg|gxxggxxggxxggxxg")
                    .perc ("x.x.x..x.x.x..x.|x.x.x..x.x.x..x.")
                    .score());

    // The twelve-pulse bell and a shaker in triplet eighths over a straight
    // four-four.
    s.push_back(Sheet("afro_cross", "Afro house / three-over-four percussion", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x...")
                    .triplets(Lane::perc, "x.x.xx.x.x.x|x.x.xx.x.x.x")
                    .triplets(Lane::hat,  "XooXooXooXoo|XooXooXooXoo")
                    .score());

    // No hats: a tom call answers the kick figure across the silence.
    s.push_back(Sheet("gqom_space", "Gqom / broken-kick space study", 512, 0)
                    .kick ("x..x..x.........|x.........x.....")
                    .snare("............x...|........x.......")
                    .perc (".........x....x.|...x.......x..x.")
                    .score());

    // The tom answers every kick three sixteenths later.
    s.push_back(Sheet("gqom_exchange", "Gqom / staggered drum exchange", 512, 0)
                    .kick ("x.....x.....x...|x.....x...x.....")
                    .perc ("...x.....x.....x|...x.....x...x..")
                    .snare("........x.......|....x.......x...")
                    .score());
}

// Styles 49 to 53: baile funk and reggae.
void baile_and_reggae(std::vector<Score>& s) {
    // A low drum (the kick lane) in 3+3+4+3+3 and a mid drum answering in
    // its gaps.
    s.push_back(Sheet("baile_toms", "Baile funk / low-drum conversation", 512, 2)
                    .kick ("x..x..x...x..x..|x..x......x..x..")
                    .perc ("........x......x|......x.x.....x.")
                    .snare("....x.......x...|....x.......x...")
                    .score());

    s.push_back(Sheet("baile_response", "Baile funk / syncopated answer", 512, 0)
                    .kick ("x..x..x.x..x..x.|x..x......x.....")
                    .snare("....x.......x...|......x..x...x.x")
                    .score());

    // Eighths swung to the last triplet of the beat; kick and cross-stick
    // drop together on beat 3, leaving the downbeat empty.
    s.push_back(Sheet("reggae_one_drop", "Reggae / one-drop foundation", 512, 0)
                    .feel(LATE_AND)
                    .kick ("........X.......|........X.......")
                    .snare("........x.......|........x.....g.")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .bass ("..x=..x=x===....|..x=..x=x=..x===")
                    .score());

    // A rim on beat 3 over a kick on every beat.
    s.push_back(Sheet("reggae_steppers", "Dub / steppers foundation", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("........x.......|........x.......")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .bass ("x=.x..x.x=.x..x.|x=.x..x.x=.x..x.")
                    .score());

    // Cross-stick on 3 with the kick, and a rim answer late in bar two.
    s.push_back(Sheet("reggae_rockers", "Reggae / kick-on-one-and-three study", 512, 0)
                    .kick ("x.......x.......|x.......x.......")
                    .snare("........x.......|........x.....x.")
                    .hat  ("x.xxx.xxx.xxx.xx|x.xxx.xxx.xxx.xx")
                    .bass ("x=.x=...x=.x=...|x=.x=...x===x=..")
                    .score());
}

// The Latin club groove under both claves: four kicks, offbeat hats, a conga
// (voice 1 of the percussion) slapping on 2 with open tones on 4 and its &,
// and a tumbao bass on the & of 2 and on 4.
constexpr std::string_view LATIN_KICK  = "x...x...x...x...|x...x...x...x...";
constexpr std::string_view LATIN_HAT   = "..x...x...x...x.|..x...x...x...x.";
constexpr std::string_view LATIN_CONGA = "....x.......x.x.|....x.......x.x.";
constexpr std::string_view LATIN_BASS  = "......x=====x===|......x=====x===";

// Styles 54 to 58: the son claves, psy, trance and hard dance.
void clave_and_trance(std::vector<Score>& s) {
    s.push_back(Sheet("son_clave_32", "Latin club / 3-2 son clave", 512, 0)
                    .kick (LATIN_KICK)
                    .hat  (LATIN_HAT)
                    .perc ("x.....x.....x...|....x...x.......")
                    .perc (LATIN_CONGA, 1)
                    .bass (LATIN_BASS)
                    .score());

    s.push_back(Sheet("son_clave_23", "Latin club / 2-3 son clave", 512, 0)
                    .kick (LATIN_KICK)
                    .hat  (LATIN_HAT)
                    .perc ("....x...x.......|x.....x.....x...")
                    .perc (LATIN_CONGA, 1)
                    .bass (LATIN_BASS)
                    .score());

    // Every kick followed by three sixteenth bass notes.
    s.push_back(Sheet("psy_rolling", "Psy / straight rolling bass gaps", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .bass (".xxx.xxx.xxx.xxx|.xxx.xxx.xxx....")
                    .score());

    // Bass pairs on the & and a; in bar two the bass takes beat 4 from the kick.
    s.push_back(Sheet("psy_offbeat", "Trance / offbeat bass exchange", 512, 0)
                    .kick ("x...x...x...x...|x...x...x.......")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .bass ("..xx..xx..xx..xx|..xx..xx..xxx.xx")
                    .score());

    // A reverse-bass swell from the e after each kick into the next; bar two
    // drops the last kick and its swell fills the beat.
    s.push_back(Sheet("hard_reverse", "Hard dance / delayed bass swell cues", 512, 0)
                    .kick ("X...X...X...X...|X...X...X.......")
                    .snare("....x.......x...|....x.......x...")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .bass (".x==.x==.x==.x==|.x==.x==.x==x===")
                    .score());
}

// Styles 59 to 64: machine grooves, rumble techno, garage and a DnB pickup.
void machines(std::vector<Score>& s) {
    // A clap on 2 and 4 and a rim (voice 1) talking in the gaps; the eighth
    // bass jumps an octave, low on the beats and high on the &s.
    s.push_back(Sheet("italo_machine", "Italo / machine rim conversation", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....X.......X...|....X.......X...")
                    .snare("..x..x....x..x..|.x...x.x..x...xx", 1)
                    .hat  ("xxxxxxxxxxxxxxxx|xxxxxxxxxxxxxxxx")
                    .bass ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    // The kick grouped 5+5+6 in bar one and 3+5+3+5 in bar two; zaps and
    // cowbell in the percussion lane.
    s.push_back(Sheet("electro_robot", "Electro / asymmetric machine break", 512, 0)
                    .kick ("x....x....x.....|x..x....x..x....")
                    .snare("....X.......X...|....X.......X...")
                    .hat  ("x.xxx.xxx.xxx.xx|x.xxx.xxx.xxx.xx")
                    .perc (".......x.......x|..x.........x...")
                    .score());

    // The acid line's accents and slides fall off the beat.
    s.push_back(Sheet("acid_percussion", "Acid house / syncopated machine accents", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("....x.......x...|....x.......x..x")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .bass ("x.xX.xX.x.Xx.xX.|xx.X.xX=x.X.xX=x")
                    .score());

    // The low end answers each kick a sixteenth late, later in bar two.
    s.push_back(Sheet("techno_rumble", "Techno / delayed low-end answer", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("................|...............x")
                    .hat  ("..x...x...x...x.|..x...x...x...x.")
                    .bass (".x=..x=..x=..x=.|..x=..x=..x=.x==")
                    .score());

    // A rim (voice 1) on swung sixteenths carries the pocket; no hats.
    s.push_back(Sheet("ukg_rim_shuffle", "Garage / rim-led skipping pocket", 512, 0)
                    .feel(SWING_2_3)
                    .kick ("x......x........|x.........x.....")
                    .snare("....X.......X...|....X.......X...")
                    .snare(".x.g..x..x.g..x.|.x.g..x..x...xg.", 1)
                    .score());

    // A ghost reply on the & after the backbeats, and a double-kick pickup
    // into the downbeat.
    s.push_back(Sheet("dnb_push", "DnB / kick pickup and ghost reply", 512, 0)
                    .kick ("x.........x.....|x.........x...xx")
                    .snare("....X.g.....X.g.|....X.g.....X...")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());
}

// Styles 65 to 68: jungle, amapiano, dancehall and reggaeton answers.
void answers(std::vector<Score>& s) {
    // Bar two replays bar one's first two beats, then plays its last two in
    // swapped order.
    s.push_back(Sheet("jungle_switchback", "Jungle / two-bar switchback", 512, 0)
                    .kick ("x.x......x......|x.x..........x..")
                    .snare("....X..g..g.X.g.|....X..gX.g...g.")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .score());

    // One long log-drum note in bar one, a 3+3+2 burst in bar two.
    s.push_back(Sheet("amapiano_answer", "Amapiano / log-like bass answer", 512, 0)
                    .feel(SWING_5_8)
                    .kick ("x...x...x...x...|x...x...x.......")
                    .snare("......x.......x.|......x.......x.")
                    .hat  ("x.xgx.xgx.xgx.xg|x.xgx.xgx.xgx.xg")
                    .bass ("x=====..........|x==x==x=x==x==x=")
                    .score());

    // Rim replies on the offbeats over a quarter-note shaker.
    s.push_back(Sheet("dancehall_space", "Dancehall / spacious offbeat replies", 512, 0)
                    .kick ("x......x........|x.....x...x.....")
                    .snare("......x.......x.|......x....x..x.")
                    .hat  ("x...x...x...x...|x...x...x...x...")
                    .bass ("x======.........|x=====....x=====")
                    .score());

    // The dembow, whose last snare gives way to a rising timbal pickup.
    s.push_back(Sheet("dembow_push", "Reggaeton / dembow with pickup answer", 512, 0)
                    .kick ("x...x...x...x...|x...x...x...x...")
                    .snare("...x..x....x..x.|...x..x....x....")
                    .hat  ("x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.")
                    .perc ("................|............goxX")
                    .score());
}

}  // namespace

const std::vector<Score>& scores() {
    static const std::vector<Score> all = [] {
        std::vector<Score> s;

        four_floor_and_house(s);
        techno(s);
        garage(s);
        grime_and_drill(s);
        amen_and_jungle(s);
        bass_music(s);
        club(s);
        club_offshoots(s);
        afro_and_gqom(s);
        baile_and_reggae(s);
        clave_and_trance(s);
        machines(s);
        answers(s);
        return s;
    }();
    return all;
}

}  // namespace trovelin::recipes::beat
