// The descriptor types _FieldDescrType, _MixMethodDescrType, _InstanceMethodDescrType,
// _StaticMethodDescrType and the callable they hand out, _MethodObjectType.
//
// The descriptors live in class dictionaries; a method object is made on each binding
// access and holds its owner type and instance. The method and getset definitions are
// the interpreter's own static records and are never owned here.
#include "interop/descriptors.h"

#include "common/py_ref.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvax {

namespace {

struct MethodObject;

// The call routine of a method object: the positional tuple and the dictionary of named
// arguments (or null) exactly as tp_call received them. Returns a new reference or null.
using CallRoutine = PyObject* (*)(MethodObject* self, PyObject* args, PyObject* kwargs);

// What every descriptor carries, as the interpreter's own descriptors share one header:
// the owner type, the name and documentation it shows, and (for the static and mixed
// descriptors) the method object it hands out through the class.
struct DescrObject {
  PyObject_HEAD
  PyTypeObject* owner;  // strong
  const char* name;     // static, not owned
  const char* doc;      // static, not owned; may be null
  PyObject* held;       // strong, or null
};

struct FieldDescrObject : DescrObject {
  PyGetSetDef* definition;  // static, not owned
};

struct MethodDescrObject : DescrObject {
  PyMethodDef* definition;  // static, not owned: the instance overloads, for _MixMethodDescrType
};

struct MethodObject {
  PyObject_HEAD
  PyMethodDef* definition;  // static, not owned
  PyObject* instance;       // strong, or null for an unbound or static method
  PyObject* weakreflist;
  PyTypeObject* owner;  // strong
  CallRoutine call;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Shared helpers

// The method definition's C function under the signature its flags promise. The double
// cast says the real signature is chosen by the flags and keeps -Wcast-function-type quiet.
static PyCFunctionWithKeywords FunctionWithKeywords(const PyMethodDef* definition) {
  return reinterpret_cast<PyCFunctionWithKeywords>(reinterpret_cast<void (*)(void)>(definition->ml_meth));
}

// A definition of the vectorcall form with keywords gets the tuple's items and the named
// arguments' values after them, with their names in a tuple.
static PyObject* CallVectorWithTuple(const PyMethodDef* definition, PyObject* self, PyObject* args, PyObject* kwargs) {
  using VectorFunction = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);
  auto function = reinterpret_cast<VectorFunction>(reinterpret_cast<void (*)()>(definition->ml_meth));
  Py_ssize_t positional = args != nullptr ? PyTuple_GET_SIZE(args) : 0;
  if (kwargs == nullptr || PyDict_GET_SIZE(kwargs) == 0) {
    return function(self, positional != 0 ? &PyTuple_GET_ITEM(args, 0) : nullptr, positional, nullptr);
  }
  Py_ssize_t named = PyDict_GET_SIZE(kwargs);
  PyRef names = PyRef::steal(PyTuple_New(named));
  if (!names) return nullptr;
  // The values are held for the call: code the function runs could change the dictionary.
  std::vector<PyRef> values;
  values.reserve(static_cast<size_t>(named));
  std::vector<PyObject*> items(static_cast<size_t>(positional + named));
  for (Py_ssize_t i = 0; i < positional; ++i) items[i] = PyTuple_GET_ITEM(args, i);
  Py_ssize_t position = 0, i = 0;
  PyObject *key, *value;
  while (i < named && PyDict_Next(kwargs, &position, &key, &value)) {
    Py_INCREF(key);
    PyTuple_SET_ITEM(names.get(), i, key);
    values.push_back(PyRef::borrow(value));
    items[positional + i++] = value;
  }
  return function(self, items.data(), positional, names.get());
}

static PyObject* CallWithTuple(const PyMethodDef* definition, PyObject* self, PyObject* args, PyObject* kwargs) {
  if ((definition->ml_flags & METH_FASTCALL) != 0) return CallVectorWithTuple(definition, self, args, kwargs);
  return FunctionWithKeywords(definition)(self, args, kwargs);
}

static PyObject* CallWithOne(const PyMethodDef* definition, PyObject* self, PyObject* argument) {
  return definition->ml_meth(self, argument);
}

// tp_call hands over null or a dictionary; anything else is treated as named arguments
// present, so the no-keyword routines refuse it instead of passing it on.
static bool HasNamedArguments(PyObject* kwargs) {
  return kwargs != nullptr && (!PyDict_Check(kwargs) || PyDict_GET_SIZE(kwargs) != 0);
}

static PyObject* DocumentationOrNone(const char* doc) {
  if (doc == nullptr || doc[0] == '\0') Py_RETURN_NONE;
  return PyUnicode_FromString(doc);
}

// Error A of __get__: the owner argument is not a type. The interpreter passes null for
// a missing or None owner; that is reported as the None the caller wrote.
static PyObject* RaiseNeedsType(const char* name, PyObject* type) {
  const char* given = type != nullptr ? Py_TYPE(type)->tp_name : Py_TYPE(Py_None)->tp_name;
  PyErr_Format(PyExc_TypeError, "descriptor '%s' needs a type, not '%s', as arg 2", name, given);
  return nullptr;
}

// Error B: obj is not an instance of the owner type or one of its subtypes.
static PyObject* RaiseDoesNotApply(const char* name, PyTypeObject* owner, PyObject* obj) {
  PyErr_Format(PyExc_TypeError, "descriptor '%s' for '%.100s' objects doesn't apply to a '%.100s' object", name,
               owner->tp_name, Py_TYPE(obj)->tp_name);
  return nullptr;
}

// The interpreter's pointer hash: the address rotated right by 4 bits, since the low
// bits of an aligned address are always zero.
static Py_hash_t RotatedAddress(std::uintptr_t address) {
  constexpr unsigned kBits = 8 * sizeof(std::uintptr_t);
  std::uintptr_t rotated = (address >> 4) | (address << (kBits - 4));
  Py_hash_t hash = static_cast<Py_hash_t>(rotated);
  return hash == -1 ? -2 : hash;
}

// Types are readied by ReadyDescriptorTypes; the constructors also ready their own type
// so that a constructor called first cannot allocate from an unready type.
static int EnsureReady(PyTypeObject* type) {
  if (type->tp_flags & Py_TPFLAGS_READY) return 0;
  return PyType_Ready(type);
}

static int CheckOwner(const char* constructor, PyTypeObject* owner) {
  if (owner == nullptr || !PyType_Check(reinterpret_cast<PyObject*>(owner))) {
    PyErr_Format(PyExc_SystemError, "%s: the owner is not a type", constructor);
    return -1;
  }
  return 0;
}

// A definition with the defining-class convention, or the fast-call one without keywords,
// would be called with the wrong signature by every routine here, so it is refused at
// construction. The fast-call form with keywords is called with the tuple's items.
static int CheckMethodDefinition(const char* constructor, const PyMethodDef* definition) {
  if (definition == nullptr || definition->ml_name == nullptr || definition->ml_meth == nullptr) {
    PyErr_Format(PyExc_SystemError, "%s: incomplete method definition", constructor);
    return -1;
  }
  int convention = definition->ml_flags & (METH_FASTCALL | METH_KEYWORDS | METH_METHOD);
  if ((convention & METH_METHOD) != 0 || convention == METH_FASTCALL) {
    PyErr_Format(PyExc_SystemError, "%s: method '%s' uses an unsupported calling convention (flags 0x%x)", constructor,
                 definition->ml_name, definition->ml_flags);
    return -1;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------
// Call routines. "given" counts exclude the instance. None calls the C function after a
// failed check; errors raised by the C function pass through unchanged.

// The fixed forms' checks, in the interpreter's own words: exactly `expected` positional
// arguments (0 for "no arguments", 1 for "one argument"; the instance not counted) and no
// keywords. False with TypeError set.
static bool CheckFixedArguments(const char* name, Py_ssize_t given, Py_ssize_t expected, PyObject* kwargs) {
  if (given != expected) {
    if (expected == 0) {
      PyErr_Format(PyExc_TypeError, "%.200s() takes no arguments (%zd given)", name, given);
    } else {
      PyErr_Format(PyExc_TypeError, "%.200s() takes exactly one argument (%zd given)", name, given);
    }
    return false;
  }
  if (HasNamedArguments(kwargs)) {
    PyErr_Format(PyExc_TypeError, "%.200s() takes no keyword arguments", name);
    return false;
  }
  return true;
}

static PyObject* CallBoundNoArgs(MethodObject* self, PyObject* args, PyObject* kwargs) {
  if (!CheckFixedArguments(self->definition->ml_name, PyTuple_GET_SIZE(args), 0, kwargs)) return nullptr;
  return CallWithTuple(self->definition, self->instance, args, kwargs);
}

static PyObject* CallBoundOne(MethodObject* self, PyObject* args, PyObject* kwargs) {
  if (!CheckFixedArguments(self->definition->ml_name, PyTuple_GET_SIZE(args), 1, kwargs)) return nullptr;
  return CallWithOne(self->definition, self->instance, PyTuple_GET_ITEM(args, 0));
}

static PyObject* CallBoundTuple(MethodObject* self, PyObject* args, PyObject* kwargs) {
  return CallWithTuple(self->definition, self->instance, args, kwargs);
}

// The first positional argument of an unbound call, checked to be an instance of the
// owner type. Borrowed, or null with TypeError set.
static PyObject* UnboundSelf(MethodObject* self, PyObject* args) {
  const char* name = self->definition->ml_name;
  if (PyTuple_GET_SIZE(args) < 1) {
    PyErr_Format(PyExc_TypeError, "unbound method %.200s() needs a 'self' argument", name);
    return nullptr;
  }
  PyObject* first = PyTuple_GET_ITEM(args, 0);
  if (!PyObject_TypeCheck(first, self->owner)) return RaiseDoesNotApply(name, self->owner, first);
  return first;
}

static PyObject* CallUnboundNoArgs(MethodObject* self, PyObject* args, PyObject* kwargs) {
  PyObject* first = UnboundSelf(self, args);  // borrowed
  if (first == nullptr) return nullptr;
  if (!CheckFixedArguments(self->definition->ml_name, PyTuple_GET_SIZE(args) - 1, 0, kwargs)) return nullptr;
  return CallWithTuple(self->definition, first, nullptr, kwargs);
}

static PyObject* CallUnboundOne(MethodObject* self, PyObject* args, PyObject* kwargs) {
  PyObject* first = UnboundSelf(self, args);  // borrowed
  if (first == nullptr) return nullptr;
  if (!CheckFixedArguments(self->definition->ml_name, PyTuple_GET_SIZE(args) - 1, 1, kwargs)) return nullptr;
  return CallWithOne(self->definition, first, PyTuple_GET_ITEM(args, 1));
}

static PyObject* CallUnboundTuple(MethodObject* self, PyObject* args, PyObject* kwargs) {
  PyObject* first = UnboundSelf(self, args);  // borrowed
  if (first == nullptr) return nullptr;
  PyRef rest = PyRef::steal(PyTuple_GetSlice(args, 1, PyTuple_GET_SIZE(args)));
  if (!rest) return nullptr;
  return CallWithTuple(self->definition, first, rest.get(), kwargs);
}

// Flag 32 (static) only says whether an instance is expected; the remaining flags pick
// the form: exactly "no arguments", exactly "one argument", else tuple and dictionary.
static CallRoutine ChooseCallRoutine(const PyMethodDef* definition, bool bound) {
  int form = definition->ml_flags & ~METH_STATIC;
  if (form == METH_NOARGS) return bound ? CallBoundNoArgs : CallUnboundNoArgs;
  if (form == METH_O) return bound ? CallBoundOne : CallUnboundOne;
  return bound ? CallBoundTuple : CallUnboundTuple;
}

// ---------------------------------------------------------------------------------------
// _MethodObjectType

static MethodObject* AsMethod(PyObject* self) { return reinterpret_cast<MethodObject*>(self); }

PyObject* NewMethodObject(PyTypeObject* owner, PyMethodDef* definition, PyObject* instance) {
  static const char kConstructor[] = "NewMethodObject";
  if (CheckOwner(kConstructor, owner) < 0 || CheckMethodDefinition(kConstructor, definition) < 0) { return nullptr; }
  if (EnsureReady(&MethodObjectType) < 0) return nullptr;
  MethodObject* self = PyObject_GC_New(MethodObject, &MethodObjectType);
  if (self == nullptr) return nullptr;
  bool bound = instance != nullptr || (definition->ml_flags & METH_STATIC) != 0;
  self->definition = definition;
  Py_XINCREF(instance);
  self->instance = instance;
  self->weakreflist = nullptr;
  Py_INCREF(owner);
  self->owner = owner;
  self->call = ChooseCallRoutine(definition, bound);
  PyObject_GC_Track(self);
  return reinterpret_cast<PyObject*>(self);
}

static void method_dealloc(PyObject* op) {
  MethodObject* self = AsMethod(op);
  PyObject_GC_UnTrack(op);
  if (self->weakreflist != nullptr) PyObject_ClearWeakRefs(op);
  Py_XDECREF(self->instance);
  Py_XDECREF(self->owner);
  PyObject_GC_Del(op);
}

static int method_traverse(PyObject* op, visitproc visit, void* arg) {
  MethodObject* self = AsMethod(op);
  Py_VISIT(self->instance);
  Py_VISIT(self->owner);
  return 0;
}

static PyObject* method_call(PyObject* op, PyObject* args, PyObject* kwargs) {
  MethodObject* self = AsMethod(op);
  return self->call(self, args, kwargs);
}

static PyObject* method_repr(PyObject* op) {
  MethodObject* self = AsMethod(op);
  const char* name = self->definition->ml_name;
  if (self->instance != nullptr) {
    return PyUnicode_FromFormat("<extension method %s of %s object at %p>", name, Py_TYPE(self->instance)->tp_name,
                                self->instance);
  }
  return PyUnicode_FromFormat("<extension method %s of %s objects>", name, self->owner->tp_name);
}

static PyObject* method_richcompare(PyObject* op, PyObject* other, int compare) {
  if ((compare != Py_EQ && compare != Py_NE) || Py_TYPE(op) != &MethodObjectType ||
      Py_TYPE(other) != &MethodObjectType) {
    Py_RETURN_NOTIMPLEMENTED;
  }
  MethodObject* left = AsMethod(op);
  MethodObject* right = AsMethod(other);
  bool equal = left->instance == right->instance && left->definition->ml_meth == right->definition->ml_meth;
  if (equal == (compare == Py_EQ)) Py_RETURN_TRUE;
  Py_RETURN_FALSE;
}

static Py_hash_t method_hash(PyObject* op) {
  MethodObject* self = AsMethod(op);
  Py_hash_t a = RotatedAddress(reinterpret_cast<std::uintptr_t>(self->instance));
  Py_hash_t b = RotatedAddress(reinterpret_cast<std::uintptr_t>(self->definition->ml_meth));
  Py_hash_t hash = a ^ b;
  return hash == -1 ? -2 : hash;
}

static PyObject* method_get_doc(PyObject* op, void*) { return DocumentationOrNone(AsMethod(op)->definition->ml_doc); }

static PyGetSetDef method_getset[] = {
    {"__doc__", method_get_doc, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyTypeObject MethodObjectType = [] {
  PyTypeObject type{PyVarObject_HEAD_INIT(nullptr, 0)};
  type.tp_name = "morvax.velto._MethodObjectType";
  type.tp_basicsize = sizeof(MethodObject);
  type.tp_dealloc = method_dealloc;
  type.tp_repr = method_repr;
  type.tp_hash = method_hash;
  type.tp_call = method_call;
  type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_GC;
  type.tp_traverse = method_traverse;
  type.tp_richcompare = method_richcompare;
  type.tp_weaklistoffset = offsetof(MethodObject, weakreflist);
  type.tp_getset = method_getset;
  return type;
}();

// ---------------------------------------------------------------------------------------
// The shared descriptor base

static DescrObject* AsDescr(PyObject* self) { return reinterpret_cast<DescrObject*>(self); }

// A new descriptor of the given layout; held (a new reference, or null) moves into it
// whatever happens.
template <typename Layout>
static Layout* NewDescr(PyTypeObject* type, PyTypeObject* owner, const char* name, const char* doc, PyObject* held) {
  Layout* self = EnsureReady(type) < 0 ? nullptr : PyObject_GC_New(Layout, type);
  if (self == nullptr) {
    Py_XDECREF(held);
    return nullptr;
  }
  Py_INCREF(owner);
  self->owner = owner;
  self->name = name;
  self->doc = doc;
  self->held = held;
  return self;
}

static PyObject* Track(DescrObject* self) {
  PyObject_GC_Track(self);
  return reinterpret_cast<PyObject*>(self);
}

static void descr_dealloc(PyObject* op) {
  PyObject_GC_UnTrack(op);
  Py_XDECREF(AsDescr(op)->held);
  Py_XDECREF(AsDescr(op)->owner);
  PyObject_GC_Del(op);
}

static int descr_traverse(PyObject* op, visitproc visit, void* arg) {
  Py_VISIT(AsDescr(op)->owner);
  Py_VISIT(AsDescr(op)->held);
  return 0;
}

static PyObject* attribute_repr(PyObject* op) {
  return PyUnicode_FromFormat("<attribute '%s' of '%s' objects>", AsDescr(op)->name, AsDescr(op)->owner->tp_name);
}

static PyObject* method_descr_repr(PyObject* op) {
  return PyUnicode_FromFormat("<method '%s' of '%s' objects>", AsDescr(op)->name, AsDescr(op)->owner->tp_name);
}

static PyObject* descr_get_doc(PyObject* op, void*) { return DocumentationOrNone(AsDescr(op)->doc); }

static PyGetSetDef descr_getset[] = {
    {"__doc__", descr_get_doc, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// The four descriptor types differ only in their layout, their repr and how they bind.
static PyTypeObject DescriptorType(const char* name, Py_ssize_t size, reprfunc repr, descrgetfunc get) {
  PyTypeObject type{PyVarObject_HEAD_INIT(nullptr, 0)};
  type.tp_name = name;
  type.tp_basicsize = size;
  type.tp_dealloc = descr_dealloc;
  type.tp_repr = repr;
  type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_GC;
  type.tp_traverse = descr_traverse;
  type.tp_getset = descr_getset;
  type.tp_descr_get = get;
  return type;
}

// ---------------------------------------------------------------------------------------
// _FieldDescrType

PyObject* NewFieldDescr(PyTypeObject* owner, PyGetSetDef* definition) {
  static const char kConstructor[] = "NewFieldDescr";
  if (CheckOwner(kConstructor, owner) < 0) return nullptr;
  if (definition == nullptr || definition->name == nullptr || definition->get == nullptr) {
    PyErr_Format(PyExc_SystemError, "%s: incomplete getter definition", kConstructor);
    return nullptr;
  }
  auto* self = NewDescr<FieldDescrObject>(&FieldDescrType, owner, definition->name, definition->doc, nullptr);
  if (self == nullptr) return nullptr;
  self->definition = definition;
  return Track(self);
}

// A class-level property: the instance never reaches the getter.
static PyObject* field_descr_get(PyObject* op, PyObject* /*obj*/, PyObject* type) {
  auto* self = reinterpret_cast<FieldDescrObject*>(op);
  if (type == nullptr || !PyType_Check(type)) return RaiseNeedsType(self->name, type);
  return self->definition->get(nullptr, self->definition->closure);
}

PyTypeObject FieldDescrType =
    DescriptorType("morvax.velto._FieldDescrType", sizeof(FieldDescrObject), attribute_repr, field_descr_get);

// ---------------------------------------------------------------------------------------
// The method descriptors

static MethodDescrObject* AsMethodDescr(PyObject* self) { return reinterpret_cast<MethodDescrObject*>(self); }

// _StaticMethodDescrType: the same method object for every access; the instance is ignored.
PyObject* NewStaticMethodDescr(PyTypeObject* owner, PyMethodDef* definition) {
  PyObject* method = NewMethodObject(owner, definition, nullptr);  // new reference
  if (method == nullptr) return nullptr;
  auto* self =
      NewDescr<MethodDescrObject>(&StaticMethodDescrType, owner, definition->ml_name, definition->ml_doc, method);
  if (self == nullptr) return nullptr;
  self->definition = definition;
  return Track(self);
}

// Through the class only: the method object it holds.
static PyObject* held_descr_get(PyObject* op, PyObject* /*obj*/, PyObject* type) {
  DescrObject* self = AsDescr(op);
  if (type == nullptr || !PyType_Check(type)) return RaiseNeedsType(self->name, type);
  Py_INCREF(self->held);
  return self->held;
}

PyTypeObject StaticMethodDescrType =
    DescriptorType("morvax.velto._StaticMethodDescrType", sizeof(MethodDescrObject), method_descr_repr, held_descr_get);

// _InstanceMethodDescrType
PyObject* NewInstanceMethodDescr(PyTypeObject* owner, PyMethodDef* definition) {
  static const char kConstructor[] = "NewInstanceMethodDescr";
  if (CheckOwner(kConstructor, owner) < 0 || CheckMethodDefinition(kConstructor, definition) < 0) return nullptr;
  auto* self =
      NewDescr<MethodDescrObject>(&InstanceMethodDescrType, owner, definition->ml_name, definition->ml_doc, nullptr);
  if (self == nullptr) return nullptr;
  self->definition = definition;
  return Track(self);
}

// Through the class: the held method object, or else a new unbound one; through an
// instance: a new bound method of the instance definition.
static PyObject* method_descr_get(PyObject* op, PyObject* obj, PyObject* type) {
  MethodDescrObject* self = AsMethodDescr(op);
  if (obj == nullptr) {
    if (type == nullptr || !PyType_Check(type)) return RaiseNeedsType(self->name, type);
    if (self->held != nullptr) {
      Py_INCREF(self->held);
      return self->held;
    }
    return NewMethodObject(self->owner, self->definition, nullptr);
  }
  if (!PyObject_TypeCheck(obj, self->owner)) return RaiseDoesNotApply(self->name, self->owner, obj);
  return NewMethodObject(self->owner, self->definition, obj);
}

PyTypeObject InstanceMethodDescrType = DescriptorType("morvax.velto._InstanceMethodDescrType",
                                                      sizeof(MethodDescrObject), method_descr_repr, method_descr_get);

// _MixMethodDescrType: through the class the static overloads' callable (always the same
// object), through an instance a new bound method of the instance overloads.
PyObject* NewMixMethodDescr(PyTypeObject* owner, PyMethodDef* staticDefinition, PyMethodDef* instanceDefinition) {
  static const char kConstructor[] = "NewMixMethodDescr";
  // Checked before the static method object exists, so a bad instance definition fails
  // here rather than on the first access.
  if (CheckMethodDefinition(kConstructor, instanceDefinition) < 0) return nullptr;
  PyObject* staticMethod = NewMethodObject(owner, staticDefinition, nullptr);  // new reference
  if (staticMethod == nullptr) return nullptr;
  auto* self = NewDescr<MethodDescrObject>(&MixMethodDescrType, owner, instanceDefinition->ml_name,
                                           instanceDefinition->ml_doc, staticMethod);
  if (self == nullptr) return nullptr;
  self->definition = instanceDefinition;
  return Track(self);
}

PyTypeObject MixMethodDescrType =
    DescriptorType("morvax.velto._MixMethodDescrType", sizeof(MethodDescrObject), method_descr_repr, method_descr_get);

// ---------------------------------------------------------------------------------------

int ReadyDescriptorTypes() {
  static PyTypeObject* const kTypes[] = {&MethodObjectType, &FieldDescrType, &MixMethodDescrType,
                                         &InstanceMethodDescrType, &StaticMethodDescrType};
  for (PyTypeObject* type : kTypes) {
    if (EnsureReady(type) < 0) return -1;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------
// Members of classes that live as long as the process

namespace {

bool IsInterpreterMember(PyTypeObject* type) {
  return type == &PyMethodDescr_Type || type == &PyGetSetDescr_Type || type == &PyWrapperDescr_Type ||
         type == &PyMemberDescr_Type || type == &PyCFunction_Type || type == &PyStaticMethod_Type;
}

bool IsOwnDescriptor(PyTypeObject* type) {
  return type == &FieldDescrType || type == &MixMethodDescrType || type == &InstanceMethodDescrType ||
         type == &StaticMethodDescrType;
}

// The function a static method of the interpreter wraps (borrowed), or null.
PyObject* WrappedFunction(PyObject* staticMethod, PyTypeObject* owner) {
  PyObject* function = PyStaticMethod_Type.tp_descr_get(staticMethod, nullptr, reinterpret_cast<PyObject*>(owner));
  if (function == nullptr) {
    PyErr_Clear();
    return nullptr;
  }
  Py_DECREF(function);  // the static method keeps it
  return function;
}

// Untracks (track false) or tracks again (track true) a member and what it alone holds.
void SetMemberTracking(PyObject* member, PyTypeObject* owner, bool track) {
  auto set = [track](PyObject* object) {
    if (object == nullptr || PyObject_GC_IsTracked(object) == track) return;
    if (track) {
      PyObject_GC_Track(object);
    } else {
      PyObject_GC_UnTrack(object);
    }
  };
  PyTypeObject* type = Py_TYPE(member);
  if (type == &PyStaticMethod_Type) {
    PyObject* function = WrappedFunction(member, owner);
    if (function != nullptr && PyCFunction_CheckExact(function)) set(function);
  } else if (IsOwnDescriptor(type)) {
    PyObject* held = AsDescr(member)->held;
    if (held != nullptr && Py_IS_TYPE(held, &MethodObjectType)) set(held);
  } else if (!IsInterpreterMember(type)) {
    return;
  }
  set(member);
}

}  // namespace

void UntrackPermanentClassDict(PyTypeObject* type) {
  PyObject* dict = type->tp_dict;
  if (dict == nullptr) return;
  Py_ssize_t position = 0;
  PyObject *name, *value;
  while (PyDict_Next(dict, &position, &name, &value)) SetMemberTracking(value, type, false);
  if (PyObject_GC_IsTracked(dict)) PyObject_GC_UnTrack(dict);
}

void UntrackPermanentClassMember(PyObject* member, PyTypeObject* owner) { SetMemberTracking(member, owner, false); }

int ReplacePermanentClassMember(PyTypeObject* type, const char* name, PyObject* value) {
  PyObject* previous = PyDict_GetItemString(type->tp_dict, name);  // borrowed
  if (previous != nullptr) SetMemberTracking(previous, type, true);
  return PyDict_SetItemString(type->tp_dict, name, value);
}

}  // namespace morvax
