#include "families.hpp"

#include <iterator>

namespace trovelin::recipes {

Shapes catalogue_shapes() {
    Shapes all;
    for (Shapes (*block)() : {
             &lfo_opening,
             &rhythm_euclid,
             &lfo_more,
             &path_family,
             &wave_family,
             &orbit_family,
             &weave_family,
             &polar_family,
             &spiro_family,
             &space_family,
             &mech_family,
             &euclid_family,
             &poly_family,
             &meter_family,
             &beat_family,
         }) {
        Shapes shapes = block();
        all.insert(all.end(), std::make_move_iterator(shapes.begin()), std::make_move_iterator(shapes.end()));
    }
    return all;
}

}  // namespace trovelin::recipes
