/* coreclrwrap.h: the C interface of morvax.embed.coreclrwrap, the small library
 * that loads libcoreclr.so and owns the one CoreCLR domain of the process.
 *
 * The extension module dlopens the wrapper and resolves these names itself, so
 * the function pointer types below are the ones to resolve them with.  All
 * strings are null-terminated UTF-8.  Every call is serialised by the wrapper,
 * so any thread may call.
 *
 * Status values: 0 is success.  The wrapper's own refusals are HRESULTs with
 * the customer bit set (0xA...), so they never collide with a status that
 * CoreCLR itself returns (those are passed through unchanged).
 */
#ifndef MORVAX_COREWRAP_H
#define MORVAX_COREWRAP_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* coreclr_wrap_load has not succeeded yet. */
#define COREWRAP_E_NOT_LOADED          ((int32_t)0xA0DE0001)
/* coreclr_wrap_initialize was already called successfully. */
#define COREWRAP_E_ALREADY_INITIALIZED ((int32_t)0xA0DE0002)
/* No domain exists (never initialised, or shut down). */
#define COREWRAP_E_NO_DOMAIN           ((int32_t)0xA0DE0003)
/* A null string, a negative count or a null key was passed. */
#define COREWRAP_E_INVALID_ARGUMENT    ((int32_t)0xA0DE0004)
/* The runtime was shut down; CoreCLR cannot be started twice in a process. */
#define COREWRAP_E_SHUT_DOWN           ((int32_t)0xA0DE0005)
/* The runtime directory could not be listed to build the trusted assemblies. */
#define COREWRAP_E_RUNTIME_DIR         ((int32_t)0xA0DE0006)
/* This process is a child forked after the runtime started in its parent: the
 * runtime cannot run here (its threads were not copied), so every entry point
 * refuses and coreclr_wrap_is_domain_initialized() answers 0. */
#define COREWRAP_E_FORKED              ((int32_t)0xA0DE0007)

/* Loads libcoreclr.so from coreclr_path and resolves the hosting entry points.
 * Non-zero on success (also when the same path is already loaded), 0 on
 * failure; coreclr_wrap_last_error() then says why. */
typedef int32_t (*coreclr_wrap_load_fn)(const char* coreclr_path);

/* Starts the runtime.  When the TRUSTED_PLATFORM_ASSEMBLIES property is absent
 * or empty, the wrapper fills it with every *.dll of the directory that holds
 * the loaded libcoreclr.so.  Returns coreclr_initialize's status, or one of the
 * COREWRAP_E_* values above. */
typedef int32_t (*coreclr_wrap_initialize_fn)(const char* exe_path, const char* domain_name,
                                              int32_t property_count, const char** keys,
                                              const char** values);

/* Resolves a static method of a loaded assembly to a native-callable pointer
 * stored in *slot.  Returns coreclr_create_delegate's status unchanged, or
 * COREWRAP_E_NO_DOMAIN / COREWRAP_E_INVALID_ARGUMENT. */
typedef int32_t (*coreclr_wrap_create_delegate_fn)(const char* assembly_name, const char* type_name,
                                                   const char* method_name, void** slot);

/* Shuts the domain down; returns coreclr_shutdown_2's status or
 * COREWRAP_E_NO_DOMAIN.  The domain is gone afterwards whatever the status. */
typedef int32_t (*coreclr_wrap_shutdown_fn)(void);

/* Non-zero while a domain exists. */
typedef int32_t (*coreclr_wrap_is_domain_initialized_fn)(void);

/* A short text about the calling thread's last failure in this library (never
 * null; empty when nothing failed).  Valid until that thread calls again. */
typedef const char* (*coreclr_wrap_last_error_fn)(void);

#ifdef __cplusplus
}
#endif

#endif /* MORVAX_COREWRAP_H */
