// The adapter types of morvax.velto._wrpgen._interop: which .NET tables each needs, how
// an instance is made for a handle, and the protocol functions the type objects are
// filled with (iteration.cpp, list_protocol.cpp).
#pragma once

#include <Python.h>

#include <cstdint>
#include <vector>

#include "interop/containers/interop_classes.h"
#include "interop/host_object.h"

namespace morvax::containers {

// In registration order. BufferView (_ShlBufferView) alone carries no handle.
enum class Adapter : uint8_t {
  Disposable,
  Iter,
  Iterable,
  ICol,
  IList,
  RoColBase,
  ColBase,
  Array,
  ArrList,
  BufferView,
  Stream,
  Count
};

// The _StreamWrapper instance: a wrapper with the adapter's own closed flag.
struct StreamObject {
  PyHostObject base;
  int32_t closed;  // 0 open, 1 after close() or __exit__
};

PyTypeObject* AdapterType(Adapter adapter);
// The adapter whose type the object has exactly, or Adapter::Count.
Adapter AdapterOf(PyObject* object);
// The untyped adapter a type is, or Adapter::Count for any other type (a typed adapter among them).
Adapter AdapterOfType(PyTypeObject* type);

// A new adapter instance of the type for an owned handle (0 gives None); on failure the
// handle is released and null returned.
PyObject* WrapAdapter(uint32_t handle, PyTypeObject* type);

// The list group's wrapping callbacks: an _IListWrapper, _ArrListWrapper or _ArrayWrapper for
// an owned handle, as WrapAdapter (on failure the handle is released and null returned).
extern "C" {
PyObject* WrapIListCallback(uint32_t handle);
PyObject* WrapArrayListCallback(uint32_t handle);
PyObject* WrapArrayCallback(uint32_t handle);
}

// Stores a readied adapter type's interface sets (_additional_interfaces and
// _implicit_interfaces, each a new set of the members) and its two markers (None). 0, or -1
// with ImportError (codes -1017, -1018; -1016, -1021).
int StoreInterfaceSets(PyTypeObject* type, const std::vector<PyTypeObject*>& members);
int StoreMarkers(PyTypeObject* type);

// Readies the adapter types and adds them, with their interface sets and markers, to the
// _interop module. 0, or -1 with ImportError.
int RegisterAdapterTypes(PyObject* module);

inline uint32_t HandleOf(PyObject* self) { return reinterpret_cast<PyHostObject*>(self)->handle; }

// Iteration (iteration.cpp).
PyObject* IterateAdapter(PyObject* self);  // iter() of every iterable adapter
PyObject* NextItem(PyObject* self);        // next() of _IterWrapper
extern PyMethodDef kDisposableMethods[];   // __enter__, __exit__
// The with protocol of every .NET disposable, shared by _IDisposableWrapper and the bound
// classes whose .NET type is disposable: enter gives the object itself, exit disposes it.
PyObject* DisposableEnter(PyObject* self, PyObject* unused);
PyObject* DisposableExit(PyObject* self, PyObject* excInfo);
inline constexpr const char* kDisposableEnterDoc = "__enter__() -> self";
inline constexpr const char* kDisposableExitDoc = "__exit__(*exc_info) -> None\n\nDisposes the .NET object.";

// The list protocol (list_protocol.cpp): slots and methods of the collection adapters.
extern PySequenceMethods kListSequence, kArraySequence, kCollectionSequence;
extern PyMappingMethods kListMapping, kArrayMapping;
extern PyMethodDef kListMethods[], kArrListMethods[], kArrayMethods[], kCollectionMethods[];
extern PyGetSetDef kLengthGetSet[];
// The stream adapter (stream_wrapper.cpp).
extern PyMethodDef kStreamMethods[];
extern PyGetSetDef kStreamGetSet[];
PyObject* IterateStream(PyObject* self);
PyObject* NextLine(PyObject* self);

// Number of casting-method rows appended to each method table.
inline constexpr int kCastingMethodCount = 7;

}  // namespace morvax::containers
