// The interned-name table.
#include "common/interned_names.h"

namespace morvax {

PyObject* InternedNames::table_[static_cast<int>(Name::Count)] = {};

int InternedNames::Initialize() {
  static const char* const kTexts[] = {
#define MORVAX_NAME_TEXT(id, text) text,
      MORVAX_INTERNED_NAMES(MORVAX_NAME_TEXT)
#undef MORVAX_NAME_TEXT
  };
  for (int i = 0; i < static_cast<int>(Name::Count); ++i) {
    if (table_[i] != nullptr) continue;
    // A new reference that the table keeps for the life of the process.
    table_[i] = PyUnicode_InternFromString(kTexts[i]);
    if (table_[i] == nullptr) return -1;
  }
  return 0;
}

}  // namespace morvax
