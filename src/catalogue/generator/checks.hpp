// The checks every catalogue entry must pass before it is stored, and the
// rounding applied to every coordinate first.
#pragma once

#include <stdexcept>

#include "catalogue/recipes/recipe.hpp"

namespace trovelin::generator {

// Why an entry cannot be stored.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The double nearest the value rounded to 12 decimal places; zero is +0.0.
double round12(double v);

// Throws Refusal when the (rounded) shape breaks a rule of the catalogue:
// name, description, loop length, bounds, unused axes, still axes or jumps.
void check_shape(const recipes::Shape& s);

}  // namespace trovelin::generator
