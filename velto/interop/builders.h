// Callbacks through which .NET builds Python strings, byte arrays, native UTF-16 strings and pairs.
#pragma once

#include <Python.h>

#include <cstdint>

namespace morvax {

extern "C" {
// A new str decoded from UTF-16, or null with an error set.
PyObject* PyStrBuilderCallback(const char16_t* units, int32_t count);
// A BuiltU16String owned by the receiver, or null when it cannot be allocated.
void* U16StrBuilderCallback(const char16_t* units, int32_t count);
// A new bytearray holding a copy of the bytes.
PyObject* PyBytesBuilderCallback(const uint8_t* data, int32_t count);
// A new 2-tuple of the two objects, whose references it takes (null stands for None),
// or null with an error set; the objects are released either way.
PyObject* PyPairBuilderCallback(PyObject* first, PyObject* second);
}

}  // namespace morvax
