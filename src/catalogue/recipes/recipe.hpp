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
