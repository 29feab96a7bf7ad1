// Start-up error reporters.
#include "common/reporters.h"

#include "common/python_errors.h"

namespace morvax {

PyObject* ReportLoadFailure(const char* moduleName, int code) {
  return RaiseMaybeChained(PyExc_ImportError, "One or more errors occurred while loading the module '%s' (%i)",
                           moduleName, code);
}

PyObject* ReportModuleInitError(int code, const char* name) {
  return RaiseMaybeChained(PyExc_ImportError, "Module initialization internal error (%i) <%s>", code, name);
}

PyObject* ReportModuleInitError2(int code, const char* name, const char* name2) {
  return RaiseMaybeChained(PyExc_ImportError, "Module initialization internal error (%i) <%s,%s>", code, name,
                           name2);
}

PyObject* ReportTypeInitError(int code, const char* name) {
  return RaiseMaybeChained(PyExc_ImportError, "Type initialization internal error (%i) <%s>", code, name);
}

PyObject* ReportTypeInitError2(int code, const char* name, const char* name2) {
  return RaiseMaybeChained(PyExc_ImportError, "Type initialization internal error (%i) <%s,%s>", code, name,
                           name2);
}

PyObject* ReportCapsuleError(const char* capsuleName) {
  return RaiseMaybeChained(PyExc_ImportError, "can't import capsule '%s'", capsuleName);
}

}  // namespace morvax
