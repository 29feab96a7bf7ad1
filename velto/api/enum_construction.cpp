// Construction of the enumeration classes without the enum module's class-body machinery.
//
// The functional form runs every member through the checks of a class body (the special
// dictionary, a placeholder per member, a search of the bases, a removal and a new
// assignment on the class), then assigns a dozen special methods one by one, and its class
// statement searches every base for every special method to fill the new type's slots.
// The members here are plain upper-case names with 32-bit values, so those checks can
// decide nothing; the builder below writes the finished state directly, from C, in the
// order of the dictionary the enum module's class ends up with: a class whose dictionary
// holds the bookkeeping, made by PyType_FromSpecWithBases so that its slots come from its
// base, then the members themselves, made as the enum module makes them, then the special
// methods and __new__. It mirrors the enum module of Python 3.11; for any member list the checks
// could reject or treat specially, the functional form itself is used.
// tests/python/test_enum_construction.py compares every class, and classes built here from
// member lists of every kind, with what the enum module builds from the same members.
#include "api/enum_construction.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "common/collector_pause.h"
#include "common/py_ref.h"

#if PY_VERSION_HEX < 0x030B0000 || PY_VERSION_HEX >= 0x030C0000
#error "the enumeration builder mirrors the enum module of Python 3.11"
#endif

namespace morvax::api {

namespace {

// The special methods the enum module puts on a new class when it would otherwise inherit
// them from int or object, and the operators every flag class gets from Flag.
constexpr const char* kReplacedMethods[] = {"__repr__", "__str__", "__format__", "__reduce_ex__"};
constexpr const char* kFlagOperators[] = {"__or__",   "__and__",  "__xor__",   "__ror__",
                                          "__rand__", "__rxor__", "__invert__"};

// What one base (IntEnum or IntFlag, from whichever enum module) contributes to every class
// built on it: looked up once per base and kept for the process.
struct BaseFacts {
  PyObject* base = nullptr;
  PyObject* reserved = nullptr;      // frozenset of every name in the bases' dictionaries
  PyObject* inherited = nullptr;     // dict of the special methods the class gets, in order
  PyObject* enumNew = nullptr;       // Enum.__new__
  PyObject* memberNew = nullptr;     // int.__new__, the members' own constructor
  PyObject* generateNext = nullptr;  // base._generate_next_value_
  PyObject* valueRepr = nullptr;     // base._value_repr_
  PyObject* boundary = nullptr;      // base._boundary_, flags only
  bool isFlag = false;
};

// A deque: the facts handed out stay where they are when another base is added.
std::deque<BaseFacts>& KnownBases() {
  static std::deque<BaseFacts>* bases = new std::deque<BaseFacts>();  // kept for the process
  return *bases;
}

PyObject* Text(const char* text) { return PyUnicode_InternFromString(text); }

// The interned names of the class body, made once for the process: hundreds of classes
// name the same twenty keys, each written here as a literal and known by its address.
PyObject* Key(const char* literal) {
  static std::vector<std::pair<const char*, PyObject*>> known;
  for (const auto& [text, key] : known) {
    if (text == literal) return Py_NewRef(key);
  }
  PyObject* key = Text(literal);
  if (key != nullptr) known.emplace_back(literal, Py_NewRef(key));  // held for the process
  return key;
}

// The value of a key given by its literal in a dictionary (borrowed), or null.
PyObject* Entry(PyObject* dict, const char* literal) {
  PyObject* key = Key(literal);
  PyObject* value = key != nullptr ? PyDict_GetItemWithError(dict, key) : nullptr;
  Py_XDECREF(key);
  return value;
}

// Every name defined anywhere along the base's method resolution order.
PyObject* ReservedNames(PyObject* base) {
  PyRef names = PyRef::steal(PySet_New(nullptr));
  if (!names) return nullptr;
  PyObject* mro = reinterpret_cast<PyTypeObject*>(base)->tp_mro;  // borrowed tuple
  for (Py_ssize_t i = 0; mro != nullptr && i < PyTuple_GET_SIZE(mro); ++i) {
    PyObject* dict = reinterpret_cast<PyTypeObject*>(PyTuple_GET_ITEM(mro, i))->tp_dict;
    Py_ssize_t position = 0;
    PyObject *key, *value;
    while (dict != nullptr && PyDict_Next(dict, &position, &key, &value)) {
      if (PySet_Add(names.get(), key) < 0) return nullptr;
    }
  }
  return PyFrozenSet_New(names.get());
}

// The special methods the enum module assigns after creating a class on this base, with
// their values: a replaced method where the base's resolves to int's or object's, and for
// flags Flag's operators. The class body lacks all of them, so what the new class would
// resolve is what the base resolves.
PyObject* InheritedMethods(PyObject* base, PyObject* flagType, bool isFlag) {
  PyRef methods = PyRef::steal(PyDict_New());
  if (!methods) return nullptr;
  for (const char* name : kReplacedMethods) {
    PyRef found = PyRef::steal(PyObject_GetAttrString(base, name));
    PyRef ofInt = PyRef::steal(PyObject_GetAttrString(reinterpret_cast<PyObject*>(&PyLong_Type), name));
    PyRef ofObject = PyRef::steal(PyObject_GetAttrString(reinterpret_cast<PyObject*>(&PyBaseObject_Type), name));
    if (!found || !ofInt || !ofObject) return nullptr;
    PyRef candidates = PyRef::steal(PyTuple_Pack(2, ofInt.get(), ofObject.get()));
    if (!candidates) return nullptr;
    int inheritedFromPlainTypes = PySequence_Contains(candidates.get(), found.get());
    if (inheritedFromPlainTypes < 0) return nullptr;
    // The enum module puts back the first enumeration's own method: the base's, found above.
    if (inheritedFromPlainTypes == 1 && PyDict_SetItemString(methods.get(), name, found.get()) < 0) return nullptr;
  }
  if (isFlag) {
    for (const char* name : kFlagOperators) {
      PyRef method = PyRef::steal(PyObject_GetAttrString(flagType, name));
      if (!method || PyDict_SetItemString(methods.get(), name, method.get()) < 0) return nullptr;
    }
  }
  return methods.release();
}

const BaseFacts* FactsOf(PyObject* base) {
  for (const BaseFacts& facts : KnownBases()) {
    if (facts.base == base) return &facts;
  }
  if (!PyType_Check(base)) {
    PyErr_SetString(PyExc_TypeError, "an enumeration base must be a class");
    return nullptr;
  }
  // The enum module the base comes from, as it is now.
  PyRef moduleName = PyRef::steal(PyObject_GetAttrString(base, "__module__"));
  PyRef enumModule = PyRef::steal(moduleName ? PyImport_GetModule(moduleName.get()) : nullptr);
  if (!enumModule) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_ImportError, "the enum module of the base is not loaded");
    return nullptr;
  }
  PyRef flagType = PyRef::steal(PyObject_GetAttrString(enumModule.get(), "Flag"));
  PyRef enumType = PyRef::steal(PyObject_GetAttrString(enumModule.get(), "Enum"));
  if (!flagType || !enumType) return nullptr;
  int isFlag = PyObject_IsSubclass(base, flagType.get());
  if (isFlag < 0) return nullptr;
  BaseFacts facts;
  facts.isFlag = isFlag == 1;
  facts.reserved = ReservedNames(base);
  facts.inherited = facts.reserved ? InheritedMethods(base, flagType.get(), facts.isFlag) : nullptr;
  facts.enumNew = PyObject_GetAttrString(enumType.get(), "__new__");
  facts.memberNew = PyObject_GetAttrString(reinterpret_cast<PyObject*>(&PyLong_Type), "__new__");
  facts.generateNext = PyObject_GetAttrString(base, "_generate_next_value_");
  facts.valueRepr = PyObject_GetAttrString(base, "_value_repr_");
  facts.boundary = facts.isFlag ? PyObject_GetAttrString(base, "_boundary_") : Py_NewRef(Py_None);
  if (!facts.reserved || !facts.inherited || !facts.enumNew || !facts.memberNew || !facts.generateNext ||
      !facts.valueRepr || !facts.boundary) {
    for (PyObject* held : {facts.reserved, facts.inherited, facts.enumNew, facts.memberNew, facts.generateNext,
                           facts.valueRepr, facts.boundary}) {
      Py_XDECREF(held);
    }
    return nullptr;
  }
  facts.base = Py_NewRef(base);
  KnownBases().push_back(facts);
  return &KnownBases().back();
}

// The enum module's own functional form: base(name, [(member, value), ...], module=module).
PyObject* FunctionalForm(PyObject* base, const char* name, const char* module, const EnumMember* members,
                         size_t count) {
  PyRef pairs = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(count)));
  if (!pairs) return nullptr;
  for (size_t i = 0; i < count; ++i) {
    PyObject* pair = Py_BuildValue("(si)", members[i].name, members[i].value);
    if (pair == nullptr) return nullptr;
    PyTuple_SET_ITEM(pairs.get(), static_cast<Py_ssize_t>(i), pair);  // steals the pair
  }
  PyRef arguments = PyRef::steal(Py_BuildValue("(sO)", name, pairs.get()));
  PyRef keywords = PyRef::steal(Py_BuildValue("{ss}", "module", module));
  if (!arguments || !keywords) return nullptr;
  CollectorResume resume;  // the call runs the enum module's Python code
  return PyObject_Call(base, arguments.get(), keywords.get());
}

// Whether the member names are ones the enum module's checks would pass unchanged: not
// empty, not private or special, not "mro", not a name of the bases, none repeated.
// 1 plain, 0 not, -1 on error. names receives the interned names.
int PlainMemberNames(const BaseFacts& facts, const EnumMember* members, size_t count, PyObject* names) {
  for (size_t i = 0; i < count; ++i) {
    const char* text = members[i].name;
    if (text == nullptr || text[0] == '\0' || text[0] == '_' || std::strcmp(text, "mro") == 0) return 0;
    PyObject* name = Text(text);
    if (name == nullptr) return -1;
    PyTuple_SET_ITEM(names, static_cast<Py_ssize_t>(i), name);  // steals the name
    int reserved = PySet_Contains(facts.reserved, name);
    if (reserved != 0) return reserved < 0 ? -1 : 0;
  }
  // Interned names of equal text are one object: a repeated name is a repeated pointer.
  std::vector<PyObject*> sorted(&PyTuple_GET_ITEM(names, 0), &PyTuple_GET_ITEM(names, 0) + count);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end() ? 1 : 0;
}

bool IsSingleBit(int64_t value) { return value != 0 && (value & (value - 1)) == 0; }

// 2 ** mask.bit_length() - 1, as the enum module computes a flag class's _all_bits_.
PyObject* AllBits(int64_t mask) {
  uint64_t magnitude = mask < 0 ? 0 - static_cast<uint64_t>(mask) : static_cast<uint64_t>(mask);
  int bits = 0;
  while (magnitude != 0) {
    ++bits;
    magnitude >>= 1;
  }
  return PyLong_FromUnsignedLongLong(bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1);
}

// The class body, the start of the dictionary the enum module's class ends up with: the
// bookkeeping, then the documentation and extras. The members follow once the class exists
// (they are its instances), then the special methods and __new__ (FinishClass).
PyObject* ClassBody(const BaseFacts& facts, const char* module, const EnumMember* members, size_t count,
                    PyObject* extras) {
  int64_t mask = 0, singleBits = 0;
  for (size_t i = 0; i < count; ++i) {
    mask |= members[i].value;
    if (IsSingleBit(members[i].value)) singleBits |= members[i].value;
  }
  PyRef body = PyRef::steal(PyDict_New());
  if (!body) return nullptr;
  PyObject* doc = Py_None;
  if (extras != nullptr) {
    doc = Entry(extras, "__doc__");  // borrowed
    if (doc == nullptr) {
      if (PyErr_Occurred()) return nullptr;
      doc = Py_None;
    }
  }
  auto put = [&](const char* key, PyObject* value, bool owned) {
    PyObject* name = value != nullptr ? Key(key) : nullptr;
    int stored = name != nullptr ? PyDict_SetItem(body.get(), name, value) : -1;
    Py_XDECREF(name);
    if (owned) Py_XDECREF(value);
    return stored == 0;
  };
  bool built = put("_generate_next_value_", facts.generateNext, false) &&
               put("__module__", PyUnicode_FromString(module), true) && put("_new_member_", facts.memberNew, false) &&
               put("_use_args_", Py_True, false) && put("_member_names_", PyList_New(0), true) &&
               // Sized for the members up front: filling them then never grows them step by step.
               put("_member_map_", _PyDict_NewPresized(static_cast<Py_ssize_t>(count)), true) &&
               put("_value2member_map_", _PyDict_NewPresized(static_cast<Py_ssize_t>(count)), true) &&
               put("_unhashable_values_", PyList_New(0), true) &&
               put("_member_type_", reinterpret_cast<PyObject*>(&PyLong_Type), false) &&
               put("_value_repr_", facts.valueRepr, false);
  if (built && facts.isFlag) {
    // _flag_mask_ ends as the single bits only; _all_bits_ covers every value.
    built = put("_boundary_", facts.boundary, false) && put("_flag_mask_", PyLong_FromLongLong(singleBits), true) &&
            put("_all_bits_", AllBits(mask), true) && put("_inverted_", Py_None, false);
  }
  built = built && put("__doc__", doc, false);
  if (!built) return nullptr;
  if (extras != nullptr) {
    Py_ssize_t position = 0;
    PyObject *key, *value;
    while (PyDict_Next(extras, &position, &key, &value)) {
      if (PyDict_SetItem(body.get(), key, value) < 0) return nullptr;
    }
  }
  return body.release();
}

// int.__new__(cls, value) for an exact int value, as the interpreter carries it out for a
// subclass of int: an instance of the class's size with a copy of the value's digits (at
// least one, as every int has). The call itself would first parse its arguments and make a
// second int. New reference, or null.
PyObject* NewIntMember(PyTypeObject* cls, PyObject* value) {
  const auto* source = reinterpret_cast<PyLongObject*>(value);
  Py_ssize_t digits = Py_SIZE(source) < 0 ? -Py_SIZE(source) : Py_SIZE(source);
  auto* made = reinterpret_cast<PyLongObject*>(cls->tp_alloc(cls, digits == 0 ? 1 : digits));
  if (made == nullptr) return nullptr;
  Py_SET_SIZE(made, Py_SIZE(source));
  for (Py_ssize_t i = 0; i < (digits == 0 ? 1 : digits); ++i) made->ob_digit[i] = source->ob_digit[i];
  return reinterpret_cast<PyObject*>(made);
}

// The members, made as the enum module makes them (int.__new__ on the class, then _value_,
// _name_, __objclass__ and _sort_order_ in that order), each name entered in the class
// dictionary after those before it.
// iterated receives the values of _member_names_, in order.
bool MakeMembers(PyObject* cls, const BaseFacts& facts, const EnumMember* members, size_t count, PyObject* names,
                 std::vector<int32_t>& iterated) {
  static PyObject* const valueKey = Text("_value_");
  static PyObject* const nameKey = Text("_name_");
  static PyObject* const classKey = Text("__objclass__");
  static PyObject* const orderKey = Text("_sort_order_");
  if (valueKey == nullptr || nameKey == nullptr || classKey == nullptr || orderKey == nullptr) return false;
  PyObject* dict = reinterpret_cast<PyTypeObject*>(cls)->tp_dict;
  PyObject* memberNames = Entry(dict, "_member_names_");  // borrowed
  PyObject* byName = Entry(dict, "_member_map_");         // borrowed
  PyObject* byValue = Entry(dict, "_value2member_map_");  // borrowed
  if (memberNames == nullptr || byName == nullptr || byValue == nullptr) {
    if (PyErr_Occurred()) return false;
    PyErr_SetString(PyExc_SystemError, "the enumeration's bookkeeping is missing");
    return false;
  }
  for (size_t i = 0; i < count; ++i) {
    PyObject* name = PyTuple_GET_ITEM(names, static_cast<Py_ssize_t>(i));  // borrowed
    PyRef value = PyRef::steal(PyLong_FromLong(members[i].value));
    if (!value) return false;
    PyObject* member = PyDict_GetItemWithError(byValue, value.get());  // borrowed: an alias's member
    if (member == nullptr) {
      if (PyErr_Occurred()) return false;
      PyRef made = PyRef::steal(NewIntMember(reinterpret_cast<PyTypeObject*>(cls), value.get()));
      PyRef order = PyRef::steal(PyLong_FromSsize_t(PyList_GET_SIZE(memberNames)));
      // The member's own dictionary, made as an attribute assignment would make it; the
      // class defines none of these four names, so assigning them only stores them there.
      PyRef state = PyRef::steal(made ? PyObject_GenericGetDict(made.get(), nullptr) : nullptr);
      if (!state || !order || PyDict_SetItem(state.get(), valueKey, value.get()) < 0 ||
          PyDict_SetItem(state.get(), nameKey, name) < 0 || PyDict_SetItem(state.get(), classKey, cls) < 0 ||
          PyDict_SetItem(state.get(), orderKey, order.get()) < 0 ||
          PyDict_SetItem(byValue, value.get(), made.get()) < 0) {
        return false;
      }
      if (!facts.isFlag || IsSingleBit(members[i].value)) {
        if (PyList_Append(memberNames, name) < 0) return false;
        iterated.push_back(members[i].value);
      }
      member = made.get();  // held by the value map from here on
    }
    if (PyDict_SetItem(byName, name, member) < 0 || PyDict_SetItem(dict, name, member) < 0) return false;
  }
  return true;
}

// Flag classes iterate a value's members in definition order when that is not value order.
bool PlaceFlagIteration(PyObject* cls, const std::vector<int32_t>& iterated) {
  if (std::is_sorted(iterated.begin(), iterated.end())) return true;
  PyRef byDefinition = PyRef::steal(PyObject_GetAttrString(cls, "_iter_member_by_def_"));
  return byDefinition &&
         PyDict_SetItemString(reinterpret_cast<PyTypeObject*>(cls)->tp_dict, "_iter_member_", byDefinition.get()) == 0;
}

// Whether a special name the builder writes may fill a slot of the type. The class's own
// bookkeeping names and the special methods without a slot are only entries of its
// dictionary: type's attribute assignment would store them there and search the slot
// table for nothing. The names are interned; any other string counts as a slot's.
bool MayFillSlot(PyObject* name) {
  static PyObject* const plain[] = {Text("__module__"), Text("__doc__"), Text("__qualname__"), Text("__format__"),
                                    Text("__reduce_ex__")};  // kept for the process
  for (PyObject* entry : plain) {
    if (entry == name) return false;
  }
  return true;
}

// The class object: a heap type on base with body as its dictionary, of base's metaclass.
//
// The interpreter's class statement (type.__new__) looks every special method name up
// along the whole method resolution order to fill the new type's slots, about 90,000
// instructions per class and most of what building an enumeration costs. A type made by
// PyType_FromSpecWithBases inherits its slots from its base instead, which gives the same slots
// wherever the body defines no special method; the few the body does define that may fill
// a slot are then assigned through type's own attribute assignment, which updates exactly
// their slots.
// The dictionary is the body, in its order, with nothing else in it.
PyObject* CreateClass(PyObject* base, const char* name, const char* module, PyObject* body) {
  std::string qualified = std::string(module) + "." + name;  // copied by the type
  PyType_Slot noSlots[] = {{0, nullptr}};
  PyType_Spec spec = {qualified.c_str(), 0, 0, Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE, noSlots};
  PyRef bases = PyRef::steal(PyTuple_Pack(1, base));
  PyRef cls = PyRef::steal(bases ? PyType_FromSpecWithBases(&spec, bases.get()) : nullptr);
  if (!cls) return nullptr;
  auto* type = reinterpret_cast<PyTypeObject*>(cls.get());
  // Made as an instance of type; it becomes one of the metaclass, which has type's layout
  // (it adds no storage of its own) and which the class now holds a reference to.
  PyTypeObject* metaclass = Py_TYPE(base);
  if (metaclass->tp_basicsize != PyType_Type.tp_basicsize || metaclass->tp_itemsize != PyType_Type.tp_itemsize) {
    PyErr_SetString(PyExc_TypeError, "the enumeration metaclass has a layout of its own");
    return nullptr;
  }
  Py_SET_TYPE(type, reinterpret_cast<PyTypeObject*>(Py_NewRef(reinterpret_cast<PyObject*>(metaclass))));
  // A class statement names the type by its own name alone (messages print it), where a
  // PyType_Spec's name gives the dotted one.
  const char* simpleName = PyUnicode_AsUTF8(reinterpret_cast<PyHeapTypeObject*>(type)->ht_name);
  if (simpleName == nullptr) return nullptr;
  type->tp_name = simpleName;
  PyDict_Clear(type->tp_dict);
  if (PyDict_Update(type->tp_dict, body) < 0) return nullptr;
  Py_ssize_t position = 0;
  PyObject *key, *value;
  while (PyDict_Next(body, &position, &key, &value)) {
    Py_ssize_t length = PyUnicode_GET_LENGTH(key);
    bool special = length > 4 && PyUnicode_READ_CHAR(key, 0) == '_' && PyUnicode_READ_CHAR(key, 1) == '_' &&
                   PyUnicode_READ_CHAR(key, length - 1) == '_' && PyUnicode_READ_CHAR(key, length - 2) == '_';
    if (special && MayFillSlot(key) && PyType_Type.tp_setattro(cls.get(), key, value) < 0) return nullptr;
  }
  PyType_Modified(type);
  return cls.release();
}

// The end of the dictionary, after the members: the special methods the enum module
// assigns, then __new__. Each that may fill a slot goes through type's attribute
// assignment, which enters it after the members and points its slot at it; the others are
// entered directly (the caller empties the lookup cache).
bool FinishClass(PyObject* cls, const BaseFacts& facts) {
  static PyObject* const newKey = Text("__new__");  // kept for the process
  if (newKey == nullptr) return false;
  PyObject* dict = reinterpret_cast<PyTypeObject*>(cls)->tp_dict;
  Py_ssize_t position = 0;
  PyObject *key, *value;
  while (PyDict_Next(facts.inherited, &position, &key, &value)) {
    int stored = MayFillSlot(key) ? PyType_Type.tp_setattro(cls, key, value) : PyDict_SetItem(dict, key, value);
    if (stored < 0) return false;
  }
  return PyType_Type.tp_setattro(cls, newKey, facts.enumNew) == 0;
}

}  // namespace

PyObject* NewEnumClass(PyObject* base, const char* name, const char* module, const EnumMember* members, size_t count,
                       PyObject* extras) {
  const BaseFacts* facts = FactsOf(base);
  if (facts == nullptr) return nullptr;
  PyRef names = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(count)));
  if (!names) return nullptr;
  int plain = PlainMemberNames(*facts, members, count, names.get());
  if (plain < 0) return nullptr;
  if (plain == 0) {
    PyRef cls = PyRef::steal(FunctionalForm(base, name, module, members, count));
    if (!cls) return nullptr;
    return extras == nullptr || AddEnumClassAttributes(cls.get(), extras) == 0 ? cls.release() : nullptr;
  }
  PyRef body = PyRef::steal(ClassBody(*facts, module, members, count, extras));
  if (!body) return nullptr;
  PyRef cls = PyRef::steal(CreateClass(base, name, module, body.get()));
  if (!cls) return nullptr;
  // The members go to the dictionary directly: none of their names is special, so one
  // emptying of the lookup cache at the end stands for the assignments of the enum module.
  std::vector<int32_t> iterated;
  iterated.reserve(count);
  if (!MakeMembers(cls.get(), *facts, members, count, names.get(), iterated) || !FinishClass(cls.get(), *facts) ||
      (facts->isFlag && !PlaceFlagIteration(cls.get(), iterated))) {
    PyType_Modified(reinterpret_cast<PyTypeObject*>(cls.get()));
    return nullptr;
  }
  PyType_Modified(reinterpret_cast<PyTypeObject*>(cls.get()));
  return cls.release();
}

int AddEnumClassAttributes(PyObject* type, PyObject* attributes) {
  auto* cls = reinterpret_cast<PyTypeObject*>(type);
  Py_ssize_t position = 0;
  PyObject *name, *value;
  int result = 0;
  while (result == 0 && PyDict_Next(attributes, &position, &name, &value)) {
    result = PyDict_SetItem(cls->tp_dict, name, value);
  }
  PyType_Modified(cls);
  return result;
}

}  // namespace morvax::api
