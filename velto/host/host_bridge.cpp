// Start-up and shutdown of the .NET runtime through the runtime wrapper library.
#include "host/host_bridge.h"

#include <cstdio>

#include "host/forked_process.h"
#include "host/platform.h"
#include "host/runtime_search.h"
#include "host/tracing.h"

namespace morvax::host {

static constexpr const char* kDomainName = "MorvaxCLRHostDomain";

const char* WrapperFileName(bool debug) {
  return debug ? "morvax.embed.coreclrwrap.debug.so" : "morvax.embed.coreclrwrap.so";
}

HostLocations ResolveHostLocations(const std::string& hostExePath, bool debug, const std::string& suffix,
                                   const char* runtimeDirOverride, const char* assemblyDirOverride) {
  HostLocations where;
  where.hostExePath = hostExePath;
  const std::string exeDir = DirectoryPart(hostExePath);

  where.runtimeDir = exeDir;
  if (runtimeDirOverride != nullptr) {
    where.runtimeDir = runtimeDirOverride;
  } else if (auto root = ReadEnvironment("NETCORE_WRAPPER_NETCORE_DIR_" + suffix)) {
    // The runtime directories always carry the release wrapper's file name.
    if (auto found = FindNewestRuntimeDir(*root, WrapperFileName(false))) {
      where.runtimeDir = *found;
      if (auto framework = ReadEnvironment("NETCORE_WRAPPER_FRAMEWORK_DIR_" + suffix)) where.frameworkDir = *framework;
    }
  }
  if (where.frameworkDir.empty()) where.frameworkDir = where.runtimeDir;
  Trace("NETCORE_DIR: '%s'", where.runtimeDir.c_str());
  if (where.frameworkDir != where.runtimeDir) Trace("FRAMEWORK_DIR: '%s'", where.frameworkDir.c_str());

  if (assemblyDirOverride != nullptr) {
    where.assemblyDirs = {assemblyDirOverride};
  } else if (auto dir = ReadEnvironment("NETCORE_WRAPPER_ASSEMBLY_DIR_" + suffix)) {
    where.assemblyDirs = AssemblySubdirectories(*dir, debug);
  } else {
    where.assemblyDirs = {exeDir};
  }
  bool listed = false;
  for (auto& dir : where.assemblyDirs) listed = listed || dir == where.runtimeDir;
  if (!listed) where.assemblyDirs.push_back(where.runtimeDir);

  where.productAssemblyDirs = JoinSearchPath(where.assemblyDirs);
  Trace("PRODUCT_ASSEMBLY_DIR: '%s'", where.productAssemblyDirs.c_str());
  return where;
}

std::string FormatInitFailure(int32_t status, const char* domainName, const std::string& exePath,
                              const char* const* keys, const char* const* values, int count) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", static_cast<uint32_t>(status));
  std::string message = std::string("coreclr_initialize failed (0x") + hex + ")";
  message += std::string(" [<APP_DOMAIN_NAME>='") + domainName + "',<HOST_EXE_PATH>='" + exePath + "'";
  for (int i = 0; i < count; ++i) message += std::string(",<") + keys[i] + ">='" + values[i] + "'";
  message += "]";
  return message;
}

HostBridge& HostBridge::Acquire(bool debug, const char* suffix, const char* runtimeDirOverride,
                                const char* assemblyDirOverride) {
  static HostBridge instance;
  if (!instance.started()) instance.Start(debug, suffix, runtimeDirOverride, assemblyDirOverride);
  return instance;
}

void HostBridge::Start(bool debug, const std::string& suffix, const char* runtimeDirOverride,
                       const char* assemblyDirOverride) {
  if (started()) return;
  // A start that got half-way (wrapper held, runtime not up) must not be retried as if it
  // had succeeded: later callers see the first failure again.
  if (startFailure_) std::rethrow_exception(startFailure_);
  try {
    EnableTracingFromEnvironment();
    Trace("Initializing .NET Core host...");
    debug_ = debug;
    locations_ = ResolveHostLocations(ExecutablePath(), debug, suffix, runtimeDirOverride, assemblyDirOverride);

    const char* wrapperName = WrapperFileName(debug);
    std::string wrapperPath = AppendPath(locations_.runtimeDir, wrapperName);
    Trace("Loading: '%s'", wrapperPath.c_str());
    wrapperLibrary_ = DynamicLibrary::load(wrapperPath, wrapperName);
    Trace("wrap dll loaded");
    // The wrapper is never unloaded: the runtime it hosts cannot be unloaded either.
    wrapperLibrary_.setFreeOnClose(false);

    wrapInitialize_ = wrapperLibrary_.symbolAs<WrapInitialize>("coreclr_wrap_initialize");
    wrapCreateDelegate_ = wrapperLibrary_.symbolAs<WrapCreateDelegate>("coreclr_wrap_create_delegate");
    wrapShutdown_ = wrapperLibrary_.symbolAs<WrapShutdown>("coreclr_wrap_shutdown");
    wrapIsDomainInitialized_ = wrapperLibrary_.symbolAs<WrapIsDomainInitialized>("coreclr_wrap_is_domain_initialized");

    if (wrapperLibrary_.loadedHere()) {
      auto wrapLoad = wrapperLibrary_.symbolAs<WrapLoad>("coreclr_wrap_load");
      std::string runtimePath = AppendPath(locations_.frameworkDir, "libcoreclr.so");
      Trace("Loading2: '%s'", runtimePath.c_str());
      if (wrapLoad(runtimePath.c_str()) == 0) throw std::runtime_error("init coreclr wap");
    }
    Trace(".NET Core host ready.");
    // From here on a forked child must not enter the runtime.
    WatchForks();

    if (wrapperLibrary_.loadedHere()) {
      CreateDefaultDomain();
    } else {
      domainInitialized_ = wrapIsDomainInitialized_() != 0;
    }
  } catch (...) {
    startFailure_ = std::current_exception();
    throw;
  }
}

void HostBridge::CreateDefaultDomain() {
  if (domainInitialized_) return;
  Trace("Creating default AppDomain...");
  const std::string& searchPath = locations_.productAssemblyDirs;
  RequireUtf8(searchPath);
  Trace("APP_PATH: '%s'", searchPath.c_str());
  Trace("APP_NI_PATHS: '%s'", searchPath.c_str());
  Trace("NATIVE_DLL_SEARCH_DIRECTORIES: '%s'", searchPath.c_str());

  // An empty platform assembly list on purpose: the wrapper fills it from the runtime directory.
  // The collector compacts more readily than by default: the runtime lives inside a Python
  // process, whose other memory it should not crowd out with a heap grown for throughput
  // (a document loaded twice otherwise leaves tens of MB committed and unused).
  const char* keys[] = {"TRUSTED_PLATFORM_ASSEMBLIES",
                        "APP_PATHS",
                        "APP_NI_PATHS",
                        "NATIVE_DLL_SEARCH_DIRECTORIES",
                        "AppDomainCompatSwitch",
                        "System.GC.ConserveMemory"};
  const char* values[] = {
      "", searchPath.c_str(), searchPath.c_str(), searchPath.c_str(), "UseLatestBehaviorWhenTFMNotSpecified", "7"};
  constexpr int kCount = sizeof keys / sizeof keys[0];

  RequireUtf8(locations_.hostExePath);
  Trace("HOST_EXE_PATH: '%s'", locations_.hostExePath.c_str());
  int32_t status = wrapInitialize_(locations_.hostExePath.c_str(), kDomainName, kCount, keys, values);
  if (status != 0) {
    throw CoreClrInitException(FormatInitFailure(status, kDomainName, locations_.hostExePath, keys, values, kCount));
  }
  domainInitialized_ = true;
  Trace("Default AppDomain ready.");
}

int32_t HostBridge::CreateDelegate(const char* assembly, const char* type, const char* method, void** slot) const {
  return wrapCreateDelegate_(assembly, type, method, slot);
}

HostBridge::~HostBridge() {
  if (wrapShutdown_ != nullptr && domainInitialized_ && wrapperLibrary_.loadedHere()) {
    Trace("Shutdowning .NET Core host...");
    int32_t status = wrapShutdown_();
    Trace(".NET Core host is down: %d", status);
    domainInitialized_ = false;
  }
}

}  // namespace morvax::host
