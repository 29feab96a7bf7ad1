// Wrapper objects: handle ownership, wrapping, unwrapping and the shared type slots.
#include "interop/host_object.h"

#include "common/interned_names.h"
#include "common/sibling_apis.h"
#include "common/static_type_memo.h"
#include "host/exchange_host.h"
#include "host/object_host.h"
#include "interop/containers/adapters.h"
#include "interop/error_bridge.h"
#include "interop/type_registry.h"

namespace morvax {

static PyHostObject* AsHost(PyObject* object) { return reinterpret_cast<PyHostObject*>(object); }

void ReleaseHandle(uint32_t handle) {
  // A forked child cannot reach the runtime: its handles go with the process.
  if (handle == 0 || host::ForkedAfterStart()) return;
  // Freeing the queued handles may report a failure; one pending already is kept.
  if (PyErr_Occurred()) {
    PyObject *type, *value, *traceback;
    PyErr_Fetch(&type, &value, &traceback);
    host::ExchangeHost::Instance().Release(handle);
    if (PyErr_Occurred()) PyErr_WriteUnraisable(nullptr);
    PyErr_Restore(type, value, traceback);
    return;
  }
  host::ExchangeHost::Instance().Release(handle);
}

// The host-object kind of an object's exact type: 0 (.NET object), 1 (value-type target),
// or -1 when the type is no wrapper type. Only the type's own dictionary counts.
static int MarkedKindOf(PyTypeObject* type) {
  // A Python class may carry the marker too: only this module's static types count, and
  // only with room for a handle.
  if ((type->tp_flags & Py_TPFLAGS_HEAPTYPE) != 0 ||
      type->tp_basicsize < static_cast<Py_ssize_t>(sizeof(PyHostObject))) {
    return -1;
  }
  PyObject* dict = type->tp_dict;
  if (dict == nullptr) return -1;
  PyObject* marker = PyDict_GetItemWithError(dict, Interned(Name::_morvax_clr_host));  // borrowed
  if (marker == Py_None) return 0;
  if (marker == Py_Ellipsis) return 1;
  if (marker == nullptr && PyErr_Occurred()) PyErr_Clear();
  return -1;
}

// MarkedKindOf, with the wrapper types met last remembered (only wrapper types: a type that
// has no marker yet is asked again).
static int HostKindOf(PyObject* object) {
  static StaticTypeMemo<int> wrapperKinds;
  PyTypeObject* type = Py_TYPE(object);
  if (const int* kind = wrapperKinds.Find(type)) return *kind;
  const int kind = MarkedKindOf(type);
  int replaced;
  if (kind >= 0) wrapperKinds.Remember(type, kind, &replaced);
  return kind;
}

bool GetHostHandle(PyObject* object, HostKindHandle* out) {
  if (object == Py_None) {
    *out = {0, 0};
    return true;
  }
  int kind = HostKindOf(object);
  if (kind < 0) return false;
  *out = {kind, AsHost(object)->handle};
  return true;
}

bool GetNetHandle(PyObject* object, uint32_t* handle) {
  if (HostKindOf(object) != 0) return false;
  *handle = AsHost(object)->handle;
  return true;
}

// A new wrapper of the type holding an owned handle; on failure the handle is released.
// The per-class creation slot refuses classes whose binding failed.
static PyObject* NewWrapper(PyTypeObject* type, uint32_t handle) {
  PyObject* wrapper = type->tp_new(type, nullptr, nullptr);
  if (wrapper == nullptr) {
    ReleaseHandle(handle);
    return nullptr;
  }
  AsHost(wrapper)->handle = handle;
  return wrapper;
}

PyObject* WrapHandle(uint32_t handle, PyTypeObject* declaredType) {
  if (handle == 0) Py_RETURN_NONE;
  return NewWrapper(declaredType, handle);
}

PyObject* WrapObjectRef(const HostObjectRef& ref, PyTypeObject* declaredType) {
  if (ref.value == 0) Py_RETURN_NONE;
  if (ref.kind == 2) {
    PyObject* object = reinterpret_cast<PyObject*>(ref.value);
    Py_INCREF(object);
    return object;
  }
  uint32_t handle = static_cast<uint32_t>(ref.value);
  PyTypeObject* runtimeType = HostTypeRegistry::Instance().LookupRuntimeType(handle, ref.typeKey);
  if (runtimeType == nullptr && PyErr_Occurred()) {
    ReleaseHandle(handle);
    return nullptr;
  }
  return WrapHandle(handle, runtimeType != nullptr ? runtimeType : declaredType);
}

namespace {

// The type keys .NET gives objects that are wrapped by their family rather than by their
// own class (Marshalling.cs): any stream as _StreamWrapper, any Type as the reflection
// module's Type. Counted keys start at 1 and never reach these.
constexpr uint32_t kStreamFamilyKey = 0xFFFFFFFF;
constexpr uint32_t kTypeFamilyKey = 0xFFFFFFFE;

// The wrapper of an object .NET handed over under a family key, taking over its handle;
// null with an error, or null alone when the key is no family key.
PyObject* WrapFamily(uint32_t handle, uint32_t typeKey) {
  if (typeKey == kTypeFamilyKey) return ReflectionType(handle);
  if (typeKey == kStreamFamilyKey)
    return containers::WrapAdapter(handle, containers::AdapterType(containers::Adapter::Stream));
  return nullptr;
}

}  // namespace

// The type key met last and its class, kept once the class has made a wrapper through its
// creation slot: the items of one collection mostly share their type, and the next of the
// same key is made without the registry or the slot's gate (a gate once passed stays passed).
// Only classes whose instances fit a kept block are kept, so that MakeItemWrapper can take one.
uint32_t detail::g_lastWrappedKey = 0;
PyTypeObject* detail::g_lastWrappedType = nullptr;

extern "C" PyObject* MakeWrapperCallback(uint32_t handle, uint32_t typeKey) {
  using detail::g_lastWrappedKey, detail::g_lastWrappedType;
  if (typeKey == g_lastWrappedKey && g_lastWrappedType != nullptr) return WrapPassedType(handle, g_lastWrappedType);
  if (typeKey == kTypeFamilyKey || typeKey == kStreamFamilyKey) return WrapFamily(handle, typeKey);
  PyTypeObject* type = HostTypeRegistry::Instance().LookupRuntimeTypeStrict(handle, typeKey);
  if (type == nullptr) {
    ReleaseHandle(handle);
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "unknown wrapper type");
    return nullptr;
  }
  PyObject* wrapper = NewWrapper(type, handle);  // a handle of 0 is not special here
  if (wrapper != nullptr && type->tp_alloc == HostObjectAlloc &&
      type->tp_basicsize == static_cast<Py_ssize_t>(sizeof(PyHostObject))) {
    g_lastWrappedKey = typeKey;
    g_lastWrappedType = type;
  }
  return wrapper;
}

extern "C" int32_t TryMakeWrapperCallback(uint32_t handle, uint32_t typeKey, PyObject** out) {
  if (typeKey == kTypeFamilyKey || typeKey == kStreamFamilyKey) {
    *out = WrapFamily(handle, typeKey);
    return *out != nullptr ? 1 : -1;
  }
  PyTypeObject* type = HostTypeRegistry::Instance().LookupRuntimeTypeStrict(handle, typeKey);
  if (type == nullptr) {
    ReleaseHandle(handle);
    if (PyErr_Occurred()) {
      *out = nullptr;
      return -1;
    }
    return 0;
  }
  *out = NewWrapper(type, handle);
  return *out != nullptr ? 1 : -1;
}

// Blocks of released wrappers kept for the next wrappers: every wrapper is the same small
// object, made and dropped as fast as results are read, and a kept block is cheaper than a
// round trip through the allocator. Only the interpreter-lock holder touches the list.
void* detail::g_keptBlocks[detail::kKeptBlocks];
int detail::g_keptCount = 0;
using detail::FromKeptBlock, detail::g_keptCount, detail::KeepBlock;

PyObject* HostObjectAlloc(PyTypeObject* type, Py_ssize_t items) {
  if (g_keptCount == 0 || items != 0 || type->tp_basicsize != static_cast<Py_ssize_t>(sizeof(PyHostObject))) {
    return PyType_GenericAlloc(type, items);
  }
  return FromKeptBlock(type, 0);
}

void HostObjectFree(void* block) {
  if (!KeepBlock(block)) PyObject_Free(block);
}

PyObject* WrapPassedType(uint32_t handle, PyTypeObject* type) {
  // HostObjectAlloc's kept block, taken here without the call.
  if (g_keptCount != 0 && type->tp_basicsize == static_cast<Py_ssize_t>(sizeof(PyHostObject))) {
    return FromKeptBlock(type, handle);
  }
  PyObject* wrapper = HostObjectAlloc(type, 0);
  if (wrapper == nullptr) {
    ReleaseHandle(handle);
    return nullptr;
  }
  AsHost(wrapper)->handle = handle;
  return wrapper;
}

// HostObjectDealloc's handle when it cannot join the release queue: released now, without
// disturbing an exception that is being propagated past the object.
[[gnu::noinline]] static void ReleaseOnDealloc(PyObject* self, uint32_t handle) {
  if (!PyErr_Occurred()) {
    // The common case: nothing to keep aside.
    ReleaseHandle(handle);
    AsHost(self)->handle = 0;
    if (PyErr_Occurred()) PyErr_WriteUnraisable(self);
    return;
  }
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  ReleaseHandle(handle);
  AsHost(self)->handle = 0;
  if (PyErr_Occurred()) PyErr_WriteUnraisable(self);
  PyErr_Restore(type, value, traceback);
}

void HostObjectDealloc(PyObject* self) {
  uint32_t handle = AsHost(self)->handle;
  // The common case: the handle joins the release queue without a call into .NET, so
  // nothing can fail and no pending exception needs keeping aside.
  if (handle != 0 && (host::ForkedAfterStart() || !host::ExchangeHost::Instance().TryQueueRelease(handle))) {
    ReleaseOnDealloc(self, handle);
  }
  // The usual wrapper's block goes straight back to the kept ones, as HostObjectFree would put it.
  if (Py_TYPE(self)->tp_free == HostObjectFree && KeepBlock(self)) return;
  Py_TYPE(self)->tp_free(self);
}

PyObject* HostObjectRichCompare(PyObject* self, PyObject* other, int op) {
  if (op != Py_EQ && op != Py_NE) Py_RETURN_NOTIMPLEMENTED;
  if (self == other) return PyBool_FromLong(op == Py_EQ);
  HostKindHandle pair;
  if (!GetHostHandle(other, &pair)) Py_RETURN_NOTIMPLEMENTED;
  if (RefuseInForkedChild()) return nullptr;
  bool equal = host::ObjectHost::Instance().IsEqualsOfObj(AsHost(self)->handle, {pair.kind, pair.handle});
  if (PyErr_Occurred()) return nullptr;
  return PyBool_FromLong(equal == (op == Py_EQ));
}

Py_hash_t HostObjectHash(PyObject* self) {
  if (RefuseInForkedChild()) return -1;
  int32_t hash = host::ObjectHost::Instance().GetHashOfObj(AsHost(self)->handle);
  if (PyErr_Occurred()) return -1;
  return hash == -1 ? -2 : hash;
}

// The text of an object that .NET does not describe: its type, its address, and why.
static PyObject* PlainRepr(PyObject* self, const char* note) {
  return PyUnicode_FromFormat("<%s object at %p%s>", Py_TYPE(self)->tp_name, self, note);
}

PyObject* HostObjectRepr(PyObject* self) {
  // A repr must not fail where it can answer without .NET: an object made without
  // __init__ holds nothing, and a forked child cannot ask.
  if (AsHost(self)->handle == 0) return PlainRepr(self, ", holding no .NET object");
  if (host::ForkedAfterStart()) return PlainRepr(self, "");

  PyObject *asideType = nullptr, *asideValue = nullptr, *asideTraceback = nullptr;
  bool aside = PyErr_Occurred() != nullptr;
  if (aside) PyErr_Fetch(&asideType, &asideValue, &asideTraceback);

  void* text = nullptr;
  PyObject* result = nullptr;
  if (host::ObjectHost::Instance().ToStringOfObj(AsHost(self)->handle, &text) == 1) {
    result = static_cast<PyObject*>(text);
  } else if (!PyErr_Occurred()) {
    result = PlainRepr(self, "");
  }

  if (aside) {
    if (PyErr_Occurred()) PyErr_WriteUnraisable(Interned(Name::FormatCallbackException));
    PyErr_Restore(asideType, asideValue, asideTraceback);
  }
  return result;
}

int NoConstructorInit(PyObject*, PyObject*, PyObject*) {
  PyErr_SetString(PyExc_TypeError, "type has no available constructor");
  return -1;
}

PyObject* HostObjectGetType(PyObject* self, PyObject*) {
  if (RefuseInForkedChild()) return nullptr;
  uint32_t typeHandle = 0;
  if (host::ObjectHost::Instance().GetObjType(AsHost(self)->handle, &typeHandle) == 0) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "the .NET type of the object is not available");
    return nullptr;
  }
  return ReflectionType(typeHandle);
}

PyObject* RaiseReflectionMissing() {
  PyErr_SetString(PyExc_SystemError, "morvax.pyreflection is not initialized");
  return nullptr;
}

PyObject* CastResult(int32_t outcome, PyObject* object) {
  if (g_siblingApis.castResult == nullptr) {
    PyErr_SetString(PyExc_SystemError, "morvax.pygc is not initialized");
    return nullptr;
  }
  return g_siblingApis.castResult(outcome, object);
}

bool ReinterpretSource(PyObject* object, uint32_t* handle) {
  if (g_siblingApis.objectHandleOf == nullptr) return RaiseReflectionMissing(), false;
  if (g_siblingApis.objectHandleOf(object, handle)) return true;
  // The unwrap function refuses with its own TypeError; ours names the method. Any other
  // error (out of memory) stands.
  if (PyErr_Occurred() && !PyErr_ExceptionMatches(PyExc_TypeError)) return false;
  PyErr_Clear();
  PyErr_Format(PyExc_TypeError, "_reinterpret_obj() expects a .Net Object argument, got a %.100s object",
               Py_TYPE(object)->tp_name);
  return false;
}

PyObject* ReflectionType(uint32_t typeHandle) {
  if (g_siblingApis.makeType == nullptr) {
    ReleaseHandle(typeHandle);
    return RaiseReflectionMissing();
  }
  return g_siblingApis.makeType(typeHandle);
}

PyObject* ReflectionEnumValue(uint32_t handle) {
  if (g_siblingApis.makeEnum == nullptr) {
    ReleaseHandle(handle);
    return RaiseReflectionMissing();
  }
  return g_siblingApis.makeEnum(handle);
}

}  // namespace morvax
