// One registration function per concern, called by the module in a fixed order.
#pragma once

#include <pybind11/pybind11.h>

namespace trovelin::bindings {

void register_recording(pybind11::module_& m);
void register_offset3(pybind11::module_& m);
void register_patterns(pybind11::module_& m);
void register_sample(pybind11::module_& m);
void register_catalogue(pybind11::module_& m);
void register_rudiments(pybind11::module_& m);

}  // namespace trovelin::bindings
