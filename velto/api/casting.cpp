// Casting and type identity for every bound class: the service methods call the btp_
// entry points at the end of the class's delegate table and turn what .NET answers into
// Python objects (morvax.pyreflection types, morvax.pygc cast results, new wrappers).
#include "api/casting.h"

#include <cstdint>

#include "api/class_runtime.h"
#include "interop/host_object.h"

namespace morvax::api {

namespace {

// The native shapes of the services. Every status or outcome is a 32-bit int; handles
// written to an out parameter are owned by the caller.
using TypeOfEntry = int32_t (*)(uint32_t* outHandle);                        // 1 ok, 0 failed
using CastToEntry = int32_t (*)(HostKindHandle* pair, uint32_t* outHandle);  // 1, 0, -1
using ReinterpretEntry = int32_t (*)(uint32_t handle, uint32_t* outHandle);  // 1 ok, 0 failed
using CastAsEntry = int32_t (*)(uint32_t handle, uint32_t* outHandle);       // 1, 0, -1
using IsAssignableEntry = int32_t (*)(uint32_t handle);                      // truth value
// An interface's btp_CastAs and btp_IsAssignable take the pair of kind and handle instead.
using InterfaceCastAsEntry = int32_t (*)(HostKindHandle* pair, uint32_t* outHandle);
using InterfaceIsAssignableEntry = int32_t (*)(HostKindHandle* pair);

// The bound entry of one service. Only called once the readiness gate passed: the table
// is then complete, so the slot is set.
template <typename Entry>
Entry Service(const ClassBinding& binding, ServiceOffset offset) {
  return reinterpret_cast<Entry>(ClassSlots(binding)[binding.typeOfSlot + offset]);
}

PyTypeObject* TypeOfClass(const ClassBinding& binding) { return &binding.type->type; }

// Releases a handle that no object will own, without disturbing a pending error (the
// release calls into .NET, which must not see it).
void ReleaseKeepingError(uint32_t handle) {
  if (handle == 0) return;
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  ReleaseHandle(handle);
  if (PyErr_Occurred()) PyErr_WriteUnraisable(nullptr);
  PyErr_Restore(type, value, traceback);
}

// After a status-returning service: true when it failed, with an error set (and the out
// handle released). A 0 status without an error from .NET still is a failure.
bool ServiceFailed(const ClassBinding& binding, int32_t status, uint32_t outHandle, const char* what) {
  if (status != 0 && !PyErr_Occurred()) return false;
  ReleaseKeepingError(outHandle);
  if (!PyErr_Occurred()) {
    PyErr_Format(PyExc_RuntimeError, "%s of %s reported failure without an error", what, binding.netFullName);
  }
  return true;
}

// Finishes _cast_to and _cast_as. The out handle is owned here: it becomes a wrapper of
// the class when the outcome carries an object, and is released otherwise.
PyObject* FinishCast(const ClassBinding& binding, int32_t outcome, uint32_t outHandle) {
  if (PyErr_Occurred()) {
    // .NET raised (outcome -1); any other outcome with an error pending is treated alike
    // rather than returning a value with an error set.
    ReleaseKeepingError(outHandle);
    return nullptr;
  }
  PyObject* object = nullptr;  // owned
  if (outcome == 0) {
    ReleaseHandle(outHandle);
  } else {
    // 1, or -1 without an error: the sibling module decides what that outcome means.
    object = WrapHandle(outHandle, TypeOfClass(binding));
    if (object == nullptr) return nullptr;
  }
  PyObject* result = CastResult(outcome, object);
  Py_XDECREF(object);
  return result;
}

PyObject* NotCastable() { return CastResult(0, nullptr); }

// What _cast_as and _is_assignable offer to .NET: for a class only wrappers of .NET
// objects (kind 0), for an interface any host object of kind 0 or 1; never None.
bool OfferedToCastAs(const ClassBinding& binding, PyObject* object, HostKindHandle* pair) {
  if (object == Py_None || !GetHostHandle(object, pair)) return false;
  return binding.isInterface ? pair->kind <= 1 : pair->kind == 0;
}

}  // namespace

int32_t AskIsAssignable(const ClassBinding& binding, HostKindHandle pair) {
  if (binding.isInterface) return Service<InterfaceIsAssignableEntry>(binding, kIsAssignable)(&pair);
  return Service<IsAssignableEntry>(binding, kIsAssignable)(pair.handle);
}

PyObject* TypeOf(const ClassBinding& binding) {
  if (!PassReadinessGate(binding)) return nullptr;
  uint32_t typeHandle = 0;
  int32_t status = Service<TypeOfEntry>(binding, kTypeOf)(&typeHandle);
  if (ServiceFailed(binding, status, typeHandle, "btp_TypeOf")) return nullptr;
  return ReflectionType(typeHandle);
}

PyObject* CastTo(const ClassBinding& binding, PyObject* object) {
  if (binding.isStaticClass) return NotCastable();
  if (!PassReadinessGate(binding)) return nullptr;
  HostKindHandle pair;
  if (!GetHostHandle(object, &pair)) return NotCastable();
  uint32_t outHandle = 0;
  int32_t outcome = Service<CastToEntry>(binding, kCastTo)(&pair, &outHandle);
  return FinishCast(binding, outcome, outHandle);
}

PyObject* CastAs(const ClassBinding& binding, PyObject* object) {
  if (binding.isStaticClass) return NotCastable();
  if (!PassReadinessGate(binding)) return nullptr;
  HostKindHandle pair;
  if (!OfferedToCastAs(binding, object, &pair)) return NotCastable();
  uint32_t outHandle = 0;
  int32_t outcome = binding.isInterface ? Service<InterfaceCastAsEntry>(binding, kCastAs)(&pair, &outHandle)
                                        : Service<CastAsEntry>(binding, kCastAs)(pair.handle, &outHandle);
  return FinishCast(binding, outcome, outHandle);
}

PyObject* IsAssignable(const ClassBinding& binding, PyObject* object) {
  if (binding.isStaticClass) Py_RETURN_FALSE;
  if (!PassReadinessGate(binding)) return nullptr;
  HostKindHandle pair;
  if (!OfferedToCastAs(binding, object, &pair)) Py_RETURN_FALSE;
  int32_t answer = AskIsAssignable(binding, pair);
  if (PyErr_Occurred()) return nullptr;
  return PyBool_FromLong(answer != 0);
}

PyObject* ReinterpretObject(const ClassBinding& binding, PyObject* object) {
  // Neither a static class nor an interface can be the class of a reinterpreted object.
  if (binding.isStaticClass || binding.isInterface) {
    // Two spaces after "from": the text other tools match on.
    PyErr_Format(PyExc_TypeError, "cannot convert from  '%.100s' to '%.100s'", Py_TYPE(object)->tp_name,
                 binding.pythonName);
    return nullptr;
  }
  if (!PassReadinessGate(binding)) return nullptr;
  uint32_t source = 0;
  if (!ReinterpretSource(object, &source)) return nullptr;
  uint32_t outHandle = 0;
  int32_t status = Service<ReinterpretEntry>(binding, kReinterpret)(source, &outHandle);
  if (ServiceFailed(binding, status, outHandle, "btp_ReInterpretObj")) return nullptr;
  return WrapHandle(outHandle, TypeOfClass(binding));
}

PyObject* CastFrom(PyObject*, PyObject*) { return NotCastable(); }

}  // namespace morvax::api
