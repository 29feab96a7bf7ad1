/* Layout of the version values carried by the sibling modules of the morvax
   package (VERSION and _BACKWARD_COMPATIBILITY_THRESHOLD).  A reader checks the
   layout with MvVersionValue_Check before touching the fields, because each
   module registers its own type object for the value.  Plain C, self-contained. */
#ifndef MORVAX_VERSION_VALUE_H
#define MORVAX_VERSION_VALUE_H

#include <Python.h>
#include <stdint.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
  PyObject_HEAD
  int32_t major;
  int32_t minor;
  int32_t patch;
  int32_t sub;
  PyObject* text; /* owned str, e.g. "24.5.3.0" */
} MvVersionValue;

/* Every type of a version value is named "<module>._ModuleVersionType". */
#define MV_VERSION_TYPE_SUFFIX "._ModuleVersionType"

/* Non-zero when obj has the version value layout: the exact basic size and a type
   name ending in MV_VERSION_TYPE_SUFFIX.  Sets no error. */
static inline int MvVersionValue_Check(PyObject* obj) {
  PyTypeObject* type = Py_TYPE(obj);
  const char* name = type->tp_name;
  size_t name_len = strlen(name);
  size_t suffix_len = sizeof(MV_VERSION_TYPE_SUFFIX) - 1;
  if (type->tp_basicsize != (Py_ssize_t)sizeof(MvVersionValue) || type->tp_itemsize != 0) { return 0; }
  return name_len > suffix_len && strcmp(name + name_len - suffix_len, MV_VERSION_TYPE_SUFFIX) == 0;
}

#ifdef __cplusplus
}
#endif

#endif /* MORVAX_VERSION_VALUE_H */
