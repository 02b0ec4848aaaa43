#include "families.hpp"

#include <iterator>

namespace trovelin::recipes {

Shapes catalogue_shapes() {
    Shapes all;
    for (Shapes (*block)() : {
             &lfo_opening,
             &rhythm_euclid,
             &rhythm_cycles,
             &rudiment_family,
             &ease_family,
             &akwf_family,
             &groove_family,
             &lfo_more,
             &path_family,
             &rhythm_phrases,
             &wave_family,
             &env_family,
             &seq_family,
             &noise_family,
             &orbit_family,
             &weave_family,
             &polar_family,
             &polar_scallop_family,
             &spiro_family,
             &space_family,
             &mech_family,
             &euclid_family,
             &poly_family,
             &meter_family,
             &swing_family,
             &stick_family,
             &gesture_family,
             &ribbon_family,
             &contour_family,
             &silhouette_family,
             &spline_family,
             &tour_family,
             &scan_family,
             &reach_family,
             &surface_family,
             &braid_family,
             &arm_family,
             &dwell_family,
             &packet_family,
             &canon_family,
             &echo_family,
             &ladder_family,
             &necklace_family,
             &accent_family,
             &triplet_family,
             &dialogue_family,
             &burst_family,
             &beat_family,
         }) {
        Shapes shapes = block();
        all.insert(all.end(), std::make_move_iterator(shapes.begin()), std::make_move_iterator(shapes.end()));
    }
    return all;
}

}  // namespace trovelin::recipes
