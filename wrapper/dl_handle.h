// dl_handle.h: owns one dlopen() handle and resolves typed symbols from it.
#ifndef MORVAX_COREWRAP_DL_HANDLE_H
#define MORVAX_COREWRAP_DL_HANDLE_H

#include <dlfcn.h>

#include <string>
#include <utility>

namespace morvax::coreclrwrap {

class DlHandle {
 public:
  DlHandle() = default;
  DlHandle(const DlHandle&) = delete;
  DlHandle& operator=(const DlHandle&) = delete;
  DlHandle(DlHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  DlHandle& operator=(DlHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~DlHandle() { reset(); }

  // Opens path; on failure returns an empty handle and stores dlerror() in *error.
  static DlHandle open(const char* path, int flags, std::string* error) {
    DlHandle h;
    dlerror();
    h.handle_ = dlopen(path, flags);
    if (h.handle_ == nullptr && error != nullptr) {
      const char* msg = dlerror();
      *error = msg != nullptr ? msg : "dlopen failed";
    }
    return h;
  }

  explicit operator bool() const { return handle_ != nullptr; }

  // Resolves name as a function pointer of type Fn; null when missing.
  template <typename Fn>
  Fn symbol(const char* name) const {
    if (handle_ == nullptr) { return nullptr; }
    return reinterpret_cast<Fn>(dlsym(handle_, name));
  }

  // Gives up ownership without closing: a library whose code may still be
  // running (a started runtime has threads inside it) must never be unloaded.
  void release() { handle_ = nullptr; }

  void reset() {
    if (handle_ != nullptr) {
      dlclose(handle_);
      handle_ = nullptr;
    }
  }

 private:
  void* handle_ = nullptr;
};

}  // namespace morvax::coreclrwrap

#endif  // MORVAX_COREWRAP_DL_HANDLE_H
