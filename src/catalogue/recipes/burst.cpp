// burst_: three directional bursts, unevenly subdivided, and a late settle.
//
// Over eight beats three bursts of a, b and c equal notes each fill one and a
// half beats, with half a beat of deliberate stillness between them. Each
// burst drives along its own direction (up and right; left and forward;
// down through depth), its first note the strongest and the rest fading. A
// broad settling accent lands late, a beat and a quarter before the loop
// comes round.
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int LOOP = 512;
constexpr double SPAN = 96.0;                          // pips each burst fills
constexpr double STARTS[3] = {0.0, 160.0, 320.0};      // where each burst begins
constexpr Point DIRECTIONS[3] = {{0.46, 0.4, 0.0}, {-0.56, 0.0, 0.3}, {0.0, -0.3, -0.5}};
constexpr double SETTLE = 432.0;                       // the late accent

}  // namespace

Shapes burst_family() {
    static constexpr int COUNTS[16][3] = {
        {3, 5, 2}, {4, 3, 6}, {5, 2, 4}, {2, 7, 3}, {3, 4, 5}, {5, 3, 7}, {6, 2, 5}, {4, 7, 2},
        {7, 3, 4}, {2, 5, 6}, {5, 7, 3}, {3, 6, 4}, {4, 5, 7}, {6, 3, 5}, {7, 4, 3}, {5, 6, 2},
    };
    Shapes s;
    for (const auto& counts : COUNTS) {
        std::vector<PulseHit> pulses;
        for (int b = 0; b < 3; ++b) {
            const int n = counts[b];
            const double spacing = SPAN / n;
            double level = 1.0;
            for (int k = 0; k < n; ++k) {
                const Point d = DIRECTIONS[b];
                pulses.push_back({STARTS[b] + k * spacing, 0.42 * spacing, {level * d.x, level * d.y, level * d.z}});
                level *= 0.84;
            }
        }
        pulses.push_back({SETTLE, 30.0, {0.0, -0.42, 0.24}});
        s.push_back(hits_shape(join("burst", {counts[0], counts[1], counts[2]}),
                               "Three unevenly subdivided directional bursts, deliberate gaps and a late settling accent.",
                               LOOP, 3, pulses));
    }
    return s;
}

}  // namespace trovelin::recipes
