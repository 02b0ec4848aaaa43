// tour_n_k: star tours {n/k} around an oval polygon.
//
// The n vertices lie on a lopsided oval (an egg leaning at a per-tour angle),
// spaced a little unevenly, so the polygon is neither regular nor circular.
// The tour starts at vertex 0 and steps k vertices at a time, visiting every
// vertex once per loop (n and k are coprime). At each vertex the point comes
// to rest and dwells; it then crosses to the next vertex along the straight
// chord, easing out of one corner and into the next. Dwells alternate long
// and short; a tour of odd n would bring two long dwells together across the
// seam, so its last dwell takes the middle length instead. Every move takes
// the same time. The 3-D tours tip the polygon into a saddle: each vertex's
// depth rises and falls twice around the oval.
#include <cmath>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double PEAK = 0.82;

// Dwell lengths as shares of an even slot of the loop (LOOP / n).
constexpr double LONG_DWELL = 0.36;
constexpr double SHORT_DWELL = 0.12;
constexpr double MIDDLE_DWELL = 0.24;

Point vertex(int j, int n, int k, bool depth) {
    // Uneven spacing: each vertex is nudged by up to a tenth of its share of
    // the turn.
    const double a = TWO_PI * (j + 0.1 * crmath::sin(2.3 * j + k)) / n;
    const double lean = 0.45 * k + 0.2 * n;
    const double egg = 1.0 + 0.16 * crmath::cos(a - lean);
    const double r = 0.95 + 0.08 * crmath::cos(3 * a);
    const double x = r * egg * crmath::cos(a);
    const double y = 0.72 * r * crmath::sin(a);
    // Lean the oval.
    const Point p{x * crmath::cos(lean) - y * crmath::sin(lean), x * crmath::sin(lean) + y * crmath::cos(lean), 0.0};
    if (!depth) {
        return p;
    }
    return {p.x, p.y, 0.62 * crmath::cos(2 * a + 0.3 * n)};
}

Shape tour(int n, int k, int dimensions) {
    const bool depth = dimensions == 3;
    std::vector<double> dwell;
    double dwelling = 0.0;
    for (int m = 0; m < n; ++m) {
        double share = m % 2 == 0 ? LONG_DWELL : SHORT_DWELL;
        if (n % 2 == 1 && m == n - 1) {
            share = MIDDLE_DWELL;
        }
        dwell.push_back(share * LOOP / n);
        dwelling += dwell.back();
    }
    const double move = (LOOP - dwelling) / n;
    std::vector<std::pair<double, double>> xs, ys, zs;
    double t = 0.0;
    int visit = 0;
    for (double d : dwell) {
        const Point v = vertex(visit * k % n, n, k, depth);
        for (double at : {t, t + d}) {
            xs.emplace_back(at / LOOP, v.x);
            ys.emplace_back(at / LOOP, v.y);
            zs.emplace_back(at / LOOP, v.z);
        }
        t += d + move;
        ++visit;
    }
    const EasedKeys x(std::move(xs), true);
    const EasedKeys y(std::move(ys), true);
    const EasedKeys z(std::move(zs), true);
    Shape s = make_shape(join("tour", {n, k}), "A noncircular vertex tour with eased corners and alternating dwell lengths.",
                         LOOP, dimensions, [&](int i) {
                             const double phase = static_cast<double>(i) / LOOP;
                             return Point{x(phase), y(phase), depth ? z(phase) : 0.0};
                         });
    scale_to_peak(s.rows, PEAK, depth);
    return s;
}

}  // namespace

Shapes tour_family() {
    static constexpr int TOURS[16][2] = {{5, 2},  {7, 2},  {7, 3},  {8, 3},  {9, 2},  {9, 4},  {10, 3}, {11, 2},
                                         {11, 3}, {11, 4}, {12, 5}, {13, 2}, {13, 3}, {13, 4}, {13, 5}, {14, 3}};
    Shapes s;
    for (int t = 0; t < 16; ++t) {
        s.push_back(tour(TOURS[t][0], TOURS[t][1], t < 8 ? 2 : 3));
    }
    return s;
}

}  // namespace trovelin::recipes
