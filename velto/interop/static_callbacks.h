// The static callback record: nine pointers, each to a group of native functions through
// which .NET reads and builds Python values. Its layout is shared with StaticCallbacks.cs;
// members are never reordered, and a member that has no function yet is null.
#pragma once

#include <Python.h>

#include <cstdint>

#include "interop/converters.h"
#include "interop/datetime_values.h"
#include "interop/unicode_view.h"

namespace morvax {

// Group A: reading single Python values.
struct ReaderGroup {
  int32_t (*unicodeView)(PyObject* text, UnicodeView* view);         // A0: 1, or 0 with an error
  int32_t (*truth)(PyObject* object);                                // A1
  int32_t (*integer)(PyObject* object, int64_t* value);              // A2: width code 1-3, 0 on error
  int32_t (*real)(PyObject* object, double* value);                  // A3: 1, or 0 with an error
  int32_t (*decimal)(PyObject* object, HostDecimal* value);          // A4: Decimal or DecimalTuple
  int32_t (*decimalTuple)(PyObject* object, HostDecimal* value);     // A5: sign, digits, exponent
  int32_t (*dateTime)(PyObject* object, HostDateTimeResult* value);  // A6: 1 naive, 2 aware
  int32_t (*date)(PyObject* object, HostDateTime* value);            // A7
  int32_t (*time)(PyObject* object, HostDateTimeResult* value);      // A8: 1 naive, 2 aware
  int32_t (*timeDelta)(PyObject* object, int64_t* ticks);            // A9
  int32_t (*uuid)(PyObject* object, HostGuid* value);                // A10: bytes_le
};

// Group B: building Python values; each returns a new reference, or null with an error.
struct BuilderGroup {
  PyObject* (*makeWrapper)(uint32_t handle, uint32_t typeKey);   // B0
  PyObject* (*fromBool)(uint8_t value);                          // B1
  PyObject* (*fromInt32)(int32_t value);                         // B2
  PyObject* (*fromUInt32)(uint32_t value);                       // B3
  PyObject* (*fromInt64)(int64_t value);                         // B4
  PyObject* (*fromUInt64)(uint64_t value);                       // B5
  PyObject* (*fromDouble)(double value);                         // B6
  PyObject* (*decimal)(const HostDecimal* value);                // B7
  PyObject* (*dateTime)(const HostDateTimeResult* value);        // B8: from a DateTime
  PyObject* (*dateTimeOffset)(const HostDateTimeResult* value);  // B9: from a DateTimeOffset
  PyObject* (*timeDelta)(int64_t ticks);                         // B10
  // B11: a count of -1 stands for no name.
  PyObject* (*timeZone)(int64_t offsetTicks, const char16_t* name, int32_t count);
  PyObject* (*uuid)(const uint8_t* bytesLe);  // B12: 16 bytes
  PyObject* (*fromChar)(uint16_t unit);       // B13
};

// Borrowing the bytes of a buffer exporter into a record that .NET allocates.
struct BufferGroup {
  int32_t (*recordSize)();             // sizeof(Py_buffer)
  int32_t (*zero)(Py_buffer* record);  // 0
  // 1, or 0 with an error; when fields->held is 1 afterwards the record must be released.
  int32_t (*acquire)(PyObject* object, Py_buffer* record, ByteSpanFields* fields);
  void (*release)(Py_buffer* record);  // safe on a zeroed record
};

// Container operations on the Python object .NET was handed (python_lists.h, iteration.h).
struct ContainerGroup {
  const void* listSize32;
  const void* listSize64;
  const void* pop;
  const void* clear;
  const void* sequenceSize32;
  const void* sequenceSize64;
  const void* iterator;  // PyObject* (PyObject* object): containers::GetIteratorCallback
  const void* objectSize;
  const void* newList;
  const void* newListWithHint;
  int32_t (*utf16Text)(PyObject* text, PyObject** holder, int32_t* count, const char16_t** units);
};

// Reading and changing a Python list (python_lists.h), and wrapping .NET containers.
struct ListGroup {
  const void* getItem;
  const void* setItem;
  const void* append;
  const void* insert;
  const void* remove;
  const void* contains;
  const void* indexOf;
  const void* storeItem;
  const void* wrapIList;
  const void* wrapArrayList;
  const void* wrapArray;
};

// Reading another sized sequence (python_lists.h).
struct SequenceGroup {
  const void* getItem;
  const void* contains;
  const void* indexOf;
};

// The record itself, in the order .NET reads it.
struct StaticRecord {
  const void* readers;         // ReaderGroup
  const void* builders;        // BuilderGroup
  const void* buffers;         // BufferGroup
  const void* tryMakeWrapper;  // int32_t (uint32_t handle, uint32_t typeKey, PyObject** out)
  const void* nextItem;        // containers::NextItemCallback
  const void* containers;      // ContainerGroup
  const void* list;            // ListGroup
  const void* sequence;        // SequenceGroup
  const void* stream;          // containers::StreamGroup
};

// The record of nine group pointers handed to .NET through SetPyStaticCallbacks. It lives
// for the life of the process.
const void* StaticCallbackRecord();

}  // namespace morvax
