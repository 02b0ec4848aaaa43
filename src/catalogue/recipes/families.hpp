// Every family's entries, block by block. The catalogue's order is the order
// in which `catalogue_shapes()` concatenates these blocks.
#pragma once

#include "recipe.hpp"

namespace trovelin::recipes {

Shapes lfo_opening();      // the first eight lfo_ shapes
Shapes rhythm_euclid();    // the two evenly spread rhythm_ grids
Shapes lfo_more();         // the second eight lfo_ shapes
Shapes path_family();
Shapes wave_family();
Shapes orbit_family();
Shapes weave_family();
Shapes polar_family();
Shapes spiro_family();
Shapes space_family();
Shapes mech_family();
Shapes euclid_family();
Shapes poly_family();
Shapes meter_family();
Shapes beat_family();

// All shapes in catalogue order.
Shapes catalogue_shapes();

}  // namespace trovelin::recipes
