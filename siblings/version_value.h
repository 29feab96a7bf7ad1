// The version value type shared by the sibling modules: each module compiles this
// code in and registers its own static type object "<module>._ModuleVersionType"
// with the MvVersionValue layout of morvax/version_value.h.
#pragma once

#include <Python.h>

#include <cstdint>

#include "morvax/version_value.h"

namespace morvax::siblings {

// Fills the zeroed static type storage *type for version values and readies it.
// qualified_name must outlive the type (a literal).  basic_size is the layout's size
// and only differs from it in test support that builds deliberately wrong values.
// Calling it again for a type already ready does nothing.
// Returns 0, or -1 with an exception set.
int version_type_ready(PyTypeObject* type, const char* qualified_name, Py_ssize_t basic_size = sizeof(MvVersionValue));

// A new version value of the given type (new reference).  text must be a str; it
// is borrowed and the value keeps its own reference.
PyObject* version_value_new(PyTypeObject* type, int32_t major, int32_t minor, int32_t patch, int32_t sub,
                            PyObject* text);

// Adds VERSION and _BACKWARD_COMPATIBILITY_THRESHOLD to module, with the numbers
// this file was compiled with (SIBLING_VERSION / SIBLING_VERSION_TEXT,
// SIBLING_THRESHOLD / SIBLING_THRESHOLD_TEXT; see version_value.cpp).
// type must be ready.  Returns 0, or -1 with an exception set.
int add_version_values(PyObject* module, PyTypeObject* type);

}  // namespace morvax::siblings
