// swing_: four eight-beat scores, each played at four swing ratios. A score
// says what happens on each beat and on its offbeat; the ratio p/q puts the
// offbeat exactly p/q of the way through its beat (3/5 of a beat is pip 38.4
// into it). Downbeats are the same at every ratio; only offbeats move.
#include <array>
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

// What one beat of a score does: the gesture on the beat and the one on its
// offbeat, as peak displacements. A zero gesture is a rest.
struct Beat {
    Point on;
    Point off;
};
using Score = std::array<Beat, 8>;

// Push: light drops on the beats; every offbeat leans forward in depth and
// to alternating sides, pushing into the next beat, the last one hardest.
constexpr Score PUSH{{
    {{0.0, -0.46, 0.0}, {0.56, 0.08, 0.5}},
    {{0.0, -0.3, 0.0}, {-0.56, 0.08, 0.5}},
    {{0.0, -0.3, 0.0}, {0.56, 0.08, 0.5}},
    {{0.0, -0.3, 0.0}, {-0.56, 0.08, 0.5}},
    {{0.0, -0.4, 0.0}, {0.56, 0.08, 0.5}},
    {{0.0, -0.3, 0.0}, {-0.56, 0.08, 0.5}},
    {{0.0, -0.3, 0.0}, {0.56, 0.08, 0.5}},
    {{0.0, -0.3, 0.0}, {-0.66, 0.1, 0.62}},
}};

// Answer, in the plane: for four beats each beat swings right and its offbeat
// answers on the left, rising; for the next four the roles change sides.
constexpr Score ANSWER{{
    {{0.64, -0.34, 0.0}, {-0.52, 0.24, 0.0}},
    {{0.64, -0.3, 0.0}, {-0.52, 0.24, 0.0}},
    {{0.64, -0.3, 0.0}, {-0.52, 0.24, 0.0}},
    {{0.64, -0.3, 0.0}, {-0.52, 0.24, 0.0}},
    {{-0.64, -0.34, 0.0}, {0.52, 0.24, 0.0}},
    {{-0.64, -0.3, 0.0}, {0.52, 0.24, 0.0}},
    {{-0.64, -0.3, 0.0}, {0.52, 0.24, 0.0}},
    {{-0.64, -0.3, 0.0}, {0.52, 0.24, 0.0}},
}};

// Skip: steps on alternating feet with a hop up and forward on every offbeat;
// the steps of beats four and seven are skipped, leaving the hop alone.
constexpr Score SKIP{{
    {{0.5, -0.42, 0.0}, {0.0, 0.44, 0.36}},
    {{-0.5, -0.42, 0.0}, {0.0, 0.44, 0.36}},
    {{0.5, -0.42, 0.0}, {0.0, 0.44, 0.36}},
    {{0.0, 0.0, 0.0}, {0.0, 0.44, 0.36}},
    {{-0.5, -0.42, 0.0}, {0.0, 0.44, 0.36}},
    {{0.5, -0.42, 0.0}, {0.0, 0.44, 0.36}},
    {{0.0, 0.0, 0.0}, {0.0, 0.44, 0.36}},
    {{-0.5, -0.42, 0.0}, {0.0, 0.44, 0.36}},
}};

// Shuffle: a drop on every beat, the backbeats (two and four of each bar)
// swinging right and back, and a lighter offbeat, forward, up and left.
constexpr Score SHUFFLE{{
    {{0.0, -0.34, 0.0}, {-0.3, 0.12, 0.4}},
    {{0.62, -0.2, -0.28}, {-0.3, 0.12, 0.4}},
    {{0.0, -0.34, 0.0}, {-0.3, 0.12, 0.4}},
    {{0.62, -0.2, -0.28}, {-0.3, 0.12, 0.4}},
    {{0.0, -0.34, 0.0}, {-0.3, 0.12, 0.4}},
    {{0.62, -0.2, -0.28}, {-0.3, 0.12, 0.4}},
    {{0.0, -0.34, 0.0}, {-0.3, 0.12, 0.4}},
    {{0.62, -0.2, -0.28}, {-0.3, 0.12, 0.4}},
}};

bool is_rest(const Point& p) {
    return p.x == 0.0 && p.y == 0.0 && p.z == 0.0;
}

// The offbeat at 3/4 lies 16 pips before the next beat: both half-widths
// stay under that, so no gesture reaches another's peak.
constexpr double ON_WIDTH = 11.0;
constexpr double OFF_WIDTH = 6.0;

std::vector<PulseHit> play(const Score& score, int p, int q) {
    std::vector<PulseHit> hits;
    for (int b = 0; b < 8; ++b) {
        const Beat& beat = score[static_cast<std::size_t>(b)];
        if (!is_rest(beat.on)) {
            hits.push_back({64.0 * b, ON_WIDTH, beat.on});
        }
        if (!is_rest(beat.off)) {
            hits.push_back({64.0 * (b * q + p) / q, OFF_WIDTH, beat.off});
        }
    }
    return hits;
}

}  // namespace

Shapes swing_family() {
    struct Named {
        const char* word;
        const Score* score;
        int dimensions;
    };
    const Named scores[] = {{"push", &PUSH, 3}, {"answer", &ANSWER, 2}, {"skip", &SKIP, 3}, {"shuffle", &SHUFFLE, 3}};
    Shapes s;
    for (const auto& [p, q] : {std::pair{3, 5}, std::pair{2, 3}, std::pair{5, 7}, std::pair{3, 4}}) {
        const std::string ratio = std::to_string(p) + "/" + std::to_string(q);
        for (const Named& n : scores) {
            s.push_back(hits_shape(join(std::string("swing_") + n.word, {p, q}),
                                   std::string("Eight-beat ") + n.word + " score with offbeats at " + ratio +
                                       " of each beat; peaks follow the score.",
                                   512, n.dimensions, play(*n.score, p, q)));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
