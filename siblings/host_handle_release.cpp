// How release_host_handle finds FreeInstance: the runtime wrapper library has the
// SONAME below, so dlopen with RTLD_NOLOAD finds it wherever the main extension
// loaded it from, and never loads it here.  The delegate is looked up on first use
// and kept; it is only called while the wrapper says the domain exists, because a
// shut-down runtime must not be entered.
#define PY_SSIZE_T_CLEAN
#include "host_handle_release.h"

#include <Python.h>
#include <dlfcn.h>

namespace morvax::siblings {
namespace {

constexpr const char* kWrapperSoname = "morvax.embed.coreclrwrap.so";
constexpr const char* kInteropAssembly = "WrpInterop.Morvax.Velto";
constexpr const char* kExchangeHostType = "Morvax.WrpGen.Interop.ExchangeHost";

using CreateDelegateFn = int32_t (*)(const char*, const char*, const char*, void**);
using DomainInitializedFn = int32_t (*)(void);
using FreeInstanceFn = void (*)(uint32_t);

// Guarded by the GIL, like every caller.  The library reference taken by dlopen is
// kept for the life of the process so the cached pointers stay valid.
struct Releaser {
  DomainInitializedFn domain_initialized = nullptr;
  FreeInstanceFn free_instance = nullptr;
};

Releaser releaser;

// Looks the delegate up; false while the wrapper or its domain is missing, so a
// later call tries again.
bool bind_free_instance() {
  void* library = dlopen(kWrapperSoname, RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr) {
    dlerror();  // clear the loader's message; not being loaded is normal here
    return false;
  }
  auto create_delegate = reinterpret_cast<CreateDelegateFn>(dlsym(library, "coreclr_wrap_create_delegate"));
  auto domain_initialized = reinterpret_cast<DomainInitializedFn>(dlsym(library, "coreclr_wrap_is_domain_initialized"));
  void* slot = nullptr;
  if (create_delegate == nullptr || (domain_initialized != nullptr && domain_initialized() == 0) ||
      create_delegate(kInteropAssembly, kExchangeHostType, "FreeInstance", &slot) != 0 || slot == nullptr) {
    dlerror();
    dlclose(library);
    return false;
  }
  releaser.domain_initialized = domain_initialized;
  releaser.free_instance = reinterpret_cast<FreeInstanceFn>(slot);
  return true;
}

}  // namespace

void release_host_handle(uint32_t handle) {
  if (handle == 0) { return; }
  if (releaser.free_instance == nullptr && !bind_free_instance()) { return; }
  if (releaser.domain_initialized != nullptr && releaser.domain_initialized() == 0) {
    return;  // the runtime is gone, and every handle with it
  }
  // FreeInstance reports .NET exceptions through the main extension's callback,
  // which may raise a Python error; keep it apart from the caller's own state.
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  releaser.free_instance(handle);
  if (PyErr_Occurred()) { PyErr_WriteUnraisable(nullptr); }
  PyErr_Restore(type, value, traceback);
}

}  // namespace morvax::siblings
