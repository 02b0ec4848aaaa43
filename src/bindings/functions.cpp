// The module-level position functions: the lookup by name and the rudiments.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "bindings/arguments.hpp"
#include "bindings/bindings.hpp"
#include "rudiments/registry.hpp"

namespace py = pybind11;

namespace trovelin::bindings {

void register_sample(py::module_& m) {
    m.def(
        "sample", [](std::string_view name, PipArg pip_count) { return trovelin::sample(name, pip_count.value); },
        py::arg("name"), py::arg("pip_count"));
}

// Each rudiment is bound straight to its own function; its one argument has
// no name, so it can only be given by position.
void register_rudiments(py::module_& m) {
    for (const Rudiment& r : rudiments()) {
        m.def(std::string(r.info.name).c_str(), [function = r.function](PipArg pip) { return function(pip.value); });
    }
}

}  // namespace trovelin::bindings
