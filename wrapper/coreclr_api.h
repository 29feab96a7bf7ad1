// coreclr_api.h: the three CoreCLR hosting entry points the wrapper resolves
// from libcoreclr.so, declared from their documented C signatures.
#ifndef MORVAX_COREWRAP_CORECLR_API_H
#define MORVAX_COREWRAP_CORECLR_API_H

namespace morvax::coreclrwrap {

// int coreclr_initialize(exePath, appDomainFriendlyName, propertyCount,
//                        propertyKeys, propertyValues, hostHandle, domainId)
using coreclr_initialize_fn = int (*)(const char* exe_path, const char* app_domain_friendly_name, int property_count,
                                      const char** property_keys, const char** property_values, void** host_handle,
                                      unsigned int* domain_id);

// int coreclr_create_delegate(hostHandle, domainId, assembly, type, method, delegate)
using coreclr_create_delegate_fn = int (*)(void* host_handle, unsigned int domain_id,
                                           const char* entry_point_assembly_name, const char* entry_point_type_name,
                                           const char* entry_point_method_name, void** delegate);

// int coreclr_shutdown_2(hostHandle, domainId, latchedExitCode)
using coreclr_shutdown_2_fn = int (*)(void* host_handle, unsigned int domain_id, int* latched_exit_code);

}  // namespace morvax::coreclrwrap

#endif  // MORVAX_COREWRAP_CORECLR_API_H
