// A stand-in for the wrapper-object functions of interop/host_object.h that the converters
// and the static callback record link against, so that _converter_probe builds without the
// type registry or a .NET runtime. It knows no .NET types: MakeWrapper finds none, and the
// host-object test is the marker test alone, on the probe's own PyHostObject types.
#include "interop/host_object.h"

#include "common/interned_names.h"

namespace morvax {

bool GetHostHandle(PyObject* object, HostKindHandle* out) {
  if (object == Py_None) {
    *out = {0, 0};
    return true;
  }
  PyTypeObject* type = Py_TYPE(object);
  // Only objects laid out as PyHostObject have a handle to read.
  if (type->tp_basicsize < static_cast<Py_ssize_t>(sizeof(PyHostObject))) return false;
  PyObject* marker = PyDict_GetItemWithError(type->tp_dict, Interned(Name::_morvax_clr_host));
  if (marker == Py_None || marker == Py_Ellipsis) {
    *out = {marker == Py_None ? 0 : 1, reinterpret_cast<PyHostObject*>(object)->handle};
    return true;
  }
  return false;
}

void HostObjectDealloc(PyObject* self) { Py_TYPE(self)->tp_free(self); }

extern "C" PyObject* MakeWrapperCallback(uint32_t, uint32_t) {
  PyErr_SetString(PyExc_TypeError, "unknown wrapper type");
  return nullptr;
}

extern "C" int32_t TryMakeWrapperCallback(uint32_t, uint32_t, PyObject**) { return 0; }

namespace containers {
// No adapter types here: wrapping a container handle fails as an unknown wrapper does.
extern "C" PyObject* WrapIListCallback(uint32_t) { return MakeWrapperCallback(0, 0); }
extern "C" PyObject* WrapArrayListCallback(uint32_t) { return MakeWrapperCallback(0, 0); }
extern "C" PyObject* WrapArrayCallback(uint32_t) { return MakeWrapperCallback(0, 0); }
}  // namespace containers

}  // namespace morvax
