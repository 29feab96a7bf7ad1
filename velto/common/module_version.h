// The version value type of the module (_ModuleVersionType) and the version rules.
#pragma once

#include <Python.h>

#include <cstdint>

#include "common/version_numbers.h"

namespace morvax {

// Instance layout; the sibling modules lay out their version values the same way.
struct ModuleVersionObject {
  PyObject_HEAD
  VersionNumbers numbers;
  PyObject* text;  // owned str
};

extern PyTypeObject ModuleVersionType;

// A new version value, or null with an exception set.
PyObject* NewModuleVersion(int32_t major, int32_t minor, int32_t patch, int32_t sub, const char* text);

// The object viewed as a version value when it has this layout: a type named
// "..._ModuleVersionType" of exactly this basic size, holding a str. Null otherwise.
const ModuleVersionObject* AsVersionValue(PyObject* object);

}  // namespace morvax
