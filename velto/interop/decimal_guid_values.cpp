// Decimal and GUID values between Python and .NET: decimals cross as a 96-bit mantissa
// with scale and sign, GUIDs as their bytes_le.
#include <cstring>

#include "common/interned_names.h"
#include "common/py_ref.h"
#include "interop/datetime_values.h"
#include "interop/standard_classes.h"

namespace morvax {

using UInt128 = unsigned __int128;

// --- decimals ------------------------------------------------------------------------------

// 2**96 - 1, the largest .NET decimal mantissa.
static constexpr UInt128 kMaxMantissa = (static_cast<UInt128>(1) << 96) - 1;
// .NET holds at most 28 decimal places and 29 significant digits.
static constexpr int64_t kMaxScale = 28;
static constexpr int64_t kMaxDigits = 29;

static int RaiseDecimalTooLarge() {
  PyErr_SetString(PyExc_OverflowError, "value too large for .Net decimal");
  return 0;
}

// The digit at index of a digit sequence. 1, or 0 with an exception set.
static int ReadDigit(PyObject* digits, Py_ssize_t index, int* digit) {
  const long value = PyLong_AsLong(PySequence_Fast_GET_ITEM(digits, index));
  if (value == -1 && PyErr_Occurred()) return 0;
  if (value < 0 || value > 9) {
    // A hand-made tuple could hold anything; a wrong digit must not become a wrong value.
    PyErr_Format(PyExc_ValueError, "decimal digit %ld is not between 0 and 9", value);
    return 0;
  }
  *digit = static_cast<int>(value);
  return 1;
}

// Rounds the kept mantissa on its dropped digit: up from 6, and 5 to even. The digits after
// that one are not looked at.
static UInt128 RoundOn(UInt128 kept, int roundingDigit) {
  return roundingDigit >= 6 || (roundingDigit == 5 && (kept & 1) != 0) ? kept + 1 : kept;
}

// The sign, digits and exponent of a DecimalTuple-like value as a .NET decimal; 1, or 0 with
// an exception set. digits is a sequence made by PySequence_Fast.
static int DecimalFromParts(PyObject* exponent, long sign, PyObject* digits, HostDecimal* out) {
  long long e = PyLong_AsLongLong(exponent);
  if (e == -1 && PyErr_Occurred()) return 0;
  const Py_ssize_t n = PySequence_Fast_GET_SIZE(digits);
  if (e > kMaxDigits - n && n > 1) return RaiseDecimalTooLarge();

  // How many leading digits are kept, and whether the one after them rounds.
  Py_ssize_t keep = n;
  bool rounds = false;
  if (e < -kMaxScale) {
    const long long drop = -kMaxScale - e;
    keep = drop > n ? -1 : static_cast<Py_ssize_t>(n - drop);
    rounds = keep >= 0;
    e = -kMaxScale;
  }
  if (keep > kMaxDigits) {
    e += keep - kMaxDigits;
    keep = kMaxDigits;
    rounds = true;
  }

  UInt128 mantissa = 0;
  int roundingDigit = 0;
  if (keep >= 0) {
    // Every digit read is checked, the rounding digit included.
    for (Py_ssize_t i = 0; i < keep + (rounds ? 1 : 0); ++i) {
      int digit;
      if (!ReadDigit(digits, i, &digit)) return 0;
      if (i < keep) {
        mantissa = mantissa * 10 + static_cast<unsigned>(digit);
      } else {
        roundingDigit = digit;
      }
    }
    // Twenty-nine digits that exceed 96 bits lose the last of them to rounding instead,
    // while there is a decimal place to give up.
    if (keep == kMaxDigits && e < 0 && mantissa > kMaxMantissa) {
      roundingDigit = static_cast<int>(mantissa % 10);
      mantissa /= 10;
      e += 1;
      rounds = true;
    }
    if (rounds) mantissa = RoundOn(mantissa, roundingDigit);
    if (mantissa > kMaxMantissa) return RaiseDecimalTooLarge();
  }

  if (mantissa == 0) {
    *out = {0, 0, 0, 0};  // no negative zero and no scale
    return 1;
  }
  int64_t scale = 0;
  if (e <= 0) {
    scale = -e;
  } else {
    for (long long i = 0; i < e; ++i) {
      mantissa *= 10;
      if (mantissa > kMaxMantissa) return RaiseDecimalTooLarge();
    }
  }
  out->low = static_cast<uint32_t>(mantissa);
  out->middle = static_cast<uint32_t>(mantissa >> 32);
  out->high = static_cast<uint32_t>(mantissa >> 64);
  out->flags = static_cast<uint32_t>(scale) << 16 | (sign != 0 ? 0x80000000u : 0u);
  return 1;
}

// A str exponent marks a special value, none of which .NET can hold. Always 0, with the
// reason set.
static int RaiseSpecialExponent(PyObject* exponent) {
  if (PyUnicode_CompareWithASCIIString(exponent, "F") == 0) {
    PyErr_Format(PyExc_OverflowError, "value too large for .Net '%s'", "Decimal");
  } else if (PyUnicode_CompareWithASCIIString(exponent, "n") == 0 ||
             PyUnicode_CompareWithASCIIString(exponent, "N") == 0) {
    PyErr_SetString(PyExc_OverflowError, "value is not a number");
  } else {
    PyErr_Format(PyExc_TypeError, "can't build '%s' from exponent value '%U'", "Decimal", exponent);
  }
  return 0;
}

extern "C" int32_t ReadDecimalTupleCallback(PyObject* object, HostDecimal* out) {
  PyRef exponent = PyRef::steal(PyObject_GetAttr(object, Interned(Name::exponent)));
  if (!exponent) return 0;
  if (PyUnicode_Check(exponent.get())) return RaiseSpecialExponent(exponent.get());
  if (!PyLong_Check(exponent.get())) {
    PyErr_Format(PyExc_TypeError, "unknown exponent type '%s'", Py_TYPE(exponent.get())->tp_name);
    return 0;
  }
  PyRef signObject = PyRef::steal(PyObject_GetAttr(object, Interned(Name::sign)));
  if (!signObject) return 0;
  PyRef digitsObject = PyRef::steal(PyObject_GetAttr(object, Interned(Name::digits)));
  if (!digitsObject) return 0;
  PyRef digits = PyRef::steal(PySequence_Fast(digitsObject.get(), "decimal digits must be a sequence"));
  if (!digits) return 0;
  const long sign = PyLong_AsLong(signObject.get());
  if (sign == -1 && PyErr_Occurred()) return 0;
  return DecimalFromParts(exponent.get(), sign, digits.get(), out);
}

extern "C" int32_t ReadDecimalCallback(PyObject* object, HostDecimal* out) {
  int found = IsInstanceOf(object, StandardClass(StandardClassId::DecimalTuple));
  if (found != 0) return found > 0 ? ReadDecimalTupleCallback(object, out) : 0;
  if ((found = IsInstanceOf(object, StandardClass(StandardClassId::Decimal))) < 0) return 0;
  if (found == 0) return RaiseCannotBuild("Decimal", object);
  PyRef parts = PyRef::steal(PyObject_CallMethodNoArgs(object, Interned(Name::as_tuple)));
  if (!parts) return 0;
  return ReadDecimalTupleCallback(parts.get(), out);
}

int ConvertDecimal(PyObject* object, void* slot) {
  return ReadDecimalCallback(object, static_cast<HostDecimal*>(slot));
}

PyObject* DecimalResult(const HostDecimal& value) {
  PyObject* decimal = StandardClass(StandardClassId::Decimal);
  if (decimal == nullptr) return nullptr;
  UInt128 mantissa = static_cast<UInt128>(value.high) << 64 | static_cast<UInt128>(value.middle) << 32 | value.low;
  // At most 29 digits; a zero mantissa is the one digit 0.
  int reversed[32];
  Py_ssize_t count = 0;
  do {
    reversed[count++] = static_cast<int>(mantissa % 10);
    mantissa /= 10;
  } while (mantissa != 0);
  PyObject* digits = PyTuple_New(count);
  if (digits == nullptr) return nullptr;
  for (Py_ssize_t i = 0; i < count; ++i) {
    // Small ints are cached by the interpreter: this cannot fail.
    PyTuple_SET_ITEM(digits, i, PyLong_FromLong(reversed[count - 1 - i]));
  }
  const int sign = (value.flags & 0x80000000u) != 0 ? 1 : 0;
  const int scale = static_cast<int>(value.flags >> 16 & 0xFF);
  // "N" hands the digits tuple to the argument tuple.
  PyRef parts = PyRef::steal(Py_BuildValue("((iNi))", sign, digits, -scale));
  if (!parts) return nullptr;
  return PyObject_Call(decimal, parts.get(), nullptr);
}

extern "C" PyObject* DecimalBuilderCallback(const HostDecimal* value) { return DecimalResult(*value); }

// --- GUIDs ---------------------------------------------------------------------------------

extern "C" int32_t ReadUuidCallback(PyObject* object, HostGuid* out) {
  PyRef bytes = PyRef::steal(PyObject_GetAttr(object, Interned(Name::bytes_le)));
  if (!bytes) return 0;
  if (!PyBytes_Check(bytes.get())) {
    PyErr_Format(PyExc_TypeError, "can't build Guid from bytes_le of type '%s'", Py_TYPE(bytes.get())->tp_name);
    return 0;
  }
  if (PyBytes_GET_SIZE(bytes.get()) < static_cast<Py_ssize_t>(sizeof out->bytes)) {
    PyErr_Format(PyExc_ValueError, "can't build Guid from %zd bytes", PyBytes_GET_SIZE(bytes.get()));
    return 0;
  }
  std::memcpy(out->bytes, PyBytes_AS_STRING(bytes.get()), sizeof out->bytes);
  return 1;
}

int ConvertGuid(PyObject* object, void* slot) {
  const int found = IsInstanceOf(object, StandardClass(StandardClassId::Uuid));
  if (found < 0) return 0;
  if (found == 0) return RaiseCannotBuild("Guid", object);
  return ReadUuidCallback(object, static_cast<HostGuid*>(slot));
}

PyObject* GuidResult(const HostGuid& value) {
  PyObject* uuid = StandardClass(StandardClassId::Uuid);
  if (uuid == nullptr) return nullptr;
  PyRef bytes = PyRef::steal(PyBytes_FromStringAndSize(reinterpret_cast<const char*>(value.bytes), sizeof value.bytes));
  if (!bytes) return nullptr;
  // uuid.UUID(bytes_le=...)
  PyObject* arguments[] = {bytes.get()};
  PyRef keywordNames = PyRef::steal(PyTuple_Pack(1, Interned(Name::bytes_le)));
  if (!keywordNames) return nullptr;
  return PyObject_Vectorcall(uuid, arguments, 0, keywordNames.get());
}

extern "C" PyObject* UuidBuilderCallback(const uint8_t* bytes) {
  HostGuid value;
  std::memcpy(value.bytes, bytes, sizeof value.bytes);
  return GuidResult(value);
}

}  // namespace morvax
