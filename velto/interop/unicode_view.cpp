// String views and UTF-16 decoding.
#include "interop/unicode_view.h"

#include <cstdint>

namespace morvax {

int FillUnicodeView(PyObject* text, UnicodeView* view) {
  if (PyUnicode_READY(text) < 0) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "unicode object is not ready");
    return 0;
  }
  int kind = PyUnicode_KIND(text);
  if (kind != PyUnicode_1BYTE_KIND && kind != PyUnicode_2BYTE_KIND && kind != PyUnicode_4BYTE_KIND) {
    PyErr_Format(PyExc_TypeError, "unknown unicode encoding '%i'", kind);
    return 0;
  }
  if (PyUnicode_GET_LENGTH(text) > INT32_MAX) {
    PyErr_SetString(PyExc_OverflowError, "string is too long for a .NET string");
    return 0;
  }
  view->length = static_cast<int32_t>(PyUnicode_GET_LENGTH(text));
  view->kind = kind;
  view->data = PyUnicode_DATA(text);
  return 1;
}

PyObject* DecodeUtf16(const char16_t* units, int32_t count) {
  int byteOrder = -1;  // little-endian, and a leading U+FEFF stays in the text
  // An unpaired surrogate becomes the same lone code point in the str, as a str holding one
  // reaches .NET as that lone code unit: text crosses both ways unchanged.
  return PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(units),
                               static_cast<Py_ssize_t>(count) * 2, "surrogatepass", &byteOrder);
}

}  // namespace morvax
