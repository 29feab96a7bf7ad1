// The error bridge between .NET exceptions and Python exceptions.
#include "interop/error_bridge.h"

#include <cstdarg>

#include "module/interned_names.h"

namespace morvax {

bool IsInterruptPending() {
  PyObject* pending = PyErr_Occurred();  // borrowed
  return pending != nullptr && !PyErr_GivenExceptionMatches(pending, PyExc_Exception);
}

PyObject* RaiseChainedV(PyObject* exc, const char* format, va_list args) {
  if (IsInterruptPending()) return nullptr;
  PyObject *oldType, *oldValue, *oldTraceback;
  PyErr_Fetch(&oldType, &oldValue, &oldTraceback);
  PyErr_NormalizeException(&oldType, &oldValue, &oldTraceback);
  if (oldTraceback != nullptr && oldValue != nullptr) PyException_SetTraceback(oldValue, oldTraceback);
  Py_XDECREF(oldTraceback);
  Py_XDECREF(oldType);

  PyErr_FormatV(exc, format, args);

  PyObject *newType, *newValue, *newTraceback;
  PyErr_Fetch(&newType, &newValue, &newTraceback);
  PyErr_NormalizeException(&newType, &newValue, &newTraceback);
  if (oldValue != nullptr && newValue != nullptr) {
    Py_INCREF(oldValue);
    PyException_SetCause(newValue, oldValue);  // steals one reference
    PyException_SetContext(newValue, oldValue);  // steals the other
  } else {
    Py_XDECREF(oldValue);
  }
  PyErr_Restore(newType, newValue, newTraceback);
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

bool RaiseForkedChild() {
  PyErr_SetString(PyExc_RuntimeError,
                  "the .NET runtime cannot be used in a process forked after it started; use the "
                  "'spawn' or 'forkserver' start method of multiprocessing, or start the runtime "
                  "(import morvax.velto) only after forking");
  return true;
}

bool CheckArgCount(Py_ssize_t given, const char* name, Py_ssize_t minimum, Py_ssize_t maximum) {
  if (minimum <= given && given <= maximum) return false;
  const char* quantity = minimum == maximum ? "exactly" : (given < minimum ? "at least" : "at most");
  Py_ssize_t bound = given < minimum ? minimum : maximum;
  PyErr_Format(PyExc_TypeError, "%.150s%s takes %s %d argument%s (%zd given)",
               name != nullptr ? name : "function", name != nullptr ? "()" : "", quantity,
               static_cast<int>(bound), bound == 1 ? "" : "s", given);
  return true;
}

int FormatExceptionFallback(PyObject* type, PyObject* value, PyObject* traceback, PyObject** text) {
  (void)traceback;  // the fallback text never includes the traceback
  *text = nullptr;
  PyObject* name = PyObject_GetAttr(type, Interned(Name::__qualname__));
  if (name == nullptr || !PyUnicode_Check(name)) {
    Py_XDECREF(name);
    PyErr_Clear();
    name = PyObject_Str(type);
    if (name == nullptr) return 0;
  }
  if (value != nullptr) {
    PyObject* valueText = PyObject_Str(value);
    if (valueText == nullptr) {
      Py_DECREF(name);
      return 0;
    }
    *text = PyUnicode_FromFormat("%U: %U", name, valueText);
    Py_DECREF(valueText);
  } else {
    *text = PyUnicode_FromFormat("%U:", name);
  }
  Py_DECREF(name);
  if (*text == nullptr) return PyErr_Occurred() ? 0 : 1;
  return 1;
}

// The full text Python would print: traceback.format_exception(...) joined. Returns a new
// str or null with an error set.
static PyObject* FormatWithTraceback(PyObject* type, PyObject* value, PyObject* traceback) {
  PyObject* module = PyImport_ImportModule("traceback");
  if (module == nullptr) {
    if (!PyErr_Occurred()) {
      PyErr_Format(PyExc_ImportError,
                   "Unable to import the specified module %s. The module not found or errors "
                   "occurred while initializing it.",
                   "traceback");
    }
    return nullptr;
  }
  PyObject* format = PyObject_GetAttr(
      module, Interned(traceback != nullptr ? Name::format_exception : Name::format_exception_only));
  Py_DECREF(module);
  if (format == nullptr) return nullptr;
  if (!PyCallable_Check(format)) {
    Py_DECREF(format);
    PyErr_SetString(PyExc_TypeError, "traceback formatter is not callable");
    return nullptr;
  }
  PyObject* lines = traceback != nullptr
                        ? PyObject_CallFunctionObjArgs(format, type, value, traceback, nullptr)
                        : PyObject_CallFunctionObjArgs(format, type, value, nullptr);
  Py_DECREF(format);
  if (lines == nullptr) return nullptr;
  PyObject* joined = PyUnicode_Join(Interned(Name::Empty), lines);
  Py_DECREF(lines);
  return joined;
}

extern "C" void ExceptionCallback(PyObject* first, PyObject* second) {
  if (IsInterruptPending()) {
    // .NET failed because Python was interrupted: the interrupt is the news.
    Py_XDECREF(first);
    Py_XDECREF(second);
    return;
  }
  PyObject* unknown = Interned(Name::Unknown);
  PyErr_Format(PyExc_RuntimeError, "Proxy error(%U): %U", first != nullptr ? first : unknown,
               second != nullptr ? second : unknown);
  Py_XDECREF(first);
  Py_XDECREF(second);
}

extern "C" int32_t CatchAndClearErrorCallback(PyObject** textOut, UnicodeView* viewOut) {
  // An interrupt is not .NET's to handle: it stays pending for the caller.
  if (!PyErr_Occurred() || IsInterruptPending()) return -1;
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);

  PyObject* text = nullptr;
  bool fellBack = false;
  PyObject *asideType = nullptr, *asideValue = nullptr, *asideTraceback = nullptr;
  if (value != nullptr) {
    text = FormatWithTraceback(type, value, traceback);
    if (text == nullptr) {
      PyErr_Fetch(&asideType, &asideValue, &asideTraceback);
      fellBack = true;
    }
  }
  if (text == nullptr) FormatExceptionFallback(type, value, traceback, &text);
  Py_XDECREF(type);
  Py_XDECREF(value);
  Py_XDECREF(traceback);

  if (text != nullptr && FillUnicodeView(text, viewOut) == 0) Py_CLEAR(text);
  if (text != nullptr) *textOut = text;

  if (fellBack) {
    bool asideIsInterrupt = asideType != nullptr && !PyErr_GivenExceptionMatches(asideType, PyExc_Exception);
    // Of two errors, an interrupt is kept; of two interrupts, the later one.
    if (PyErr_Occurred() && (!asideIsInterrupt || IsInterruptPending())) {
      Py_XDECREF(asideType);
      Py_XDECREF(asideValue);
      Py_XDECREF(asideTraceback);
    } else {
      if (PyErr_Occurred()) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
      PyErr_Restore(asideType, asideValue, asideTraceback);
    }
  }
  // An interrupt that arrived while formatting goes on to the caller.
  if (PyErr_Occurred() && !IsInterruptPending()) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
  return text != nullptr ? 0 : -1;
}

extern "C" PyObject* PyUnraisableStrBuilderCallback(const char16_t* units, int32_t count) {
  PyObject* text = DecodeUtf16(units, count);
  if (text == nullptr) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
  return text;
}

}  // namespace morvax
