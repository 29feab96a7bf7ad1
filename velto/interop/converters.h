// Argument converters for strings, numbers, characters, byte arrays and untyped values,
// the readers .NET uses on Python values, and the Char result decoder.
#pragma once

#include <Python.h>

#include <cstddef>
#include <cstdint>

#include "interop/unicode_view.h"

namespace morvax {

// A bytes-like argument lent to .NET. The buffer record stays on this side; .NET is given
// &slot->held and reads the three fields after it.
struct ByteSpanSlot {
  Py_buffer buffer;
  uint32_t held;   // 1 when buffer must be released after the call
  int32_t length;  // bytes; -1 stands for a null .NET array
  const void* data;
};

// The three fields .NET reads, on their own: what the buffer group's acquire fills.
struct ByteSpanFields {
  uint32_t held;
  int32_t length;
  const void* data;
};

static_assert(offsetof(ByteSpanSlot, length) - offsetof(ByteSpanSlot, held) == offsetof(ByteSpanFields, length));
static_assert(offsetof(ByteSpanSlot, data) - offsetof(ByteSpanSlot, held) == offsetof(ByteSpanFields, data));

// A file-name argument: .NET reads the view (first, so the slot's address is the view's);
// holder owns the str the view lends from when the argument was not that str itself.
struct FileNameSlot {
  UnicodeView view;
  PyObject* holder;
};

// How an argument of .NET type System.Object is described to .NET.
struct PyVariant {
  int32_t kind;     // see VariantKind
  uintptr_t value;  // kinds 1 and 2: the HostHandle; otherwise a borrowed PyObject*
};

enum VariantKind : int32_t {
  kVariantNone = 0,
  kVariantHostObject = 1,  // wrapper of a .NET object
  kVariantHostTarget = 2,  // host object of kind 1
  kVariantString = 3,
  kVariantBytes = 4,
  kVariantBool = 5,
  kVariantInteger = 6,
  kVariantFloat = 7,
  kVariantDecimal = 8,
  kVariantDecimalTuple = 9,
  kVariantDateTime = 10,
  kVariantDate = 11,
  kVariantTime = 12,
  kVariantTimeDelta = 13,
  kVariantUuid = 14,
  kVariantList = 15,
  kVariantTuple = 16,
};

// "O&" converters: 1 after filling the slot, 0 with an exception set. They borrow the
// argument; nothing they fill owns a reference except an acquired ByteSpanSlot and the
// holder of a FileNameSlot.
int ConvertString(PyObject* object, void* slot);    // UnicodeView
int ConvertBool(PyObject* object, void* slot);      // uint8_t
int ConvertInt16(PyObject* object, void* slot);     // int16_t
int ConvertInt32(PyObject* object, void* slot);     // int32_t
int ConvertInt64(PyObject* object, void* slot);     // int64_t
int ConvertByte(PyObject* object, void* slot);      // uint8_t
int ConvertDouble(PyObject* object, void* slot);    // double
int ConvertSingle(PyObject* object, void* slot);    // float
int ConvertChar(PyObject* object, void* slot);      // uint16_t
int ConvertFileName(PyObject* object, void* slot);  // FileNameSlot
// Releases the holder of a FileNameSlot; call after the delegate, success or failure.
void ReleaseFileName(void* slot);
int ConvertByteArray(PyObject* object, void* slot);  // ByteSpanSlot; zeroed first
// Releases what ConvertByteArray acquired; call after the delegate, success or failure.
// Safe on a zeroed slot and safe to call twice.
void ReleaseByteSpan(void* slot);
int ConvertVariant(PyObject* object, void* slot);  // PyVariant

// The integer test: exact int passes; bool and non-int fail; another int subclass passes
// only as an instance of enum.EnumType. 1 yes, 0 no, -1 with an exception set. An exact
// int, nearly every argument, is answered inline.
int IsIntegerSubclassArgument(PyObject* object);
inline int IsIntegerArgument(PyObject* object) {
  return PyLong_CheckExact(object) ? 1 : IsIntegerSubclassArgument(object);
}

// A one-character str from one UTF-16 code unit; a lone surrogate fails with an error.
PyObject* CharResult(uint16_t unit);

// Acquires a buffer of object into record and describes it in fields. 1 on success; 0 with
// an exception set, where fields->held tells whether record still needs releasing.
int AcquireByteSpan(PyObject* object, Py_buffer* record, ByteSpanFields* fields);

extern "C" {
// Group A readers (the static callback record).
int32_t ReadTruthCallback(PyObject* object);  // 1 or 0; an error counts as 1 and stays pending
// Width code: 1 fits 32 bits, 2 fits signed 64 bits, 3 fits unsigned 64 bits; 0 on error.
int32_t ReadIntegerCallback(PyObject* object, int64_t* value);
int32_t ReadDoubleCallback(PyObject* object, double* value);  // 1, or 0 with an error

// The UTF-16 text of a str: *holder gets a new bytes reference that keeps *units alive.
int32_t Utf16TextCallback(PyObject* object, PyObject** holder, int32_t* count, const char16_t** units);
}

}  // namespace morvax
