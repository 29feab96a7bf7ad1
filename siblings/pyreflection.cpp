// morvax.pyreflection: the Python types Object, Type and Enum, each owning one .NET
// host handle, and the capsules through which the main extension wraps handles
// in them and reads handles back (table layout in morvax/pyreflection.h).
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <structmember.h>

#include <cstddef>
#include <cstdint>

#include "common/py_ref.h"
#include "host_handle_release.h"
#include "morvax/pyreflection.h"
#include "static_type.h"
#include "version_value.h"

namespace morvax::siblings {
namespace {

PyTypeObject version_type{};
PyTypeObject object_type{};
PyTypeObject type_type{};
PyTypeObject enum_type{};

struct HandleObject {
  PyObject_HEAD
  uint32_t handle;  // owned; released on dealloc
};

HandleObject* as_handle_object(PyObject* obj) { return reinterpret_cast<HandleObject*>(obj); }

void handle_dealloc(PyObject* self) {
  uint32_t handle = as_handle_object(self)->handle;
  as_handle_object(self)->handle = 0;
  release_host_handle(handle);
  Py_TYPE(self)->tp_free(self);
}

PyObject* handle_repr(PyObject* self) {
  return PyUnicode_FromFormat("<%s handle=%u>", Py_TYPE(self)->tp_name,
                              static_cast<unsigned int>(as_handle_object(self)->handle));
}

PyMemberDef handle_members[] = {
    {"handle", T_UINT, offsetof(HandleObject, handle), READONLY, "the .NET host handle"},
    {},
};

static_assert(sizeof(unsigned int) == sizeof(uint32_t), "handle is read as T_UINT");

// No tp_new: a handle can only come from the main extension, through the
// capsules; making one up from Python would free someone else's object.
int handle_type_ready(PyTypeObject* type, const char* name, PyTypeObject* base, const char* doc) {
  if (type->tp_flags & Py_TPFLAGS_READY) { return 0; }
  type->tp_name = name;
  type->tp_basicsize = sizeof(HandleObject);
  type->tp_dealloc = handle_dealloc;
  type->tp_repr = handle_repr;
  type->tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
  type->tp_doc = doc;
  type->tp_members = base == nullptr ? handle_members : nullptr;
  type->tp_base = base;
  return ready_static_type(type);
}

// Table functions ------------------------------------------------------------

int handle_of(PyTypeObject* kind, PyObject* obj, uint32_t* out_handle) {
  if (!PyObject_TypeCheck(obj, kind)) {
    PyErr_Format(PyExc_TypeError, "expected %s, got '%.200s'", kind->tp_name, Py_TYPE(obj)->tp_name);
    return 0;
  }
  *out_handle = as_handle_object(obj)->handle;
  return 1;
}

int object_handle(PyObject* obj, uint32_t* out_handle) { return handle_of(&object_type, obj, out_handle); }
int type_handle(PyObject* obj, uint32_t* out_handle) { return handle_of(&type_type, obj, out_handle); }
int enum_handle(PyObject* obj, uint32_t* out_handle) { return handle_of(&enum_type, obj, out_handle); }

// Takes over handle whatever happens: it is released when no object can own it.
PyObject* wrap_handle(PyTypeObject* type, uint32_t handle) {
  if (type == nullptr || !PyType_Check(reinterpret_cast<PyObject*>(type)) || !PyType_IsSubtype(type, &object_type)) {
    release_host_handle(handle);
    PyErr_SetString(PyExc_TypeError,
                    "can only wrap a handle in morvax.pyreflection.Object or a "
                    "subtype of it");
    return nullptr;
  }
  if (handle == 0) { Py_RETURN_NONE; }
  PyObject* self = type->tp_alloc(type, 0);
  if (self == nullptr) {
    release_host_handle(handle);
    return nullptr;
  }
  as_handle_object(self)->handle = handle;
  return self;
}

PyObject* make_object(uint32_t handle) { return wrap_handle(&object_type, handle); }
PyObject* make_type(uint32_t handle) { return wrap_handle(&type_type, handle); }
PyObject* make_enum(uint32_t handle) { return wrap_handle(&enum_type, handle); }

void* object_api[MV_PYREFLECTION_OBJECT_API_ENTRIES] = {
    reinterpret_cast<void*>(&object_handle),
    reinterpret_cast<void*>(&make_object),
    reinterpret_cast<void*>(&object_handle),
    reinterpret_cast<void*>(&wrap_handle),
};

void* type_api[MV_PYREFLECTION_API_ENTRIES] = {
    reinterpret_cast<void*>(&type_handle),
    reinterpret_cast<void*>(&make_type),
    reinterpret_cast<void*>(&object_handle),
};

void* enum_api[MV_PYREFLECTION_API_ENTRIES] = {
    reinterpret_cast<void*>(&enum_handle),
    reinterpret_cast<void*>(&make_enum),
    reinterpret_cast<void*>(&object_handle),
};

// The module -------------------------------------------------------------------

PyModuleDef pyreflection_module = single_phase_module(
    "morvax.pyreflection", "Handle-owning .NET object types for the morvax.velto extension.", nullptr);

int add_type_and_capsule(PyObject* module, PyTypeObject* type, const char* type_attr, void** api,
                         const char* capsule_attr, const char* capsule_name) {
  if (PyModule_AddObjectRef(module, type_attr, reinterpret_cast<PyObject*>(type)) < 0) { return -1; }
  PyRef capsule = PyRef::steal(PyCapsule_New(api, capsule_name, nullptr));
  if (!capsule) { return -1; }
  return PyModule_AddObjectRef(module, capsule_attr, capsule.get());
}

PyObject* init_pyreflection() {
  if (version_type_ready(&version_type, "morvax.pyreflection._ModuleVersionType") < 0 ||
      handle_type_ready(&object_type, "morvax.pyreflection.Object", nullptr,
                        "A .NET object, held by its host handle.") < 0 ||
      handle_type_ready(&type_type, "morvax.pyreflection.Type", &object_type,
                        "A .NET type (System.Type), held by its host handle.") < 0 ||
      handle_type_ready(&enum_type, "morvax.pyreflection.Enum", &object_type,
                        "A .NET enum value, held by its host handle.") < 0) {
    return nullptr;
  }
  PyRef module = PyRef::steal(PyModule_Create(&pyreflection_module));
  if (!module || add_version_values(module.get(), &version_type) < 0 ||
      add_type_and_capsule(module.get(), &type_type, "Type", type_api, "_C_APIT_Type", MV_PYREFLECTION_TYPE_CAPSULE) <
          0 ||
      add_type_and_capsule(module.get(), &object_type, "Object", object_api, "_C_APIT_Object",
                           MV_PYREFLECTION_OBJECT_CAPSULE) < 0 ||
      add_type_and_capsule(module.get(), &enum_type, "Enum", enum_api, "_C_APIT_Enum", MV_PYREFLECTION_ENUM_CAPSULE) <
          0) {
    return nullptr;
  }
  return module.release();
}

}  // namespace
}  // namespace morvax::siblings

PyMODINIT_FUNC PyInit_pyreflection(void) { return morvax::siblings::init_pyreflection(); }
