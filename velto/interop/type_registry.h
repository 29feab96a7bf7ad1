// The process-wide map from .NET full type names to the Python types that wrap them, with
// the two caches keyed by the runtime type's key.
#pragma once

#include <Python.h>

#include <cstdint>
#include <string>

namespace morvax {

class HostTypeRegistry {
 public:
  static HostTypeRegistry& Instance();

  // Registers a type under its .NET full name during module creation.
  void Add(const std::u16string& netFullName, PyTypeObject* type);

  // The registered type of the handle's runtime type, or null. The lenient lookup caches
  // misses too; the strict one caches only what it found.
  PyTypeObject* LookupRuntimeType(uint32_t handle, uint32_t typeKey);
  PyTypeObject* LookupRuntimeTypeStrict(uint32_t handle, uint32_t typeKey);

  // Lookup by name only (no .NET call); null when not registered.
  PyTypeObject* Find(const std::u16string& netFullName) const;

 private:
  HostTypeRegistry() = default;
  PyTypeObject* ResolveName(uint32_t handle) const;

  struct Impl;
  static Impl impl_;
  Impl& impl() const;
};

std::u16string ToU16(const char* ascii);

}  // namespace morvax
