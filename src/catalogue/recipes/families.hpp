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
Shapes accent_family();
Shapes triplet_family();
Shapes dialogue_family();
Shapes burst_family();
Shapes rhythm_cycles();
Shapes rudiment_family();
Shapes groove_family();
Shapes rhythm_phrases();
Shapes swing_family();
Shapes stick_family();
Shapes packet_family();
Shapes canon_family();
Shapes echo_family();
Shapes ladder_family();
Shapes necklace_family();
Shapes spline_family();
Shapes tour_family();
Shapes scan_family();
Shapes reach_family();
Shapes polar_scallop_family();
Shapes ribbon_family();
Shapes contour_family();
Shapes silhouette_family();
Shapes surface_family();
Shapes braid_family();
Shapes ease_family();
Shapes akwf_family();
Shapes env_family();
Shapes seq_family();
Shapes noise_family();
Shapes gesture_family();
Shapes arm_family();
Shapes dwell_family();
Shapes beat_family();

// All shapes in catalogue order.
Shapes catalogue_shapes();

}  // namespace trovelin::recipes
