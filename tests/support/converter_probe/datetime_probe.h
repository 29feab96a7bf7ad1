// The date, time, decimal and GUID part of _converter_probe: native values shown to Python
// as plain ints and bytes, and the module functions that run those conversions.
#pragma once

#include <Python.h>

#include "interop/datetime_values.h"

namespace probe {

// Native forms as Python values (new references):
//   HostDateTime (ticks, kind), HostDateTimeResult (ticks, kind, offset),
//   HostDecimal (low, middle, high, flags), HostGuid the 16 bytes.
PyObject* HostDateTimeValue(const morvax::HostDateTime& value);
PyObject* HostDecimalValue(const morvax::HostDecimal& value);
PyObject* HostGuidValue(const morvax::HostGuid& value);

// Builder B7-B12 of the static callback record on value given in the shapes above
// (B10 takes ticks; B11 (offset ticks, name or None)). Null with an exception set.
PyObject* BuildDateTimeValue(int index, PyObject* value);

// read(index, obj), result(name, fields) and the pure tick helpers; null-terminated.
extern PyMethodDef kDateTimeMethods[];

}  // namespace probe
