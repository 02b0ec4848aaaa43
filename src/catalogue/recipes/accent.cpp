// accent_: a four-bar pulse grid under a two-accent motif that walks.
//
// Each bar holds n evenly spaced pulses, the same in every bar: small, equal
// downward taps. Two of them carry the motif: a lead that swings right and
// forward, and an answer, half a bar's worth of pulses later, that swings
// left and back; both tap deeper than the grid. From bar to bar the whole
// motif moves on by m pulses, so over the four bars it walks across the grid
// while the grid itself never changes its spacing.
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

Shapes accent_family() {
    static constexpr int WALKS[16][2] = {
        {5, 1}, {5, 2}, {7, 1},  {7, 2},  {7, 3},  {8, 1},  {8, 3},  {9, 1},
        {9, 2}, {9, 4}, {10, 3}, {11, 2}, {11, 3}, {12, 5}, {13, 3}, {13, 5},
    };
    constexpr int BAR = 256;
    constexpr int LOOP = 4 * BAR;
    Shapes s;
    for (const auto& walk : WALKS) {
        const int n = walk[0];
        const int m = walk[1];
        const double spacing = static_cast<double>(BAR) / n;
        std::vector<PulseHit> pulses;
        for (int bar = 0; bar < 4; ++bar) {
            const int lead = (bar * m) % n;
            const int answer = (lead + n / 2) % n;
            for (int k = 0; k < n; ++k) {
                const double pip = bar * BAR + k * spacing;
                pulses.push_back({pip, 0.42 * spacing, {0.0, -0.16, 0.0}});
                if (k == lead) {
                    pulses.push_back({pip, 0.8 * spacing, {0.62, -0.2, 0.38}});
                } else if (k == answer) {
                    pulses.push_back({pip, 0.8 * spacing, {-0.48, -0.1, -0.26}});
                }
            }
        }
        s.push_back(hits_shape(join("accent_walk", {n, m}),
                               "A four-bar grid keeps its pulse spacing while a two-accent motif migrates between bars.",
                               LOOP, 3, pulses));
    }
    return s;
}

}  // namespace trovelin::recipes
