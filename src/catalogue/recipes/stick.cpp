// stick_: sixteen original sticking studies. Each is four beats of strokes,
// on sixteenths or on triplet eighths, written in groups whose first stroke
// is the accent; beats five to eight answer with the same study, hands
// swapped, so the second half is the first mirrored side for side.
#include <stdexcept>
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

struct Study {
    const char* sticking;  // R and L strokes, '-' rests, spaces between groups
    int per_beat;          // 4: sixteenths; 3: triplet eighths
};

constexpr Study STUDIES[16] = {
    {"RLRR LRLL RLRL RRLL", 4},
    {"RLL RLL RLL RLL RLRL", 4},
    {"RLR LRL RL RLR LRL RL", 4},
    {"RLLR LRRL RLLR LLRR", 4},
    {"RLL RLL RLL RLR", 3},
    {"RLR LRL RRL LRL", 3},
    {"RLRLL RLRLL RLRLRL", 4},
    {"RRLLR LLRRL RLRLRL", 4},
    {"RLLRLL RRLRLL", 3},
    {"R-LL R-LL RRL- LRL-", 4},
    {"RLRLRLR LRLRLRLRL", 4},
    {"RRL RRL LLR LLR", 3},
    {"RLLL RLLL RLRL RRRL", 4},
    {"RRLRLL RRLRLL RRLL", 4},
    {"RLRLRL LRLRLR", 3},
    {"RLR RLR RLR RLR RLLR", 4},
};

std::string swap_hands(std::string sticking) {
    for (char& c : sticking) {
        c = c == 'R' ? 'L' : (c == 'L' ? 'R' : c);
    }
    return sticking;
}

// Slots in a sticking: strokes and rests, spaces left out.
int slots(const std::string& sticking) {
    int n = 0;
    for (char c : sticking) {
        n += c == ' ' ? 0 : 1;
    }
    return n;
}

}  // namespace

Shapes stick_family() {
    Shapes s;
    int number = 1;
    for (const Study& study : STUDIES) {
        if (slots(study.sticking) != 4 * study.per_beat) {
            throw std::logic_error("a study fills exactly four beats");
        }
        // Half-widths under half the stroke spacing keep a double's two
        // strokes apart.
        const StrokeStyle style{0.74, -0.4, 0.38, -0.12, study.per_beat == 4 ? 7.0 : 9.5};
        std::vector<PulseHit> hits = sticking_hits(study.sticking, 0.0, study.per_beat, style);
        const std::vector<PulseHit> answer = sticking_hits(swap_hands(study.sticking), 256.0, study.per_beat, style);
        hits.insert(hits.end(), answer.begin(), answer.end());
        s.push_back(hits_shape("stick_study_" + two_digits(number++),
                               "Original R/L movement study with accented group leads, followed by its hand-swapped "
                               "answer. Not an official rudiment transcription.",
                               512, 2, hits));
    }
    return s;
}

}  // namespace trovelin::recipes
