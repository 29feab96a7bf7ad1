// Interface values: how a value whose .NET type is one of the library's interfaces crosses.
// An argument is accepted from None and from wrappers of .NET objects that implement the
// interface (told by the offered type's own interface set, else by asking .NET); a result
// is given the registered class of its run-time type where that class stands for the
// interface. Each class carries its two interface sets, written when it is registered.
#pragma once

#include <Python.h>

#include <cstdint>

#include "api/class_binding.h"
#include "interop/host_object.h"

namespace morvax::api {

// The interface-argument converter: 1 with the pair set, or 0 with TypeError "can't build
// <Interface> value from '<type>'" (or the readiness gate's error).
int ConvertInterfaceArgument(const ClassBinding& interface, PyObject* object, HostKindHandle* pair);

// A screen for the converter: false where it certainly refuses (no wrapper and not None).
bool MayBeInterfaceValue(PyObject* object);

// Wraps an owned handle returned as the interface (None for 0): as the registered class of
// the run-time type key where that class stands for the interface, else as the interface.
// A wrapper that cannot be made releases the handle; null with the error.
PyObject* WrapInterfaceResult(const ClassBinding& interface, uint32_t handle, uint32_t typeKey);

// Stores _additional_interfaces and _implicit_interfaces in the class's type dictionary
// when the class implements interfaces; only once every class type and adapter type is
// ready. 0, or -1 with ImportError (-1017, -1018).
int StoreInterfaceSets(const ClassBinding& binding);

}  // namespace morvax::api
