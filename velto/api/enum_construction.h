// Construction of the enumeration classes: the class the enum module's functional form
// (IntEnum(name, members, module=...)) builds, made without its per-member checks, which
// cost most of the import when hundreds of classes are built.
#pragma once

#include <Python.h>

namespace morvax::api {

// A new IntEnum or IntFlag subclass (base) named name in module, with members, a tuple of
// (name, int) pairs in definition order (a repeated value is an alias). Returns a new
// reference, or null with an exception set.
PyObject* NewEnumClass(PyObject* base, const char* name, const char* module, PyObject* members);

// Sets an attribute of such a class as the class's own __setattr__ does (a member cannot be
// reassigned), without running that Python method. 0, or -1 with an exception set.
int SetEnumClassAttribute(PyObject* type, PyObject* name, PyObject* value);

}  // namespace morvax::api
