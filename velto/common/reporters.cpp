// Start-up error reporters.
#include "common/reporters.h"

#include "common/python_errors.h"

namespace morvax {

PyObject* ReportLoadFailure(const char* moduleName, StartupCode code) {
  return RaiseMaybeChained(PyExc_ImportError, "One or more errors occurred while loading the module '%s' (%i)",
                           moduleName, static_cast<int>(code));
}

PyObject* ReportModuleInitError(StartupCode code, const char* name) {
  return RaiseMaybeChained(PyExc_ImportError, "Module initialization internal error (%i) <%s>", static_cast<int>(code),
                           name);
}

PyObject* ReportModuleInitError2(StartupCode code, const char* name, const char* name2) {
  return RaiseMaybeChained(PyExc_ImportError, "Module initialization internal error (%i) <%s,%s>",
                           static_cast<int>(code), name, name2);
}

PyObject* ReportTypeInitError(StartupCode code, const char* name) {
  return RaiseMaybeChained(PyExc_ImportError, "Type initialization internal error (%i) <%s>", static_cast<int>(code),
                           name);
}

PyObject* ReportTypeInitError2(StartupCode code, const char* name, const char* name2) {
  return RaiseMaybeChained(PyExc_ImportError, "Type initialization internal error (%i) <%s,%s>", static_cast<int>(code),
                           name, name2);
}

PyObject* ReportCapsuleError(const char* capsuleName) {
  return RaiseMaybeChained(PyExc_ImportError, "can't import capsule '%s'", capsuleName);
}

}  // namespace morvax
