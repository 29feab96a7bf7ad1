// A runtime wrapper library that lacks one export, for the loader's missing-symbol path.
// Every function fails: the loader must stop before calling any of them.
#include <cstdint>

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT int32_t coreclr_wrap_load(const char*) { return 0; }
EXPORT int32_t coreclr_wrap_initialize(const char*, const char*, int32_t, const char**, const char**) { return -1; }
EXPORT int32_t coreclr_wrap_create_delegate(const char*, const char*, const char*, void**) { return -1; }
EXPORT int32_t coreclr_wrap_shutdown() { return -1; }
// coreclr_wrap_is_domain_initialized is left out on purpose.
