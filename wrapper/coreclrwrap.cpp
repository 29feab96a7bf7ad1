// coreclrwrap.cpp: morvax.embed.coreclrwrap, a thin owner of libcoreclr.so.
//
// The extension module never links libcoreclr.so: it dlopens this wrapper from
// the runtime directory, which loads the runtime privately (RTLD_LOCAL) and
// keeps the single host handle and domain id of the process.  All state lives
// in one WrapperState behind one lock.  The lock is recursive because
// coreclr_create_delegate runs managed code (type loading, static
// constructors) that may call back into native code that asks for another
// delegate on the same thread.
//
// Built twice from this file: the release library and a debug one
// (MORVAX_COREWRAP_DEBUG) that is unoptimised and also prints every failure
// to stderr, for use under a debugger.
#include "coreclrwrap.h"

#include <dlfcn.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <type_traits>

#include "coreclr_api.h"
#include "dl_handle.h"
#include "forked_child.h"
#include "properties.h"

#define COREWRAP_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace morvax::coreclrwrap;

enum class Phase {
    kUnloaded,  // nothing loaded yet
    kLoaded,    // libcoreclr.so loaded and its entry points resolved
    kRunning,   // coreclr_initialize succeeded: a domain exists
    kShutDown,  // coreclr_shutdown_2 was called; the runtime cannot start again
};

struct WrapperState {
    std::recursive_mutex lock;
    Phase phase = Phase::kUnloaded;
    DlHandle library;
    std::string coreclr_path;
    std::string runtime_dir;
    coreclr_initialize_fn initialize = nullptr;
    coreclr_create_delegate_fn create_delegate = nullptr;
    coreclr_shutdown_2_fn shutdown = nullptr;
    void* host_handle = nullptr;
    unsigned int domain_id = 0;
};

WrapperState& state() {
    static WrapperState s;
    return s;
}

// Set when the runtime starts (before coreclr_initialize, which already makes
// threads and shared mappings), and in a child forked after that.  Read before
// the lock: in such a child the lock may be held by a thread that was not
// copied, and every entry point must answer at once instead of waiting on it.
volatile sig_atomic_t g_runtime_started = 0;
volatile sig_atomic_t g_forked_after_start = 0;

constexpr const char* kForkedMessage =
    "this process was forked from one whose .NET runtime had started; the runtime cannot run here";

// Signals are held from just before the fork until the child has given back
// the runtime's handlers: one arriving in between would run the runtime's
// handler in the child, which signals the parent's runtime.
thread_local sigset_t t_mask_before_fork;
thread_local bool t_signals_held = false;

void on_fork_prepare() {
    if (g_runtime_started != 0 && g_forked_after_start == 0) {
        sigset_t all;
        sigfillset(&all);
        t_signals_held = pthread_sigmask(SIG_BLOCK, &all, &t_mask_before_fork) == 0;
    }
}

void release_held_signals() {
    if (t_signals_held) {
        t_signals_held = false;
        pthread_sigmask(SIG_SETMASK, &t_mask_before_fork, nullptr);
    }
}

void on_fork_in_child() {
    if (g_runtime_started != 0 && g_forked_after_start == 0) {
        g_forked_after_start = 1;
        detach_from_parent_runtime();
    }
    release_held_signals();
}

// Per thread, so one thread's failure text is not replaced by another's
// before it is read.  A plain buffer, not a std::string: the host shuts the
// runtime down from a static destructor at exit, after the thread's
// thread_local objects have been destroyed, and a buffer has no destructor.
thread_local char t_last_error[1024];

void set_last_error(const std::string& message) {
    std::snprintf(t_last_error, sizeof t_last_error, "%s", message.c_str());
}

int32_t fail(int32_t status, const std::string& message) {
    set_last_error(message);
#ifdef MORVAX_COREWRAP_DEBUG
    std::fprintf(stderr, "morvax.embed.coreclrwrap: %s (status 0x%08X)\n", t_last_error,
                 static_cast<unsigned>(status));
#endif
    return status;
}

std::string hex_status(int status) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(status));
    return buf;
}

// The directory holding the loaded library: taken from the path when it has a
// '/', otherwise asked of the dynamic loader (dlopen searched for a bare name).
std::string directory_of(const std::string& path, void* symbol_in_library) {
    std::string file = path;
    if (file.find('/') == std::string::npos) {
        Dl_info info;
        if (dladdr(symbol_in_library, &info) != 0 && info.dli_fname != nullptr) {
            file = info.dli_fname;
        }
    }
    size_t slash = file.rfind('/');
    std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
    // Made absolute now: the list of assemblies is built later, perhaps after
    // the process has changed its working directory, and the runtime wants
    // absolute paths in it.  Only the directory is resolved, not the links
    // to the framework's files inside it.
    if (dir[0] != '/') {
        char resolved[PATH_MAX];
        if (realpath(dir.c_str(), resolved) != nullptr) {
            dir = resolved;
        }
    }
    return dir;
}

}  // namespace

COREWRAP_EXPORT int32_t coreclr_wrap_load(const char* coreclr_path) {
    t_last_error[0] = '\0';
    if (coreclr_path == nullptr || coreclr_path[0] == '\0') {
        fail(COREWRAP_E_INVALID_ARGUMENT, "no path to libcoreclr.so given");
        return 0;
    }
    if (g_forked_after_start != 0) {
        fail(COREWRAP_E_FORKED, kForkedMessage);
        return 0;
    }
    WrapperState& s = state();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (s.phase != Phase::kUnloaded) {
        if (s.coreclr_path == coreclr_path) {
            return 1;
        }
        fail(COREWRAP_E_INVALID_ARGUMENT,
             "the runtime is already loaded from '" + s.coreclr_path + "', not '" + coreclr_path + "'");
        return 0;
    }
    std::string error;
    DlHandle library = DlHandle::open(coreclr_path, RTLD_NOW | RTLD_LOCAL, &error);
    if (!library) {
        fail(COREWRAP_E_NOT_LOADED, "cannot load '" + std::string(coreclr_path) + "': " + error);
        return 0;
    }
    auto initialize = library.symbol<coreclr_initialize_fn>("coreclr_initialize");
    auto create_delegate = library.symbol<coreclr_create_delegate_fn>("coreclr_create_delegate");
    auto shutdown = library.symbol<coreclr_shutdown_2_fn>("coreclr_shutdown_2");
    const char* missing = initialize == nullptr        ? "coreclr_initialize"
                          : create_delegate == nullptr ? "coreclr_create_delegate"
                          : shutdown == nullptr        ? "coreclr_shutdown_2"
                                                       : nullptr;
    if (missing != nullptr) {
        // library closes itself on return: nothing from it was used.
        fail(COREWRAP_E_NOT_LOADED,
             "'" + std::string(coreclr_path) + "' does not export " + missing);
        return 0;
    }
    s.runtime_dir = directory_of(coreclr_path, reinterpret_cast<void*>(initialize));
    s.coreclr_path = coreclr_path;
    s.initialize = initialize;
    s.create_delegate = create_delegate;
    s.shutdown = shutdown;
    s.library = std::move(library);
    s.phase = Phase::kLoaded;
    return 1;
}

COREWRAP_EXPORT int32_t coreclr_wrap_initialize(const char* exe_path, const char* domain_name,
                                                int32_t property_count, const char** keys,
                                                const char** values) {
    t_last_error[0] = '\0';
    if (g_forked_after_start != 0) {
        return fail(COREWRAP_E_FORKED, kForkedMessage);
    }
    WrapperState& s = state();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    switch (s.phase) {
        case Phase::kUnloaded:
            return fail(COREWRAP_E_NOT_LOADED, "coreclr_wrap_load has not succeeded");
        case Phase::kRunning:
            return fail(COREWRAP_E_ALREADY_INITIALIZED, "the runtime is already initialised");
        case Phase::kShutDown:
            return fail(COREWRAP_E_SHUT_DOWN,
                        "the runtime was shut down and cannot start again in this process");
        case Phase::kLoaded:
            break;
    }
    if (exe_path == nullptr || domain_name == nullptr) {
        return fail(COREWRAP_E_INVALID_ARGUMENT, "exe_path and domain_name must not be null");
    }
    // TRUSTED_PLATFORM_ASSEMBLIES: the caller passes an empty value (or none)
    // on purpose; PropertySet fills it with every *.dll of the runtime
    // directory, joined with ':'.
    PropertySet properties;
    std::string error;
    int32_t status = properties.assign(property_count, keys, values, s.runtime_dir, &error);
    if (status != 0) {
        return fail(status, error);
    }
    // From here on the runtime may have threads running inside libcoreclr.so,
    // even if initialisation fails half-way: it must stay loaded for good.
    s.library.release();
    static pthread_once_t fork_watch = PTHREAD_ONCE_INIT;
    pthread_once(&fork_watch, [] { pthread_atfork(on_fork_prepare, release_held_signals, on_fork_in_child); });
    remember_signal_dispositions_before_start();
    g_runtime_started = 1;
    void* host_handle = nullptr;
    unsigned int domain_id = 0;
    int rc = s.initialize(exe_path, domain_name, properties.count(), properties.keys(),
                          properties.values(), &host_handle, &domain_id);
    remember_runtime_signal_handlers();
    if (rc < 0) {
        return fail(rc, "coreclr_initialize failed with " + hex_status(rc));
    }
    // A success HRESULT other than S_OK still created the domain; callers
    // test for 0, so report it as 0 to keep status and domain state agreeing.
    s.host_handle = host_handle;
    s.domain_id = domain_id;
    s.phase = Phase::kRunning;
    return 0;
}

COREWRAP_EXPORT int32_t coreclr_wrap_create_delegate(const char* assembly_name,
                                                     const char* type_name,
                                                     const char* method_name, void** slot) {
    t_last_error[0] = '\0';
    if (slot != nullptr) {
        *slot = nullptr;
    }
    if (g_forked_after_start != 0) {
        return fail(COREWRAP_E_FORKED, kForkedMessage);
    }
    WrapperState& s = state();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (s.phase != Phase::kRunning) {
        return fail(COREWRAP_E_NO_DOMAIN, "no runtime domain exists");
    }
    if (assembly_name == nullptr || type_name == nullptr || method_name == nullptr ||
        slot == nullptr) {
        return fail(COREWRAP_E_INVALID_ARGUMENT, "null argument to coreclr_wrap_create_delegate");
    }
    int rc = s.create_delegate(s.host_handle, s.domain_id, assembly_name, type_name, method_name,
                               slot);
    if (rc != 0) {
        *slot = nullptr;
        return fail(rc, "coreclr_create_delegate(" + std::string(assembly_name) + ", " + type_name +
                            ", " + method_name + ") failed with " + hex_status(rc));
    }
    return 0;
}

COREWRAP_EXPORT int32_t coreclr_wrap_shutdown(void) {
    t_last_error[0] = '\0';
    if (g_forked_after_start != 0) {
        // The runtime to shut down lives in the parent; nothing of it runs here.
        return fail(COREWRAP_E_FORKED, kForkedMessage);
    }
    WrapperState& s = state();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (s.phase != Phase::kRunning) {
        return fail(COREWRAP_E_NO_DOMAIN, "no runtime domain exists");
    }
    int latched_exit_code = 0;
    int rc = s.shutdown(s.host_handle, s.domain_id, &latched_exit_code);
    // Whatever the status, the domain is unusable now.
    s.host_handle = nullptr;
    s.domain_id = 0;
    s.phase = Phase::kShutDown;
    if (rc != 0) {
        return fail(rc, "coreclr_shutdown_2 failed with " + hex_status(rc));
    }
    return 0;
}

COREWRAP_EXPORT int32_t coreclr_wrap_is_domain_initialized(void) {
    if (g_forked_after_start != 0) {
        return 0;
    }
    WrapperState& s = state();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    return s.phase == Phase::kRunning ? 1 : 0;
}

COREWRAP_EXPORT const char* coreclr_wrap_last_error(void) {
    return t_last_error;
}

// The exports must keep the shapes the header gives callers to resolve them with.
static_assert(std::is_same_v<decltype(&coreclr_wrap_load), coreclr_wrap_load_fn>);
static_assert(std::is_same_v<decltype(&coreclr_wrap_initialize), coreclr_wrap_initialize_fn>);
static_assert(
    std::is_same_v<decltype(&coreclr_wrap_create_delegate), coreclr_wrap_create_delegate_fn>);
static_assert(std::is_same_v<decltype(&coreclr_wrap_shutdown), coreclr_wrap_shutdown_fn>);
static_assert(std::is_same_v<decltype(&coreclr_wrap_is_domain_initialized),
                             coreclr_wrap_is_domain_initialized_fn>);
static_assert(std::is_same_v<decltype(&coreclr_wrap_last_error), coreclr_wrap_last_error_fn>);
