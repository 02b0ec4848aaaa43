// Families driven by onset grids: each onset adds a peak-aligned pulse, and
// pulses of neighbouring onsets add where they overlap.
#include <numeric>
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

// ceil(a / b) for positive integers.
constexpr int ceil_div(int a, int b) {
    return (a + b - 1) / b;
}


}  // namespace

Shapes rhythm_euclid() {
    Shapes s;
    for (const auto& [k, n] : {std::pair{3, 8}, std::pair{5, 12}}) {
        std::vector<Onset> right;
        std::vector<Onset> left;
        std::vector<Onset> all;
        for (int j = 0; j < k; ++j) {
            const Onset o{(256.0 / n) * ceil_div(j * n, k), 1.0};
            (j % 2 == 0 ? right : left).push_back(o);
            all.push_back(o);
        }
        s.push_back(make_shape(join("rhythm_euclid", {k, n}),
                               std::to_string(k) + " evenly distributed onsets on a " + std::to_string(n) +
                                   "-step grid. Alternating lateral gestures.",
                               256, 2, [=](int i) {
                                   return Point{0.8 * pulse_train(i, right, 12, 256) - 0.8 * pulse_train(i, left, 12, 256),
                                                -0.3 * pulse_train(i, all, 12, 256)};
                               }));
    }
    return s;
}

Shapes euclid_family() {
    static constexpr int GRIDS[16][2] = {
        {2, 5},  {3, 7},  {3, 10}, {4, 9},  {4, 11}, {5, 9},  {5, 11}, {5, 13},
        {5, 14}, {6, 13}, {7, 12}, {7, 15}, {7, 17}, {8, 19}, {9, 20}, {11, 24},
    };
    Shapes s;
    for (const auto& grid : GRIDS) {
        const int k = grid[0];
        const int n = grid[1];
        const int period = n * EIGHTH;
        // Onset j sits on eighth ceil(j n / k); the first is the phrase accent.
        std::vector<Onset> x_weights;
        std::vector<Onset> y_weights;
        for (int j = 0; j < k; ++j) {
            const double pip = EIGHTH * ceil_div(j * n, k);
            const bool accent = j == 0;
            x_weights.push_back({pip, accent ? 0.75 : (j % 2 == 0 ? 0.5625 : -0.5625)});
            y_weights.push_back({pip, accent ? -0.32 : -0.24});
        }
        s.push_back(make_shape(join("euclid", {k, n}),
                               "Evenly distributed accents with alternating sides; first onset is the phrase accent.", period,
                               2, [=](int i) {
                                   return Point{pulse_train(i, x_weights, 24, period),
                                                pulse_train(i, y_weights, 24, period)};
                               }));
    }
    return s;
}

Shapes poly_family() {
    static constexpr int LANES[16][2] = {
        {2, 5}, {2, 7}, {2, 9}, {3, 5}, {3, 7}, {3, 8}, {3, 10}, {4, 5},
        {4, 7}, {4, 9}, {5, 6}, {5, 7}, {5, 8}, {5, 9}, {6, 7},  {7, 8},
    };
    Shapes s;
    for (const auto& lanes : LANES) {
        const int a = lanes[0];
        const int b = lanes[1];
        std::vector<Onset> left;
        std::vector<Onset> right;
        for (int j = 0; j < a; ++j) {
            left.push_back({512.0 * j / a, j == 0 ? 1.0 : 0.65});
        }
        for (int j = 0; j < b; ++j) {
            right.push_back({512.0 * j / b, j == 0 ? 1.0 : 0.65});
        }
        s.push_back(make_shape(
            join("poly", {a, b}),
            "Two independent pulse trains share an eight-beat boundary. Each right-lane gesture includes depth.", 512, 3,
            [=](int i) {
                const double l = pulse_train(i, left, 22.4, 512);
                const double r = pulse_train(i, right, 22.4, 512);
                return Point{-0.62 * l + 0.62 * r, -0.26 * l - 0.26 * r, 0.22 * r};
            }));
    }
    return s;
}

Shapes meter_family() {
    static const std::vector<std::vector<int>> GROUPINGS = {
        {2, 3},       {3, 2},       {3, 2, 2},    {2, 3, 2},    {3, 4},       {4, 3},
        {2, 2, 2, 3}, {2, 3, 2, 2}, {3, 2, 3, 2}, {3, 3, 2, 3}, {2, 2, 3, 2, 3}, {3, 3, 3, 2},
        {4, 3, 3},    {3, 4, 4},    {2, 3, 3, 2, 3}, {3, 3, 3, 4},
    };
    Shapes s;
    for (const auto& groups : GROUPINGS) {
        const int eighths = std::accumulate(groups.begin(), groups.end(), 0);
        const int period = eighths * EIGHTH;
        // Group starts lean alternately right and left; every other eighth
        // gets a quieter subdivision pulse.
        std::vector<Onset> lean;
        std::vector<Onset> accents;
        std::vector<Onset> subdivisions;
        int eighth = 0;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            lean.push_back({double(eighth * EIGHTH), g % 2 == 0 ? 1.0 : -1.0});
            accents.push_back({double(eighth * EIGHTH), 1.0});
            for (int e = 1; e < groups[g]; ++e) {
                subdivisions.push_back({double((eighth + e) * EIGHTH), 1.0});
            }
            eighth += groups[g];
        }
        s.push_back(make_shape(
            join("meter", groups),
            "Group starts lean alternately left and right; quieter subdivisions mark the eighth-note grid.", period, 3,
            [=](int i) {
                const double sub = pulse_train(i, subdivisions, 32.0 / 3.0, period);
                return Point{0.72 * pulse_train(i, lean, 19.2, period),
                             -0.33 * pulse_train(i, accents, 19.2, period) - 0.1134 * sub, 0.0504 * sub};
            }));
    }
    return s;
}

}  // namespace trovelin::recipes
