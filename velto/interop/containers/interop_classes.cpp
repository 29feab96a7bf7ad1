// The entry-point lists of the interop classes and their one-time binding.
#include "interop/containers/interop_classes.h"

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

#include "common/python_errors.h"
#include "host/delegate_table.h"
#include "interop/error_bridge.h"

namespace morvax::containers {

namespace {

constexpr int kMaxEntries = 30;

struct ClassSpec {
  const char* interopName;
  const char* entries[kMaxEntries];  // in slot order, null-terminated
  // Entries bound after the CreateInstanceFrom* ones although their slot comes before
  // them (null: plain slot order).
  const char* boundLate;
};

constexpr ClassSpec kClasses[] = {
    {"Morvax.WrpGen.Interop.SiApiDisposable", {"btp_IsAssignable", "btp_TypeOf", "btp_CastTo", "btp_CastAs"}, nullptr},
    {"Morvax.WrpGen.Interop.SiApiEnumerator",
     {"MoveNext", "btp_IsAssignable", "btp_TypeOf", "btp_CastTo", "btp_CastAs", "MoveNextRef"},
     nullptr},
    {"Morvax.WrpGen.Interop.SiApiEnumerable",
     {"GetEnumerator", "CreateInstanceFromPyIterable", "btp_IsAssignable", "btp_TypeOf", "btp_CastTo", "btp_CastAs"},
     nullptr},
    {"Morvax.WrpGen.Interop.SiApiCntCollection",
     {"SqLength", "SqContains", "CountOf", "CreateInstanceFromPyList", "CreateInstanceFromPyIterable",
      "btp_IsAssignable", "btp_TypeOf", "btp_CastTo", "btp_CastAs", "SqEnumeratedItems"},
     nullptr},
    {"Morvax.WrpGen.Interop.SiApiCntList",
     {"SqGetItem",
      "SqGetItemNoCheck",
      "SqSetItem",
      "SqSetItemNoCheck",
      "Add",
      "Insert",
      "Remove",
      "RemoveAt",
      "Pop",
      "Clear",
      "SqInplaceConcat",
      "SqInplaceRepeat",
      "MpSetItems",
      "MpRemoveItems",
      "Reverse",
      "Sort",
      "IndexBy",
      "SqContains",
      "CountOf",
      "CreateInstanceFromPyList",
      "CreateInstanceFromPySequence",
      "btp_IsAssignable",
      "btp_TypeOf",
      "btp_CastTo",
      "btp_CastAs",
      "SqGetItems"},
     nullptr},
    {"Morvax.WrpGen.Interop.SiApiArray",
     {"SqLength", "SqContains", "SqGetItem", "SqGetItemNoCheck", "SqSetItem", "SqSetItemNoChek", "MpSetItems",
      "Reverse", "Sort", "IndexBy", "CountOf", "btp_IsAssignable", "CreateInstanceFromPyList",
      "CreateInstanceFromPySequence", "btp_TypeOf", "btp_CastTo", "btp_ReInterpretObj", "btp_CastAs", "SqGetItems"},
     "btp_IsAssignable"},
    {"Morvax.WrpGen.Interop.SiApiArrayList",
     {"SqLength",
      "Add",
      "Remove",
      "Clear",
      "SqContains",
      "SqGetItem",
      "SqGetItemNoCheck",
      "SqSetItem",
      "SqSetItemNoChek",
      "Insert",
      "RemoveAt",
      "Pop",
      "SqInplaceConcat",
      "SqInplaceRepeat",
      "MpSetItems",
      "MpRemoveItems",
      "Reverse",
      "Sort",
      "IndexBy",
      "CountOf",
      "EnsureCapacity",
      "btp_IsAssignable",
      "CreateInstanceFromPyList",
      "CreateInstanceFromPySequence",
      "btp_TypeOf",
      "btp_CastTo",
      "btp_ReInterpretObj",
      "btp_CastAs",
      "SqGetItems"},
     "btp_IsAssignable"},
    {"Morvax.WrpGen.Interop.SiApiCollectionBase",
     {"btp_IsAssignable", "CreateInstanceFromPyList", "CreateInstanceFromPySequence", "btp_TypeOf", "btp_CastTo",
      "btp_ReInterpretObj", "btp_CastAs"},
     "btp_IsAssignable"},
    {"Morvax.WrpGen.Interop.SiApiReadOnlyCollectionBase",
     {"btp_IsAssignable", "CreateInstanceFromPyList", "CreateInstanceFromPySequence", "btp_TypeOf", "btp_CastTo",
      "btp_ReInterpretObj", "btp_CastAs"},
     "btp_IsAssignable"},
    {"Morvax.WrpGen.Interop.SiApiStream",
     {"CanRead", "CanSeek", "CanWrite", "Length", "Position", "Close", "Flush", "Read", "Seek", "SetLength", "Write",
      "btp_IsAssignable", "btp_TypeOf", "btp_CastTo", "btp_ReInterpretObj", "btp_CastAs"},
     nullptr},
};
static_assert(std::size(kClasses) == static_cast<size_t>(InteropClass::Count));

// The ready flag is set after the once-block finishes, so that every use after the first
// costs one load instead of the once-call.
struct BoundClass {
  std::once_flag once;
  std::atomic<bool> ready{false};
  host::ApiDelegateTable table;
  void* slots[kMaxEntries] = {};
};

// At namespace scope rather than inside Bound: every item of an iteration reads a slot,
// and a function's static would be guarded on each read.
std::array<BoundClass, static_cast<size_t>(InteropClass::Count)> g_boundClasses;

BoundClass& Bound(InteropClass cls) { return g_boundClasses[static_cast<size_t>(cls)]; }

int EntryCount(const ClassSpec& spec) {
  int count = 0;
  while (count < kMaxEntries && spec.entries[count] != nullptr) ++count;
  return count;
}

// Binds every entry once into its own slot; the late one after the two CreateInstanceFrom*
// entries. The first name that cannot be bound stops the binding.
void Bind(const ClassSpec& spec, BoundClass& bound) {
  const char* names[kMaxEntries];
  int slots[kMaxEntries];
  int count = EntryCount(spec), order = 0, late = -1;
  for (int i = 0; i < count; ++i) {
    if (spec.boundLate != nullptr && std::strcmp(spec.entries[i], spec.boundLate) == 0) {
      late = i;
      continue;
    }
    names[order] = spec.entries[i];
    slots[order++] = i;
    if (late >= 0 && std::strcmp(spec.entries[i], "CreateInstanceFromPySequence") == 0) {
      names[order] = spec.entries[late];
      slots[order++] = late;
      late = -1;
    }
  }
  bound.table.failed = false;
  bound.table.assemblyName = host::kInteropAssembly;
  for (int i = 0; i < order; ++i) {
    if (!host::BindEntry(host::kInteropAssembly, spec.interopName, names[i], &bound.slots[slots[i]],
                         bound.table.errorText)) {
      bound.table.failed = true;
      return;
    }
  }
}

const host::ApiDelegateTable& TableOf(InteropClass cls) {
  BoundClass& bound = Bound(cls);
  if (bound.ready.load(std::memory_order_acquire)) return bound.table;
  std::call_once(bound.once, [&] { Bind(kClasses[static_cast<size_t>(cls)], bound); });
  bound.ready.store(true, std::memory_order_release);
  return bound.table;
}

}  // namespace

void* const* SlotsOf(InteropClass cls) { return Bound(cls).slots; }

int SlotNamed(InteropClass cls, const char* entryName) {
  const ClassSpec& spec = kClasses[static_cast<size_t>(cls)];
  for (int i = 0; i < EntryCount(spec); ++i)
    if (std::strcmp(spec.entries[i], entryName) == 0) return i;
  return -1;
}

bool Ready(std::initializer_list<InteropClass> tables, InteropClass own) {
  if (RefuseInForkedChild()) return false;
  // Once bound, a table stays as it is: a bound and sound one answers with two loads.
  bool allSound = true;
  for (InteropClass cls : tables) {
    const BoundClass& bound = Bound(cls);
    allSound = allSound && bound.ready.load(std::memory_order_acquire) && !bound.table.failed;
  }
  if (allSound) return true;
  for (InteropClass cls : tables) {
    const host::ApiDelegateTable& table = TableOf(cls);
    if (table.failed) {
      PyErr_SetString(PyExc_TypeError, table.errorText.c_str());
      if (cls != own) RaiseChained(PyExc_TypeError, "one or more refereced type is not initialized");
      return false;
    }
  }
  return true;
}

}  // namespace morvax::containers
