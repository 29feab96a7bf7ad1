// Enumerations: IntEnum / IntFlag classes built from the generated member tables, their
// conversions to and from the 32-bit .NET value, and their casting services.
#pragma once

#include <Python.h>

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "api/class_binding.h"
#include "api/class_runtime.h"
#include "host/delegate_table.h"

namespace morvax::api {

// The entry points of every enumeration's interop class, in slot order.
enum EnumSlot : int {
  kEnumTypeOf,
  kEnumCastTo,
  kEnumReInterpretObj,
  kEnumAsUniEnum,
  kEnumCastAs,
  kEnumIsAssignable,
  kEnumGetType,
  kEnumSlotCount
};

struct EnumRuntime {
  PyObject* type = nullptr;     // the class, held for the process
  PyObject* members = nullptr;  // the class's value-to-member map, for the fast result path
  // The defined members by value, held for the process, so that a result finds its member
  // without making an int: indexed from the lowest value where the values are close
  // together (most enumerations count from zero), otherwise sorted for a binary search.
  int32_t lowestValue = 0;
  std::vector<PyObject*> byOffset;  // null where no member has the value
  std::vector<std::pair<int32_t, PyObject*>> byValue;
  void* slots[kEnumSlotCount] = {};
  std::once_flag tableOnce;
  host::ApiDelegateTable table;
};

// Builds the class (new reference) with its marker and service descriptors, or null.
PyObject* BuildEnumeration(const EnumBinding& binding);

// An argument: an instance of the class (or a subclass); 1 with the value, or 0 with TypeError.
int ConvertEnumArgument(const EnumBinding& binding, PyObject* object, int32_t* value);
// A result: the class called with the value (a member, a flag combination, or ValueError).
PyObject* EnumResult(const EnumBinding& binding, int32_t value);

PyObject* EnumTypeOf(const EnumBinding& binding);
PyObject* EnumCastTo(const EnumBinding& binding, PyObject* object, bool handleOnly);
PyObject* EnumCastFrom(PyObject* object);
PyObject* EnumReinterpret(const EnumBinding& binding, PyObject* object);
PyObject* EnumAsUniEnum(const EnumBinding& binding, PyObject* member);
PyObject* EnumIsAssignable(const EnumBinding& binding, PyObject* object);
PyObject* EnumGetType(const EnumBinding& binding, PyObject* member);

// Entry points for the service method definitions. The no-argument forms take the
// positional tuple and the keywords after them, as the descriptors call them.
template <const EnumBinding* E>
PyObject* EnumTypeOfEntry(PyObject*, PyObject*, PyObject*) {
  return EnumTypeOf(*E);
}
template <const EnumBinding* E>
PyObject* EnumCastToEntry(PyObject*, PyObject* object) {
  return EnumCastTo(*E, object, false);
}
template <const EnumBinding* E>
PyObject* EnumCastAsEntry(PyObject*, PyObject* object) {
  return EnumCastTo(*E, object, true);
}
template <const EnumBinding* E>
PyObject* EnumCastFromEntry(PyObject*, PyObject* object) {
  return EnumCastFrom(object);
}
template <const EnumBinding* E>
PyObject* EnumReinterpretEntry(PyObject*, PyObject* object) {
  return EnumReinterpret(*E, object);
}
template <const EnumBinding* E>
PyObject* EnumAsUniEnumEntry(PyObject* self, PyObject*, PyObject*) {
  return EnumAsUniEnum(*E, self);
}
template <const EnumBinding* E>
PyObject* EnumIsAssignableEntry(PyObject*, PyObject* object) {
  return EnumIsAssignable(*E, object);
}
template <const EnumBinding* E>
PyObject* EnumGetTypeEntry(PyObject* self, PyObject*, PyObject*) {
  return EnumGetType(*E, self);
}

}  // namespace morvax::api

// The eight service definitions of one enumeration, in the order they are placed.
#define MORVAX_ENUM_SERVICES(e)                                                                                     \
  {"_type_of", AsMethod(&::morvax::api::EnumTypeOfEntry<&e>), METH_NOARGS | METH_STATIC,                            \
   "_type_of() -> Type: the .NET type of this enumeration"},                                                        \
      {"_cast_to", AsMethod(&::morvax::api::EnumCastToEntry<&e>), METH_O | METH_STATIC,                             \
       "_cast_to(obj) -> cast result: the boxed value seen as this enumeration"},                                   \
      {"_cast_from", AsMethod(&::morvax::api::EnumCastFromEntry<&e>), METH_O, "_cast_from(target) -> cast result"}, \
      {"_reinterpret_obj", AsMethod(&::morvax::api::EnumReinterpretEntry<&e>), METH_O | METH_STATIC,                \
       "_reinterpret_obj(obj) -> member: the boxed value read as this enumeration"},                                \
      {"_as_uni_enum", AsMethod(&::morvax::api::EnumAsUniEnumEntry<&e>), METH_NOARGS,                               \
       "_as_uni_enum() -> enumeration value: this member as a boxed .NET value"},                                   \
      {"_cast_as", AsMethod(&::morvax::api::EnumCastAsEntry<&e>), METH_O | METH_STATIC,                             \
       "_cast_as(obj) -> cast result, empty when obj is not of this enumeration"},                                  \
      {"_is_assignable", AsMethod(&::morvax::api::EnumIsAssignableEntry<&e>), METH_O | METH_STATIC,                 \
       "_is_assignable(obj) -> bool: whether obj is a boxed value of this enumeration"},                            \
  {                                                                                                                 \
    "get_type", AsMethod(&::morvax::api::EnumGetTypeEntry<&e>), METH_NOARGS,                                        \
        "get_type() -> Type: the .NET type of this member"                                                          \
  }
