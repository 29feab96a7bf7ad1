// The class runtime: readiness, creation, overload dispatch, argument conversion and
// result building for every bound class, driven by the generated records.
#include "api/class_runtime.h"

#include <cstring>

#include "api/casting.h"
#include "api/enumerations.h"
#include "api/value_kinds.h"
#include "interop/converters.h"
#include "interop/datetime_values.h"
#include "interop/descriptors.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"

namespace morvax::api {

namespace {

// The single native shape of every member entry point: the receiver's handle (0 for
// constructors and static members), the argument slots, and the result slot.
using MemberEntry = void (*)(uint32_t self, void* const* args, void* result);

constexpr int kMaxParameters = 16;

int ConvertOne(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  auto convert = RowOf(spec.kind).convert;
  if (convert != nullptr) return convert(spec, object, slot, pointer);
  PyErr_SetString(PyExc_SystemError, "parameter of no value kind");
  return 0;
}

// The handle of a wrapper argument as it is now (see Arguments::RereadHandles).
void RereadHandle(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot) {
  auto* wrapper = reinterpret_cast<PyHostObject*>(object);
  if (spec.kind == ValueKind::Class && object != Py_None) {
    slot.handle = wrapper->handle;
  } else if (spec.kind == ValueKind::Interface && object != Py_None) {
    slot.pair.handle = wrapper->handle;
  } else if (spec.kind == ValueKind::Object &&
             (slot.variant.kind == kVariantHostObject || slot.variant.kind == kVariantHostTarget)) {
    slot.variant.value = wrapper->handle;
  }
}

// The converted arguments of one call; byte buffers and file names are released when it goes.
class Arguments {
 public:
  explicit Arguments(const OverloadSpec& overload) : overload_(overload) {}
  ~Arguments() {
    for (int i = 0; i < converted_; ++i) {
      auto release = RowOf(overload_.parameters[i].kind).release;
      if (release != nullptr) release(slots_[i]);
    }
  }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;

  // Converts the parsed objects in order; 0 with the converter's error at the first refusal.
  int Convert(PyObject* const* objects) {
    for (int i = 0; i < overload_.parameterCount; ++i) {
      if (!ConvertOne(overload_.parameters[i], objects[i], slots_[i], pointers_[i])) return 0;
      converted_ = i + 1;
    }
    RereadHandles(objects);
    return 1;
  }
  // Once the overload is chosen: the items of Python containers, by their element's
  // converter. 0 with its error; the call then fails without trying other overloads.
  int CheckItems() {
    for (int i = 0; i < overload_.parameterCount; ++i) {
      const ValueSpec& parameter = overload_.parameters[i];
      if (parameter.element != 0 && !CheckConvertedItems(parameter, slots_[i])) return 0;  // typed containers only
    }
    return 1;
  }
  void* const* pointers() const { return pointers_; }

 private:
  // Converting a later argument may run Python code (a tzinfo, an __index__) that
  // re-initialises an earlier wrapper argument, releasing the handle read from it; the
  // handles are therefore read again once every argument is converted.
  void RereadHandles(PyObject* const* objects) {
    for (int i = 0; i < overload_.parameterCount; ++i) RereadHandle(overload_.parameters[i], objects[i], slots_[i]);
  }

  const OverloadSpec& overload_;
  // Entries up to the converted count are set; .NET reads no further (a hot path).
  ArgumentSlot slots_[kMaxParameters];
  void* pointers_[kMaxParameters];
  int converted_ = 0;
};

// Matches positional and keyword arguments to the overload's parameters with the
// interpreter's own parser, so that its messages are the interpreter's. Borrowed
// references land in objects.
int ParseTupleAndKeywords(const OverloadSpec& overload, PyObject* args, PyObject* kwargs, PyObject** o) {
  static const char* const kFormats[kMaxParameters + 1] = {
      "",
      "O",
      "OO",
      "OOO",
      "OOOO",
      "OOOOO",
      "OOOOOO",
      "OOOOOOO",
      "OOOOOOOO",
      "OOOOOOOOO",
      "OOOOOOOOOO",
      "OOOOOOOOOOO",
      "OOOOOOOOOOOO",
      "OOOOOOOOOOOOO",
      "OOOOOOOOOOOOOO",
      "OOOOOOOOOOOOOOO",
      "OOOOOOOOOOOOOOOO",
  };
  char** keywords = const_cast<char**>(overload.keywords);
  const char* format = kFormats[overload.parameterCount];
  PyRef empty;  // stands in for a call without positional arguments
  if (args == nullptr) {
    empty = PyRef::steal(PyTuple_New(0));
    args = empty.get();
  }
  if (args == nullptr) return 0;
  int parsed = 0;
  switch (overload.parameterCount) {
#define MORVAX_PARSE_CASE(n, ...)                                                     \
  case n:                                                                             \
    parsed = PyArg_ParseTupleAndKeywords(args, kwargs, format, keywords __VA_ARGS__); \
    break;
    MORVAX_PARSE_CASE(0)
    MORVAX_PARSE_CASE(1, , &o[0])
    MORVAX_PARSE_CASE(2, , &o[0], &o[1])
    MORVAX_PARSE_CASE(3, , &o[0], &o[1], &o[2])
    MORVAX_PARSE_CASE(4, , &o[0], &o[1], &o[2], &o[3])
    MORVAX_PARSE_CASE(5, , &o[0], &o[1], &o[2], &o[3], &o[4])
    MORVAX_PARSE_CASE(6, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5])
    MORVAX_PARSE_CASE(7, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6])
    MORVAX_PARSE_CASE(8, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7])
    MORVAX_PARSE_CASE(9, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8])
    MORVAX_PARSE_CASE(10, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9])
    MORVAX_PARSE_CASE(11, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9], &o[10])
    MORVAX_PARSE_CASE(12, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9], &o[10], &o[11])
    MORVAX_PARSE_CASE(13, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9], &o[10], &o[11],
                      &o[12])
    MORVAX_PARSE_CASE(14, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9], &o[10], &o[11],
                      &o[12], &o[13])
    MORVAX_PARSE_CASE(15, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9], &o[10], &o[11],
                      &o[12], &o[13], &o[14])
    MORVAX_PARSE_CASE(16, , &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8], &o[9], &o[10], &o[11],
                      &o[12], &o[13], &o[14], &o[15])
#undef MORVAX_PARSE_CASE
    default:
      PyErr_SetString(PyExc_SystemError, "too many parameters for one overload");
  }
  return parsed;
}

// The arguments of one call as they came: as the vectorcall protocol hands them over (a
// vector of the positional arguments followed by the values of the named ones, whose
// names are a tuple), or as a tuple and a dictionary. The tuple and the dictionary the
// interpreter's parser reads are made only when it is asked for: a call that passes
// exactly the parameters by position, the common case, is matched without them.
class CallArguments {
 public:
  CallArguments(PyObject* args, PyObject* kwargs)
      : items_(args != nullptr ? &PyTuple_GET_ITEM(args, 0) : nullptr),
        positional_(args != nullptr ? PyTuple_GET_SIZE(args) : 0),
        named_(kwargs != nullptr ? PyDict_GET_SIZE(kwargs) : 0),
        args_(args),
        kwargs_(kwargs) {}
  CallArguments(PyObject* const* items, Py_ssize_t positional, PyObject* kwnames)
      : items_(items),
        positional_(positional),
        named_(kwnames != nullptr ? PyTuple_GET_SIZE(kwnames) : 0),
        kwnames_(kwnames),
        fromVector_(true) {}
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;

  Py_ssize_t positional() const { return positional_; }
  Py_ssize_t named() const { return named_; }
  PyObject* positionalItem(Py_ssize_t i) const { return items_[i]; }

  // The tuple and dictionary (null when nothing is named) of the call; false with an
  // error when they cannot be made.
  bool AsTupleAndDict(PyObject** args, PyObject** kwargs) {
    if (fromVector_ && !madeTuple_) {
      tuple_ = PyRef::steal(PyTuple_New(positional_));
      if (!tuple_) return false;
      for (Py_ssize_t i = 0; i < positional_; ++i) {
        Py_INCREF(items_[i]);
        PyTuple_SET_ITEM(tuple_.get(), i, items_[i]);
      }
      if (named_ != 0) {
        dict_ = PyRef::steal(PyDict_New());
        if (!dict_) return false;
        for (Py_ssize_t i = 0; i < named_; ++i) {
          if (PyDict_SetItem(dict_.get(), PyTuple_GET_ITEM(kwnames_, i), items_[positional_ + i]) < 0) return false;
        }
      }
      args_ = tuple_.get();
      kwargs_ = dict_.get();
      madeTuple_ = true;
    }
    *args = args_;
    *kwargs = kwargs_;
    return true;
  }

 private:
  PyObject* const* items_;
  Py_ssize_t positional_;
  Py_ssize_t named_;
  PyObject* args_ = nullptr;
  PyObject* kwargs_ = nullptr;
  PyObject* kwnames_ = nullptr;
  bool fromVector_ = false;
  bool madeTuple_ = false;
  PyRef tuple_;
  PyRef dict_;
};

// Matches the call's arguments to the overload's parameters. Exactly the parameters
// given by position is a match the parser would make too, without a word to say, so it
// is taken as it stands; anything else goes to the interpreter's parser for its answer
// and its messages. Borrowed references land in objects.
int ParseArguments(const OverloadSpec& overload, CallArguments& call, PyObject** objects) {
  if (call.named() == 0 && call.positional() == overload.parameterCount) {
    for (int i = 0; i < overload.parameterCount; ++i) objects[i] = call.positionalItem(i);
    return 1;
  }
  PyObject *args, *kwargs;
  if (!call.AsTupleAndDict(&args, &kwargs)) return 0;
  return ParseTupleAndKeywords(overload, args, kwargs, objects);
}

// Releases what a result slot owns when the call failed after .NET filled it.
void DiscardResult(const ValueSpec& spec, ResultSlot& result) {
  auto discard = RowOf(spec.kind).discard;
  if (discard != nullptr) discard(result);
}

PyObject* BuildResult(const ValueSpec& spec, ResultSlot& result) { return RowOf(spec.kind).build(spec, result); }

// Calls one overload whose arguments are converted, and builds its result.
PyObject* Invoke(const MethodSpec& method, const OverloadSpec& overload, uint32_t self, void* const* arguments) {
  ResultSlot result;
  std::memset(&result, 0, sizeof result);
  auto entry = reinterpret_cast<MemberEntry>(ClassSlots(*method.owner)[overload.slot]);
  entry(self, arguments, &result);
  if (PyErr_Occurred()) {
    DiscardResult(overload.result, result);
    return nullptr;
  }
  return BuildResult(overload.result, result);
}

// Whether a converter could accept the object: false only where it certainly refuses.
// Lets dispatch pass over overloads without building their error until it is needed.
bool MayAccept(ValueKind kind, PyObject* object) { return RowOf(kind).mayAccept(object); }

// A cheap look at positional-only calls: the count must match (no overload has optional
// parameters) and each argument must be one its converter could take.
bool MayMatch(const OverloadSpec& overload, const CallArguments& call) {
  if (call.positional() + call.named() != overload.parameterCount) return false;
  if (call.named() != 0) return true;
  for (int i = 0; i < overload.parameterCount; ++i) {
    if (!MayAccept(overload.parameters[i].kind, call.positionalItem(i))) return false;
  }
  return true;
}

// Keeps the errors of the overloads that did not match, for the collected message. They
// are kept as fetched: an exception instance is made only when every overload failed.
class RejectedOverloads {
 public:
  ~RejectedOverloads() {
    for (int i = 0; i < count_; ++i) {
      Py_XDECREF(kept_[i].type);
      Py_XDECREF(kept_[i].value);
      Py_XDECREF(kept_[i].traceback);
    }
  }
  // An overload passed over by MayMatch: its error is produced only if it is needed.
  void Defer(const OverloadSpec& overload) {
    if (count_ < kMaxKept) {
      kept_[count_] = Fetched{nullptr, nullptr, nullptr};
      deferred_[count_++] = &overload;
    }
  }
  void KeepPendingError() {
    Fetched fetched;
    PyErr_Fetch(&fetched.type, &fetched.value, &fetched.traceback);
    if (count_ < kMaxKept) {
      deferred_[count_] = nullptr;
      kept_[count_++] = fetched;
    } else {
      Py_XDECREF(fetched.type);
      Py_XDECREF(fetched.value);
      Py_XDECREF(fetched.traceback);
    }
  }
  // TypeError whose value lists the kept errors' texts in overload order.
  void Raise(CallArguments& call) {
    PyRef reasons = PyRef::steal(PyList_New(0));
    for (int i = 0; reasons && i < count_; ++i) {
      Fetched& error = kept_[i];
      if (deferred_[i] != nullptr) {
        // The same parse and conversion again, now for its error.
        PyObject* objects[kMaxParameters];
        Arguments arguments(*deferred_[i]);
        if (ParseArguments(*deferred_[i], call, objects) && arguments.Convert(objects)) {
          PyErr_SetString(PyExc_TypeError, "argument types do not match");
        }
        PyErr_Fetch(&error.type, &error.value, &error.traceback);
      }
      PyErr_NormalizeException(&error.type, &error.value, &error.traceback);
      PyRef text = PyRef::steal(error.value != nullptr ? PyObject_Str(error.value) : PyUnicode_FromString(""));
      if (!text || PyList_Append(reasons.get(), text.get()) < 0) reasons = PyRef();
    }
    if (!reasons) return;
    PyErr_SetObject(PyExc_TypeError, reasons.get());
  }

 private:
  struct Fetched {
    PyObject* type;
    PyObject* value;
    PyObject* traceback;
  };
  // Entries up to count_ are set; the rest stay uninitialised on purpose (a hot path).
  static constexpr int kMaxKept = 32;
  Fetched kept_[kMaxKept];
  const OverloadSpec* deferred_[kMaxKept];
  int count_ = 0;
};

// Tries the overloads in order and calls onMatch(overload, argument pointers) for the
// first whose arguments parse and convert. With one overload its own error stands; when
// several all fail, TypeError carries the list of their errors. False when none matched.
template <typename OnMatch>
bool DispatchOverloads(const MethodSpec& method, CallArguments& call, OnMatch onMatch) {
  RejectedOverloads rejected;
  for (uint16_t i = 0; i < method.overloadCount; ++i) {
    const OverloadSpec& overload = method.overloads[i];
    if (method.overloadCount > 1 && !MayMatch(overload, call)) {
      rejected.Defer(overload);
      continue;
    }
    PyObject* objects[kMaxParameters];
    Arguments arguments(overload);
    if (ParseArguments(overload, call, objects) && arguments.Convert(objects)) {
      if (!arguments.CheckItems()) return false;
      onMatch(overload, arguments.pointers());
      return true;
    }
    if (method.overloadCount == 1) return false;
    rejected.KeepPendingError();
  }
  rejected.Raise(call);
  return false;
}

uint32_t HandleOf(PyObject* self) { return self != nullptr ? reinterpret_cast<PyHostObject*>(self)->handle : 0; }

// The receiver's handle is read after the arguments are converted, for the reason given
// at Arguments::RereadHandles.
PyObject* Dispatch(const MethodSpec& method, PyObject* self, CallArguments& call) {
  PyObject* result = nullptr;
  DispatchOverloads(method, call, [&](const OverloadSpec& overload, void* const* arguments) {
    result = Invoke(method, overload, HandleOf(self), arguments);
  });
  return result;
}

// Static members are called without an instance; they pass the class's readiness gate.
bool IsStaticCall(PyObject* self) { return self == nullptr; }

}  // namespace

void* const* BindClassSlots(const ClassBinding& binding) {
  ClassRuntime& runtime = *binding.runtime;
  std::call_once(runtime.tableOnce, [&] {
    host::FillDelegateTable(runtime.table, runtime.slots, binding.interopName, binding.entries, binding.entryCount);
  });
  runtime.tableReady.store(true, std::memory_order_release);
  return runtime.slots;
}

const TypeStatus& ClassStatus(const ClassBinding& binding) {
  ClassRuntime& runtime = *binding.runtime;
  if (runtime.statusReady.load(std::memory_order_acquire)) return runtime.status;
  std::call_once(runtime.statusOnce, [&] {
    ClassSlots(binding);
    TypeStatus& status = runtime.status;
    if (runtime.table.failed) {
      status = {true, false, runtime.table.errorText};
      return;
    }
    // The classes this one depends on: its exposed base first.
    if (binding.base != nullptr) {
      const TypeStatus& base = ClassStatus(*binding.base);
      if (base.failed) status = {true, true, base.message};
    }
  });
  runtime.statusReady.store(true, std::memory_order_release);
  return runtime.status;
}

bool CheckReadiness(const ClassBinding& binding) {
  if (RefuseInForkedChild()) return false;
  const TypeStatus& status = ClassStatus(binding);
  if (!status.failed) return true;
  PyErr_SetString(PyExc_TypeError, status.message.c_str());
  if (status.referencedFailed) RaiseChained(PyExc_TypeError, "one or more refereced type is not initialized");
  return false;
}

PyObject* BoundNew(PyTypeObject* type, PyObject*, PyObject*) {
  if (!PassReadinessGate(BindingOf(type))) return nullptr;
  PyObject* self = type->tp_alloc(type, 0);
  if (self != nullptr) reinterpret_cast<PyHostObject*>(self)->handle = 0;
  return self;
}

namespace {

int ConstructFrom(const ClassBinding& binding, PyObject* self, CallArguments& call) {
  if (RefuseInForkedChild()) return -1;
  bool matched =
      DispatchOverloads(*binding.constructors, call, [&](const OverloadSpec& overload, void* const* arguments) {
        ResultSlot result;
        std::memset(&result, 0, sizeof result);
        auto entry = reinterpret_cast<MemberEntry>(ClassSlots(binding)[overload.slot]);
        entry(0, arguments, &result);
        // A failed construction leaves the object as it was (a handle .NET made all the
        // same is released); a successful one replaces the handle of an earlier __init__.
        if (PyErr_Occurred()) {
          ReleaseHandle(result.handle);
          return;
        }
        auto* host = reinterpret_cast<PyHostObject*>(self);
        uint32_t previous = host->handle;
        host->handle = result.handle;
        if (previous != 0 && previous != result.handle) ReleaseHandle(previous);
      });
  return matched && !PyErr_Occurred() ? 0 : -1;
}

PyObject* CallMethodWith(const MethodSpec& method, PyObject* self, CallArguments& call) {
  if (RefuseInForkedChild()) return nullptr;
  if (IsStaticCall(self) && !PassReadinessGate(*method.owner)) return nullptr;
  return Dispatch(method, self, call);
}

}  // namespace

int Construct(const ClassBinding& binding, PyObject* self, PyObject* args, PyObject* kwargs) {
  CallArguments call(args, kwargs);
  return ConstructFrom(binding, self, call);
}

PyObject* ConstructVector(const ClassBinding& binding, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
  PyTypeObject* type = &binding.type->type;
  PyRef self = PyRef::steal(type->tp_new(type, nullptr, nullptr));
  if (!self) return nullptr;
  CallArguments call(args, PyVectorcall_NARGS(nargsf), kwnames);
  if (ConstructFrom(binding, self.get(), call) < 0) return nullptr;
  return self.release();
}

PyObject* BoundVectorcall(PyObject* type, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
  return ConstructVector(BindingOf(reinterpret_cast<PyTypeObject*>(type)), args, nargsf, kwnames);
}

PyObject* CallMethod(const MethodSpec& method, PyObject* self, PyObject* args, PyObject* kwargs) {
  CallArguments call(args, kwargs);
  return CallMethodWith(method, self, call);
}

PyObject* FastCallMethod(const MethodSpec& method, PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames) {
  CallArguments call(args, nargs, kwnames);
  return CallMethodWith(method, self, call);
}

PyObject* CallWithoutArguments(const MethodSpec& method, PyObject* self) {
  if (RefuseInForkedChild()) return nullptr;
  if (IsStaticCall(self) && !PassReadinessGate(*method.owner)) return nullptr;
  return Invoke(method, method.overloads[0], HandleOf(self), nullptr);
}

PyObject* PropertyGet(PyObject* self, void* closure) {
  const auto& property = *static_cast<const PropertySpec*>(closure);
  if (RefuseInForkedChild()) return nullptr;
  ResultSlot result;
  std::memset(&result, 0, sizeof result);
  auto entry = reinterpret_cast<MemberEntry>(ClassSlots(*property.owner)[property.getSlot]);
  entry(HandleOf(self), nullptr, &result);
  if (PyErr_Occurred()) {
    DiscardResult(property.type, result);
    return nullptr;
  }
  return BuildResult(property.type, result);
}

// Converts a property value into its one slot and calls the setter entry; the handles are
// read after the conversion (see Arguments::RereadHandles).
// Inlined into the assignment slot, the hot caller.
[[gnu::always_inline]] static inline int StoreProperty(const PropertySpec& property, PyObject* self, PyObject* value) {
  const ValueKindRow& row = RowOf(property.type.kind);
  if (row.convert == nullptr) {
    PyErr_SetString(PyExc_SystemError, "parameter of no value kind");
    return -1;
  }
  ArgumentSlot slot;
  void* pointer = nullptr;
  if (!row.convert(property.type, value, slot, pointer)) return -1;
  if (property.type.element != 0 && !CheckConvertedItems(property.type, slot)) {  // typed containers only
    if (row.release != nullptr) row.release(slot);
    return -1;
  }
  RereadHandle(property.type, value, slot);
  auto entry = reinterpret_cast<MemberEntry>(ClassSlots(*property.owner)[property.setSlot]);
  entry(HandleOf(self), &pointer, nullptr);
  if (row.release != nullptr) row.release(slot);
  return PyErr_Occurred() ? -1 : 0;
}

int PropertySet(PyObject* self, PyObject* value, void* closure) {
  const auto& property = *static_cast<const PropertySpec*>(closure);
  if (value == nullptr) {
    PyErr_Format(PyExc_TypeError, "cannot delete attribute '%s'", property.name);
    return -1;
  }
  if (RefuseInForkedChild()) return -1;
  return StoreProperty(property, self, value);
}

namespace {

// The settable property a name denotes on a bound type, or null. The answer is what the
// interpreter's own lookup gives (a getset descriptor of this runtime's setter), kept per
// class by name: bound types are static and immutable once readied, so it cannot change.
const PropertySpec* SettableProperty(PyTypeObject* type, PyObject* name) {
  ClassRuntime& runtime = *BindingOf(type).runtime;
  auto& entry = runtime.setters[(reinterpret_cast<uintptr_t>(name) >> 4) & (ClassRuntime::kSetterEntries - 1)];
  if (entry.name == name) return entry.property;
  PyObject* descriptor = _PyType_Lookup(type, name);  // borrowed
  const PropertySpec* property = nullptr;
  if (descriptor != nullptr && Py_IS_TYPE(descriptor, &PyGetSetDescr_Type)) {
    PyGetSetDef* definition = reinterpret_cast<PyGetSetDescrObject*>(descriptor)->d_getset;
    if (definition->set == PropertySet) property = static_cast<const PropertySpec*>(definition->closure);
  }
  // Only exact strings are kept: a str subclass could compare differently next time.
  if (PyUnicode_CheckExact(name)) {
    Py_INCREF(name);
    Py_XSETREF(entry.name, name);
    entry.property = property;
  }
  return property;
}

}  // namespace

// Attribute assignment on a bound object. A property of the class is set through its
// setter at once: the interpreter's generic path would find the same descriptor and call
// the same setter, after checks that cannot fail for a property of the object's own
// class. Every other name takes the generic path and its messages.
int BoundSetAttr(PyObject* self, PyObject* name, PyObject* value) {
  const PropertySpec* property = SettableProperty(Py_TYPE(self), name);
  if (property == nullptr) return PyObject_GenericSetAttr(self, name, value);
  if (value == nullptr) return PropertySet(self, value, const_cast<PropertySpec*>(property));
  if (RefuseInForkedChild()) return -1;
  return StoreProperty(*property, self, value);
}

PyObject* StaticGet(PyObject*, void* closure) {
  const auto& property = *static_cast<const PropertySpec*>(closure);
  if (!PassReadinessGate(*property.owner)) return nullptr;
  return PropertyGet(nullptr, closure);
}

PyObject* StaticSet(const PropertySpec& property, PyObject* value) {
  if (!PassReadinessGate(*property.owner)) return nullptr;
  if (StoreProperty(property, nullptr, value) < 0) return nullptr;
  Py_RETURN_NONE;
}

int ConvertClassArgument(const ClassBinding& binding, PyObject* object, uint32_t* handle) {
  if (object == Py_None) {
    *handle = 0;
    return 1;
  }
  PyTypeObject* type = &binding.type->type;
  if (PyObject_TypeCheck(object, type)) {
    *handle = reinterpret_cast<PyHostObject*>(object)->handle;
    return 1;
  }
  uint32_t candidate = 0;
  if (GetNetHandle(object, &candidate)) {
    if (!PassReadinessGate(binding)) return 0;
    int32_t assignable = binding.isStaticClass ? 0 : AskIsAssignable(binding, HostKindHandle{0, candidate});
    if (PyErr_Occurred()) return 0;
    if (assignable != 0) {
      *handle = candidate;
      return 1;
    }
  }
  PyErr_Format(PyExc_TypeError, "can't build %s value from '%s'", binding.simpleName, Py_TYPE(object)->tp_name);
  return 0;
}

void FillBoundType(const ClassBinding& binding) {
  BoundType& bound = *binding.type;
  bound.binding = &binding;
  PyTypeObject& type = bound.type;
  // A start-up that failed after readying this type runs again on the next import: the
  // type is live then, and must be left as it is.
  if ((type.tp_flags & Py_TPFLAGS_READY) != 0) return;
  Py_SET_REFCNT(&type, 1);
  type.tp_name = binding.pythonName;
  type.tp_doc = binding.doc;
  type.tp_basicsize = sizeof(PyHostObject);
  type.tp_flags = Py_TPFLAGS_DEFAULT;
  type.tp_dealloc = HostObjectDealloc;
  type.tp_methods = binding.methodDefs;
  type.tp_getset = binding.getsetDefs;
  // A class with a bound base sets only the slots that differ from the base's: readying
  // gives the others the base's functions by inheritance, where setting them again would
  // also put a wrapper object for each into the class's dictionary (a dozen per class),
  // while lookups and calls find the base's, which wrap the same functions.
  const ClassBinding* base = binding.base;
  type.tp_base = base != nullptr ? &base->type->type : nullptr;
  if (base == nullptr) {
    type.tp_repr = HostObjectRepr;
    type.tp_hash = HostObjectHash;
    type.tp_richcompare = HostObjectRichCompare;
    type.tp_setattro = BoundSetAttr;
    type.tp_new = BoundNew;
  }
  if (base == nullptr || base->sequence != binding.sequence) type.tp_as_sequence = binding.sequence;
  if (base == nullptr || base->iterate != binding.iterate) type.tp_iter = binding.iterate;
  if (base == nullptr || base->init != binding.init) type.tp_init = binding.init;
  // Calling a class with constructors makes and constructs the object in one vectorcall;
  // one without keeps the interpreter's path to the initialiser that refuses.
  if (binding.constructors != nullptr) type.tp_vectorcall = BoundVectorcall;
  // Instances are exactly a PyHostObject: their blocks are reused (HostObjectAlloc).
  type.tp_alloc = HostObjectAlloc;
  type.tp_free = HostObjectFree;
}

// Entries of a class dictionary besides its methods and properties: slot wrappers, the
// documentation, the markers and interface sets.
constexpr Py_ssize_t kDictionaryExtras = 16;

// A bound type is static and immutable: its dictionary lives as long as the process.
int ReadyBoundType(const ClassBinding& binding) {
  PyTypeObject* type = &binding.type->type;
  // The dictionary is made for every entry the class gets: its methods, properties and
  // static descriptors, the slot wrappers and the entries start-up adds. Readying would
  // otherwise grow it step by step, a copy of the table each time.
  if (type->tp_dict == nullptr && (type->tp_flags & Py_TPFLAGS_READY) == 0) {
    Py_ssize_t entries = kDictionaryExtras;
    for (const PyMethodDef* method = binding.methodDefs; method != nullptr && method->ml_name != nullptr; ++method) {
      ++entries;
    }
    for (const PyGetSetDef* property = binding.getsetDefs; property != nullptr && property->name != nullptr;
         ++property) {
      ++entries;
    }
    for (const PyGetSetDef* property = binding.staticDefs; property != nullptr && property->name != nullptr;
         ++property) {
      ++entries;
    }
    type->tp_dict = _PyDict_NewPresized(entries);
    if (type->tp_dict == nullptr) return -1;
  }
  if (PyType_Ready(type) < 0) return -1;
  UntrackPermanentClassDict(type);
  return 0;
}

}  // namespace morvax::api
