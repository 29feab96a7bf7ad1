// The stream part of _converter_probe (stream_probe.cpp): stream_call(name, stream, ...).
#pragma once

#include <Python.h>

namespace probe {

extern PyMethodDef kStreamMethods[];

}  // namespace probe
