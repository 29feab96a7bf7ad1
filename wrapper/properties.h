// properties.h: the runtime property set handed to coreclr_initialize, and the
// trusted platform assembly list the wrapper builds when the caller leaves it empty.
#ifndef MORVAX_COREWRAP_PROPERTIES_H
#define MORVAX_COREWRAP_PROPERTIES_H

#include <cstdint>
#include <string>
#include <vector>

namespace morvax::coreclrwrap {

inline constexpr const char kTrustedPlatformAssemblies[] = "TRUSTED_PLATFORM_ASSEMBLIES";

// Every *.dll in dir that is a regular file or a link to one, as full paths
// sorted by name and joined with ':'.  Returns false (and says why in *error)
// when dir cannot be listed or a path could not be represented in the list.
bool list_trusted_assemblies(const std::string& dir, std::string* out, std::string* error);

// An owned copy of the caller's keys and values.  Owning the strings keeps the
// filled-in assembly list alive for the duration of coreclr_initialize.
class PropertySet {
 public:
  // Copies count key/value pairs.  A TRUSTED_PLATFORM_ASSEMBLIES value that is
  // empty, or a missing key, is filled from runtime_dir.  Returns 0 or a
  // COREWRAP_E_* status, with the reason in *error.
  int32_t assign(int32_t count, const char* const* keys, const char* const* values, const std::string& runtime_dir,
                 std::string* error);

  int count() const { return static_cast<int>(key_ptrs_.size()); }
  const char** keys() { return key_ptrs_.data(); }
  const char** values() { return value_ptrs_.data(); }
  // The value for key, or null when absent (first match, as the runtime reads it).
  const char* find(const char* key) const;

 private:
  std::vector<std::string> keys_;
  std::vector<std::string> values_;
  std::vector<const char*> key_ptrs_;
  std::vector<const char*> value_ptrs_;
};

}  // namespace morvax::coreclrwrap

#endif  // MORVAX_COREWRAP_PROPERTIES_H
