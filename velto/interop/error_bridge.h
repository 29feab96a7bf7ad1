// Errors in both directions: .NET exceptions become RuntimeError, Python errors raised
// inside callbacks become text for .NET. The chained raise is in common/python_errors.h.
#pragma once

#include <Python.h>

#include <cstdint>

#include "common/python_errors.h"
#include "host/forked_process.h"
#include "interop/unicode_view.h"

namespace morvax {

// Raises RuntimeError saying that the runtime cannot be used in a forked child; returns true.
bool RaiseForkedChild();
// True, with RuntimeError set, in a child forked after the runtime started: every way into
// .NET asks this first, since the runtime cannot run there and would hang or crash.
inline bool RefuseInForkedChild() { return host::ForkedAfterStart() && RaiseForkedChild(); }

// "%U: %U" (or "%U:" without a value) from the exception's qualified name. Returns 1 with
// *text set (or left null when nothing could be made without an error), 0 with an error.
int FormatExceptionFallback(PyObject* type, PyObject* value, PyObject* traceback, PyObject** text);

extern "C" {
// Consumes both texts (either may be null) and raises RuntimeError "Proxy error(%U): %U",
// unless an interrupt is pending: that stays.
void ExceptionCallback(PyObject* first, PyObject* second);
// Turns the pending Python error into text for .NET: 0 with *text (a new reference) and
// *view filled, -1 when there was no error or no text. Leaves no error pending, except an
// interrupt: one that was pending is not taken (-1), and one raised while formatting is
// left pending beside the text it interrupted.
int32_t CatchAndClearErrorCallback(PyObject** text, UnicodeView* view);
// Decodes like the string builder; failures are reported as unraisable, never pending.
PyObject* PyUnraisableStrBuilderCallback(const char16_t* units, int32_t count);
}

}  // namespace morvax
