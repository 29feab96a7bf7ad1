// The value kinds on the C++ side: the slots a value occupies while it crosses, and one row
// per kind saying how an argument is screened, converted and released, and how a result is
// built or discarded. The class runtime dispatches through this table only; the enumeration
// itself comes from the generator (generated_value_kinds.h), and the table is
// checked against it when it compiles.
#pragma once

#include <Python.h>

#include <cstdint>

#include "generated_value_kinds.h"  // generated: enum class ValueKind, kValueKindCount
#include "interop/containers/iteration.h"
#include "interop/containers/streams.h"
#include "interop/converters.h"
#include "interop/datetime_values.h"
#include "interop/host_object.h"

namespace morvax::api {

struct ValueSpec;

// A drawing value in the native layout morvax.pydrawing defines: at most four 32-bit fields.
struct DrawingValue {
  alignas(8) uint32_t fields[4];
};

// Where one converted argument lives until the call returns.
union ArgumentSlot {
  UnicodeView text;
  FileNameSlot fileName;
  uint8_t u8;
  int16_t i16;
  int32_t i32;
  int64_t i64;
  double f64;
  float f32;
  uint16_t unit;
  ByteSpanSlot bytes;
  PyVariant variant;
  uint32_t handle;
  HostDateTime dateTime;
  int64_t ticks;
  HostDecimal decimal;
  HostGuid guid;
  containers::EnumerableArgument enumerable;
  containers::StreamArgument stream;
  HostKindHandle pair;  // an interface value
  DrawingValue drawing;
};

// An interface result: the handle and the type key of the object's run-time class.
struct InterfaceResultRef {
  uint32_t handle;
  uint32_t typeKey;
};

// Where .NET writes one result.
union ResultSlot {
  uint8_t u8;
  int16_t i16;
  int32_t i32;
  int64_t i64;
  double f64;
  float f32;
  uint16_t unit;
  PyObject* object;
  uint32_t handle;
  HostDateTimeResult dateTime;
  int64_t ticks;
  HostDecimal decimal;
  HostGuid guid;
  HostObjectRef objectRef;
  InterfaceResultRef interfaceRef;
  DrawingValue drawing;
};

struct ValueKindRow {
  ValueKind kind;  // the row's own kind: the table is checked to be in enumeration order
  // Converts an argument into its slot and points .NET at what it reads; 0 with a Python
  // error. Null: no .NET member takes this kind as an argument.
  int (*convert)(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer);
  // Releases what a converted argument holds (null: nothing).
  void (*release)(ArgumentSlot& slot);
  // Whether the converter could accept the object: false only where it certainly refuses.
  bool (*mayAccept)(PyObject* object);
  // Builds the Python result from what .NET wrote (a new reference, or null with an error).
  PyObject* (*build)(const ValueSpec& spec, ResultSlot& result);
  // Releases what a result slot owns when the call failed after .NET filled it (null: nothing).
  void (*discard)(ResultSlot& result);
};

// After an argument is converted for the chosen overload: the items of a Python container
// given for a typed array or list are checked by the element's converter (see
// containers::CheckContainerItems). 1, or 0 with the converter's TypeError.
int CheckConvertedItems(const ValueSpec& spec, const ArgumentSlot& slot);

// The rows in the order of the generated enumeration (defined in value_kinds.cpp); read
// inline, as every argument and result of every call passes through it.
extern const ValueKindRow kValueKindRows[kValueKindCount];
inline const ValueKindRow& RowOf(ValueKind kind) { return kValueKindRows[static_cast<int>(kind)]; }

}  // namespace morvax::api
