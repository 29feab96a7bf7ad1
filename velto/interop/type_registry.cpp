// HostTypeRegistry: names registered at module creation, runtime types cached as met.
#include "interop/type_registry.h"

#include <mutex>
#include <unordered_map>

#include "host/exchange_host.h"
#include "interop/unicode_view.h"

namespace morvax {

struct HostTypeRegistry::Impl {
  std::unordered_map<std::u16string, PyTypeObject*> names;  // complete after module creation
  std::mutex strictLock;
  std::unordered_map<uint32_t, PyTypeObject*> strict;
  std::mutex lenientLock;
  std::unordered_map<uint32_t, PyTypeObject*> lenient;  // null values record misses
};

HostTypeRegistry::Impl& HostTypeRegistry::impl() const {
  static Impl instance;
  return instance;
}

HostTypeRegistry& HostTypeRegistry::Instance() {
  static HostTypeRegistry registry;
  return registry;
}

std::u16string ToU16(const char* ascii) {
  std::u16string text;
  for (; *ascii; ++ascii) text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*ascii)));
  return text;
}

void HostTypeRegistry::Add(const std::u16string& netFullName, PyTypeObject* type) { impl().names[netFullName] = type; }

PyTypeObject* HostTypeRegistry::Find(const std::u16string& netFullName) const {
  auto found = impl().names.find(netFullName);
  return found == impl().names.end() ? nullptr : found->second;
}

PyTypeObject* HostTypeRegistry::ResolveName(uint32_t handle) const {
  U16StringPtr name = AdoptU16String(host::ExchangeHost::Instance().GetTypeName(handle));
  if (!name) return nullptr;
  return Find(name->text);
}

PyTypeObject* HostTypeRegistry::LookupRuntimeType(uint32_t handle, uint32_t typeKey) {
  Impl& state = impl();
  {
    std::lock_guard<std::mutex> lock(state.lenientLock);
    auto found = state.lenient.find(typeKey);
    if (found != state.lenient.end()) return found->second;
  }
  // Resolved outside the lock: two threads may both resolve a key, and both store the same.
  PyTypeObject* type = ResolveName(handle);
  std::lock_guard<std::mutex> lock(state.lenientLock);
  state.lenient[typeKey] = type;
  return type;
}

PyTypeObject* HostTypeRegistry::LookupRuntimeTypeStrict(uint32_t handle, uint32_t typeKey) {
  Impl& state = impl();
  {
    std::lock_guard<std::mutex> lock(state.strictLock);
    auto found = state.strict.find(typeKey);
    if (found != state.strict.end()) return found->second;
  }
  PyTypeObject* type = ResolveName(handle);
  if (type != nullptr) {
    std::lock_guard<std::mutex> lock(state.strictLock);
    state.strict[typeKey] = type;
  }
  return type;
}

}  // namespace morvax
