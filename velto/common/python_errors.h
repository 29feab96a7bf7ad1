// Raising Python exceptions with the pending one as their cause (an interrupt is never
// replaced), and the argument-count check of functions taking positional arguments.
#pragma once

#include <Python.h>

#include <cstdarg>

namespace morvax {

// True when the pending exception is one that must reach the caller unchanged: a
// BaseException that is no Exception (KeyboardInterrupt, SystemExit, GeneratorExit).
bool IsInterruptPending();

// Raises exc with the formatted message, making the pending exception its cause and
// context; a pending interrupt is left as it is instead. Requires a pending exception. Always returns null, for `return
// RaiseChained(...)`.
PyObject* RaiseChained(PyObject* exc, const char* format, ...);
PyObject* RaiseChainedV(PyObject* exc, const char* format, va_list args);

// Raises with RaiseChained when an exception is pending, else plainly.
PyObject* RaiseMaybeChained(PyObject* exc, const char* format, ...);

// Returns true after raising TypeError when given is outside [minimum, maximum].
bool CheckArgCount(Py_ssize_t given, const char* name, Py_ssize_t minimum, Py_ssize_t maximum);

}  // namespace morvax
