// env_: eight-beat envelopes on y alone (x stays exactly 0). Each is a list of
// keys, (pip, level), joined by smoothstep segments: every segment leaves its
// key and arrives at the next at rest, so a hold is two keys of one level and
// every turn, hold and join is reached with zero velocity. The last key runs
// back into the first (pip 0, level 0) across the seam in the same way.
#include <string>
#include <utility>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;

using Keys = std::vector<std::pair<int, double>>;

Shape envelope(const std::string& name, const std::string& words, const Keys& keys) {
    std::vector<std::pair<double, double>> phased;
    for (const auto& [pip, level] : keys) {
        phased.emplace_back(pip / static_cast<double>(PERIOD), level);
    }
    const EasedKeys curve(std::move(phased));
    Shape s = make_shape(name, words + " over an eight-beat phrase; smooth, resting joins.", PERIOD, 2,
                         [&curve](int i) { return Point{0.0, curve(i / static_cast<double>(PERIOD))}; });
    s.y_only = true;
    return s;
}

// Rungs of one height step, each rising in 24 pips and falling back to rest
// by `fall_by` pips after its onset.
Keys ladder(int spacing, int fall_by, double first, double step) {
    Keys keys;
    for (int rung = 0; rung < 4; ++rung) {
        keys.emplace_back(spacing * rung, 0.0);
        keys.emplace_back(spacing * rung + 24, first + step * rung);
        keys.emplace_back(spacing * rung + fall_by, 0.0);
    }
    return keys;
}

}  // namespace

Shapes env_family() {
    Shapes s;
    // A beat's lift to 0.8, held four beats, settling over two, then a rest.
    s.push_back(envelope("env_lift_hold_drop", "Lift, hold, settle", {{0, 0.0}, {64, 0.8}, {320, 0.8}, {448, 0.0}}));
    // Five beats of inhale, a beat and a quarter of exhale, then stillness.
    s.push_back(envelope("env_inhale_exhale", "Long inhale, short exhale", {{0, 0.0}, {320, 0.75}, {400, 0.0}}));
    // Swells of 0.8, 0.45 and 0.62, lasting 176, 128 and 208 pips.
    s.push_back(envelope("env_triple_swell", "Three unequal swells",
                         {{0, 0.0}, {80, 0.8}, {176, 0.0}, {240, 0.45}, {304, 0.0}, {400, 0.62}}));
    // Four echoes a beat and a half apart growing by equal rungs, 0.2 to
    // 0.8, then two and a quarter beats of rest.
    s.push_back(envelope("env_rising_echo", "Rising echo ladder", ladder(96, 80, 0.2, 0.2)));
    // Four echoes two beats apart shrinking by equal rungs, 0.8 to 0.2.
    s.push_back(envelope("env_falling_echo", "Falling echo ladder", ladder(128, 88, 0.8, -0.2)));
    // A dip the wrong way, to -0.3, before the lift to 0.8, held and let go.
    s.push_back(envelope("env_anticipation", "Backward anticipation",
                         {{0, 0.0}, {96, -0.3}, {192, 0.8}, {288, 0.8}, {416, 0.0}}));
    // Three beats held at 0.6, then a scoop down to -0.55 and back to rest.
    s.push_back(envelope("env_plateau_scoop", "Plateau then scoop",
                         {{0, 0.0}, {64, 0.6}, {256, 0.6}, {352, -0.55}, {448, 0.0}}));
    // The reach to 0.8 twice gives back a little on the way before it
    // arrives, holds a beat and returns.
    s.push_back(envelope("env_hesitant", "Hesitant reach",
                         {{0, 0.0}, {64, 0.35}, {96, 0.28}, {160, 0.58}, {192, 0.5}, {256, 0.8}, {320, 0.8}, {448, 0.0}}));
    // Two beats held at 0.4, two more at 0.8, then down to rest.
    s.push_back(envelope("env_double_hold", "Two-height hold",
                         {{0, 0.0}, {48, 0.4}, {176, 0.4}, {224, 0.8}, {352, 0.8}, {448, 0.0}}));
    // A slow swell three and a half beats deep to -0.8, a recoil in
    // three quarters of a beat to 0.36 above rest, then settling.
    s.push_back(envelope("env_swell_recoil", "Deep swell and recoil", {{0, 0.0}, {224, -0.8}, {272, 0.36}, {384, 0.0}}));
    // Up in a beat, held through the seventh, released only in the last.
    s.push_back(envelope("env_late_release", "Late release", {{0, 0.0}, {64, 0.75}, {448, 0.75}}));
    // The attack comes in two strokes, to 0.45 in a quarter of a beat and,
    // after a half-beat pause, on to 0.8; then a long release.
    s.push_back(envelope("env_split_attack", "Split attack", {{0, 0.0}, {16, 0.45}, {48, 0.45}, {72, 0.8}, {320, 0.0}}));
    // A call up to 0.7 and back, a beat's rest, then an answer below that
    // hangs at -0.5 for two and a half beats before it lets go.
    s.push_back(envelope("env_suspended", "Suspended answer",
                         {{0, 0.0}, {64, 0.7}, {160, 0.0}, {224, 0.0}, {288, -0.5}, {448, -0.5}}));
    // Two equal peaks of 0.75 with a valley down to -0.6 between them.
    s.push_back(envelope("env_valley_peaks", "Valley between peaks",
                         {{0, 0.0}, {80, 0.75}, {192, -0.6}, {304, 0.75}, {400, 0.0}}));
    // Four breaths, one every two beats: in for 40 pips, out for 88.
    s.push_back([] {
        Keys keys;
        for (int breath = 0; breath < 4; ++breath) {
            keys.emplace_back(128 * breath, 0.0);
            keys.emplace_back(128 * breath + 40, 0.7);
        }
        return envelope("env_four_breaths", "Four breathing accents", keys);
    }());
    // Up to 0.8 and held a beat, then down to rest in four equal steps of
    // 0.2, each taking half a beat and the first three held a beat.
    s.push_back([] {
        Keys keys{{0, 0.0}, {48, 0.8}, {112, 0.8}};
        for (int step = 1; step <= 4; ++step) {
            const double level = 0.8 - 0.2 * step;
            const int start = 112 + 96 * (step - 1);
            keys.emplace_back(start + 32, level);
            if (step < 4) {
                keys.emplace_back(start + 96, level);
            }
        }
        return envelope("env_return_stair", "Stepped soft recovery", keys);
    }());
    return s;
}

}  // namespace trovelin::recipes
