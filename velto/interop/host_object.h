// Wrapper objects: the instance layout of every wrapper type (a .NET handle), making
// wrappers for handles that .NET returns, and taking handles back out of arguments.
#pragma once

#include <Python.h>

#include <cstdint>

#include "host/object_host.h"

namespace morvax {

struct PyHostObject {
  PyObject_HEAD
  uint32_t handle;  // owned; 0 until bound, and after release
};

// The pair by which a Python-side object is described to .NET (kind 0: .NET object, 1:
// value-type target): the object host's own record.
using HostKindHandle = host::KindHandle;

// A record for a result whose Python type is decided at run time.
struct HostObjectRef {
  int32_t kind;      // 0 .NET object, 1 value-type target, 2 Python object
  uintptr_t value;   // the handle, or for kind 2 a borrowed pointer to the Python object
  uint32_t typeKey;  // the runtime type's cache key
};

// None gives kind 0 and handle 0; a host object its kind and handle; anything else false.
bool GetHostHandle(PyObject* object, HostKindHandle* out);
// True and the handle only for wrappers of .NET objects (kind 0).
bool GetNetHandle(PyObject* object, uint32_t* handle);

// A new wrapper of the declared type for an owned handle; 0 gives None. On failure the
// handle is released and null returned.
PyObject* WrapHandle(uint32_t handle, PyTypeObject* declaredType);
PyObject* WrapObjectRef(const HostObjectRef& ref, PyTypeObject* declaredType);

// A new wrapper of a class type whose creation slot has let an instance through before
// (its readiness, once passed, stays passed), made without going through that slot again;
// the type must allocate with HostObjectAlloc. On failure the handle is released.
PyObject* WrapPassedType(uint32_t handle, PyTypeObject* type);

// Releases an owned handle now.
void ReleaseHandle(uint32_t handle);

extern "C" {
// Static-callback builders: a wrapper of the handle's registered runtime type.
PyObject* MakeWrapperCallback(uint32_t handle, uint32_t typeKey);
int32_t TryMakeWrapperCallback(uint32_t handle, uint32_t typeKey, PyObject** out);
}

namespace detail {
// The type key MakeWrapperCallback met last and its class (a class whose creation slot let an
// instance through and whose instances are exactly a PyHostObject), and the blocks of released
// wrappers kept for new ones (HostObjectFree). Only the interpreter-lock holder touches them.
extern uint32_t g_lastWrappedKey;
extern PyTypeObject* g_lastWrappedType;
constexpr int kKeptBlocks = 256;
extern void* g_keptBlocks[kKeptBlocks];
extern int g_keptCount;

// A wrapper of type holding handle, made in the block kept last (there must be one).
inline PyObject* FromKeptBlock(PyTypeObject* type, uint32_t handle) {
  auto* wrapper = static_cast<PyHostObject*>(g_keptBlocks[--g_keptCount]);
  wrapper->handle = handle;
  return PyObject_Init(reinterpret_cast<PyObject*>(wrapper), type);
}

// Keeps a released wrapper's block for the next wrapper; false when enough are kept.
inline bool KeepBlock(void* block) {
  if (g_keptCount == kKeptBlocks) return false;
  g_keptBlocks[g_keptCount++] = block;
  return true;
}
}  // namespace detail

// MakeWrapperCallback for the loops that wrap item after item: an item of the key met last
// is made here, in a kept block, without a call; anything else goes the callback's way.
inline PyObject* MakeItemWrapper(uint32_t handle, uint32_t typeKey) {
  if (typeKey == detail::g_lastWrappedKey && detail::g_lastWrappedType != nullptr && detail::g_keptCount != 0) {
    return detail::FromKeptBlock(detail::g_lastWrappedType, handle);
  }
  return MakeWrapperCallback(handle, typeKey);
}

// The slots every wrapper type shares. Alloc and Free keep the blocks of released
// wrappers for reuse; they serve types whose instances are exactly a PyHostObject (other
// sizes go to the interpreter's allocator).
PyObject* HostObjectAlloc(PyTypeObject* type, Py_ssize_t items);
void HostObjectFree(void* block);
void HostObjectDealloc(PyObject* self);
PyObject* HostObjectRichCompare(PyObject* self, PyObject* other, int op);
Py_hash_t HostObjectHash(PyObject* self);
PyObject* HostObjectRepr(PyObject* self);
int NoConstructorInit(PyObject* self, PyObject* args, PyObject* kwargs);
PyObject* HostObjectGetType(PyObject* self, PyObject* unused);

// The reflection module's Type (or Enum value) for a .NET type (or enumeration value)
// handle, which it takes over whatever happens: the one place the factories are fetched.
// Null with SystemError when morvax.pyreflection did not hand them over.
PyObject* ReflectionType(uint32_t typeHandle);
PyObject* ReflectionEnumValue(uint32_t handle);
// SystemError saying morvax.pyreflection is not initialized; returns null.
PyObject* RaiseReflectionMissing();
// The handle of the .NET object that a reflection object holds, for _reinterpret_obj
// (borrowed: the reflection object keeps owning it). False with an error set: SystemError
// when morvax.pyreflection is missing, the method's TypeError for any other object.
bool ReinterpretSource(PyObject* object, uint32_t* handle);
// What morvax.pygc makes of a cast's outcome and object (borrowed; null for none); null
// with SystemError when morvax.pygc did not hand its function over.
PyObject* CastResult(int32_t outcome, PyObject* object);

}  // namespace morvax
