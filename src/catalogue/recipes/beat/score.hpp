// Drum scores of the beat_ styles: what each lane strikes where, over one
// loop. Scores are music, written to be read and corrected by a musician;
// the gestures that turn them into motion live apart from them.
#pragma once

#include <string>
#include <vector>

namespace trovelin::recipes::beat {

// One struck note: where it lands in the loop, in pips (fractional where the
// feel needs it: swing, tuplets, microtiming), how hard (0 < velocity <= 1;
// an accent is about 1, a ghost about 0.3), how long it sounds in pips (bass
// notes; 0 for drums), and which instrument of its lane plays it (0 for the
// lane's main voice, 1, 2, ... for the others: a rim beside the snare, a low
// tom answering a high one, a shaker beside the hats).
struct Hit {
    double pip = 0.0;
    double velocity = 0.0;
    double length = 0.0;
    int voice = 0;
};

// A style: its catalogue key and label, its loop, and its five lanes, each
// sorted by pip with every hit inside [0, period).
struct Score {
    std::string key;           // the style's part of the entry name: "house_classic"
    std::string label;         // "House / kick-clap-offbeat hat"
    int period = 0;            // loop length in pips
    int planar_gestures = 0;   // the first this many gestures stay in the x-y plane
    bool has_note = false;     // styles that describe their first four gestures by a note
    std::string note;          // that note; empty where the style has none
    std::vector<Hit> kick;
    std::vector<Hit> snare;    // snare, clap or rim
    std::vector<Hit> hat;      // hats, shaker, ride
    std::vector<Hit> perc;     // toms, bells, congas, claves, log-drum hits
    std::vector<Hit> bass;     // with lengths
};

// Every style, in catalogue order.
const std::vector<Score>& scores();

}  // namespace trovelin::recipes::beat
