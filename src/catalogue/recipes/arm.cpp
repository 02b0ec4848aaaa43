// arm_: the tip of two links, a shoulder link and an elbow link, whose joint
// angles are driven as smooth periodic functions of the loop (kinematics,
// not dynamics).
//
// The shoulder sits at the origin. Its link (length 1) points at angle a from
// +x; the elbow link (length rho) points at a + b, so b is the elbow's bend,
// kept inside (0, pi): the elbow folds one way only and never locks straight.
// The tip is the sum of the two link vectors. Over the loop (theta = 2 pi i /
// period)
//   a = turns * theta + centre + swing * sin(freq * theta + phase),
//   b = mid + bend * sin(freq * theta + phase),
// so the shoulder either winds whole turns or rocks about a direction, at its
// own rate against the elbow's. The 3-D arms turn the plane of the two links
// about the vertical (y) axis by a third, yaw angle of the same form, the
// links staying on one side of that axis. Each shape is scaled about the
// shoulder so that its largest coordinate is 0.82; the shoulder stays at the
// origin.
#include <cmath>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;
constexpr double PEAK = 0.82;
const std::string LINKS = "Tip position of two kinematically driven links; not a dynamics simulation or anatomical model.";

// turns * theta + centre + swing * sin(freq * theta + phase)
struct Angle {
    int turns;
    double centre;
    double swing;
    int freq;
    double phase;

    double operator()(double t) const {
        return turns * t + centre + swing * crmath::sin(freq * t + phase);
    }
};

struct Drive {
    double rho;  // elbow link length against the shoulder link's 1
    Angle shoulder;
    Angle elbow;  // never winds: mid +- bend within (0, pi)
    Angle yaw;    // the links' plane about the vertical; all zero for the plane arms
};

Shape arm(int number, int dimensions, const Drive& d) {
    Shape s = make_shape("arm_coupled_" + two_digits(number), LINKS, LOOP, dimensions, [&d, dimensions](int i) {
        const double t = theta(i, LOOP);
        const double a = d.shoulder(t);
        const double ab = a + d.elbow(t);
        const double across = crmath::cos(a) + d.rho * crmath::cos(ab);
        const double up = crmath::sin(a) + d.rho * crmath::sin(ab);
        if (dimensions == 2) {
            return Point{across, up};
        }
        const double psi = d.yaw(t);
        return Point{across * crmath::cos(psi), up, across * crmath::sin(psi)};
    });
    scale_to_peak(s.rows, PEAK, dimensions == 3);
    return s;
}

constexpr Angle STILL{0, 0.0, 0.0, 1, 0.0};

}  // namespace

Shapes arm_family() {
    Shapes s;
    // In the plane.
    // 01: hanging, a slow pendulum swing with the elbow flexing twice a swing.
    s.push_back(arm(1, 2, {0.8, {0, -HALF_PI, 0.9, 1, 0.0}, {0, 1.2, 0.6, 2, 0.0}, STILL}));
    // 02: one shoulder turn, hurried and held back twice on the way round; short
    // forearm flexing three times.
    s.push_back(arm(2, 2, {0.5, {1, 0.0, 0.3, 2, 0.0}, {0, 0.9, 0.5, 3, 0.0}, STILL}));
    // 03: equal links, a wide rocking reach to the right, the elbow a quarter
    // cycle behind the shoulder so the tip draws one broad loop.
    s.push_back(arm(3, 2, {1.0, {0, 0.0, 1.2, 1, 0.0}, {0, 1.6, 1.1, 1, HALF_PI}, STILL}));
    // 04: a steady windmill of two turns, the elbow flexing five times.
    s.push_back(arm(4, 2, {0.6, {2, 0.0, 0.0, 1, 0.0}, {0, 1.0, 0.7, 5, 0.0}, STILL}));
    // 05: raised, a long forearm; shoulder rocks twice, elbow three times.
    s.push_back(arm(5, 2, {1.3, {0, HALF_PI, 0.7, 2, 0.0}, {0, 1.4, 0.9, 3, 0.0}, STILL}));
    // 06: one turn backwards with a three-fold wobble, a short, deeply bent
    // forearm flexing four times.
    s.push_back(arm(6, 2, {0.4, {-1, 0.0, 0.5, 3, 0.0}, {0, 2.0, 0.6, 4, 0.0}, STILL}));
    // 07: pointing down and right, shoulder rocking three times against the
    // elbow's two, offset by a sixth of a turn.
    s.push_back(arm(7, 2, {0.9, {0, -PI / 4, 1.0, 3, 0.0}, {0, 1.1, 0.8, 2, PI / 3}, STILL}));
    // 08: one uneven turn, the elbow opening and closing widely six times.
    s.push_back(arm(8, 2, {0.7, {1, 0.0, 0.8, 1, 0.0}, {0, 1.5, 1.2, 6, 0.0}, STILL}));
    // In space: the links' plane turns about the vertical.
    // 09: the plane makes one full turn while the arm rocks once and flexes twice.
    s.push_back(arm(9, 3, {0.8, {0, 0.0, 0.6, 1, 0.0}, {0, 1.0, 0.6, 2, 0.0}, {1, 0.0, 0.0, 1, 0.0}}));
    // 10: the plane sways once to either side; short forearm, 2 : 3 joints.
    s.push_back(arm(10, 3, {0.5, {0, -0.4, 0.7, 2, 0.0}, {0, 1.3, 0.8, 3, 0.0}, {0, 0.0, 0.9, 1, 0.0}}));
    // 11: two plane turns; long forearm, the shoulder rocking three times.
    s.push_back(arm(11, 3, {1.1, {0, 0.3, 0.5, 3, 0.0}, {0, 0.9, 0.6, 1, 0.0}, {2, 0.0, 0.0, 1, 0.0}}));
    // 12: the plane sways twice; elbow flexing four times per shoulder rock.
    s.push_back(arm(12, 3, {0.6, {0, 0.0, 0.9, 1, 0.0}, {0, 0.9, 0.5, 4, 0.0}, {0, 0.0, 1.2, 2, 0.5}}));
    // 13: one plane turn backwards; the elbow flexing five times, widely.
    s.push_back(arm(13, 3, {0.9, {0, -0.2, 0.4, 2, 0.0}, {0, 1.6, 0.9, 5, 0.0}, {-1, 0.0, 0.0, 1, 0.0}}));
    // 14: a short forearm; shoulder four rocks, plane three sways.
    s.push_back(arm(14, 3, {0.4, {0, 0.2, 0.6, 4, 0.0}, {0, 1.8, 0.5, 2, 0.0}, {0, 0.0, 1.0, 3, 0.0}}));
    // 15: equal links; three plane turns over one shoulder rock.
    s.push_back(arm(15, 3, {1.0, {0, 0.0, 0.7, 1, 0.0}, {0, 1.1, 0.6, 3, 0.0}, {3, 0.0, 0.0, 1, 0.0}}));
    // 16: the elbow flexing six times, the shoulder three, the plane swaying once.
    s.push_back(arm(16, 3, {0.7, {0, -0.3, 0.8, 3, 0.0}, {0, 1.1, 0.8, 6, 0.0}, {0, 0.0, 0.8, 1, 0.0}}));
    return s;
}

}  // namespace trovelin::recipes
