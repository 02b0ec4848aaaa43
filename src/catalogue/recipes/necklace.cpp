// necklace_: a binary accent word of sixteen cells, one cell an eighth note,
// written by hand. Every cell is a hit on its first pip: a one (an accent)
// pushes right and dips, a zero (the word's complement) pushes left, more
// quietly. A rising accent, a one whose previous cell (around the loop) is a
// zero, i.e. the first one of each run of ones, also pushes forward in depth.
// No word is a rotation of another, so each is its own necklace.
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;
constexpr double HALF_WIDTH = 14.0;  // hits of neighbouring cells never overlap

std::vector<PulseHit> necklace_score(const std::string& word) {
    std::vector<PulseHit> hits;
    const std::size_t n = word.size();
    for (std::size_t k = 0; k < n; ++k) {
        const double at = static_cast<double>(EIGHTH * static_cast<int>(k));
        if (word[k] == '1') {
            const bool rising = word[(k + n - 1) % n] == '0';
            hits.push_back({at, HALF_WIDTH, {0.7, -0.3, rising ? 0.56 : 0.0}});
        } else {
            hits.push_back({at, HALF_WIDTH, {-0.42, -0.1, 0.0}});
        }
    }
    return hits;
}

}  // namespace

Shapes necklace_family() {
    static const char* const WORDS[] = {
        "1001001000101000", "1000101000100110", "1001010010100100", "1110100011101000",
        "1100110011001010", "1011011010110110", "1000100010001110", "1101001011010010",
        "1111000010100000", "1010101011001100", "1001101001011001", "1110011001110010",
        "1000001100000111", "1101110111011000", "1011000110110001", "1100101001110100",
    };
    Shapes s;
    int number = 1;
    for (const char* word : WORDS) {
        const std::vector<PulseHit> hits = necklace_score(word);
        s.push_back(hits_shape("necklace_" + two_digits(number++),
                               "A hand-authored binary accent word; its complement moves the other side and rising "
                               "accents add depth.",
                               PERIOD, 3, hits));
    }
    return s;
}

}  // namespace trovelin::recipes
