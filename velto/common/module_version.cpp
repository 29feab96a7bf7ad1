// _ModuleVersionType: an immutable value of four numbers and their text.
#include "common/module_version.h"

#include <cstddef>
#include <cstring>

#include <structmember.h>

namespace morvax {

const ModuleVersionObject* AsVersionValue(PyObject* object) {
  static constexpr const char kSuffix[] = "_ModuleVersionType";
  PyTypeObject* type = Py_TYPE(object);
  if (type->tp_basicsize != static_cast<Py_ssize_t>(sizeof(ModuleVersionObject)) || type->tp_itemsize != 0) {
    return nullptr;
  }
  const char* name = type->tp_name;
  std::size_t length = std::strlen(name), suffix = sizeof kSuffix - 1;
  if (length < suffix || std::strcmp(name + length - suffix, kSuffix) != 0) return nullptr;
  auto* value = reinterpret_cast<const ModuleVersionObject*>(object);
  if (value->text == nullptr || !PyUnicode_Check(value->text)) return nullptr;
  return value;
}

PyObject* NewModuleVersion(int32_t major, int32_t minor, int32_t patch, int32_t sub, const char* text) {
  auto* self = PyObject_New(ModuleVersionObject, &ModuleVersionType);
  if (self == nullptr) return nullptr;
  self->numbers = {major, minor, patch, sub};
  self->text = PyUnicode_FromString(text);
  if (self->text == nullptr) {
    Py_DECREF(self);
    return nullptr;
  }
  return reinterpret_cast<PyObject*>(self);
}

static ModuleVersionObject* AsVersion(PyObject* self) { return reinterpret_cast<ModuleVersionObject*>(self); }

static void version_dealloc(PyObject* self) {
  Py_CLEAR(AsVersion(self)->text);
  Py_TYPE(self)->tp_free(self);
}

static PyObject* version_str(PyObject* self) {
  Py_INCREF(AsVersion(self)->text);
  return AsVersion(self)->text;
}

static PyObject* version_repr(PyObject* self) {
  return PyUnicode_FromFormat("<%s: %U>", Py_TYPE(self)->tp_name, AsVersion(self)->text);
}

static Py_hash_t version_hash(PyObject* self) {
  int32_t hash = HashVersion(AsVersion(self)->numbers);
  // -1 means "error" to the interpreter.
  return hash == -1 ? -2 : hash;
}

static PyObject* version_richcompare(PyObject* self, PyObject* other, int op) {
  if (Py_TYPE(self) != &ModuleVersionType || Py_TYPE(other) != &ModuleVersionType) { Py_RETURN_NOTIMPLEMENTED; }
  int order = CompareVersions(AsVersion(self)->numbers, AsVersion(other)->numbers);
  Py_RETURN_RICHCOMPARE(order, 0, op);
}

static PyObject* version_view(PyObject* self, void*) { return version_str(self); }

static PyGetSetDef version_getset[] = {
    {"view", version_view, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

static PyMemberDef version_members[] = {
    {"major", T_INT, offsetof(ModuleVersionObject, numbers.major), READONLY, nullptr},
    {"minor", T_INT, offsetof(ModuleVersionObject, numbers.minor), READONLY, nullptr},
    {"patch", T_INT, offsetof(ModuleVersionObject, numbers.patch), READONLY, nullptr},
    {"sub", T_INT, offsetof(ModuleVersionObject, numbers.sub), READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyTypeObject ModuleVersionType = [] {
  PyTypeObject type{PyVarObject_HEAD_INIT(nullptr, 0)};
  type.tp_name = "morvax.velto._ModuleVersionType";
  type.tp_basicsize = sizeof(ModuleVersionObject);
  type.tp_dealloc = version_dealloc;
  type.tp_repr = version_repr;
  type.tp_hash = version_hash;
  type.tp_str = version_str;
  type.tp_flags = Py_TPFLAGS_DEFAULT;
  type.tp_richcompare = version_richcompare;
  type.tp_members = version_members;
  type.tp_getset = version_getset;
  type.tp_alloc = PyType_GenericAlloc;
  return type;
}();

}  // namespace morvax
