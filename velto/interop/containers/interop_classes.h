// The .NET interop classes behind the adapter types of morvax.velto._wrpgen._interop:
// their entry-point names in slot order, their delegate tables (bound once, on first use)
// and the readiness gate that refuses an adapter whose tables could not be bound.
#pragma once

#include <Python.h>

#include <cstdint>
#include <initializer_list>

namespace morvax::containers {

enum class InteropClass : uint8_t {
  Disposable,
  Enumerator,
  Enumerable,
  CntCollection,
  CntList,
  Array,
  ArrayList,
  CollectionBase,
  ReadOnlyCollectionBase,
  Stream,
  Count
};

// Slots of the classes whose entries the adapters call directly (the order of the names
// in interop_classes.cpp).
namespace slot {
enum Enumerator { kMoveNext = 0, kMoveNextRef = 5 };
enum Enumerable { kGetEnumerator = 0 };
enum CntCollection { kCollectionLength = 0, kCollectionContains = 1, kCollectionCountOf = 2 };
enum Stream {
  kStreamCanRead = 0,
  kStreamCanSeek,
  kStreamCanWrite,
  kStreamLength,
  kStreamPosition,
  kStreamClose,
  kStreamFlush,
  kStreamRead,
  kStreamSeek,
  kStreamSetLength,
  kStreamWrite,
  kStreamIsAssignable,
};
}  // namespace slot

// The class's bound slots; only valid after Ready() accepted the class.
void* const* SlotsOf(InteropClass cls);
// The slot of a named entry point in the class, or -1 when the class has none.
int SlotNamed(InteropClass cls, const char* entryName);

// True when every listed table is bound (in the order listed); otherwise false with
// TypeError set: the first failed table's message, chained with "one or more refereced
// type is not initialized" when that table is not the adapter's own class.
bool Ready(std::initializer_list<InteropClass> tables, InteropClass own);
inline bool Ready(InteropClass only) { return Ready({only}, only); }

}  // namespace morvax::containers
