// Creation of the package morvax.velto.
#include "module/module_tree.h"

#include <vector>

#include "api/class_binding.h"
#include "api/class_runtime.h"
#include "api/enumerations.h"
#include "interop/descriptors.h"
#include "interop/error_bridge.h"
#include "interop/type_registry.h"
#include "module/dependencies.h"
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
    {"get_pyinstaller_hook_dirs", get_pyinstaller_hook_dirs, METH_NOARGS,
     "get_pyinstaller_hook_dirs() -> list[str]\n\nThe folders of packaging hooks for this module and its siblings."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef g_veltoDefinition = {
    PyModuleDef_HEAD_INIT, "morvax.velto", nullptr, -1, g_veltoMethods, nullptr, nullptr, nullptr, nullptr,
};

// Sets __package__ and, for a package, an empty __path__. 0, or -1 with ImportError.
static int SetPackageAttributes(PyObject* module, const api::ModuleSpec& spec) {
  PyObject* packageName = PyUnicode_FromString(spec.package);
  if (packageName == nullptr || PyObject_SetAttrString(module, "__package__", packageName) < 0) {
    Py_XDECREF(packageName);
    goto error;
  }
  Py_DECREF(packageName);
  if (spec.isPackage) {
    PyObject* path = PyList_New(0);
    if (path == nullptr || PyObject_SetAttrString(module, "__path__", path) < 0) {
      Py_XDECREF(path);
      goto error;
    }
    Py_DECREF(path);
  }
  return 0;
error:
  ReportModuleInitError(-1022, spec.name);
  return -1;
}

// Stores a value in a type's own dictionary. 0, or -1 with ImportError carrying code.
static int StoreInTypeDict(PyTypeObject* type, PyObject* key, PyObject* value, int code) {
  if (PyDict_SetItem(type->tp_dict, key, value) < 0) {
    ReportTypeInitError(code, type->tp_name);
    return -1;
  }
  return 0;
}

// Registers one readied class and attaches it to its module.
static int RegisterClass(PyObject* module, const api::ModuleSpec& spec, const api::ClassBinding& binding) {
  PyTypeObject* type = &binding.type->type;
  HostTypeRegistry::Instance().Add(ToU16(binding.netFullName), type);
  if (StoreInTypeDict(type, Interned(Name::_morvax_clr_host), Py_None, -1016) < 0) return -1;
  if (StoreInTypeDict(type, Interned(Name::_morvax_clr_castable_obj), Py_None, -1021) < 0) return -1;
  // Static properties and constants: read through descriptors that need no instance.
  for (PyGetSetDef* definition = binding.staticDefs; definition->name != nullptr; ++definition) {
    PyObject* descriptor = NewFieldDescr(type, definition);
    if (descriptor == nullptr || PyDict_SetItemString(type->tp_dict, definition->name, descriptor) < 0) {
      Py_XDECREF(descriptor);
      ReportTypeInitError2(-1020, type->tp_name, definition->name);
      return -1;
    }
    Py_DECREF(descriptor);
  }
  PyType_Modified(type);
  Py_INCREF(type);
  if (PyModule_AddObject(module, binding.simpleName, reinterpret_cast<PyObject*>(type)) < 0) {
    ReportTypeInitError2(-1014, spec.name, binding.simpleName);
    Py_DECREF(type);
    return -1;
  }
  return 0;
}

// The module definitions live as long as the modules: one per catalogue entry.
static PyModuleDef* ModuleDefinition(const api::Catalogue& catalogue, int index) {
  static std::vector<PyModuleDef> definitions = [&] {
    std::vector<PyModuleDef> all(catalogue.moduleCount);
    for (int i = 0; i < catalogue.moduleCount; ++i) {
      all[i] = {PyModuleDef_HEAD_INIT, catalogue.modules[i].name, nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr};
    }
    return all;
  }();
  return index == 0 ? &g_veltoDefinition : &definitions[index];
}

// Creates one module with its submodules and classes (new reference), or null.
static PyObject* CreateModule(const api::Catalogue& catalogue, int index) {
  const api::ModuleSpec& spec = catalogue.modules[index];
  PyObject* module = PyModule_Create(ModuleDefinition(catalogue, index));
  if (module == nullptr) return ReportModuleInitError(-1003, spec.name);

  if (index == 0 && (AddTypeToModule(module, &FieldDescrType, "_FieldDescrType") < 0 ||
                     AddTypeToModule(module, &MixMethodDescrType, "_MixMethodDescrType") < 0)) {
    goto error;
  }
  for (int child = 0; child < catalogue.moduleCount; ++child) {
    if (catalogue.modules[child].parent != index) continue;
    PyObject* submodule = CreateModule(catalogue, child);
    if (submodule == nullptr) goto error;
    if (PyModule_AddObject(module, catalogue.modules[child].attachName, submodule) < 0) {
      ReportModuleInitError2(-1002, spec.name, catalogue.modules[child].name);
      Py_DECREF(submodule);
      goto error;
    }
  }
  for (int i = 0; i < spec.classCount; ++i) {
    if (PyType_Ready(&spec.classes[i]->type->type) < 0) {
      ReportTypeInitError(-1015, spec.classes[i]->pythonName);
      goto error;
    }
  }
  for (int i = 0; i < spec.enumCount; ++i) {
    const api::EnumBinding& enumeration = *spec.enums[i];
    PyObject* type = api::BuildEnumeration(enumeration);
    if (type == nullptr) {
      ReportTypeInitError(-1013, enumeration.pythonName);
      goto error;
    }
    if (PyModule_AddObject(module, enumeration.simpleName, type) < 0) {
      ReportTypeInitError2(-1014, spec.name, enumeration.pythonName);
      Py_DECREF(type);
      goto error;
    }
  }
  for (int i = 0; i < spec.classCount; ++i) {
    if (RegisterClass(module, spec, *spec.classes[i]) < 0) goto error;
  }
  if (SetPackageAttributes(module, spec) < 0) goto error;
  return module;

error:
  Py_DECREF(module);
  return nullptr;
}

// The support package and its two modules; their contents come with the container adapters.
static PyModuleDef g_wrpgenDefinition = {PyModuleDef_HEAD_INIT, "morvax.velto._wrpgen", nullptr, -1,
                                         nullptr, nullptr, nullptr, nullptr, nullptr};
static PyModuleDef g_interopDefinition = {PyModuleDef_HEAD_INIT, "morvax.velto._wrpgen._interop", nullptr, -1,
                                          nullptr, nullptr, nullptr, nullptr, nullptr};
static PyModuleDef g_genericDefinition = {PyModuleDef_HEAD_INIT, "morvax.velto._wrpgen._generic", nullptr, -1,
                                          nullptr, nullptr, nullptr, nullptr, nullptr};

PyObject* CreateSupportModule(PyObject* top) {
  PyObject* wrpgen = PyModule_Create(&g_wrpgenDefinition);
  if (wrpgen == nullptr) return ReportModuleInitError(-1003, g_wrpgenDefinition.m_name);
  if (PyModule_AddObject(top, "_wrpgen", wrpgen) < 0) {
    Py_DECREF(wrpgen);
    return ReportModuleInitError2(-1002, g_veltoDefinition.m_name, g_wrpgenDefinition.m_name);
  }
  // From here on the top-level module owns _wrpgen.
  const struct {
    PyModuleDef* definition;
    const char* attribute;
  } children[] = {{&g_interopDefinition, "_interop"}, {&g_genericDefinition, "_generic"}};
  for (const auto& child : children) {
    PyObject* module = PyModule_Create(child.definition);
    if (module == nullptr) return ReportModuleInitError(-1003, child.definition->m_name);
    if (PyModule_AddObject(wrpgen, child.attribute, module) < 0) {
      Py_DECREF(module);
      return ReportModuleInitError2(-1002, g_wrpgenDefinition.m_name, child.definition->m_name);
    }
  }
  return wrpgen;
}

int EnterSubmodules(PyObject* top) {
  // Each submodule is also entered under its full name, so that `import
  // morvax.velto.drawing.charts` and `from morvax.velto.saving import ...` work.
  const api::Catalogue& catalogue = api::GeneratedCatalogue();
  PyObject* modules = PyImport_GetModuleDict();  // borrowed
  std::vector<PyObject*> found(catalogue.moduleCount, nullptr);
  found[0] = top;
  for (int i = 1; i < catalogue.moduleCount; ++i) {
    const api::ModuleSpec& spec = catalogue.modules[i];
    found[i] = PyObject_GetAttrString(found[spec.parent], spec.attachName);  // the parent keeps it alive
    if (found[i] == nullptr) return -1;
    Py_DECREF(found[i]);
    if (PyDict_SetItemString(modules, spec.name, found[i]) < 0) return -1;
  }
  return 0;
}

PyObject* CreateModuleTree() {
  const api::Catalogue& catalogue = api::GeneratedCatalogue();
  if (ReadyDescriptorTypes() < 0) return nullptr;
  // Every type object is filled before any is readied: readying a class readies its
  // base, which may live in another module.
  for (int m = 0; m < catalogue.moduleCount; ++m) {
    for (int i = 0; i < catalogue.modules[m].classCount; ++i) api::FillBoundType(*catalogue.modules[m].classes[i]);
  }
  return CreateModule(catalogue, 0);
}

}  // namespace morvax
