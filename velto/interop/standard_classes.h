// Standard-library classes the conversions test against, fetched on first use and kept.
#pragma once

#include <Python.h>

namespace morvax {

enum class StandardClassId { EnumType, Decimal, DecimalTuple, Uuid, DateTime, TimeZone, Count };

// A borrowed reference kept for the life of the process; a failed import is not kept, so
// it is retried. Null with ImportError set.
PyObject* StandardClass(StandardClassId id);

// 1 when object is an instance of the class, 0 when not, -1 with an error (also when the
// class cannot be imported).
inline int IsInstanceOf(PyObject* object, PyObject* cls) {
  return cls != nullptr ? PyObject_IsInstance(object, cls) : -1;
}

}  // namespace morvax
