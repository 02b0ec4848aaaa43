// One registration function per concern, called by the module in a fixed order.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <typeinfo>

namespace trovelin::bindings {

void register_recording(pybind11::module_& m);
void register_offset3(pybind11::module_& m);
void register_patterns(pybind11::module_& m);
void register_sample(pybind11::module_& m);
void register_catalogue(pybind11::module_& m);
void register_rudiments(pybind11::module_& m);

// Throws the TypeError for an instance of `type` whose constructor never ran.
[[noreturn]] void refuse_uninitialised(const std::type_info& type);

template <typename T>
void* refuse_uninitialised(std::size_t) {
    refuse_uninitialised(typeid(T));
}

// See guard_instances below; `init` is storage for the guarded __init__'s
// method definition, which must outlive the class, or null for a class that
// has no constructor.
void guard_instances(pybind11::handle cls, const std::type_info& type, void* (*refuse)(std::size_t),
                     PyMethodDef* init);

// Applied to each class once it is registered: an instance whose constructor
// never ran (made by __new__ alone, as copying and unpickling machinery does)
// refuses every use with TypeError instead of reaching an object it does not
// hold, and __init__ refuses, also with TypeError, an instance that holds its
// object already.
template <typename T, typename... Options>
void guard_instances(pybind11::class_<T, Options...>& cls, bool has_init) {
    static PyMethodDef init{};
    guard_instances(cls, typeid(T), &refuse_uninitialised<T>, has_init ? &init : nullptr);
}

}  // namespace trovelin::bindings
