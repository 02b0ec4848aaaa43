// mech_: kinematic-style position studies of linkages, cams and cranks.
//
// Each shape is one turn of a driving crank or cam shaft per loop, so every
// part returns to where it started and the loop closes with its slope. The
// geometry is solved in the mechanism's own units (crank radius 1 unless a
// comment says otherwise), the chosen output is mapped into the plane or into
// space, and the whole shape is then scaled so that its largest coordinate is
// 0.82.
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 512;
constexpr double PEAK = 0.82;
const std::string STUDY = "; an original kinematic-style position study, not an engineering simulation.";

struct V2 {
    double x;
    double y;
};

V2 operator+(V2 a, V2 b) {
    return {a.x + b.x, a.y + b.y};
}
V2 operator-(V2 a, V2 b) {
    return {a.x - b.x, a.y - b.y};
}
V2 operator*(double k, V2 a) {
    return {k * a.x, k * a.y};
}

V2 polar(double radius, double angle) {
    return {radius * crmath::cos(angle), radius * crmath::sin(angle)};
}

// Where a link of length `ra` pinned at `a` meets a link of length `rb` pinned
// at `b`: the intersection of two circles. `side` (+1 or -1) picks the
// intersection to the left or the right of the line from a to b; a linkage
// keeps to one side through the whole turn, so the choice is fixed per shape.
V2 circle_meet(V2 a, double ra, V2 b, double rb, double side) {
    const V2 d = b - a;
    const double dist = std::sqrt(d.x * d.x + d.y * d.y);
    const double along = (ra * ra - rb * rb + dist * dist) / (2.0 * dist);
    const double across2 = ra * ra - along * along;
    if (!(across2 >= 0.0)) {
        throw std::logic_error("a linkage cannot close at some crank angle");
    }
    const double across = side * std::sqrt(across2);
    const V2 u{d.x / dist, d.y / dist};
    return {a.x + along * u.x - across * u.y, a.y + along * u.y + across * u.x};
}

// Slider-crank: crank of radius r turning about the origin, its pin joined by
// a rod of length l to a slider on the horizontal line y = e. Returns the
// slider's x.
double slider_x(double t, double r, double l, double e = 0.0) {
    const double lift = r * crmath::sin(t) - e;
    return r * crmath::cos(t) + std::sqrt(l * l - lift * lift);
}

// Cycloidal motion law over u in [0, 1]: rises 0 to 1 with zero speed and
// zero acceleration at both ends.
double cycloidal(double u) {
    if (u <= 0.0) {
        return 0.0;
    }
    if (u >= 1.0) {
        return 1.0;
    }
    return u - crmath::sin(TWO_PI * u) / TWO_PI;
}

// Lift of an n-lobe cam at angle t: ((1 + cos nt) / 2)^sharpness, 1 on each
// lobe's crest and near 0 on the base between lobes. A higher sharpness gives
// narrower lobes and a longer base dwell; any sharpness stays smooth.
double lobe_lift(double t, int lobes, double sharpness) {
    return crmath::pow(0.5 + 0.5 * crmath::cos(lobes * t), sharpness);
}

Shape study(const std::string& name, const std::string& what, int dimensions,
            const std::function<Point(double)>& at_angle, bool centre = true) {
    Shape s = make_shape(name, what + STUDY, LOOP, dimensions, [&](int i) { return at_angle(theta(i, LOOP)); });
    if (centre) {
        centre_on_range(s.rows);
    }
    scale_to_peak(s.rows, PEAK, dimensions == 3);
    return s;
}

// Short connecting rod (1.5 crank radii) in an upright cylinder: the piston's
// height against the rod's sideways lean (its angle times its length). The
// short rod makes the stroke lopsided: the piston lingers round the bottom and
// turns sharply at the top.
Shape piston_short() {
    const double l = 1.5;
    return study("mech_piston_short", "Short-rod piston", 2, [l](double t) {
        const double lean = crmath::asin(crmath::sin(t) / l);
        return Point{l * lean, slider_x(t, 1.0, l)};
    });
}

// Long connecting rod (four crank radii), horizontal cylinder: a point three
// quarters of the way along the rod towards the piston, which nearly follows
// the piston's almost even stroke and barely rises and falls.
Shape piston_long() {
    const double l = 4.0;
    return study("mech_piston_long", "Long-rod piston", 2, [l](double t) {
        const V2 pin = polar(1.0, t);
        const V2 wrist{slider_x(t, 1.0, l), 0.0};
        const V2 p = pin + 0.75 * (wrist - pin);
        return Point{p.x, p.y};
    });
}

// Slider line one unit above the crank centre, rod 2.2: the two dead centres
// are no longer opposite (218 and 142 degrees of crank apart), so the outward
// stroke takes longer than the return. Traced: a bracket on the rod, three
// quarters of the way to the slider and 0.4 off it.
Shape offset_crank() {
    const double l = 2.2;
    const double e = 1.0;
    return study("mech_offset_crank", "Offset crank", 2, [l, e](double t) {
        const V2 pin = polar(1.0, t);
        const V2 slider{slider_x(t, 1.0, l, e), e};
        const V2 along = (1.0 / l) * (slider - pin);
        const V2 p = pin + (0.6 * l) * along + 0.9 * V2{-along.y, along.x};
        return Point{p.x, p.y};
    });
}

// Rotating slotted lever: the crank pin (radius 1) slides in a lever pivoted
// half a unit below the crank centre, so the lever turns slowly while the pin
// is on the far side and quickly on the near side (2:1). The lever's end
// (radius 1.2) drives a ram through a 2.6 link. x is the ram: a slow working
// stroke and a fast return; y is the height of the lever's end.
Shape whitworth() {
    const double d = 0.5;
    return study("mech_whitworth", "Quick-return linkage study", 2, [d](double t) {
        const V2 pin = polar(1.0, t);
        const double lever = crmath::atan2(pin.y + d, pin.x);
        const V2 end = V2{0.0, -d} + polar(1.2, lever);
        const double rise = end.y + d;
        const double ram = end.x + std::sqrt(2.6 * 2.6 - rise * rise);
        return Point{ram, end.y};
    });
}

// An ellipse (semi-axes 1 and 0.62) turning about one focus under a
// flat-faced follower. The follower's lift is the cam's support distance in
// the follower's direction; the contact point slides along the flat face by
// the lift's rate of change with cam angle. y is the lift (one lopsided rise
// per turn), x the contact point on the face.
Shape elliptic_cam() {
    const double a = 1.0;
    const double b = 0.62;
    const double c = std::sqrt(a * a - b * b);
    return study("mech_elliptic_cam", "Elliptic cam follower", 2, [a, b, c](double t) {
        const double phi = HALF_PI - t;  // follower direction in the cam's frame
        const double co = crmath::cos(phi);
        const double si = crmath::sin(phi);
        const double radius = std::sqrt(a * a * co * co + b * b * si * si);
        const double lift = radius - c * co;
        const double slide = (b * b - a * a) * si * co / radius + c * si;
        return Point{slide, lift};
    });
}

// A roller follower carried once round a fixed cam ring with `lobes` equal
// lobes: the roller centre keeps to the ring's pitch curve, so its distance
// from the centre rises and falls once per lobe. The centre stays at the
// origin so that distance is the follower's lift.
Shape ring_cam(const std::string& name, const std::string& what, int lobes, double height, double sharpness) {
    return study(
        name, what, 2,
        [lobes, height, sharpness](double t) {
            const double r = 1.0 + height * lobe_lift(t, lobes, sharpness);
            return Point{r * crmath::cos(t + HALF_PI), r * crmath::sin(t + HALF_PI)};
        },
        false);
}

// Escape wheel with eight teeth, one released on each beat: the wheel drops
// round an eighth of a turn, overshoots a little, recoils onto the pallet and
// waits for the next beat. Traced: a tooth tip, clockwise from the top.
Shape escapement() {
    constexpr int TEETH = 8;
    return study(
        "mech_escapement", "Soft escapement study", 2,
        [](double t) {
            const double beats = t / TWO_PI * TEETH;
            const double k = std::floor(beats);
            const double f = beats - k;
            double step = 1.0;
            if (f < 0.3) {
                step = 1.06 * smootherstep(f / 0.3);
            } else if (f < 0.42) {
                step = 1.06 - 0.06 * smoothstep((f - 0.3) / 0.12);
            }
            const double angle = HALF_PI - (k + step) * TWO_PI / TEETH;
            return Point{crmath::cos(angle), crmath::sin(angle)};
        },
        false);
}

// Feathering paddle wheel (radius 1) turning clockwise, whose paddles turn
// back half a revolution for each turn of the wheel so that a blade enters
// and leaves the water edge-on. The blade's tip (0.55 from its pivot on the
// rim) needs two turns of the wheel to come back: a loop inside a loop.
Shape paddle() {
    return study("mech_paddle", "Paddle-wheel tip", 2, [](double t) {
        const V2 tip = polar(1.0, -2.0 * t) + polar(0.55, -t - PI / 4);
        return Point{tip.x, tip.y};
    });
}

// A plate tilted 0.45 rad on its shaft. The tilt direction precesses once
// round one way while the plate creeps once round the other, so a rim point
// travels round the shaft while rising and falling twice: a saddle-shaped
// ring in space. Rim point rotated by the creep, then tilted about the
// horizontal axis perpendicular to the tilt direction.
Shape wobble_plate() {
    const double tilt = 0.45;
    return study("mech_wobble_plate", "Wobble-plate trace", 3, [tilt](double t) {
        const double creep = t;
        const double lean = -t;
        const double gap = creep - lean;
        const double ct = crmath::cos(tilt);
        const double st = crmath::sin(tilt);
        const double sway = crmath::sin(gap) * (1.0 - ct);
        return Point{ct * crmath::cos(creep) - sway * crmath::sin(lean), ct * crmath::sin(creep) + sway * crmath::cos(lean),
                     -st * crmath::cos(gap)};
    });
}

// Beam engine: a beam of half-length 1.5 rocks about a pivot 2.4 above the
// crank shaft; a crank of radius 0.8 under its end drives it through a rod of
// 2.4. Traced: a point on the rod three tenths of the way down from the beam,
// which rides the beam's arc but opens into a slim crescent with the crank.
Shape rocking_beam() {
    const double half = 1.5;
    const double rod = 2.4;
    return study("mech_rocking_beam", "Rocking beam", 2, [half, rod](double t) {
        const V2 pin = V2{half, 0.0} + polar(0.8, t);
        const V2 end = circle_meet(pin, rod, V2{0.0, rod}, half, -1.0);
        const V2 p = end + 0.3 * (pin - end);
        return Point{p.x, p.y};
    });
}

// Drag link: two cranks (2.2 and 2.4) on shafts one unit apart, both turning
// fully, coupled by a 2.6 link; the driven crank speeds up and slows down
// through each turn. Traced: a point on the coupling link, 0.3 along it and
// 0.9 to its right.
Shape coupled_cranks() {
    return study("mech_coupled_cranks", "Coupled cranks", 2, [](double t) {
        const V2 a = polar(2.2, t);
        const V2 b = circle_meet(a, 2.6, V2{1.0, 0.0}, 2.4, 1.0);
        const V2 along = (1.0 / 2.6) * (b - a);
        const V2 p = a + (0.3 * 2.6) * along - 0.9 * V2{-along.y, along.x};
        return Point{p.x, p.y};
    });
}

// Four-bar crank-rocker: crank 1, coupler 3.2, rocker 2.4, pivots 3 apart.
// x-y is a point on the coupler 1.2 off its midline; z is the rocker's swing,
// its tip's travel along its arc.
Shape crank_rocker() {
    const double rocker = 2.4;
    return study("mech_crank_rocker", "Crank and rocker study", 3, [rocker](double t) {
        const V2 pivot{3.0, 0.0};
        const V2 a = polar(1.0, t);
        const V2 b = circle_meet(a, 3.2, pivot, rocker, 1.0);
        const V2 along = (1.0 / 3.2) * (b - a);
        const V2 p = a + 1.6 * along + 1.2 * V2{-along.y, along.x};
        const double swing = crmath::atan2(b.y - pivot.y, b.x - pivot.x);
        return Point{p.x, p.y, rocker * swing};
    });
}

// Rod of three crank radii; the piston runs along x and the crank pin's
// height gives y. A balance mass driven from the crank's far side (0.7 of the
// crank throw) moves against the piston in depth, z.
Shape piston_balance() {
    return study("mech_piston_balance", "Piston and balance mass", 3, [](double t) {
        return Point{slider_x(t, 1.0, 3.0), crmath::sin(t), -0.7 * crmath::cos(t)};
    });
}

// A rise-dwell-return-dwell plate cam (cycloidal rise over a third of the
// turn, a sixth held high, cycloidal return over a third, a sixth low) lifts
// a feed bar that an eccentric on the same shaft pushes to and fro: the bar
// rises, carries forward while high, drops and comes back low.
Shape cam_return() {
    return study("mech_cam_return", "Cam rise and return", 2, [](double t) {
        const double u = t / TWO_PI;
        const double lift = cycloidal(3.0 * u) - cycloidal(3.0 * (u - 0.5));
        return Point{crmath::sin(t - TWO_PI * 5.0 / 12.0), lift};
    });
}

Shape scotch_yoke() {
    return make_shape("mech_scotch_yoke",
                      "Yoke with rocking linkage; an original kinematic-style position study, not an engineering simulation.",
                      512, 2, [](int i) {
                          const double t = theta(i, 512);
                          return Point{0.82 * crmath::cos(t), 0.287 * crmath::sin(t) + 0.1476 * crmath::sin(3 * t)};
                      });
}

}  // namespace

Shapes mech_family() {
    Shapes s;
    s.push_back(piston_short());
    s.push_back(piston_long());
    s.push_back(offset_crank());
    s.push_back(scotch_yoke());
    s.push_back(whitworth());
    s.push_back(elliptic_cam());
    s.push_back(ring_cam("mech_two_lobe_cam", "Two-lobe cam follower", 2, 0.8, 2.0));
    s.push_back(ring_cam("mech_three_lobe_cam", "Three-lobe cam follower", 3, 0.7, 3.0));
    s.push_back(escapement());
    s.push_back(paddle());
    s.push_back(wobble_plate());
    s.push_back(rocking_beam());
    s.push_back(coupled_cranks());
    s.push_back(crank_rocker());
    s.push_back(piston_balance());
    s.push_back(cam_return());
    return s;
}

}  // namespace trovelin::recipes
