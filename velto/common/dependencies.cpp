// Dependency import and version check.
#include "common/dependencies.h"

#include "common/python_errors.h"
#include "common/interned_names.h"
#include "common/reporters.h"

namespace morvax {

// Reads a version attribute of a sibling and checks its layout. Returns a new reference to
// the attribute and sets *value, or null (with no error when the attribute is missing).
static PyObject* ReadVersionAttribute(PyObject* module, Name attribute, const char* dependency,
                                      const ModuleVersionObject** value) {
  PyObject* object = PyObject_GetAttr(module, Interned(attribute));
  if (object == nullptr) {
    PyErr_Clear();
    return nullptr;
  }
  *value = AsVersionValue(object);
  if (*value == nullptr) {
    PyErr_Format(PyExc_ImportError,
                 "Unable to import module dependencies. Cannot import the %s module. The %s module "
                 "found has a '%U' attribute that is not a version value (found '%.200s').",
                 dependency, dependency, Interned(attribute), Py_TYPE(object)->tp_name);
    Py_DECREF(object);
  }
  return object;
}

PyObject* ImportDependency(const char* reportingModule, const char* dependency,
                           const VersionNumbers& required) {
  PyObject* module = PyImport_ImportModule(dependency);
  if (module == nullptr) {
    return RaiseMaybeChained(PyExc_ImportError,
                             "Unable to import module dependencies. Cannot import the %s module. The "
                             "module not found or errors occurred while initializing it.",
                             dependency);
  }

  const ModuleVersionObject* found = nullptr;
  PyObject* foundObject = ReadVersionAttribute(module, Name::VERSION, dependency, &found);
  if (foundObject == nullptr || found == nullptr) {
    if (foundObject == nullptr) {
      PyErr_Format(PyExc_ImportError,
                   "Unable to import module dependencies. Cannot import the %s module. The %s module "
                   "found does not have 'VERSION' attribute to check version compatibility.",
                   dependency, dependency);
    }
    Py_DECREF(module);
    return nullptr;
  }
  if (CompareVersions(required, found->numbers) > 0) {
    PyErr_Format(PyExc_ImportError,
                 "Unable to import module dependencies. Cannot import the %s module. The %s module "
                 "found has a version ('%U') that is lower than the referenced version of that "
                 "module ('%i.%i.%i.%i').",
                 dependency, dependency, found->text, required.major, required.minor, required.patch,
                 required.sub);
    Py_DECREF(foundObject);
    Py_DECREF(module);
    return nullptr;
  }

  const ModuleVersionObject* threshold = nullptr;
  PyObject* thresholdObject =
      ReadVersionAttribute(module, Name::_BACKWARD_COMPATIBILITY_THRESHOLD, dependency, &threshold);
  if (thresholdObject == nullptr || threshold == nullptr) {
    if (thresholdObject == nullptr) {
      PyErr_Format(PyExc_ImportError,
                   "Unable to import module dependencies. Cannot import the %s module. The %s module "
                   "found does not have 'BACKWARD_COMPATIBILITY_THRESHOLD' attribute to check version "
                   "compatibility.",
                   dependency, dependency);
    }
    Py_DECREF(foundObject);
    Py_DECREF(module);
    return nullptr;
  }

  if (CompareVersions(required, threshold->numbers) >= 0) {
    Py_DECREF(thresholdObject);
    Py_DECREF(foundObject);
    return module;
  }
  PyErr_Format(PyExc_ImportError,
               "Unable to import module dependencies. Cannot import the %s module. The installed "
               "version of the module ('%U') is not compatible with the referenced vesion of the "
               "module ('%i.%i.%i.%i'). The installed version of the module is not compatible with "
               "the module versions < '%U'. Update dendend module '%s' to a latest version.",
               dependency, found->text, required.major, required.minor, required.patch, required.sub,
               threshold->text, reportingModule);
  Py_DECREF(thresholdObject);
  Py_DECREF(foundObject);
  Py_DECREF(module);
  return nullptr;
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
    ReportTypeInitError(-1015, type->tp_name);
    return -1;
  }
  Py_INCREF(type);
  if (PyModule_AddObject(module, name, reinterpret_cast<PyObject*>(type)) < 0) {
    PyModuleDef* definition = PyModule_GetDef(module);
    ReportTypeInitError2(-1014, definition != nullptr ? definition->m_name : "?", type->tp_name);
    Py_DECREF(type);
    return -1;
  }
  return 0;
}

}  // namespace morvax
