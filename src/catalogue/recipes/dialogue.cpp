// dialogue_: groups of eighth notes pass a phrase between directions.
//
// The loop is the groups' eighths end to end. Each group states the phrase
// in its own direction, in turn right, left, up and down: an accent on the
// group's first eighth and quieter, fading notes on the eighths after it.
// Just before the next group speaks, a late pickup answers from depth and
// leans back against the direction of the group that is ending.
#include <numeric>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

// Directions in turn: right, left, up, down (each with a slight dip or lift).
constexpr Point DIRECTIONS[4] = {{0.64, -0.1, 0.0}, {-0.64, -0.1, 0.0}, {0.06, 0.58, 0.0}, {-0.06, -0.58, 0.0}};

// How far before the next group the pickup lands, in pips.
constexpr double PICKUP_LEAD = 12.0;

}  // namespace

Shapes dialogue_family() {
    static const std::vector<std::vector<int>> GROUPS = {
        {3, 4, 5},    {5, 3, 4},    {3, 5, 2},    {2, 5, 4},    {4, 3, 2},    {3, 2, 4, 5}, {5, 2, 3, 4}, {2, 3, 5, 3},
        {3, 4, 3, 5}, {5, 4, 2, 3}, {2, 4, 5, 2}, {4, 5, 3, 2}, {3, 5, 4, 3}, {5, 3, 2, 5}, {2, 5, 3, 5}, {4, 3, 5, 4},
    };
    Shapes s;
    for (const auto& groups : GROUPS) {
        const int period = EIGHTH * std::accumulate(groups.begin(), groups.end(), 0);
        std::vector<PulseHit> pulses;
        int eighth = 0;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const Point d = DIRECTIONS[g % 4];
            pulses.push_back({double(eighth * EIGHTH), 14.0, d});
            for (int e = 1; e < groups[g]; ++e) {
                const double fade = 0.36 - 0.05 * (e - 1);
                pulses.push_back({double((eighth + e) * EIGHTH), 9.0, {fade * d.x, fade * d.y, 0.0}});
            }
            eighth += groups[g];
            const double pickup = eighth * EIGHTH - PICKUP_LEAD;
            pulses.push_back({pickup, 6.0, {-0.22 * d.x, -0.22 * d.y, 0.34}});
        }
        s.push_back(hits_shape(join("dialogue", groups),
                               "Different eighth-note group lengths pass a phrase between directions, with late pickup responses.",
                               period, 3, pulses));
    }
    return s;
}

}  // namespace trovelin::recipes
