// Capsule imports of the sibling modules.
#include "common/sibling_apis.h"

#include <iterator>

#include "common/dependencies.h"
#include "common/reporters.h"

namespace morvax {

SiblingApis g_siblingApis;

namespace {

// One capsule: which entries of its table are kept, and where.
struct CapsuleEntries {
  const char* name;
  struct Entry {
    int index;
    void** destination;
  } entries[2];
};

template <typename Function>
void** Slot(Function& function) {
  return reinterpret_cast<void**>(&function);
}

// Imports each capsule in order and copies the listed entries. On the first failure the
// module reference is released and the capsule is reported.
int ImportCapsules(PyObject* module, const CapsuleEntries* capsules, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    auto* table = static_cast<void**>(PyCapsule_Import(capsules[i].name, 0));
    if (table == nullptr) {
      Py_DECREF(module);
      ReportCapsuleError(capsules[i].name);
      return -1;
    }
    for (const auto& entry : capsules[i].entries) {
      if (entry.destination != nullptr) *entry.destination = table[entry.index];
    }
  }
  Py_DECREF(module);
  return 0;
}

}  // namespace

int ImportCapsuleApis() {
  SiblingApis& apis = g_siblingApis;
  const CapsuleEntries drawing[] = {
      {"morvax.pydrawing._C_APITV1_Color", {{0, Slot(apis.color.convert)}, {1, Slot(apis.color.build)}}},
      {"morvax.pydrawing._C_APITV1_Size", {{0, Slot(apis.size.convert)}, {1, Slot(apis.size.build)}}},
      {"morvax.pydrawing._C_APITV1_RectangleF", {{0, Slot(apis.rectangleF.convert)}, {1, Slot(apis.rectangleF.build)}}},
      {"morvax.pydrawing._C_APITV1_Rectangle", {{0, Slot(apis.rectangle.convert)}, {1, Slot(apis.rectangle.build)}}},
      {"morvax.pydrawing._C_APITV1_SizeF", {{0, Slot(apis.sizeF.convert)}, {1, Slot(apis.sizeF.build)}}},
      {"morvax.pydrawing._C_APITV1_PointF", {{0, Slot(apis.pointF.convert)}, {1, Slot(apis.pointF.build)}}},
      {"morvax.pydrawing._C_APITV1_Point", {{0, Slot(apis.point.convert)}, {1, Slot(apis.point.build)}}},
  };
  const CapsuleEntries reflection[] = {
      {"morvax.pyreflection._C_APIT_Type", {{0, Slot(apis.typeHandleOf)}, {1, Slot(apis.makeType)}}},
      {"morvax.pyreflection._C_APIT_Object", {{2, Slot(apis.objectHandleOf)}, {0, nullptr}}},
      {"morvax.pyreflection._C_APIT_Enum", {{1, Slot(apis.makeEnum)}, {0, nullptr}}},
  };

  PyObject* module = ImportDependency("morvax.velto", "morvax.pydrawing", kRequiredSiblingVersion);
  if (module == nullptr) return -1;
  if (ImportCapsules(module, drawing, std::size(drawing)) < 0) return -1;

  module = ImportDependency("morvax.velto", "morvax.pyreflection", kRequiredSiblingVersion);
  if (module == nullptr) return -1;
  return ImportCapsules(module, reflection, std::size(reflection));
}

int ImportPygcApi() {
  PyObject* module = ImportDependency("morvax.velto", "morvax.pygc", kRequiredSiblingVersion);
  if (module == nullptr) return -1;
  const CapsuleEntries pygc[] = {
      {"morvax.pygc._C_APIF", {{0, Slot(g_siblingApis.castResult)}, {0, nullptr}}},
  };
  return ImportCapsules(module, pygc, std::size(pygc));
}

}  // namespace morvax
