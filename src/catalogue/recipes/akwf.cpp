// akwf_: four published single-cycle waveforms, 256 samples each, played one
// sample a pip so that a cycle lasts four beats. The samples come from the
// data files under data/akwf/ (see the README there for their source and
// licence), read into akwf_samples.hpp when the build is configured.
#include <string>

#include "akwf_samples.hpp"
#include "families.hpp"

namespace trovelin::recipes {
namespace {

// Row i is sample i / 32768, the whole table then scaled so that its largest
// absolute value is exactly PEAK. At 0.7 the steepest step of any of the four
// (the return of AKWF_R_asym_saw_15, 11506 of 32768 in one sample) moves
// 0.2458 in a pip, inside the usual 0.25.
constexpr double PEAK = 0.7;

Shape waveform(std::string name, const std::string& source, const int (&samples)[256]) {
    Shape s = make_shape(std::move(name),
                         source + ": an actual CC0 waveform slowed to a four-beat position loop.", 256, 1,
                         [&samples](int i) { return Point{samples[i] / 32768.0}; });
    scale_to_peak(s.rows, PEAK);
    return s;
}

}  // namespace

Shapes akwf_family() {
    using namespace akwf_samples;
    Shapes s;
    s.push_back(waveform("akwf_round_saw", "AKWF_R_asym_saw_05_256", AKWF_R_asym_saw_05_256));
    s.push_back(waveform("akwf_quick_return", "AKWF_R_asym_saw_15_256", AKWF_R_asym_saw_15_256));
    s.push_back(waveform("akwf_multi_lobe", "AKWF_0001_256", AKWF_0001_256));
    s.push_back(waveform("akwf_plateau", "AKWF_0010_256", AKWF_0010_256));
    return s;
}

}  // namespace trovelin::recipes
