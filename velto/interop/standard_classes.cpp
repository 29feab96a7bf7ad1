// The standard-library class cache.
#include "interop/standard_classes.h"

#include "common/dependencies.h"
#include "common/interned_names.h"

namespace morvax {

PyObject* StandardClass(StandardClassId id) {
  struct Source {
    const char* module;
    Name name;
  };
  static constexpr Source kSources[] = {
      {"enum", Name::EnumType}, {"decimal", Name::Decimal},   {"decimal", Name::DecimalTuple},
      {"uuid", Name::UUID},     {"datetime", Name::datetime}, {"datetime", Name::timezone},
  };
  static_assert(sizeof kSources / sizeof kSources[0] == static_cast<int>(StandardClassId::Count));
  static PyObject* cache[static_cast<int>(StandardClassId::Count)] = {};  // strong references
  PyObject*& slot = cache[static_cast<int>(id)];
  if (slot == nullptr) {
    const Source& source = kSources[static_cast<int>(id)];
    slot = ImportModuleAttribute(source.module, Interned(source.name));
  }
  return slot;
}

}  // namespace morvax
