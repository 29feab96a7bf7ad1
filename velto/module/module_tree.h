// The package morvax.velto and its module-level function.
#pragma once

#include <Python.h>

namespace morvax {

// Creates the top-level module (new reference), or null with ImportError set.
PyObject* CreateModuleTree();

}  // namespace morvax
