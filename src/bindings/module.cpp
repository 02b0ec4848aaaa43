// The module's entry point. The registration order is the module's attribute
// order, which callers can see in trovelin.__dict__.
#include <pybind11/pybind11.h>

#include "bindings/bindings.hpp"
#include "core/pip.hpp"

namespace py = pybind11;

PYBIND11_MODULE(trovelin, m) {
    using namespace trovelin::bindings;
    m.doc() = "Integer-pip rhythmic position functions";
    m.attr("PIPS_PER_BEAT") = py::int_(trovelin::PIPS_PER_BEAT);
    register_recording(m);
    register_offset3(m);
    register_patterns(m);
    register_sample(m);
    register_catalogue(m);
    register_rudiments(m);
}
