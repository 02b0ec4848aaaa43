// lfo_: slow control shapes, one to two axes, four to sixteen beats.
#include <algorithm>
#include <cmath>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

// Position of row i within its loop, in [0, 1).
double phase(int i, int period) {
    return static_cast<double>(i) / period;
}

// A peak that comes in over `attack` pips and goes out over `release` pips,
// each side a cos² half so it leaves and regains rest with zero slope; the
// maximum, 1, lies exactly on `at`.
double lopsided_pulse(double pip, double at, double attack, double release, double period) {
    const double d = loop_distance(pip, at, period);
    return d < 0.0 ? pulse(d, attack) : pulse(d, release);
}

// A triangle over one cycle that rises for the fraction `rise` and falls for
// the rest, crossing zero upwards at phase 0 like a sine. Its two corners are
// replaced by parabolic blends `round` wide on either side, so the slope turns
// over instead of flipping, and the result is stretched back onto [-1, 1].
class RoundedSkewTriangle {
public:
    RoundedSkewTriangle(double rise, double round)
        : rise_(rise), round_(round), up_(2.0 / rise), down_(-2.0 / (1.0 - rise)) {
        // Extremes of the blended corners: where each parabola's slope is zero.
        top_ = corner(1.0, up_, down_, round_ * 2.0 * up_ / (up_ - down_) - round_);
        bottom_ = corner(-1.0, down_, up_, round_ * 2.0 * down_ / (down_ - up_) - round_);
    }

    double operator()(double cycle_phase) const {
        // q runs from the lowest corner (q = 0) to the highest (q = rise) and on.
        double q = cycle_phase + rise_ / 2.0;
        q -= std::floor(q);
        double v;
        if (q < round_) {
            v = corner(-1.0, down_, up_, q);
        } else if (q > 1.0 - round_) {
            v = corner(-1.0, down_, up_, q - 1.0);
        } else if (std::fabs(q - rise_) < round_) {
            v = corner(1.0, up_, down_, q - rise_);
        } else if (q < rise_) {
            v = -1.0 + up_ * q;
        } else {
            v = 1.0 + down_ * (q - rise_);
        }
        return -1.0 + 2.0 * (v - bottom_) / (top_ - bottom_);
    }

private:
    // The parabola that leaves the line of slope `before` at t = -round and
    // joins the line of slope `after` at t = +round, t measured from the
    // corner whose sharp value is `value`.
    double corner(double value, double before, double after, double t) const {
        const double s = t + round_;
        return value + before * t + (after - before) * s * s / (4.0 * round_);
    }

    double rise_;
    double round_;
    double up_;
    double down_;
    double top_ = 1.0;
    double bottom_ = -1.0;
};

// A smooth random lane: a closed curve through `keys` hashed control points
// of `seed`, each nudged off its even spacing by a hashed amount so the
// rhythm of the turns is irregular too; scaled so its largest swing is
// `peak`. The same seed always gives the same lane.
std::vector<double> seeded_lane(unsigned seed, unsigned keys, int period, double peak) {
    std::vector<std::pair<double, double>> points;
    for (unsigned k = 0; k < keys; ++k) {
        const double spot = (k + 0.5 + 0.3 * hashed_unit(seed, keys + k)) / keys;
        points.emplace_back(spot, hashed_unit(seed, k));
    }
    const LoopCurve curve(std::move(points));
    std::vector<double> lane(static_cast<std::size_t>(period));
    double largest = 0.0;
    for (int i = 0; i < period; ++i) {
        const double v = curve(phase(i, period));
        lane[static_cast<std::size_t>(i)] = v;
        largest = std::max(largest, std::fabs(v));
    }
    for (double& v : lane) {
        v *= peak / largest;
    }
    return lane;
}

}  // namespace

Shapes lfo_opening() {
    Shapes s;
    s.push_back(make_shape(
        "lfo_breathe", "A four-beat, single-axis sine. The quiet reference for judging busier shapes.", 256, 1,
        [](int i) { return Point{0.8 * crmath::sin(TWO_PI * i / 256)}; }));

    // Three beats of sweep from -0.8 to 0.8, then one beat of recovery. The
    // sweep follows the integral of u (1 - u)^2: it leaves the floor gently,
    // gathers speed in its first third and leans long into the top; the
    // recovery is a half cosine, so both turns are level and nothing resets.
    s.push_back(make_shape(
        "lfo_surge", "A long rounded sweep and short recovery; an independently authored smooth-reset shape.", 256, 1,
        [](int i) {
            constexpr double sweep = 0.75;
            const double p = phase(i, 256);
            double rise;
            if (p < sweep) {
                const double u = p / sweep;
                const double w = 1.0 - u;
                rise = 1.0 - w * w * w * (1.0 + 3.0 * u);
            } else {
                rise = 0.5 + 0.5 * crmath::cos(PI * (p - sweep) / (1.0 - sweep));
            }
            return Point{-0.8 + 1.6 * rise};
        }));

    // Open for two beats, closed for two: each change takes 20 pips on a
    // smootherstep (level in value, slope and curvature at both ends), and in
    // between the value holds exactly.
    const EasedKeys gate({{0.0, -0.8}, {20.0 / 256, 0.8}, {128.0 / 256, 0.8}, {148.0 / 256, -0.8}}, true);
    s.push_back(make_shape(
        "lfo_soft_gate", "Short smooth transitions separated by long stationary dwells. No square-wave teleport.", 256, 1,
        [gate](int i) { return Point{gate(phase(i, 256))}; }));

    // Two dips on y, one a beat: each drops in 12 pips and recovers over 52,
    // the first to -0.8, the second to -0.5. The last two beats rest at zero.
    s.push_back([] {
        Shape shape = make_shape(
            "lfo_double_pump", "Two unequal pumps and a breathing space within four beats.", 256, 2, [](int i) {
                return Point{0.0, -0.8 * lopsided_pulse(i, 12, 12, 52, 256) - 0.5 * lopsided_pulse(i, 76, 12, 52, 256)};
            });
        shape.y_only = true;
        return shape;
    }());

    // Four cos² hits on the eighths of the first two beats, each 0.72 of the
    // one before. Half-width 16 pips: a hit has faded to zero exactly where the
    // next begins, so each maximum stands on its own onset. Like the teeth of
    // a wheel clicking round, each hit strikes out 20 degrees clockwise of
    // the last, from 30 degrees above x to 30 below.
    s.push_back([] {
        Shape shape = make_shape(
            "lfo_ratchet", "A four-hit decaying burst, then a rest. Every event is peak-aligned.", 256, 2, [](int i) {
                Point p;
                double height = 1.0;
                for (int hit = 0; hit < 4; ++hit) {
                    const double w = height * pulse(loop_distance(i, EIGHTH * hit, 256), 16);
                    const double angle = PI / 6.0 - hit * (PI / 9.0);
                    p.x += w * crmath::cos(angle);
                    p.y += w * crmath::sin(angle);
                    height *= 0.72;
                }
                return p;
            });
        scale_to_peak(shape.rows, 0.8);
        return shape;
    }());

    // Five levels from -0.8 to 0.8, one per eighth note for the first five
    // eighths: each level holds for 20 pips, then a 12-pip smoothstep glides
    // up to the next, landing on the eighth. From the top level a single
    // 108-pip smoothstep brings the value back down to the first.
    s.push_back([] {
        std::vector<std::pair<double, double>> keys;
        for (int step = 0; step < 5; ++step) {
            const double level = -0.8 + 0.4 * step;
            keys.emplace_back(EIGHTH * step / 256.0, level);
            keys.emplace_back((EIGHTH * step + 20) / 256.0, level);
        }
        const EasedKeys stair(std::move(keys));
        return make_shape("lfo_glide_stair", "Five rounded steps traverse the field, then a smooth return.", 256, 1,
                          [stair](int i) { return Point{stair(phase(i, 256))}; });
    }());

    // Four cycles of a wave that blends from a sine (pip 0) to a triangle
    // rising for three quarters of its cycle (pip 256) and back. x is the wave,
    // y the same wave a quarter cycle later, so the x-y path turns from an
    // ellipse into a lopsided quadrilateral with rounded corners over the phrase.
    s.push_back([] {
        const RoundedSkewTriangle triangle(0.75, 0.08);
        const auto wave = [triangle](double cycle_phase, double blend) {
            return (1.0 - blend) * crmath::sin(TWO_PI * cycle_phase) + blend * triangle(cycle_phase);
        };
        return make_shape(
            "lfo_morph", "An eight-beat blend between a sine and skewed triangle; movement changes within the phrase.", 512,
            2, [wave](int i) {
                const double p = phase(i, 512);
                const double blend = 0.5 - 0.5 * crmath::cos(TWO_PI * p);
                return Point{0.8 * wave(4.0 * p, blend), 0.6 * wave(4.0 * p + 0.25, blend)};
            });
    }());

    s.push_back(make_shape(
        "lfo_flower", "Related rotations form an original three-lobed XY loop over eight beats.", 512, 2, [](int i) {
            const double t = theta(i, 512);
            return Point{0.56 * crmath::cos(t) - 0.28 * crmath::cos(2 * t), 0.56 * crmath::sin(t) + 0.28 * crmath::sin(2 * t)};
        }));
    return s;
}

Shapes lfo_more() {
    Shapes s;

    // Two four-beat cos² swells on y, 0.8 and 0.5 high. x answers each as it
    // crests: a broad lean, 0.32 to the right after the deep swell and 0.2 to
    // the left after the shallow one.
    s.push_back(make_shape(
        "lfo_twin_swell", "Two broad swells of unequal depth, with a gentle lateral answer. Eight beats.", 512, 2,
        [](int i) {
            const double y = 0.8 * pulse(loop_distance(i, 128, 512), 128) + 0.5 * pulse(loop_distance(i, 384, 512), 128);
            const double x = 0.32 * pulse(loop_distance(i, 200, 512), 104) - 0.2 * pulse(loop_distance(i, 456, 512), 104);
            return Point{x, y};
        }));

    // Out to 0.8 in 24 pips, held to pip 104, through zero to -0.34 by pip 136,
    // back to rest by pip 164 and still for the remaining beat and a half.
    // Smootherstep between keys: every corner is level.
    const EasedKeys hold({{0.0, 0.0}, {24.0 / 256, 0.8}, {104.0 / 256, 0.8}, {136.0 / 256, -0.34}, {164.0 / 256, 0.0}},
                         true);
    s.push_back(make_shape(
        "lfo_pulse_hold", "A smooth outward pulse, sustained plateau, smaller opposite recoil, and rest.", 256, 1,
        [hold](int i) { return Point{hold(phase(i, 256))}; }));

    // x sweeps from -0.8 to 0.8 over five beats. Then three vertical cos² hits
    // (0.8, 0.55, 0.35), each with x held still; between hits, and after the
    // last, x steps a third of the way back, so the sweep is undone notch by
    // notch and the loop closes at rest with no jump.
    s.push_back([] {
        constexpr double notch = 1.6 / 3.0;
        const EasedKeys lateral({{0.0, -0.8},
                                 {320.0 / 512, 0.8},
                                 {352.0 / 512, 0.8},
                                 {368.0 / 512, 0.8 - notch},
                                 {400.0 / 512, 0.8 - notch},
                                 {416.0 / 512, 0.8 - 2.0 * notch},
                                 {448.0 / 512, 0.8 - 2.0 * notch},
                                 {464.0 / 512, -0.8}},
                                true);
        const std::vector<Onset> hits{{336, 0.8}, {384, 0.55}, {432, 0.35}};
        return make_shape(
            "lfo_sweep_ratchet", "A slow lateral sweep followed by three decaying vertical ratchets; no reset jump.", 512, 2,
            [lateral, hits](int i) { return Point{lateral(phase(i, 512)), pulse_train(i, hits, 16, 512)}; });
    }());

    s.push_back(make_shape(
        "lfo_triplet_wobble", "Three rounded oscillations per two beats, breathing in depth over an eight-beat phrase.",
        512, 2, [](int i) {
            const double t = theta(i, 512);
            return Point{crmath::sin(12 * t) * (0.5525 - 0.255 * crmath::cos(t)), 0.22 * crmath::sin(t)};
        }));
    s.push_back(make_shape(
        "lfo_breathing_orbit", "A closed ellipse expands and contracts twice during its eight-beat revolution.", 512, 2,
        [](int i) {
            const double t = theta(i, 512);
            return Point{0.67 * crmath::cos(t) + 0.11 * crmath::cos(3 * t), 0.39 * crmath::sin(t) + 0.09 * crmath::sin(3 * t)};
        }));

    // Two lanes, each a closed Catmull-Rom curve through hashed control
    // points: 13 for x and 11 for y, from different seeds, so their turns
    // never line up. Every row is a fixed function of the seeds.
    s.push_back([] {
        const std::vector<double> x = seeded_lane(0x6c666f31u, 13, 1024, 0.8);
        const std::vector<double> y = seeded_lane(0x6c666f32u, 11, 1024, 0.78);
        return make_shape(
            "lfo_seeded_drift",
            "Two independently seeded smooth random lanes; irregular-looking but exactly periodic and seekable.", 1024, 2,
            [x, y](int i) {
                const auto row = static_cast<std::size_t>(i);
                return Point{x[row], y[row]};
            });
    }());

    // Two swings per loop. x is a sine pushed through tanh, which flattens
    // it near either side, so the bob lingers at the turns and hurries
    // through the middle. y hangs the bob on a shallow arc, highest at the
    // turns and lowest mid-swing.
    s.push_back(make_shape(
        "lfo_pendulum_dwell", "Rounded saturation slows the pendulum near either side; a shallow arc connects the turns.",
        512, 2, [](int i) {
            constexpr double drive = 1.6;
            const double u = crmath::tanh(drive * crmath::sin(2.0 * theta(i, 512))) / crmath::tanh(drive);
            return Point{0.8 * u, 0.3 * u * u - 0.15};
        }));

    // A rise over five and a half beats that crawls at first and keeps
    // accelerating (smoothstep of u³), rounding over only at the crest; a
    // 24-pip smoothstep back to rest; then two cos² aftershocks of 0.3 and
    // 0.14. y leans 0.4 with the rise but earlier (smoothstep of u^1.5), so
    // the climb bows away from the straight drop, and flinches against each
    // aftershock.
    s.push_back(make_shape(
        "lfo_reverse_swell", "A long anticipatory rise, quick softened return, and two diminishing aftershocks.", 512, 2,
        [](int i) {
            constexpr double crest = 352.0;
            constexpr double drop = 24.0;
            double x;
            double y;
            if (i < crest) {
                const double u = i / crest;
                x = 0.8 * smoothstep(u * u * u);
                y = 0.4 * smoothstep(u * std::sqrt(u));
            } else {
                const double back = 1.0 - smoothstep((i - crest) / drop);
                x = 0.8 * back;
                y = 0.4 * back;
            }
            const double first = pulse(loop_distance(i, 416, 512), 16);
            const double second = pulse(loop_distance(i, 456, 512), 14);
            x += 0.3 * first + 0.14 * second;
            y -= 0.12 * first + 0.06 * second;
            return Point{x, y};
        }));
    return s;
}

}  // namespace trovelin::recipes
