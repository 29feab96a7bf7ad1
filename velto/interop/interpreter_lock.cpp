// Taking the interpreter lock for a .NET thread. The whole module relies on the lock to keep
// its callers apart (the handle table's writers take no lock of their own), so an interpreter
// without one cannot host it.
#include "interop/interpreter_lock.h"

#include <Python.h>

#ifdef Py_GIL_DISABLED
#error "the module relies on the interpreter lock to keep its callers apart"
#endif

namespace morvax {

static int32_t TakeInterpreterLock() {
  // A thread that asks for the lock while the interpreter shuts down would be ended inside
  // the request; .NET gets a refusal instead. (Shutting down after this test is not caught.)
#if PY_VERSION_HEX >= 0x030D0000
  if (Py_IsFinalizing()) return -1;
#else
  if (_Py_IsFinalizing()) return -1;
#endif
  return static_cast<int32_t>(PyGILState_Ensure());
}

static void GiveBackInterpreterLock(int32_t token) { PyGILState_Release(static_cast<PyGILState_STATE>(token)); }

const InterpreterLockTable* InterpreterLockCallbacks() {
  static const InterpreterLockTable table = {TakeInterpreterLock, GiveBackInterpreterLock};
  return &table;
}

}  // namespace morvax
