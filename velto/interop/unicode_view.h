// How a Python str is lent to .NET without copying, and the UTF-16 strings .NET builds.
#pragma once

#include <Python.h>

#include <cstdint>
#include <memory>
#include <string>

namespace morvax {

// A borrowed view of a str's compact storage; valid while the str lives.
struct UnicodeView {
  int32_t length;  // characters; -1 stands for a null .NET string
  int32_t kind;    // bytes per character: 1, 2 or 4
  const void* data;
};

// Fills the view of a str (the object must be a str or subclass). Returns 1, or 0 with
// an exception set.
int FillUnicodeView(PyObject* text, UnicodeView* view);

// A UTF-16 string built for native code by .NET; the receiver owns it.
struct BuiltU16String {
  std::u16string text;
};
using U16StringPtr = std::unique_ptr<BuiltU16String>;

// Takes ownership of a string that .NET returned through the U16 builder (null allowed).
inline U16StringPtr AdoptU16String(void* built) {
  return U16StringPtr(static_cast<BuiltU16String*>(built));
}

// Decodes UTF-16LE code units into a new str; an unpaired surrogate stays one code point.
PyObject* DecodeUtf16(const char16_t* units, int32_t count);

}  // namespace morvax
