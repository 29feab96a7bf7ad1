// Interface values: the interface-argument converter, the interface-result wrapping and the
// per-class interface sets (see interface_values.h).
#include "api/interface_values.h"

#include "api/casting.h"
#include "api/class_runtime.h"
#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/reporters.h"
#include "common/static_type_memo.h"
#include "interop/containers/adapters.h"
#include "interop/type_registry.h"

namespace morvax::api {

namespace {

PyObject* TypeObjectOf(const ClassBinding& binding) { return reinterpret_cast<PyObject*>(&binding.type->type); }

// The named interface set of the type's own dictionary (borrowed), or null. A set once found
// in a static type's dictionary stays there: it is remembered, with a reference of its own,
// for the types met last.
PyObject* OwnSet(PyTypeObject* type, Name setName) {
  static StaticTypeMemo<PyObject*> remembered[2];  // _additional_interfaces, _implicit_interfaces
  StaticTypeMemo<PyObject*>& sets = remembered[setName == Name::_additional_interfaces ? 0 : 1];
  if (PyObject* const* set = sets.Find(type)) return *set;
  if (type->tp_dict == nullptr) return nullptr;
  PyObject* set = PyDict_GetItemWithError(type->tp_dict, Interned(setName));  // borrowed
  if (set != nullptr && PyAnySet_Check(set)) {
    PyObject* replaced = nullptr;
    if (sets.Remember(type, Py_NewRef(set), &replaced)) {
      Py_XDECREF(replaced);
    } else {
      Py_DECREF(set);
    }
    return set;
  }
  return nullptr;
}

// Whether the type's own dictionary lists the interface in the named set. An error while
// asking counts as no.
bool OwnSetHolds(PyTypeObject* type, Name setName, PyObject* interfaceType) {
  PyObject* set = OwnSet(type, setName);
  int found = set != nullptr ? PySet_Contains(set, interfaceType) : 0;
  if (found < 0 || PyErr_Occurred()) {
    PyErr_Clear();
    return false;
  }
  return found == 1;
}

int RefuseInterfaceValue(const ClassBinding& interface, PyObject* object) {
  PyErr_Format(PyExc_TypeError, "can't build %s value from '%.200s'", interface.simpleName,
               _PyType_Name(Py_TYPE(object)));
  return 0;
}

}  // namespace

bool MayBeInterfaceValue(PyObject* object) {
  HostKindHandle pair;
  return GetHostHandle(object, &pair);
}

int ConvertInterfaceArgument(const ClassBinding& interface, PyObject* object, HostKindHandle* pair) {
  // 1. None clears.
  if (object == Py_None) {
    *pair = {0, 0};
    return 1;
  }
  PyTypeObject* type = Py_TYPE(object);
  HostKindHandle offered;
  if (!GetHostHandle(object, &offered)) return RefuseInterfaceValue(interface, object);
  // 2. The interface's own wrapper.
  if (type == &interface.type->type) {
    *pair = {0, offered.handle};
    return 1;
  }
  // 3. A class that says it stands for the interface: no call into .NET. Only the offered
  // type's own set counts, not its bases'.
  if (OwnSetHolds(type, Name::_additional_interfaces, TypeObjectOf(interface))) {
    *pair = offered;
    return 1;
  }
  // 4. Any other wrapper: .NET says whether its object implements the interface.
  if (!PassReadinessGate(interface)) return 0;
  int32_t assignable = AskIsAssignable(interface, offered);
  if (PyErr_Occurred()) {
    // An interrupt stays what it is; a .NET failure becomes the converter's refusal.
    if (PyErr_ExceptionMatches(PyExc_KeyboardInterrupt)) return 0;
    PyErr_Clear();
    return RefuseInterfaceValue(interface, object);
  }
  if (assignable == 0) return RefuseInterfaceValue(interface, object);
  *pair = offered;
  return 1;
}

PyObject* WrapInterfaceResult(const ClassBinding& interface, uint32_t handle, uint32_t typeKey) {
  if (handle == 0) Py_RETURN_NONE;
  PyTypeObject* type = &interface.type->type;
  PyTypeObject* runtimeType = HostTypeRegistry::Instance().LookupRuntimeType(handle, typeKey);
  if (runtimeType == nullptr && PyErr_Occurred()) {
    ReleaseHandle(handle);
    return nullptr;
  }
  if (runtimeType != nullptr && OwnSetHolds(runtimeType, Name::_implicit_interfaces, TypeObjectOf(interface)))
    type = runtimeType;
  return WrapHandle(handle, type);  // releases the handle when no wrapper can be made
}

int StoreInterfaceSets(const ClassBinding& binding) {
  if (binding.interfaces == nullptr && binding.adapterInterfaces == 0) return 0;
  PyTypeObject* type = &binding.type->type;
  const struct {
    Name name;
    StartupCode code;
  } sets[] = {{Name::_additional_interfaces, StartupCode::StoreAdditionalInterfaces},
              {Name::_implicit_interfaces, StartupCode::StoreImplicitInterfaces}};
  for (const auto& set : sets) {
    PyRef members = PyRef::steal(PySet_New(nullptr));
    bool filled = static_cast<bool>(members);
    for (const ClassBinding* const* each = binding.interfaces; filled && each != nullptr && *each != nullptr; ++each)
      filled = PySet_Add(members.get(), TypeObjectOf(**each)) == 0;
    if (filled && (binding.adapterInterfaces & kStandsForIterable) != 0)
      filled = PySet_Add(members.get(),
                         reinterpret_cast<PyObject*>(containers::AdapterType(containers::Adapter::Iterable))) == 0;
    if (filled && (binding.adapterInterfaces & kStandsForDisposable) != 0)
      filled = PySet_Add(members.get(),
                         reinterpret_cast<PyObject*>(containers::AdapterType(containers::Adapter::Disposable))) == 0;
    if (!filled || PyDict_SetItem(type->tp_dict, Interned(set.name), members.get()) < 0) {
      ReportTypeInitError(set.code, type->tp_name);
      return -1;
    }
  }
  PyType_Modified(type);
  return 0;
}

}  // namespace morvax::api
