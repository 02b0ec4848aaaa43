// gesture_: one hand's abstract gestures over eight beats.
//
// Each gesture is a phrase of timed moves on the beat grid (64 pips a beat):
// the point leaves and arrives at rest, so every reach, tap and touch has a
// visible departure and arrival, and moves that swing through a curve are
// bowed lines rather than straight ones. x runs across the body (the body
// line is x = 0, the hand's own side is +x), y is height and z depth, positive
// towards the viewer. Keys are laid out in the hand's own units, about a unit
// from the centre, and every gesture is scaled so that its largest coordinate
// is 0.82.
#include <cmath>
#include <stdexcept>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 512;
constexpr int BEAT = 64;
constexpr int TOUCH = 8;  // a touch: still for a thirty-second note
constexpr double PEAK = 0.82;
const std::string SINGLE = "An original single-point ";
const std::string ABSTRACT = " gesture. Abstract motion, not a full-body dance or biomechanical recording.";

Shape gesture(const std::string& variant, const std::string& words, int dimensions, const MovePath& path) {
    if (path.period() != LOOP) {
        throw std::logic_error("gesture_" + variant + " does not last eight beats");
    }
    Shape s = make_shape("gesture_" + variant, SINGLE + words + ABSTRACT, LOOP, dimensions,
                         [&path](int i) { return path(i); });
    scale_to_peak(s.rows, PEAK, dimensions == 3);
    return s;
}

// Out to the hand's own side on a rising arc, held at full stretch for a beat,
// and back on a lower, slacker arc to rest; it never crosses the body line.
Shape side_reach() {
    const Point home{0.1, -0.2};
    const Point out{1.0, 0.2};
    MovePath p;
    p.then(32, eased_move(home, home))
        .then(128, eased_move(home, out, {0.0, 0.22}))
        .hold(BEAT)
        .then(192, eased_move(out, home, {0.0, -0.18}))
        .hold(96);
    return gesture("side_reach", "side reach", 2, p);
}

// From rest on the hand's own side, across the body line and up into a reach
// on the far side; back the same way but lower.
Shape cross_reach() {
    const Point home{0.6, -0.15};
    const Point far{-1.0, 0.6};
    MovePath p;
    p.then(32, eased_move(home, home))
        .then(160, eased_move(home, far, {0.05, -0.2}))
        .hold(48)
        .then(176, eased_move(far, home, {0.0, -0.3}))
        .hold(96);
    return gesture("cross_reach", "cross and reach", 2, p);
}

// Down through a deep low curve and up into a lifted finish on the other
// side, as if scooping; a light arc over the top carries the hand back.
Shape low_scoop() {
    const Point start{-0.7, 0.1};
    const Point lifted{0.6, 0.55};
    MovePath p;
    p.then(32, eased_move(start, start))
        .then(192, eased_move(start, lifted, {0.05, -1.32}))
        .hold(32)
        .then(192, eased_move(lifted, start, {0.0, 0.18}))
        .hold(64);
    return gesture("low_scoop", "low scoop", 2, p);
}

// A tall arc from low left over the head to low right, then a shallow low
// path back.
Shape high_arc() {
    const Point left{-0.8, -0.55};
    const Point right{0.8, -0.55};
    MovePath p;
    p.then(32, eased_move(left, left))
        .then(192, eased_move(left, right, {0.0, 1.55}))
        .hold(32)
        .then(160, eased_move(right, left, {0.0, -0.2}))
        .hold(96);
    return gesture("high_arc", "high arc", 2, p);
}

// Four quick taps out to the corners in reading order, top left, top right,
// bottom left, bottom right, one every two beats from the downbeat: from
// rest at the centre the hand darts out to the corner in half a beat,
// touches it, and draws back to the centre on a slightly different line,
// where it rests before the next tap.
Shape corner_taps() {
    const double c = 0.9;
    const Point centre{0.0, 0.0};
    const Point corners[4] = {{-c, c}, {c, c}, {-c, -c}, {c, -c}};
    constexpr int OUT = 32;
    constexpr int BACK = 40;
    MovePath p;
    for (int k = 0; k < 4; ++k) {
        const Point& at = corners[k];
        const Point& next = corners[(k + 1) % 4];
        // Out and back bow to opposite sides of the diagonal, so each tap
        // draws a thin leaf rather than retracing one line.
        const Point back_bow{-0.06 * at.y / c, 0.06 * at.x / c};
        const Point out_bow{0.06 * next.y / c, -0.06 * next.x / c};
        p.then(TOUCH, eased_move(at, at))
            .then(BACK, eased_move(at, centre, back_bow))
            .hold(2 * BEAT - TOUCH - BACK - OUT)
            .then(OUT, eased_move(centre, next, out_bow));
    }
    return gesture("corner_taps", "corner taps", 2, p);
}

// A small wind-up back along the diagonal, then out along it through the
// centre to touch the upper corner on the fourth beat (pip 192); the return
// drifts a little off the line.
Shape diagonal_touch() {
    const Point centre{0.0, 0.0};
    const Point wind{-0.5, -0.5};
    const Point touch{0.95, 0.95};
    MovePath p;
    p.then(32, eased_move(centre, centre))
        .then(64, eased_move(centre, wind))
        .hold(16)
        .then(80, eased_move(wind, touch, {0.06, -0.06}))
        .hold(TOUCH)
        .then(216, eased_move(touch, centre, {0.14, -0.14}))
        .hold(96);
    return gesture("diagonal_touch", "diagonal touch", 2, p);
}

// Out from the centre to a box's top left corner, round its four corners
// clockwise, one a beat, and a slow two-beat return to rest at the centre.
Shape box_return() {
    const double c = 0.85;
    const Point centre{0.0, 0.0};
    const Point ul{-c, c};
    const Point ur{c, c};
    const Point lr{c, -c};
    const Point ll{-c, -c};
    MovePath p;
    p.then(32, eased_move(centre, centre))
        .then(32, eased_move(centre, ul))
        .then(BEAT, eased_move(ul, ur))
        .then(BEAT, eased_move(ur, lr))
        .then(BEAT, eased_move(lr, ll))
        .then(2 * BEAT, eased_move(ll, centre, {0.1, -0.1}))
        .hold(2 * BEAT);
    return gesture("box_return", "box and centre", 2, p);
}

// From low at the centre, four zigs to alternate sides, each a beat and each
// higher than the last; a swoop down round the side brings the hand back.
Shape zigzag_lift() {
    const Point low{0.0, -1.0};
    const Point zig[4] = {{0.7, -0.6}, {-0.7, -0.1}, {0.7, 0.45}, {-0.7, 0.95}};
    MovePath p;
    p.then(32, eased_move(low, low)).then(BEAT, eased_move(low, zig[0]));
    for (int k = 1; k < 4; ++k) {
        p.then(BEAT, eased_move(zig[k - 1], zig[k]));
    }
    p.hold(16).then(176, eased_move(zig[3], low, {-0.3, 0.0})).hold(32);
    return gesture("zigzag_lift", "zigzag lift", 2, p);
}

// A quick duck on the first beat, then two full pendulum sways from side to
// side, low through the middle, and a rise back to standing.
Shape duck_sway() {
    const Point stand{0.0, 0.2};
    const Point duck{0.0, -0.6};
    const Point right{0.8, -0.2};
    const Point left{-0.8, -0.2};
    const Point swing{0.0, -0.6};
    MovePath p;
    p.then(32, eased_move(stand, stand))
        .then(32, eased_move(stand, duck))
        .hold(16)
        .then(48, eased_move(duck, right))
        .then(2 * BEAT, eased_move(right, left, swing))
        .then(2 * BEAT, eased_move(left, right, swing))
        .then(96, eased_move(right, stand, {0.1, 0.0}))
        .hold(32);
    return gesture("duck_sway", "duck and sway", 2, p);
}

// Pushed forward through depth, rising a little; held; pulled back behind the
// rest point, sinking a little; held; and returned.
Shape push_pull() {
    const Point rest{0.1, -0.1, 0.0};
    const Point pushed{0.25, 0.15, 1.0};
    const Point pulled{-0.1, -0.3, -0.8};
    MovePath p;
    p.then(32, eased_move(rest, rest))
        .then(96, eased_move(rest, pushed))
        .hold(32)
        .then(160, eased_move(pushed, pulled, {0.12, 0.0, 0.0}))
        .hold(32)
        .then(96, eased_move(pulled, rest))
        .hold(64);
    return gesture("push_pull", "push and pull", 3, p);
}

// A reach from close in, low, left and back, out through depth to high
// right and far forward: it swings wide to the side on the way out, and is
// drawn back low and close to the body.
Shape reach_depth() {
    const Point close{-0.6, -0.5, -0.7};
    const Point reach{0.6, 0.5, 1.0};
    MovePath p;
    p.then(32, eased_move(close, close))
        .then(160, eased_move(close, reach, {0.5, -0.35, -0.15}))
        .hold(32)
        .then(192, eased_move(reach, close, {-0.35, -0.3, -0.25}))
        .hold(96);
    return gesture("reach_depth", "reach through depth", 3, p);
}

// A bow forward and down, held; back up to the front of a circle round the
// vertical axis, which the hand turns once in two and a half beats, and back
// to where it stood.
Shape bow_turn() {
    const Point stand{0.0, 0.5, 0.0};
    const Point bowed{0.0, -0.5, 0.85};
    const double radius = 0.75;
    const double height = 0.2;
    const Point front{0.0, height, radius};
    MovePath p;
    p.then(32, eased_move(stand, stand))
        .then(96, eased_move(stand, bowed, {0.0, 0.15, 0.25}))
        .hold(32)
        .then(64, eased_move(bowed, front))
        .then(160,
              [radius, height](double u) {
                  const double a = TWO_PI * smootherstep(u);
                  return Point{radius * crmath::sin(a), height + 0.15 * crmath::sin(2.0 * a), radius * crmath::cos(a)};
              })
        .then(96, eased_move(front, stand))
        .hold(32);
    return gesture("bow_turn", "bow and turn", 3, p);
}

// Two alternating low touches, heel out to the side and toe across, lifted
// between them: heel on the downbeat, toe on beat two, a raised pause, then a
// quicker pair from beat five whose toe crosses further.
Shape heel_toe() {
    const Point heel{0.6, -0.95};
    const Point toe{-0.5, -0.8};
    const Point toe_far{-0.75, -0.9};
    const Point raised{0.1, 0.1};
    const Point lift{0.0, 0.65};
    MovePath p;
    p.then(TOUCH, eased_move(heel, heel))
        .then(BEAT - TOUCH, eased_move(heel, toe, lift))
        .hold(TOUCH)
        .then(BEAT - TOUCH, eased_move(toe, raised))
        .hold(BEAT)
        .then(BEAT, eased_move(raised, heel))
        .hold(TOUCH)
        .then(40, eased_move(heel, toe_far, lift))
        .hold(TOUCH)
        .then(56, eased_move(toe_far, raised))
        .hold(80)
        .then(BEAT, eased_move(raised, heel));
    return gesture("heel_toe", "heel-toe abstract", 2, p);
}

// A hop on the left, straight up and down with its height on the second beat
// (pip 64); a low glide across, and the answer on the right: a smaller hop,
// kicked out to the side, with its height on the fifth beat (pip 256).
Shape hop_answer() {
    const Point left{-0.6, -0.5};
    const Point right{0.6, -0.5};
    MovePath p;
    p.then(32, eased_move(left, left))
        .then(BEAT, eased_move(left, left, {0.0, 1.2}))
        .then(96, eased_move(left, right, {0.0, -0.25}))
        .hold(32)
        .then(BEAT, eased_move(right, right, {0.35, 0.55}))
        .then(160, eased_move(right, left, {0.0, 0.1}))
        .hold(64);
    return gesture("hop_answer", "hop and answer", 2, p);
}

// Out from near the body, winding two turns outwards round the line of reach
// while travelling forward in depth; held at the end, then drawn straight
// back.
Shape spiral_reach() {
    const double height = -0.05;
    const double radius = 0.95;
    const double z0 = -0.6;
    const double z1 = 1.0;
    const Point start{0.0, height, z0};
    MovePath p;
    p.then(32, eased_move(start, start))
        .then(256,
              [=](double u) {
                  const double s = smootherstep(u);
                  const double a = 2.0 * TWO_PI * s;
                  const double r = radius * s;
                  return Point{r * crmath::sin(a), height - r * crmath::cos(a), z0 + (z1 - z0) * s};
              });
    const Point reached = p.end();
    p.hold(32).then(128, eased_move(reached, start, {0.2, 0.2, 0.0})).hold(64);
    return gesture("spiral_reach", "spiral reach", 3, p);
}

// A diamond through depth: top (leaning back), right and forward, bottom
// (leaning forward), left and back, each corner arrived at on a beat and held
// for half a beat. The four corners lie in one tilted plane.
Shape diamond_depth() {
    const Point top{0.0, 0.95, -0.3};
    const Point front{0.8, 0.0, 0.8};
    const Point bottom{0.0, -0.95, 0.3};
    const Point back{-0.8, 0.0, -0.8};
    MovePath p;
    p.then(32, eased_move(back, back))
        .then(96, eased_move(back, top))
        .hold(32)
        .then(96, eased_move(top, front))
        .hold(32)
        .then(96, eased_move(front, bottom))
        .hold(32)
        .then(96, eased_move(bottom, back));
    return gesture("diamond_depth", "depth diamond", 3, p);
}

}  // namespace

Shapes gesture_family() {
    Shapes s;
    s.push_back(side_reach());
    s.push_back(cross_reach());
    s.push_back(low_scoop());
    s.push_back(high_arc());
    s.push_back(corner_taps());
    s.push_back(diagonal_touch());
    s.push_back(box_return());
    s.push_back(zigzag_lift());
    s.push_back(duck_sway());
    s.push_back(push_pull());
    s.push_back(reach_depth());
    s.push_back(bow_turn());
    s.push_back(heel_toe());
    s.push_back(hop_answer());
    s.push_back(spiral_reach());
    s.push_back(diamond_depth());
    return s;
}

}  // namespace trovelin::recipes
