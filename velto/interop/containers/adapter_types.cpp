// The adapter type objects: their slots, their casting methods, the readiness gate of
// their allocation, and their registration in morvax.velto._wrpgen._interop.
#include <array>
#include <vector>

#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/reporters.h"
#include "interop/containers/adapters.h"
#include "interop/containers/casting_services.h"
#include "interop/containers/generic_types.h"
#include "interop/containers/streams.h"
#include "interop/error_bridge.h"

namespace morvax::containers {

namespace {

using IC = InteropClass;

struct AdapterSpec {
  const char* fullName;
  const char* shortName;
  InteropClass own;  // the class whose btp_ entries serve the casting methods
  std::initializer_list<InteropClass> tables;
  std::initializer_list<Adapter> interfaces;
  bool plain = false;  // no handle, no .NET class, no interface sets and no markers
};

const AdapterSpec kSpecs[] = {
    {"morvax.velto._wrpgen._interop._IDisposableWrapper", "_IDisposableWrapper", IC::Disposable, {IC::Disposable}, {}},
    {"morvax.velto._wrpgen._interop._IterWrapper", "_IterWrapper", IC::Enumerator, {IC::Enumerator}, {}},
    {"morvax.velto._wrpgen._interop._IterableWrapper", "_IterableWrapper", IC::Enumerable, {IC::Enumerable}, {}},
    {"morvax.velto._wrpgen._interop._IColWrapper",
     "_IColWrapper",
     IC::CntCollection,
     {IC::CntCollection, IC::Enumerable},
     {Adapter::Iterable}},
    {"morvax.velto._wrpgen._interop._IListWrapper",
     "_IListWrapper",
     IC::CntList,
     {IC::CntCollection, IC::CntList, IC::Enumerable},
     {Adapter::Iterable, Adapter::ICol}},
    {"morvax.velto._wrpgen._interop._RoColBaseWrapper",
     "_RoColBaseWrapper",
     IC::ReadOnlyCollectionBase,
     {IC::ReadOnlyCollectionBase, IC::CntCollection, IC::Enumerable},
     {Adapter::Iterable, Adapter::ICol}},
    {"morvax.velto._wrpgen._interop._ColBaseWrapper",
     "_ColBaseWrapper",
     IC::CollectionBase,
     {IC::CollectionBase, IC::CntCollection, IC::CntList, IC::Enumerable},
     {Adapter::Iterable, Adapter::ICol, Adapter::IList}},
    {"morvax.velto._wrpgen._interop._ArrayWrapper",
     "_ArrayWrapper",
     IC::Array,
     {IC::Array, IC::Enumerable},
     {Adapter::Iterable, Adapter::ICol, Adapter::IList}},
    {"morvax.velto._wrpgen._interop._ArrListWrapper",
     "_ArrListWrapper",
     IC::ArrayList,
     {IC::ArrayList, IC::Enumerable},
     {Adapter::Iterable, Adapter::ICol, Adapter::IList}},
    {"morvax.velto._wrpgen._interop._ShlBufferView", "_ShlBufferView", IC::Count, {}, {}, true},
    {"morvax.velto._wrpgen._interop._StreamWrapper", "_StreamWrapper", IC::Stream, {IC::Stream}, {Adapter::Disposable}},
};
constexpr size_t kCount = static_cast<size_t>(Adapter::Count);
static_assert(std::size(kSpecs) == kCount);

std::array<PyTypeObject, kCount> g_types{};

const AdapterSpec& SpecOf(Adapter adapter) { return kSpecs[static_cast<size_t>(adapter)]; }

// The allocation slot: refuses while a table the adapter needs is unusable.
PyObject* AdapterNew(PyTypeObject* type, PyObject*, PyObject*) {
  Adapter adapter = AdapterOfType(type);
  if (adapter == Adapter::Count || !Ready(SpecOf(adapter).tables, SpecOf(adapter).own)) return nullptr;
  PyObject* self = type->tp_alloc(type, 0);
  if (self != nullptr) reinterpret_cast<PyHostObject*>(self)->handle = 0;
  return self;
}

// --- casting methods, served by the adapter's own class -------------------------------

template <typename Entry>
Entry Service(Adapter adapter, const char* name) {
  int slot = SlotNamed(SpecOf(adapter).own, name);
  return slot < 0 ? nullptr : reinterpret_cast<Entry>(SlotsOf(SpecOf(adapter).own)[slot]);
}

template <Adapter A>
PyObject* TypeOfMethod(PyObject*, PyObject*) {
  if (!Ready(SpecOf(A).tables, SpecOf(A).own)) return nullptr;
  return TypeOfService(Service<TypeOfEntry>(A, "btp_TypeOf"));
}

template <Adapter A>
PyObject* CastToMethod(PyObject*, PyObject* object) {
  if (!Ready(SpecOf(A).tables, SpecOf(A).own)) return nullptr;
  return CastToService(Service<CastToEntry>(A, "btp_CastTo"), object, AdapterType(A));
}

template <Adapter A>
PyObject* CastAsMethod(PyObject*, PyObject* object) {
  if (!Ready(SpecOf(A).tables, SpecOf(A).own)) return nullptr;
  return CastAsService(Service<HandleOutEntry>(A, "btp_CastAs"), object, AdapterType(A));
}

template <Adapter A>
PyObject* IsAssignableMethod(PyObject*, PyObject* object) {
  if (!Ready(SpecOf(A).tables, SpecOf(A).own)) return nullptr;
  return IsAssignableService(Service<AssignableEntry>(A, "btp_IsAssignable"), object);
}

// A class without the entry refuses before its tables are asked for.
template <Adapter A>
PyObject* ReinterpretMethod(PyObject*, PyObject* object) {
  if (SlotNamed(SpecOf(A).own, "btp_ReInterpretObj") >= 0 && !Ready(SpecOf(A).tables, SpecOf(A).own)) return nullptr;
  return ReinterpretService(Service<HandleOutEntry>(A, "btp_ReInterpretObj"), object, AdapterType(A));
}

template <typename Function>
PyCFunction AsMethod(Function* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

template <Adapter A>
void AppendCasting(std::vector<PyMethodDef>& methods) {
  methods.push_back({"get_type", AsMethod(&HostObjectGetType), METH_NOARGS, "The .NET type of this object."});
  methods.push_back(
      {"_type_of", AsMethod(&TypeOfMethod<A>), METH_NOARGS | METH_STATIC, "The .NET type this adapter serves."});
  methods.push_back({"_cast_to", AsMethod(&CastToMethod<A>), METH_O | METH_STATIC, "The object seen as this adapter."});
  methods.push_back({"_cast_from", AsMethod(&CastFromService), METH_O, "This object seen as the target class."});
  methods.push_back({"_is_assignable", AsMethod(&IsAssignableMethod<A>), METH_O | METH_STATIC,
                     "Whether the object is an instance of the .NET type this adapter serves."});
  methods.push_back({"_reinterpret_obj", AsMethod(&ReinterpretMethod<A>), METH_O | METH_STATIC,
                     "A wrapper of this adapter for the same .NET object, without a check."});
  methods.push_back({"_cast_as", AsMethod(&CastAsMethod<A>), METH_O | METH_STATIC,
                     "The object seen as this adapter, or an empty result when it is not one."});
}

// Own methods, then the casting methods, then the terminator; kept for the process's life.
template <Adapter A>
PyMethodDef* MethodTable(const PyMethodDef* own) {
  static std::vector<PyMethodDef> methods;
  if (methods.empty()) {
    for (const PyMethodDef* m = own; m != nullptr && m->ml_name != nullptr; ++m) methods.push_back(*m);
    AppendCasting<A>(methods);
    static_assert(kCastingMethodCount == 7);
    methods.push_back({nullptr, nullptr, 0, nullptr});
  }
  return methods.data();
}

void FillType(Adapter adapter, PyMethodDef* methods) {
  PyTypeObject& type = g_types[static_cast<size_t>(adapter)];
  Py_SET_REFCNT(&type, 1);
  type.tp_name = SpecOf(adapter).fullName;
  type.tp_basicsize = sizeof(PyHostObject);
  // No Py_TPFLAGS_BASETYPE: Python code cannot subclass an adapter.
  type.tp_flags = Py_TPFLAGS_DEFAULT;
  type.tp_dealloc = HostObjectDealloc;
  type.tp_richcompare = HostObjectRichCompare;
  type.tp_hash = HostObjectHash;
  type.tp_init = NoConstructorInit;
  type.tp_new = AdapterNew;
  type.tp_methods = methods;
}

void FillTypes() {
  FillType(Adapter::Disposable, MethodTable<Adapter::Disposable>(kDisposableMethods));
  FillType(Adapter::Iter, MethodTable<Adapter::Iter>(nullptr));
  FillType(Adapter::Iterable, MethodTable<Adapter::Iterable>(nullptr));
  FillType(Adapter::ICol, MethodTable<Adapter::ICol>(kCollectionMethods));
  FillType(Adapter::IList, MethodTable<Adapter::IList>(kListMethods));
  FillType(Adapter::RoColBase, MethodTable<Adapter::RoColBase>(kCollectionMethods));
  FillType(Adapter::ColBase, MethodTable<Adapter::ColBase>(kListMethods));
  FillType(Adapter::Array, MethodTable<Adapter::Array>(kArrayMethods));
  FillType(Adapter::ArrList, MethodTable<Adapter::ArrList>(kArrListMethods));
  FillType(Adapter::Stream, MethodTable<Adapter::Stream>(kStreamMethods));

  PyTypeObject& stream = g_types[static_cast<size_t>(Adapter::Stream)];
  stream.tp_basicsize = sizeof(StreamObject);
  stream.tp_iter = IterateStream;
  stream.tp_iternext = NextLine;
  stream.tp_getset = kStreamGetSet;

  g_types[static_cast<size_t>(Adapter::Iter)].tp_iter = PyObject_SelfIter;
  g_types[static_cast<size_t>(Adapter::Iter)].tp_iternext = NextItem;
  for (Adapter a : {Adapter::Iterable, Adapter::ICol, Adapter::IList, Adapter::RoColBase, Adapter::ColBase,
                    Adapter::Array, Adapter::ArrList}) {
    g_types[static_cast<size_t>(a)].tp_iter = IterateAdapter;
  }
  for (Adapter a : {Adapter::ICol, Adapter::RoColBase}) {
    g_types[static_cast<size_t>(a)].tp_as_sequence = &kCollectionSequence;
  }
  for (Adapter a : {Adapter::IList, Adapter::ColBase, Adapter::ArrList}) {
    g_types[static_cast<size_t>(a)].tp_as_sequence = &kListSequence;
    g_types[static_cast<size_t>(a)].tp_as_mapping = &kListMapping;
  }
  g_types[static_cast<size_t>(Adapter::Array)].tp_as_sequence = &kArraySequence;
  g_types[static_cast<size_t>(Adapter::Array)].tp_as_mapping = &kArrayMapping;
  for (Adapter a :
       {Adapter::ICol, Adapter::IList, Adapter::RoColBase, Adapter::ColBase, Adapter::Array, Adapter::ArrList}) {
    g_types[static_cast<size_t>(a)].tp_getset = kLengthGetSet;
  }
}

int StoreInDict(PyTypeObject* type, PyObject* key, PyObject* value, StartupCode code) {
  if (PyDict_SetItem(type->tp_dict, key, value) < 0) {
    ReportTypeInitError(code, type->tp_name);
    return -1;
  }
  return 0;
}

}  // namespace

// The buffer view's type object lives with its slots (buffer_view.cpp).
PyTypeObject* AdapterType(Adapter adapter) {
  return adapter == Adapter::BufferView ? BufferViewType() : &g_types[static_cast<size_t>(adapter)];
}

// A typed adapter of _generic answers as the untyped adapter whose protocol it uses.
// The types lie in one array: a type is one of them exactly when it points into it. Asked
// several times for every item read, so without a search.
Adapter AdapterOfType(PyTypeObject* type) {
  auto address = reinterpret_cast<uintptr_t>(type);
  auto first = reinterpret_cast<uintptr_t>(g_types.data());
  if (address < first || address >= first + sizeof g_types) return Adapter::Count;
  return static_cast<Adapter>((address - first) / sizeof(PyTypeObject));
}

Adapter AdapterOf(PyObject* object) {
  Adapter adapter = AdapterOfType(Py_TYPE(object));
  return adapter != Adapter::Count ? adapter : UntypedAdapterOf(Py_TYPE(object));
}

PyObject* WrapAdapter(uint32_t handle, PyTypeObject* type) {
  if (handle == 0) Py_RETURN_NONE;
  PyObject* wrapper = type->tp_new(type, nullptr, nullptr);
  if (wrapper == nullptr) {
    ReleaseHandle(handle);
    return nullptr;
  }
  reinterpret_cast<PyHostObject*>(wrapper)->handle = handle;
  return wrapper;
}

extern "C" PyObject* WrapIListCallback(uint32_t handle) { return WrapAdapter(handle, AdapterType(Adapter::IList)); }
extern "C" PyObject* WrapArrayListCallback(uint32_t handle) {
  return WrapAdapter(handle, AdapterType(Adapter::ArrList));
}
extern "C" PyObject* WrapArrayCallback(uint32_t handle) { return WrapAdapter(handle, AdapterType(Adapter::Array)); }

int StoreInterfaceSets(PyTypeObject* type, const std::vector<PyTypeObject*>& members) {
  const struct {
    PyObject* name;
    StartupCode code;
  } sets[] = {{Interned(Name::_additional_interfaces), StartupCode::StoreAdditionalInterfaces},
              {Interned(Name::_implicit_interfaces), StartupCode::StoreImplicitInterfaces}};
  for (const auto& set : sets) {
    PyRef memberSet = PyRef::steal(PySet_New(nullptr));
    if (!memberSet) return ReportTypeInitError(set.code, type->tp_name), -1;
    for (PyTypeObject* member : members) {
      if (PySet_Add(memberSet.get(), reinterpret_cast<PyObject*>(member)) < 0) {
        ReportTypeInitError(set.code, type->tp_name);
        return -1;
      }
    }
    if (StoreInDict(type, set.name, memberSet.get(), set.code) < 0) return -1;
  }
  return 0;
}

int StoreMarkers(PyTypeObject* type) {
  if (StoreInDict(type, Interned(Name::_morvax_clr_host), Py_None, StartupCode::StoreHostMarker) < 0 ||
      StoreInDict(type, Interned(Name::_morvax_clr_castable_obj), Py_None, StartupCode::StoreCastableMarker) < 0)
    return -1;
  PyType_Modified(type);
  return 0;
}

int RegisterAdapterTypes(PyObject* module) {
  FillTypes();
  for (size_t i = 0; i < kCount; ++i) {
    const AdapterSpec& spec = kSpecs[i];
    PyTypeObject* type = AdapterType(static_cast<Adapter>(i));
    if (PyType_Ready(type) < 0) {
      ReportTypeInitError(StartupCode::ReadyType, spec.fullName);
      return -1;
    }
    if (spec.interfaces.size() > 0) {
      std::vector<PyTypeObject*> members;
      for (Adapter member : spec.interfaces) members.push_back(AdapterType(member));
      if (StoreInterfaceSets(type, members) < 0) return -1;
    }
    if (!spec.plain && StoreMarkers(type) < 0) return -1;
    if (PyModule_AddObjectRef(module, spec.shortName, reinterpret_cast<PyObject*>(type)) < 0) {
      ReportTypeInitError2(StartupCode::AddTypeToModule, PyModule_GetName(module), spec.fullName);
      return -1;
    }
  }
  return 0;
}

}  // namespace morvax::containers
