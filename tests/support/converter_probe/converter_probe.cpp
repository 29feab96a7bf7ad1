// _converter_probe: a test-only extension that runs the value converters of
// interop/converters.h on Python values and calls through the static callback record the
// way .NET does, returning what the native side produced as Python values:
//   convert(kind, obj)    one "O&" converter through PyArg_ParseTuple; the slot as a value
//   string_view(obj)      (length, kind) of the String converter's view
//   char_result(unit)     the one-code-unit decoder
//   read_view / read_truth / read_integer / read_double    group A members 0-3
//   build(index, value)   group B member index; value is cut to the member's C type
//   buffer_record_size(), buffer_copy(obj)                 the buffer group
//   utf16_text(obj)       container member 11: (count, UTF-16LE bytes, holder refcount)
//   record_members()      which record entries and group members are filled
//   container_sizes(l, s) container members 0 and 4: (list size, sequence size)
//   take_error(exc)       raises exc, then runs the catch-and-clear callback: (status, text),
//                         or whatever error it left pending
//   report_over(exc)      raises exc, then reports a .NET exception over it; raises what stays
//   read / result / ticks_from_parts / parts_from_ticks / delta_ticks
//                         date, time, decimal and GUID values (datetime_probe.cpp)
//   stream_call(name, stream, ...)  one member of the stream group (stream_probe.cpp)
//   new_enum_class(base, name, module, [(member, value), ...], extras or None)
//                         the enumeration class builder of api/enum_construction.h
// and two wrapper types laid out as PyHostObject: NetObject(handle) (kind 0, recognised by
// its deallocation function) and TargetObject(handle) (kind 1, by its marker).
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "api/enum_construction.h"
#include "common/interned_names.h"
#include "datetime_probe.h"
#include "interop/converters.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"
#include "interop/static_callbacks.h"
#include "stream_probe.h"

namespace {

using namespace morvax;

const StaticRecord& Record() { return *static_cast<const StaticRecord*>(StaticCallbackRecord()); }
const ReaderGroup& Readers() { return *static_cast<const ReaderGroup*>(Record().readers); }
const BuilderGroup& Builders() { return *static_cast<const BuilderGroup*>(Record().builders); }
const BufferGroup& Buffers() { return *static_cast<const BufferGroup*>(Record().buffers); }
const ContainerGroup& Containers() { return *static_cast<const ContainerGroup*>(Record().containers); }

// A new str with the characters a view describes; None for a null .NET string.
PyObject* FromView(const UnicodeView& view) {
  if (view.length == -1) Py_RETURN_NONE;
  return PyUnicode_FromKindAndData(view.kind, view.data, view.length);
}

union Slot {
  UnicodeView view;
  uint8_t u8;
  int16_t i16;
  int32_t i32;
  int64_t i64;
  double f64;
  float f32;
  uint16_t u16;
  ByteSpanSlot span;
  PyVariant variant;
  HostDateTime dateTime;
  HostDecimal decimal;
  HostGuid guid;
};

struct Converter {
  const char* name;
  int (*convert)(PyObject*, void*);
};

const Converter kConverters[] = {
    {"String", ConvertString},       {"Bool", ConvertBool},       {"Int16", ConvertInt16},
    {"Int32", ConvertInt32},         {"Int64", ConvertInt64},     {"Byte", ConvertByte},
    {"Double", ConvertDouble},       {"Single", ConvertSingle},   {"Char", ConvertChar},
    {"ByteArray", ConvertByteArray}, {"Variant", ConvertVariant}, {"DateTime", ConvertDateTime},
    {"TimeSpan", ConvertTimeSpan},   {"Decimal", ConvertDecimal}, {"Guid", ConvertGuid},
};

// The filled slot as a Python value; releases what the slot holds. New reference.
PyObject* SlotValue(int (*convert)(PyObject*, void*), Slot& slot) {
  if (convert == ConvertString) return FromView(slot.view);
  if (convert == ConvertBool) return PyLong_FromLong(slot.u8);
  if (convert == ConvertInt16) return PyLong_FromLong(slot.i16);
  if (convert == ConvertInt32) return PyLong_FromLong(slot.i32);
  if (convert == ConvertInt64) return PyLong_FromLongLong(slot.i64);
  if (convert == ConvertByte) return PyLong_FromLong(slot.u8);
  if (convert == ConvertDouble) return PyFloat_FromDouble(slot.f64);
  if (convert == ConvertSingle) return PyFloat_FromDouble(slot.f32);
  if (convert == ConvertChar) return PyLong_FromLong(slot.u16);
  if (convert == ConvertDateTime) return probe::HostDateTimeValue(slot.dateTime);
  if (convert == ConvertTimeSpan) return PyLong_FromLongLong(slot.i64);
  if (convert == ConvertDecimal) return probe::HostDecimalValue(slot.decimal);
  if (convert == ConvertGuid) return probe::HostGuidValue(slot.guid);
  if (convert == ConvertByteArray) {
    PyObject* copy = slot.span.length == -1
                         ? Py_NewRef(Py_None)
                         : PyBytes_FromStringAndSize(static_cast<const char*>(slot.span.data), slot.span.length);
    ReleaseByteSpan(&slot.span);
    return copy;
  }
  const PyVariant& variant = slot.variant;
  if (variant.kind == kVariantHostObject || variant.kind == kVariantHostTarget) {
    return Py_BuildValue("(ik)", variant.kind, static_cast<unsigned long>(variant.value));
  }
  return Py_BuildValue("(iO)", variant.kind, reinterpret_cast<PyObject*>(variant.value));
}

PyObject* convert(PyObject*, PyObject* args) {
  const char* name;
  PyObject* object;
  if (!PyArg_ParseTuple(args, "sO:convert", &name, &object)) return nullptr;
  for (const Converter& converter : kConverters) {
    if (std::strcmp(converter.name, name) != 0) continue;
    // Through the argument parser, as the generated methods call the converters.
    PyObject* single = PyTuple_Pack(1, object);
    if (single == nullptr) return nullptr;
    Slot slot;
    std::memset(&slot, 0, sizeof slot);
    int parsed = PyArg_ParseTuple(single, "O&:convert", converter.convert, &slot);
    Py_DECREF(single);
    // A failed slot is not released: like a generated method, the probe releases only
    // what converted, so a converter that kept a buffer on failure would leak it.
    if (!parsed) return nullptr;
    return SlotValue(converter.convert, slot);
  }
  PyErr_Format(PyExc_ValueError, "no converter named '%s'", name);
  return nullptr;
}

PyObject* string_view(PyObject*, PyObject* object) {
  UnicodeView view = {};
  if (!ConvertString(object, &view)) return nullptr;
  return Py_BuildValue("(ii)", view.length, view.length == -1 ? 0 : view.kind);
}

PyObject* char_result(PyObject*, PyObject* arg) {
  unsigned long unit = PyLong_AsUnsignedLong(arg);
  if (unit == static_cast<unsigned long>(-1) && PyErr_Occurred()) return nullptr;
  return CharResult(static_cast<uint16_t>(unit));
}

PyObject* read_view(PyObject*, PyObject* object) {
  UnicodeView view = {};
  if (!Readers().unicodeView(object, &view)) return nullptr;
  return FromView(view);
}

// (value, pending exception or None): the truth reader leaves an error pending.
PyObject* read_truth(PyObject*, PyObject* object) {
  int32_t value = Readers().truth(object);
  PyObject *type, *exception, *traceback;
  PyErr_Fetch(&type, &exception, &traceback);
  PyErr_NormalizeException(&type, &exception, &traceback);
  PyObject* result = Py_BuildValue("(iO)", value, exception != nullptr ? exception : Py_None);
  Py_XDECREF(type);
  Py_XDECREF(exception);
  Py_XDECREF(traceback);
  return result;
}

PyObject* read_integer(PyObject*, PyObject* object) {
  int64_t value = 0;
  int32_t code = Readers().integer(object, &value);
  if (code == 0) return nullptr;
  if (code == 3) return Py_BuildValue("(iK)", code, static_cast<unsigned long long>(value));
  return Py_BuildValue("(iL)", code, static_cast<long long>(value));
}

PyObject* read_double(PyObject*, PyObject* object) {
  double value = 0;
  if (!Readers().real(object, &value)) return nullptr;
  return PyFloat_FromDouble(value);
}

PyObject* build(PyObject*, PyObject* args) {
  int index;
  PyObject* value;
  if (!PyArg_ParseTuple(args, "iO:build", &index, &value)) return nullptr;
  const BuilderGroup& group = Builders();
  if (index >= 7 && index <= 12) return probe::BuildDateTimeValue(index, value);
  if (index == 6) {
    double real = PyFloat_AsDouble(value);
    if (real == -1.0 && PyErr_Occurred()) return nullptr;
    return group.fromDouble(real);
  }
  // The bits of the integer, cut to the member's parameter type as a C caller would.
  unsigned long long bits = PyLong_AsUnsignedLongLongMask(value);
  if (bits == static_cast<unsigned long long>(-1) && PyErr_Occurred()) return nullptr;
  switch (index) {
    case 0:
      return group.makeWrapper(static_cast<uint32_t>(bits), 0);
    case 1:
      return group.fromBool(static_cast<uint8_t>(bits));
    case 2:
      return group.fromInt32(static_cast<int32_t>(bits));
    case 3:
      return group.fromUInt32(static_cast<uint32_t>(bits));
    case 4:
      return group.fromInt64(static_cast<int64_t>(bits));
    case 5:
      return group.fromUInt64(bits);
    case 13:
      return group.fromChar(static_cast<uint16_t>(bits));
    default:
      PyErr_Format(PyExc_ValueError, "builder %d is not filled", index);
      return nullptr;
  }
}

PyObject* buffer_record_size(PyObject*, PyObject*) { return PyLong_FromLong(Buffers().recordSize()); }

// What .NET does for a bytes-like variant: a record of the advertised size, zeroed,
// acquired, copied out, released whenever it is held.
PyObject* buffer_copy(PyObject*, PyObject* object) {
  const BufferGroup& group = Buffers();
  alignas(16) unsigned char storage[512];
  if (group.recordSize() > static_cast<int32_t>(sizeof storage)) {
    PyErr_SetString(PyExc_AssertionError, "buffer record larger than expected");
    return nullptr;
  }
  std::memset(storage, 0xA5, sizeof storage);  // zero() must clear what it is given
  auto* record = reinterpret_cast<Py_buffer*>(storage);
  if (group.zero(record) != 0) {
    PyErr_SetString(PyExc_AssertionError, "zero() did not return 0");
    return nullptr;
  }
  ByteSpanFields fields = {7, 7, nullptr};  // acquire() must reset these
  PyObject* copy = nullptr;
  if (group.acquire(object, record, &fields)) {
    copy = PyBytes_FromStringAndSize(static_cast<const char*>(fields.data), fields.length);
  }
  if (fields.held) group.release(record);
  return copy;
}

PyObject* utf16_text(PyObject*, PyObject* object) {
  PyObject* holder = nullptr;
  int32_t count = -1;
  const char16_t* units = nullptr;
  if (!Containers().utf16Text(object, &holder, &count, &units)) return nullptr;
  Py_ssize_t holderReferences = Py_REFCNT(holder);
  PyObject* result = Py_BuildValue("(iy#n)", count, reinterpret_cast<const char*>(units),
                                   static_cast<Py_ssize_t>(count) * 2, holderReferences);
  Py_DECREF(holder);  // the reference .NET would own
  return result;
}

// Container members 0 and 4 on a list and a sequence: (list size, sequence size).
PyObject* container_sizes(PyObject*, PyObject* args) {
  PyObject *list, *sequence;
  if (!PyArg_ParseTuple(args, "OO", &list, &sequence)) return nullptr;
  auto listSize = reinterpret_cast<int32_t (*)(PyObject*)>(Containers().listSize32);
  auto sequenceSize = reinterpret_cast<int32_t (*)(PyObject*)>(Containers().sequenceSize32);
  int32_t first = listSize(list);
  if (first < 0) return nullptr;
  int32_t second = sequenceSize(sequence);
  if (second < 0) return nullptr;
  return Py_BuildValue("(ii)", first, second);
}

PyObject* Filled(std::initializer_list<const void*> members) {
  PyObject* flags = PyTuple_New(static_cast<Py_ssize_t>(members.size()));
  if (flags == nullptr) return nullptr;
  Py_ssize_t i = 0;
  for (const void* member : members) PyTuple_SET_ITEM(flags, i++, PyBool_FromLong(member != nullptr));
  return flags;
}

template <typename F>
const void* P(F* function) {
  return reinterpret_cast<const void*>(function);
}

PyObject* record_members(PyObject*, PyObject*) {
  const StaticRecord& record = Record();
  const ReaderGroup& a = Readers();
  const BuilderGroup& b = Builders();
  const BufferGroup& buffers = Buffers();
  const ContainerGroup& c = Containers();
  PyObject* groups[] = {
      Filled({P(a.unicodeView), P(a.truth), P(a.integer), P(a.real), P(a.decimal), P(a.decimalTuple), P(a.dateTime),
              P(a.date), P(a.time), P(a.timeDelta), P(a.uuid)}),
      Filled({P(b.makeWrapper), P(b.fromBool), P(b.fromInt32), P(b.fromUInt32), P(b.fromInt64), P(b.fromUInt64),
              P(b.fromDouble), P(b.decimal), P(b.dateTime), P(b.dateTimeOffset), P(b.timeDelta), P(b.timeZone),
              P(b.uuid), P(b.fromChar)}),
      Filled({P(buffers.recordSize), P(buffers.zero), P(buffers.acquire), P(buffers.release)}),
      Filled({c.listSize32, c.listSize64, c.pop, c.clear, c.sequenceSize32, c.sequenceSize64, c.iterator, c.objectSize,
              c.newList, c.newListWithHint, P(c.utf16Text)}),
  };
  PyObject* result = nullptr;
  if (groups[0] && groups[1] && groups[2] && groups[3]) {
    result = Py_BuildValue(
        "(OOOOOOOOO)", groups[0], groups[1], groups[2], record.tryMakeWrapper != nullptr ? Py_True : Py_False,
        record.nextItem != nullptr ? Py_True : Py_None, groups[3], record.list != nullptr ? Py_True : Py_None,
        record.sequence != nullptr ? Py_True : Py_None, record.stream != nullptr ? Py_True : Py_None);
  }
  for (PyObject* group : groups) Py_XDECREF(group);
  return result;
}

// --- the error bridge -----------------------------------------------------------------------

void RaiseInstance(PyObject* exception) { PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception)), exception); }

PyObject* take_error(PyObject*, PyObject* exception) {
  RaiseInstance(exception);
  PyObject* text = nullptr;
  UnicodeView view = {-1, 0, nullptr};
  int32_t status = CatchAndClearErrorCallback(&text, &view);
  if (PyErr_Occurred()) {
    Py_XDECREF(text);
    return nullptr;
  }
  PyObject* result = Py_BuildValue("(iO)", status, text != nullptr ? text : Py_None);
  Py_XDECREF(text);
  return result;
}

PyObject* report_over(PyObject*, PyObject* exception) {
  RaiseInstance(exception);
  ExceptionCallback(PyUnicode_FromString("System.InvalidOperationException"), PyUnicode_FromString("failed"));
  return nullptr;
}

// --- the two PyHostObject types ------------------------------------------------------------

int HostInit(PyObject* self, PyObject* args, PyObject* kwargs) {
  unsigned int handle = 0;
  static const char* keywords[] = {"handle", nullptr};
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, "I", const_cast<char**>(keywords), &handle)) return -1;
  reinterpret_cast<PyHostObject*>(self)->handle = handle;
  return 0;
}

void TargetDealloc(PyObject* self) { Py_TYPE(self)->tp_free(self); }

PyTypeObject NetObjectType = {
    PyVarObject_HEAD_INIT(nullptr, 0) "_converter_probe.NetObject",
};

PyTypeObject TargetObjectType = {
    PyVarObject_HEAD_INIT(nullptr, 0) "_converter_probe.TargetObject",
};

int ReadyHostType(PyObject* module, PyTypeObject* type, const char* name, destructor dealloc, PyObject* marker) {
  type->tp_basicsize = sizeof(PyHostObject);
  type->tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
  type->tp_dealloc = dealloc;
  type->tp_init = HostInit;
  type->tp_new = PyType_GenericNew;
  if (PyType_Ready(type) < 0) return -1;
  if (PyDict_SetItem(type->tp_dict, Interned(Name::_morvax_clr_host), marker) < 0) return -1;
  PyType_Modified(type);
  return PyModule_AddObjectRef(module, name, reinterpret_cast<PyObject*>(type));
}

PyObject* new_enum_class(PyObject*, PyObject* args) {
  PyObject *base, *pairs, *extras;
  const char *name, *module;
  if (!PyArg_ParseTuple(args, "OssO!O:new_enum_class", &base, &name, &module, &PyList_Type, &pairs, &extras)) {
    return nullptr;
  }
  std::vector<api::EnumMember> members;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(pairs); ++i) {
    api::EnumMember member{};
    if (!PyArg_ParseTuple(PyList_GET_ITEM(pairs, i), "si", &member.name, &member.value)) return nullptr;
    members.push_back(member);
  }
  return api::NewEnumClass(base, name, module, members.data(), members.size(), extras == Py_None ? nullptr : extras);
}

PyMethodDef kMethods[] = {
    {"convert", convert, METH_VARARGS, "Runs one converter; returns the filled slot as a value."},
    {"string_view", string_view, METH_O, "(length, kind) of the String converter's view."},
    {"char_result", char_result, METH_O, "The one-code-unit decoder."},
    {"read_view", read_view, METH_O, "Reader A0."},
    {"read_truth", read_truth, METH_O, "Reader A1: (value, pending exception or None)."},
    {"read_integer", read_integer, METH_O, "Reader A2: (width code, value)."},
    {"read_double", read_double, METH_O, "Reader A3."},
    {"build", build, METH_VARARGS, "Builder B<index> on the value cut to its C type."},
    {"buffer_record_size", buffer_record_size, METH_NOARGS, "The buffer group's record size."},
    {"buffer_copy", buffer_copy, METH_O, "The bytes of obj through the buffer group."},
    {"utf16_text", utf16_text, METH_O, "Container member 11: (count, UTF-16LE bytes, holder refcount)."},
    {"record_members", record_members, METH_NOARGS, "Which entries of the record are filled."},
    {"container_sizes", container_sizes, METH_VARARGS, "Container members 0 and 4: (list size, sequence size)."},
    {"take_error", take_error, METH_O, "Raises exc and runs the catch-and-clear callback."},
    {"report_over", report_over, METH_O, "Raises exc and reports a .NET exception over it."},
    {"new_enum_class", new_enum_class, METH_VARARGS, "An enumeration class from the builder."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef kModule = {PyModuleDef_HEAD_INIT, "_converter_probe", nullptr, -1, kMethods};

}  // namespace

PyMODINIT_FUNC PyInit__converter_probe() {
  if (morvax::InternedNames::Initialize() < 0) return nullptr;
  PyObject* module = PyModule_Create(&kModule);
  if (module == nullptr) return nullptr;
  if (PyModule_AddFunctions(module, probe::kDateTimeMethods) < 0 ||
      PyModule_AddFunctions(module, probe::kStreamMethods) < 0) {
    Py_DECREF(module);
    return nullptr;
  }
  if (ReadyHostType(module, &NetObjectType, "NetObject", morvax::HostObjectDealloc, Py_None) < 0 ||
      ReadyHostType(module, &TargetObjectType, "TargetObject", TargetDealloc, Py_Ellipsis) < 0) {
    Py_DECREF(module);
    return nullptr;
  }
  return module;
}
