// dwell_: sixteen phrasings of one sixteen-beat phrase in space: from rest,
// a lift to a first point that is held, a transfer that sets down on the
// other side, a second, unequal lift that is held for a different time, and a
// settling return to rest.
//
// Every move starts and ends on an eighth note (32 pips) and every hold
// keeps the point exactly still for a whole number of eighths. The lifts and
// the transfer leave and arrive at rest. The return carries the point home
// like a damped spring released from the second hold: it overshoots home and
// swings back a little less each time, and over its second half the swing is
// faded out so that the point comes to rest exactly at home, where it waits
// for the loop to begin again. Positions are in the phrase's own units, about a
// unit from the centre; each phrase is scaled so that its largest coordinate is
// 0.82.
#include <cmath>
#include <stdexcept>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr int EIGHTHS = LOOP / EIGHTH;
constexpr double PEAK = 0.82;
const std::string PHRASE =
    "Two unequal lift-and-hold gestures, a transfer and a settling return; holds have finite musical duration.";

struct Phrase {
    Point home;    // rest
    Point first;   // the first lift's hold
    Point low;     // where the transfer sets down, under the second lift
    Point second;  // the second lift's hold
    // Lengths in eighth notes, in order: first lift, first hold, transfer,
    // second lift, second hold, return. The rest at home fills the loop's
    // remaining eighths, from pip 0 up to the first lift.
    int lift1, hold1, transfer, lift2, hold2, settle;
    double rings;  // half-swings of the return's spring over the whole return
    double decay;  // its damping: the first overshoot is exp(-decay / rings) of the way back
    Point transfer_bow;
};

// Share of the way from home to the second hold still to go, at progress u of
// the return: the release of a damped spring from rest (value 1, slope 0),
// e^(-k u) (cos w u + k / w sin w u) with w = pi * rings, faded to 0 over the
// second half of the return by a smootherstep so that it arrives with no
// speed left.
double spring_back(double u, double rings, double decay) {
    const double w = PI * rings;
    const double swing = crmath::exp(-decay * u) * (crmath::cos(w * u) + decay / w * crmath::sin(w * u));
    const double fade = 1.0 - smootherstep((u - 0.5) / 0.5);
    return swing * fade;
}

Shape dwell(int number, const Phrase& f) {
    const int used = f.lift1 + f.hold1 + f.transfer + f.lift2 + f.hold2 + f.settle;
    if (used >= EIGHTHS || f.hold1 == f.hold2) {
        throw std::logic_error("a dwell phrase needs unequal holds and a rest at home");
    }
    MovePath p;
    p.then(EIGHTH * (EIGHTHS - used), eased_move(f.home, f.home))
        .then(EIGHTH * f.lift1, eased_move(f.home, f.first))
        .hold(EIGHTH * f.hold1)
        .then(EIGHTH * f.transfer, eased_move(f.first, f.low, f.transfer_bow))
        .then(EIGHTH * f.lift2, eased_move(f.low, f.second))
        .hold(EIGHTH * f.hold2)
        .then(EIGHTH * f.settle, [f](double u) {
            const double g = spring_back(u, f.rings, f.decay);
            return Point{f.home.x + (f.second.x - f.home.x) * g, f.home.y + (f.second.y - f.home.y) * g,
                         f.home.z + (f.second.z - f.home.z) * g};
        });
    if (p.period() != LOOP) {
        throw std::logic_error("a dwell phrase lasts sixteen beats");
    }
    Shape s = make_shape("dwell_phrase_" + two_digits(number), PHRASE, LOOP, 3, [&p](int i) { return p(i); });
    scale_to_peak(s.rows, PEAK, true);
    return s;
}

}  // namespace

Shapes dwell_family() {
    // clang-format off
    const Phrase phrases[16] = {
        // home               first                 low                   second
        {{0.0, -0.7, 0.0},    {-0.6, 0.6, 0.3},     {0.45, -0.35, -0.1},  {0.65, 0.1, -0.5},
         3, 6, 4, 2, 3, 8,  3.0, 4.8, {0.0, -0.15, 0.3}},
        {{0.1, -0.75, 0.1},   {0.7, 0.0, -0.4},     {-0.4, -0.4, 0.3},    {-0.55, 0.75, 0.45},
         2, 2, 4, 3, 8, 6,  2.5, 3.5, {0.0, -0.2, -0.3}},
        {{-0.1, -0.6, -0.2},  {0.5, 0.85, 0.0},     {-0.3, -0.2, 0.5},    {-0.8, 0.3, 0.6},
         4, 4, 3, 2, 2, 10, 3.5, 5.5, {0.0, -0.25, 0.2}},
        {{0.0, -0.8, 0.2},    {-0.75, 0.2, -0.6},   {0.2, -0.5, 0.0},     {0.6, 0.7, 0.3},
         2, 8, 5, 3, 4, 6,  2.5, 4.0, {0.0, -0.1, -0.35}},
        {{0.2, -0.7, -0.1},   {-0.4, 0.4, 0.8},     {0.5, -0.3, 0.2},     {0.8, 0.9, -0.2},
         3, 3, 4, 2, 6, 8,  3.0, 4.2, {0.0, -0.2, 0.25}},
        {{-0.2, -0.65, 0.0},  {0.8, 0.65, 0.5},     {-0.1, -0.45, -0.3},  {-0.6, 0.05, -0.8},
         4, 5, 3, 3, 1, 9,  4.0, 6.0, {0.0, -0.2, -0.2}},
        {{0.0, -0.6, 0.3},    {0.35, 0.3, -0.7},    {-0.5, -0.2, -0.2},   {-0.7, 0.8, 0.5},
         2, 10, 4, 2, 4, 7, 3.0, 5.0, {0.0, -0.3, 0.3}},
        {{0.15, -0.8, -0.3},  {-0.8, 0.75, -0.2},   {0.3, -0.4, 0.4},     {0.5, 0.25, 0.85},
         3, 2, 5, 2, 5, 8,  2.5, 3.2, {0.0, -0.15, -0.3}},
        {{-0.1, -0.75, 0.1},  {0.6, 0.1, 0.7},      {-0.2, -0.5, 0.3},    {-0.75, 0.6, -0.4},
         3, 4, 4, 3, 7, 6,  3.5, 5.0, {0.0, -0.2, 0.3}},
        {{0.0, -0.7, -0.2},   {-0.55, 0.9, 0.4},    {0.5, -0.1, 0.6},     {0.7, 0.35, 0.1},
         2, 6, 3, 2, 2, 10, 4.0, 5.2, {0.0, -0.3, -0.2}},
        {{0.1, -0.6, 0.0},    {0.8, 0.4, -0.3},     {-0.3, -0.35, -0.6},  {-0.5, 0.95, -0.2},
         4, 3, 5, 2, 4, 8,  3.0, 4.0, {0.0, -0.2, 0.35}},
        {{-0.15, -0.8, 0.2},  {-0.7, 0.5, -0.5},    {0.35, -0.5, -0.4},   {0.85, 0.0, 0.4},
         3, 7, 4, 3, 3, 8,  2.5, 3.8, {0.0, -0.1, 0.3}},
        {{0.0, -0.7, 0.0},    {0.45, 0.1, 0.9},     {-0.4, -0.2, 0.2},    {-0.65, 0.7, -0.6},
         3, 1, 4, 3, 6, 9,  3.5, 4.5, {0.0, -0.25, -0.3}},
        {{0.2, -0.75, 0.0},   {-0.6, 0.7, 0.6},     {0.1, -0.45, 0.7},    {0.75, 0.3, -0.3},
         2, 5, 6, 2, 8, 5,  2.5, 4.4, {0.0, -0.2, 0.2}},
        {{-0.1, -0.65, -0.3}, {0.7, 0.95, 0.2},     {-0.2, -0.3, -0.5},   {-0.8, 0.45, 0.2},
         4, 2, 3, 4, 3, 8,  4.0, 6.5, {0.0, -0.3, -0.25}},
        {{0.05, -0.8, 0.1},   {-0.5, 0.2, -0.8},    {0.3, -0.6, -0.3},    {0.6, 0.8, 0.6},
         3, 8, 4, 2, 2, 8,  3.0, 3.6, {0.0, -0.15, 0.3}},
    };
    // clang-format on
    Shapes s;
    for (int k = 0; k < 16; ++k) {
        s.push_back(dwell(k + 1, phrases[k]));
    }
    return s;
}

}  // namespace trovelin::recipes
