// Version values of the sibling modules: the type's slots and the compile-time
// numbers behind VERSION and _BACKWARD_COMPATIBILITY_THRESHOLD.
//
// The numbers can be overridden when compiling, four comma-separated numbers each:
//   -DSIBLING_VERSION=24,5,2,9      -DSIBLING_VERSION_TEXT=24.5.2.9
//   -DSIBLING_THRESHOLD=24,0,0,0    -DSIBLING_THRESHOLD_TEXT=24.0.0.0
// A text macro may be given bare or as a string literal; without one the text is
// the numbers joined with dots.  The text may deliberately disagree with the
// numbers: readers take the numbers as they are.
#define PY_SSIZE_T_CLEAN
#include "version_value.h"

#include <structmember.h>

#include <cstddef>
#include <cstring>
#include <iterator>

#include "common/py_ref.h"
#include "static_type.h"

#ifndef SIBLING_VERSION
#define SIBLING_VERSION 24, 5, 3, 0
#endif
#ifndef SIBLING_THRESHOLD
#define SIBLING_THRESHOLD 24, 0, 0, 0
#endif

#define MV_STRINGIZE_(...) #__VA_ARGS__
#define MV_STRINGIZE(...) MV_STRINGIZE_(__VA_ARGS__)

namespace morvax::siblings {
namespace {

constexpr int32_t kVersionNumbers[] = {SIBLING_VERSION};
constexpr int32_t kThresholdNumbers[] = {SIBLING_THRESHOLD};
static_assert(std::size(kVersionNumbers) == 4, "SIBLING_VERSION takes four numbers");
static_assert(std::size(kThresholdNumbers) == 4, "SIBLING_THRESHOLD takes four numbers");

#ifdef SIBLING_VERSION_TEXT
constexpr const char* kVersionText = MV_STRINGIZE(SIBLING_VERSION_TEXT);
#else
constexpr const char* kVersionText = nullptr;
#endif
#ifdef SIBLING_THRESHOLD_TEXT
constexpr const char* kThresholdText = MV_STRINGIZE(SIBLING_THRESHOLD_TEXT);
#else
constexpr const char* kThresholdText = nullptr;
#endif

static_assert(sizeof(int) == sizeof(int32_t), "the members below read int32_t fields as T_INT");

PyMemberDef version_members[] = {
    {"major", T_INT, offsetof(MvVersionValue, major), READONLY, "first number"},
    {"minor", T_INT, offsetof(MvVersionValue, minor), READONLY, "second number"},
    {"patch", T_INT, offsetof(MvVersionValue, patch), READONLY, "third number"},
    {"sub", T_INT, offsetof(MvVersionValue, sub), READONLY, "fourth number"},
    {},
};

MvVersionValue* as_version(PyObject* self) { return reinterpret_cast<MvVersionValue*>(self); }

// The four numbers as a tuple, which compares in version order.
PyObject* version_get_view(PyObject* self, void*) {
  MvVersionValue* v = as_version(self);
  return Py_BuildValue("(iiii)", v->major, v->minor, v->patch, v->sub);
}

PyGetSetDef version_getset[] = {
    {"view", version_get_view, nullptr, "(major, minor, patch, sub) as a tuple", nullptr},
    {},
};

void version_dealloc(PyObject* self) {
  Py_CLEAR(as_version(self)->text);
  Py_TYPE(self)->tp_free(self);
}

PyObject* version_str(PyObject* self) {
  PyObject* text = as_version(self)->text;
  if (text == nullptr) {  // only for a value never filled in; be safe rather than crash
    return PyUnicode_FromString("");
  }
  return Py_NewRef(text);
}

PyObject* version_repr(PyObject* self) {
  PyObject* text = as_version(self)->text;
  if (text == nullptr) { return PyUnicode_FromFormat("<%s>", Py_TYPE(self)->tp_name); }
  return PyUnicode_FromFormat("<%s: %U>", Py_TYPE(self)->tp_name, text);
}

// The text for a compiled-in value: the stringized macro without the quotes it
// carries when it was given as a literal, or the dotted numbers.
PyObject* compiled_text(const char* macro_text, const int32_t (&numbers)[4]) {
  if (macro_text == nullptr) {
    return PyUnicode_FromFormat("%d.%d.%d.%d", numbers[0], numbers[1], numbers[2], numbers[3]);
  }
  size_t len = std::strlen(macro_text);
  if (len >= 2 && macro_text[0] == '"' && macro_text[len - 1] == '"') {
    return PyUnicode_FromStringAndSize(macro_text + 1, static_cast<Py_ssize_t>(len - 2));
  }
  return PyUnicode_FromString(macro_text);
}

int add_compiled_value(PyObject* module, PyTypeObject* type, const char* attribute, const int32_t (&numbers)[4],
                       const char* macro_text) {
  PyRef text = PyRef::steal(compiled_text(macro_text, numbers));
  if (!text) { return -1; }
  PyRef value = PyRef::steal(version_value_new(type, numbers[0], numbers[1], numbers[2], numbers[3], text.get()));
  if (!value) { return -1; }
  return PyModule_AddObjectRef(module, attribute, value.get());
}

}  // namespace

int version_type_ready(PyTypeObject* type, const char* qualified_name, Py_ssize_t basic_size) {
  if (type->tp_flags & Py_TPFLAGS_READY) { return 0; }
  type->tp_name = qualified_name;
  type->tp_basicsize = basic_size;
  type->tp_itemsize = 0;
  type->tp_dealloc = version_dealloc;
  type->tp_repr = version_repr;
  type->tp_str = version_str;
  // Not a base type: readers rely on the exact basic size.  No tp_new: values
  // are made by the modules only.
  type->tp_flags = Py_TPFLAGS_DEFAULT;
  type->tp_doc = "Version of a sibling module: major, minor, patch, sub and its text.";
  type->tp_members = version_members;
  type->tp_getset = version_getset;
  return ready_static_type(type);
}

PyObject* version_value_new(PyTypeObject* type, int32_t major, int32_t minor, int32_t patch, int32_t sub,
                            PyObject* text) {
  if (!PyUnicode_Check(text)) {
    PyErr_Format(PyExc_TypeError, "version text must be str, not '%.100s'", Py_TYPE(text)->tp_name);
    return nullptr;
  }
  PyObject* self = type->tp_alloc(type, 0);
  if (self == nullptr) { return nullptr; }
  MvVersionValue* v = as_version(self);
  v->major = major;
  v->minor = minor;
  v->patch = patch;
  v->sub = sub;
  v->text = Py_NewRef(text);
  return self;
}

int add_version_values(PyObject* module, PyTypeObject* type) {
  if (add_compiled_value(module, type, "VERSION", kVersionNumbers, kVersionText) < 0) { return -1; }
  return add_compiled_value(module, type, "_BACKWARD_COMPATIBILITY_THRESHOLD", kThresholdNumbers, kThresholdText);
}

}  // namespace morvax::siblings
