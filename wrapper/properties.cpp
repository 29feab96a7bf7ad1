// properties.cpp: copying the runtime properties and building the trusted
// platform assembly list from the runtime directory.
#include "properties.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "coreclrwrap.h"

namespace morvax::coreclrwrap {

namespace {

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

bool ends_with_dll(const char* name) {
  size_t n = std::strlen(name);
  // ".dll" alone is a hidden file, not an assembly.
  return n > 4 && std::strcmp(name + n - 4, ".dll") == 0;
}

}  // namespace

bool list_trusted_assemblies(const std::string& dir, std::string* out, std::string* error) {
  // ':' separates the entries of the list, so a directory holding one cannot
  // be expressed; say so instead of handing the runtime a broken list.
  if (dir.find(':') != std::string::npos) {
    *error = "runtime directory '" + dir + "' contains ':', which separates trusted assemblies";
    return false;
  }
  std::unique_ptr<DIR, DirCloser> d(opendir(dir.c_str()));
  if (!d) {
    *error = "cannot list runtime directory '" + dir + "': " + std::strerror(errno);
    return false;
  }
  std::string prefix = dir;
  if (prefix.empty() || prefix.back() != '/') { prefix += '/'; }
  std::vector<std::string> paths;
  while (dirent* entry = readdir(d.get())) {
    if (!ends_with_dll(entry->d_name)) { continue; }
    std::string path = prefix + entry->d_name;
    struct stat st;
    // stat() follows links: the runtime directory is mostly links into the
    // shared framework, and a dangling one is not an assembly.
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) { continue; }
    if (path.find(':') != std::string::npos) { continue; }
    paths.push_back(std::move(path));
  }
  std::sort(paths.begin(), paths.end());
  out->clear();
  for (const std::string& p : paths) {
    if (!out->empty()) { out->push_back(':'); }
    out->append(p);
  }
  return true;
}

int32_t PropertySet::assign(int32_t count, const char* const* keys, const char* const* values,
                            const std::string& runtime_dir, std::string* error) {
  keys_.clear();
  values_.clear();
  key_ptrs_.clear();
  value_ptrs_.clear();
  if (count < 0) {
    *error = "negative property count";
    return COREWRAP_E_INVALID_ARGUMENT;
  }
  if (count > 0 && (keys == nullptr || values == nullptr)) {
    *error = "property keys or values are null";
    return COREWRAP_E_INVALID_ARGUMENT;
  }
  bool saw_tpa = false;
  std::string tpa;
  bool tpa_built = false;
  for (int32_t i = 0; i < count; ++i) {
    if (keys[i] == nullptr || values[i] == nullptr) {
      *error = "property " + std::to_string(i) + " has a null key or value";
      return COREWRAP_E_INVALID_ARGUMENT;
    }
    keys_.emplace_back(keys[i]);
    values_.emplace_back(values[i]);
    if (keys_.back() != kTrustedPlatformAssemblies) { continue; }
    saw_tpa = true;
    if (!values_.back().empty()) { continue; }
    // The caller leaves the list empty on purpose: the wrapper knows the
    // runtime directory and lists it, so the caller need not.
    if (!tpa_built) {
      if (!list_trusted_assemblies(runtime_dir, &tpa, error)) { return COREWRAP_E_RUNTIME_DIR; }
      tpa_built = true;
    }
    values_.back() = tpa;
  }
  if (!saw_tpa) {
    if (!list_trusted_assemblies(runtime_dir, &tpa, error)) { return COREWRAP_E_RUNTIME_DIR; }
    keys_.emplace_back(kTrustedPlatformAssemblies);
    values_.push_back(std::move(tpa));
  }
  // Pointers are taken only now: the vectors no longer grow.
  for (size_t i = 0; i < keys_.size(); ++i) {
    key_ptrs_.push_back(keys_[i].c_str());
    value_ptrs_.push_back(values_[i].c_str());
  }
  return 0;
}

const char* PropertySet::find(const char* key) const {
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == key) { return values_[i].c_str(); }
  }
  return nullptr;
}

}  // namespace morvax::coreclrwrap
