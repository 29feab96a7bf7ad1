// Start-up error reporters: each raises ImportError, chained onto a pending exception.
// All return null so that callers can `return ReportX(...)` or ignore the result.
#pragma once

#include <Python.h>

namespace morvax {

PyObject* ReportLoadFailure(const char* moduleName, int code);
PyObject* ReportModuleInitError(int code, const char* name);
PyObject* ReportModuleInitError2(int code, const char* name, const char* name2);
PyObject* ReportTypeInitError(int code, const char* name);
PyObject* ReportTypeInitError2(int code, const char* name, const char* name2);
PyObject* ReportCapsuleError(const char* capsuleName);

}  // namespace morvax
