// Importing the sibling modules with their version check, standard-library attributes,
// and adding static types to modules.
#pragma once

#include <Python.h>

#include "common/module_version.h"

namespace morvax {

// The sibling version this build was made against.
inline constexpr VersionNumbers kRequiredSiblingVersion = {24, 5, 3, 0};

// Imports a sibling module and accepts it when threshold <= required <= found.
// Returns a new reference, or null with ImportError set.
PyObject* ImportDependency(const char* reportingModule, const char* dependency, const VersionNumbers& required);

// Imports a module and returns a new reference to one of its attributes, or null with
// ImportError set.
PyObject* ImportModuleAttribute(const char* moduleName, PyObject* attributeName);

// Readies a static type and adds it to the module under name. 0, or -1 with ImportError.
int AddTypeToModule(PyObject* module, PyTypeObject* type, const char* name);

}  // namespace morvax
