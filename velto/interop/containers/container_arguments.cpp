// The container argument builders: how a Python value is handed to .NET where a typed array
// (or list) is expected. None, a typed adapter of the element, or a .NET object the element's
// typed class accepts cross as a handle (kind 0); a Python list as itself (kind 2) and any other
// sized sequence as itself (kind 3), whose items .NET reads through the callbacks during the call.
// Items of elements that .NET would only classify (classes, streams, arrays) or read through
// a sibling's converter (types) are checked by their element's converter once the overload is
// chosen, before the call.
#include "common/py_ref.h"
#include "interop/containers/generic_types.h"
#include "interop/containers/iteration.h"
#include "interop/containers/streams.h"
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

namespace {

// Whether one item passes the converter of a class, stream, array or Type element (1, or 0
// with its TypeError). No converter keeps anything: a stream item is only classified here,
// and a Type's handle is the item's own, borrowed.
int CheckItem(int element, PyObject* item) {
  if (kGenericElements[element].family == ElementFamily::Stream) {
    StreamArgument ignored;
    return ConvertStream(item, &ignored);
  }
  uint32_t ignored = 0;
  return ConvertElement(element, item, &ignored);
}

}  // namespace

int CheckContainerItems(int element, const EnumerableArgument& argument) {
  if (argument.kind != 2 && argument.kind != 3) return 1;
  ElementFamily family = kGenericElements[element].family;
  if (family != ElementFamily::Class && family != ElementFamily::Stream && family != ElementFamily::Array &&
      family != ElementFamily::Type)
    return 1;
  auto* container = reinterpret_cast<PyObject*>(argument.value);
  // The size is read each step: a converter may run Python code that changes the container.
  for (Py_ssize_t i = 0;; ++i) {
    Py_ssize_t size = PySequence_Size(container);
    if (size < 0) return 0;
    if (i >= size) return 1;
    PyRef item = PyRef::steal(PySequence_GetItem(container, i));
    if (!item || !CheckItem(element, item.get())) return 0;
  }
}

}  // namespace morvax::containers
