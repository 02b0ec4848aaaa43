// How a beat_ entry describes itself: "label — title. tail". The tail is the
// gesture's own sentence, except that the first four gestures of a style with
// a note carry that note instead (even an empty one, leaving "title. ").
#include <stdexcept>
#include <string>

#include "beat/gestures.hpp"

namespace trovelin::recipes::beat {
namespace {

struct Wording {
    const char* title;
    const char* sentence;
};

constexpr Wording WORDING[GESTURE_COUNT] = {
    {"Kick-led bounce", "Original Kerno 05 kick-led downstroke and side accents."},
    {"Snare side-step", "Original Kerno 05 alternating lateral kick and snare gestures."},
    {"Percussion orbit", "Original Kerno 05 event-weighted orbital speed, radius and depth."},
    {"Bass / phrase glide", "Original Kerno 05 continuous phrase path with bass excursions."},
    {"Forward surge", "Kick thrust through depth with contrasting snare lift and hat detail."},
    {"Backbeat recoil", "Snare pushes sideways; kick counters downward; delayed echo draws back."},
    {"Upper-percussion flutter", "Hat and shaker tremors over a wider kick/snare arc."},
    {"Bass-led dive", "Bass drives a broad depth plunge with alternating drum counterweight."},
    {"Weighted pendulum", "A hanging arc whose amplitude and angular speed respond to the score."},
    {"Woven figure eight", "Two crossing lobes expand at kicks with a lifted snare crossing."},
    {"Rounded corner tour", "Rhythm-weighted phase travels around four softened corners."},
    {"Closed corkscrew", "Two orbital turns ride a depth wave with percussion-driven radius."},
    {"Breathing spiral", "A contracting and expanding double-turn path with a continuous seam."},
    {"Drum slalom", "S-shaped travel with kick lift, snare cutbacks and depth counter-motion."},
    {"Causal spring", "An event starts at rest, then drives a damped ringing excursion."},
    {"Directional ricochet", "Successive onsets send smooth excursions toward a cyclic series of targets."},
};

// Styles that speak through a note title the glide after both of its drivers.
constexpr const char* NOTED_GLIDE_TITLE = "Bass-and-phrase glide";

// A space, U+2014 (em dash) in UTF-8, a space.
constexpr const char* EM_DASH = " \xE2\x80\x94 ";

}  // namespace

std::string describe(const Score& score, int g) {
    if (g < 0 || g >= GESTURE_COUNT) {
        throw std::logic_error("no such gesture");
    }
    const bool noted = score.has_note && g < 4;
    const char* title = (noted && g == 3) ? NOTED_GLIDE_TITLE : WORDING[g].title;
    std::string text = score.label;
    text += EM_DASH;
    text += title;
    text += ". ";
    text += noted ? score.note : std::string(WORDING[g].sentence);
    return text;
}

}  // namespace trovelin::recipes::beat
