// Authoring kit for catalogue families. Each family file turns its recipe into
// shapes: a name, a description, a loop length, the axes it uses and one point
// per pip of the loop. The generator rounds, checks and stores them; nothing
// here is compiled into the module.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The recipes' elementary functions are crmath's, correctly rounded, never the
// platform's: sin, cos, exp, pow, tanh, atan2, log1p and asin are called as
// crmath::sin and so on, so a table is the same on every platform.
#include "catalogue/math/crmath.hpp"

namespace trovelin::recipes {

inline constexpr double PI = 3.141592653589793;
inline constexpr double TWO_PI = 6.283185307179586;
inline constexpr double HALF_PI = 1.5707963267948966;

// Pips in an eighth note; every loop is a whole number of them.
inline constexpr int EIGHTH = 32;

struct Point {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct Shape {
    std::string name;
    std::string description;
    int period = 0;          // loop length in pips: one row per pip
    int dimensions = 0;      // 1: x only; 2: the x-y plane; 3: all three axes
    bool y_only = false;     // a plane shape that keeps x at 0 and moves only y
    double max_step = 0.25;  // largest move between neighbouring pips, the seam included
    std::vector<Point> rows; // before rounding to 12 decimal places
};

using Shapes = std::vector<Shape>;

// One row per pip from a function of the row index.
Shape make_shape(std::string name, std::string description, int period, int dimensions,
                 const std::function<Point(int)>& row);

// "prefix" followed by each number after an underscore: join("weave", {3, 5})
// gives "weave_3_5".
std::string join(std::string prefix, const std::vector<int>& numbers);

// Two-digit variant number: 1 gives "01".
std::string two_digits(int n);

// theta = 2*pi * i / period: the angle of row i around a loop.
inline double theta(int i, int period) {
    return TWO_PI * i / period;
}

// (3 - 2u) u^2 and 6u^5 - 15u^4 + 10u^3, clamped to [0, 1] outside.
double smoothstep(double u);
double smootherstep(double u);

// Signed distance in pips from `onset` to `pip` around a loop of `period`
// pips, in (-period / 2, period / 2].
double loop_distance(double pip, double onset, double period);

// A peak-aligned pulse of half-width w pips: cos^2(pi d / 2w) for |d| < w.
double pulse(double d, double half_width);

// Sum of peak-aligned pulses at onsets (pips, fractional allowed) around a loop.
struct Onset {
    double pip;
    double weight;
};
double pulse_train(double pip, const std::vector<Onset>& onsets, double half_width, double period);

// Largest absolute x or y (or z, with `with_z`) over all rows.
double peak_xy(const std::vector<Point>& rows, bool with_z = false);

// Multiply every coordinate by peak / (largest absolute coordinate).
void scale_to_peak(std::vector<Point>& rows, double peak, bool with_z = false);

// Shift each axis so that its range over all rows is centred on 0: a shape
// computed in a mechanism's own frame then sits around the origin before
// `scale_to_peak`. An axis that is 0 throughout stays exactly 0.
void centre_on_range(std::vector<Point>& rows);

// A closed, smooth curve through (phase, value) keys, phase in [0, 1) strictly
// increasing: periodic cubic Hermite with Catmull-Rom tangents scaled by
// uneven spacing. Evaluated at a phase in [0, 1).
class LoopCurve {
public:
    explicit LoopCurve(std::vector<std::pair<double, double>> keys);
    double operator()(double phase) const;

private:
    std::vector<std::pair<double, double>> keys_;
    std::vector<double> slopes_;
};

// Keyframes joined by eased segments that come to rest at every key
// (smoothstep between neighbouring values): holds and dwells are made by
// repeating a value. Periodic over phase [0, 1).
class EasedKeys {
public:
    explicit EasedKeys(std::vector<std::pair<double, double>> keys, bool smoother = false);
    double operator()(double phase) const;

private:
    std::vector<std::pair<double, double>> keys_;
    bool smoother_;
};

// Deterministic value in [-1, 1] for (seed, index): a fixed integer hash,
// stateless, so any control point can be recomputed on its own.
double hashed_unit(unsigned seed, unsigned index);

// Score helpers for families driven by explicit scores of hits.

// Pips in a beat.
inline constexpr int BEAT = 64;

// An exact fraction of a beat, as a score writes onset times and gaps:
// {5, 6} is five sixths of a beat, 53.33... pips.
struct BeatFraction {
    int num;
    int den = 1;
    double pips() const { return static_cast<double>(BEAT * num) / den; }
};

// Score-driven shapes. A hit is a peak-aligned pulse of its own half-width at
// an onset pip (fractional allowed) that moves each axis by `peak` at its
// onset; hits wrap round the loop and add where they overlap.
struct PulseHit {
    double pip;
    double half_width;
    Point peak;
};

// The sum of every hit at a pip of a loop of `period` pips, taken in list order.
Point sum_hits(double pip, const std::vector<PulseHit>& hits, double period);

// A shape whose rows are the sum of its hits.
Shape hits_shape(std::string name, std::string description, int period, int dimensions,
                 std::vector<PulseHit> hits);

// Hand strokes read from a sticking such as "RLRR LRLL", `per_beat` strokes
// to a beat: stroke k (rests counted) sits at `first + 64 k / per_beat`; 'R'
// moves right (+x) and 'L' left; '-' is a rest that keeps its slot; a space
// starts a new group, and the first stroke of every group is its accent.
struct StrokeStyle {
    double accent_x;    // side swing of a group lead (positive; L strokes mirror it)
    double accent_y;
    double tap_x;       // the same for the other strokes
    double tap_y;
    double half_width;  // pips, accents and taps alike
};
std::vector<PulseHit> sticking_hits(const std::string& sticking, double first, int per_beat,
                                    const StrokeStyle& style);
// A closed curve through points in space at given phases, phase in [0, 1)
// strictly increasing: one LoopCurve per axis over the shared phases, so the
// curve passes through every point at its phase with a tangent along the
// chord between its neighbours.
class LoopPath {
public:
    explicit LoopPath(const std::vector<std::pair<double, Point>>& keys);
    Point operator()(double phase) const;

private:
    LoopCurve x_;
    LoopCurve y_;
    LoopCurve z_;
};

// Keys for a LoopPath through `points` in order, each phase proportional to
// the distance travelled from the first point around the closed polygon; the
// first point is at phase 0. Neighbouring points must differ.
std::vector<std::pair<double, Point>> keys_by_length(const std::vector<Point>& points);

// Progress along a closed path over one loop: (time, progress) keys, time
// strictly increasing in [0, 1), progress non-decreasing and less than the
// first key's progress plus 1; the loop closes back to the first key one
// whole lap on. Between keys progress follows smootherstep, so it comes to
// rest at every key, and two keys of equal progress hold it still. Returns a
// progress in [0, 1), for a LoopPath.
class EasedProgress {
public:
    explicit EasedProgress(std::vector<std::pair<double, double>> keys);
    double operator()(double time) const;

private:
    std::vector<std::pair<double, double>> keys_;
};

// A LoopPath travelled at an even pace: progress in [0, 1) is the share of the
// path's length covered since key 0, measured along a fine polyline through
// the curve (`samples` points between neighbouring keys), so equal steps of
// progress cover equal distances. A key's own progress maps back onto exactly
// its phase, so the path is exactly at the key there.
class EvenLoopPath {
public:
    explicit EvenLoopPath(const std::vector<std::pair<double, Point>>& keys, int samples = 128);
    Point operator()(double progress) const;
    double key_progress(std::size_t key) const;

private:
    LoopPath path_;
    std::vector<double> phases_;   // sample phases, every key's among them, ending at 1
    std::vector<double> shares_;   // share of the length covered at each sample
    std::vector<std::size_t> key_samples_;
};

// Timed moves: a loop authored as one move after another (gestures and
// lift-and-hold phrases). A move lasts a whole number of pips and gives the
// point at its own progress u, 0 on its first pip and 1 where the next move
// begins. Each move must start where the path has got to, and the last must
// end where the first starts, so the loop closes; a hold keeps the point
// exactly still, every row of it equal.
class MovePath {
public:
    using Move = std::function<Point(double u)>;
    // Appends a move; throws if it does not start where the path has got to.
    MovePath& then(int pips, Move move);
    // Stays exactly where the path has got to for `pips` pips.
    MovePath& hold(int pips);
    // Where the path has got to: the end of the last move.
    Point end() const;
    // Pips of all the moves together.
    int period() const;
    // The point at a pip in [0, period); throws if the path does not close.
    Point operator()(int pip) const;

private:
    struct Timed {
        int start;
        int pips;
        Move move;
    };
    std::vector<Timed> moves_;
};

// From a to b, leaving and arriving at rest (smootherstep progress s), along
// the straight line pushed aside by `bow` at its middle:
// a + (b - a) s + 4 s (1 - s) bow. From a point to itself with a bow the move
// goes out and back, turning at rest halfway.
MovePath::Move eased_move(Point a, Point b, Point bow = {});

}  // namespace trovelin::recipes
