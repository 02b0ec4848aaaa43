// rudiment_: stickings as motion over four beats, twelve strokes on the
// triplet-eighth grid (one every 64/3 pips). The right hand swings right and
// the left hand left; a double is two separate swings to the same side.
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int TRIPLETS = 3;  // strokes per beat

// Each word's lead is its accent; at 64/3 pips apart, half-widths under
// 32/3 keep neighbouring strokes of one hand apart.
constexpr StrokeStyle STUDY{0.78, -0.4, 0.5, -0.16, 10.0};

const std::string DESCRIPTION_TAIL =
    "; equal triplet spacing over four beats. This is a movement interpretation, not a complete drum-performance "
    "notation.";

Shape study(const std::string& name, const std::string& sticking) {
    return hits_shape(name, "Visual sticking study " + sticking + DESCRIPTION_TAIL, 256, 2,
                      sticking_hits(sticking, 0.0, TRIPLETS, STUDY));
}

// Flam accents: each beat is a group of three triplet strokes led by an
// accent, the leading hand alternating beat by beat (R L R, L R L, ...). Just
// before each accent the other hand plays a small grace gesture that lifts
// instead of dipping; it sits 10 pips early, far wider than a played flam, so
// the two are seen apart. Graces and accents are narrow enough that neither
// reaches the other's peak.
Shape flam_accent() {
    std::vector<PulseHit> hits;
    for (int beat = 0; beat < 4; ++beat) {
        const double lead = beat % 2 == 0 ? 1.0 : -1.0;
        const double at = 64.0 * beat;
        hits.push_back({at - 10.0 + (beat == 0 ? 256.0 : 0.0), 5.0, {-lead * 0.3, 0.16, 0.0}});
        hits.push_back({at, 9.0, {lead * 0.8, -0.46, 0.0}});
        hits.push_back({at + 64.0 / 3.0, 8.0, {-lead * 0.42, -0.14, 0.0}});
        hits.push_back({at + 128.0 / 3.0, 8.0, {lead * 0.42, -0.14, 0.0}});
    }
    return hits_shape(
        "rudiment_flam_accent",
        "Opposite-hand grace gestures lead accented groups of three; deliberately expanded for visible motion.", 256, 2,
        hits);
}

}  // namespace

Shapes rudiment_family() {
    return {
        study("rudiment_double_paradiddle", "RLRLRR LRLRLL"),
        study("rudiment_paradiddle_diddle", "RLRRLL LRLLRR"),
        study("rudiment_six_stroke", "RLLRRL LRRLLR"),
        flam_accent(),
    };
}

}  // namespace trovelin::recipes
