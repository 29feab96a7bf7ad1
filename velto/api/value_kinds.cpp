// The C++ row of each value kind (see value_kinds.h). A new kind is one row here, in the
// order of the generated enumeration, and one row in the generator's table.
#include "api/value_kinds.h"

#include <iterator>

#include "api/class_binding.h"
#include "api/class_runtime.h"
#include "api/enumerations.h"
#include "api/interface_values.h"
#include "common/sibling_apis.h"
#include "interop/containers/adapters.h"
#include "interop/containers/generic_types.h"
#include "interop/host_object.h"

namespace morvax::api {

namespace {

using VK = ValueKind;
using AS = ArgumentSlot;
using Ad = containers::Adapter;
using GK = containers::GenericKind;

// Screens.
bool AnyObject(PyObject*) { return true; }
bool TextOrNone(PyObject* o) { return o == Py_None || PyUnicode_Check(o); }
bool Text(PyObject* o) { return PyUnicode_Check(o); }
bool Boolean(PyObject* o) { return PyBool_Check(o); }
bool Integer(PyObject* o) { return PyLong_Check(o) && !PyBool_Check(o); }
bool Real(PyObject* o) { return PyFloat_Check(o) || Integer(o); }
bool BufferOrNone(PyObject* o) { return o == Py_None || PyObject_CheckBuffer(o); }

// Converters of the kinds whose slot .NET reads where it was written.
template <int (*Converter)(PyObject*, void*), auto Member>
int Plain(const ValueSpec&, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot;
  return Converter(object, &(slot.*Member));
}

int ByteArrayArgument(const ValueSpec&, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.bytes.held;  // .NET reads the fields after the buffer record
  return ConvertByteArray(object, &slot.bytes);
}
int ClassArgument(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot;
  return ConvertClassArgument(*spec.klass, object, &slot.handle);
}
int EnumArgument(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot;
  return ConvertEnumArgument(*spec.enumeration, object, &slot.i32);
}

int EnumerableArgument(const ValueSpec&, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.enumerable;
  return containers::ConvertEnumerable(object, &slot.enumerable);
}
// A container argument is the .NET object a wrapper holds (None: null); .NET refuses one
// of the wrong type with its own error.
int ContainerArgument(const ValueSpec&, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot;
  slot.handle = 0;
  if (object == Py_None || GetNetHandle(object, &slot.handle)) return 1;
  PyErr_Format(PyExc_TypeError, "expected a .NET collection or None, not '%.200s'", Py_TYPE(object)->tp_name);
  return 0;
}

// An array argument: the builder of its element's typed containers.
int ArrayArgument(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.enumerable;
  return containers::ConvertContainerArgument(spec.element - 1, containers::GenericClass::Array, object,
                                              &slot.enumerable);
}
// A generic list argument: the list builder of its element.
int ListArgument(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.enumerable;
  return containers::ConvertContainerArgument(spec.element - 1, containers::GenericClass::List, object,
                                              &slot.enumerable);
}

int StreamArgument(const ValueSpec&, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.stream;
  return containers::ConvertStream(object, &slot.stream);
}

int InterfaceArgument(const ValueSpec& spec, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.pair;
  return ConvertInterfaceArgument(*spec.klass, object, &slot.pair);
}

void ReleaseBytes(ArgumentSlot& slot) { ReleaseByteSpan(&slot.bytes); }
void ReleaseName(ArgumentSlot& slot) { ReleaseFileName(&slot.fileName); }

// Result builders.
PyObject* NoneResult(const ValueSpec&, ResultSlot&) { Py_RETURN_NONE; }
PyObject* BoolResult(const ValueSpec&, ResultSlot& r) { return PyBool_FromLong(r.u8); }
PyObject* Int16Result(const ValueSpec&, ResultSlot& r) { return PyLong_FromLong(r.i16); }
PyObject* Int32Result(const ValueSpec&, ResultSlot& r) { return PyLong_FromLong(r.i32); }
PyObject* Int64Result(const ValueSpec&, ResultSlot& r) { return PyLong_FromLongLong(r.i64); }
PyObject* ByteResult(const ValueSpec&, ResultSlot& r) { return PyLong_FromUnsignedLong(r.u8); }
PyObject* DoubleResult(const ValueSpec&, ResultSlot& r) { return PyFloat_FromDouble(r.f64); }
PyObject* SingleResult(const ValueSpec&, ResultSlot& r) { return PyFloat_FromDouble(r.f32); }
PyObject* UnitResult(const ValueSpec&, ResultSlot& r) { return CharResult(r.unit); }
// .NET built the object; a null .NET value arrives as no object.
PyObject* BuiltObject(const ValueSpec&, ResultSlot& r) {
  if (r.object == nullptr) Py_RETURN_NONE;
  return r.object;
}
PyObject* ClassResult(const ValueSpec& spec, ResultSlot& r) { return WrapHandle(r.handle, &spec.klass->type->type); }
PyObject* EnumerationResult(const ValueSpec& spec, ResultSlot& r) { return EnumResult(*spec.enumeration, r.i32); }
PyObject* DateTimeOut(const ValueSpec&, ResultSlot& r) { return DateTimeResult(r.dateTime); }
PyObject* DateTimeOffsetOut(const ValueSpec&, ResultSlot& r) { return DateTimeOffsetResult(r.dateTime); }
PyObject* TimeSpanOut(const ValueSpec&, ResultSlot& r) { return TimeSpanResult(r.ticks); }
PyObject* DecimalOut(const ValueSpec&, ResultSlot& r) { return DecimalResult(r.decimal); }
PyObject* GuidOut(const ValueSpec&, ResultSlot& r) { return GuidResult(r.guid); }

// A container result: the adapter type of its declared kind.
template <containers::Adapter A>
PyObject* AdapterResult(const ValueSpec&, ResultSlot& r) {
  return containers::WrapAdapter(r.handle, containers::AdapterType(A));
}

// A typed container result: the first of the element's typed adapters of the kinds given
// (a list without a typed list class is still a typed list interface), else the untyped adapter.
template <Ad Untyped, containers::GenericKind... Kinds>
PyObject* TypedResult(const ValueSpec& spec, ResultSlot& r) {
  PyTypeObject* type = nullptr;
  if (spec.element != 0)
    for (GK kind : {Kinds...})
      if (type == nullptr) type = containers::TypedAdapterType(kind, spec.element - 1);
  return containers::WrapAdapter(r.handle, type != nullptr ? type : containers::AdapterType(Untyped));
}

PyObject* StreamOut(const ValueSpec&, ResultSlot& r) { return containers::StreamResult(r.objectRef); }

PyObject* InterfaceResult(const ValueSpec& spec, ResultSlot& r) {
  return WrapInterfaceResult(*spec.klass, r.interfaceRef.handle, r.interfaceRef.typeKey);
}

void DropObject(ResultSlot& r) { Py_XDECREF(r.object); }
void DropHandle(ResultSlot& r) { ReleaseHandle(r.handle); }
void DropStream(ResultSlot& r) { containers::DiscardStreamResult(r.objectRef); }
void DropInterfaceHandle(ResultSlot& r) { ReleaseHandle(r.interfaceRef.handle); }

// A drawing value crosses through the functions of its pydrawing capsule: the converter's
// error is the argument's error.
template <DrawingValueApi SiblingApis::*Api>
int DrawingArgument(const ValueSpec&, PyObject* object, ArgumentSlot& slot, void*& pointer) {
  pointer = &slot.drawing;
  return (g_siblingApis.*Api).convert(object, &slot.drawing);
}
template <DrawingValueApi SiblingApis::*Api>
PyObject* DrawingResult(const ValueSpec&, ResultSlot& r) {
  return (g_siblingApis.*Api).build(&r.drawing);
}

// The row of a drawing kind: its capsule's pair, no clean-up either way.
template <DrawingValueApi SiblingApis::*Api>
constexpr ValueKindRow DrawingRow(ValueKind kind) {
  return {kind, DrawingArgument<Api>, nullptr, AnyObject, DrawingResult<Api>, nullptr};
}

}  // namespace

// Read by RowOf (value_kinds.h).
constexpr ValueKindRow kValueKindRows[kValueKindCount] = {
    {VK::Void, nullptr, nullptr, AnyObject, NoneResult, nullptr},
    {VK::String, Plain<ConvertString, &AS::text>, nullptr, TextOrNone, BuiltObject, DropObject},
    {VK::Bool, Plain<ConvertBool, &AS::u8>, nullptr, Boolean, BoolResult, nullptr},
    {VK::Int16, Plain<ConvertInt16, &AS::i16>, nullptr, Integer, Int16Result, nullptr},
    {VK::Int32, Plain<ConvertInt32, &AS::i32>, nullptr, Integer, Int32Result, nullptr},
    {VK::Int64, Plain<ConvertInt64, &AS::i64>, nullptr, Integer, Int64Result, nullptr},
    {VK::Byte, Plain<ConvertByte, &AS::u8>, nullptr, Integer, ByteResult, nullptr},
    {VK::Double, Plain<ConvertDouble, &AS::f64>, nullptr, Real, DoubleResult, nullptr},
    {VK::Single, Plain<ConvertSingle, &AS::f32>, nullptr, Real, SingleResult, nullptr},
    {VK::Char, Plain<ConvertChar, &AS::unit>, nullptr, Text, UnitResult, nullptr},
    {VK::ByteArray, ByteArrayArgument, ReleaseBytes, BufferOrNone, BuiltObject, DropObject},
    {VK::Object, Plain<ConvertVariant, &AS::variant>, nullptr, AnyObject, BuiltObject, DropObject},
    {VK::Class, ClassArgument, nullptr, AnyObject, ClassResult, DropHandle},
    {VK::Enum, EnumArgument, nullptr, AnyObject, EnumerationResult, nullptr},
    {VK::DateTime, Plain<ConvertDateTime, &AS::dateTime>, nullptr, AnyObject, DateTimeOut, nullptr},
    {VK::DateTimeOffset, nullptr, nullptr, AnyObject, DateTimeOffsetOut, nullptr},  // results only, for now
    {VK::TimeSpan, Plain<ConvertTimeSpan, &AS::ticks>, nullptr, AnyObject, TimeSpanOut, nullptr},
    {VK::Decimal, Plain<ConvertDecimal, &AS::decimal>, nullptr, AnyObject, DecimalOut, nullptr},
    {VK::Guid, Plain<ConvertGuid, &AS::guid>, nullptr, AnyObject, GuidOut, nullptr},
    {VK::FileName, Plain<ConvertFileName, &AS::fileName>, ReleaseName, AnyObject, BuiltObject, DropObject},
    {VK::Enumerable, EnumerableArgument, nullptr, AnyObject, AdapterResult<Ad::Iterable>, DropHandle},
    {VK::Enumerator, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::Iter>, DropHandle},
    {VK::List, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::IList>, DropHandle},
    {VK::Collection, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::ICol>, DropHandle},
    {VK::ArrayList, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::ArrList>, DropHandle},
    {VK::CollectionBase, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::ColBase>, DropHandle},
    {VK::ReadOnlyCollectionBase, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::RoColBase>, DropHandle},
    {VK::Array, ArrayArgument, nullptr, AnyObject, TypedResult<Ad::Array, GK::Array>, DropHandle},
    {VK::GenericList, ListArgument, nullptr, AnyObject, TypedResult<Ad::IList, GK::List, GK::IList>, DropHandle},
    {VK::GenericIList, ListArgument, nullptr, AnyObject, TypedResult<Ad::IList, GK::IList>, DropHandle},
    {VK::GenericEnumerator, ContainerArgument, nullptr, AnyObject, TypedResult<Ad::Iter, GK::Iter>, DropHandle},
    {VK::Disposable, ContainerArgument, nullptr, AnyObject, AdapterResult<Ad::Disposable>, DropHandle},
    {VK::Stream, StreamArgument, nullptr, AnyObject, StreamOut, DropStream},
    {VK::Interface, InterfaceArgument, nullptr, MayBeInterfaceValue, InterfaceResult, DropInterfaceHandle},
    DrawingRow<&SiblingApis::color>(VK::Color),
    DrawingRow<&SiblingApis::point>(VK::Point),
    DrawingRow<&SiblingApis::pointF>(VK::PointF),
    DrawingRow<&SiblingApis::size>(VK::Size),
    DrawingRow<&SiblingApis::sizeF>(VK::SizeF),
    DrawingRow<&SiblingApis::rectangle>(VK::Rectangle),
    DrawingRow<&SiblingApis::rectangleF>(VK::RectangleF),
};

int CheckConvertedItems(const ValueSpec& spec, const ArgumentSlot& slot) {
  bool typedContainer = spec.kind == VK::Array || spec.kind == VK::GenericList || spec.kind == VK::GenericIList;
  return !typedContainer || spec.element == 0 || containers::CheckContainerItems(spec.element - 1, slot.enumerable);
}

// The table and the generated enumeration must agree row for row.
static_assert(std::size(kValueKindRows) == kValueKindCount, "one value-kind row per generated ValueKind");
static constexpr bool InEnumerationOrder() {
  for (int i = 0; i < kValueKindCount; ++i)
    if (static_cast<int>(kValueKindRows[i].kind) != i) return false;
  return true;
}
static_assert(InEnumerationOrder(), "value-kind rows must follow the generated ValueKind order");

}  // namespace morvax::api
