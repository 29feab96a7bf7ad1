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
bool BindEntry(const char* assemblyName, const char* interopClassName, const char* entryName,
               void** slot, std::string& errorText);

// What every delegate table carries besides its slots.
struct DelegateTableState {
  const char* assemblyName = nullptr;  // borrowed: the exchange host's assembly name
  bool failed = false;
  std::string errorText;  // the message for the first entry that failed; empty otherwise
};

// Binds entries[0..count) into slots in order, stopping at the first failure: that slot
// and all later ones stay null, state.failed is set and state.errorText names the entry.
void FillDelegateTable(DelegateTableState& state, void** slots, const char* interopClassName,
                       const char* const* entries, std::size_t count);

// The delegate table of one generated class: filled once, on first use, never rebuilt.
template <std::size_t N>
struct ApiDelegateTable : DelegateTableState {
  void* slots[N] = {};

  ApiDelegateTable(const char* interopClassName, const char* const (&entries)[N]) {
    FillDelegateTable(*this, slots, interopClassName, entries, N);
  }

  template <typename Function>
  Function at(std::size_t index) const {
    return reinterpret_cast<Function>(slots[index]);
  }
};

}  // namespace morvax::host
