// SampledRecording: constructor arguments convert implicitly, the pip of
// `sample` does not, and every result is a new Python object.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/typing.h>

#include <span>
#include <string>
#include <vector>

#include "bindings/arguments.hpp"
#include "bindings/bindings.hpp"
#include "recording/sampled_recording.hpp"

namespace py = pybind11;

namespace trovelin::bindings {

namespace {

// A new list holding a float for each value of the row, built at its final size.
py::typing::List<float> sample_row(const SampledRecording& recording, Pip pip) {
    const std::span<const double> row = recording.row(pip);
    py::typing::List<float> out(row.size());
    for (std::size_t i = 0; i < row.size(); ++i) {
        PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(i), py::float_(row[i]).release().ptr());
    }
    return out;
}

}  // namespace

void register_recording(py::module_& m) {
    py::class_<SampledRecording> recording(m, "SampledRecording");
    recording
        .def(py::init([](std::string name, AxisNames dimensions, const RecordingRows& samples, double bpm,
                         double beat_zero_seconds, PipArg start_pip) {
                 return SampledRecording(std::move(name), std::move(dimensions.names), samples.rows, bpm,
                                         beat_zero_seconds, start_pip.value);
             }),
             py::arg("name"), py::arg("dimensions"), py::arg("samples"), py::arg("bpm"),
             py::arg("beat_zero_seconds") = 0.0, py::arg("start_pip") = 0)
        .def_property_readonly("name", &SampledRecording::name)
        .def_property_readonly("dimensions", &SampledRecording::dimensions)
        .def_property_readonly("sample_count", &SampledRecording::sample_count)
        .def_property_readonly("bpm", &SampledRecording::bpm)
        .def_property_readonly("beat_zero_seconds", &SampledRecording::beat_zero_seconds)
        .def_property_readonly("start_pip", &SampledRecording::start_pip)
        .def(
            "sample", [](const SampledRecording& r, PipArg pip) { return sample_row(r, pip.value); },
            py::arg("pip").noconvert());
    guard_instances(recording, true);
}

}  // namespace trovelin::bindings
