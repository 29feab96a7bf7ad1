// Binding of the object host's entry points.
#include "host/object_host.h"

namespace morvax::host {

ObjectHost::ObjectHost() {
  static constexpr const char* kEntries[] = {
      "ToStringOfObj", "ToStringOfStc", "GetHashOfObj", "GetHashOfStc", "IsEqualsOfObj", "IsEqualsOfStc",
      "IsTypeOf",      "GetTypeName",   "GetObjType",   "GetStcType",   "Dispose",
  };
  static_assert(sizeof kEntries / sizeof kEntries[0] == kSlotCount);
  FillDelegateTable(state_, slots_, "Morvax.WrpGen.Interop.ObjectHost", kEntries, kSlotCount);
}

const ObjectHost& ObjectHost::Instance() {
  static const ObjectHost instance;
  return instance;
}

}  // namespace morvax::host
