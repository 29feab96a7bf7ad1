// Errors in both directions: .NET exceptions become RuntimeError, Python errors raised
// inside callbacks become text for .NET; plus the chained raise and the argument-count check.
#pragma once

#include <Python.h>

#include <cstdint>

#include "host/forked_process.h"
#include "interop/unicode_view.h"

namespace morvax {

// Raises RuntimeError saying that the runtime cannot be used in a forked child; returns true.
bool RaiseForkedChild();
// True, with RuntimeError set, in a child forked after the runtime started: every way into
// .NET asks this first, since the runtime cannot run there and would hang or crash.
inline bool RefuseInForkedChild() { return host::ForkedAfterStart() && RaiseForkedChild(); }

// True when the pending exception is one that must reach the caller unchanged: a
// BaseException that is no Exception (KeyboardInterrupt, SystemExit, GeneratorExit).
bool IsInterruptPending();

// Raises exc with the formatted message, making the pending exception its cause and
// context; a pending interrupt is left as it is instead. Requires a pending exception. Always returns null, for `return RaiseChained(...)`.
PyObject* RaiseChained(PyObject* exc, const char* format, ...);
PyObject* RaiseChainedV(PyObject* exc, const char* format, va_list args);

// Raises with RaiseChained when an exception is pending, else plainly.
PyObject* RaiseMaybeChained(PyObject* exc, const char* format, ...);

// Returns true after raising TypeError when given is outside [minimum, maximum].
bool CheckArgCount(Py_ssize_t given, const char* name, Py_ssize_t minimum, Py_ssize_t maximum);

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
