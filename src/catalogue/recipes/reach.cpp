// reach_<kind>_n: n shaped reaches out of a shared centre.
//
// Every reach leaves the centre, travels out along a shaped path, comes to
// rest at its far end, returns and settles at the centre, where the point
// holds still before the next reach. The reaches fan out evenly round the
// centre, each a little off its even direction, and take the directions in
// an order that jumps across (every second of five, every third of seven),
// with unequal lengths, curling to alternate sides. The
// whole loop is one smooth closed curve through the reaches' waypoints (the
// centre among them, once per reach), paced by its length, so no reach ends
// in a jump: the holds and rests are where the pacing stops.
//
// Kinds, in each reach's own frame (out along the reach, across it):
// scoop  dips to one side on the way out and comes back on a shallower path;
// hook   runs out straight, curls round into a hook at the end, and comes
//        back out of the curl and down beside the shank;
// lift   rises in depth towards the far end and sinks on the way back (3-D);
// recoil darts out, snaps back past the centre to the opposite side, and
//        settles.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double PEAK = 0.82;
constexpr double HOLD = 0.14;  // share of a reach's slot held at the centre

enum class Kind { scoop, hook, lift, recoil };

struct Waypoint {
    double along;
    double across;
    double depth;  // the first and last waypoints' depth is absolute, the rest scale with the reach
    bool rest;     // the point comes to rest here
};

// Waypoints between leaving the centre and arriving back at it, in units of
// the reach's length; `pace` is the share of the slot spent on the way to
// each resting waypoint, then to the centre.
struct Recipe {
    std::vector<Waypoint> points;
    std::vector<double> pace;
    double base_angle;
};

Recipe recipe(Kind kind) {
    switch (kind) {
        case Kind::scoop:
            return {{{0.08, -0.04, 0, false},
                     {0.38, -0.32, 0, false},
                     {0.76, -0.3, 0, false},
                     {1.0, 0.0, 0, true},
                     {0.62, 0.14, 0, false},
                     {0.26, 0.1, 0, false},
                     {0.07, 0.03, 0, false}},
                    {0.44, 0.42},
                    0.3};
        case Kind::hook:
            return {{{0.08, 0.0, 0, false},
                     {0.5, 0.0, 0, false},
                     {0.86, 0.02, 0, false},
                     {1.02, 0.16, 0, false},
                     {0.98, 0.36, 0, false},
                     {0.84, 0.44, 0, false},
                     {0.68, 0.36, 0, true},
                     {0.8, 0.34, 0, false},
                     {0.87, 0.25, 0, false},
                     {0.82, 0.13, 0, false},
                     {0.62, 0.07, 0, false},
                     {0.3, 0.03, 0, false},
                     {0.1, 0.02, 0, false}},
                    {0.4, 0.46},
                    1.2};
        case Kind::lift:
            // Leaving and arriving at one depth for every reach keeps the depth
            // level through the centre, so no reach dips below it.
            return {{{0.08, 0.02, 0.06, false},
                     {0.5, 0.1, 0.5, false},
                     {1.0, 0.0, 0.75, true},
                     {0.6, -0.08, 0.32, false},
                     {0.1, -0.02, 0.06, false}},
                    {0.42, 0.44},
                    2.1};
        case Kind::recoil:
            return {{{0.1, 0.02, 0, false},
                     {0.55, 0.04, 0, false},
                     {1.0, 0.0, 0, true},
                     {0.5, -0.03, 0, false},
                     {0.05, -0.05, 0, false},
                     {-0.26, -0.06, 0, true},
                     {-0.08, -0.02, 0, false}},
                    {0.22, 0.32, 0.32},
                    3.0};
    }
    return {};
}

Shape reach(Kind kind, const std::string& word, int count) {
    const Recipe r = recipe(kind);
    const bool depth = kind == Kind::lift;
    std::vector<Point> points;
    std::vector<std::size_t> centres;
    std::vector<std::vector<std::size_t>> rests;  // per reach
    for (int j = 0; j < count; ++j) {
        const int stride = count == 5 ? 2 : count == 7 ? 3 : 1;
        const double angle = r.base_angle + TWO_PI * (j * stride % count) / count + 0.2 * crmath::sin(3.1 * j + 0.5);
        const double length = 0.72 + 0.28 * (0.5 + 0.5 * crmath::cos(2.1 * j + r.base_angle));
        const double lift = 0.65 + 0.35 * (0.5 + 0.5 * crmath::sin(1.7 * j + 0.4));
        const double hand = j % 2 == 0 ? 1.0 : -1.0;
        const double ux = crmath::cos(angle);
        const double uy = crmath::sin(angle);
        centres.push_back(points.size());
        rests.emplace_back();
        points.push_back({0.0, 0.0, 0.0});
        for (std::size_t q = 0; q < r.points.size(); ++q) {
            const Waypoint& w = r.points[q];
            const double a = length * w.along;
            const double b = length * w.across * hand;
            const bool end = q == 0 || q + 1 == r.points.size();
            if (w.rest) {
                rests.back().push_back(points.size());
            }
            points.push_back({a * ux - b * uy, a * uy + b * ux, depth ? (end ? w.depth : length * lift * w.depth) : 0.0});
        }
    }
    const EvenLoopPath path(keys_by_length(points));
    // Each reach's slot: hold at the centre, then an eased move to each resting
    // waypoint in turn and on to the next reach's centre.
    std::vector<std::pair<double, double>> timing;
    const double slot = 1.0 / count;
    for (std::size_t j = 0; j < rests.size(); ++j) {
        double t = slot * static_cast<double>(j);
        const double centre = path.key_progress(centres[j]);
        timing.emplace_back(t, centre);
        t += HOLD * slot;
        timing.emplace_back(t, centre);
        for (std::size_t q = 0; q < rests[j].size(); ++q) {
            t += r.pace[q] * slot;
            timing.emplace_back(t, path.key_progress(rests[j][q]));
        }
    }
    const EasedProgress progress(std::move(timing));
    Shape s = make_shape("reach_" + word + "_" + std::to_string(count),
                         "Separate shaped reaches depart from and settle at a shared centre, without reset jumps.", LOOP,
                         depth ? 3 : 2, [&](int i) { return path(progress(static_cast<double>(i) / LOOP)); });
    scale_to_peak(s.rows, PEAK, depth);
    return s;
}

}  // namespace

Shapes reach_family() {
    Shapes s;
    for (int count : {3, 4, 5, 7}) {
        s.push_back(reach(Kind::scoop, "scoop", count));
        s.push_back(reach(Kind::hook, "hook", count));
        s.push_back(reach(Kind::lift, "lift", count));
        s.push_back(reach(Kind::recoil, "recoil", count));
    }
    return s;
}

}  // namespace trovelin::recipes
