// Dependency import and version check.
#include "common/dependencies.h"

#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/python_errors.h"
#include "common/reporters.h"

namespace morvax {

// Reads a version attribute of a sibling and checks its layout. Sets *value and returns the
// attribute; returns no reference when it is missing (no error) or is no version value
// (ImportError).
static PyRef ReadVersionAttribute(PyObject* module, Name attribute, const char* dependency,
                                  const ModuleVersionObject** value) {
  PyRef object = PyRef::steal(PyObject_GetAttr(module, Interned(attribute)));
  if (!object) {
    PyErr_Clear();
    return object;
  }
  *value = AsVersionValue(object.get());
  if (*value == nullptr) {
    PyErr_Format(PyExc_ImportError,
                 "Unable to import module dependencies. Cannot import the %s module. The %s module "
                 "found has a '%U' attribute that is not a version value (found '%.200s').",
                 dependency, dependency, Interned(attribute), Py_TYPE(object.get())->tp_name);
    return PyRef();
  }
  return object;
}

// Raises the ImportError of a sibling without the version attribute `what` (unless the
// attribute was there but of the wrong layout, which is already reported).
static PyObject* ReportMissingVersion(const char* dependency, const char* what) {
  if (PyErr_Occurred()) return nullptr;
  return PyErr_Format(PyExc_ImportError,
                      "Unable to import module dependencies. Cannot import the %s module. The %s module "
                      "found does not have '%s' attribute to check version compatibility.",
                      dependency, dependency, what);
}

PyObject* ImportDependency(const char* reportingModule, const char* dependency, const VersionNumbers& required) {
  PyRef module = PyRef::steal(PyImport_ImportModule(dependency));
  if (!module) {
    return RaiseMaybeChained(PyExc_ImportError,
                             "Unable to import module dependencies. Cannot import the %s module. The "
                             "module not found or errors occurred while initializing it.",
                             dependency);
  }

  const ModuleVersionObject* found = nullptr;
  PyRef foundObject = ReadVersionAttribute(module.get(), Name::VERSION, dependency, &found);
  if (!foundObject) return ReportMissingVersion(dependency, "VERSION");
  if (CompareVersions(required, found->numbers) > 0) {
    return PyErr_Format(PyExc_ImportError,
                        "Unable to import module dependencies. Cannot import the %s module. The %s module "
                        "found has a version ('%U') that is lower than the referenced version of that "
                        "module ('%i.%i.%i.%i').",
                        dependency, dependency, found->text, required.major, required.minor, required.patch,
                        required.sub);
  }

  const ModuleVersionObject* threshold = nullptr;
  PyRef thresholdObject =
      ReadVersionAttribute(module.get(), Name::_BACKWARD_COMPATIBILITY_THRESHOLD, dependency, &threshold);
  if (!thresholdObject) return ReportMissingVersion(dependency, "BACKWARD_COMPATIBILITY_THRESHOLD");

  if (CompareVersions(required, threshold->numbers) >= 0) return module.release();
  return PyErr_Format(PyExc_ImportError,
                      "Unable to import module dependencies. Cannot import the %s module. The installed "
                      "version of the module ('%U') is not compatible with the referenced vesion of the "
                      "module ('%i.%i.%i.%i'). The installed version of the module is not compatible with "
                      "the module versions < '%U'. Update dendend module '%s' to a latest version.",
                      dependency, found->text, required.major, required.minor, required.patch, required.sub,
                      threshold->text, reportingModule);
}

PyObject* ImportModuleAttribute(const char* moduleName, PyObject* attributeName) {
  PyObject* module = PyImport_ImportModule(moduleName);
  if (module == nullptr) {
    return RaiseMaybeChained(PyExc_ImportError,
                             "Unable to import the specified module %s. The module not found or "
                             "errors occurred while initializing it.",
                             moduleName);
  }
  PyObject* attribute = PyObject_GetAttr(module, attributeName);
  Py_DECREF(module);
  if (attribute == nullptr) {
    return RaiseMaybeChained(PyExc_ImportError,
                             "Unable to import the specified type %U from the module %s. The type "
                             "not found or errors occurred while initializing it.",
                             attributeName, moduleName);
  }
  return attribute;
}

int AddTypeToModule(PyObject* module, PyTypeObject* type, const char* name) {
  if (PyType_Ready(type) < 0) {
    ReportTypeInitError(StartupCode::ReadyType, type->tp_name);
    return -1;
  }
  if (PyModule_AddObjectRef(module, name, reinterpret_cast<PyObject*>(type)) < 0) {
    PyModuleDef* definition = PyModule_GetDef(module);
    ReportTypeInitError2(StartupCode::AddTypeToModule, definition != nullptr ? definition->m_name : "?", type->tp_name);
    return -1;
  }
  return 0;
}

}  // namespace morvax
