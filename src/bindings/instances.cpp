// Every instance of the module's classes holds one complete native object
// from the end of its constructor on, and only from then.
#include <pybind11/pybind11.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "bindings/bindings.hpp"

namespace py = pybind11;

namespace trovelin::bindings {
namespace {

std::string class_name(const std::type_info& type) {
    const py::detail::type_info* info = py::detail::get_type_info(type);
    return info != nullptr ? std::string(info->type->tp_name) : std::string(type.name());
}

bool holds_object(PyObject* self) {
    return reinterpret_cast<py::detail::instance*>(self)->get_value_and_holder().holder_constructed();
}

// The instances whose __init__ is running. Converting the arguments can run
// the caller's code (a sequence's __getitem__, another thread), which could
// call __init__ on the same instance again before the first call has stored
// its object; the binding library would then store and register two. Only
// touched with the interpreter lock held.
std::vector<PyObject*>& being_made() {
    static std::vector<PyObject*> instances;
    return instances;
}

// __init__ in front of the binding library's own, which lets a second call
// on a constructed instance return None and do nothing. `bound` is the
// library's function and the class, as a pair.
PyObject* init_once(PyObject* bound, PyObject* args, PyObject* kwargs) {
    PyObject* original = PyTuple_GET_ITEM(bound, 0);
    auto* cls = reinterpret_cast<PyTypeObject*>(PyTuple_GET_ITEM(bound, 1));
    if (PyTuple_GET_SIZE(args) == 0 || !PyObject_TypeCheck(PyTuple_GET_ITEM(args, 0), cls)) {
        return PyObject_Call(original, args, kwargs);  // the library refuses it
    }
    PyObject* self = PyTuple_GET_ITEM(args, 0);
    std::vector<PyObject*>& made = being_made();
    if (holds_object(self) || std::find(made.begin(), made.end(), self) != made.end()) {
        PyErr_Format(PyExc_TypeError, "%s.__init__() called on an object already made: it cannot be changed",
                     cls->tp_name);
        return nullptr;
    }
    try {
        made.push_back(self);
    } catch (const std::bad_alloc&) {
        return PyErr_NoMemory();
    }
    PyObject* result = PyObject_Call(original, args, kwargs);
    made.erase(std::find(made.begin(), made.end(), self));
    return result;
}

}  // namespace

[[noreturn]] void refuse_uninitialised(const std::type_info& type) {
    throw py::type_error(class_name(type) + ": the object was never initialised, so it holds nothing to use");
}

void guard_instances(py::handle cls, const std::type_info& type, void* (*refuse)(std::size_t), PyMethodDef* init) {
    // The binding library calls this hook, in place of allocating an empty
    // object, whenever an argument or `self` is an instance that holds none.
    py::detail::type_info* info = py::detail::get_type_info(type);
    if (info == nullptr) {
        throw std::logic_error("guard_instances: class not registered");
    }
    info->operator_new = refuse;
    if (init == nullptr) {
        return;
    }
    const py::object current = py::reinterpret_borrow<py::object>(cls).attr("__dict__")["__init__"];
    if (!PyInstanceMethod_Check(current.ptr())) {
        throw std::logic_error("guard_instances: __init__ is not a method");
    }
    PyObject* original = PyInstanceMethod_GET_FUNCTION(current.ptr());
    init->ml_name = "__init__";
    init->ml_meth = reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&init_once));
    init->ml_flags = METH_VARARGS | METH_KEYWORDS;
    init->ml_doc = reinterpret_cast<PyCFunctionObject*>(original)->m_ml->ml_doc;  // the signature line
    const py::tuple bound = py::make_tuple(py::handle(original), cls);
    const auto function = py::reinterpret_steal<py::object>(PyCFunction_NewEx(init, bound.ptr(), nullptr));
    if (!function) {
        throw py::error_already_set();
    }
    const auto method = py::reinterpret_steal<py::object>(PyInstanceMethod_New(function.ptr()));
    if (!method) {
        throw py::error_already_set();
    }
    py::setattr(cls, "__init__", method);
}

}  // namespace trovelin::bindings
