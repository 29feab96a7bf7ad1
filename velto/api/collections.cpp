// The sequence and iteration slots of the library's collection classes (see collections.h).
#include "api/collections.h"

#include <cstdint>
#include <cstring>

#include "api/class_runtime.h"
#include "api/value_kinds.h"
#include "interop/containers/generic_types.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"

namespace morvax::api {

namespace {

// The status word of the sequence entry points.
enum SequenceStatus : int32_t { kDone = 0, kOutOfRange = 2 };

using GetItemEntry = int32_t (*)(uint32_t self, int32_t index, void* result);
using SetItemEntry = int32_t (*)(uint32_t self, int32_t index, void* const* args);

uint32_t HandleOf(PyObject* self) { return reinterpret_cast<PyHostObject*>(self)->handle; }

int RaiseOutOfRange() {
  PyErr_SetString(PyExc_IndexError, "list index out of range");
  return -1;
}

// An index .NET cannot take as a 32-bit integer is outside every collection.
bool FitsInt32(Py_ssize_t index) { return index >= INT32_MIN && index <= INT32_MAX; }

// Acts on a status that is neither done nor out of range: the .NET error is pending.
int RaiseStatus(int32_t status, const char* entry) {
  if (!PyErr_Occurred()) PyErr_Format(PyExc_RuntimeError, "%s reported status %d without an error", entry, status);
  return -1;
}

}  // namespace

PyObject* CollectionGetItem(const CollectionSpec& collection, PyObject* self, Py_ssize_t index) {
  if (RefuseInForkedChild()) return nullptr;
  if (!FitsInt32(index)) return RaiseOutOfRange(), nullptr;
  ResultSlot result;
  std::memset(&result, 0, sizeof result);
  auto entry = reinterpret_cast<GetItemEntry>(ClassSlots(*collection.owner)[collection.getSlot]);
  int32_t status = entry(HandleOf(self), static_cast<int32_t>(index), &result);
  const ValueKindRow& row = RowOf(collection.element.kind);
  if (status != kDone || PyErr_Occurred()) {
    if (row.discard != nullptr) row.discard(result);
    if (status == kOutOfRange && !PyErr_Occurred()) return RaiseOutOfRange(), nullptr;
    return RaiseStatus(status, "btp_SqGetItem"), nullptr;
  }
  return row.build(collection.element, result);
}

int CollectionSetItem(const CollectionSpec& collection, PyObject* self, Py_ssize_t index, PyObject* value) {
  if (value == nullptr) {
    PyErr_SetString(PyExc_ValueError, "elements removing not supported");
    return -1;
  }
  if (RefuseInForkedChild()) return -1;
  const ValueKindRow& row = RowOf(collection.element.kind);
  ArgumentSlot slot;
  void* pointer = nullptr;
  if (row.convert == nullptr) {
    PyErr_SetString(PyExc_SystemError, "element of no value kind");
    return -1;
  }
  if (!row.convert(collection.element, value, slot, pointer)) return -1;
  int32_t status = kOutOfRange;
  // The receiver's handle is read after the conversion, which may have run Python code.
  if (FitsInt32(index)) {
    auto entry = reinterpret_cast<SetItemEntry>(ClassSlots(*collection.owner)[collection.setSlot]);
    status = entry(HandleOf(self), static_cast<int32_t>(index), &pointer);
  }
  if (row.release != nullptr) row.release(slot);
  if (status == kDone && !PyErr_Occurred()) return 0;
  if (status == kOutOfRange && !PyErr_Occurred()) return RaiseOutOfRange();
  return RaiseStatus(status, "btp_SqSetItem");
}

PyObject* IterateCollection(PyObject* self, int element) {
  if (RefuseInForkedChild()) return nullptr;
  return containers::IterateElements(HandleOf(self), element - 1);
}

}  // namespace morvax::api
