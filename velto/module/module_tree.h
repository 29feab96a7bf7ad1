// The package morvax.velto and its module-level function.
#pragma once

#include <Python.h>

namespace morvax {

// Creates the top-level module (new reference), or null with ImportError set.
PyObject* CreateModuleTree();

// Creates morvax.velto._wrpgen with _interop and _generic inside the top-level module.
// Returns _wrpgen (borrowed: the top-level module holds it), or null with ImportError.
PyObject* CreateSupportModule(PyObject* top);

// Enters every submodule in sys.modules under its full name. 0, or -1 with an exception.
int EnterSubmodules(PyObject* top);

}  // namespace morvax
