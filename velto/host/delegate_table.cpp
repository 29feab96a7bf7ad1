// Delegate requests and table filling.
#include "host/delegate_table.h"

#include "host/exchange_host.h"
#include "host/host_bridge.h"

namespace morvax::host {

bool BindEntry(const char* assemblyName, const char* interopClassName, const char* entryName, void** slot,
               std::string& errorText) {
  int32_t status = HostBridge::Acquire().CreateDelegate(assemblyName, interopClassName, entryName, slot);
  if (status == 0) return true;
  errorText = std::string("While initializing the host for the '") + interopClassName + " (Assembly=" + assemblyName +
              ")' type, an error occurred - Method '" + entryName + "' not found (error=" + std::to_string(status) +
              ")";
  return false;
}

void FillDelegateTable(ApiDelegateTable& state, void** slots, const char* interopClassName, const char* const* entries,
                       std::size_t count) {
  state.failed = false;
  state.errorText.clear();
  const char* exchangeAssembly = ExchangeHost::Instance().assemblyName();
  state.assemblyName = exchangeAssembly != nullptr ? exchangeAssembly : kInteropAssembly;
  for (std::size_t i = 0; i < count; ++i) {
    if (!BindEntry(state.assemblyName, interopClassName, entries[i], &slots[i], state.errorText)) {
      slots[i] = nullptr;
      state.failed = true;
      return;
    }
  }
}

}  // namespace morvax::host
