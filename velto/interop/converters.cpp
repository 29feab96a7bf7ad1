// Value conversion from Python to .NET: the argument converters of the generated methods,
// the variant classification, and the readers .NET calls on Python values.
#include "interop/converters.h"

#include <datetime.h>

#include <climits>
#include <cstring>

#include "common/dependencies.h"
#include "common/interned_names.h"
#include "interop/error_bridge.h"
#include "interop/host_object.h"
#include "interop/standard_classes.h"

namespace morvax {

// --- standard-library classes ------------------------------------------------------------

// PyDateTimeAPI is per translation unit; this one is filled on the first variant. The
// module is imported first through the class cache: a failure to import it (an interrupt
// included) then stands as raised, where the capsule import would replace it by an
// ImportError of its own.
static bool DateTimeApiReady() {
  if (PyDateTimeAPI == nullptr) {
    if (StandardClass(StandardClassId::DateTime) == nullptr) return false;
    PyDateTime_IMPORT;
  }
  return PyDateTimeAPI != nullptr;
}

// --- strings -----------------------------------------------------------------------------

int ConvertString(PyObject* object, void* slot) {
  auto* view = static_cast<UnicodeView*>(slot);
  if (object == Py_None) {
    view->length = -1;  // a null .NET string; the other fields are not read
    return 1;
  }
  if (!PyUnicode_Check(object)) {
    PyErr_Format(PyExc_TypeError, "can't build String from '%s'", Py_TYPE(object)->tp_name);
    return 0;
  }
  if (!FillUnicodeView(object, view)) return 0;
  // The view counts in 32 bits; a longer string would reach .NET cut short.
  if (PyUnicode_GET_LENGTH(object) > INT32_MAX) {
    PyErr_Format(PyExc_OverflowError, "a string of %zd characters is too long for .NET", PyUnicode_GET_LENGTH(object));
    return 0;
  }
  return 1;
}

// The UTF-16 form of a str, as a new bytes object that starts with the byte-order mark
// (native order). Null with an exception set.
static PyObject* EncodeUtf16(PyObject* object) {
  if (!PyUnicode_Check(object)) {
    PyErr_Format(PyExc_TypeError, "can't build Char from '%s'", Py_TYPE(object)->tp_name);
    return nullptr;
  }
  if (PyUnicode_READY(object) < 0) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "unicode object is not ready");
    return nullptr;
  }
  // A lone surrogate is one code unit, as in a str that reaches .NET whole.
  PyRef encoded = PyRef::steal(PyUnicode_AsEncodedString(object, "utf-16", "surrogatepass"));
  if (!encoded) {
    // Normally the codec's own error is pending and stands.
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "cannot convert unicode object to byte string");
    return nullptr;
  }
  if (!PyBytes_Check(encoded.get())) {
    PyErr_Format(PyExc_TypeError, "converted string must be bytes-like object, not '%s'",
                 encoded.get() == Py_None ? "None" : Py_TYPE(encoded.get())->tp_name);
    return nullptr;
  }
  return encoded.release();
}

int ConvertChar(PyObject* object, void* slot) {
  PyRef encoded = PyRef::steal(EncodeUtf16(object));
  if (!encoded) return 0;
  // The mark and one code unit: a BMP character or a lone surrogate.
  if (PyBytes_GET_SIZE(encoded.get()) != 4) {
    PyErr_SetString(PyExc_TypeError, "string must contain one UTF-16 code unit");
    return 0;
  }
  uint16_t unit;
  std::memcpy(&unit, PyBytes_AS_STRING(encoded.get()) + 2, sizeof unit);
  *static_cast<uint16_t*>(slot) = unit;
  return 1;
}

extern "C" int32_t Utf16TextCallback(PyObject* object, PyObject** holder, int32_t* count, const char16_t** units) {
  PyRef encoded = PyRef::steal(EncodeUtf16(object));
  if (!encoded) return 0;
  Py_ssize_t unitCount = (PyBytes_GET_SIZE(encoded.get()) - 2) / 2;
  if (unitCount > INT32_MAX) {
    PyErr_Format(PyExc_OverflowError, "a string of %zd UTF-16 code units is too long for .NET", unitCount);
    return 0;
  }
  // The new reference passes to .NET, which keeps it while it reads the units.
  *count = static_cast<int32_t>(unitCount < 0 ? 0 : unitCount);
  *units = reinterpret_cast<const char16_t*>(PyBytes_AS_STRING(encoded.get()) + 2);
  *holder = encoded.release();
  return 1;
}

PyObject* CharResult(uint16_t unit) {
  const char16_t text = unit;
  return DecodeUtf16(&text, 1);
}

// --- booleans and integers ---------------------------------------------------------------

int ConvertBool(PyObject* object, void* slot) {
  if (!PyBool_Check(object)) {  // bool cannot be subclassed: this is the exact-type test
    PyErr_Format(PyExc_TypeError, "can't build bool from '%s'", Py_TYPE(object)->tp_name);
    return 0;
  }
  *static_cast<uint8_t*>(slot) = object == Py_True ? 1 : 0;
  return 1;
}

int IsIntegerSubclassArgument(PyObject* object) {
  if (!PyLong_Check(object) || PyBool_Check(object)) return 0;
  return IsInstanceOf(object, StandardClass(StandardClassId::EnumType));
}

// 1 when object passes the integer test; 0 with an exception set.
static int RequireInteger(PyObject* object) {
  int passes = IsIntegerArgument(object);
  if (passes < 0) return 0;
  if (passes == 0) {
    PyErr_Format(PyExc_TypeError, "integer argument expected, got '%s'", Py_TYPE(object)->tp_name);
    return 0;
  }
  return 1;
}

int ConvertInt16(PyObject* object, void* slot) {
  if (!RequireInteger(object)) return 0;
  long value = PyLong_AsLong(object);
  if (value == -1 && PyErr_Occurred()) return 0;
  if (value < INT16_MIN || value > INT16_MAX) {
    PyErr_Format(PyExc_OverflowError, "value '%li' is out of the INT16 range", value);
    return 0;
  }
  *static_cast<int16_t*>(slot) = static_cast<int16_t>(value);
  return 1;
}

// The value of an exact int of at most one digit (|v| < 2**30), which every 32-bit value
// in common use is: read from the object as the interpreter stores it, without a call.
static inline bool SmallExactInt(PyObject* object, long* value) {
  if (!PyLong_CheckExact(object)) return false;
  Py_ssize_t size = Py_SIZE(object);
  if (size < -1 || size > 1) return false;
  *value = size * static_cast<long>(reinterpret_cast<PyLongObject*>(object)->ob_digit[0]);
  return true;
}

int ConvertInt32(PyObject* object, void* slot) {
  long small;
  if (SmallExactInt(object, &small)) {
    *static_cast<int32_t*>(slot) = static_cast<int32_t>(small);
    return 1;
  }
  if (!RequireInteger(object)) return 0;
  long value = PyLong_AsLong(object);
  if (value == -1 && PyErr_Occurred()) return 0;
  // A C long is 64 bits here; the interpreter's own wording for a C int that overflows.
  if (value < INT32_MIN || value > INT32_MAX) {
    PyErr_SetString(PyExc_OverflowError, "Python int too large to convert to C int");
    return 0;
  }
  *static_cast<int32_t*>(slot) = static_cast<int32_t>(value);
  return 1;
}

int ConvertInt64(PyObject* object, void* slot) {
  if (!RequireInteger(object)) return 0;
  long long value = PyLong_AsLongLong(object);
  if (value == -1 && PyErr_Occurred()) return 0;
  *static_cast<int64_t*>(slot) = value;
  return 1;
}

int ConvertByte(PyObject* object, void* slot) {
  if (!RequireInteger(object)) return 0;
  unsigned long value = PyLong_AsUnsignedLong(object);  // refuses negative values itself
  if (value == static_cast<unsigned long>(-1) && PyErr_Occurred()) return 0;
  if (value > UINT8_MAX) {
    PyErr_Format(PyExc_OverflowError, "value '%lu' is out of the UINT8 range", value);
    return 0;
  }
  *static_cast<uint8_t*>(slot) = static_cast<uint8_t>(value);
  return 1;
}

extern "C" int32_t ReadTruthCallback(PyObject* object) { return PyObject_IsTrue(object) != 0 ? 1 : 0; }

extern "C" int32_t ReadIntegerCallback(PyObject* object, int64_t* value) {
  // Code 1 promises .NET a value that fits an int (a C long where the table was laid out).
  long long signedValue = PyLong_AsLongLong(object);
  if (!(signedValue == -1 && PyErr_Occurred())) {
    *value = signedValue;
    return signedValue >= INT32_MIN && signedValue <= INT32_MAX ? 1 : 2;
  }
  if (IsInterruptPending()) return 0;
  PyErr_Clear();
  unsigned long long unsignedValue = PyLong_AsUnsignedLongLong(object);
  if (!(unsignedValue == static_cast<unsigned long long>(-1) && PyErr_Occurred())) {
    *value = static_cast<int64_t>(unsignedValue);  // .NET reads the bits back as a ulong
    return 3;
  }
  if (IsInterruptPending()) return 0;
  PyErr_Clear();
  // An int is the right kind of value, only too large: as for a typed integer parameter.
  if (PyLong_Check(object)) {
    PyErr_SetString(PyExc_OverflowError, "int too big to convert to a .NET integer (-2**63 to 2**64-1)");
    return 0;
  }
  PyErr_Format(PyExc_TypeError, "can't build integer value from '%s'", Py_TYPE(object)->tp_name);
  return 0;
}

// --- floating point ----------------------------------------------------------------------

// A float, or an integer through signed then unsigned 64 bits. 1, or 0 with an exception.
static int ReadNumber(PyObject* object, double* out) {
  if (PyFloat_Check(object)) {
    double value = PyFloat_AsDouble(object);
    if (value == -1.0 && PyErr_Occurred()) return 0;
    *out = value;
    return 1;
  }
  int isInteger = IsIntegerArgument(object);
  if (isInteger < 0) return 0;
  if (isInteger == 0) {
    PyErr_Format(PyExc_TypeError, "numeric argument expected, got '%s'", Py_TYPE(object)->tp_name);
    return 0;
  }
  long long signedValue = PyLong_AsLongLong(object);
  if (signedValue == -1 && PyErr_Occurred()) {
    if (!PyErr_ExceptionMatches(PyExc_OverflowError)) return 0;
    PyErr_Clear();
    unsigned long long unsignedValue = PyLong_AsUnsignedLongLong(object);
    if (unsignedValue == static_cast<unsigned long long>(-1) && PyErr_Occurred()) return 0;
    *out = static_cast<double>(unsignedValue);
    return 1;
  }
  *out = static_cast<double>(signedValue);
  return 1;
}

int ConvertDouble(PyObject* object, void* slot) { return ReadNumber(object, static_cast<double*>(slot)); }

int ConvertSingle(PyObject* object, void* slot) {
  double value;
  if (!ReadNumber(object, &value)) return 0;
  // IEEE narrowing: rounds to nearest, and beyond the float range gives an infinity.
  *static_cast<float*>(slot) = static_cast<float>(value);
  return 1;
}

extern "C" int32_t ReadDoubleCallback(PyObject* object, double* value) {
  double result = PyFloat_AsDouble(object);
  if (result == -1.0 && PyErr_Occurred()) return 0;
  *value = result;
  return 1;
}

// --- file names --------------------------------------------------------------------------

// True when the str holds a surrogate code point: os.fsdecode's escape for a byte of the
// name that is not UTF-8, or a lone surrogate typed in.
static bool HoldsSurrogate(PyObject* text) {
  if (PyUnicode_KIND(text) == PyUnicode_1BYTE_KIND) return false;
  const int kind = PyUnicode_KIND(text);
  const void* data = PyUnicode_DATA(text);
  for (Py_ssize_t i = 0, n = PyUnicode_GET_LENGTH(text); i < n; ++i) {
    Py_UCS4 c = PyUnicode_READ(kind, data, i);
    if (c >= 0xD800 && c <= 0xDFFF) return true;
  }
  return false;
}

// A str, bytes or os.PathLike, taken as os.fspath gives it (bytes as os.fsdecode decodes
// them); None stays a null .NET string. .NET hands a name to the system as its UTF-8,
// which is the os.fsencode of any str without surrogates. A name with one (undecodable
// bytes, as os.listdir returns them) would reach another file, and is refused.
int ConvertFileName(PyObject* object, void* slot) {
  auto* name = static_cast<FileNameSlot*>(slot);
  name->holder = nullptr;
  if (object == Py_None) return ConvertString(object, &name->view);
  // A bare bytes object is refused: where a name and a stream are both accepted, bytes must
  // not pass for a name (it is neither a stream). A path object may still give bytes.
  PyRef path = PyBytes_Check(object) ? PyRef() : PyRef::steal(PyOS_FSPath(object));
  if (!path) {
    // Bytes, or not a path at all: refused in the words of the string converter.
    if (!PyErr_Occurred() || PyErr_ExceptionMatches(PyExc_TypeError)) {
      PyErr_Clear();
      PyErr_Format(PyExc_TypeError, "can't build String from '%s'", Py_TYPE(object)->tp_name);
    }
    return 0;
  }
  if (PyBytes_Check(path.get())) {
    path = PyRef::steal(PyUnicode_DecodeFSDefaultAndSize(PyBytes_AS_STRING(path.get()), PyBytes_GET_SIZE(path.get())));
    if (!path) return 0;
  }
  if (PyUnicode_READY(path.get()) < 0) return 0;
  if (PyUnicode_FindChar(path.get(), 0, 0, PyUnicode_GET_LENGTH(path.get()), 1) >= 0) {
    PyErr_SetString(PyExc_ValueError, "embedded null character in path");
    return 0;
  }
  if (HoldsSurrogate(path.get())) {
    PyErr_Format(PyExc_ValueError,
                 "the file name %R holds bytes that are not UTF-8 (shown as surrogate escapes); .NET "
                 "passes file names to the system as UTF-8 and cannot reach this file: rename it",
                 path.get());
    return 0;
  }
  if (!ConvertString(path.get(), &name->view)) return 0;
  name->holder = path.release();
  return 1;
}

void ReleaseFileName(void* slot) { Py_CLEAR(static_cast<FileNameSlot*>(slot)->holder); }

// --- byte arrays -------------------------------------------------------------------------

int AcquireByteSpan(PyObject* object, Py_buffer* record, ByteSpanFields* fields) {
  // Ask with strides so that a non-contiguous exporter answers and can be told apart from
  // one that cannot export at all.
  if (PyObject_GetBuffer(object, record, PyBUF_FULL_RO) < 0) {
    if (IsInterruptPending()) return 0;
    PyErr_Clear();
    PyErr_SetString(PyExc_BufferError, "can't get internal buffer");
    return 0;
  }
  fields->held = 1;
  if (!PyBuffer_IsContiguous(record, 'C')) {
    PyErr_Format(PyExc_ValueError,
                 "a byte array needs the bytes in one contiguous block, and this %.100s is not "
                 "contiguous (a strided slice or a transposed view): pass bytes(...) of it instead",
                 Py_TYPE(object)->tp_name);
    return 0;
  }
  if (record->len > INT32_MAX) {
    PyErr_Format(PyExc_OverflowError, "a buffer of %zd bytes is too large for a .NET array", record->len);
    return 0;
  }
  fields->length = static_cast<int32_t>(record->len);
  fields->data = record->buf;
  return 1;
}

int ConvertByteArray(PyObject* object, void* slot) {
  auto* span = static_cast<ByteSpanSlot*>(slot);
  std::memset(span, 0, sizeof *span);
  if (object == Py_None) {
    span->length = -1;
    return 1;
  }
  if (!PyObject_CheckBuffer(object)) {
    PyErr_Format(PyExc_TypeError, "can't build byte[] from '%s'", Py_TYPE(object)->tp_name);
    return 0;
  }
  ByteSpanFields fields = {};
  int converted = AcquireByteSpan(object, &span->buffer, &fields);
  span->held = fields.held;
  span->length = fields.length;
  span->data = fields.data;
  // A slot that failed to convert holds nothing, so a caller that releases only the slots
  // it converted cannot leak the buffer.
  if (!converted) ReleaseByteSpan(span);
  return converted;
}

void ReleaseByteSpan(void* slot) {
  auto* span = static_cast<ByteSpanSlot*>(slot);
  if (span->held) {
    PyBuffer_Release(&span->buffer);
    span->held = 0;
  }
}

// --- variants ----------------------------------------------------------------------------

// The host-object kind of object (0 .NET instance, 1 value-type target) with its handle,
// -2 when it is not a host object, -1 with an exception set. The common deallocation
// marks a kind-0 type without a dictionary look-up; other types are asked by marker.
static int HostObjectKind(PyObject* object, uint32_t* handle) {
  if (Py_TYPE(object)->tp_dealloc == HostObjectDealloc) {
    *handle = reinterpret_cast<PyHostObject*>(object)->handle;
    return 0;
  }
  HostKindHandle pair = {};
  if (!GetHostHandle(object, &pair)) return PyErr_Occurred() ? -1 : -2;
  *handle = pair.handle;
  return pair.kind;
}

static bool IsBytesLike(PyObject* object) {
  return (PyBytes_Check(object) || PyByteArray_Check(object) || Py_IS_TYPE(object, &PyMemoryView_Type)) &&
         PyObject_CheckBuffer(object);
}

// The kind of a value lent by pointer, or -1 with an exception set, or -2 for a value that
// is lent by handle or not at all. The tests run in this order on purpose: bool before the
// integer test, the decimal tuple (a tuple) before tuple, datetime before its base date.
static int BorrowedKind(PyObject* object) {
  if (object == Py_None) return kVariantNone;
  if (PyBool_Check(object)) return kVariantBool;
  int found = IsIntegerArgument(object);
  if (found != 0) return found < 0 ? -1 : kVariantInteger;
  if (PyFloat_Check(object)) return kVariantFloat;
  if ((found = IsInstanceOf(object, StandardClass(StandardClassId::DecimalTuple))) != 0)
    return found < 0 ? -1 : kVariantDecimalTuple;
  if ((found = IsInstanceOf(object, StandardClass(StandardClassId::Decimal))) != 0)
    return found < 0 ? -1 : kVariantDecimal;
  if ((found = IsInstanceOf(object, StandardClass(StandardClassId::Uuid))) != 0) return found < 0 ? -1 : kVariantUuid;
  if (!DateTimeApiReady()) return -1;
  if (PyDelta_Check(object)) return kVariantTimeDelta;
  if (PyDateTime_Check(object)) return kVariantDateTime;
  if (PyDate_Check(object)) return kVariantDate;
  if (PyTime_Check(object)) return kVariantTime;
  if (PyUnicode_Check(object)) return kVariantString;
  if (IsBytesLike(object)) return kVariantBytes;
  if (PyList_CheckExact(object)) return kVariantList;
  if (PyTuple_CheckExact(object)) return kVariantTuple;
  return -2;
}

int ConvertVariant(PyObject* object, void* slot) {
  auto* variant = static_cast<PyVariant*>(slot);
  int kind = BorrowedKind(object);
  if (kind == -1) return 0;
  if (kind >= 0) {
    variant->kind = kind;
    variant->value = reinterpret_cast<uintptr_t>(object);
    return 1;
  }
  uint32_t handle = 0;
  int hostKind = HostObjectKind(object, &handle);
  if (hostKind == -1) return 0;
  // An unbound wrapper (handle 0) stands for nothing .NET could receive.
  if ((hostKind == 0 || hostKind == 1) && handle != 0) {
    variant->kind = hostKind == 0 ? kVariantHostObject : kVariantHostTarget;
    variant->value = handle;
    return 1;
  }
  PyErr_SetString(PyExc_TypeError, "unknown variant type");
  return 0;
}

}  // namespace morvax
