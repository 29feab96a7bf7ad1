// Creation of the package morvax.velto.
#include "module/module_tree.h"

#include <cstring>
#include <vector>

#include "api/class_binding.h"
#include "api/class_runtime.h"
#include "api/enumerations.h"
#include "api/interface_values.h"
#include "common/dependencies.h"
#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/reporters.h"
#include "interop/containers/adapters.h"
#include "interop/containers/generic_types.h"
#include "interop/descriptors.h"
#include "interop/error_bridge.h"
#include "interop/type_registry.h"

namespace morvax {

// Defined below, after the method table that refers to it.
extern PyModuleDef g_veltoDefinition;

// get_pyinstaller_hook_dirs(): the hook folder beside the module file, then one for each
// of this module and its siblings.
static PyObject* get_pyinstaller_hook_dirs(PyObject*, PyObject*) {
  PyObject* module = PyState_FindModule(&g_veltoDefinition);  // borrowed
  if (module == nullptr) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_ImportError, "morvax.velto is not initialized");
    return nullptr;
  }
  static const char* const kNames[] = {"velto", "pydrawing", "pyreflection", "pygc", "pycore"};

  PyRef fileName = PyRef::steal(PyModule_GetFilenameObject(module));
  if (!fileName) return nullptr;
  PyRef osPath = PyRef::steal(PyImport_ImportModule("os.path"));
  if (!osPath) {
    return RaiseMaybeChained(PyExc_ImportError,
                             "Unable to import the specified module %s. The module not found or errors "
                             "occurred while initializing it.",
                             "os.path");
  }
  PyRef dirname = PyRef::steal(PyObject_GetAttr(osPath.get(), Interned(Name::dirname)));
  if (!dirname) return nullptr;
  PyRef join = PyRef::steal(PyObject_GetAttr(osPath.get(), Interned(Name::join)));
  if (!join) return nullptr;
  PyRef base = PyRef::steal(PyObject_CallOneArg(dirname.get(), fileName.get()));
  if (!base) return nullptr;

  PyRef result = PyRef::steal(PyList_New(0));
  if (!result) return nullptr;
  PyRef entry = PyRef::steal(PyObject_CallFunction(join.get(), "Os", base.get(), "__pyinstaller"));
  if (!entry || PyList_Append(result.get(), entry.get()) < 0) return nullptr;
  for (const char* name : kNames) {
    entry = PyRef::steal(PyObject_CallFunction(join.get(), "Oss", base.get(), name, "__pyinstaller"));
    if (!entry || PyList_Append(result.get(), entry.get()) < 0) return nullptr;
  }
  return result.release();
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
  PyRef packageName = PyRef::steal(PyUnicode_FromString(spec.package));
  bool stored = packageName && PyObject_SetAttrString(module, "__package__", packageName.get()) == 0;
  if (stored && spec.isPackage) {
    PyRef path = PyRef::steal(PyList_New(0));
    stored = path && PyObject_SetAttrString(module, "__path__", path.get()) == 0;
  }
  if (stored) return 0;
  ReportModuleInitError(StartupCode::SetPackageAttributes, spec.name);
  return -1;
}

// Stores a value in a type's own dictionary. 0, or -1 with ImportError carrying code.
static int StoreInTypeDict(PyTypeObject* type, PyObject* key, PyObject* value, StartupCode code) {
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
  if (StoreInTypeDict(type, Interned(Name::_morvax_clr_host), Py_None, StartupCode::StoreHostMarker) < 0) return -1;
  if (StoreInTypeDict(type, Interned(Name::_morvax_clr_castable_obj), Py_None, StartupCode::StoreCastableMarker) < 0)
    return -1;
  // Static properties and constants: read through descriptors that need no instance.
  for (PyGetSetDef* definition = binding.staticDefs; definition->name != nullptr; ++definition) {
    PyRef descriptor = PyRef::steal(NewFieldDescr(type, definition));
    if (!descriptor || PyDict_SetItemString(type->tp_dict, definition->name, descriptor.get()) < 0) {
      ReportTypeInitError2(StartupCode::AddDescriptor, type->tp_name, definition->name);
      return -1;
    }
    UntrackPermanentClassMember(descriptor.get(), type);  // as the readied members are
  }
  // A name with static and instance overloads comes as two adjacent definitions, the
  // static one first; the type readied only the first, and one descriptor serves both.
  for (PyMethodDef* definition = binding.methodDefs; definition->ml_name != nullptr; ++definition) {
    PyMethodDef* next = definition + 1;
    if ((definition->ml_flags & METH_STATIC) == 0 || next->ml_name == nullptr || (next->ml_flags & METH_STATIC) != 0 ||
        std::strcmp(definition->ml_name, next->ml_name) != 0) {
      continue;
    }
    PyRef descriptor = PyRef::steal(NewMixMethodDescr(type, definition, next));
    if (!descriptor || ReplacePermanentClassMember(type, definition->ml_name, descriptor.get()) < 0) {
      ReportTypeInitError2(StartupCode::AddDescriptor, type->tp_name, definition->ml_name);
      return -1;
    }
    UntrackPermanentClassMember(descriptor.get(), type);
  }
  PyType_Modified(type);
  if (PyModule_AddObjectRef(module, binding.simpleName, reinterpret_cast<PyObject*>(type)) < 0) {
    ReportTypeInitError2(StartupCode::AddTypeToModule, spec.name, binding.simpleName);
    return -1;
  }
  return 0;
}

// The module definitions live as long as the modules: one per catalogue entry.
static PyModuleDef* ModuleDefinition(const api::Catalogue& catalogue, int index) {
  static std::vector<PyModuleDef> definitions = [&] {
    std::vector<PyModuleDef> all(catalogue.moduleCount);
    for (int i = 0; i < catalogue.moduleCount; ++i) {
      all[i] = {
          PyModuleDef_HEAD_INIT, catalogue.modules[i].name, nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr};
    }
    return all;
  }();
  return index == 0 ? &g_veltoDefinition : &definitions[index];
}

// Creates one module with its submodules and classes (new reference), or null.
static PyObject* CreateModule(const api::Catalogue& catalogue, int index) {
  const api::ModuleSpec& spec = catalogue.modules[index];
  PyRef module = PyRef::steal(PyModule_Create(ModuleDefinition(catalogue, index)));
  if (!module) return ReportModuleInitError(StartupCode::CreateModule, spec.name);

  if (index == 0 && (AddTypeToModule(module.get(), &FieldDescrType, "_FieldDescrType") < 0 ||
                     AddTypeToModule(module.get(), &MixMethodDescrType, "_MixMethodDescrType") < 0)) {
    return nullptr;
  }
  for (int child = 0; child < catalogue.moduleCount; ++child) {
    if (catalogue.modules[child].parent != index) continue;
    PyRef submodule = PyRef::steal(CreateModule(catalogue, child));
    if (!submodule) return nullptr;
    if (PyModule_AddObjectRef(module.get(), catalogue.modules[child].attachName, submodule.get()) < 0) {
      return ReportModuleInitError2(StartupCode::AttachModule, spec.name, catalogue.modules[child].name);
    }
  }
  for (int i = 0; i < spec.classCount; ++i) {
    if (api::ReadyBoundType(*spec.classes[i]) < 0) {
      return ReportTypeInitError(StartupCode::ReadyType, spec.classes[i]->pythonName);
    }
  }
  for (int i = 0; i < spec.enumCount; ++i) {
    const api::EnumBinding& enumeration = *spec.enums[i];
    PyRef type = PyRef::steal(api::BuildEnumeration(enumeration));
    if (!type) return ReportTypeInitError(StartupCode::BuildEnumeration, enumeration.pythonName);
    if (PyModule_AddObjectRef(module.get(), enumeration.simpleName, type.get()) < 0) {
      return ReportTypeInitError2(StartupCode::AddTypeToModule, spec.name, enumeration.pythonName);
    }
  }
  for (int i = 0; i < spec.classCount; ++i) {
    if (RegisterClass(module.get(), spec, *spec.classes[i]) < 0) return nullptr;
  }
  if (SetPackageAttributes(module.get(), spec) < 0) return nullptr;
  return module.release();
}

// The support package and its two modules: _interop holds the adapter types, _generic
// the typed instantiations.
static PyModuleDef g_wrpgenDefinition = {
    PyModuleDef_HEAD_INIT, "morvax.velto._wrpgen", nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr};
static PyModuleDef g_interopDefinition = {
    PyModuleDef_HEAD_INIT, "morvax.velto._wrpgen._interop", nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr};
static PyModuleDef g_genericDefinition = {
    PyModuleDef_HEAD_INIT, "morvax.velto._wrpgen._generic", nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr};

PyObject* CreateSupportModule(PyObject* top) {
  PyRef wrpgen = PyRef::steal(PyModule_Create(&g_wrpgenDefinition));
  if (!wrpgen) return ReportModuleInitError(StartupCode::CreateModule, g_wrpgenDefinition.m_name);
  if (PyModule_AddObjectRef(top, "_wrpgen", wrpgen.get()) < 0) {
    return ReportModuleInitError2(StartupCode::AttachModule, g_veltoDefinition.m_name, g_wrpgenDefinition.m_name);
  }
  // From here on the top-level module keeps _wrpgen alive; the result is borrowed from it.
  const struct {
    PyModuleDef* definition;
    const char* attribute;
  } children[] = {{&g_interopDefinition, "_interop"}, {&g_genericDefinition, "_generic"}};
  for (const auto& child : children) {
    PyRef module = PyRef::steal(PyModule_Create(child.definition));
    if (!module) return ReportModuleInitError(StartupCode::CreateModule, child.definition->m_name);
    if (child.definition == &g_interopDefinition && containers::RegisterAdapterTypes(module.get()) < 0) return nullptr;
    if (child.definition == &g_genericDefinition && containers::RegisterGenericTypes(module.get()) < 0) return nullptr;
    if (PyModule_AddObjectRef(wrpgen.get(), child.attribute, module.get()) < 0) {
      return ReportModuleInitError2(StartupCode::AttachModule, g_wrpgenDefinition.m_name, child.definition->m_name);
    }
  }
  // The classes' interface sets name other classes and the adapter types: written once
  // every one of them is ready.
  const api::Catalogue& catalogue = api::GeneratedCatalogue();
  for (int m = 0; m < catalogue.moduleCount; ++m) {
    for (int i = 0; i < catalogue.modules[m].classCount; ++i) {
      if (api::StoreInterfaceSets(*catalogue.modules[m].classes[i]) < 0) return nullptr;
    }
  }
  return wrpgen.get();
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
