// Helpers for the static type objects and module definitions of the sibling
// modules, which C++ cannot spell with C's designated initializers.
#pragma once

#include <Python.h>

namespace morvax::siblings {

// Readies a zero-initialised static type whose slots the caller has filled in.
// A static type object is never freed, so it starts with the one reference the
// module-level storage holds.  Returns 0, or -1 with an exception set.
inline int ready_static_type(PyTypeObject* type) {
  if (Py_REFCNT(type) == 0) { Py_SET_REFCNT(reinterpret_cast<PyObject*>(type), 1); }
  return PyType_Ready(type);
}

// A single-phase module definition (m_size -1: state lives in static storage).
inline PyModuleDef single_phase_module(const char* name, const char* doc, PyMethodDef* methods) {
  return PyModuleDef{PyModuleDef_HEAD_INIT, name, doc, -1, methods, nullptr, nullptr, nullptr, nullptr};
}

// PyMethodDef wants a PyCFunction; the double cast says the real signature is
// chosen by the flags, and keeps -Wcast-function-type quiet.
template <typename F>
PyCFunction method_cast(F* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(function));
}

}  // namespace morvax::siblings
