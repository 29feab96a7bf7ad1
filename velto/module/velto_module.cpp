// PyInit_velto: the start-up sequence of morvax.velto. Each step has a code that the
// ImportError reports when the step fails.
#include <Python.h>

#include "common/collector_pause.h"
#include "common/dependencies.h"
#include "common/interned_names.h"
#include "common/module_version.h"
#include "common/reporters.h"
#include "common/sibling_apis.h"
#include "module/module_tree.h"
#include "module/register_callbacks.h"

namespace morvax {

static constexpr const char kModuleName[] = "morvax.velto";

// Attaches a new version value; the value's reference passes to the module.
static int AddVersion(PyObject* module, const char* name, int32_t major, int32_t minor, int32_t patch, int32_t sub,
                      const char* text) {
  PyObject* version = NewModuleVersion(major, minor, patch, sub, text);
  if (version == nullptr) return -1;
  if (PyModule_AddObject(module, name, version) < 0) {
    Py_DECREF(version);
    return -1;
  }
  return 0;
}

static PyObject* InitializeModule() {
  PyObject* module = nullptr;
  StartupCode code = StartupCode::CreateModuleTree;

  InternedNames::Initialize();

  if (ImportCapsuleApis() < 0) {
    code = StartupCode::ImportCapsuleApis;
    goto error;
  }
  if (ImportPygcApi() < 0) {
    code = StartupCode::ImportPygcApi;
    goto error;
  }
  if (RegisterCallbacks() < 0) {
    code = StartupCode::RegisterCallbacks;
    goto error;
  }

  {
    // Building the tree runs no Python code of its own (see collector_pause.h); the pause
    // ends before a failure is reported.
    CollectorPause pause;
    module = CreateModuleTree();
    if (module == nullptr) {
      code = StartupCode::CreateModuleTree;
      goto error;
    }
    if (CreateSupportModule(module) == nullptr) {
      code = StartupCode::CreateSupportModule;
      goto error;
    }
    if (AddTypeToModule(module, &ModuleVersionType, "_ModuleVersionType") < 0) {
      code = StartupCode::AddVersionType;
      goto error;
    }
    if (AddVersion(module, "VERSION", 25, 8, 0, 0, "25.8.0.0") < 0) {
      code = StartupCode::AddVersion;
      goto error;
    }
    if (AddVersion(module, "_BACKWARD_COMPATIBILITY_THRESHOLD", 22, 6, 0, 0, "22.6.0.0") < 0) {
      code = StartupCode::AddCompatibilityThreshold;
      goto error;
    }
    // Only a complete tree is entered in sys.modules, so a failed start leaves nothing behind.
    if (EnterSubmodules(module) < 0) {
      code = StartupCode::CreateModuleTree;
      goto error;
    }
  }
  return module;

error:
  Py_XDECREF(module);
  return ReportLoadFailure(kModuleName, code);
}

}  // namespace morvax

PyMODINIT_FUNC PyInit_velto() { return morvax::InitializeModule(); }
