// The module-level listing of every default.
#include <pybind11/pybind11.h>

#include "bindings/bindings.hpp"
#include "rudiments/registry.hpp"

namespace py = pybind11;

namespace trovelin::bindings {

py::dict pattern_info_dict(const PatternInfo& info) {
    py::dict d;
    d["name"] = py::str(info.name.data(), info.name.size());
    d["description"] = py::str(info.description.data(), info.description.size());
    d["period_pips"] = info.period_pips;
    d["dimensions"] = info.dimensions;
    return d;
}

void register_catalogue(py::module_& m) {
    m.def("catalogue", [] {
        const auto& infos = default_pattern_infos();
        py::list out(infos.size());
        for (std::size_t i = 0; i < infos.size(); ++i) {
            out[i] = pattern_info_dict(infos[i]);
        }
        return out;
    });
}

}  // namespace trovelin::bindings
