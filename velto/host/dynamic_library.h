// Owns at most one loaded shared library.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace morvax::host {

// The failure of DynamicLibrary::load. what() is "DynamicLibrary::load"; the path tried
// and the loader's reason are kept beside it for the report.
class LibraryLoadError : public std::runtime_error {
 public:
  LibraryLoadError(std::string path, std::string reason)
      : std::runtime_error("DynamicLibrary::load"), path_(std::move(path)), reason_(std::move(reason)) {}
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  ~DynamicLibrary();

  // Uses a library of that file name already loaded in the process (from any directory),
  // else loads the one at fullPath. Throws LibraryLoadError when neither is possible.
  static DynamicLibrary load(const std::string& fullPath, const std::string& fileName);

  // The export's address. Throws std::logic_error("Library was not opened!") without a
  // library, std::runtime_error("No such symbol: <name>") for a missing export.
  void* symbol(const char* name) const;

  template <typename Function>
  Function symbolAs(const char* name) const {
    return reinterpret_cast<Function>(symbol(name));
  }

  bool isLoaded() const { return handle_ != nullptr; }
  bool loadedHere() const { return loadedHere_; }
  void setFreeOnClose(bool freeOnClose) { freeOnClose_ = freeOnClose; }

 private:
  void release();

  bool freeOnClose_ = true;
  void* handle_ = nullptr;
  bool loadedHere_ = false;
};

}  // namespace morvax::host
