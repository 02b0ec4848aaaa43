// echo_: a call on the downbeat and n echoes behind it, each echo a fixed
// fraction as strong as the one before, over the first four beats; the second
// four beats answer with the same timing in a different direction (the call
// pushes right, down a little and forward; the answer left, up and back).
// The gaps between neighbouring hits are exact fractions of a beat:
//   regular    all gaps equal
//   shrinking  each gap shorter than the last
//   expanding  each gap longer than the last
//   crossed    equal gaps, with the echoes crossing to the other side by turns
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;
constexpr double HALF = 256.0;
constexpr double HALF_WIDTH = 10.0;  // the shortest gap is a third of a beat
// Each echo is this much of the one before, for n = 3 .. 6 echoes: the last
// one has faded to about a fifth of the call.
constexpr double DECAY[] = {0.6, 0.67, 0.72, 0.76};

constexpr Point CALL{0.78, -0.2, 0.3};
constexpr Point ANSWER{-0.3, 0.74, -0.26};

enum class Spacing { regular, shrinking, expanding, crossed };

// Gaps from each hit to the next, call first, for n echoes; every
// denominator divides 12.
std::vector<BeatFraction> gaps(Spacing spacing, int n) {
    static const BeatFraction EVEN[] = {{3, 4}, {2, 3}, {1, 2}, {5, 12}};  // n = 3 .. 6
    static const std::vector<BeatFraction> SHRINKING[] = {
        {{1}, {2, 3}, {1, 3}},
        {{5, 6}, {3, 4}, {1, 2}, {1, 3}},
        {{1}, {5, 6}, {2, 3}, {1, 2}, {1, 3}},
        {{3, 4}, {2, 3}, {7, 12}, {1, 2}, {5, 12}, {1, 3}},
    };
    static const std::vector<BeatFraction> EXPANDING[] = {
        {{1, 2}, {3, 4}, {1}},
        {{1, 3}, {2, 3}, {5, 6}, {1}},
        {{5, 12}, {1, 2}, {7, 12}, {3, 4}, {5, 6}},
        {{1, 3}, {5, 12}, {1, 2}, {7, 12}, {2, 3}, {3, 4}},
    };
    const auto index = static_cast<std::size_t>(n - 3);
    switch (spacing) {
        case Spacing::regular:
        case Spacing::crossed:
            return std::vector<BeatFraction>(static_cast<std::size_t>(n), EVEN[index]);
        case Spacing::shrinking:
            return SHRINKING[index];
        case Spacing::expanding:
            return EXPANDING[index];
    }
    return {};
}

std::vector<PulseHit> echo_score(Spacing spacing, int n) {
    std::vector<PulseHit> hits;
    const std::vector<BeatFraction> between = gaps(spacing, n);
    for (const auto& [start, toward] : {std::pair{0.0, CALL}, std::pair{HALF, ANSWER}}) {
        // Onsets are summed in twelfths of a beat, so each stays an exact fraction.
        int twelfths = 0;
        double weight = 1.0;
        for (int k = 0; k <= n; ++k) {
            const double side = spacing == Spacing::crossed && k % 2 == 1 ? -1.0 : 1.0;
            hits.push_back({start + BeatFraction{twelfths, 12}.pips(), HALF_WIDTH,
                            {side * weight * toward.x, weight * toward.y, weight * toward.z}});
            if (k < n) {
                const BeatFraction gap = between[static_cast<std::size_t>(k)];
                twelfths += 12 * gap.num / gap.den;
                weight *= DECAY[n - 3];
            }
        }
    }
    return hits;
}

}  // namespace

Shapes echo_family() {
    static const std::pair<Spacing, const char*> SPACINGS[] = {
        {Spacing::regular, "regular"},
        {Spacing::shrinking, "shrinking"},
        {Spacing::expanding, "expanding"},
        {Spacing::crossed, "crossed"},
    };
    Shapes s;
    for (int n = 3; n <= 6; ++n) {
        for (const auto& [spacing, word] : SPACINGS) {
            const std::vector<PulseHit> hits = echo_score(spacing, n);
            s.push_back(hits_shape(join(std::string("echo_") + word, {n}),
                                   "An original decaying call and a differently directed answer; echo spacing is "
                                   "preserved as fractions.",
                                   PERIOD, 3, hits));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
