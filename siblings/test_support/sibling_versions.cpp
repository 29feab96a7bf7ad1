// _sibling_versions: test support, never part of the package.  Lets Python tests
// write fake sibling modules (VERSION = make(24, 5, 2, 9, "24.5.2.9")), build
// deliberately wrong version values for the main extension's layout check, and
// drive the sibling C interfaces the way a C client does.
//
// This module's own VERSION and _BACKWARD_COMPATIBILITY_THRESHOLD are compiled
// with overridden numbers (see CMakeLists.txt), which tests the override path.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>

#include "common/py_ref.h"
#include "morvax/pygc.h"
#include "morvax/version_value.h"
#include "static_type.h"
#include "version_value.h"

namespace morvax::siblings {
namespace {

PyTypeObject version_type{};
PyTypeObject misnamed_type{};
PyTypeObject resized_type{};

// The layout with a field more: right name, wrong basic size.
struct ResizedVersionValue {
  MvVersionValue base;
  int64_t extra;
};

PyObject* make_with(PyTypeObject* type, PyObject* args, const char* format) {
  int32_t major, minor, patch, sub;
  PyObject* text;
  if (!PyArg_ParseTuple(args, format, &major, &minor, &patch, &sub, &text)) { return nullptr; }
  return version_value_new(type, major, minor, patch, sub, text);
}

PyObject* make(PyObject*, PyObject* args) { return make_with(&version_type, args, "iiiiU:make"); }

PyObject* make_misnamed(PyObject*, PyObject* args) { return make_with(&misnamed_type, args, "iiiiU:make_misnamed"); }

PyObject* make_resized(PyObject*, PyObject* args) { return make_with(&resized_type, args, "iiiiU:make_resized"); }

PyObject* is_version_value(PyObject*, PyObject* obj) { return PyBool_FromLong(MvVersionValue_Check(obj)); }

// cast_with_pending_error(outcome, obj, exc): calls PygcCastResult through the
// morvax.pygc capsule while exc is the pending exception, as a caller whose own
// conversion failed would.
PyObject* cast_with_pending_error(PyObject*, PyObject* args) {
  int outcome;
  PyObject *obj, *exc;
  if (!PyArg_ParseTuple(args, "iOO:cast_with_pending_error", &outcome, &obj, &exc)) { return nullptr; }
  void** api = static_cast<void**>(PyCapsule_Import(MV_PYGC_CAPSULE_NAME, 0));
  if (api == nullptr) { return nullptr; }
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exc)), exc);
  return MvPygc_CastResult(api)(outcome, obj == Py_None ? nullptr : obj);
}

PyMethodDef methods[] = {
    {"make", method_cast(make), METH_VARARGS,
     "make(major, minor, patch, sub, text): a version value as the siblings carry."},
    {"make_misnamed", method_cast(make_misnamed), METH_VARARGS,
     "Same layout, but a type name without the ._ModuleVersionType suffix."},
    {"make_resized", method_cast(make_resized), METH_VARARGS, "Right type name suffix, but a larger basic size."},
    {"is_version_value", method_cast(is_version_value), METH_O, "MvVersionValue_Check from morvax/version_value.h."},
    {"cast_with_pending_error", method_cast(cast_with_pending_error), METH_VARARGS,
     "PygcCastResult(outcome, obj) called with exc pending."},
    {},
};

PyModuleDef module_def =
    single_phase_module("_sibling_versions", "Test support for the morvax sibling modules.", methods);

PyObject* init() {
  if (version_type_ready(&version_type, "_sibling_versions._ModuleVersionType") < 0 ||
      version_type_ready(&misnamed_type, "_sibling_versions._MisnamedVersionType") < 0 ||
      version_type_ready(&resized_type, "_sibling_versions.resized._ModuleVersionType", sizeof(ResizedVersionValue)) <
          0) {
    return nullptr;
  }
  PyRef module = PyRef::steal(PyModule_Create(&module_def));
  if (!module || add_version_values(module.get(), &version_type) < 0) { return nullptr; }
  return module.release();
}

}  // namespace
}  // namespace morvax::siblings

PyMODINIT_FUNC PyInit__sibling_versions(void) { return morvax::siblings::init(); }
