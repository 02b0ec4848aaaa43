// seq_: programmed position sequences in the x-y plane, eight beats a loop.
//
// A sequence is a list of positions visited in turn, one a segment. Each
// segment begins with a softened transition from the previous position (a
// smoothstep glide, at rest at both ends) and then holds its own position
// until the next segment begins; the last segment's successor is the first,
// so the loop closes with an ordinary transition. Every programme comes in two
// timings: even (all segments equally long) and lilt (segments alternately
// long and short, LONG : SHORT = 5 : 3, every pair lasting two even
// segments). The glide takes the same time in both: three eighths of an even
// segment, half of a short lilt segment.
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;
constexpr int LONG = 5;
constexpr int SHORT = 3;

struct Step {
    double x;
    double y;
};

Shape sequence(const std::string& programme, const std::vector<Step>& steps, bool lilt) {
    const int n = static_cast<int>(steps.size());  // even, so long and short pair up across the seam
    const int even = PERIOD / n;
    const int glide = 3 * even / 8;
    std::vector<std::pair<double, double>> xs;
    std::vector<std::pair<double, double>> ys;
    int start = 0;
    for (int j = 0; j < n; ++j) {
        const Step& from = steps[static_cast<std::size_t>((j + n - 1) % n)];
        const Step& to = steps[static_cast<std::size_t>(j)];
        const double leave = start / static_cast<double>(PERIOD);
        const double arrive = (start + glide) / static_cast<double>(PERIOD);
        xs.emplace_back(leave, from.x);
        xs.emplace_back(arrive, to.x);
        ys.emplace_back(leave, from.y);
        ys.emplace_back(arrive, to.y);
        const int pair = 2 * even;
        start += lilt ? (j % 2 == 0 ? pair * LONG : pair * SHORT) / (LONG + SHORT) : even;
    }
    const EasedKeys x(std::move(xs));
    const EasedKeys y(std::move(ys));
    const std::string words = lilt ? "lilt" : "even";
    return make_shape("seq_" + programme + "_" + words,
                      "A programmed position sequence with " + words + " segment durations and softened transitions.",
                      PERIOD, 2, [&x, &y](int i) {
                          const double phase = i / static_cast<double>(PERIOD);
                          return Point{x(phase), y(phase)};
                      });
}

struct Programme {
    const char* name;
    std::vector<Step> steps;
};

std::vector<Programme> programmes() {
    return {
        // Up the left side in four steps, over the top, down the right.
        {"up_down",
         {{-0.3, -0.7}, {-0.3, -0.35}, {-0.3, 0.0}, {-0.3, 0.35}, {0.0, 0.7}, {0.3, 0.35}, {0.3, 0.0}, {0.3, -0.35}}},
        // Side to side twice, the bob lowest in the middle of each swing.
        {"pendulum",
         {{-0.75, 0.3}, {-0.4, -0.05}, {0.0, -0.2}, {0.4, -0.05}, {0.75, 0.3}, {0.4, -0.05}, {0.0, -0.2}, {-0.4, -0.05}}},
        // Leaps between a low and a high level, walking right one place
        // every leap pair.
        {"octave",
         {{-0.6, -0.6}, {-0.6, 0.6}, {-0.2, -0.6}, {-0.2, 0.6}, {0.2, -0.6}, {0.2, 0.6}, {0.6, -0.6}, {0.6, 0.6}}},
        // Irregular moves, none the size of another.
        {"unequal",
         {{-0.1, -0.6}, {0.5, -0.4}, {0.3, 0.5}, {-0.6, 0.2}, {-0.4, -0.1}, {0.7, 0.65}, {0.1, -0.2}, {-0.7, -0.45}}},
        // A phrase walking right whose last steps climb, ending high.
        {"question",
         {{-0.7, 0.0}, {-0.5, -0.3}, {-0.3, -0.1}, {-0.1, -0.4}, {0.1, 0.0}, {0.3, 0.3}, {0.5, 0.55}, {0.7, 0.75}}},
        // Its reply walking back left and descending, ending low.
        {"answer",
         {{0.7, 0.7}, {0.5, 0.5}, {0.3, 0.6}, {0.1, 0.3}, {-0.1, 0.35}, {-0.3, 0.0}, {-0.5, -0.3}, {-0.7, -0.6}}},
        // Sixteen clicks: each pair advances x by 0.2 and falls back by 0.1,
        // while y ticks up and down; then one return to the start.
        {"ratchet",
         {{-0.6, 0.3}, {-0.4, -0.3}, {-0.5, 0.3}, {-0.3, -0.3}, {-0.4, 0.3}, {-0.2, -0.3}, {-0.3, 0.3}, {-0.1, -0.3},
          {-0.2, 0.3}, {0.0, -0.3}, {-0.1, 0.3}, {0.1, -0.3}, {0.0, 0.3}, {0.2, -0.3}, {0.1, 0.3}, {0.3, -0.3}}},
        // Treads and risers: right, up, right, up, then back down the slope.
        {"stairs",
         {{-0.7, -0.7}, {-0.35, -0.7}, {-0.35, -0.35}, {0.0, -0.35}, {0.0, 0.0}, {0.35, 0.0}, {0.35, 0.35}, {0.7, 0.35}}},
    };
}

}  // namespace

Shapes seq_family() {
    Shapes s;
    for (bool lilt : {false, true}) {
        for (const Programme& p : programmes()) {
            s.push_back(sequence(p.name, p.steps, lilt));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
