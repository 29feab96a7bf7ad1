// Iteration and disposal: for loops over .NET enumerables and enumerators, with blocks
// over .NET disposables, and enumerable arguments (Python iterables included).
#include "interop/containers/iteration.h"
#include "common/interned_names.h"
#include "common/py_ref.h"
#include "host/object_host.h"
#include "interop/containers/adapters.h"
#include "interop/converters.h"
#include "interop/error_bridge.h"
#include "interop/type_registry.h"

namespace morvax::containers {

namespace {

struct EnumeratorRef {
  uint32_t handle;
  uint32_t typeKey;
};

using GetEnumeratorEntry = int32_t (*)(uint32_t handle, EnumeratorRef* out);
using MoveNextRefEntry = int32_t (*)(uint32_t handle, ItemRef* item);

// Lets go of an item that will not be returned.
void DropItem(const ItemRef& item) {
  if (item.kind == 0) {
    ReleaseHandle(item.handle);
  } else {
    Py_XDECREF(item.object);
  }
}

// Whether a registered type says it is an enumerator: _IterWrapper in its own
// _implicit_interfaces set. An error while asking counts as no.
bool ActsAsEnumerator(PyTypeObject* type) {
  PyObject* set = PyDict_GetItemWithError(type->tp_dict, Interned(Name::_implicit_interfaces));  // borrowed
  int found = set != nullptr && PyAnySet_Check(set)
                  ? PySet_Contains(set, reinterpret_cast<PyObject*>(AdapterType(Adapter::Iter)))
                  : 0;
  if (found < 0 || PyErr_Occurred()) {
    PyErr_Clear();
    return false;
  }
  return found == 1;
}

}  // namespace

PyObject* DisposableEnter(PyObject* self, PyObject*) {
  Py_INCREF(self);
  return self;
}

// The block's exception, if any, is not looked at: returning None lets it propagate.
PyObject* DisposableExit(PyObject* self, PyObject*) {
  if (RefuseInForkedChild()) return nullptr;
  host::ObjectHost::Instance().Dispose(HandleOf(self));
  if (PyErr_Occurred()) return nullptr;
  Py_RETURN_NONE;
}

PyMethodDef kDisposableMethods[] = {
    {"__enter__", DisposableEnter, METH_NOARGS, kDisposableEnterDoc},
    {"__exit__", DisposableExit, METH_VARARGS, kDisposableExitDoc},
    {nullptr, nullptr, 0, nullptr},
};

PyObject* IterateAdapter(PyObject* self) {
  if (!Ready(InteropClass::Enumerable)) return nullptr;
  auto getEnumerator = reinterpret_cast<GetEnumeratorEntry>(SlotsOf(InteropClass::Enumerable)[slot::kGetEnumerator]);
  EnumeratorRef ref = {0, 0};
  int32_t status = getEnumerator(HandleOf(self), &ref);
  if (status < 0 || PyErr_Occurred()) {
    ReleaseHandle(ref.handle);
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "GetEnumerator reported failure without an error");
    return nullptr;
  }
  // No enumerator: iter() rejects the None with its own TypeError.
  if (ref.handle == 0) Py_RETURN_NONE;
  PyTypeObject* type = HostTypeRegistry::Instance().LookupRuntimeType(ref.handle, ref.typeKey);
  if (type == nullptr) PyErr_Clear();
  if (type == nullptr || !ActsAsEnumerator(type)) type = AdapterType(Adapter::Iter);
  return WrapAdapter(ref.handle, type);
}

PyObject* NextItem(PyObject* self) {
  // An _IterWrapper exists only once its creation slot found its tables ready, so the
  // gate need not be passed again for every item.
  if (RefuseInForkedChild()) return nullptr;
  auto moveNext = reinterpret_cast<MoveNextRefEntry>(SlotsOf(InteropClass::Enumerator)[slot::kMoveNextRef]);
  ItemRef item = {2, 0, 0, nullptr};
  int32_t status = moveNext(HandleOf(self), &item);
  if (PyErr_Occurred()) {
    DropItem(item);
    return nullptr;
  }
  if (status == 0) {
    if (item.kind == 0) return MakeItemWrapper(item.handle, item.typeKey);
    if (item.object == nullptr) Py_RETURN_NONE;  // a null .NET item
    return item.object;
  }
  DropItem(item);
  if (status == 1) {
    PyErr_SetNone(PyExc_StopIteration);
    return nullptr;
  }
  PyErr_Format(PyExc_RuntimeError, "MoveNext reported status %d without an error", status);
  return nullptr;
}

int ConvertEnumerable(PyObject* object, EnumerableArgument* out) {
  if (object == Py_None) {
    *out = {0, 0};
    return 1;
  }
  HostKindHandle pair;
  if (GetHostHandle(object, &pair)) {
    // A .NET object crosses as itself when .NET agrees it is an enumerable.
    if (!Ready(InteropClass::Enumerable)) return 0;
    int assignableSlot = SlotNamed(InteropClass::Enumerable, "btp_IsAssignable");
    auto isAssignable = reinterpret_cast<int32_t (*)(uint32_t)>(SlotsOf(InteropClass::Enumerable)[assignableSlot]);
    int32_t answer = isAssignable(pair.handle);
    if (PyErr_Occurred()) return 0;
    if (answer != 0) {
      *out = {pair.kind, pair.handle};
      return 1;
    }
  } else if (Py_TYPE(object)->tp_iter != nullptr || PySequence_Check(object)) {
    *out = {2, reinterpret_cast<uintptr_t>(object)};
    return 1;
  }
  PyErr_Format(PyExc_TypeError, "can't build IEnumerable value from '%s'", Py_TYPE(object)->tp_name);
  return 0;
}

}  // namespace morvax::containers
