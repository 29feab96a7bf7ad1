// Shared-library loading with the "already loaded by someone else" check.
#include "host/dynamic_library.h"

#include <dlfcn.h>

#include <stdexcept>
#include <utility>

#include "host/tracing.h"

namespace morvax::host {

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), loadedHere_(other.loadedHere_) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = std::exchange(other.handle_, nullptr);
    loadedHere_ = other.loadedHere_;
  }
  return *this;
}

DynamicLibrary::~DynamicLibrary() { release(); }

void DynamicLibrary::release() {
  if (handle_ != nullptr && freeOnClose_) dlclose(handle_);
  handle_ = nullptr;
}

DynamicLibrary DynamicLibrary::load(const std::string& fullPath, const std::string& fileName) {
  DynamicLibrary library;
  Trace("Try get module...");
  // A bare file name with RTLD_NOLOAD matches a loaded library by its SONAME, wherever it
  // was loaded from; like the module query it takes a reference of its own.
  library.handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (library.handle_ != nullptr) {
    Trace("Using existed module...");
    return library;
  }
  Trace("No existed module...");
  library.handle_ = dlopen(fullPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library.handle_ == nullptr) {
    const char* reason = dlerror();
    Trace("No module...");
    Trace("No: '%s'", fullPath.c_str());
    throw LibraryLoadError(fullPath, reason != nullptr ? reason : "");
  }
  library.loadedHere_ = true;
  return library;
}

void* DynamicLibrary::symbol(const char* name) const {
  if (handle_ == nullptr) throw std::logic_error("Library was not opened!");
  void* address = dlsym(handle_, name);
  if (address == nullptr) throw std::runtime_error(std::string("No such symbol: ") + name);
  return address;
}

}  // namespace morvax::host
