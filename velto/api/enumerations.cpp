// Enumerations: building the classes and converting their values.
#include "api/enumerations.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "api/enum_construction.h"
#include "common/collector_pause.h"
#include "common/dependencies.h"
#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/reporters.h"
#include "common/sibling_apis.h"
#include "interop/descriptors.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"

namespace morvax::api {

namespace {

using TypeOfEntry = int32_t (*)(uint32_t* outHandle);
using CastToEntry = int32_t (*)(const HostKindHandle* pair, int32_t* outValue);
using CastAsEntry = int32_t (*)(uint32_t handle, int32_t* outValue);
using ValueToHandleEntry = int32_t (*)(int32_t value, uint32_t* outHandle);
using IsAssignableEntry = int32_t (*)(uint32_t handle);

void* const* EnumSlots(const EnumBinding& binding) {
  EnumRuntime& runtime = *binding.runtime;
  std::call_once(runtime.tableOnce, [&] {
    static const char* const kEntries[kEnumSlotCount] = {"btp_TypeOf",    "btp_CastTo", "btp_ReInterpretObj",
                                                         "btp_AsUniEnum", "btp_CastAs", "btp_IsAssignable",
                                                         "btp_GetType"};
    host::FillDelegateTable(runtime.table, runtime.slots, binding.interopName, kEntries, kEnumSlotCount);
  });
  return runtime.slots;
}

// An enumeration depends on its own table only.
bool PassEnumGate(const EnumBinding& binding) {
  if (RefuseInForkedChild()) return false;
  EnumSlots(binding);
  if (!binding.runtime->table.failed) return true;
  PyErr_SetString(PyExc_TypeError, binding.runtime->table.errorText.c_str());
  return false;
}

template <typename Entry>
Entry SlotOf(const EnumBinding& binding, EnumSlot slot) {
  return reinterpret_cast<Entry>(EnumSlots(binding)[slot]);
}

// The member's value as the 32-bit .NET value.
bool MemberValue(PyObject* member, int32_t* value) {
  long number = PyLong_AsLong(member);
  if (number == -1 && PyErr_Occurred()) return false;
  if (number < INT32_MIN || number > INT32_MAX) {
    PyErr_SetString(PyExc_OverflowError, "enumeration value out of the 32-bit range");
    return false;
  }
  *value = static_cast<int32_t>(number);
  return true;
}

// The interned name of the service at a position of the table (new reference). Every
// enumeration has the same eight services in the same order: each position keeps the name
// it made, and one comparison of the text confirms it for the next class.
PyObject* ServiceName(size_t position, const char* text) {
  static std::vector<std::pair<const char*, PyObject*>> known;  // held for the process
  if (position < known.size() && std::strcmp(known[position].first, text) == 0) {
    return Py_NewRef(known[position].second);
  }
  PyObject* interned = PyUnicode_InternFromString(text);
  if (interned != nullptr && position == known.size()) {
    const char* kept = PyUnicode_AsUTF8(interned);  // lives as long as the name
    if (kept != nullptr) {
      known.emplace_back(kept, Py_NewRef(interned));
    } else {
      PyErr_Clear();  // a name whose text cannot be read is only not remembered
    }
  }
  return interned;
}

// The service descriptors, placed after everything else in the class dictionary, in their
// table order.
int StoreServices(PyObject* type, PyMethodDef* services) {
  auto* owner = reinterpret_cast<PyTypeObject*>(type);
  int stored = 0;
  for (PyMethodDef* definition = services; stored == 0 && definition->ml_name != nullptr; ++definition) {
    bool isStatic = (definition->ml_flags & METH_STATIC) != 0;
    PyRef descriptor =
        PyRef::steal(isStatic ? NewStaticMethodDescr(owner, definition) : NewInstanceMethodDescr(owner, definition));
    PyRef name = PyRef::steal(descriptor ? ServiceName(static_cast<size_t>(definition - services), definition->ml_name)
                                         : nullptr);
    if (!name || PyDict_SetItem(owner->tp_dict, name.get(), descriptor.get()) < 0) {
      ReportTypeInitError2(StartupCode::AddDescriptor, owner->tp_name, definition->ml_name);
      stored = -1;
    }
  }
  PyType_Modified(owner);
  return stored;
}

// IntEnum or IntFlag, looked up once and kept for the process: importing the enum module
// again for each of hundreds of classes cost a noticeable part of the import.
PyObject* EnumBase(bool isFlag) {
  static PyObject* bases[2] = {nullptr, nullptr};
  PyObject*& base = bases[isFlag ? 1 : 0];
  if (base == nullptr) {
    CollectorResume resume;  // the import runs the enum module's Python code
    base = ImportModuleAttribute("enum", Interned(isFlag ? Name::IntFlag : Name::IntEnum));
  }
  return base;
}

// Values at most this far apart (per member, and in all) are indexed directly.
constexpr int64_t kDenseSpread = 4;
constexpr int64_t kDenseLimit = 1024;

// Fills the runtime's member index from the value map as the class was built: its defined
// members only (combinations the enum module makes later stay with the map).
void IndexMembers(EnumRuntime& runtime) {
  runtime.byOffset.clear();
  for (const auto& entry : runtime.byValue) Py_DECREF(entry.second);
  runtime.byValue.clear();
  if (runtime.members == nullptr) return;
  Py_ssize_t position = 0;
  PyObject *key, *member;
  while (PyDict_Next(runtime.members, &position, &key, &member)) {
    long value = PyLong_AsLong(key);
    if (value < INT32_MIN || value > INT32_MAX || (value == -1 && PyErr_Occurred())) {
      PyErr_Clear();
      continue;  // not a 32-bit value: never a result
    }
    runtime.byValue.emplace_back(static_cast<int32_t>(value), Py_NewRef(member));
  }
  std::sort(runtime.byValue.begin(), runtime.byValue.end());
  if (runtime.byValue.empty()) return;
  int64_t lowest = runtime.byValue.front().first, span = int64_t{runtime.byValue.back().first} - lowest + 1;
  if (span > kDenseLimit || span > kDenseSpread * static_cast<int64_t>(runtime.byValue.size())) return;
  runtime.lowestValue = static_cast<int32_t>(lowest);
  runtime.byOffset.assign(static_cast<size_t>(span), nullptr);
  for (const auto& [value, member] : runtime.byValue) runtime.byOffset[static_cast<size_t>(value - lowest)] = member;
}

// The defined member of a value (borrowed), or null.
PyObject* IndexedMember(const EnumRuntime& runtime, int32_t value) {
  if (!runtime.byOffset.empty()) {
    uint64_t offset = static_cast<uint64_t>(int64_t{value} - runtime.lowestValue);
    return offset < runtime.byOffset.size() ? runtime.byOffset[offset] : nullptr;
  }
  auto found = std::lower_bound(runtime.byValue.begin(), runtime.byValue.end(), value,
                                [](const std::pair<int32_t, PyObject*>& entry, int32_t v) { return entry.first < v; });
  return found != runtime.byValue.end() && found->first == value ? found->second : nullptr;
}

void Untrack(PyObject* object) {
  if (PyObject_GC_IsTracked(object)) PyObject_GC_UnTrack(object);
}

// An enumeration class is held for the process (EnumRuntime::type), and with it its
// dictionary with the service descriptors, its members with their own dictionaries, and
// the maps and lists naming them: they are never garbage, so they are taken off the cyclic
// collector's lists (as UntrackPermanentClassDict does; about 11,000 objects in all).
// The interpreter tracks a map or list again when a tracked object is put in it (a flag
// combination made later), and frees all of these correctly either way.
void UntrackClassContents(PyObject* type) {
  auto* cls = reinterpret_cast<PyTypeObject*>(type);
  Py_ssize_t position = 0;
  PyObject *name, *value;
  while (PyDict_Next(cls->tp_dict, &position, &name, &value)) {
    if (Py_IS_TYPE(value, cls)) {
      Untrack(value);
      PyObject** memberDict = _PyObject_GetDictPtr(value);
      if (memberDict != nullptr && *memberDict != nullptr) Untrack(*memberDict);
    } else if (PyDict_CheckExact(value) || PyList_CheckExact(value)) {
      Untrack(value);
    } else {
      UntrackPermanentClassMember(value, cls);
    }
  }
  Untrack(cls->tp_dict);
}

}  // namespace

PyObject* BuildEnumeration(const EnumBinding& binding) {
  PyObject* base = EnumBase(binding.isFlag);  // borrowed
  if (base == nullptr) return nullptr;
  // Enumeration classes carry Ellipsis where wrapper classes carry None, and each its own
  // documentation; both are placed as the class is made.
  PyRef extras = PyRef::steal(PyDict_New());
  if (!extras || PyDict_SetItem(extras.get(), Interned(Name::_morvax_clr_castable_obj), Py_Ellipsis) < 0) {
    return ReportTypeInitError(StartupCode::StoreCastableMarker, binding.pythonName);
  }
  if (binding.doc != nullptr) {
    PyRef doc = PyRef::steal(PyUnicode_FromString(binding.doc));
    if (!doc || PyDict_SetItemString(extras.get(), "__doc__", doc.get()) < 0) return nullptr;
  }
  // The module is named so that members pickle and print as users expect; the functional
  // form would otherwise guess it from the calling frame.
  std::string module(binding.pythonName, std::strlen(binding.pythonName) - std::strlen(binding.simpleName) - 1);
  PyRef type = PyRef::steal(
      NewEnumClass(base, binding.simpleName, module.c_str(), binding.members, binding.memberCount, extras.get()));
  if (!type || StoreServices(type.get(), binding.services) < 0) return nullptr;
  Py_INCREF(type.get());
  Py_XSETREF(binding.runtime->type, type.get());  // the process-wide reference
  // The map the class itself consults first when called with a value: an entry of the
  // class's own dictionary (the metaclass defines no attribute of that name), read there
  // without the metaclass's attribute look-up.
  static PyObject* const valueMapKey = PyUnicode_InternFromString("_value2member_map_");  // kept for the process
  PyObject* valueMap = valueMapKey != nullptr
                           ? PyDict_GetItemWithError(reinterpret_cast<PyTypeObject*>(type.get())->tp_dict, valueMapKey)
                           : nullptr;  // borrowed
  Py_XSETREF(binding.runtime->members, valueMap != nullptr && PyDict_Check(valueMap) ? Py_NewRef(valueMap) : nullptr);
  if (binding.runtime->members == nullptr) PyErr_Clear();
  IndexMembers(*binding.runtime);
  UntrackClassContents(type.get());
  return type.release();
}

int ConvertEnumArgument(const EnumBinding& binding, PyObject* object, int32_t* value) {
  PyObject* type = binding.runtime->type;
  if (type == nullptr || !PyObject_TypeCheck(object, reinterpret_cast<PyTypeObject*>(type))) {
    PyErr_Format(PyExc_TypeError, "can't build %s value from '%s'", binding.simpleName, Py_TYPE(object)->tp_name);
    return 0;
  }
  return MemberValue(object, value) ? 1 : 0;
}

PyObject* EnumResult(const EnumBinding& binding, int32_t value) {
  PyObject* defined = IndexedMember(*binding.runtime, value);  // borrowed
  if (defined != nullptr) return Py_NewRef(defined);
  PyObject* number = PyLong_FromLong(value);
  if (number == nullptr) return nullptr;
  // A defined value is its member; anything else (a flag combination, an undefined value)
  // goes through the class, which decides.
  PyObject* member = binding.runtime->members != nullptr ? PyDict_GetItemWithError(binding.runtime->members, number)
                                                         : nullptr;  // borrowed
  if (member != nullptr) {
    Py_INCREF(member);
  } else if (!PyErr_Occurred()) {
    member = PyObject_CallOneArg(binding.runtime->type, number);
  }
  Py_DECREF(number);
  return member;
}

PyObject* EnumTypeOf(const EnumBinding& binding) {
  if (!PassEnumGate(binding)) return nullptr;
  uint32_t handle = 0;
  if (SlotOf<TypeOfEntry>(binding, kEnumTypeOf)(&handle) == 0 || PyErr_Occurred()) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "the .NET type is not available");
    return nullptr;
  }
  return ReflectionType(handle);
}

PyObject* EnumCastTo(const EnumBinding& binding, PyObject* object, bool handleOnly) {
  if (!PassEnumGate(binding)) return nullptr;
  HostKindHandle pair{0, 0};
  bool accepted = handleOnly ? GetNetHandle(object, &pair.handle) : GetHostHandle(object, &pair);
  if (!accepted) return g_siblingApis.castResult(0, nullptr);
  int32_t value = 0;
  int32_t outcome = handleOnly ? SlotOf<CastAsEntry>(binding, kEnumCastAs)(pair.handle, &value)
                               : SlotOf<CastToEntry>(binding, kEnumCastTo)(&pair, &value);
  if (outcome != 1) return g_siblingApis.castResult(PyErr_Occurred() ? -1 : outcome, nullptr);
  PyObject* member = EnumResult(binding, value);
  if (member == nullptr) return nullptr;
  PyObject* result = g_siblingApis.castResult(1, member);
  Py_DECREF(member);
  return result;
}

PyObject* EnumCastFrom(PyObject*) { return g_siblingApis.castResult(0, nullptr); }

PyObject* EnumReinterpret(const EnumBinding& binding, PyObject* object) {
  uint32_t handle = 0;
  if (g_siblingApis.objectHandleOf == nullptr || !g_siblingApis.objectHandleOf(object, &handle)) {
    PyErr_Clear();
    PyErr_Format(PyExc_TypeError, "_reinterpret_obj() expects a .Net Object argument, got a %.100s object",
                 Py_TYPE(object)->tp_name);
    return nullptr;
  }
  if (!PassEnumGate(binding)) return nullptr;
  int32_t value = 0;
  if (SlotOf<CastAsEntry>(binding, kEnumReInterpretObj)(handle, &value) == 0 || PyErr_Occurred()) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "the object cannot be reinterpreted");
    return nullptr;
  }
  return EnumResult(binding, value);
}

PyObject* EnumAsUniEnum(const EnumBinding& binding, PyObject* member) {
  if (!PassEnumGate(binding)) return nullptr;
  int32_t value = 0;
  if (!MemberValue(member, &value)) return nullptr;
  uint32_t handle = 0;
  if (SlotOf<ValueToHandleEntry>(binding, kEnumAsUniEnum)(value, &handle) == 0 || PyErr_Occurred()) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "the .NET enumeration value is not available");
    return nullptr;
  }
  return ReflectionEnumValue(handle);
}

PyObject* EnumIsAssignable(const EnumBinding& binding, PyObject* object) {
  if (!PassEnumGate(binding)) return nullptr;
  uint32_t handle = 0;
  if (!GetNetHandle(object, &handle)) Py_RETURN_FALSE;
  int32_t answer = SlotOf<IsAssignableEntry>(binding, kEnumIsAssignable)(handle);
  if (PyErr_Occurred()) return nullptr;
  return PyBool_FromLong(answer != 0);
}

PyObject* EnumGetType(const EnumBinding& binding, PyObject* member) {
  if (!PassEnumGate(binding)) return nullptr;
  int32_t value = 0;
  if (!MemberValue(member, &value)) return nullptr;
  uint32_t handle = 0;
  if (SlotOf<ValueToHandleEntry>(binding, kEnumGetType)(value, &handle) == 0 || PyErr_Occurred()) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "the .NET type is not available");
    return nullptr;
  }
  return ReflectionType(handle);
}

}  // namespace morvax::api
