// Conversions of the arguments that take sequences: every item read once,
// every claimed length checked against the argument's limit before anything
// is read or reserved.
#include "bindings/arguments.hpp"

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "patterns/pattern_library.hpp"
#include "patterns/sampled_pattern.hpp"
#include "recording/sampled_recording.hpp"

namespace py = pybind11;

namespace trovelin::bindings {

namespace {

// The non-sequences taken as sequences, as the binding library's own list
// conversion takes them; any other iterator is not.
bool collected_whole(PyObject* o) {
    return PyGen_Check(o) || PyAnySet_Check(o) || PyDictKeys_Check(o) || PyDictValues_Check(o) ||
           PyDictItems_Check(o) || PyObject_TypeCheck(o, &PyMap_Type) || PyObject_TypeCheck(o, &PyZip_Type);
}

// One number of a sample or a row, as the float caster converts it.
bool load_number(py::handle item, bool convert, double* out) {
    py::detail::make_caster<double> number;
    if (!number.load(item, convert)) {
        return false;
    }
    *out = py::detail::cast_op<double>(number);
    return true;
}

bool load_text(py::handle item, std::string* out) {
    py::detail::make_caster<std::string> text;
    if (!text.load(item, true)) {
        return false;
    }
    *out = py::detail::cast_op<std::string&&>(std::move(text));
    return true;
}

}  // namespace

py::tuple sequence_items(py::handle src, std::size_t limit, bool* too_long) {
    PyObject* o = src.ptr();
    if (PyTuple_Check(o)) {
        return py::reinterpret_borrow<py::tuple>(src);
    }
    if (PyList_Check(o)) {
        return py::reinterpret_steal<py::tuple>(PyList_AsTuple(o));
    }
    if (PyUnicode_Check(o) || PyBytes_Check(o)) {
        return py::reinterpret_steal<py::tuple>(py::handle());
    }
    if (!PySequence_Check(o)) {
        if (!collected_whole(o)) {
            return py::reinterpret_steal<py::tuple>(py::handle());
        }
        PyObject* items = PySequence_Tuple(o);
        if (items == nullptr) {
            throw py::error_already_set();
        }
        return py::reinterpret_steal<py::tuple>(items);
    }
    const Py_ssize_t claimed = PySequence_Size(o);
    if (claimed < 0) {
        throw py::error_already_set();
    }
    if (static_cast<std::size_t>(claimed) > limit) {
        *too_long = true;
        return py::tuple();
    }
    std::vector<py::object> items;
    items.reserve(static_cast<std::size_t>(claimed));
    for (Py_ssize_t i = 0; i < claimed; ++i) {
        PyObject* item = PySequence_GetItem(o, i);
        if (item == nullptr) {
            if (PyErr_ExceptionMatches(PyExc_IndexError)) {
                PyErr_Clear();
                break;
            }
            throw py::error_already_set();
        }
        items.push_back(py::reinterpret_steal<py::object>(item));
    }
    py::tuple out(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        PyTuple_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(i), items[i].release().ptr());
    }
    return out;
}

}  // namespace trovelin::bindings

namespace pybind11::detail {

using trovelin::bindings::sequence_items;

bool type_caster<trovelin::bindings::PatternSamples>::load(handle src, bool convert) {
    bool too_long = false;
    const tuple rows = sequence_items(src, trovelin::MAX_PATTERN_SAMPLES, &too_long);
    if (!rows) {
        return false;
    }
    std::vector<trovelin::Offset3> points;
    if (too_long || rows.size() > trovelin::MAX_PATTERN_SAMPLES) {
        value.points = std::move(points);  // refused by the pattern, with its limits
        return true;
    }
    points.reserve(rows.size());
    for (handle row : rows) {
        bool unused = false;
        const tuple xyz = sequence_items(row, 3, &unused);
        if (!xyz || xyz.size() != 3) {
            return false;
        }
        double v[3];
        for (std::size_t k = 0; k < 3; ++k) {
            if (!trovelin::bindings::load_number(xyz[k], convert, &v[k])) {
                return false;
            }
        }
        points.push_back({v[0], v[1], v[2]});
    }
    value.points = std::move(points);
    return true;
}

bool type_caster<trovelin::bindings::PatternPack>::load(handle src, bool convert) {
    bool too_long = false;
    tuple items = sequence_items(src, trovelin::MAX_LIBRARY_PATTERNS, &too_long);
    if (!items) {
        return false;
    }
    if (too_long) {
        throw value_error("Too many patterns");
    }
    std::vector<const trovelin::SampledPattern*> patterns;
    patterns.reserve(items.size());
    for (handle item : items) {
        make_caster<trovelin::SampledPattern> pattern;
        if (!pattern.load(item, convert)) {
            return false;
        }
        patterns.push_back(&cast_op<const trovelin::SampledPattern&>(pattern));
    }
    value.items = std::move(items);
    value.patterns = std::move(patterns);
    return true;
}

bool type_caster<trovelin::bindings::AxisNames>::load(handle src, bool) {
    bool too_long = false;
    const tuple items = sequence_items(src, trovelin::MAX_RECORDING_VALUES, &too_long);
    if (!items) {
        return false;
    }
    std::vector<std::string> names;
    names.reserve(items.size());
    for (handle item : items) {
        std::string text;
        if (!trovelin::bindings::load_text(item, &text)) {
            return false;
        }
        names.push_back(std::move(text));
    }
    value.names = std::move(names);  // empty past the limit: refused by the recording
    return true;
}

bool type_caster<trovelin::bindings::RecordingRows>::load(handle src, bool convert) {
    constexpr std::size_t limit = trovelin::MAX_RECORDING_VALUES;
    bool too_long = false;
    const tuple items = sequence_items(src, limit, &too_long);
    if (!items) {
        return false;
    }
    std::vector<std::vector<double>> rows;
    if (too_long || items.size() > limit) {
        value.rows = std::move(rows);  // refused by the recording, with its limits
        return true;
    }
    rows.reserve(items.size());
    std::size_t values = 0;
    for (handle item : items) {
        bool row_too_long = false;
        const tuple row = sequence_items(item, limit - values, &row_too_long);
        if (!row) {
            return false;
        }
        if (row_too_long) {
            value.rows.clear();  // claims more values than a recording may hold
            return true;
        }
        // A row handed whole (a list or a tuple) is converted as it is, however
        // long: it is refused as ragged or past the limit by the recording.
        values = std::min(limit, values + row.size());
        std::vector<double> numbers(row.size());
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (!trovelin::bindings::load_number(row[k], convert, &numbers[k])) {
                return false;
            }
        }
        rows.push_back(std::move(numbers));
    }
    value.rows = std::move(rows);
    return true;
}

}  // namespace pybind11::detail
