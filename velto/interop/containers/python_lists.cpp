// The list, sequence and container callbacks of the static record (see python_lists.h):
// plain Python operations on the container .NET was handed, with the status codes .NET
// reads. Kept apart from the adapters so that the converter tests can run them without .NET.
#include "interop/containers/python_lists.h"

#include <climits>

#include "common/py_ref.h"

namespace morvax::containers {

namespace {

// The value a callback takes over; .NET passes null for None.
PyRef Take(PyObject* value) { return value != nullptr ? PyRef::steal(value) : PyRef::borrow(Py_None); }

// Calls container.name(value) and drops the result: true, or false with the error set.
bool CallMethod(PyObject* container, const char* name, PyObject* value) {
  PyRef result = PyRef::steal(value != nullptr ? PyObject_CallMethod(container, name, "O", value)
                                               : PyObject_CallMethod(container, name, nullptr));
  return static_cast<bool>(result);
}

// Clears a pending error of the given class: true if it was one.
bool Cleared(PyObject* kind) {
  if (!PyErr_ExceptionMatches(kind)) return false;
  PyErr_Clear();
  return true;
}

// The position of the first item equal to value, -1 if none, -2 on error.
int32_t FindInSequence(PyObject* sequence, PyObject* value) {
  for (Py_ssize_t i = 0;; ++i) {
    Py_ssize_t size = PySequence_Size(sequence);  // the comparison may change the sequence
    if (size < 0) return -2;
    if (i >= size) return -1;
    PyRef item = PyRef::steal(PySequence_GetItem(sequence, i));
    if (!item) {
      if (!PyErr_Occurred()) PyErr_SetString(PyExc_IndexError, "item is null");
      return -2;
    }
    int equal = PyObject_RichCompareBool(item.get(), value, Py_EQ);
    if (equal < 0) return -2;
    if (equal > 0) return static_cast<int32_t>(i);
  }
}

int32_t Narrow(Py_ssize_t size) { return size < 0 ? -1 : size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size); }

}  // namespace

extern "C" int64_t ListSize64Callback(PyObject* list) {
  if (PyList_Check(list)) return PyList_GET_SIZE(list);
  PyErr_Format(PyExc_TypeError, "expected a list, not '%s'", Py_TYPE(list)->tp_name);
  return -1;
}

extern "C" int64_t SequenceSize64Callback(PyObject* sequence) { return PySequence_Size(sequence); }

// Only an object whose type has a length is asked for it, so an iterable without one (a
// generator) answers -1 with nothing raised, and no error ever needs clearing; -2 means
// that len() itself raised, and its error stands.
extern "C" int32_t ObjectSizeCallback(PyObject* object) {
  PyTypeObject* type = Py_TYPE(object);
  bool sized = (type->tp_as_sequence != nullptr && type->tp_as_sequence->sq_length != nullptr) ||
               (type->tp_as_mapping != nullptr && type->tp_as_mapping->mp_length != nullptr);
  if (!sized) return -1;
  Py_ssize_t size = PyObject_Size(object);
  return size < 0 ? -2 : Narrow(size);
}

extern "C" int32_t PopCallback(PyObject* container, int32_t index) {
  PyRef result = PyRef::steal(PyObject_CallMethod(container, "pop", "i", index));
  if (result) return 0;
  return Cleared(PyExc_IndexError) ? -2 : -1;
}

extern "C" int32_t ClearCallback(PyObject* container) { return CallMethod(container, "clear", nullptr) ? 0 : -1; }

extern "C" PyObject** NewListCallback(int32_t count, PyObject** list) {
  *list = PyList_New(count < 0 ? 0 : count);
  return *list != nullptr ? reinterpret_cast<PyListObject*>(*list)->ob_item : nullptr;
}

extern "C" PyObject** NewListWithHintCallback(int32_t count, int32_t, PyObject** list) {
  return NewListCallback(count, list);
}

extern "C" int32_t ListGetItemCallback(PyObject* list, int32_t index, PyVariant* variant) {
  if (!PyList_Check(list)) {
    PyErr_Format(PyExc_TypeError, "expected a list, not '%s'", Py_TYPE(list)->tp_name);
    return -1;
  }
  if (index < 0 || index >= PyList_GET_SIZE(list)) return -2;
  return ConvertVariant(PyList_GET_ITEM(list, index), variant) ? 0 : -1;
}

extern "C" int32_t ListSetItemCallback(PyObject* list, int32_t index, PyObject* value) {
  PyRef owned = Take(value);
  if (index < 0) return -2;  // .NET positions count from the start only
  if (PySequence_SetItem(list, index, owned.get()) == 0) return 0;
  return Cleared(PyExc_IndexError) ? -2 : -1;
}

extern "C" int32_t ListAppendCallback(PyObject* list, PyObject* value) {
  PyRef owned = Take(value);
  if (PyList_Check(list) ? PyList_Append(list, owned.get()) < 0 : !CallMethod(list, "append", owned.get())) return -1;
  return Narrow(PyObject_Size(list));
}

extern "C" int32_t ListInsertCallback(PyObject* list, int32_t index, PyObject* value) {
  PyRef owned = Take(value);
  PyRef result = PyRef::steal(PyObject_CallMethod(list, "insert", "iO", index, owned.get()));
  if (result) return 0;
  return Cleared(PyExc_IndexError) ? -2 : -1;
}

extern "C" int32_t ListRemoveCallback(PyObject* list, PyObject* value) {
  PyRef owned = Take(value);
  return CallMethod(list, "remove", owned.get()) ? 0 : -1;
}

extern "C" int32_t ListContainsCallback(PyObject* list, PyObject* value) {
  PyRef owned = Take(value);
  if (CallMethod(list, "index", owned.get())) return 1;
  return Cleared(PyExc_ValueError) ? 0 : -1;
}

extern "C" int32_t ListIndexOfCallback(PyObject* list, PyObject* value) {
  PyRef owned = Take(value);
  PyRef position = PyRef::steal(PyObject_CallMethod(list, "index", "O", owned.get()));
  if (!position) return Cleared(PyExc_ValueError) ? -1 : -2;
  Py_ssize_t at = PyLong_AsSsize_t(position.get());
  return at < 0 && PyErr_Occurred() ? -2 : Narrow(at);
}

extern "C" PyObject** StoreListItemCallback(PyObject** items, int32_t index, PyObject* value) {
  items[index] = value;
  return items;
}

extern "C" int32_t SequenceGetItemCallback(PyObject* sequence, int32_t index, PyObject** held, PyVariant* variant) {
  *held = PySequence_GetItem(sequence, index);
  if (*held == nullptr) return Cleared(PyExc_IndexError) ? -2 : -1;
  return ConvertVariant(*held, variant) ? 0 : -1;
}

extern "C" int32_t SequenceContainsCallback(PyObject* sequence, PyObject* value) {
  PyRef owned = Take(value);
  int32_t at = FindInSequence(sequence, owned.get());
  return at == -2 ? -1 : at >= 0 ? 1 : 0;
}

extern "C" int32_t SequenceIndexOfCallback(PyObject* sequence, PyObject* value) {
  PyRef owned = Take(value);
  return FindInSequence(sequence, owned.get());
}

}  // namespace morvax::containers
