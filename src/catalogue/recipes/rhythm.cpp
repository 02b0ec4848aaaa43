// rhythm_: short scores made visible. Each member's description is its score;
// every onset is an exact fraction of the loop and every hit a peak-aligned
// pulse that wraps round the seam. Lanes that share an axis keep their hits
// far enough apart that no pulse reaches a neighbour's peak, so every peak
// sits on its onset.
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr double BEAT = 64.0;

// The j-th of k onsets spread evenly over `span` pips: span * j / k, formed
// from whole numbers so that equal fractions give equal pips.
double even(int j, int k, double span) {
    return span * j / k;
}

// Euclidean onsets: the j-th of k on a grid of n steps lies on step
// ceil(j n / k).
std::vector<int> euclid_steps(int k, int n) {
    std::vector<int> steps;
    for (int j = 0; j < k; ++j) {
        steps.push_back((j * n + k - 1) / k);
    }
    return steps;
}

// Group starts and the eighths between them for eighth-note groupings
// played one after another from pip 0.
struct Grouping {
    std::vector<int> starts;        // eighth of each group start
    std::vector<int> subdivisions;  // every other eighth
};

Grouping grouping(const std::vector<int>& groups) {
    Grouping g;
    int eighth = 0;
    for (int length : groups) {
        g.starts.push_back(eighth);
        for (int e = 1; e < length; ++e) {
            g.subdivisions.push_back(eighth + e);
        }
        eighth += length;
    }
    return g;
}

// Three sideways gestures (right, left, right; the first the accent) against a
// drop and a lift, both lanes starting on the downbeat.
Shape three_two() {
    std::vector<PulseHit> hits;
    for (int j = 0; j < 3; ++j) {
        hits.push_back({even(j, 3, 256), 26, {j == 0 ? 0.78 : (j == 1 ? -0.6 : 0.6), 0.0, 0.0}});
    }
    for (int j = 0; j < 2; ++j) {
        hits.push_back({even(j, 2, 256), 30, {0.0, j == 0 ? -0.62 : 0.5, 0.0}});
    }
    return hits_shape("rhythm_three_two",
                      "Three horizontal gestures interlock with two vertical gestures in one four-beat cycle.", 256, 2,
                      hits);
}

// Half time: the downbeat drops hardest, the snare-like accent on beat three
// swings right and down, and a light shuffle flicks left on the swung offbeat
// (two thirds through) of every beat.
Shape half_time() {
    std::vector<PulseHit> hits{
        {0, 18, {0.0, -0.8, 0.0}},
        {2 * BEAT, 14, {0.64, -0.5, 0.0}},
    };
    for (int b = 0; b < 4; ++b) {
        hits.push_back({BEAT * (3 * b + 2) / 3, 9, {-0.24, 0.13, 0.0}});
    }
    return hits_shape("rhythm_half_time",
                      "A strong downbeat, snare-like accent on beat three, and smaller offbeat shuffles.", 256, 2, hits);
}

// n sideways hits per four beats against four vertical ones, over two bars.
// With n odd the sides need both bars to come round: the second bar starts on
// the left. The vertical hits alternate down and up on the beats.
Shape lateral_against_four(int n) {
    std::vector<PulseHit> hits;
    const double width = 0.42 * (256.0 / n);
    for (int j = 0; j < 2 * n; ++j) {
        const double side = j % 2 == 0 ? 1.0 : -1.0;
        const double size = j % n == 0 ? 0.78 : 0.62;  // bar leads stand out
        hits.push_back({even(j, 2 * n, 512), width, {side * size, 0.0, 0.0}});
    }
    for (int b = 0; b < 8; ++b) {
        hits.push_back({b * BEAT, 20, {0.0, b % 2 == 0 ? -0.5 : 0.42, 0.0}});
    }
    const std::string count = std::to_string(n);
    return hits_shape(n == 5 ? "rhythm_five_four" : "rhythm_seven_four",
                      count + " lateral hits against four vertical hits per four beats; two bars preserve alternating "
                              "directions.",
                      512, 2, hits);
}

// k of 16 sixteenths, evenly spread, in each four-beat bar; sides alternate
// hit by hit, so with k odd the repeat mirrors the first bar. Each bar's first
// hit dips deepest.
Shape euclid_sixteen(int k) {
    std::vector<PulseHit> hits;
    const std::vector<int> steps = euclid_steps(k, 16);
    for (int bar = 0; bar < 2; ++bar) {
        for (int j = 0; j < k; ++j) {
            const int index = bar * k + j;
            const double side = index % 2 == 0 ? 1.0 : -1.0;
            hits.push_back({256.0 * bar + 16.0 * steps[static_cast<std::size_t>(j)], 13,
                            {side * 0.76, j == 0 ? -0.44 : -0.32, 0.0}});
        }
    }
    const std::string count = std::to_string(k);
    return hits_shape("rhythm_euclid_" + count + "_16",
                      count +
                          " evenly distributed onsets on a sixteen-step grid, repeated with alternating sides over eight "
                          "beats.",
                      512, 2, hits);
}

// Two beats of swung eighths (the offbeat two thirds through the beat) on
// the right, the same answered on the left; offbeats are lighter and lift.
Shape swung_answer() {
    std::vector<PulseHit> hits;
    for (int b = 0; b < 4; ++b) {
        const double side = b < 2 ? 1.0 : -1.0;
        hits.push_back({b * BEAT, 9.5, {side * 0.76, -0.3, 0.0}});
        hits.push_back({BEAT * (3 * b + 2) / 3, 9.5, {side * 0.5, 0.2, 0.0}});
    }
    return hits_shape(
        "rhythm_swung_answer",
        "A two-to-one swung call on the right, answered on the left; four beats and eight peak-aligned gestures.", 256,
        2, hits);
}

// Eighth-note groupings played twice round the loop: group starts swing to
// alternate sides and dip, the other eighths dip lightly. `bar_lead_y` deepens
// the dip at the start of each repeat.
Shape grouped(const std::string& name, const std::string& description, const std::vector<int>& groups,
              double accent_width, double accent_x, double accent_y, double bar_lead_y) {
    const Grouping g = grouping(groups);
    int eighths = 0;
    for (int length : groups) {
        eighths += length;
    }
    std::vector<PulseHit> hits;
    int index = 0;
    for (int bar = 0; bar < 2; ++bar) {
        for (int start : g.starts) {
            const double side = index % 2 == 0 ? 1.0 : -1.0;
            const double dip = start == 0 ? bar_lead_y : accent_y;
            hits.push_back({EIGHTH * double(bar * eighths + start), accent_width, {side * accent_x, dip, 0.0}});
            ++index;
        }
        for (int e : g.subdivisions) {
            hits.push_back({EIGHTH * double(bar * eighths + e), 8.5, {0.0, -0.12, 0.0}});
        }
    }
    return hits_shape(name, description, 2 * eighths * EIGHTH, 2, hits);
}

// Three, four and five evenly spaced gestures on x, y and z over eight beats,
// every lane leading with its accent on pip 0.
Shape three_four_five() {
    std::vector<PulseHit> hits;
    for (int j = 0; j < 3; ++j) {
        hits.push_back({even(j, 3, 512), 36, {j == 0 ? 0.74 : 0.6, 0.0, 0.0}});
    }
    for (int j = 0; j < 4; ++j) {
        hits.push_back({even(j, 4, 512), 28, {0.0, j == 0 ? -0.66 : -0.52, 0.0}});
    }
    for (int j = 0; j < 5; ++j) {
        hits.push_back({even(j, 5, 512), 22, {0.0, 0.0, j == 0 ? 0.56 : 0.44}});
    }
    return hits_shape("rhythm_three_four_five",
                      "Three X, four Y, and five Z gestures share an eight-beat phrase, with exact rational peak times.",
                      512, 3, hits);
}

}  // namespace

Shapes rhythm_cycles() {
    return {three_two(), half_time()};
}

Shapes rhythm_phrases() {
    Shapes s;
    s.push_back(lateral_against_four(5));
    s.push_back(lateral_against_four(7));
    s.push_back(euclid_sixteen(7));
    s.push_back(euclid_sixteen(5));
    s.push_back(swung_answer());
    s.push_back(grouped("rhythm_group_332",
                        "Groups of three, three, and two eighth notes. Six alternating accents make an eight-beat loop.",
                        {3, 3, 2}, 20, 0.74, -0.34, -0.42));
    s.push_back(grouped("rhythm_group_223",
                        "Two 7/8 bars grouped as 2+2+3 eighth notes: a seven-quarter-note loop, not forced into four "
                        "beats.",
                        {2, 2, 3}, 18, 0.72, -0.3, -0.42));
    s.push_back(three_four_five());
    return s;
}

}  // namespace trovelin::recipes
