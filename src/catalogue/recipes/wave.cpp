// wave_: shaped single-axis control waves.
#include <cmath>
#include <functional>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;

// One cycle per loop along x, from a function of the loop angle t (and, for
// shapes placed by pip, of the row itself), scaled so that its largest
// absolute value is exactly 0.82. Every shape here is smooth and periodic in
// t, so the loop closes without a jump or a corner.
Shape wave(const std::string& name, const std::string& words, const std::function<double(double, int)>& f,
           bool centre = false) {
    Shape s = make_shape(name, words + "; a continuous shaped control wave, mapped to horizontal displacement.",
                         PERIOD, 1, [&f](int i) { return Point{f(theta(i, PERIOD), i)}; });
    if (centre) {
        centre_on_range(s.rows);
    }
    scale_to_peak(s.rows, 0.82);
    return s;
}

// A cos² bump of half-width w pips centred on pip c, wrapping round the loop.
double bump(int i, double c, double w) {
    return pulse(loop_distance(i, c, PERIOD), w);
}

}  // namespace

Shapes wave_family() {
    Shapes s;
    s.push_back(make_shape(
        "wave_pinched", "Pinched sine; a continuous shaped control wave, mapped to horizontal displacement.", 512, 1,
        [](int i) {
            const double t = theta(i, 512);
            return Point{0.615 * crmath::sin(t) - 0.205 * crmath::sin(3 * t)};
        }));

    // A sine pushed through v + 0.95 sin(2 pi v) / (2 pi): the slope of that
    // map nearly vanishes at v = +-1/2, so each flank pauses on a shoulder at
    // half height before going on to the crest or trough.
    s.push_back(wave("wave_shouldered", "Shouldered sine", [](double t, int) {
        const double v = crmath::sin(t);
        return v + 0.95 * crmath::sin(TWO_PI * v) / TWO_PI;
    }));

    // Sine folders: sin(a sin t). Past a = pi/2 the crest folds back on
    // itself, giving each half-cycle a dip between two peaks (six turning
    // points a cycle); past 3 pi/2 it folds a second time (ten).
    s.push_back(wave("wave_folded", "Folded sine", [](double t, int) { return crmath::sin(2.3 * crmath::sin(t)); }));
    s.push_back(wave("wave_double_fold", "Double-fold wave", [](double t, int) { return crmath::sin(5.0 * crmath::sin(t)); }));

    // A soft clip: tanh(4 sin t) sits within 6% of its extremes for over 70%
    // of the cycle, with rounded edges between the two flat tops.
    s.push_back(wave("wave_rounded_square", "Rounded square", [](double t, int) { return crmath::tanh(4.0 * crmath::sin(t)); }));

    // A soft half-wave rectifier, log(1 + e^(6 sin t)) / 6: a round swell
    // over the positive half-cycle and a long, nearly still floor under the
    // negative half, centred on its range before scaling.
    s.push_back(wave(
        "wave_soft_rectifier", "Soft rectified swell",
        [](double t, int) { return crmath::log1p(crmath::exp(6.0 * crmath::sin(t))) / 6.0; }, true));

    // A sine read at the skewed phase t - 0.65 sin t: the rise from trough to
    // crest takes about two thirds of the cycle and the fall one third.
    s.push_back(wave("wave_skew_warp", "Phase-skew sweep", [](double t, int) { return crmath::sin(t - 0.65 * crmath::sin(t)); }));

    // The phase t + 0.35 sin t - 0.55 (cos t - 1) runs fast through the crest
    // and slowly through the trough: a quick, narrow crest, then a return that
    // drops away and lingers in a wide, round scoop.
    s.push_back(wave("wave_scoop_warp", "Scooped return", [](double t, int) {
        return crmath::sin(t + 0.35 * crmath::sin(t) - 0.55 * (crmath::cos(t) - 1.0));
    }));

    // Keys joined by smootherstep segments, each at rest at its ends: from a
    // low ledge the wave climbs onto a shelf just above the centre, creeps
    // along it for 72 pips, climbs to the crest, then falls into a deep scoop
    // and rises out of it back to the ledge.
    s.push_back([] {
        const EasedKeys keys({{0.0, -0.55}, {80.0 / 512, 0.15}, {152.0 / 512, 0.22}, {224.0 / 512, 0.82},
                              {380.0 / 512, -0.82}},
                             true);
        return wave("wave_shelf_wave", "Shelf and scoop", [keys](double, int i) { return keys(i / 512.0); });
    }());

    // A sine whose crest is broadened by a wide bump and then cut by a
    // narrow one: two shoulders of the crest with a notch between them, over
    // an unbroken trough.
    s.push_back(wave("wave_notched", "Notched crest", [](double t, int i) {
        return crmath::sin(t) + 0.3 * bump(i, 128, 112) - 0.7 * bump(i, 128, 44);
    }));

    // A broad, low half-sine body with a narrow bump standing on its middle:
    // the swell rises wide and slow, squeezes into a slim neck at the crest,
    // and widens again on the way down.
    s.push_back(wave("wave_bottle", "Bottle-neck swell",
                     [](double t, int i) { return 0.55 * crmath::sin(t) + 0.45 * bump(i, 128, 60); }));

    // A sine carrying a fast flutter, twenty cycles a loop, whose depth
    // follows sin^2 t: strongest at crest and trough, gone at the crossings.
    s.push_back(wave("wave_reed", "Reed flutter", [](double t, int) {
        const double v = crmath::sin(t);
        return v + 0.16 * crmath::sin(20.0 * t) * (v * v);
    }));

    // Two crests, the second 0.6 the height of the first, with a shallow
    // valley between them, then one deep trough; three cos² lobes whose ends
    // overlap slightly so the wave never rests.
    s.push_back(wave("wave_unequal_peaks", "Unequal double crest", [](double, int i) {
        return bump(i, 80, 96) + 0.6 * bump(i, 240, 80) - 0.95 * bump(i, 400, 112);
    }));

    // The skewed sine of wave_skew_warp, turned so its quick fall comes first
    // and reaches the trough near pip 150; the long recovery that follows
    // carries a ripple of six cycles a loop that fades by e^-1 every 154 pips
    // and is faded out completely before the next fall.
    s.push_back(wave("wave_ripple_return", "Rippled recovery", [](double t, int i) {
        const double p = t + 0.353 * TWO_PI;
        const double base = crmath::sin(p - 0.65 * crmath::sin(p));
        double u = i / 512.0 - 0.3;
        u -= std::floor(u);
        const double ripple = crmath::sin(TWO_PI * 6.0 * u) * crmath::exp(-u / 0.3) * smoothstep(u / 0.06) *
                              (1.0 - smoothstep((u - 0.7) / 0.3));
        return base + 0.22 * ripple;
    }));

    // Three skewed cycles (slow rise, quick fall) riding on one slow sine, so
    // the three rounded teeth stand at different heights.
    s.push_back(wave("wave_soft_teeth", "Soft triple teeth", [](double t, int) {
        const double p = 3.0 * t;
        return 0.72 * crmath::sin(p - 0.7 * crmath::sin(p)) + 0.35 * crmath::sin(t);
    }));

    // A sine folder driven by a skewed sine and biased off centre: the folds
    // of the two half-cycles differ in depth and in timing.
    s.push_back(wave("wave_warped_fold", "Warped wave fold", [](double t, int) {
        return crmath::sin(2.6 * crmath::sin(t - 0.5 * crmath::sin(t)) + 0.45);
    }));
    return s;
}

}  // namespace trovelin::recipes
