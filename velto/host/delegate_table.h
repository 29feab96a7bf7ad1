// Tables of delegates to the static entry points of one .NET interop class, and the single
// delegate request that fills one slot.
#pragma once

#include <cstddef>
#include <string>

namespace morvax::host {

// The assembly that holds every interop class.
inline constexpr const char* kInteropAssembly = "WrpInterop.Morvax.Velto";

// Requests the delegate for one entry point into *slot. On failure, errorText names the
// class, the assembly, the entry and the host's status, and false is returned.
bool BindEntry(const char* assemblyName, const char* interopClassName, const char* entryName, void** slot,
               std::string& errorText);

// The delegate table of one class (or of the object host): whether filling its slots failed,
// and the error text of the first entry that failed. The slots themselves are the class's
// own array, filled once on first use and never rebuilt.
struct ApiDelegateTable {
  const char* assemblyName = nullptr;  // borrowed: the exchange host's assembly name
  bool failed = false;
  std::string errorText;  // the message for the first entry that failed; empty otherwise
};

// Binds entries[0..count) into slots in order, stopping at the first failure: that slot
// and all later ones stay null, state.failed is set and state.errorText names the entry.
void FillDelegateTable(ApiDelegateTable& state, void** slots, const char* interopClassName, const char* const* entries,
                       std::size_t count);

}  // namespace morvax::host
