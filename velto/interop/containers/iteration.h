// What the rest of the runtime uses of the iteration adapters: the enumerable argument
// record and its converter, and the two callbacks by which .NET walks a Python iterable.
#pragma once

#include <Python.h>

#include <cstdint>

#include "interop/converters.h"

namespace morvax::containers {

// How an argument of enumerable type is handed to .NET.
struct EnumerableArgument {
  int32_t kind;     // 0 .NET object or None, 1 Python-side object carrying one, 2 Python iterable
  uintptr_t value;  // kinds 0 and 1: the handle; kind 2: a borrowed pointer to the object
};

// One item as .NET hands it over to be wrapped here: a .NET object as a new handle and its
// run-time type's key (kind 0; handle 0 is null), which is wrapped without .NET calling
// back; anything else as the Python object .NET built (kind 2, a new reference; null is None).
struct ItemRef {
  int32_t kind;
  uint32_t handle;
  uint32_t typeKey;
  PyObject* object;
};

// None, a .NET enumerable, or a Python iterable or sequence; 1, or 0 with TypeError
// "can't build IEnumerable value from '%s'" (or the error .NET raised while asked).
int ConvertEnumerable(PyObject* object, EnumerableArgument* out);

extern "C" {
// A new reference to the object's iterator, or null with an error.
PyObject* GetIteratorCallback(PyObject* object);
// 0: *item is a new reference and *variant describes it; 1: exhausted; 2: error pending.
int32_t NextItemCallback(PyObject* iterator, PyObject** item, PyVariant* variant);
// The size of a Python list, or of any sequence; -1 with an error set.
int32_t ListSizeCallback(PyObject* list);
int32_t SequenceSizeCallback(PyObject* sequence);
}

}  // namespace morvax::containers
