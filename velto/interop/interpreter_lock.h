// The pair of functions with which .NET code on a thread of its own takes and gives back the
// Python interpreter lock (InterpreterLock.cs): the only callbacks .NET may make without
// holding the lock already.
#pragma once

#include <cstdint>

namespace morvax {

// Registered with SetInterpreterLockCallbacks; InterpreterLock.cs reads it member for member.
struct InterpreterLockTable {
  int32_t (*take)();  // a token for giveBack, or -1 while the interpreter shuts down
  void (*giveBack)(int32_t token);
};

// The table; it lives for the life of the process.
const InterpreterLockTable* InterpreterLockCallbacks();

}  // namespace morvax
