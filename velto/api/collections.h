// The library's own collection classes as Python sequences: an integer subscript reaches the
// .NET integer indexer (and an assignment its setter, where it has one), a for loop walks the
// enumerator of the enumerable the class implements. Name keys and the count stay methods and
// properties; there is no length slot, so a negative index reaches .NET unchanged.
#pragma once

#include <Python.h>

#include "api/class_binding.h"

namespace morvax::api {

// The item slot: the element at the index, converted as a result of the indexer's type is;
// IndexError "list index out of range" when .NET reports the index outside the collection.
PyObject* CollectionGetItem(const CollectionSpec& collection, PyObject* self, Py_ssize_t index);
// The assignment slot: the value converted by the element's converter, then stored; a missing
// value (del) is ValueError "elements removing not supported". 0, or -1 with the error.
int CollectionSetItem(const CollectionSpec& collection, PyObject* self, Py_ssize_t index, PyObject* value);
// The iteration slot of a class that implements a typed enumerable: an enumerator of the
// element's iterator type (element: 1 + its index in the typed-container tables).
PyObject* IterateCollection(PyObject* self, int element);

template <const CollectionSpec* C>
PyObject* CollectionItemSlot(PyObject* self, Py_ssize_t index) {
  return CollectionGetItem(*C, self, index);
}
template <const CollectionSpec* C>
int CollectionAssignSlot(PyObject* self, Py_ssize_t index, PyObject* value) {
  return CollectionSetItem(*C, self, index, value);
}
template <int Element>
PyObject* CollectionIterSlot(PyObject* self) {
  return IterateCollection(self, Element);
}

}  // namespace morvax::api
