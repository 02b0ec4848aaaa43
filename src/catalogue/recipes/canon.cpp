// canon_: eight short motifs, each stated in the lateral lane (x) and
// answered in the depth lane (z) after a delay: a close answer comes less than
// a beat behind, a late one more than a beat. The loop is two four-beat
// halves, each opening with the statement on its downbeat. The first half's
// answer is the statement moved to z; the second half's answer is altered,
// one way per motif:
//   inverted   the answer's hits move the other way in depth
//   augmented  the gaps between the answer's hits are doubled
//   dropped    one hit of the answer is left out
// Statement hits alternate right and left with the first one accented; the
// answer repeats that pattern front and back. Every statement hit also dips y
// a little and every answer hit lifts it, so the vertical shows both voices.
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;
constexpr double HALF = 256.0;
constexpr double HALF_WIDTH = 10.0;  // the closest hits of a motif are a third of a beat apart

enum class Alteration { inverted, augmented, dropped };

struct Motif {
    std::vector<BeatFraction> onsets;  // from the statement's downbeat
    BeatFraction close;                // answer delays
    BeatFraction late;
    Alteration alteration;
    std::size_t dropped = 0;  // which hit the dropped answer leaves out
};

const std::vector<Motif>& motifs() {
    static const std::vector<Motif> m = {
        {{{0}, {1, 2}, {5, 6}, {3, 2}}, {1, 2}, {2}, Alteration::inverted},
        {{{0}, {1, 3}, {2, 3}, {5, 4}}, {1, 3}, {5, 4}, Alteration::augmented},
        {{{0}, {3, 4}, {5, 4}, {5, 3}}, {2, 3}, {2}, Alteration::dropped, 1},
        {{{0}, {1, 3}, {1}, {4, 3}, {7, 4}}, {3, 4}, {3, 2}, Alteration::inverted},
        {{{0}, {2, 3}, {1}, {3, 2}, {11, 6}}, {1, 3}, {7, 4}, Alteration::dropped, 3},
        {{{0}, {1, 2}, {5, 6}, {7, 6}}, {1, 2}, {3, 2}, Alteration::augmented},
        {{{0}, {1, 3}, {3, 4}, {3, 2}}, {2, 3}, {2}, Alteration::dropped, 3},
        {{{0}, {5, 6}, {4, 3}, {5, 3}}, {3, 4}, {7, 4}, Alteration::inverted},
    };
    return m;
}

// The statement hit k of a motif, or its answer, at `pip`.
PulseHit statement(std::size_t k, double pip) {
    const double side = k % 2 == 0 ? 1.0 : -1.0;
    return {pip, HALF_WIDTH, {side * (k == 0 ? 0.74 : 0.52), -0.22, 0.0}};
}

PulseHit answer(std::size_t k, double pip, bool inverted) {
    const double side = (k % 2 == 0) != inverted ? 1.0 : -1.0;
    return {pip, HALF_WIDTH, {0.0, 0.18, side * (k == 0 ? 0.66 : 0.46)}};
}

std::vector<PulseHit> canon_score(const Motif& m, const BeatFraction& delay) {
    std::vector<PulseHit> hits;
    const std::size_t n = m.onsets.size();
    for (double start : {0.0, HALF}) {
        for (std::size_t k = 0; k < n; ++k) {
            hits.push_back(statement(k, start + m.onsets[k].pips()));
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        hits.push_back(answer(k, delay.pips() + m.onsets[k].pips(), false));
    }
    for (std::size_t k = 0; k < n; ++k) {
        const double at = HALF + delay.pips() + m.onsets[k].pips();
        switch (m.alteration) {
            case Alteration::inverted:
                hits.push_back(answer(k, at, true));
                break;
            case Alteration::augmented:
                hits.push_back(answer(k, HALF + delay.pips() + 2.0 * m.onsets[k].pips(), false));
                break;
            case Alteration::dropped:
                if (k != m.dropped) {
                    hits.push_back(answer(k, at, false));
                }
                break;
        }
    }
    return hits;
}

}  // namespace

Shapes canon_family() {
    Shapes s;
    int number = 1;
    for (const Motif& m : motifs()) {
        for (const auto& [delay, word] : {std::pair{m.close, "_close"}, std::pair{m.late, "_late"}}) {
            const std::vector<PulseHit> hits = canon_score(m, delay);
            s.push_back(hits_shape("canon_" + two_digits(number) + word,
                                   "A rational-beat motif passes between lateral and depth lanes, with an altered "
                                   "second-half response.",
                                   PERIOD, 3, hits));
        }
        ++number;
    }
    return s;
}

}  // namespace trovelin::recipes
