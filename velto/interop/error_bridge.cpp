// The error bridge between .NET exceptions and Python exceptions.
#include "interop/error_bridge.h"

#include <cstdarg>

#include "common/interned_names.h"

namespace morvax {

bool RaiseForkedChild() {
  PyErr_SetString(PyExc_RuntimeError,
                  "the .NET runtime cannot be used in a process forked after it started; use the "
                  "'spawn' or 'forkserver' start method of multiprocessing, or start the runtime "
                  "(import morvax.velto) only after forking");
  return true;
}

int FormatExceptionFallback(PyObject* type, PyObject* value, PyObject* traceback, PyObject** text) {
  (void)traceback;  // the fallback text never includes the traceback
  *text = nullptr;
  PyRef name = PyRef::steal(PyObject_GetAttr(type, Interned(Name::__qualname__)));
  if (!name || !PyUnicode_Check(name.get())) {
    PyErr_Clear();
    name = PyRef::steal(PyObject_Str(type));
    if (!name) return 0;
  }
  if (value != nullptr) {
    PyRef valueText = PyRef::steal(PyObject_Str(value));
    if (!valueText) return 0;
    *text = PyUnicode_FromFormat("%U: %U", name.get(), valueText.get());
  } else {
    *text = PyUnicode_FromFormat("%U:", name.get());
  }
  if (*text == nullptr) return PyErr_Occurred() ? 0 : 1;
  return 1;
}

// The full text Python would print: traceback.format_exception(...) joined. Returns a new
// str or null with an error set.
static PyObject* FormatWithTraceback(PyObject* type, PyObject* value, PyObject* traceback) {
  PyRef module = PyRef::steal(PyImport_ImportModule("traceback"));
  if (!module) {
    if (!PyErr_Occurred()) {
      PyErr_Format(PyExc_ImportError,
                   "Unable to import the specified module %s. The module not found or errors "
                   "occurred while initializing it.",
                   "traceback");
    }
    return nullptr;
  }
  PyRef format = PyRef::steal(PyObject_GetAttr(
      module.get(), Interned(traceback != nullptr ? Name::format_exception : Name::format_exception_only)));
  if (!format) return nullptr;
  if (!PyCallable_Check(format.get())) {
    PyErr_SetString(PyExc_TypeError, "traceback formatter is not callable");
    return nullptr;
  }
  PyRef lines =
      PyRef::steal(traceback != nullptr ? PyObject_CallFunctionObjArgs(format.get(), type, value, traceback, nullptr)
                                        : PyObject_CallFunctionObjArgs(format.get(), type, value, nullptr));
  if (!lines) return nullptr;
  return PyUnicode_Join(Interned(Name::Empty), lines.get());
}

extern "C" void ExceptionCallback(PyObject* first, PyObject* second) {
  // Both texts are handed over to this function.
  PyRef typeName = PyRef::steal(first), message = PyRef::steal(second);
  // .NET failed because Python was interrupted: the interrupt is the news.
  if (IsInterruptPending()) return;
  PyObject* unknown = Interned(Name::Unknown);
  PyErr_Format(PyExc_RuntimeError, "Proxy error(%U): %U", typeName ? typeName.get() : unknown,
               message ? message.get() : unknown);
}

extern "C" int32_t CatchAndClearErrorCallback(PyObject** textOut, UnicodeView* viewOut) {
  // An interrupt is not .NET's to handle: it stays pending for the caller.
  if (!PyErr_Occurred() || IsInterruptPending()) return -1;
  PyRef text;
  // The error that formatting the caught one raised, if it failed.
  FetchedError aside;
  {
    FetchedError caught = FetchedError::Fetch(/*normalize=*/true);
    if (caught.value) {
      text = PyRef::steal(FormatWithTraceback(caught.type.get(), caught.value.get(), caught.traceback.get()));
      if (!text) aside = FetchedError::Fetch();
    }
    if (!text) {
      PyObject* fallback = nullptr;
      FormatExceptionFallback(caught.type.get(), caught.value.get(), caught.traceback.get(), &fallback);
      text = PyRef::steal(fallback);
    }
  }

  if (text && FillUnicodeView(text.get(), viewOut) == 0) text = PyRef();

  if (aside) {
    bool asideIsInterrupt = !PyErr_GivenExceptionMatches(aside.type.get(), PyExc_Exception);
    // Of two errors, an interrupt is kept; of two interrupts, the later one.
    if (!PyErr_Occurred() || (asideIsInterrupt && !IsInterruptPending())) {
      if (PyErr_Occurred()) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
      aside.Restore();
    }
  }
  // An interrupt that arrived while formatting goes on to the caller.
  if (PyErr_Occurred() && !IsInterruptPending()) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
  if (!text) return -1;
  *textOut = text.release();
  return 0;
}

extern "C" PyObject* PyUnraisableStrBuilderCallback(const char16_t* units, int32_t count) {
  PyObject* text = DecodeUtf16(units, count);
  if (text == nullptr) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
  return text;
}

}  // namespace morvax
