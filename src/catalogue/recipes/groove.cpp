// groove_: two-bar excerpts of one twelve-bar funk drum performance (48
// beats), written out below as data: kick, snare with ghost notes and hi-hat,
// each hit with its velocity, and the drummer's timing as small offsets from
// the sixteenth-note grid. The `played` members keep those offsets; the
// `grid` members put the same hits, with the same velocities and the same
// rendering, exactly on their sixteenths (16 pips apart).
#include <array>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int STEPS = 16;  // sixteenths to a four-beat bar
constexpr double SIXTEENTH = 16.0;

// One bar: a velocity digit per sixteenth for each drum ('.' is silence,
// '1' the softest ghost note, '9' the hardest hit).
struct Bar {
    const char* kick;
    const char* snare;
    const char* hat;
};

// The performance. Bars 1-2 are source beats 4-12 (excerpt A), bars 9-10
// beats 36-44 (excerpt B); the rest leads into and out of them.
//                     0123456789012345
constexpr std::array<Bar, 12> PERFORMANCE{{
    {"9.....7...8.....", "....8.......8...", "7.5.7.5.7.5.7.5."},
    {"9.....7.8.....5.", "....9..2.3..9..2", "7.4.7.4.7.4.7.46"},
    {"9..5..7...8..6..", ".2..9.2..3..9.3.", "7.5.7.5.7.4.7.5."},
    {"9.....7.8..5....", "....9..3.2..9.45", "7.5.7.5.7.5.7..."},
    {"9.....6.8.....5.", "..2.9..2.3..9..3", "7.5.7.5.7.5.7.5."},
    {"9..6..7...8.....", "....9.2..3.29..2", "7.47.5.47.5.7.5."},
    {"9.....7.8.....6.", ".3..9..2.3..9..2", "7.5.7.5.7.5.7.5."},
    {"9..5..7.8....6..", "....9..3..3.97.8", "7.5.7.5.7.5.7..."},
    {"9.6...7...9..5..", "....9.2...3.9...", "8.5.8.5.8.5.8.5."},
    {"9.7..6..9.5.....", ".2..9..2.3.29..3", "8.56.5.58.5.8.56"},
    {"9..7.5..9...5.6.", "..3.9.2..2..9.3.", "8.5.8.56.5.58.5."},
    {"9.....7.8.......", "....9..3.4.56789", "8.5.8.5.8......."},
}};

// Timing, in pips from the grid. The feel of each sixteenth: downbeats of the
// half bar pushed early, backbeats laid back, the in-between sixteenths
// dragged late; each bar drifts a little; and every hit wanders by up to 3/8
// pip more (a fixed value per hit). No hit lands on its grid pip.
constexpr std::array<double, STEPS> FEEL{-1.5, 2.25, 1.5, 2.75, 2.0, 2.25, 1.5, 3.0,
                                         -1.75, 2.5, 1.5, 2.75, 2.25, 2.0, 1.5, 2.75};
constexpr std::array<double, 12> DRIFT{0.0, -0.25, 0.25, -0.5, 0.25, 0.0, -0.25, 0.5, 0.0, -0.25, 0.25, -0.5};
constexpr unsigned WANDER_SEED = 13;

double offset(int bar, int step) {
    const auto b = static_cast<std::size_t>(bar);
    const auto s = static_cast<std::size_t>(step);
    return FEEL[s] + DRIFT[b] + 0.375 * hashed_unit(WANDER_SEED, static_cast<unsigned>(bar * STEPS + step));
}

double velocity(const char* lane, int step) {
    const char c = lane[step];
    if (c == '.') {
        return 0.0;
    }
    if (c < '1' || c > '9') {
        throw std::logic_error("a velocity is a digit 1-9 or '.'");
    }
    return (c - '0') / 9.0;
}

// Drums as directions: the kick drops, the snare swings right and up a
// little, the hat ticks up and a touch left. Hits on one sixteenth make one
// gesture.
Point gesture(const Bar& bar, int step) {
    const double k = velocity(bar.kick, step);
    const double s = velocity(bar.snare, step);
    const double h = velocity(bar.hat, step);
    return {0.7 * s - 0.1 * h, -0.72 * k + 0.1 * s + 0.2 * h, 0.0};
}

constexpr double HALF_WIDTH = 6.5;

// The two bars from `first_bar` on, as a 512-pip loop.
std::vector<PulseHit> excerpt(int first_bar, bool played) {
    std::vector<PulseHit> hits;
    for (int b = 0; b < 2; ++b) {
        const int bar = first_bar + b;
        const Bar& lanes = PERFORMANCE[static_cast<std::size_t>(bar)];
        for (const char* lane : {lanes.kick, lanes.snare, lanes.hat}) {
            if (std::string(lane).size() != STEPS) {
                throw std::logic_error("a bar holds sixteen sixteenths");
            }
        }
        for (int step = 0; step < STEPS; ++step) {
            const Point g = gesture(lanes, step);
            if (g.x == 0.0 && g.y == 0.0) {
                continue;
            }
            const double grid = 256.0 * b + SIXTEENTH * step;
            hits.push_back({played ? grid + offset(bar, step) : grid, HALF_WIDTH, g});
        }
    }
    return hits;
}

}  // namespace

Shapes groove_family() {
    Shapes s;
    for (const auto& [letter, first_bar, beats] :
         {std::tuple{"a", 1, "4\u201312"}, std::tuple{"b", 9, "36\u201344"}}) {
        const std::string head = std::string("Two-bar funk excerpt ") + (letter[0] == 'a' ? "A" : "B") + " (" + beats +
                                 " source beats), ";
        s.push_back(hits_shape(std::string("groove_") + letter + "_played", head + "performed microtiming.", 512, 2,
                               excerpt(first_bar, true)));
        s.push_back(hits_shape(std::string("groove_") + letter + "_grid", head + "same hits quantised to sixteenths.",
                               512, 2, excerpt(first_bar, false)));
    }
    return s;
}

}  // namespace trovelin::recipes
