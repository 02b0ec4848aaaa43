// The module's entry point. The registration order is the module's attribute
// order, which callers can see in trovelin.__dict__.
#include <pybind11/pybind11.h>

#include "bindings/bindings.hpp"
#include "core/pip.hpp"

namespace py = pybind11;

// One interpreter per process: importing the module in a sub-interpreter
// fails at once with ImportError. Python 3.12 and later read that from the
// module's declaration; before 3.12 nothing does, and setting up the bindings
// there waits forever on the main interpreter's lock, so the entry point
// below refuses first. The bindings' own entry point is PyInit_trovelin_bound,
// which only the one below calls.
PYBIND11_MODULE(trovelin_bound, m, py::multiple_interpreters::not_supported()) {
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

extern "C" PYBIND11_EXPORT PyObject* PyInit_trovelin() {
    if (PyInterpreterState_Get() != PyInterpreterState_Main()) {
        PyErr_SetString(PyExc_ImportError,
                        "trovelin cannot be imported in a sub-interpreter: it runs in the main interpreter only");
        return nullptr;
    }
    return PyInit_trovelin_bound();
}
