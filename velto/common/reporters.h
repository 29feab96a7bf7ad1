// Start-up error reporters: each raises ImportError, chained onto a pending exception.
// All return null so that callers can `return ReportX(...)` or ignore the result.
#pragma once

#include <Python.h>

namespace morvax {

// The codes a failed start-up carries in its message ("... internal error (-1014) <...>"):
// each names the step that failed. Their values are part of the messages users report.
enum class StartupCode : int {
  AddVersion = -1001,                 // VERSION on the top-level module
  AttachModule = -1002,               // a submodule as an attribute of its parent
  CreateModule = -1003,               // a module object of the tree
  AddVersionType = -1004,             // _ModuleVersionType on the top-level module
  CreateSupportModule = -1005,        // the _wrpgen support package
  CreateModuleTree = -1006,           // the module tree, or entering it in sys.modules
  RegisterCallbacks = -1007,          // the runtime start and the callbacks handed to .NET
  ImportPygcApi = -1008,              // the pygc capsule
  ImportCapsuleApis = -1009,          // the other sibling capsules
  BuildEnumeration = -1013,           // an enumeration class
  AddTypeToModule = -1014,            // a class or enumeration as a module attribute
  ReadyType = -1015,                  // PyType_Ready of a class
  StoreHostMarker = -1016,            // _morvax_clr_host in a class's dictionary
  StoreAdditionalInterfaces = -1017,  // _additional_interfaces of an adapter type
  StoreImplicitInterfaces = -1018,    // _implicit_interfaces of an adapter type
  AddCompatibilityThreshold = -1019,  // _BACKWARD_COMPATIBILITY_THRESHOLD
  AddDescriptor = -1020,              // a static property, constant or service descriptor
  StoreCastableMarker = -1021,        // _morvax_clr_castable_obj on a class or enumeration
  SetPackageAttributes = -1022,       // __package__ and __path__ of a module
};

PyObject* ReportLoadFailure(const char* moduleName, StartupCode code);
PyObject* ReportModuleInitError(StartupCode code, const char* name);
PyObject* ReportModuleInitError2(StartupCode code, const char* name, const char* name2);
PyObject* ReportTypeInitError(StartupCode code, const char* name);
PyObject* ReportTypeInitError2(StartupCode code, const char* name, const char* name2);
PyObject* ReportCapsuleError(const char* capsuleName);

}  // namespace morvax
