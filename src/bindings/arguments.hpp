// Argument types whose conversion from Python is stricter than the binding
// library's defaults: pips that refuse every kind of float, and sequences whose
// items are read exactly once and whose claimed length is checked against the
// argument's limit before anything is read or reserved. Each keeps the name of
// the type it stands for, so the signature lines stay as they were.
#pragma once

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/offset3.hpp"
#include "core/pip.hpp"
#include "patterns/sampled_pattern.hpp"

namespace trovelin::bindings {

// A pip argument.
struct PipArg {
    Pip value;
};

// A pattern's samples: three numbers each, x, y and z. An argument that
// claims more rows than a pattern may have is not read: its samples are left
// empty, which the pattern refuses with the message of its limits.
struct PatternSamples {
    std::vector<Offset3> points;
};

// The patterns handed to a library, where they lie: `patterns` point into
// the Python objects, which `items` keeps alive for the call.
struct PatternPack {
    pybind11::tuple items;
    std::vector<const SampledPattern*> patterns;
};

// A recording's axis names and its rows; past the recording's limit of
// values, nothing is read and the recording refuses the empty argument with
// the message of its limits.
struct AxisNames {
    std::vector<std::string> names;
};
struct RecordingRows {
    std::vector<std::vector<double>> rows;
};

// The items of a sequence argument, each read once, in a tuple; a null object
// when `src` is not accepted as a sequence (str and bytes are not). A tuple is
// taken as it is and a list as a tuple copy, so that converting the items
// cannot change them. Any other sequence is asked its length once: above
// `limit`, `*too_long` is set and nothing is read (an empty tuple comes back);
// otherwise its items are read by index, an IndexError ending them early as
// it ends iteration. Generators, map and zip objects, sets, frozensets and
// dict views are collected with tuple(); other iterators are refused. An exception raised
// by the caller's own __len__, __getitem__ or iterator passes through.
pybind11::tuple sequence_items(pybind11::handle src, std::size_t limit, bool* too_long);

}  // namespace trovelin::bindings

namespace pybind11::detail {

template <>
struct type_caster<trovelin::bindings::PipArg> {
    PYBIND11_TYPE_CASTER(trovelin::bindings::PipArg, make_caster<trovelin::Pip>::name);

    // An int, bool or object with __index__; where conversion is allowed,
    // also the other numbers that int() converts, but never a float of any
    // kind, which int() would truncate: a float or an instance of a subclass
    // of it, or a NumPy floating-point scalar (float16, float32, longdouble
    // and the rest, recognised by their base's name so that NumPy is never
    // imported here).
    bool load(handle src, bool convert) {
        if (!src) {
            return false;
        }
        PyObject* o = src.ptr();
        if (!PyLong_Check(o) && (PyFloat_Check(o) || is_numpy_floating(Py_TYPE(o)))) {
            return false;
        }
        make_caster<trovelin::Pip> pip;
        if (!pip.load(src, convert)) {
            return false;
        }
        value.value = cast_op<trovelin::Pip>(pip);
        return true;
    }

    static bool is_numpy_floating(PyTypeObject* type) {
        PyObject* mro = type->tp_mro;
        if (mro == nullptr || !PyTuple_Check(mro)) {
            return false;
        }
        for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(mro); ++i) {
            const char* name = reinterpret_cast<PyTypeObject*>(PyTuple_GET_ITEM(mro, i))->tp_name;
            if (std::string_view(name) == "numpy.floating") {
                return true;
            }
        }
        return false;
    }

    static handle cast(trovelin::bindings::PipArg pip, return_value_policy policy, handle parent) {
        return make_caster<trovelin::Pip>::cast(pip.value, policy, parent);
    }
};

template <>
struct type_caster<trovelin::bindings::PatternSamples> {
    using Shown = std::vector<std::array<double, 3>>;  // the type the signature line shows
    PYBIND11_TYPE_CASTER(trovelin::bindings::PatternSamples, make_caster<Shown>::name);
    bool load(handle src, bool convert);
    static handle cast(const trovelin::bindings::PatternSamples&, return_value_policy, handle) = delete;
};

template <>
struct type_caster<trovelin::bindings::PatternPack> {
    PYBIND11_TYPE_CASTER(trovelin::bindings::PatternPack, make_caster<std::vector<trovelin::SampledPattern>>::name);
    bool load(handle src, bool convert);
    static handle cast(const trovelin::bindings::PatternPack&, return_value_policy, handle) = delete;
};

template <>
struct type_caster<trovelin::bindings::AxisNames> {
    PYBIND11_TYPE_CASTER(trovelin::bindings::AxisNames, make_caster<std::vector<std::string>>::name);
    bool load(handle src, bool convert);
    static handle cast(const trovelin::bindings::AxisNames&, return_value_policy, handle) = delete;
};

template <>
struct type_caster<trovelin::bindings::RecordingRows> {
    PYBIND11_TYPE_CASTER(trovelin::bindings::RecordingRows, make_caster<std::vector<std::vector<double>>>::name);
    bool load(handle src, bool convert);
    static handle cast(const trovelin::bindings::RecordingRows&, return_value_policy, handle) = delete;
};

}  // namespace pybind11::detail
