// HostTypeRegistry: names registered at module creation, runtime types cached as met.
#include "interop/type_registry.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "host/exchange_host.h"
#include "interop/unicode_view.h"

namespace morvax {

namespace {

// A run-time type cache. .NET counts its type keys from 1, so the keys met in practice
// index an array whose entries are read with one atomic load and no lock: wrapping an
// item of a collection asks the cache once per item. Larger keys go to a map under a
// mutex, held only for one lookup or one insertion.
class TypeCache {
 public:
  TypeCache() {
    for (auto& entry : direct_) entry.store(kUnknown, std::memory_order_relaxed);
  }

  // The cached answer, or kUnknown when the key was never stored.
  PyTypeObject* Find(uint32_t key) {
    if (key < kDirect) return direct_[key].load(std::memory_order_acquire);
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = spill_.find(key);
    return found == spill_.end() ? kUnknown : found->second;
  }
  // Stores an answer, replacing what another thread stored meanwhile (both resolved the
  // same name, so both store the same type).
  void Store(uint32_t key, PyTypeObject* type) {
    if (key < kDirect) {
      direct_[key].store(type, std::memory_order_release);
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    spill_[key] = type;
  }

  // Marks a key never stored; distinct from null, which the lenient cache stores for
  // a type that has no Python class.
  static inline PyTypeObject* const kUnknown = reinterpret_cast<PyTypeObject*>(alignof(PyTypeObject));

 private:
  static constexpr uint32_t kDirect = 4096;
  std::atomic<PyTypeObject*> direct_[kDirect] = {};
  std::mutex mutex_;
  std::unordered_map<uint32_t, PyTypeObject*> spill_;
};

}  // namespace

struct HostTypeRegistry::Impl {
  std::unordered_map<std::u16string, PyTypeObject*> names;  // complete after module creation
  TypeCache strict;                                         // found types only
  TypeCache lenient;                                        // null values record misses
};

// A static member rather than a function's static: the caches are read for every wrapped
// result, and a function's static would be guarded on each read.
HostTypeRegistry::Impl HostTypeRegistry::impl_;

HostTypeRegistry::Impl& HostTypeRegistry::impl() const { return impl_; }

HostTypeRegistry& HostTypeRegistry::Instance() {
  static HostTypeRegistry registry;
  return registry;
}

std::u16string ToU16(const char* ascii) {
  // Sized once: start-up converts the name of every class this way.
  std::u16string text(std::strlen(ascii), u'\0');
  for (char16_t& unit : text) unit = static_cast<char16_t>(static_cast<unsigned char>(*ascii++));
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
  TypeCache& cache = impl().lenient;
  PyTypeObject* cached = cache.Find(typeKey);
  if (cached != TypeCache::kUnknown) return cached;
  // Resolved outside any lock: two threads may both resolve a key, and both store the same.
  PyTypeObject* type = ResolveName(handle);
  cache.Store(typeKey, type);
  return type;
}

PyTypeObject* HostTypeRegistry::LookupRuntimeTypeStrict(uint32_t handle, uint32_t typeKey) {
  TypeCache& cache = impl().strict;
  PyTypeObject* cached = cache.Find(typeKey);
  if (cached != TypeCache::kUnknown) return cached;
  PyTypeObject* type = ResolveName(handle);
  if (type != nullptr) cache.Store(typeKey, type);
  return type;
}

}  // namespace morvax
