// Builder callbacks handed to .NET at start-up.
#include "interop/builders.h"

#include <new>

#include "interop/unicode_view.h"

namespace morvax {

extern "C" PyObject* PyStrBuilderCallback(const char16_t* units, int32_t count) { return DecodeUtf16(units, count); }

extern "C" void* U16StrBuilderCallback(const char16_t* units, int32_t count) {
  if (count < 0) return nullptr;
  // Ownership crosses to .NET's caller as a plain pointer; AdoptU16String takes it back.
  auto built = std::unique_ptr<BuiltU16String>(new (std::nothrow) BuiltU16String);
  if (!built) return nullptr;
  try {
    built->text.assign(units, units + count);
  } catch (const std::bad_alloc&) { return nullptr; }
  return built.release();
}

extern "C" PyObject* PyBytesBuilderCallback(const uint8_t* data, int32_t count) {
  return PyByteArray_FromStringAndSize(reinterpret_cast<const char*>(data), count);
}

extern "C" PyObject* PyPairBuilderCallback(PyObject* first, PyObject* second) {
  PyObject* pair = PyTuple_New(2);
  if (pair == nullptr) {
    Py_XDECREF(first);
    Py_XDECREF(second);
    return nullptr;
  }
  PyTuple_SET_ITEM(pair, 0, first != nullptr ? first : Py_NewRef(Py_None));
  PyTuple_SET_ITEM(pair, 1, second != nullptr ? second : Py_NewRef(Py_None));
  return pair;
}

}  // namespace morvax
