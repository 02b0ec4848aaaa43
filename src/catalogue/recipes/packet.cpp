// packet_: n oscillation packets spread evenly over an eight-beat phrase.
// Every packet is the same, whatever the count: 72 pips long (a beat and a
// thirty-second note), a carrier of three cycles, each a dotted sixteenth,
// under a cos^2 window, so it leaves and regains rest with zero slope; its
// central crest peaks exactly at the packet's score time, j + 1/2 slots into
// the loop. More packets fill the phrase more densely and leave shorter
// rests between them. The carrier moves y (z for
// the depth kind) while the side motion moves x:
//   alternating  each packet leans to the other side than the last
//   cascading    packets step across from right to left, each one smaller
//                and riding lower than the one before
//   crossing     each packet sweeps from one side through the centre to the
//                other while it oscillates, the sweep turning round by packet
//   depth        the carrier moves z; packets lean alternately right and left
//                and lift a little
#include <cmath>
#include <string>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;
constexpr int CYCLES = 3;
// Window edge to window edge: 9/8 of a beat, under three quarters of the
// shortest slot (five packets, 102.4 pips), so neighbours always rest
// between them.
constexpr BeatFraction PACKET{9, 8};

// Largest value of sin(a) cos^2(a) for |a| < pi/2: 2 / (3 sqrt 3).
constexpr double CROSSING_PEAK = 0.3849001794597505;

enum class Kind { alternating, cascading, crossing, depth };

struct Packet {
    double centre;  // pips
    double length;  // pips from window edge to window edge
    double side;    // -1 (left) to 1 (right): lean, or sweep direction when crossing
    double size;    // carrier amplitude
    double level;   // height the carrier rides at (cascading only)
};

std::vector<Packet> score(Kind kind, int n) {
    std::vector<Packet> packets;
    const double length = PACKET.pips();
    for (int j = 0; j < n; ++j) {
        // Centres at (2j + 1) / 2n of the loop: exact fractions of eight beats.
        const double centre = BeatFraction{8 * (2 * j + 1), 2 * n}.pips();
        const double alternate = j % 2 == 0 ? 1.0 : -1.0;
        const double along = static_cast<double>(j) / (n - 1);  // 0 for the first packet, 1 for the last
        switch (kind) {
            case Kind::alternating:
                packets.push_back({centre, length, alternate, 0.6, 0.0});
                break;
            case Kind::cascading:
                // From far right to well left and from above to below the
                // centre line, never resting on either (so every packet leans).
                packets.push_back({centre, length, 0.9 - 1.6 * along, 0.48 * (1.0 - 0.5 * along), 0.3 - 0.5 * along});
                break;
            case Kind::crossing:
                packets.push_back({centre, length, alternate, 0.6, 0.0});
                break;
            case Kind::depth:
                packets.push_back({centre, length, alternate, 0.6, 0.0});
                break;
        }
    }
    return packets;
}

Point packet_point(Kind kind, const Packet& p, int i) {
    const double d = loop_distance(i, p.centre, PERIOD);
    const double window = pulse(d, p.length / 2.0);
    if (window == 0.0) {
        return {};
    }
    const double carrier = window * crmath::cos(TWO_PI * CYCLES * d / p.length);
    switch (kind) {
        case Kind::alternating:
            return {0.55 * p.side * window, p.size * carrier, 0.0};
        case Kind::cascading:
            return {0.55 * p.side * window, p.level * window + p.size * carrier, 0.0};
        case Kind::crossing: {
            // sin(a) cos^2(a) rests at both window edges and crosses zero at the centre.
            const double a = PI * d / p.length;
            const double c = crmath::cos(a);
            return {0.6 * p.side * (crmath::sin(a) * (c * c)) / CROSSING_PEAK, p.size * carrier, 0.0};
        }
        case Kind::depth:
            return {0.5 * p.side * window, 0.3 * window, p.size * carrier};
    }
    return {};
}

}  // namespace

Shapes packet_family() {
    static const std::pair<Kind, const char*> KINDS[] = {
        {Kind::alternating, "alternating"},
        {Kind::cascading, "cascading"},
        {Kind::crossing, "crossing"},
        {Kind::depth, "depth"},
    };
    Shapes s;
    for (int n = 2; n <= 5; ++n) {
        for (const auto& [kind, word] : KINDS) {
            const std::vector<Packet> packets = score(kind, n);
            s.push_back(make_shape(join(std::string("packet_") + word, {n}),
                                   "Compact, smooth-edged oscillation packets arranged around a closed phrase, with "
                                   "shaped side motion.",
                                   PERIOD, kind == Kind::depth ? 3 : 2, [=](int i) {
                                       Point sum;
                                       for (const Packet& p : packets) {
                                           const Point q = packet_point(kind, p, i);
                                           sum = {sum.x + q.x, sum.y + q.y, sum.z + q.z};
                                       }
                                       return sum;
                                   }));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
