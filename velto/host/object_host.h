// The object host: identity services (text, hash, equality, runtime type) for any handle.
#pragma once

#include <cstdint>

#include "host/delegate_table.h"

namespace morvax::host {

// How a Python-side object is described to .NET: its kind and its handle.
struct KindHandle {
  int32_t kind;
  uint32_t handle;
};

class ObjectHost {
 public:
  enum Slot : std::size_t {
    kToStringOfObj,
    kToStringOfStc,
    kGetHashOfObj,
    kGetHashOfStc,
    kIsEqualsOfObj,
    kIsEqualsOfStc,
    kIsTypeOf,
    kGetTypeName,
    kGetObjType,
    kGetStcType,
    kDispose,
    kSlotCount
  };

  using ToStringFn = int32_t (*)(uint32_t handle, void** outText);  // 1: *outText is a new str
  using GetHashFn = int32_t (*)(uint32_t handle);
  using IsEqualsFn = uint8_t (*)(uint32_t handle, const KindHandle* other);
  using IsTypeOfFn = uint8_t (*)(uint32_t handle, uint32_t typeHandle);
  using GetTypeNameFn = void* (*)(uint32_t handle);
  using GetTypeFn = int32_t (*)(uint32_t handle, uint32_t* outTypeHandle);
  using DisposeFn = void (*)(uint32_t handle);

  // The instance; its first use binds the eleven entry points. Check failed() after.
  static const ObjectHost& Instance();

  bool failed() const { return state_.failed; }
  const std::string& errorText() const { return state_.errorText; }

  int32_t ToStringOfObj(uint32_t handle, void** outText) const {
    return at<ToStringFn>(kToStringOfObj)(handle, outText);
  }
  int32_t GetHashOfObj(uint32_t handle) const { return at<GetHashFn>(kGetHashOfObj)(handle); }
  bool IsEqualsOfObj(uint32_t handle, const KindHandle& other) const {
    return (at<IsEqualsFn>(kIsEqualsOfObj)(handle, &other) & 0xFF) != 0;
  }
  int32_t GetObjType(uint32_t handle, uint32_t* outTypeHandle) const {
    return at<GetTypeFn>(kGetObjType)(handle, outTypeHandle);
  }
  void Dispose(uint32_t handle) const { at<DisposeFn>(kDispose)(handle); }

 private:
  ObjectHost();

  template <typename Function>
  Function at(std::size_t index) const {
    return reinterpret_cast<Function>(slots_[index]);
  }

  void* slots_[kSlotCount] = {};
  ApiDelegateTable state_;
};

}  // namespace morvax::host
