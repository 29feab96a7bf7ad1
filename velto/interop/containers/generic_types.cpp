// The typed adapter types of morvax.velto._wrpgen._generic and the typed .NET classes behind
// them, both built from the generated tables (generic_catalogue.cpp) once, at module
// creation. A typed type reuses its untyped counterpart's protocol (list_protocol.cpp,
// iteration.cpp); what is its own: the readiness of its element's typed classes, the casting
// services of its element's class, and enumerators of its element's iterator type.
#include "interop/containers/generic_types.h"

#include <climits>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "common/py_ref.h"
#include "common/reporters.h"
#include "common/sibling_apis.h"
#include "host/delegate_table.h"
#include "interop/containers/casting_services.h"
#include "interop/containers/iteration.h"
#include "interop/converters.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"
#include "interop/type_registry.h"

namespace morvax::containers {

namespace {

constexpr size_t kClassKinds = static_cast<size_t>(GenericClass::Count);

// --- the typed .NET classes ------------------------------------------------------------

struct BoundGeneric {
  std::once_flag once;
  host::ApiDelegateTable table;
  void* slots[kMaxGenericEntries] = {};
};

BoundGeneric& BoundClass(int cls) {
  static std::unique_ptr<BoundGeneric[]> classes(new BoundGeneric[kGenericClassCount]);
  return classes[cls];
}

// The class of a kind over an element, or -1: kept as one row of class indices per element.
int ClassOf(int element, GenericClass kind) {
  static const std::vector<int> index = [] {
    std::vector<int> rows(static_cast<size_t>(kGenericElementCount) * kClassKinds, -1);
    for (int i = 0; i < kGenericClassCount; ++i)
      rows[kGenericClasses[i].element * kClassKinds + static_cast<size_t>(kGenericClasses[i].kind)] = i;
    return rows;
  }();
  return index[element * kClassKinds + static_cast<size_t>(kind)];
}

const host::ApiDelegateTable& TableOf(int cls) {
  BoundGeneric& bound = BoundClass(cls);
  std::call_once(bound.once, [&] {
    const GenericClassSpec& spec = kGenericClasses[cls];
    bound.table.assemblyName = host::kInteropAssembly;
    for (int i = 0; i < kMaxGenericEntries && spec.entries[i] != nullptr; ++i) {
      if (!host::BindEntry(host::kInteropAssembly, spec.interopName, spec.entries[i], &bound.slots[i],
                           bound.table.errorText)) {
        bound.table.failed = true;
        return;
      }
    }
  });
  return bound.table;
}

// The bound entry of a class by name, or null when the class does not have it.
void* EntryOf(int cls, const char* name) {
  const GenericClassSpec& spec = kGenericClasses[cls];
  for (int i = 0; i < kMaxGenericEntries && spec.entries[i] != nullptr; ++i)
    if (std::strcmp(spec.entries[i], name) == 0) return BoundClass(cls).slots[i];
  return nullptr;
}

// --- the typed adapter types -----------------------------------------------------------

struct KindSpec {
  const char* prefix;
  GenericClass own;  // serves the casting services
  std::initializer_list<GenericClass> typed;
  Adapter untyped;  // whose protocol the type uses
  std::initializer_list<Adapter> interfaces;
};

// Lists use the list protocol of _IListWrapper: the untyped list class serves both.
const KindSpec kKinds[] = {
    {"_ArrayWrapper_",
     GenericClass::Array,
     {GenericClass::Array, GenericClass::Enumerable},
     Adapter::Array,
     {Adapter::Iterable, Adapter::ICol, Adapter::IList}},
    {"_IListWrapper_",
     GenericClass::CntList,
     {GenericClass::CntCollection, GenericClass::CntList, GenericClass::Enumerable},
     Adapter::IList,
     {Adapter::Iterable}},
    {"_ListWrapper_",
     GenericClass::List,
     {GenericClass::List, GenericClass::Enumerable},
     Adapter::IList,
     {Adapter::Iterable, Adapter::ICol, Adapter::IList}},
    {"_IterWrapper_",
     GenericClass::Enumerator,
     {GenericClass::Enumerator},
     Adapter::Iter,
     {Adapter::Iter, Adapter::Disposable}},
    {"_IterableWrapper_", GenericClass::Enumerable, {GenericClass::Enumerable}, Adapter::Iterable, {Adapter::Iterable}},
};

const KindSpec& KindOf(int type) { return kKinds[static_cast<int>(kGenericTypes[type].kind)]; }
int OwnClass(int type) { return ClassOf(kGenericTypes[type].element, KindOf(type).own); }

// An array or enumerator type over a class element reads its items through its own typed
// class, which hands each item over as a handle: with type key 0 when it is of the element's
// class (it is then wrapped as that class, whatever its own class), with its run-time key
// otherwise (an element that is an interface, or a container seen through another type).
// entry is bound on first use (the type exists only once its classes are bound); cls is -1
// for the other types.
struct TypedRead {
  int cls = -1;
  int element = -1;
  void* entry = nullptr;
  PyTypeObject* passed = nullptr;  // the element's class, once its creation slot let a wrapper through
};

// Each typed type with its read right behind it: the step of a typed enumerator finds the
// read at a fixed offset from its own type, without working out the type's index.
struct GenericTypeSlot {
  PyTypeObject type;  // first: a slot's address is its type's
  TypedRead read;
};
static_assert(std::is_standard_layout_v<GenericTypeSlot>, "a type's address must be its slot's");

// Made once, at namespace scope: IndexOfType is asked for every item a typed adapter reads.
std::unique_ptr<GenericTypeSlot[]> g_genericSlots(new GenericTypeSlot[kGenericTypeCount]());
bool g_readsFilled = false;

PyTypeObject* TypeAt(int index) { return &g_genericSlots[index].type; }
TypedRead& ReadAt(int index) { return g_genericSlots[index].read; }
// The read of a typed type (which must be one of the typed types).
TypedRead& ReadOfType(PyTypeObject* type) { return reinterpret_cast<GenericTypeSlot*>(type)->read; }

int IndexOfType(PyTypeObject* type) {
  auto address = reinterpret_cast<uintptr_t>(type);
  auto first = reinterpret_cast<uintptr_t>(g_genericSlots.get());
  if (address < first || address >= first + kGenericTypeCount * sizeof(GenericTypeSlot)) return -1;
  return static_cast<int>((address - first) / sizeof(GenericTypeSlot));
}

// The reads are filled at registration (read for every item, so not lazily).
void FillTypedReads() {
  for (int i = 0; i < kGenericTypeCount; ++i) {
    GenericKind kind = kGenericTypes[i].kind;
    if (kGenericElements[kGenericTypes[i].element].family != ElementFamily::Class) continue;
    ReadAt(i).element = kGenericTypes[i].element;
    if (kind == GenericKind::Array) ReadAt(i).cls = ClassOf(kGenericTypes[i].element, GenericClass::Array);
    if (kind == GenericKind::Iter) ReadAt(i).cls = ClassOf(kGenericTypes[i].element, GenericClass::Enumerator);
  }
  g_readsFilled = true;
}

// The untyped classes the protocol goes through, per untyped adapter.
std::initializer_list<InteropClass> UntypedTables(Adapter adapter) {
  static const std::initializer_list<InteropClass> array = {InteropClass::Array, InteropClass::Enumerable},
                                                   list = {InteropClass::CntCollection, InteropClass::CntList,
                                                           InteropClass::Enumerable},
                                                   iter = {InteropClass::Enumerator},
                                                   iterable = {InteropClass::Enumerable};
  switch (adapter) {
    case Adapter::Array:
      return array;
    case Adapter::IList:
      return list;
    case Adapter::Iter:
      return iter;
    default:
      return iterable;
  }
}

// The element's own class first (its failure is reported as it is), then the others, chained.
bool TypeReady(int type) {
  if (RefuseInForkedChild()) return false;
  int own = OwnClass(type);
  for (GenericClass kind : KindOf(type).typed) {
    int cls = ClassOf(kGenericTypes[type].element, kind);
    if (cls < 0) continue;
    const host::ApiDelegateTable& table = TableOf(cls);
    if (table.failed) {
      PyErr_SetString(PyExc_TypeError, table.errorText.c_str());
      if (cls != own) RaiseChained(PyExc_TypeError, "one or more refereced type is not initialized");
      return false;
    }
  }
  auto untyped = UntypedTables(KindOf(type).untyped);
  return Ready(untyped, InteropClass::Count);
}

PyObject* GenericNew(PyTypeObject* type, PyObject*, PyObject*) {
  int index = IndexOfType(type);
  if (index < 0 || !TypeReady(index)) return nullptr;
  PyObject* self = type->tp_alloc(type, 0);
  if (self != nullptr) reinterpret_cast<PyHostObject*>(self)->handle = 0;
  return self;
}

// iter() of a typed collection: its element's enumerable.
PyObject* IterateTyped(PyObject* self) {
  int type = IndexOfType(Py_TYPE(self));
  int cls = ClassOf(kGenericTypes[type].element, GenericClass::Enumerable);
  if (cls < 0 || TableOf(cls).failed) return IterateAdapter(self);
  return IterateElements(HandleOf(self), kGenericTypes[type].element);
}

// --- typed reads of class elements ----------------------------------------------------------

// The Python class of a class element, looked up by its .NET name once it is first needed.
PyTypeObject* ElementClass(int element) {
  static std::vector<PyTypeObject*> classes(kGenericElementCount, nullptr);
  if (classes[element] == nullptr)
    classes[element] = HostTypeRegistry::Instance().Find(ToU16(kGenericElements[element].netName));
  return classes[element];
}

// Per class element, whether its class's creation slot has let a wrapper through (a gate once
// passed stays passed): from then on its items are made in kept blocks without the slot.
std::vector<char>& PassedElements() {
  static std::vector<char> passed(kGenericElementCount, 0);
  return passed;
}

// A new wrapper of the element's declared class for an owned handle (not 0), or null with an
// error; the handle is released whenever no wrapper holds it.
PyObject* WrapDeclared(int element, uint32_t handle) {
  PyTypeObject* cls = ElementClass(element);
  if (cls == nullptr) {
    ReleaseHandle(handle);
    PyErr_Format(PyExc_SystemError, "no Python class for %s", kGenericElements[element].netName);
    return nullptr;
  }
  char& passed = PassedElements()[element];
  if (passed) return WrapPassedType(handle, cls);
  PyObject* wrapper = WrapHandle(handle, cls);
  if (wrapper != nullptr && cls->tp_alloc == HostObjectAlloc &&
      cls->tp_basicsize == static_cast<Py_ssize_t>(sizeof(PyHostObject)))
    passed = 1;
  return wrapper;
}

// The read of a typed type over a class element, or null for other types (type -1: none).
TypedRead* TypedReadOf(int type) {
  if (type < 0 || ReadAt(type).cls < 0) return nullptr;
  TypedRead& read = ReadAt(type);
  if (read.entry == nullptr)
    read.entry = EntryOf(read.cls, kGenericTypes[type].kind == GenericKind::Array ? "SqGetItem" : "MoveNext");
  return &read;
}

// WrapHandedItem of an item of the element's class other than in a kept block.
PyObject* WrapDeclaredItem(TypedRead& read, uint32_t handle) {
  PyObject* wrapper = WrapDeclared(read.element, handle);
  if (wrapper != nullptr && PassedElements()[read.element]) read.passed = Py_TYPE(wrapper);
  return wrapper;
}

// A new wrapper for a handed-over item (its handle is owned from here), or null with an error:
// an item of the element's class (key 0) is made in a kept block once the class has passed.
inline PyObject* WrapHandedItem(TypedRead& read, const ItemRef& item) {
  if (item.handle == 0) Py_RETURN_NONE;
  if (item.typeKey != 0) return MakeItemWrapper(item.handle, item.typeKey);
  if (read.passed != nullptr && detail::g_keptCount != 0) return detail::FromKeptBlock(read.passed, item.handle);
  return WrapDeclaredItem(read, item.handle);
}

// next() of a typed enumerator over a class element: one crossing per item, which hands the
// item over as a handle. The type's read is there: only such types get this slot.
PyObject* NextHandedItem(PyObject* self) {
  if (RefuseInForkedChild()) return nullptr;
  // Only the typed types have this slot: their read is right behind the type.
  TypedRead& read = ReadOfType(Py_TYPE(self));
  if (read.entry == nullptr) TypedReadOf(IndexOfType(Py_TYPE(self)));
  // The entry writes the whole record for an item (status 0); the handle is read on failure.
  ItemRef item;
  item.handle = 0;
  int32_t status = reinterpret_cast<int32_t (*)(uint32_t, ItemRef*)>(read.entry)(HandleOf(self), &item);
  if (status == 0 && !PyErr_Occurred()) return WrapHandedItem(read, item);
  ReleaseHandle(item.handle);
  if (PyErr_Occurred()) return nullptr;
  if (status == 1) {
    PyErr_SetNone(PyExc_StopIteration);
  } else {
    PyErr_Format(PyExc_RuntimeError, "MoveNext reported status %d without an error", status);
  }
  return nullptr;
}

// --- casting services: each static method is bound to its type's index ------------------

int BoundIndex(PyObject* bound) { return static_cast<int>(PyLong_AsLong(bound)); }

template <typename Entry>
Entry Service(int type, const char* name) {
  return reinterpret_cast<Entry>(EntryOf(OwnClass(type), name));
}

PyObject* TypeOfMethod(PyObject* bound, PyObject*) {
  int type = BoundIndex(bound);
  if (!TypeReady(type)) return nullptr;
  return TypeOfService(Service<TypeOfEntry>(type, "btp_TypeOf"));
}

PyObject* CastToMethod(PyObject* bound, PyObject* object) {
  int type = BoundIndex(bound);
  if (!TypeReady(type)) return nullptr;
  return CastToService(Service<CastToEntry>(type, "btp_CastTo"), object, TypeAt(type));
}

PyObject* CastAsMethod(PyObject* bound, PyObject* object) {
  int type = BoundIndex(bound);
  if (!TypeReady(type)) return nullptr;
  return CastAsService(Service<HandleOutEntry>(type, "btp_CastAs"), object, TypeAt(type));
}

PyObject* IsAssignableMethod(PyObject* bound, PyObject* object) {
  int type = BoundIndex(bound);
  if (!TypeReady(type)) return nullptr;
  return IsAssignableService(Service<AssignableEntry>(type, "btp_IsAssignable"), object);
}

PyObject* ReinterpretMethod(PyObject* bound, PyObject* object) {
  int type = BoundIndex(bound);
  if (!TypeReady(type)) return nullptr;
  return ReinterpretService(Service<HandleOutEntry>(type, "btp_ReInterpretObj"), object, TypeAt(type));
}

template <typename Function>
PyCFunction AsMethod(Function* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

// In the order every typed type lists them first; the static ones are bound to the type's index.
PyMethodDef kCastingMethods[] = {
    {"get_type", AsMethod(&HostObjectGetType), METH_NOARGS, "The .NET type of this object."},
    {"_type_of", AsMethod(&TypeOfMethod), METH_NOARGS, "The .NET type this adapter serves."},
    {"_cast_to", AsMethod(&CastToMethod), METH_O, "The object seen as this adapter."},
    {"_cast_from", AsMethod(&CastFromService), METH_O, "This object seen as the target class."},
    {"_reinterpret_obj", AsMethod(&ReinterpretMethod), METH_O,
     "A wrapper of this adapter for the same .NET object, without a check."},
    {"_cast_as", AsMethod(&CastAsMethod), METH_O,
     "The object seen as this adapter, or an empty result when it is not one."},
    {"_is_assignable", AsMethod(&IsAssignableMethod), METH_O,
     "Whether the object is an instance of the .NET type this adapter serves."},
};
bool IsInstanceMethod(const PyMethodDef& m) {
  return m.ml_meth == AsMethod(&HostObjectGetType) || m.ml_meth == AsMethod(&CastFromService);
}

// The _IListWrapper_ order of the list methods.
const char* const kIListOrder[] = {"extend",  "insert", "pop",    "index",  "count", "sort",
                                   "reverse", "copy",   "append", "remove", "clear", "contains"};

PyMethodDef* OwnMethods(GenericKind kind) {
  static std::vector<PyMethodDef> ilist;
  switch (kind) {
    case GenericKind::Array:
      return kArrayMethods;
    case GenericKind::List:
      return kArrListMethods;
    case GenericKind::Iter:
      return kDisposableMethods;
    case GenericKind::Iterable:
      return nullptr;
    case GenericKind::IList:
      if (ilist.empty()) {
        for (const char* name : kIListOrder)
          for (const PyMethodDef* m = kListMethods; m->ml_name != nullptr; ++m)
            if (std::strcmp(m->ml_name, name) == 0) ilist.push_back(*m);
        ilist.push_back({nullptr, nullptr, 0, nullptr});
      }
      return ilist.data();
  }
  return nullptr;
}

// The casting methods go into the dictionary before the type is readied, so they come first.
int FillCastingMethods(int index, PyTypeObject* type) {
  PyRef dict = PyRef::steal(PyDict_New());
  PyRef bound = PyRef::steal(PyLong_FromLong(index));
  if (!dict || !bound) return -1;
  for (PyMethodDef& def : kCastingMethods) {
    PyRef method;
    if (IsInstanceMethod(def)) {
      method = PyRef::steal(PyDescr_NewMethod(type, &def));
    } else {
      PyRef function = PyRef::steal(PyCFunction_NewEx(&def, bound.get(), nullptr));
      if (function) method = PyRef::steal(PyStaticMethod_New(function.get()));
    }
    if (!method || PyDict_SetItemString(dict.get(), def.ml_name, method.get()) < 0) return -1;
  }
  type->tp_dict = dict.release();
  return 0;
}

void FillType(int index, PyTypeObject& type) {
  const GenericTypeSpec& spec = kGenericTypes[index];
  PyTypeObject* untyped = AdapterType(KindOf(index).untyped);
  Py_SET_REFCNT(&type, 1);
  // Set now, not by readying: the casting descriptors made before readying refer to the type.
  Py_SET_TYPE(&type, &PyType_Type);
  type.tp_name = spec.fullName;
  type.tp_basicsize = sizeof(PyHostObject);
  type.tp_flags = Py_TPFLAGS_DEFAULT;  // not subclassable from Python
  type.tp_dealloc = untyped->tp_dealloc;
  type.tp_new = GenericNew;
  type.tp_methods = OwnMethods(spec.kind);
  type.tp_iter = spec.kind == GenericKind::Iter ? untyped->tp_iter : IterateTyped;
  type.tp_iternext = ReadAt(index).cls >= 0 ? NextHandedItem : untyped->tp_iternext;
  if (spec.kind == GenericKind::Array) {
    // The untyped adapter is the base: readying gives the slots below the base's functions
    // by inheritance, without a wrapper object for each in this type's dictionary.
    type.tp_base = untyped;
    return;
  }
  type.tp_richcompare = untyped->tp_richcompare;
  type.tp_hash = untyped->tp_hash;
  type.tp_init = untyped->tp_init;
  type.tp_as_sequence = untyped->tp_as_sequence;
  type.tp_as_mapping = untyped->tp_as_mapping;
  type.tp_getset = untyped->tp_getset;
}

// The kind's interface sets; an array whose element is also iterable as itself names that type too.
int StoreInterfaces(int index, PyTypeObject* type) {
  const GenericTypeSpec& spec = kGenericTypes[index];
  std::vector<PyTypeObject*> members;
  for (Adapter member : KindOf(index).interfaces) members.push_back(AdapterType(member));
  PyTypeObject* iterable = TypedAdapterType(GenericKind::Iterable, spec.element);
  if (spec.kind == GenericKind::Array && iterable != nullptr) members.push_back(iterable);
  return StoreInterfaceSets(type, members);
}

}  // namespace

namespace {

const char* SimpleName(const char* netName) {
  const char* dot = std::strrchr(netName, '.');
  return dot != nullptr ? dot + 1 : netName;
}

bool Refuse(const char* format, const char* name, PyObject* value) {
  PyErr_Format(PyExc_TypeError, format, name, Py_TYPE(value)->tp_name);
  return false;
}

}  // namespace

namespace {

bool AcceptsElementValue(int element, PyObject* value) {
  const char* name = kGenericElements[element].netName;
  uint32_t handle = 0;
  switch (kGenericElements[element].family) {
    case ElementFamily::Int32:
    case ElementFamily::Enum:
      if (PyLong_Check(value)) return true;
      PyErr_Format(PyExc_TypeError, "integer argument expected, got '%s'", Py_TYPE(value)->tp_name);
      return false;
    case ElementFamily::Double:
    case ElementFamily::Bool:
      return PyFloat_Check(value) || PyLong_Check(value) ||
             Refuse("can't build %s value from '%s'", SimpleName(name), value);
    case ElementFamily::String:
      return value == Py_None || PyUnicode_Check(value) || Refuse("can't build %s from '%s'", "String", value);
    case ElementFamily::Class: {
      PyTypeObject* cls = ElementClass(element);
      if (value == Py_None || cls == nullptr || PyObject_TypeCheck(value, cls)) return true;
      // Another wrapper is accepted when .NET says its object is one of the element's class.
      if (GetNetHandle(value, &handle)) {
        PyRef answer =
            PyRef::steal(PyObject_CallMethod(reinterpret_cast<PyObject*>(cls), "_is_assignable", "O", value));
        if (!answer) return false;
        int truth = PyObject_IsTrue(answer.get());
        if (truth != 0) return truth > 0;
      }
      return Refuse("can't build %s value from '%s'", SimpleName(name), value);
    }
    case ElementFamily::Array: {
      PyTypeObject* arrays = AdapterType(Adapter::Array);
      if (value == Py_None || PyObject_TypeCheck(value, arrays)) return true;
      return Refuse("can't build %s value from '%s'", "Array", value);
    }
    default:  // any value, Type, Stream, DateTime: their own converters run in .NET
      return true;
  }
}

}  // namespace

bool AcceptsElement(PyTypeObject* type, PyObject* value) {
  int index = IndexOfType(type);
  return index < 0 || AcceptsElementValue(kGenericTypes[index].element, value);
}

int ConvertElement(int element, PyObject* value, void* out) {
  switch (kGenericElements[element].family) {
    case ElementFamily::Enum:
      return ConvertInt32(value, out);
    case ElementFamily::Type:
      if (g_siblingApis.typeHandleOf == nullptr) return RaiseReflectionMissing(), 0;
      return g_siblingApis.typeHandleOf(value, static_cast<uint32_t*>(out));
    default: {
      uint32_t* handle = static_cast<uint32_t*>(out);
      *handle = 0;
      if (!AcceptsElementValue(element, value)) return 0;
      if (value == Py_None || GetNetHandle(value, handle)) return 1;
      PyErr_Format(PyExc_TypeError, "can't build %s value from '%s'", kGenericElements[element].netName,
                   Py_TYPE(value)->tp_name);
      return 0;
    }
  }
}

// The element's enumerable class gives an enumerator of the element's iterator type.
PyObject* IterateElements(uint32_t handle, int element) {
  int cls = ClassOf(element, GenericClass::Enumerable);
  if (cls < 0) {
    PyErr_Format(PyExc_SystemError, "no typed enumerable over %s", kGenericElements[element].netName);
    return nullptr;
  }
  const host::ApiDelegateTable& table = TableOf(cls);
  if (table.failed) {
    PyErr_SetString(PyExc_TypeError, table.errorText.c_str());
    return nullptr;
  }
  struct {
    uint32_t handle, typeKey;
  } ref = {0, 0};
  auto getEnumerator = reinterpret_cast<int32_t (*)(uint32_t, decltype(ref)*)>(EntryOf(cls, "GetEnumerator"));
  int32_t status = getEnumerator(handle, &ref);
  if (status < 0 || PyErr_Occurred()) {
    ReleaseHandle(ref.handle);
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "GetEnumerator reported failure without an error");
    return nullptr;
  }
  if (ref.handle == 0) Py_RETURN_NONE;  // iter() rejects it with its own TypeError
  PyTypeObject* iterType = TypedAdapterType(GenericKind::Iter, element);
  return WrapAdapter(ref.handle, iterType != nullptr ? iterType : AdapterType(Adapter::Iter));
}

PyObject* HandedItemAt(PyObject* self, int32_t index, int32_t* status) {
  TypedRead* read = TypedReadOf(IndexOfType(Py_TYPE(self)));
  if (read == nullptr) return nullptr;
  ItemRef item = {0, 0, 0, nullptr};
  *status = reinterpret_cast<int32_t (*)(uint32_t, int32_t, ItemRef*)>(read->entry)(HandleOf(self), index, &item);
  if (*status == 0 && !PyErr_Occurred()) return WrapHandedItem(*read, item);
  ReleaseHandle(item.handle);
  return nullptr;
}

namespace {

// The class element of a typed adapter type, or -1 for untyped and other typed types.
int ClassElementOf(PyTypeObject* type) {
  int index = IndexOfType(type);
  return index < 0 ? -1 : ReadAt(index).element;
}

// Whether a wrapper the untyped path made for an item of the element is of a class below the
// element's own and held only by its maker, so that its handle can move to a wrapper of the
// element's class.
bool Redeclarable(int element, PyObject* item) {
  PyTypeObject* cls = ElementClass(element);
  return cls != nullptr && Py_TYPE(item) != cls && Py_REFCNT(item) == 1 && PyObject_TypeCheck(item, cls) &&
         Py_TYPE(item)->tp_basicsize == static_cast<Py_ssize_t>(sizeof(PyHostObject));
}

// Moves the handle of a wrapper that Redeclarable let through to a new wrapper of the
// element's class (the old one is left without a handle, for its owner to drop).
PyObject* MoveToDeclared(int element, PyObject* item) {
  auto* host = reinterpret_cast<PyHostObject*>(item);
  uint32_t handle = host->handle;
  host->handle = 0;
  return WrapDeclared(element, handle);
}

}  // namespace

PyObject* DeclareItem(PyTypeObject* type, PyObject* item) {
  int element = ClassElementOf(type);
  if (element < 0 || item == nullptr || !Redeclarable(element, item)) return item;
  PyObject* declared = MoveToDeclared(element, item);
  Py_DECREF(item);
  return declared;
}

int DeclareItems(PyTypeObject* type, PyObject* list) {
  int element = ClassElementOf(type);
  if (element < 0) return 0;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(list); ++i) {
    PyObject* item = PyList_GET_ITEM(list, i);
    if (!Redeclarable(element, item)) continue;
    PyObject* declared = MoveToDeclared(element, item);
    if (declared == nullptr) return -1;  // the old wrapper stays in its place, without a handle
    PyList_SET_ITEM(list, i, declared);
    Py_DECREF(item);
  }
  return 0;
}

bool EnsureTypedCapacity(PyObject* self, Py_ssize_t count) {
  int type = IndexOfType(Py_TYPE(self));
  if (type < 0 || kGenericTypes[type].kind != GenericKind::List) return true;
  // The type exists only once its classes are bound, so the entry is there.
  auto ensure = reinterpret_cast<void (*)(uint32_t, int32_t)>(EntryOf(OwnClass(type), "EnsureCapacity"));
  ensure(HandleOf(self), static_cast<int32_t>(count > INT32_MAX ? INT32_MAX : count));
  return !PyErr_Occurred();
}

Adapter UntypedAdapterOf(PyTypeObject* type) {
  int index = IndexOfType(type);
  return index < 0 ? Adapter::Count : KindOf(index).untyped;
}

bool TypedClassAccepts(int element, GenericClass kind, uint32_t handle, int32_t* answer) {
  int cls = ClassOf(element, kind);
  // An element without a typed list class is listed through the list interface's class.
  if (cls < 0 && kind == GenericClass::List) cls = ClassOf(element, GenericClass::CntList);
  if (cls < 0) {
    *answer = 0;
    return true;
  }
  const host::ApiDelegateTable& table = TableOf(cls);
  if (table.failed) {
    PyErr_SetString(PyExc_TypeError, table.errorText.c_str());
    return false;
  }
  *answer = reinterpret_cast<int32_t (*)(uint32_t)>(EntryOf(cls, "btp_IsAssignable"))(handle);
  return !PyErr_Occurred();
}

PyTypeObject* TypedAdapterType(GenericKind kind, int element) {
  constexpr size_t kKindCount = std::size(kKinds);
  static const std::vector<PyTypeObject*> byElement = [] {
    std::vector<PyTypeObject*> rows(static_cast<size_t>(kGenericElementCount) * kKindCount, nullptr);
    for (int i = 0; i < kGenericTypeCount; ++i)
      rows[kGenericTypes[i].element * kKindCount + static_cast<size_t>(kGenericTypes[i].kind)] = TypeAt(i);
    return rows;
  }();
  return byElement[element * kKindCount + static_cast<size_t>(kind)];
}

int RegisterGenericTypes(PyObject* module) {
  if (!g_readsFilled) FillTypedReads();
  for (int i = 0; i < kGenericTypeCount; ++i) {
    PyTypeObject* type = TypeAt(i);
    if (type->tp_name != nullptr) continue;  // filled by an earlier start-up
    FillType(i, *type);
    if (FillCastingMethods(i, type) < 0 || PyType_Ready(type) < 0) {
      ReportTypeInitError(StartupCode::ReadyType, kGenericTypes[i].fullName);
      return -1;
    }
  }
  for (int i = 0; i < kGenericTypeCount; ++i) {
    PyTypeObject* type = TypeAt(i);
    if (StoreInterfaces(i, type) < 0 || StoreMarkers(type) < 0) return -1;
    const char* shortName = std::strrchr(kGenericTypes[i].fullName, '.') + 1;
    if (PyModule_AddObjectRef(module, shortName, reinterpret_cast<PyObject*>(type)) < 0) {
      ReportTypeInitError2(StartupCode::AddTypeToModule, PyModule_GetName(module), kGenericTypes[i].fullName);
      return -1;
    }
    // An array met as a value (an item of an array of arrays, an any-value) is wrapped by
    // the run-time type's name: the typed adapter answers for its .NET array type.
    if (kGenericTypes[i].kind == GenericKind::Array) {
      HostTypeRegistry::Instance().Add(ToU16(kGenericElements[kGenericTypes[i].element].netName) + u"[]", type);
    }
  }
  return 0;
}

}  // namespace morvax::containers
