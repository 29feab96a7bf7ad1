// Casting and type identity: the class-level service methods every bound class carries
// after its own members (_type_of, _cast_to, _cast_from, _reinterpret_obj, _cast_as,
// _is_assignable), served by the btp_ entry points that end the class's delegate table.
#pragma once

#include <Python.h>

#include "api/class_binding.h"
#include "interop/host_object.h"

namespace morvax::api {

// Where each service's entry stands in the class's delegate table, counted from btp_TypeOf
// (ClassBinding::typeOfSlot); a static class has only btp_TypeOf.
enum ServiceOffset { kTypeOf = 0, kCastTo = 1, kReinterpret = 2, kCastAs = 3, kIsAssignable = 4 };

// Each returns a new reference, or null with an error set. A static class (only
// btp_TypeOf in its table) gives the fixed answers of a class that has no instances.

// The .NET System.Type of the class, as a morvax.pyreflection.Type.
PyObject* TypeOf(const ClassBinding& binding);
// The cast result for any object: a host object or None is offered to .NET as its pair of
// kind and handle; anything else is not castable.
PyObject* CastTo(const ClassBinding& binding, PyObject* object);
// As CastTo, but only wrappers of .NET objects are offered (None is not).
PyObject* CastAs(const ClassBinding& binding, PyObject* object);
// True when object wraps a .NET object that is an instance of the class.
PyObject* IsAssignable(const ClassBinding& binding, PyObject* object);
// A new wrapper of the class around the .NET object held by a morvax.pyreflection.Object.
PyObject* ReinterpretObject(const ClassBinding& binding, PyObject* object);
// The result of a cast that did not happen, whatever the argument.
PyObject* CastFrom(PyObject* self, PyObject* object);

// The answer of the class's btp_IsAssignable for a host object's pair (a class is asked
// with the handle alone). Only once the readiness gate passed; an error may be pending.
int32_t AskIsAssignable(const ClassBinding& binding, HostKindHandle pair);

// The method-table entries: one instantiation per class, so that the table itself names
// the class it serves.
template <const ClassBinding* B>
PyObject* TypeOfMethod(PyObject*, PyObject*) {
  return TypeOf(*B);
}
template <const ClassBinding* B>
PyObject* CastToMethod(PyObject*, PyObject* object) {
  return CastTo(*B, object);
}
template <const ClassBinding* B>
PyObject* CastAsMethod(PyObject*, PyObject* object) {
  return CastAs(*B, object);
}
template <const ClassBinding* B>
PyObject* IsAssignableMethod(PyObject*, PyObject* object) {
  return IsAssignable(*B, object);
}
template <const ClassBinding* B>
PyObject* ReinterpretObjectMethod(PyObject*, PyObject* object) {
  return ReinterpretObject(*B, object);
}
template <const ClassBinding* B>
PyObject* CastFromMethod(PyObject* self, PyObject* object) {
  return CastFrom(self, object);
}

}  // namespace morvax::api
