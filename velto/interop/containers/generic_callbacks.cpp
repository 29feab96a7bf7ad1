// The generic callback block: 42 typed callbacks through which .NET reads the items of a
// Python list (by index), of another sized sequence (by index, holding each item it reads)
// or of an iterator, each converted by its element's converter into the element's .NET form
// rather than classified into a PyVariant. Registered with .NET as the generic callbacks;
// the sizes come from the container group of the static record.
#include <cstring>
#include <iterator>

#include "common/py_ref.h"
#include "interop/containers/generic_types.h"
#include "interop/containers/iteration.h"
#include "interop/containers/streams.h"
#include "interop/datetime_values.h"

namespace morvax::containers {

namespace {

// The class elements of entries 1 to 12 (and 22 to 33), by .NET name; EditingLanguage is an
// enumeration and crosses as its integer.
constexpr const char* kClassElements[] = {
    "Morvax.Velto.Bibliography.Person",
    "Morvax.Velto.Document",
    "Morvax.Velto.Drawing.Charts.ChartMultilevelValue",
    "Morvax.Velto.Drawing.ShapeBase",
    "Morvax.Velto.Fonts.FontSourceBase",
    "Morvax.Velto.Loading.EditingLanguage",
    "Morvax.Velto.Loading.LoadOptions",
    "Morvax.Velto.Saving.PageRange",
    "Morvax.Velto.Shaping.Cluster",
    "Morvax.Velto.Shaping.FontFeature",
    "Morvax.Velto.Shaping.Glyph",
    "Morvax.Velto.Shaping.VariationAxisCoordinate",
};

int ElementNamed(const char* netName) {
  for (int i = 0; i < kGenericElementCount; ++i)
    if (std::strcmp(kGenericElements[i].netName, netName) == 0) return i;
  return -1;
}

// A class element as its handle (None: 0), or its enumeration's integer: the element's converter.
template <int K>
int ConvertNamedElement(PyObject* object, void* out) {
  static const int element = ElementNamed(kClassElements[K]);
  if (element < 0) {
    PyErr_Format(PyExc_SystemError, "no typed element %s", kClassElements[K]);
    return 0;
  }
  return ConvertElement(element, object, out);
}

int ConvertStreamItem(PyObject* object, void* out) { return ConvertStream(object, static_cast<StreamArgument*>(out)); }

int ConvertTypeItem(PyObject* object, void* out) { return ConvertElement(ElementNamed("System.Type"), object, out); }

using Converter = int (*)(PyObject*, void*);

// Item i of a list: 0, -2 out of range (no error set), -1 with the converter's error.
template <Converter Convert>
int32_t ListGetItem(PyObject* list, int32_t index, void* out) {
  if (!PyList_Check(list)) {
    PyErr_Format(PyExc_TypeError, "expected a list, not '%s'", Py_TYPE(list)->tp_name);
    return -1;
  }
  if (index < 0 || index >= PyList_GET_SIZE(list)) return -2;
  PyObject* item = PyList_GET_ITEM(list, index);  // borrowed: .NET reads it before the list can change
  return Convert(item, out) ? 0 : -1;
}

// Item i of a sequence; the item's reference goes to *held (the converted value may borrow
// from it) and .NET releases it once it has read the value.
template <Converter Convert>
int32_t SequenceGetItem(PyObject* sequence, int32_t index, PyObject** held, void* out) {
  *held = PySequence_GetItem(sequence, index);
  if (*held == nullptr) {
    if (!PyErr_ExceptionMatches(PyExc_IndexError)) return -1;
    PyErr_Clear();
    return -2;
  }
  return Convert(*held, out) ? 0 : -1;
}

// The next item of an iterator: 0 with the item in *item (.NET releases it), 1 at the end,
// 2 with an error pending.
template <Converter Convert>
int32_t NextItem(PyObject* iterator, PyObject** item, void* out) {
  *item = PyIter_Next(iterator);
  if (*item == nullptr) return PyErr_Occurred() ? 2 : 1;
  return Convert(*item, out) ? 0 : 2;
}

#define MORVAX_LIST(convert) reinterpret_cast<const void*>(&ListGetItem<convert>)
#define MORVAX_SEQUENCE(convert) reinterpret_cast<const void*>(&SequenceGetItem<convert>)

// The twenty element converters of the list and sequence entries, in the block's order.
#define MORVAX_GENERIC_ELEMENTS(X)                                                                                  \
  X(ConvertNamedElement<0>), X(ConvertNamedElement<1>), X(ConvertNamedElement<2>), X(ConvertNamedElement<3>),       \
      X(ConvertNamedElement<4>), X(ConvertNamedElement<5>), X(ConvertNamedElement<6>), X(ConvertNamedElement<7>),   \
      X(ConvertNamedElement<8>), X(ConvertNamedElement<9>), X(ConvertNamedElement<10>), X(ConvertNamedElement<11>), \
      X(ConvertBool), X(ConvertDateTime), X(ConvertDouble), X(ConvertInt32), X(ConvertStreamItem), X(ConvertVariant)

const void* const kBlock[] = {
    reinterpret_cast<const void*>(&NextItem<ConvertNamedElement<0>>),
    MORVAX_GENERIC_ELEMENTS(MORVAX_LIST),
    reinterpret_cast<const void*>(&NextItem<ConvertString>),
    MORVAX_LIST(ConvertString),
    MORVAX_LIST(ConvertTypeItem),
    MORVAX_GENERIC_ELEMENTS(MORVAX_SEQUENCE),
    MORVAX_SEQUENCE(ConvertString),
    MORVAX_SEQUENCE(ConvertTypeItem),
};
#undef MORVAX_GENERIC_ELEMENTS
#undef MORVAX_LIST
#undef MORVAX_SEQUENCE
static_assert(std::size(kBlock) == 42, "the generic callback block has 42 entries");

}  // namespace

const void* GenericCallbackBlock() { return kBlock; }

}  // namespace morvax::containers
