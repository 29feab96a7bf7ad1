// Raising Python exceptions with the pending one as their cause (an interrupt is never
// replaced), and the argument-count check of functions taking positional arguments.
#pragma once

#include <Python.h>

#include <cstdarg>

#include "common/py_ref.h"

namespace morvax {

// The error indicator's three parts, taken out of the interpreter and owned: dropped when
// this goes out of scope, unless handed back with Restore.
struct FetchedError {
  PyRef type, value, traceback;

  // Takes the pending error (all three empty when there is none), normalized on request.
  static FetchedError Fetch(bool normalize = false) {
    PyObject *type, *value, *traceback;
    PyErr_Fetch(&type, &value, &traceback);
    if (normalize) PyErr_NormalizeException(&type, &value, &traceback);
    return {PyRef::steal(type), PyRef::steal(value), PyRef::steal(traceback)};
  }
  // Makes it the pending error again.
  void Restore() { PyErr_Restore(type.release(), value.release(), traceback.release()); }
  explicit operator bool() const { return static_cast<bool>(type); }
};

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
