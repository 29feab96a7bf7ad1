// A stand-in for the runtime wrapper library in tests: it carries the wrapper's
// SONAME, so morvax.pyreflection finds it with dlopen(RTLD_NOLOAD) once a test has
// loaded it, and its FreeInstance only records the handles it is given.  The
// fake_wrap_* functions let the test steer it and read what happened.
#include <cstdint>
#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int32_t domain_initialized = 1;
int32_t create_status = 0;
int32_t create_calls = 0;
int32_t freed_count = 0;
uint32_t freed[64];

void free_instance(uint32_t handle) {
  if (freed_count < 64) { freed[freed_count] = handle; }
  ++freed_count;
}

}  // namespace

FAKE_EXPORT int32_t coreclr_wrap_create_delegate(const char* assembly, const char* type, const char* method,
                                                 void** slot) {
  ++create_calls;
  if (create_status != 0) { return create_status; }
  if (std::strcmp(assembly, "WrpInterop.Morvax.Velto") != 0 ||
      std::strcmp(type, "Morvax.WrpGen.Interop.ExchangeHost") != 0 || std::strcmp(method, "FreeInstance") != 0) {
    return -2;  // an unknown entry point, as the runtime would refuse it
  }
  *slot = reinterpret_cast<void*>(&free_instance);
  return 0;
}

FAKE_EXPORT int32_t coreclr_wrap_is_domain_initialized(void) { return domain_initialized; }

FAKE_EXPORT void fake_wrap_set_domain(int32_t initialized) { domain_initialized = initialized; }
FAKE_EXPORT void fake_wrap_set_create_status(int32_t status) { create_status = status; }
FAKE_EXPORT int32_t fake_wrap_create_calls(void) { return create_calls; }
FAKE_EXPORT int32_t fake_wrap_freed_count(void) { return freed_count; }
FAKE_EXPORT uint32_t fake_wrap_freed(int32_t index) {
  return index >= 0 && index < 64 && index < freed_count ? freed[index] : 0;
}
