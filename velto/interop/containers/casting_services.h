// The casting methods of the adapter types (_type_of, _cast_to, _cast_as, _is_assignable,
// _reinterpret_obj, _cast_from), written once over the btp_ entry points of whichever .NET
// class serves the adapter: the untyped adapters of _interop and the typed ones of _generic
// both call these after checking that their class is ready.
#pragma once

#include <Python.h>

#include <cstdint>

#include "interop/host_object.h"

namespace morvax::containers {

using TypeOfEntry = int32_t (*)(uint32_t* outHandle);
using CastToEntry = int32_t (*)(HostKindHandle* pair, uint32_t* outHandle);
using HandleOutEntry = int32_t (*)(uint32_t handle, uint32_t* outHandle);  // btp_CastAs, btp_ReInterpretObj
using AssignableEntry = int32_t (*)(uint32_t handle);

PyObject* TypeOfService(TypeOfEntry entry);
// The results wrap the new handle as the adapter type.
PyObject* CastToService(CastToEntry entry, PyObject* object, PyTypeObject* adapter);
PyObject* CastAsService(HandleOutEntry entry, PyObject* object, PyTypeObject* adapter);
PyObject* IsAssignableService(AssignableEntry entry, PyObject* object);
// A null entry (the class cannot reinterpret) refuses with "cannot convert from  '%.100s' to '%.100s'".
PyObject* ReinterpretService(HandleOutEntry entry, PyObject* object, PyTypeObject* adapter);
PyObject* CastFromService(PyObject* self, PyObject* object);

}  // namespace morvax::containers
