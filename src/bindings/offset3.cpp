#include <pybind11/pybind11.h>

#include "bindings/bindings.hpp"
#include "core/offset3.hpp"

namespace py = pybind11;

namespace trovelin::bindings {

// No constructor: Python only ever receives positions as results.
void register_offset3(py::module_& m) {
    py::class_<Offset3> offset(m, "Offset3");
    offset
        .def_readonly("x", &Offset3::x)
        .def_readonly("y", &Offset3::y)
        .def_readonly("z", &Offset3::z)
        .def("as_tuple", [](const Offset3& o) { return py::make_tuple(o.x, o.y, o.z); });
    guard_instances(offset, false);
}

}  // namespace trovelin::bindings
