// The date, time, decimal and GUID functions of _converter_probe:
//   read(index, obj)          reader A<index> (4-10) of the static callback record
//   result(name, fields)      the result builder the generated code uses for name
//   ticks_from_parts(kind, year, month, day[, hour, minute, second, microsecond])
//   parts_from_ticks(ticks, kind)      delta_ticks(days, seconds, microseconds)
// Native values cross as the plain shapes datetime_probe.h lists.
#define PY_SSIZE_T_CLEAN
#include "datetime_probe.h"

#include <cstring>

#include "interop/static_callbacks.h"

namespace probe {

using namespace morvax;

namespace {

const ReaderGroup& Readers() {
  return *static_cast<const ReaderGroup*>(static_cast<const StaticRecord*>(StaticCallbackRecord())->readers);
}

const BuilderGroup& Builders() {
  return *static_cast<const BuilderGroup*>(static_cast<const StaticRecord*>(StaticCallbackRecord())->builders);
}

PyObject* HostDateTimeResultValue(const HostDateTimeResult& value) {
  return Py_BuildValue("(KiL)", static_cast<unsigned long long>(value.ticksAndKind & kTicksMask),
                       static_cast<int>(value.ticksAndKind >> 62), static_cast<long long>(value.offsetTicks));
}

// (ticks, kind) or (ticks, kind, offset) into a result record. 1, or 0 with an exception.
int ParseDateTimeFields(PyObject* fields, HostDateTimeResult* out) {
  unsigned long long ticks;
  int kind;
  long long offset = 0;
  if (!PyArg_ParseTuple(fields, "Ki|L:date-time fields", &ticks, &kind, &offset)) return 0;
  if (ticks > kTicksMask || kind < 0 || kind > 3) {
    PyErr_SetString(PyExc_ValueError, "ticks take 62 bits and the kind 2");
    return 0;
  }
  out->ticksAndKind = ticks | static_cast<unsigned long long>(kind) << 62;
  out->offsetTicks = offset;
  return 1;
}

int ParseDecimalFields(PyObject* fields, HostDecimal* out) {
  unsigned long low, middle, high, flags;
  if (!PyArg_ParseTuple(fields, "kkkk:decimal fields", &low, &middle, &high, &flags)) return 0;
  *out = {static_cast<uint32_t>(low), static_cast<uint32_t>(middle), static_cast<uint32_t>(high),
          static_cast<uint32_t>(flags)};
  return 1;
}

int ParseGuidBytes(PyObject* bytes, HostGuid* out) {
  if (!PyBytes_Check(bytes) || PyBytes_GET_SIZE(bytes) != 16) {
    PyErr_SetString(PyExc_ValueError, "a GUID is 16 bytes");
    return 0;
  }
  std::memcpy(out->bytes, PyBytes_AS_STRING(bytes), 16);
  return 1;
}

int ParseTicks(PyObject* value, int64_t* ticks) {
  long long read = PyLong_AsLongLong(value);
  if (read == -1 && PyErr_Occurred()) return 0;
  *ticks = read;
  return 1;
}

PyObject* read(PyObject*, PyObject* args) {
  int index;
  PyObject* object;
  if (!PyArg_ParseTuple(args, "iO:read", &index, &object)) return nullptr;
  const ReaderGroup& group = Readers();
  switch (index) {
    case 4:
    case 5: {
      HostDecimal value;
      if (!(index == 4 ? group.decimal : group.decimalTuple)(object, &value)) return nullptr;
      return HostDecimalValue(value);
    }
    case 6:
    case 8: {
      HostDateTimeResult value;
      int32_t code = (index == 6 ? group.dateTime : group.time)(object, &value);
      if (code == 0) return nullptr;
      PyObject* fields = HostDateTimeResultValue(value);
      return fields != nullptr ? Py_BuildValue("(iN)", code, fields) : nullptr;
    }
    case 7: {
      HostDateTime value;
      if (!group.date(object, &value)) return nullptr;
      return HostDateTimeValue(value);
    }
    case 9: {
      int64_t ticks;
      if (!group.timeDelta(object, &ticks)) return nullptr;
      return PyLong_FromLongLong(ticks);
    }
    case 10: {
      HostGuid value;
      if (!group.uuid(object, &value)) return nullptr;
      return HostGuidValue(value);
    }
    default:
      PyErr_Format(PyExc_ValueError, "reader %d is not a date, time, decimal or GUID reader", index);
      return nullptr;
  }
}

PyObject* result(PyObject*, PyObject* args) {
  const char* name;
  PyObject* fields;
  if (!PyArg_ParseTuple(args, "sO:result", &name, &fields)) return nullptr;
  if (std::strcmp(name, "DateTime") == 0 || std::strcmp(name, "DateTimeOffset") == 0) {
    HostDateTimeResult value;
    if (!ParseDateTimeFields(fields, &value)) return nullptr;
    return name[8] == '\0' ? DateTimeResult(value) : DateTimeOffsetResult(value);
  }
  if (std::strcmp(name, "TimeSpan") == 0) {
    int64_t ticks;
    return ParseTicks(fields, &ticks) ? TimeSpanResult(ticks) : nullptr;
  }
  if (std::strcmp(name, "Decimal") == 0) {
    HostDecimal value;
    return ParseDecimalFields(fields, &value) ? DecimalResult(value) : nullptr;
  }
  if (std::strcmp(name, "Guid") == 0) {
    HostGuid value;
    return ParseGuidBytes(fields, &value) ? GuidResult(value) : nullptr;
  }
  PyErr_Format(PyExc_ValueError, "no result builder named '%s'", name);
  return nullptr;
}

PyObject* ticks_from_parts(PyObject*, PyObject* args) {
  DateTimeParts parts;
  if (!PyArg_ParseTuple(args, "iiii|iiii:ticks_from_parts", &parts.kind, &parts.year, &parts.month, &parts.day,
                        &parts.hour, &parts.minute, &parts.second, &parts.microsecond)) {
    return nullptr;
  }
  uint64_t ticksAndKind;
  if (!TicksFromParts(parts, &ticksAndKind)) Py_RETURN_NONE;
  return HostDateTimeValue(HostDateTime{ticksAndKind});
}

PyObject* parts_from_ticks(PyObject*, PyObject* args) {
  HostDateTimeResult value;
  if (!ParseDateTimeFields(args, &value)) return nullptr;
  const DateTimeParts p = PartsFromTicks(value.ticksAndKind);
  return Py_BuildValue("(iiiiiiii)", p.kind, p.year, p.month, p.day, p.hour, p.minute, p.second, p.microsecond);
}

PyObject* delta_ticks(PyObject*, PyObject* args) {
  long long days, seconds, microseconds;
  if (!PyArg_ParseTuple(args, "LLL:delta_ticks", &days, &seconds, &microseconds)) return nullptr;
  int64_t ticks;
  if (!TicksFromDeltaParts(days, seconds, microseconds, &ticks)) Py_RETURN_NONE;
  return PyLong_FromLongLong(ticks);
}

}  // namespace

PyObject* HostDateTimeValue(const HostDateTime& value) {
  return Py_BuildValue("(Ki)", static_cast<unsigned long long>(value.ticksAndKind & kTicksMask),
                       static_cast<int>(value.ticksAndKind >> 62));
}

PyObject* HostDecimalValue(const HostDecimal& value) {
  return Py_BuildValue("(kkkk)", static_cast<unsigned long>(value.low), static_cast<unsigned long>(value.middle),
                       static_cast<unsigned long>(value.high), static_cast<unsigned long>(value.flags));
}

PyObject* HostGuidValue(const HostGuid& value) {
  return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(value.bytes), sizeof value.bytes);
}

PyObject* BuildDateTimeValue(int index, PyObject* value) {
  const BuilderGroup& group = Builders();
  switch (index) {
    case 7: {
      HostDecimal fields;
      return ParseDecimalFields(value, &fields) ? group.decimal(&fields) : nullptr;
    }
    case 8:
    case 9: {
      HostDateTimeResult fields;
      if (!ParseDateTimeFields(value, &fields)) return nullptr;
      return (index == 8 ? group.dateTime : group.dateTimeOffset)(&fields);
    }
    case 10: {
      int64_t ticks;
      return ParseTicks(value, &ticks) ? group.timeDelta(ticks) : nullptr;
    }
    case 11: {
      long long offset;
      PyObject* name;
      if (!PyArg_ParseTuple(value, "LO:time-zone fields", &offset, &name)) return nullptr;
      if (name == Py_None) return group.timeZone(offset, nullptr, -1);
      // The name as .NET passes it: UTF-16 code units and their count.
      PyObject* encoded = PyUnicode_AsEncodedString(name, "utf-16-le", "surrogatepass");
      if (encoded == nullptr) return nullptr;
      PyObject* zone = group.timeZone(offset, reinterpret_cast<const char16_t*>(PyBytes_AS_STRING(encoded)),
                                      static_cast<int32_t>(PyBytes_GET_SIZE(encoded) / 2));
      Py_DECREF(encoded);
      return zone;
    }
    case 12: {
      HostGuid bytes;
      return ParseGuidBytes(value, &bytes) ? group.uuid(bytes.bytes) : nullptr;
    }
    default:
      PyErr_Format(PyExc_ValueError, "builder %d is not a date, time, decimal or GUID builder", index);
      return nullptr;
  }
}

PyMethodDef kDateTimeMethods[] = {
    {"read", read, METH_VARARGS, "Reader A<index> (4-10) on obj; the native value as ints or bytes."},
    {"result", result, METH_VARARGS, "The result builder for a DateTime, DateTimeOffset, TimeSpan, Decimal or Guid."},
    {"ticks_from_parts", ticks_from_parts, METH_VARARGS, "(ticks, kind) of a date and time, or None."},
    {"parts_from_ticks", parts_from_ticks, METH_VARARGS, "(kind, year, month, day, hour, minute, second, us)."},
    {"delta_ticks", delta_ticks, METH_VARARGS, "Ticks of normalised timedelta parts, or None."},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace probe
