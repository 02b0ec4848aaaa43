// The styles' scores.
#include "beat/score.hpp"

namespace trovelin::recipes::beat {

const std::vector<Score>& scores() {
    static const std::vector<Score> all = [] {
        std::vector<Score> s;
        Score four;
        four.key = "four_floor";
        four.label = "Four to the floor / bare pulse";
        four.period = 256;
        four.planar_gestures = 3;
        four.has_note = true;
        four.note = "Equal quarter-note kicks only. This shared foundation is not itself a complete genre.";
        for (int beat = 0; beat < 4; ++beat) {
            four.kick.push_back({64.0 * beat, 0.7});
        }
        s.push_back(four);
        return s;
    }();
    return all;
}

}  // namespace trovelin::recipes::beat
