// Binding of the exchange host's entry points.
#include "host/exchange_host.h"

#include "host/delegate_table.h"

namespace morvax::host {

static constexpr const char* kExchangeHostClass = "Morvax.WrpGen.Interop.ExchangeHost";

ExchangeHost ExchangeHost::instance_;

bool ExchangeHost::Bind(const char* assemblyName) {
  struct Entry {
    Slot slot;
    const char* name;
  };
  static constexpr Entry kBindOrder[] = {
      {kGetTypeName, "GetTypeName"},
      {kSetExceptionCallback, "SetExceptionCallback"},
      {kSetCatchAndClearErrorCallback, "SetCatchAndClearErrorCallback"},
      {kSetU16StrBuilderCallback, "SetU16StrBuilderCallback"},
      {kSetPyUnraisableStrBuilderCallback, "SetPyUnraisableStrBuilderCallback"},
      {kSetPyStrBuilderCallback, "SetPyStrBuilderCallback"},
      {kSetPyBytesBuilderCallback, "SetPyBytesBuilderCallback"},
      {kSetPyObjApiCallbacks, "SetPyObjApiCallbacks"},
      {kSetPyStaticCallbacks, "SetPyStaticCallbacks"},
      {kSetPyGenericCallbacks, "SetPyGenericCallbacks"},
      {kFreePendingArgs, "FreePendingArgs"},
      {kFreeInstance, "FreeInstance"},
      {kFreeInstanceSecond, "FreeInstance"},
      {kInitServices, "InitServices"},
      {kBoxStcTarget, "BoxStcTarget"},
  };
  static_assert(sizeof kBindOrder / sizeof kBindOrder[0] == kSlotCount);

  assemblyName_ = assemblyName;
  errorText_.clear();
  for (const Entry& entry : kBindOrder) {
    if (!BindEntry(assemblyName_, kExchangeHostClass, entry.name, &slots_[entry.slot], errorText_)) { return false; }
  }
  releaseQueueBound_ = false;
  releaseQueue_ = nullptr;
  return true;
}

bool ExchangeHost::RegisterOptional(const char* entryName, void* callback) const {
  void* entry = nullptr;
  std::string ignored;
  if (!BindEntry(assemblyName_, kExchangeHostClass, entryName, &entry, ignored)) return false;
  reinterpret_cast<RegisterFn>(entry)(callback);
  return true;
}

void ExchangeHost::BindReleaseQueue() {
  releaseQueueBound_ = true;
  releaseQueue_ = nullptr;
  void* queueEntry = nullptr;
  void* freeQueued = nullptr;
  std::string ignored;
  if (!BindEntry(assemblyName_, kExchangeHostClass, "ReleaseQueue", &queueEntry, ignored) ||
      !BindEntry(assemblyName_, kExchangeHostClass, "FreeQueuedInstances", &freeQueued, ignored)) {
    return;
  }
  freeQueued_ = reinterpret_cast<NoArgumentsFn>(freeQueued);
  releaseQueue_ = static_cast<ReleaseQueue*>(reinterpret_cast<void* (*)()>(queueEntry)());
}

}  // namespace morvax::host
