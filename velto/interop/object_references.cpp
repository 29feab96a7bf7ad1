// The reference callbacks .NET uses for the Python objects it holds. .NET calls them only
// inside a call from Python, with the interpreter lock held.
#include "interop/object_references.h"

namespace morvax {

static PyObject* NewNoneReference() { Py_RETURN_NONE; }
static void AddReference(PyObject* object) { Py_XINCREF(object); }
static void DropReference(PyObject* object) { Py_XDECREF(object); }

const ObjectReferenceTable* ObjectReferenceCallbacks() {
  static const ObjectReferenceTable table = {NewNoneReference, AddReference, DropReference};
  return &table;
}

}  // namespace morvax
