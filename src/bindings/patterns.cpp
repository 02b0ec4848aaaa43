// User patterns, the pattern library and the listing of the defaults.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bindings/bindings.hpp"
#include "core/offset3.hpp"
#include "core/pattern_info.hpp"
#include "core/pip.hpp"
#include "patterns/pattern_library.hpp"
#include "patterns/sampled_pattern.hpp"
#include "rudiments/registry.hpp"

namespace py = pybind11;

namespace trovelin::bindings {
namespace {

// One new dict per record, keys in this order. The texts are decoded as
// strict UTF-8, so a description that is not valid UTF-8 raises here.
py::list listing_to_python(const std::vector<PatternInfo>& records) {
    py::list out;
    for (const PatternInfo& r : records) {
        py::dict d;
        d["name"] = py::str(r.name.data(), r.name.size());
        d["description"] = py::str(r.description.data(), r.description.size());
        d["period_pips"] = py::int_(r.period_pips);
        d["dimensions"] = py::int_(r.dimensions);
        out.append(std::move(d));
    }
    return out;
}

}  // namespace

void register_patterns(py::module_& m) {
    // std::string takes str as UTF-8 and bytes or bytearray byte for byte;
    // each sample must be a sequence of exactly three numbers.
    py::class_<SampledPattern>(m, "SampledPattern")
        .def(py::init([](std::string name, std::string description,
                         const std::vector<std::array<double, 3>>& samples) {
                 std::vector<Offset3> points;
                 points.reserve(samples.size());
                 for (const std::array<double, 3>& s : samples) {
                     points.push_back({s[0], s[1], s[2]});
                 }
                 return SampledPattern(std::move(name), std::move(description), std::move(points));
             }),
             py::arg("name"), py::arg("description"), py::arg("samples"))
        .def_property_readonly("name", &SampledPattern::name)
        .def_property_readonly("description", &SampledPattern::description)
        .def_property_readonly("period_pips", &SampledPattern::period_pips)
        .def("sample", &SampledPattern::sample, py::arg("pip_count").noconvert());

    // The sequence caster copies every pattern into the pack, so the
    // caller's objects are never moved from.
    py::class_<PatternLibrary>(m, "PatternLibrary")
        .def(py::init([](std::vector<SampledPattern> patterns) { return PatternLibrary(std::move(patterns)); }),
             py::arg("patterns") = py::list())
        .def("sample", &PatternLibrary::sample, py::arg("name"), py::arg("pip_count").noconvert())
        .def("catalogue", [](const PatternLibrary& library) { return listing_to_python(library.catalogue()); });
}

void register_catalogue(py::module_& m) {
    m.def("catalogue", [] { return listing_to_python(default_pattern_infos()); });
}

}  // namespace trovelin::bindings
