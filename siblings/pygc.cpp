// morvax.pygc: turns the outcome of a .NET cast into a Python result for the main
// extension, through the function table in the capsule morvax.pygc._C_APIF
// (layout in morvax/pygc.h).
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>

#include "common/py_ref.h"
#include "morvax/pygc.h"
#include "static_type.h"
#include "version_value.h"

namespace morvax::siblings {
namespace {

PyTypeObject version_type{};

// Entry 0 of the table; the contract is documented in morvax/pygc.h.
PyObject* PygcCastResult(int32_t outcome, PyObject* obj) {
  if (PyErr_Occurred()) { return nullptr; }
  switch (outcome) {
    case MV_PYGC_CAST_OK:
      if (obj == nullptr) {
        PyErr_SetString(PyExc_SystemError, "cast reported success without an object");
        return nullptr;
      }
      return Py_NewRef(obj);
    case MV_PYGC_CAST_NONE:
      Py_RETURN_NONE;
    case MV_PYGC_CAST_FAILED:
      PyErr_SetString(PyExc_TypeError, "cast failed");
      return nullptr;
    default:
      PyErr_Format(PyExc_SystemError, "unknown cast outcome %d", static_cast<int>(outcome));
      return nullptr;
  }
}

void* pygc_api[MV_PYGC_API_ENTRIES] = {
    reinterpret_cast<void*>(&PygcCastResult),
};

PyModuleDef pygc_module = single_phase_module(
    "morvax.pygc", "Cast results for the morvax.velto extension (C interface in capsule _C_APIF).", nullptr);

PyObject* init_pygc() {
  if (version_type_ready(&version_type, "morvax.pygc._ModuleVersionType") < 0) { return nullptr; }
  PyRef module = PyRef::steal(PyModule_Create(&pygc_module));
  if (!module || add_version_values(module.get(), &version_type) < 0) { return nullptr; }
  PyRef capsule = PyRef::steal(PyCapsule_New(pygc_api, MV_PYGC_CAPSULE_NAME, nullptr));
  if (!capsule || PyModule_AddObjectRef(module.get(), "_C_APIF", capsule.get()) < 0) { return nullptr; }
  return module.release();
}

}  // namespace
}  // namespace morvax::siblings

PyMODINIT_FUNC PyInit_pygc(void) { return morvax::siblings::init_pygc(); }
