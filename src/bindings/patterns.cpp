// User patterns, the pattern library and the listing of the defaults.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bindings/arguments.hpp"
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

// The listing's keys, and the values of every default: the defaults' names
// and descriptions are immutable static text, so their Python strings (and
// their numbers) are made once, on the first listing, and shared by every
// later one. Made and read with the interpreter lock held, which is all the
// locking it needs; kept until the process ends, as the defaults are.
struct ListingObjects {
    const PatternInfo* defaults = nullptr;  // the default listing they were made from
    std::size_t count = 0;
    py::object keys[4];
    std::vector<py::object> values;  // four a default, in key order
};

py::object text(std::string_view t) {
    return py::str(t.data(), t.size());
}

const ListingObjects& listing_objects() {
    static ListingObjects* made = nullptr;
    if (made == nullptr) {
        const std::vector<PatternInfo>& defaults = default_pattern_infos();
        auto* objects = new ListingObjects;  // never freed: see above
        objects->defaults = defaults.data();
        objects->count = defaults.size();
        const char* const names[4] = {"name", "description", "period_pips", "dimensions"};
        for (int k = 0; k < 4; ++k) {
            objects->keys[k] = py::reinterpret_steal<py::object>(PyUnicode_InternFromString(names[k]));
        }
        objects->values.reserve(4 * defaults.size());
        for (const PatternInfo& r : defaults) {
            objects->values.push_back(text(r.name));
            objects->values.push_back(text(r.description));
            objects->values.push_back(py::int_(r.period_pips));
            objects->values.push_back(py::int_(r.dimensions));
        }
        made = objects;
    }
    return *made;
}

py::dict record_dict(const py::object (&keys)[4], const py::object* values) {
    py::dict d;
    for (int k = 0; k < 4; ++k) {
        if (PyDict_SetItem(d.ptr(), keys[k].ptr(), values[k].ptr()) != 0) {
            throw py::error_already_set();
        }
    }
    return d;
}

// One new dict per record, keys in this order, in a new list. A record that
// is a default reuses that default's values; any other record's texts are
// decoded as strict UTF-8, so a description that is not valid UTF-8 raises.
py::list listing_to_python(const std::vector<PatternInfo>& records) {
    const ListingObjects& objects = listing_objects();
    py::list out(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PatternInfo& r = records[i];
        py::dict d;
        if (i < objects.count && r.name.data() == objects.defaults[i].name.data() &&
            r.description.data() == objects.defaults[i].description.data()) {
            d = record_dict(objects.keys, &objects.values[4 * i]);
        } else {
            const py::object values[4] = {text(r.name), text(r.description), py::int_(r.period_pips),
                                          py::int_(r.dimensions)};
            d = record_dict(objects.keys, values);
        }
        PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(i), d.release().ptr());
    }
    return out;
}

}  // namespace

void register_patterns(py::module_& m) {
    // std::string takes str as UTF-8 and bytes or bytearray byte for byte;
    // each sample must be a sequence of exactly three numbers.
    py::class_<SampledPattern> pattern(m, "SampledPattern");
    pattern
        .def(py::init([](std::string name, std::string description, PatternSamples samples) {
                 return SampledPattern(std::move(name), std::move(description), std::move(samples.points));
             }),
             py::arg("name"), py::arg("description"), py::arg("samples"))
        .def_property_readonly("name", &SampledPattern::name)
        .def_property_readonly("description", &SampledPattern::description)
        .def_property_readonly("period_pips", &SampledPattern::period_pips)
        .def(
            "sample", [](const SampledPattern& p, PipArg pip) { return p.sample(pip.value); },
            py::arg("pip_count").noconvert());
    guard_instances(pattern, true);

    // The pack is checked where its patterns lie, and only the patterns kept
    // are copied: a refused pack costs no copy.
    py::class_<PatternLibrary> library(m, "PatternLibrary");
    library
        .def(py::init([](const PatternPack& pack) {
                 return PatternLibrary(std::span<const SampledPattern* const>(pack.patterns));
             }),
             py::arg("patterns") = py::list())
        .def(
            "sample", [](const PatternLibrary& l, std::string_view name, PipArg pip) { return l.sample(name, pip.value); },
            py::arg("name"), py::arg("pip_count").noconvert())
        .def("catalogue", [](const PatternLibrary& l) { return listing_to_python(l.catalogue()); });
    guard_instances(library, true);
}

void register_catalogue(py::module_& m) {
    m.def("catalogue", [] { return listing_to_python(default_pattern_infos()); });
}

}  // namespace trovelin::bindings
