// Raising Python exceptions with the pending one as their cause, and the argument-count check.
#include "common/python_errors.h"

#include <cstdarg>

namespace morvax {

bool IsInterruptPending() {
  PyObject* pending = PyErr_Occurred();  // borrowed
  return pending != nullptr && !PyErr_GivenExceptionMatches(pending, PyExc_Exception);
}

PyObject* RaiseChainedV(PyObject* exc, const char* format, va_list args) {
  if (IsInterruptPending()) return nullptr;
  FetchedError cause = FetchedError::Fetch(/*normalize=*/true);
  if (cause.traceback && cause.value) PyException_SetTraceback(cause.value.get(), cause.traceback.get());

  PyErr_FormatV(exc, format, args);

  FetchedError raised = FetchedError::Fetch(/*normalize=*/true);
  if (cause.value && raised.value) {
    PyException_SetCause(raised.value.get(), PyRef::borrow(cause.value.get()).release());  // steals
    PyException_SetContext(raised.value.get(), cause.value.release());                     // steals
  }
  raised.Restore();
  return nullptr;
}

PyObject* RaiseChained(PyObject* exc, const char* format, ...) {
  va_list args;
  va_start(args, format);
  RaiseChainedV(exc, format, args);
  va_end(args);
  return nullptr;
}

PyObject* RaiseMaybeChained(PyObject* exc, const char* format, ...) {
  va_list args;
  va_start(args, format);
  if (PyErr_Occurred()) {
    RaiseChainedV(exc, format, args);
  } else {
    PyErr_FormatV(exc, format, args);
  }
  va_end(args);
  return nullptr;
}

bool CheckArgCount(Py_ssize_t given, const char* name, Py_ssize_t minimum, Py_ssize_t maximum) {
  if (minimum <= given && given <= maximum) return false;
  const char* quantity = minimum == maximum ? "exactly" : (given < minimum ? "at least" : "at most");
  Py_ssize_t bound = given < minimum ? minimum : maximum;
  PyErr_Format(PyExc_TypeError, "%.150s%s takes %s %d argument%s (%zd given)", name != nullptr ? name : "function",
               name != nullptr ? "()" : "", quantity, static_cast<int>(bound), bound == 1 ? "" : "s", given);
  return true;
}
}  // namespace morvax
