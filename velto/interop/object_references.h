// The table with which .NET keeps and lets go of the Python objects it holds (the text of
// a Python error it took, and later the Python objects behind interface values).
#pragma once

#include <Python.h>

namespace morvax {

// Registered with SetPyObjApiCallbacks; NativeCallbacks.cs reads it member for member.
struct ObjectReferenceTable {
  PyObject* (*newNone)();          // a new reference to None
  void (*addReference)(PyObject*);   // null is ignored
  void (*dropReference)(PyObject*);  // null is ignored; at zero the object goes
};

// The table; it lives for the life of the process.
const ObjectReferenceTable* ObjectReferenceCallbacks();

}  // namespace morvax
