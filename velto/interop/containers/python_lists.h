// The callbacks through which .NET reads and changes a Python list, or reads another sized
// sequence, handed to it during a call: sizes, items by index classified into a PyVariant,
// the list methods, and new lists that .NET fills item by item. Each takes the Python
// container borrowed; a callback said to take the value takes over the caller's reference
// to it and releases it exactly once, whatever happens (null stands for None).
#pragma once

#include <Python.h>

#include <cstdint>

#include "interop/converters.h"

namespace morvax::containers {

extern "C" {
// Container group.
int64_t ListSize64Callback(PyObject* list);
int64_t SequenceSize64Callback(PyObject* sequence);
int32_t ObjectSizeCallback(PyObject* object);
// pop(index) through the object's "pop", result discarded: 0; -2 on IndexError (cleared); -1 on other errors.
int32_t PopCallback(PyObject* container, int32_t index);
// clear() through the object's "clear": 0, or -1.
int32_t ClearCallback(PyObject* container);
// A new list of count empty items: the address of its item array, the list (a new
// reference) in *list; null with an error. The hint is ignored.
PyObject** NewListCallback(int32_t count, PyObject** list);
PyObject** NewListWithHintCallback(int32_t count, int32_t hint, PyObject** list);

// List group.
// Item i classified into *variant (it borrows from the list): 0; -2 out of range (no error); -1 on error.
int32_t ListGetItemCallback(PyObject* list, int32_t index, PyVariant* variant);
int32_t ListSetItemCallback(PyObject* list, int32_t index, PyObject* value);  // takes value: 0, -2, -1
int32_t ListAppendCallback(PyObject* list, PyObject* value);                  // takes value: new size, or -1
int32_t ListInsertCallback(PyObject* list, int32_t index, PyObject* value);   // takes value: 0, -2, -1
int32_t ListRemoveCallback(PyObject* list, PyObject* value);                  // takes value: 0, or -1
// Takes value: 1 found, 0 when "index" raised ValueError (cleared), -1 on other errors.
int32_t ListContainsCallback(PyObject* list, PyObject* value);
// Takes value: the position, -1 when "index" raised ValueError (cleared), -2 on other errors.
int32_t ListIndexOfCallback(PyObject* list, PyObject* value);
// Stores value at position i of an item array made by NewListCallback; no reference counting.
PyObject** StoreListItemCallback(PyObject** items, int32_t index, PyObject* value);

// Sequence group.
// Item i classified into *variant; the item (a new reference) goes to *held, which the caller
// releases once it has read the variant: 0; -2 on IndexError (cleared); -1 on other errors.
int32_t SequenceGetItemCallback(PyObject* sequence, int32_t index, PyObject** held, PyVariant* variant);
// Take value; compare items 0, 1, ... by equality, re-reading the size each step. An item
// that cannot be fetched without an error raises IndexError "item is null".
int32_t SequenceContainsCallback(PyObject* sequence, PyObject* value);  // 1, 0, or -1
int32_t SequenceIndexOfCallback(PyObject* sequence, PyObject* value);   // position, -1 none, -2 error
}

}  // namespace morvax::containers
