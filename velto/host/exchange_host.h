// The exchange host: the interop runtime's process-wide entry points (callback
// registration, handle release, type names, boxing).
#pragma once

#include <cstdint>
#include <string>

namespace morvax::host {

class ExchangeHost {
 public:
  // Slot positions; the binding order differs only in that slot 5 is bound before slot 4.
  enum Slot : std::size_t {
    kGetTypeName,
    kSetExceptionCallback,
    kSetCatchAndClearErrorCallback,
    kSetU16StrBuilderCallback,
    kSetPyStrBuilderCallback,
    kSetPyUnraisableStrBuilderCallback,
    kSetPyBytesBuilderCallback,
    kSetPyObjApiCallbacks,
    kSetPyStaticCallbacks,
    kSetPyGenericCallbacks,
    kFreePendingArgs,
    kFreeInstance,
    kFreeInstanceSecond,
    kInitServices,
    kBoxStcTarget,
    kSlotCount
  };

  using GetTypeNameFn = void* (*)(uint32_t handle);  // a built UTF-16 string the caller frees
  using RegisterFn = void (*)(void* callbackOrTable);
  using NoArgumentsFn = void (*)();
  using FreeInstanceFn = void (*)(uint32_t handle);
  using BoxStcTargetFn = uint32_t (*)(uint32_t handle);

  static ExchangeHost& Instance();

  // Binds the fifteen entry points of the interop assembly; false with errorText set at
  // the first that cannot be bound.
  bool Bind(const char* assemblyName);

  const char* assemblyName() const { return assemblyName_; }
  const std::string& errorText() const { return errorText_; }

  void* GetTypeName(uint32_t handle) const { return reinterpret_cast<GetTypeNameFn>(slots_[kGetTypeName])(handle); }
  void Register(Slot slot, void* callbackOrTable) const { reinterpret_cast<RegisterFn>(slots_[slot])(callbackOrTable); }
  void InitServices() const { reinterpret_cast<NoArgumentsFn>(slots_[kInitServices])(); }
  void FreeInstance(uint32_t handle) const { reinterpret_cast<FreeInstanceFn>(slots_[kFreeInstance])(handle); }
  // A second slot bound to the same .NET method as FreeInstance. Nothing calls it: the slot
  // is kept so that the registration order matches the interop assembly's.
  void FreeInstanceSecond(uint32_t handle) const {
    reinterpret_cast<FreeInstanceFn>(slots_[kFreeInstanceSecond])(handle);
  }
  // Boxes a value-type target into a new handle. Not called yet: kept for the wrappers of
  // .NET structures, which hold a boxed copy as their target.
  uint32_t BoxStcTarget(uint32_t handle) const {
    return reinterpret_cast<BoxStcTargetFn>(slots_[kBoxStcTarget])(handle);
  }
  FreeInstanceFn freeInstanceEntry() const { return reinterpret_cast<FreeInstanceFn>(slots_[kFreeInstance]); }

 private:
  void* slots_[kSlotCount] = {};
  const char* assemblyName_ = nullptr;
  std::string errorText_;
};

}  // namespace morvax::host
