// Binding of the exchange host's entry points.
#include "host/exchange_host.h"

#include "host/delegate_table.h"

namespace morvax::host {

static constexpr const char* kExchangeHostClass = "Morvax.WrpGen.Interop.ExchangeHost";

ExchangeHost& ExchangeHost::Instance() {
  static ExchangeHost instance;
  return instance;
}

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
  return true;
}

}  // namespace morvax::host
