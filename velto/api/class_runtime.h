// The class runtime: serves every bound Python type from its ClassBinding records —
// readiness, object creation, overload dispatch, properties and static members.
#pragma once

#include <Python.h>

#include <atomic>
#include <mutex>
#include <string>

#include "api/class_binding.h"
#include "host/delegate_table.h"
#include "host/forked_process.h"

namespace morvax::api {

// The readiness record of a class, computed once.
struct TypeStatus {
  bool failed = false;
  bool referencedFailed = false;  // the failure lies in a class this one depends on
  std::string message;
};

// The mutable state of one class: its delegate table and readiness, each made once. The
// ready flags are set after the once-blocks finish, so that every call after the first
// costs one load instead of the once-call.
struct ClassRuntime {
  explicit ClassRuntime(void** slotStorage) : slots(slotStorage) {}
  // An attribute name assigned to through this class and the property it names (null: a
  // name that is no settable property of the class). The name is held, so that an equal
  // pointer is the same string; the class's attributes cannot change after it is readied.
  struct SetterEntry {
    PyObject* name = nullptr;
    const PropertySpec* property = nullptr;
  };
  static constexpr int kSetterEntries = 8;  // a power of two
  void** slots;
  SetterEntry setters[kSetterEntries];
  std::once_flag tableOnce;
  std::atomic<bool> tableReady{false};
  host::ApiDelegateTable table;
  std::once_flag statusOnce;
  std::atomic<bool> statusReady{false};
  TypeStatus status;
};

// The class's delegate slots, bound on first use (BindClassSlots); later calls cost one load.
void* const* BindClassSlots(const ClassBinding& binding);
inline void* const* ClassSlots(const ClassBinding& binding) {
  ClassRuntime& runtime = *binding.runtime;
  if (runtime.tableReady.load(std::memory_order_acquire)) return runtime.slots;
  return BindClassSlots(binding);
}
const TypeStatus& ClassStatus(const ClassBinding& binding);
// True when the class may be used; otherwise false with TypeError set (chained to
// "one or more refereced type is not initialized" when a dependency failed). A class
// found sound once answers inline (every wrapper made passes here).
bool CheckReadiness(const ClassBinding& binding);
inline bool PassReadinessGate(const ClassBinding& binding) {
  const ClassRuntime& runtime = *binding.runtime;
  if (runtime.statusReady.load(std::memory_order_acquire) && !runtime.status.failed && !host::ForkedAfterStart()) {
    return true;
  }
  return CheckReadiness(binding);
}

// The binding a bound type serves.
inline const ClassBinding& BindingOf(PyTypeObject* type) { return *reinterpret_cast<BoundType*>(type)->binding; }

// Fills the type object of a class from its binding (not yet readied).
void FillBoundType(const ClassBinding& binding);
// Readies a filled type (PyType_Ready) and takes its dictionary off the cyclic collector's
// lists (UntrackPermanentClassDict): 0, or -1 with the interpreter's error. A member it
// readied is replaced through ReplacePermanentClassMember.
int ReadyBoundType(const ClassBinding& binding);

// Shared slots and entry points used by the generated tables.
PyObject* BoundNew(PyTypeObject* type, PyObject* args, PyObject* kwargs);
int Construct(const ClassBinding& binding, PyObject* self, PyObject* args, PyObject* kwargs);
PyObject* CallMethod(const MethodSpec& method, PyObject* self, PyObject* args, PyObject* kwargs);
// The vectorcall forms: the arguments as the interpreter hands them over, without a tuple
// or a dictionary (made only when the interpreter's parser has to answer).
PyObject* FastCallMethod(const MethodSpec& method, PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames);
PyObject* ConstructVector(const ClassBinding& binding, PyObject* const* args, size_t nargsf, PyObject* kwnames);
// The type's vectorcall slot: a new object made and constructed in one step.
PyObject* BoundVectorcall(PyObject* type, PyObject* const* args, size_t nargsf, PyObject* kwnames);
PyObject* CallWithoutArguments(const MethodSpec& method, PyObject* self);
PyObject* PropertyGet(PyObject* self, void* closure);
int PropertySet(PyObject* self, PyObject* value, void* closure);
int BoundSetAttr(PyObject* self, PyObject* name, PyObject* value);
PyObject* StaticGet(PyObject* unused, void* closure);
PyObject* StaticSet(const PropertySpec& property, PyObject* value);

// Converts an argument to a class: None, an instance of the class, or a wrapper whose
// .NET object is assignable to it. 1 with *handle set, or 0 with TypeError.
int ConvertClassArgument(const ClassBinding& binding, PyObject* object, uint32_t* handle);

template <const ClassBinding* B>
int ConstructorEntry(PyObject* self, PyObject* args, PyObject* kwargs) {
  return Construct(*B, self, args, kwargs);
}
template <const MethodSpec* M>
PyObject* MethodEntry(PyObject* self, PyObject* args, PyObject* kwargs) {
  return CallMethod(*M, self, args, kwargs);
}
template <const MethodSpec* M>
PyObject* FastMethodEntry(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return FastCallMethod(*M, self, args, nargs, kwnames);
}
template <const MethodSpec* M>
PyObject* NoArgumentsEntry(PyObject* self, PyObject*) {
  return CallWithoutArguments(*M, self);
}
template <const PropertySpec* P>
PyObject* StaticSetterEntry(PyObject*, PyObject* value) {
  return StaticSet(*P, value);
}

}  // namespace morvax::api
