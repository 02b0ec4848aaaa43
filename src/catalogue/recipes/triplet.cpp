// triplet_: gestures on a triplet-eighth grid, with deliberate omissions.
//
// A word of twelve cells covers four beats, three cells a beat, each cell
// 64/3 pips; an 'x' is a hit and a '.' a cell left out on purpose. Hits swing
// alternately right and left, with a deeper downstroke on the cells that
// start a beat. Every word comes in two versions over eight beats:
//   answer      the word twice; every gap is answered off the grid, halfway
//               between two triplet positions, by a lift forward in depth;
//   turnaround  the word, then the word rotated later by a number of cells,
//               the rotated half leaning back in depth.
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int LOOP = 512;
constexpr int CELLS = 12;            // triplet eighths in four beats
constexpr double CELL = 64.0 / 3.0;  // pips in a triplet eighth

struct Word {
    const char* cells;
    int rotation;  // cells by which the turnaround's second half moves later
};

constexpr Word WORDS[8] = {
    {"x.xx.xx.xxx.", 3}, {"xx.xx..xx.x.", 4}, {"xxx.x..xx.xx", 5}, {"x.x.xxx..xx.", 2},
    {"xx..xxx.x.x.", 6}, {"x.xxx.x.xx..", 7}, {"xxx..x.xx.x.", 1}, {"x..x.xxx.xxx", 9},
};

Shape render(const std::string& name, const std::vector<bool>& hits, const std::vector<double>& answers,
             double lean) {
    std::vector<PulseHit> pulses;
    double side = 1.0;
    for (int c = 0; c < 2 * CELLS; ++c) {
        if (!hits[static_cast<std::size_t>(c)]) {
            continue;
        }
        const double z = c >= CELLS ? lean : 0.0;
        pulses.push_back({c * CELL, 0.45 * CELL, {0.6 * side, c % 3 == 0 ? -0.3 : -0.12, z}});
        side = -side;
    }
    for (double pip : answers) {
        pulses.push_back({pip, 0.35 * CELL, {0.0, 0.18, 0.42}});
    }
    return hits_shape(name, "Triplet-grid gestures with deliberate omissions; gaps either answer off-grid or rotate after four beats.",
                      LOOP, 3, pulses);
}

}  // namespace

Shapes triplet_family() {
    Shapes s;
    for (int w = 0; w < 8; ++w) {
        const std::string word = WORDS[w].cells;
        const std::string number = two_digits(w + 1);
        std::vector<bool> twice(2 * CELLS);
        std::vector<bool> turned(2 * CELLS);
        std::vector<double> answers;
        for (int c = 0; c < 2 * CELLS; ++c) {
            const bool hit = word[static_cast<std::size_t>(c % CELLS)] == 'x';
            twice[static_cast<std::size_t>(c)] = hit;
            if (!hit) {
                answers.push_back((c + 0.5) * CELL);
            }
            const int source = c < CELLS ? c : (c - WORDS[w].rotation + CELLS) % CELLS;
            turned[static_cast<std::size_t>(c)] = word[static_cast<std::size_t>(source)] == 'x';
        }
        s.push_back(render("triplet_" + number + "_answer", twice, answers, 0.0));
        s.push_back(render("triplet_" + number + "_turnaround", turned, {}, -0.34));
    }
    return s;
}

}  // namespace trovelin::recipes
