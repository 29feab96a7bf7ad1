// Construction of the enumeration classes: the class the enum module's functional form
// (IntEnum(name, members, module=...)) builds, made without its per-member Python machinery,
// which cost most of the import when hundreds of classes are built.
#pragma once

#include <Python.h>

#include <cstddef>

#include "api/class_binding.h"

namespace morvax::api {

// A new IntEnum or IntFlag subclass (base) named name in module, with members in definition
// order (a repeated value is an alias). extras, when not null, is a dictionary of further
// class attributes the caller wants placed at creation (documentation under "__doc__",
// markers); none of them may be a member's name or a special method. Returns a new
// reference, or null with an exception set.
PyObject* NewEnumClass(PyObject* base, const char* name, const char* module, const EnumMember* members, size_t count,
                       PyObject* extras);

// Stores attributes (a dictionary) of a class made by NewEnumClass that are neither members
// nor special methods, such as the service descriptors that need the class to exist, in its
// dictionary, emptying the class's lookup cache once.
// 0, or -1 with an exception set.
int AddEnumClassAttributes(PyObject* type, PyObject* attributes);

}  // namespace morvax::api
