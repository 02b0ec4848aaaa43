// ladder_a_b_c_d: four two-beat regions of 128 pips, region r holding
// density(r) notes per beat at equal spacing. Notes alternate right and left;
// each is a cos^2 pulse that reaches halfway to the note before and halfway
// to the note after, so neighbours touch but never add, also where a region
// meets a denser or sparser one. The note on a region's first pip is the
// accent: stronger on x and marked by a broad dip in y. Every note also taps
// forward in z.
#include <array>
#include <vector>

#include "families.hpp"

namespace trovelin::recipes {
namespace {

constexpr int PERIOD = 512;
constexpr int REGION = 2 * BEAT;

struct Note {
    double pip;
    double before;  // half-widths towards the previous and the next note
    double after;
    double side;    // x at the peak
};

std::vector<Note> ladder_score(const std::array<int, 4>& densities) {
    std::vector<Note> notes;
    for (int r = 0; r < 4; ++r) {
        const int q = densities[static_cast<std::size_t>(r)];
        const int previous = densities[static_cast<std::size_t>((r + 3) % 4)];
        const double half_gap = BeatFraction{1, 2 * q}.pips();
        for (int k = 0; k < 2 * q; ++k) {
            const double at = REGION * r + BeatFraction{k, q}.pips();
            const double side = k % 2 == 0 ? 1.0 : -1.0;
            notes.push_back({at, k == 0 ? BeatFraction{1, 2 * previous}.pips() : half_gap, half_gap,
                             side * (k == 0 ? 0.62 : 0.4)});
        }
    }
    return notes;
}

}  // namespace

Shapes ladder_family() {
    static const std::array<int, 4> LADDERS[] = {
        {2, 3, 4, 6}, {3, 5, 4, 2}, {2, 5, 3, 7}, {4, 3, 6, 5}, {2, 4, 7, 3}, {3, 6, 2, 5}, {5, 3, 7, 4}, {6, 4, 3, 2},
        {2, 7, 4, 5}, {7, 3, 5, 2}, {4, 7, 3, 6}, {5, 2, 6, 3}, {3, 4, 5, 7}, {6, 5, 4, 3}, {7, 5, 3, 4}, {4, 6, 7, 5},
    };
    Shapes s;
    for (const auto& densities : LADDERS) {
        const std::vector<Note> notes = ladder_score(densities);
        std::vector<Onset> accents;
        for (int r = 0; r < 4; ++r) {
            accents.push_back({static_cast<double>(REGION * r), 1.0});
        }
        s.push_back(make_shape(join("ladder", {densities.begin(), densities.end()}),
                               "Four two-beat regions change subdivision density while accents mark region starts.",
                               PERIOD, 3, [=](int i) {
                                   Point p{0.0, -0.5 * pulse_train(i, accents, 16.0, PERIOD), 0.0};
                                   for (const Note& n : notes) {
                                       const double d = loop_distance(i, n.pip, PERIOD);
                                       const double w = pulse(d, d < 0.0 ? n.before : n.after);
                                       p.x += n.side * w;
                                       p.z += 0.22 * w;
                                   }
                                   return p;
                               }));
    }
    return s;
}

}  // namespace trovelin::recipes
