// Runtime start and callback registration; the boundary where the loader's native
// exceptions become Python errors.
#include "module/register_callbacks.h"

#include <Python.h>

#include <exception>

#include "host/delegate_table.h"
#include "host/exchange_host.h"
#include "host/host_bridge.h"
#include "host/object_host.h"
#include "interop/builders.h"
#include "interop/containers/generic_types.h"
#include "interop/error_bridge.h"
#include "interop/interpreter_lock.h"
#include "interop/object_references.h"
#include "interop/static_callbacks.h"

namespace morvax {

using host::ExchangeHost;

template <typename Function>
static void* AsPointer(Function* function) {
  return reinterpret_cast<void*>(function);
}

static int StartAndBind() {
  host::HostBridge::Acquire(false, "morvax", nullptr, nullptr);

  ExchangeHost& exchange = ExchangeHost::Instance();
  if (!exchange.Bind(host::kInteropAssembly)) {
    PyErr_SetString(PyExc_TypeError, exchange.errorText().c_str());
    return -1;
  }

  const struct {
    ExchangeHost::Slot slot;
    void* callback;
  } registrations[] = {
      {ExchangeHost::kSetExceptionCallback, AsPointer(&ExceptionCallback)},
      {ExchangeHost::kSetCatchAndClearErrorCallback, AsPointer(&CatchAndClearErrorCallback)},
      {ExchangeHost::kSetU16StrBuilderCallback, AsPointer(&U16StrBuilderCallback)},
      {ExchangeHost::kSetPyStrBuilderCallback, AsPointer(&PyStrBuilderCallback)},
      {ExchangeHost::kSetPyUnraisableStrBuilderCallback, AsPointer(&PyUnraisableStrBuilderCallback)},
      {ExchangeHost::kSetPyObjApiCallbacks, const_cast<ObjectReferenceTable*>(ObjectReferenceCallbacks())},
      {ExchangeHost::kSetPyStaticCallbacks, const_cast<void*>(StaticCallbackRecord())},
      {ExchangeHost::kSetPyGenericCallbacks, const_cast<void*>(containers::GenericCallbackBlock())},
      {ExchangeHost::kSetPyBytesBuilderCallback, AsPointer(&PyBytesBuilderCallback)},
  };
  for (const auto& registration : registrations) exchange.Register(registration.slot, registration.callback);
  // Key/value pairs (the items of keyed collections) come back as tuples where the
  // interop assembly can build them.
  exchange.RegisterOptional("SetPyPairBuilderCallback", AsPointer(&PyPairBuilderCallback));
  // .NET code on a thread of its own takes the interpreter lock through these.
  exchange.RegisterOptional("SetInterpreterLockCallbacks",
                            const_cast<InterpreterLockTable*>(InterpreterLockCallbacks()));
  exchange.InitServices();

  const host::ObjectHost& objects = host::ObjectHost::Instance();
  if (objects.failed()) {
    PyErr_SetString(PyExc_TypeError, objects.errorText().c_str());
    return -1;
  }
  return 0;
}

int RegisterCallbacks() {
  // Nothing native may escape into the interpreter: a C++ exception crossing PyInit would
  // terminate the process.
  try {
    return StartAndBind();
  } catch (const host::LibraryLoadError& error) {
    PyErr_Format(PyExc_ImportError, "%s: cannot load the runtime wrapper library '%s' (%s)", error.what(),
                 error.path().c_str(), error.reason().c_str());
  } catch (const std::exception& error) { PyErr_SetString(PyExc_ImportError, error.what()); } catch (...) {
    PyErr_SetString(PyExc_ImportError, "unknown native failure while starting the .NET runtime");
  }
  return -1;
}

}  // namespace morvax
