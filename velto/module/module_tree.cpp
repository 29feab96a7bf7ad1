// Creation of the package morvax.velto.
#include "module/module_tree.h"

#include "interop/error_bridge.h"
#include "module/interned_names.h"
#include "module/reporters.h"

namespace morvax {

// Defined below, after the method table that refers to it.
extern PyModuleDef g_veltoDefinition;

// get_pyinstaller_hook_dirs(): the hook folder beside the module file, then one for each
// of this module and its siblings.
static PyObject* get_pyinstaller_hook_dirs(PyObject*, PyObject*) {
  PyObject* module = PyState_FindModule(&g_veltoDefinition);
  if (module == nullptr) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_ImportError, "morvax.velto is not initialized");
    return nullptr;
  }
  PyObject *fileName = nullptr, *osPath = nullptr, *dirname = nullptr, *join = nullptr, *base = nullptr,
           *result = nullptr;
  static const char* const kNames[] = {"velto", "pydrawing", "pyreflection", "pygc", "pycore"};

  fileName = PyModule_GetFilenameObject(module);
  if (fileName == nullptr) goto error;
  osPath = PyImport_ImportModule("os.path");
  if (osPath == nullptr) {
    RaiseMaybeChained(PyExc_ImportError,
                      "Unable to import the specified module %s. The module not found or errors "
                      "occurred while initializing it.",
                      "os.path");
    goto error;
  }
  dirname = PyObject_GetAttr(osPath, Interned(Name::dirname));
  if (dirname == nullptr) goto error;
  join = PyObject_GetAttr(osPath, Interned(Name::join));
  if (join == nullptr) goto error;
  base = PyObject_CallOneArg(dirname, fileName);
  if (base == nullptr) goto error;

  result = PyList_New(0);
  if (result == nullptr) goto error;
  {
    PyObject* entry = PyObject_CallFunction(join, "Os", base, "__pyinstaller");
    if (entry == nullptr || PyList_Append(result, entry) < 0) {
      Py_XDECREF(entry);
      goto error;
    }
    Py_DECREF(entry);
    for (const char* name : kNames) {
      entry = PyObject_CallFunction(join, "Oss", base, name, "__pyinstaller");
      if (entry == nullptr || PyList_Append(result, entry) < 0) {
        Py_XDECREF(entry);
        goto error;
      }
      Py_DECREF(entry);
    }
  }
  Py_DECREF(base);
  Py_DECREF(join);
  Py_DECREF(dirname);
  Py_DECREF(osPath);
  Py_DECREF(fileName);
  return result;

error:
  Py_XDECREF(result);
  Py_XDECREF(base);
  Py_XDECREF(join);
  Py_XDECREF(dirname);
  Py_XDECREF(osPath);
  Py_XDECREF(fileName);
  return nullptr;
}

static PyMethodDef g_veltoMethods[] = {
    {"get_pyinstaller_hook_dirs", get_pyinstaller_hook_dirs, METH_NOARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef g_veltoDefinition = {
    PyModuleDef_HEAD_INIT, "morvax.velto", nullptr, -1, g_veltoMethods, nullptr, nullptr, nullptr, nullptr,
};

// Sets __package__ and, for a package, an empty __path__. 0, or -1 with ImportError.
static int SetPackageAttributes(PyObject* module, const char* package, bool isPackage) {
  PyObject* packageName = PyUnicode_FromString(package);
  if (packageName == nullptr || PyObject_SetAttrString(module, "__package__", packageName) < 0) {
    Py_XDECREF(packageName);
    goto error;
  }
  Py_DECREF(packageName);
  if (isPackage) {
    PyObject* path = PyList_New(0);
    if (path == nullptr || PyObject_SetAttrString(module, "__path__", path) < 0) {
      Py_XDECREF(path);
      goto error;
    }
    Py_DECREF(path);
  }
  return 0;
error:
  ReportModuleInitError(-1022, PyModule_GetDef(module)->m_name);
  return -1;
}

PyObject* CreateModuleTree() {
  PyObject* module = PyModule_Create(&g_veltoDefinition);
  if (module == nullptr) return ReportModuleInitError(-1003, g_veltoDefinition.m_name);
  if (SetPackageAttributes(module, "morvax.velto", true) < 0) {
    Py_DECREF(module);
    return nullptr;
  }
  return module;
}

}  // namespace morvax
