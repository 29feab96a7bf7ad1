// Construction of the enumeration classes without the enum module's class-body machinery.
//
// The functional form runs every member through the checks of a class body (the special
// dictionary, a placeholder per member, a search of the bases, a removal and a new
// assignment on the class): about a millisecond per class on a busy machine. The members
// here are plain upper-case names with 32-bit values, so those checks can decide nothing;
// the builder below writes the finished state directly: the same class dictionary in the
// same order, the same members with the same attributes, the same flag bookkeeping. It
// mirrors the enum module of Python 3.11; on any other version, and for any member list
// the checks could reject or treat specially, the functional form itself is used.
// tests/python/test_enum_construction.py compares every class with what the enum module
// builds from the same members.
#include "api/enum_construction.h"

#include "common/py_ref.h"

namespace morvax::api {

namespace {

constexpr const char kBuilderSource[] = R"PY(
import sys as _sys

_reserved_by_base = {}


def build(base, name, module, members):
    if _sys.version_info[:2] != (3, 11):
        return None
    # The enum module the base comes from, as it is now (not as it was at compile time).
    _enum = _sys.modules[base.__module__]
    reserved = _reserved_by_base.get(base)
    if reserved is None:
        reserved = _reserved_by_base[base] = frozenset(
            key for klass in base.__mro__ for key in klass.__dict__)
    mask = 0
    for member_name, value in members:
        if (type(member_name) is not str or type(value) is not int or not member_name
                or member_name[0] == '_' or member_name == 'mro' or member_name in reserved):
            return None
        mask |= value
    if len({member_name for member_name, _ in members}) != len(members):
        return None
    flag_type = _enum.Flag
    is_flag = issubclass(base, flag_type)
    body = {
        '_generate_next_value_': base._generate_next_value_,
        '__module__': module,
        '_new_member_': int.__new__,
        '_use_args_': True,
        '_member_names_': [],
        '_member_map_': {},
        '_value2member_map_': {},
        '_unhashable_values_': [],
        '_member_type_': int,
        '_value_repr_': base._value_repr_,
    }
    if is_flag:
        body['_boundary_'] = base._boundary_
        body['_flag_mask_'] = mask
        body['_all_bits_'] = 2 ** mask.bit_length() - 1
        body['_inverted_'] = None
    body['__doc__'] = None
    cls = type.__new__(type(base), name, (base,), body)
    # The metaclass's own __setattr__ only guards members against reassignment.
    assign = type.__setattr__
    names = body['_member_names_']
    by_name = body['_member_map_']
    by_value = body['_value2member_map_']
    single_bit = _enum._is_single_bit
    for member_name, value in members:
        member = by_value.get(value)
        if member is None:
            member = int.__new__(cls, value)
            member._value_ = value
            member._name_ = member_name
            member.__objclass__ = cls
            member._sort_order_ = len(names)
            by_value[value] = member
            if not is_flag or single_bit(value):
                names.append(member_name)
        by_name[member_name] = member
    # Placed only now, all at once: an assignment to the class empties the interpreter's
    # lookup cache for it, which the attribute stores on the members above rely on.
    _place_members(cls, by_name)
    for method in ('__repr__', '__str__', '__format__', '__reduce_ex__'):
        if getattr(cls, method) in (getattr(int, method), getattr(object, method)):
            assign(cls, method, getattr(base, method))
    if is_flag:
        for method in ('__or__', '__and__', '__xor__', '__ror__', '__rand__', '__rxor__', '__invert__'):
            assign(cls, method, getattr(flag_type, method))
    assign(cls, '__new__', _enum.Enum.__new__)
    if is_flag:
        single_bits = 0
        for member in by_name.values():
            if single_bit(member._value_):
                single_bits |= member._value_
        assign(cls, '_flag_mask_', single_bits)
        values = [by_name[member_name]._value_ for member_name in names]
        if values != sorted(values):
            assign(cls, '_iter_member_', cls._iter_member_by_def_)
    return cls
)PY";

// _place_members(cls, members): what type.__setattr__ does for each member, for all of
// them together: the name interned as the class dictionary's key, the member stored under
// it in order, and the class's lookup cache emptied once at the end rather than per member.
// The names are plain upper-case ones (the builder checked), so no slot depends on them.
PyObject* PlaceMembers(PyObject*, PyObject* args) {
  PyObject *cls, *members;
  if (!PyArg_ParseTuple(args, "O!O!:_place_members", &PyType_Type, &cls, &PyDict_Type, &members)) return nullptr;
  auto* type = reinterpret_cast<PyTypeObject*>(cls);
  if ((type->tp_flags & Py_TPFLAGS_HEAPTYPE) == 0 || type->tp_dict == nullptr) {
    PyErr_SetString(PyExc_TypeError, "_place_members: not a class made here");
    return nullptr;
  }
  Py_ssize_t position = 0;
  PyObject *name, *member;
  while (PyDict_Next(members, &position, &name, &member)) {
    if (!PyUnicode_CheckExact(name)) {
      PyErr_SetString(PyExc_TypeError, "_place_members: member names must be str");
      return nullptr;
    }
    Py_INCREF(name);
    PyUnicode_InternInPlace(&name);
    int stored = PyDict_SetItem(type->tp_dict, name, member);
    Py_DECREF(name);
    if (stored < 0) return nullptr;
  }
  PyType_Modified(type);
  Py_RETURN_NONE;
}

PyMethodDef kPlaceMembers = {"_place_members", PlaceMembers, METH_VARARGS, nullptr};

// The builder function, compiled on first use and kept for the process.
PyObject* Builder() {
  static PyObject* builder = nullptr;
  if (builder != nullptr) return builder;
  PyRef code = PyRef::steal(Py_CompileString(kBuilderSource, "<morvax.velto enumerations>", Py_file_input));
  if (!code) return nullptr;
  PyRef globals = PyRef::steal(PyDict_New());
  if (!globals || PyDict_SetItemString(globals.get(), "__builtins__", PyEval_GetBuiltins()) < 0) return nullptr;
  PyRef placeMembers = PyRef::steal(PyCFunction_New(&kPlaceMembers, nullptr));
  if (!placeMembers || PyDict_SetItemString(globals.get(), "_place_members", placeMembers.get()) < 0) return nullptr;
  PyRef done = PyRef::steal(PyEval_EvalCode(code.get(), globals.get(), globals.get()));
  if (!done) return nullptr;
  PyObject* function = PyDict_GetItemString(globals.get(), "build");  // borrowed
  if (function == nullptr) {
    PyErr_SetString(PyExc_SystemError, "the enumeration builder is missing");
    return nullptr;
  }
  Py_INCREF(function);
  builder = function;
  return builder;
}

// The enum module's own functional form.
PyObject* FunctionalForm(PyObject* base, const char* name, const char* module, PyObject* members) {
  PyRef arguments = PyRef::steal(Py_BuildValue("(sO)", name, members));
  if (!arguments) return nullptr;
  PyRef keywords = PyRef::steal(Py_BuildValue("{ss}", "module", module));
  if (!keywords) return nullptr;
  return PyObject_Call(base, arguments.get(), keywords.get());
}

}  // namespace

PyObject* NewEnumClass(PyObject* base, const char* name, const char* module, PyObject* members) {
  PyObject* builder = Builder();  // borrowed
  if (builder == nullptr) return nullptr;
  PyRef nameText = PyRef::steal(PyUnicode_FromString(name));
  PyRef moduleText = PyRef::steal(PyUnicode_FromString(module));
  if (!nameText || !moduleText) return nullptr;
  PyObject* built = PyObject_CallFunctionObjArgs(builder, base, nameText.get(), moduleText.get(), members, nullptr);
  if (built != Py_None) return built;  // the class, or null with the error
  Py_DECREF(built);
  return FunctionalForm(base, name, module, members);
}

int SetEnumClassAttribute(PyObject* type, PyObject* name, PyObject* value) {
  PyObject* members = PyDict_GetItemString(reinterpret_cast<PyTypeObject*>(type)->tp_dict, "_member_map_");
  bool isMember = members != nullptr && PyDict_Check(members) && PyDict_Contains(members, name) != 0;
  // A member's name goes the long way, for the class's own refusal.
  if (isMember) return PyObject_SetAttr(type, name, value);
  return PyType_Type.tp_setattro(type, name, value);
}

}  // namespace morvax::api
