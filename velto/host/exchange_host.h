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

  static ExchangeHost& Instance() { return instance_; }

  // Binds the fifteen entry points of the interop assembly; false with errorText set at
  // the first that cannot be bound.
  bool Bind(const char* assemblyName);

  const char* assemblyName() const { return assemblyName_; }
  const std::string& errorText() const { return errorText_; }

  void* GetTypeName(uint32_t handle) const { return reinterpret_cast<GetTypeNameFn>(slots_[kGetTypeName])(handle); }
  void Register(Slot slot, void* callbackOrTable) const { reinterpret_cast<RegisterFn>(slots_[slot])(callbackOrTable); }
  // Registers a callback through an entry point that newer interop assemblies have beside
  // the fifteen; an assembly without it goes without the callback. False when it is absent.
  bool RegisterOptional(const char* entryName, void* callback) const;
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

  // Lets go of a handle: it joins the release queue of the interop assembly, which is
  // freed in one call when full, so that a dropped wrapper costs no call into .NET.
  // Without the queue (an interop assembly that has none) it is freed at once. The
  // caller holds the interpreter lock, which is all that orders the queue's users.
  void Release(uint32_t handle) {
    if (!releaseQueueBound_) BindReleaseQueue();
    if (releaseQueue_ == nullptr) {
      FreeInstance(handle);
      return;
    }
    releaseQueue_->handles[releaseQueue_->count++] = handle;
    if (releaseQueue_->count == kReleaseQueueCapacity) freeQueued_();
  }
  // Queues a released handle when that needs no call into .NET: the queue is bound and
  // keeps room after this one. False (nothing done) when the caller must take Release.
  bool TryQueueRelease(uint32_t handle) {
    if (releaseQueue_ == nullptr || releaseQueue_->count >= kReleaseQueueCapacity - 1) return false;
    releaseQueue_->handles[releaseQueue_->count++] = handle;
    return true;
  }

 private:
  // The interop assembly's ReleaseQueue record.
  static constexpr int kReleaseQueueCapacity = 64;
  struct ReleaseQueue {
    int32_t count;
    uint32_t handles[kReleaseQueueCapacity];
  };
  // Binds the release queue's two entry points and fetches the queue, on the first release
  // rather than at start-up; on any failure the handles are freed one by one.
  void BindReleaseQueue();

  static ExchangeHost instance_;

  bool releaseQueueBound_ = false;
  ReleaseQueue* releaseQueue_ = nullptr;
  NoArgumentsFn freeQueued_ = nullptr;
  void* slots_[kSlotCount] = {};
  const char* assemblyName_ = nullptr;
  std::string errorText_;
};

}  // namespace morvax::host
