// The callbacks through which .NET walks a Python iterable handed to it: one asks for the
// iterator, the other takes the next item and classifies it as a variant; and the sizes of
// Python lists and sequences, read before their items are. Kept apart from the adapters so
// that the converter tests can run them without .NET.
#include "interop/containers/iteration.h"

namespace morvax::containers {

extern "C" PyObject* GetIteratorCallback(PyObject* object) {
  PyObject* iterator = PyObject_GetIter(object);
  if (iterator == nullptr) return nullptr;
  iternextfunc next = Py_TYPE(iterator)->tp_iternext;
  if (next == nullptr || next == &_PyObject_NextNotImplemented) {
    Py_DECREF(iterator);
    PyErr_Format(PyExc_TypeError, "No iterator in '%s'", Py_TYPE(object)->tp_name);
    return nullptr;
  }
  return iterator;
}

extern "C" int32_t NextItemCallback(PyObject* iterator, PyObject** item, PyVariant* variant) {
  *item = nullptr;
  PyObject* next = PyIter_Next(iterator);
  if (next == nullptr) return PyErr_Occurred() ? 2 : 1;
  if (!ConvertVariant(next, variant)) {
    Py_DECREF(next);
    return 2;
  }
  *item = next;
  return 0;
}

extern "C" int32_t ListSizeCallback(PyObject* list) {
  if (PyList_Check(list)) return static_cast<int32_t>(PyList_GET_SIZE(list));
  PyErr_Format(PyExc_TypeError, "expected a list, not '%s'", Py_TYPE(list)->tp_name);
  return -1;
}

extern "C" int32_t SequenceSizeCallback(PyObject* sequence) {
  Py_ssize_t size = PySequence_Size(sequence);
  return size < 0 ? -1 : static_cast<int32_t>(size);
}

}  // namespace morvax::containers
