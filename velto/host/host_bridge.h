// The process-wide bridge to the .NET runtime: finds, loads and starts it once, then hands
// out delegates (native function pointers) to static .NET methods.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/dynamic_library.h"

namespace morvax::host {

// coreclr_wrap_initialize returned a failure status; the message lists what was passed.
class CoreClrInitException : public std::exception {
 public:
  explicit CoreClrInitException(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Where the runtime is looked for: settings of one start and what the search found.
struct HostLocations {
  std::string hostExePath;
  std::string runtimeDir;    // holds the wrapper library
  std::string frameworkDir;  // holds libcoreclr.so: the runtime directory unless set apart
  std::vector<std::string> assemblyDirs;
  std::string productAssemblyDirs;  // assemblyDirs joined with ':'
};

// The wrapper library's file name for the release or the debug variant.
const char* WrapperFileName(bool debug);

// Resolves the runtime directory and the assembly search list from the overrides (null
// when absent) and the NETCORE_WRAPPER_NETCORE_DIR_<suffix> and
// NETCORE_WRAPPER_ASSEMBLY_DIR_<suffix> variables, falling back to the executable's directory.
// NETCORE_WRAPPER_FRAMEWORK_DIR_<suffix> names a shared framework directory apart from the
// wrapper's (an installed package finds .NET where it was installed); it is read only when
// the runtime directory came from NETCORE_WRAPPER_NETCORE_DIR_<suffix>.
HostLocations ResolveHostLocations(const std::string& hostExePath, bool debug,
                                   const std::string& suffix, const char* runtimeDirOverride,
                                   const char* assemblyDirOverride);

// Builds the message of CoreClrInitException.
std::string FormatInitFailure(int32_t status, const char* domainName, const std::string& exePath,
                              const char* const* keys, const char* const* values, int count);

class HostBridge {
 public:
  using WrapInitialize = int32_t (*)(const char* exePath, const char* domainName, int32_t count,
                                     const char** keys, const char** values);
  using WrapCreateDelegate = int32_t (*)(const char* assembly, const char* type,
                                         const char* method, void** slot);
  using WrapShutdown = int32_t (*)();
  using WrapIsDomainInitialized = int32_t (*)();
  using WrapLoad = int32_t (*)(const char* coreclrPath);

  // The single instance, started on the first call. Throws what the start threw; a start
  // that failed once fails the same way on every later call.
  static HostBridge& Acquire(bool debug = false, const char* suffix = "morvax",
                             const char* runtimeDirOverride = nullptr,
                             const char* assemblyDirOverride = nullptr);

  HostBridge() = default;
  HostBridge(const HostBridge&) = delete;
  HostBridge& operator=(const HostBridge&) = delete;
  // Shuts the runtime down, but only if this bridge loaded the wrapper and has a domain.
  ~HostBridge();

  // Starts the host unless the wrapper library is already held.
  void Start(bool debug, const std::string& suffix, const char* runtimeDirOverride,
             const char* assemblyDirOverride);

  int32_t CreateDelegate(const char* assembly, const char* type, const char* method,
                         void** slot) const;

  const HostLocations& locations() const { return locations_; }
  bool domainInitialized() const { return domainInitialized_; }
  bool loadedHere() const { return wrapperLibrary_.loadedHere(); }
  bool started() const { return wrapperLibrary_.isLoaded(); }

 private:
  void CreateDefaultDomain();

  HostLocations locations_;
  DynamicLibrary wrapperLibrary_;
  WrapInitialize wrapInitialize_ = nullptr;
  WrapCreateDelegate wrapCreateDelegate_ = nullptr;
  WrapShutdown wrapShutdown_ = nullptr;
  WrapIsDomainInitialized wrapIsDomainInitialized_ = nullptr;
  bool domainInitialized_ = false;
  bool debug_ = false;
  std::exception_ptr startFailure_;
};

}  // namespace morvax::host
