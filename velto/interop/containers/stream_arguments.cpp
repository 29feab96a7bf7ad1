// Python file objects handed to .NET where it expects a Stream (the argument builder), and
// Stream results handed back.
#include "common/interned_names.h"
#include "common/py_ref.h"
#include "interop/containers/adapters.h"
#include "interop/containers/streams.h"
#include "interop/type_registry.h"

namespace morvax::containers {

namespace {

// isinstance(object, <module>.<name>), the class fetched by importing its module: 1, 0 or -1.
int IsInstanceOfClassIn(PyObject* object, const char* module, Name name) {
  PyRef imported = PyRef::steal(PyImport_ImportModule(module));
  if (!imported) return -1;
  PyRef cls = PyRef::steal(PyObject_GetAttr(imported.get(), Interned(name)));
  if (!cls) return -1;
  return PyObject_IsInstance(object, cls.get());
}

}  // namespace

int ConvertStream(PyObject* object, StreamArgument* out) {
  if (object == Py_None) {
    *out = {0, 0};
    return 1;
  }
  if (PyObject_TypeCheck(object, AdapterType(Adapter::Stream))) {
    *out = {0, HandleOf(object)};
    return 1;
  }
  uint32_t handle = 0;
  if (GetNetHandle(object, &handle)) {
    // A .NET object crosses as itself when .NET agrees it is a Stream.
    if (!Ready(InteropClass::Stream)) return 0;
    auto isAssignable =
        reinterpret_cast<int32_t (*)(uint32_t)>(SlotsOf(InteropClass::Stream)[slot::kStreamIsAssignable]);
    int32_t answer = isAssignable(handle);
    if (PyErr_Occurred()) return 0;
    if (answer != 0) {
      *out = {0, handle};
      return 1;
    }
  } else {
    const struct {
      const char* module;
      Name name;
    } kAccepted[] = {{"io", Name::RawIOBase}, {"io", Name::BufferedIOBase}, {"morvax.pycore", Name::BytesAsStream}};
    for (const auto& accepted : kAccepted) {
      int is = IsInstanceOfClassIn(object, accepted.module, accepted.name);
      if (is < 0) return 0;
      if (is > 0) {
        *out = {2, reinterpret_cast<uintptr_t>(object)};
        return 1;
      }
    }
  }
  PyErr_Format(PyExc_TypeError, "can't build Stream from '%s'", Py_TYPE(object)->tp_name);
  return 0;
}

PyObject* StreamResult(const HostObjectRef& ref) {
  // None, or the Python object itself; a .NET stream goes through the adapter's gate.
  if (ref.value == 0 || ref.kind == 2) return WrapObjectRef(ref, nullptr);
  auto handle = static_cast<uint32_t>(ref.value);
  PyTypeObject* registered = HostTypeRegistry::Instance().LookupRuntimeType(handle, ref.typeKey);
  if (registered == nullptr && PyErr_Occurred()) {
    ReleaseHandle(handle);
    return nullptr;
  }
  return registered != nullptr ? WrapHandle(handle, registered) : WrapAdapter(handle, AdapterType(Adapter::Stream));
}

void DiscardStreamResult(HostObjectRef& ref) {
  if (ref.kind == 0) ReleaseHandle(static_cast<uint32_t>(ref.value));
  ref = {};
}

}  // namespace morvax::containers
