// The casting methods shared by every adapter type (see casting_services.h).
#include "interop/containers/casting_services.h"

#include "common/py_ref.h"
#include "interop/containers/adapters.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"

namespace morvax::containers {

namespace {

// The cast result for what a btp_CastTo or btp_CastAs answered; the out handle is owned here.
PyObject* FinishCast(int32_t outcome, uint32_t outHandle, PyTypeObject* adapter) {
  if (PyErr_Occurred()) {
    ReleaseHandle(outHandle);
    return nullptr;
  }
  if (outcome == 0) {
    ReleaseHandle(outHandle);
    return CastResult(0, nullptr);
  }
  PyRef object = PyRef::steal(WrapAdapter(outHandle, adapter));
  if (!object) return nullptr;
  return CastResult(outcome, object.get());
}

}  // namespace

PyObject* TypeOfService(TypeOfEntry entry) {
  uint32_t typeHandle = 0;
  int32_t status = entry(&typeHandle);
  if (PyErr_Occurred() || status == 0) {
    ReleaseHandle(typeHandle);
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "btp_TypeOf reported failure without an error");
    return nullptr;
  }
  return ReflectionType(typeHandle);
}

PyObject* CastToService(CastToEntry entry, PyObject* object, PyTypeObject* adapter) {
  HostKindHandle pair;
  if (!GetHostHandle(object, &pair)) return CastResult(0, nullptr);
  uint32_t out = 0;
  int32_t outcome = entry(&pair, &out);
  return FinishCast(outcome, out, adapter);
}

PyObject* CastAsService(HandleOutEntry entry, PyObject* object, PyTypeObject* adapter) {
  uint32_t handle = 0;
  if (!GetNetHandle(object, &handle)) return CastResult(0, nullptr);
  uint32_t out = 0;
  int32_t outcome = entry(handle, &out);
  return FinishCast(outcome, out, adapter);
}

PyObject* IsAssignableService(AssignableEntry entry, PyObject* object) {
  uint32_t handle = 0;
  if (!GetNetHandle(object, &handle)) Py_RETURN_FALSE;
  int32_t answer = entry(handle);
  if (PyErr_Occurred()) return nullptr;
  return PyBool_FromLong(answer != 0);
}

PyObject* ReinterpretService(HandleOutEntry entry, PyObject* object, PyTypeObject* adapter) {
  if (entry == nullptr) {
    // Two spaces after "from": the text other tools match on.
    PyErr_Format(PyExc_TypeError, "cannot convert from  '%.100s' to '%.100s'", Py_TYPE(object)->tp_name,
                 adapter->tp_name);
    return nullptr;
  }
  uint32_t source = 0;
  if (!ReinterpretSource(object, &source)) return nullptr;
  uint32_t out = 0;
  int32_t status = entry(source, &out);
  if (PyErr_Occurred() || status == 0) {
    ReleaseHandle(out);
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "btp_ReInterpretObj reported failure without an error");
    return nullptr;
  }
  return WrapAdapter(out, adapter);
}

PyObject* CastFromService(PyObject*, PyObject*) { return CastResult(0, nullptr); }

}  // namespace morvax::containers
