// _descriptor_probe: a test-only extension that puts every kind of descriptor of
// interop/descriptors.h into the dictionary of a small static type, Owner, so that the
// Python tests can drive them. The C functions behind the methods report what they were
// given (self, arguments, named arguments, with None for null) and count their calls, so
// a test can tell that a failed check never reached the function.
#include <Python.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "interop/descriptors.h"

namespace {

struct OwnerObject {
  PyObject_HEAD
  PyObject* dict;  // instance attributes, so that tests can build cycles through them
  PyObject* weakreflist;
};

Py_ssize_t g_calls = 0;  // calls that reached any method function below
long g_counter = 0;      // closure of the "counter" field

PyObject* OrNone(PyObject* object) { return object != nullptr ? object : Py_None; }

// Used for the no-arguments and the tuple forms: (self, args, kwargs).
PyObject* record_keywords(PyObject* self, PyObject* args, PyObject* kwargs) {
  ++g_calls;
  return Py_BuildValue("(OOO)", OrNone(self), OrNone(args), OrNone(kwargs));
}

// The one-argument form: (self, argument).
PyObject* record_one(PyObject* self, PyObject* argument) {
  ++g_calls;
  return Py_BuildValue("(OO)", OrNone(self), OrNone(argument));
}

PyObject* mixed_static(PyObject* self, PyObject* args, PyObject* kwargs) {
  ++g_calls;
  return Py_BuildValue("(sOOO)", "static", OrNone(self), OrNone(args), OrNone(kwargs));
}

PyObject* mixed_instance(PyObject* self, PyObject* args, PyObject* kwargs) {
  ++g_calls;
  return Py_BuildValue("(sOOO)", "instance", OrNone(self), OrNone(args), OrNone(kwargs));
}

// The vectorcall form with keywords, recorded as (self, positional tuple, named dict or None).
PyObject* record_vector(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  ++g_calls;
  PyObject* positional = PyTuple_New(nargs);
  if (positional == nullptr) return nullptr;
  for (Py_ssize_t i = 0; i < nargs; ++i) {
    Py_INCREF(args[i]);
    PyTuple_SET_ITEM(positional, i, args[i]);
  }
  PyObject* named = Py_None;
  Py_INCREF(named);
  if (kwnames != nullptr) {
    Py_DECREF(named);
    named = PyDict_New();
    for (Py_ssize_t i = 0; named != nullptr && i < PyTuple_GET_SIZE(kwnames); ++i) {
      if (PyDict_SetItem(named, PyTuple_GET_ITEM(kwnames, i), args[nargs + i]) < 0) Py_CLEAR(named);
    }
  }
  PyObject* record = named != nullptr ? Py_BuildValue("(OOO)", OrNone(self), positional, named) : nullptr;
  Py_DECREF(positional);
  Py_XDECREF(named);
  return record;
}

PyObject* raise_error(PyObject*, PyObject*, PyObject*) {
  ++g_calls;
  PyErr_SetString(PyExc_ValueError, "raised inside the method");
  return nullptr;
}

// Never called: the constructors must refuse its calling convention.
PyObject* fast_call(PyObject*, PyObject* const*, Py_ssize_t) {
  ++g_calls;
  Py_RETURN_NONE;
}

// Field getters: the descriptor must call them with no instance.
PyObject* read_counter(PyObject* self, void* closure) {
  if (self != nullptr) {
    PyErr_SetString(PyExc_AssertionError, "field getter was given an instance");
    return nullptr;
  }
  return PyLong_FromLong(++*static_cast<long*>(closure));
}

PyObject* read_constant(PyObject* self, void*) {
  if (self != nullptr) {
    PyErr_SetString(PyExc_AssertionError, "field getter was given an instance");
    return nullptr;
  }
  return PyUnicode_FromString("constant");
}

PyObject* read_broken(PyObject*, void*) {
  PyErr_SetString(PyExc_LookupError, "raised inside the getter");
  return nullptr;
}

template <typename F>
PyCFunction AsCFunction(F* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(function));
}

PyGetSetDef counter_field = {"counter", read_counter, nullptr, "Counts its reads.", &g_counter};
PyGetSetDef constant_field = {"constant", read_constant, nullptr, "", nullptr};
PyGetSetDef broken_field = {"broken", read_broken, nullptr, nullptr, nullptr};

// Every method definition the probe knows, by name; make_method and make_descriptor look
// them up here. "alias" shares its C function with "noargs" under another record.
PyMethodDef probe_definitions[] = {
    {"noargs", AsCFunction(record_keywords), METH_NOARGS, "Takes no arguments."},
    {"alias", AsCFunction(record_keywords), METH_NOARGS, nullptr},
    {"one", AsCFunction(record_one), METH_O, nullptr},
    {"anyargs", AsCFunction(record_keywords), METH_VARARGS | METH_KEYWORDS, ""},
    {"fails", AsCFunction(raise_error), METH_VARARGS | METH_KEYWORDS, nullptr},
    {"static_one", AsCFunction(record_one), METH_O | METH_STATIC, "Static, one argument."},
    {"static_any", AsCFunction(record_keywords), METH_VARARGS | METH_KEYWORDS | METH_STATIC, nullptr},
    {"static_noargs", AsCFunction(record_keywords), METH_NOARGS | METH_STATIC, nullptr},
    {"mixed", AsCFunction(mixed_static), METH_VARARGS | METH_KEYWORDS | METH_STATIC, "Static overloads."},
    {"mixed_instance", AsCFunction(mixed_instance), METH_VARARGS | METH_KEYWORDS, "Instance overloads."},
    {"fastcall", AsCFunction(fast_call), METH_FASTCALL, nullptr},
    {"vector", AsCFunction(record_vector), METH_FASTCALL | METH_KEYWORDS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyMethodDef* FindDefinition(const char* name) {
  for (PyMethodDef* definition = probe_definitions; definition->ml_name != nullptr; ++definition) {
    if (std::strcmp(definition->ml_name, name) == 0) return definition;
  }
  PyErr_Format(PyExc_KeyError, "no method definition '%s'", name);
  return nullptr;
}

// --- Owner, SubOwner, Unrelated ---------------------------------------------------------

int owner_traverse(PyObject* op, visitproc visit, void* arg) {
  Py_VISIT(reinterpret_cast<OwnerObject*>(op)->dict);
  return 0;
}

int owner_clear(PyObject* op) {
  Py_CLEAR(reinterpret_cast<OwnerObject*>(op)->dict);
  return 0;
}

void owner_dealloc(PyObject* op) {
  PyObject_GC_UnTrack(op);
  if (reinterpret_cast<OwnerObject*>(op)->weakreflist != nullptr) PyObject_ClearWeakRefs(op);
  owner_clear(op);
  Py_TYPE(op)->tp_free(op);
}

PyTypeObject OwnerType = [] {
  PyTypeObject type{PyVarObject_HEAD_INIT(nullptr, 0)};
  type.tp_name = "_descriptor_probe.Owner";
  type.tp_basicsize = sizeof(OwnerObject);
  type.tp_dealloc = owner_dealloc;
  type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC;
  type.tp_traverse = owner_traverse;
  type.tp_clear = owner_clear;
  type.tp_weaklistoffset = offsetof(OwnerObject, weakreflist);
  type.tp_dictoffset = offsetof(OwnerObject, dict);
  type.tp_new = PyType_GenericNew;
  return type;
}();

PyTypeObject SubOwnerType = [] {
  PyTypeObject type{PyVarObject_HEAD_INIT(nullptr, 0)};
  type.tp_name = "_descriptor_probe.SubOwner";
  type.tp_basicsize = sizeof(OwnerObject);
  type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC;
  type.tp_traverse = owner_traverse;
  type.tp_clear = owner_clear;
  type.tp_base = &OwnerType;
  type.tp_new = PyType_GenericNew;
  return type;
}();

PyTypeObject UnrelatedType = [] {
  PyTypeObject type{PyVarObject_HEAD_INIT(nullptr, 0)};
  type.tp_name = "_descriptor_probe.Unrelated";
  type.tp_basicsize = sizeof(PyObject);
  type.tp_flags = Py_TPFLAGS_DEFAULT;
  type.tp_new = PyType_GenericNew;
  return type;
}();

// Stores a new descriptor (stolen; may be null after a failed constructor) in Owner.
int Install(const char* name, PyObject* descriptor) {
  if (descriptor == nullptr) return -1;
  int status = PyDict_SetItemString(OwnerType.tp_dict, name, descriptor);
  Py_DECREF(descriptor);
  return status;
}

int InstallDescriptors() {
  using namespace morvax;
  PyTypeObject* owner = &OwnerType;
  if (Install("counter", NewFieldDescr(owner, &counter_field)) < 0) return -1;
  if (Install("constant", NewFieldDescr(owner, &constant_field)) < 0) return -1;
  if (Install("broken", NewFieldDescr(owner, &broken_field)) < 0) return -1;
  for (const char* name : {"noargs", "alias", "one", "anyargs", "fails"}) {
    PyMethodDef* definition = FindDefinition(name);
    if (definition == nullptr || Install(name, NewInstanceMethodDescr(owner, definition)) < 0) return -1;
  }
  for (const char* name : {"static_one", "static_any", "static_noargs"}) {
    PyMethodDef* definition = FindDefinition(name);
    if (definition == nullptr || Install(name, NewStaticMethodDescr(owner, definition)) < 0) return -1;
  }
  PyMethodDef* staticDefinition = FindDefinition("mixed");
  PyMethodDef* instanceDefinition = FindDefinition("mixed_instance");
  if (staticDefinition == nullptr || instanceDefinition == nullptr) return -1;
  if (Install("mixed", NewMixMethodDescr(owner, staticDefinition, instanceDefinition)) < 0) return -1;
  PyType_Modified(owner);
  return 0;
}

// --- module functions -------------------------------------------------------------------

PyObject* probe_calls(PyObject*, PyObject*) { return PyLong_FromSsize_t(g_calls); }

// make_method(name, instance=None): a method object owned by Owner, straight from the
// constructor (a None instance means none).
PyObject* probe_make_method(PyObject*, PyObject* args) {
  const char* name;
  PyObject* instance = Py_None;
  if (!PyArg_ParseTuple(args, "s|O:make_method", &name, &instance)) return nullptr;
  PyMethodDef* definition = FindDefinition(name);
  if (definition == nullptr) return nullptr;
  return morvax::NewMethodObject(&OwnerType, definition, instance == Py_None ? nullptr : instance);
}

// make_descriptor(kind, name): kind "instance", "static" or "mix" (name used for both
// halves), for the constructors' refusals.
PyObject* probe_make_descriptor(PyObject*, PyObject* args) {
  const char* kind;
  const char* name;
  if (!PyArg_ParseTuple(args, "ss:make_descriptor", &kind, &name)) return nullptr;
  PyMethodDef* definition = FindDefinition(name);
  if (definition == nullptr) return nullptr;
  if (std::strcmp(kind, "instance") == 0) return morvax::NewInstanceMethodDescr(&OwnerType, definition);
  if (std::strcmp(kind, "static") == 0) return morvax::NewStaticMethodDescr(&OwnerType, definition);
  if (std::strcmp(kind, "mix") == 0) return morvax::NewMixMethodDescr(&OwnerType, definition, definition);
  PyErr_Format(PyExc_ValueError, "unknown descriptor kind '%s'", kind);
  return nullptr;
}

// The interpreter's own parser over parameters of the given names, each taking any object
// (the form the bound methods' overloads are parsed with): the text of its error, or None
// when it accepts the arguments.
PyObject* probe_parse_reference(PyObject*, PyObject* args) {
  PyObject *names, *positional, *named;
  if (!PyArg_ParseTuple(args, "O!O!O:parse_reference", &PyTuple_Type, &names, &PyTuple_Type, &positional, &named))
    return nullptr;
  static const char* const kFormats[] = {"", "O", "OO", "OOO"};
  Py_ssize_t count = PyTuple_GET_SIZE(names);
  if (count > 3) return PyErr_Format(PyExc_ValueError, "at most 3 names");
  const char* keywords[4] = {};
  for (Py_ssize_t i = 0; i < count; ++i) {
    keywords[i] = PyUnicode_AsUTF8(PyTuple_GET_ITEM(names, i));
    if (keywords[i] == nullptr) return nullptr;
  }
  PyObject* o[3];
  PyObject* kwargs = named == Py_None ? nullptr : named;
  int parsed = PyArg_ParseTupleAndKeywords(positional, kwargs, kFormats[count], const_cast<char**>(keywords), &o[0],
                                           &o[1], &o[2]);
  if (parsed) Py_RETURN_NONE;
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  PyObject* text = value != nullptr ? PyObject_Str(value) : nullptr;
  Py_XDECREF(type);
  Py_XDECREF(value);
  Py_XDECREF(traceback);
  return text;
}

PyMethodDef probe_methods[] = {
    {"parse_reference", probe_parse_reference, METH_VARARGS, nullptr},
    {"calls", probe_calls, METH_NOARGS, "Number of calls that reached a method function."},
    {"make_method", probe_make_method, METH_VARARGS, nullptr},
    {"make_descriptor", probe_make_descriptor, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef probe_module = {PyModuleDef_HEAD_INIT,
                            "_descriptor_probe",
                            "Test-only host of the morvax.velto descriptor types.",
                            -1,
                            probe_methods,
                            nullptr,
                            nullptr,
                            nullptr,
                            nullptr};

int AddType(PyObject* module, const char* name, PyTypeObject* type) {
  Py_INCREF(type);
  if (PyModule_AddObject(module, name, reinterpret_cast<PyObject*>(type)) < 0) {
    Py_DECREF(type);
    return -1;
  }
  return 0;
}

}  // namespace

PyMODINIT_FUNC PyInit__descriptor_probe() {
  PyObject* module = nullptr;
  if (morvax::ReadyDescriptorTypes() < 0) return nullptr;
  if (PyType_Ready(&OwnerType) < 0) return nullptr;
  // Owner's dictionary is filled once; a second import of the module reuses it.
  if (PyDict_GetItemString(OwnerType.tp_dict, "noargs") == nullptr && InstallDescriptors() < 0) { return nullptr; }
  if (PyType_Ready(&SubOwnerType) < 0 || PyType_Ready(&UnrelatedType) < 0) return nullptr;

  module = PyModule_Create(&probe_module);  // new reference
  if (module == nullptr) return nullptr;
  if (AddType(module, "Owner", &OwnerType) < 0 || AddType(module, "SubOwner", &SubOwnerType) < 0 ||
      AddType(module, "Unrelated", &UnrelatedType) < 0) {
    goto error;
  }
  // The five descriptor types, for identity checks in the tests.
  if (AddType(module, "FieldDescrType", &morvax::FieldDescrType) < 0 ||
      AddType(module, "MixMethodDescrType", &morvax::MixMethodDescrType) < 0 ||
      AddType(module, "InstanceMethodDescrType", &morvax::InstanceMethodDescrType) < 0 ||
      AddType(module, "StaticMethodDescrType", &morvax::StaticMethodDescrType) < 0 ||
      AddType(module, "MethodObjectType", &morvax::MethodObjectType) < 0) {
    goto error;
  }
  return module;

error:
  Py_DECREF(module);
  return nullptr;
}
