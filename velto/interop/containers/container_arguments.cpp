// The container argument builders: how a Python value is handed to .NET where a typed array
// (or list) is expected. None, a typed adapter of the element, or a .NET object the element's
// typed class accepts cross as a handle (kind 0); a Python list as itself (kind 2) and any other
// sized sequence as itself (kind 3), whose items .NET reads through the callbacks during the call.
#include "common/py_ref.h"
#include "interop/containers/generic_types.h"
#include "interop/containers/iteration.h"
#include "interop/error_bridge.h"

namespace morvax::containers {

int ConvertContainerArgument(int element, GenericClass kind, PyObject* object, EnumerableArgument* out) {
  const char* what = kind == GenericClass::List ? "List" : "Array";
  if (object == Py_None) {
    *out = {0, 0};
    return 1;
  }
  PyTypeObject* typed = kind == GenericClass::Array ? TypedAdapterType(GenericKind::Array, element) : nullptr;
  if (typed != nullptr && PyObject_TypeCheck(object, typed)) {
    *out = {0, HandleOf(object)};
    return 1;
  }
  uint32_t handle = 0;
  if (GetNetHandle(object, &handle)) {
    int32_t answer = 0;
    if (!TypedClassAccepts(element, kind, handle, &answer)) return 0;
    if (answer != 0) {
      *out = {0, handle};
      return 1;
    }
  } else if (PyList_Check(object)) {
    *out = {2, reinterpret_cast<uintptr_t>(object)};
    return 1;
  } else if (PySequence_Check(object) && Py_TYPE(object)->tp_as_sequence->sq_length != nullptr) {
    *out = {3, reinterpret_cast<uintptr_t>(object)};
    return 1;
  }
  PyErr_Format(PyExc_TypeError, "can't build %s value from '%s'", what, Py_TYPE(object)->tp_name);
  return 0;
}

}  // namespace morvax::containers
