// The typed containers of morvax.velto._wrpgen._generic: the data the generator writes from
// its element-id table (generic_catalogue.cpp), the typed .NET interop classes bound from it,
// and the 94 typed adapter types built from it at module creation. A typed adapter behaves as
// its untyped counterpart; its casting services and enumerators are its element's own.
#pragma once

#include <Python.h>

#include <climits>
#include <cstdint>

#include "interop/containers/adapters.h"

namespace morvax::containers {

// How an element crosses: which converter writes it and which builder reads it.
enum class ElementFamily : uint8_t { Class, Enum, Int32, Double, Bool, DateTime, String, Object, Type, Stream, Array };
// The typed .NET classes (Morvax.WrpGen.Generic.SiApi<kind>_<id>).
enum class GenericClass : uint8_t { Array, CntCollection, CntList, List, Enumerable, Enumerator, Count };
// The typed adapter kinds (<prefix><id> in _generic).
enum class GenericKind : uint8_t { Array, IList, List, Iter, Iterable };

inline constexpr int kMaxGenericEntries = 27;

struct GenericElement {
  const char* id;       // the fixed eight-digit identifier
  const char* netName;  // the element's .NET full name ("[]" after it: an array)
  ElementFamily family;
};
struct GenericClassSpec {
  GenericClass kind;
  uint16_t element;  // index into kGenericElements
  const char* interopName;
  const char* entries[kMaxGenericEntries];  // in binding order, null-terminated
};
struct GenericTypeSpec {
  GenericKind kind;
  uint16_t element;
  const char* fullName;
};

// Written by the generator.
extern const GenericElement kGenericElements[];
extern const int kGenericElementCount;
extern const GenericClassSpec kGenericClasses[];
extern const int kGenericClassCount;
extern const GenericTypeSpec kGenericTypes[];
extern const int kGenericTypeCount;

// Builds the typed adapter types and adds them to the _generic module. 0, or -1 with ImportError.
int RegisterGenericTypes(PyObject* module);

// x[index] of a typed array over a class element, read through its own typed class: the new
// item with *status 0; otherwise null with *status the entry's status (2: out of range) and
// any error set. Null with *status untouched for other types, which read the untyped way:
// start it at kNotHanded.
inline constexpr int32_t kNotHanded = INT32_MIN;
PyObject* HandedItemAt(PyObject* self, int32_t index, int32_t* status);

// Items read through the untyped classes for a typed adapter over a class element (its
// slices, copies, pop, list items) come wrapped by their run-time class; these give each such
// item the element's declared class instead, moving its handle to the new wrapper. Items of
// other adapters, and items whose class is not below the element's, stay as they are.
// DeclareItem takes over item (null passes through) and returns the item to use, or null with
// an error; DeclareItems works in place on a list: 0, or -1 with an error.
PyObject* DeclareItem(PyTypeObject* type, PyObject* item);
int DeclareItems(PyTypeObject* type, PyObject* list);

// Before a bulk addition of count items to a typed _ListWrapper_: reserves room through the
// element's list class. True (nothing to do for other types), or false with an error.
bool EnsureTypedCapacity(PyObject* self, Py_ssize_t count);

// The untyped adapter whose protocol a typed adapter type uses; Adapter::Count for other types.
Adapter UntypedAdapterOf(PyTypeObject* type);

// The typed adapter type of a kind over an element (an index of kGenericElements), or null
// when the element has none of that kind.
PyTypeObject* TypedAdapterType(GenericKind kind, int element);

// Whether a value may be written to (or looked up in) a collection of the type: always for
// untyped adapters; for typed ones the element's converter decides, and a refusal is false with
// that converter's TypeError (for example "can't build Paragraph value from 'Run'").
bool AcceptsElement(PyTypeObject* type, PyObject* value);

// A value as the element's .NET form, by the element's converter: a class element's handle
// (uint32_t; None is 0), an enumeration's integer (int32_t), a Type's handle (uint32_t).
// 1, or 0 with the converter's TypeError.
int ConvertElement(int element, PyObject* value, void* out);

// The generic callback block of 42 entries handed to .NET (generic_callbacks.cpp).
const void* GenericCallbackBlock();

// Asks the element's typed class of a kind (Array or List) whether it accepts a .NET object:
// true with *answer set, or false with TypeError when the class's table cannot be bound.
bool TypedClassAccepts(int element, GenericClass kind, uint32_t handle, int32_t* answer);

// A container argument (None, a typed adapter, an accepted .NET object, a Python list or
// sized sequence) for an array (kind Array) or list (kind List) of the element: 1, or 0 with
// TypeError "can't build Array value from '%s'" / "can't build List value from '%s'".
struct EnumerableArgument;
int ConvertContainerArgument(int element, GenericClass kind, PyObject* object, EnumerableArgument* out);

// Once an overload is chosen: each item of a Python list or sequence (kinds 2 and 3) handed
// for a container of class, stream or array elements must pass the element's converter, so
// that a wrong item is refused with that converter's TypeError rather than failing in .NET.
// Checking after the choice leaves overload dispatch as it is. 1, or 0 with the error.
int CheckContainerItems(int element, const EnumerableArgument& argument);

// iter() over a .NET object through the typed enumerable of an element (an index of
// kGenericElements): a new enumerator of the element's _IterWrapper_ type, or null with an error.
PyObject* IterateElements(uint32_t handle, int element);

}  // namespace morvax::containers
