// morvax.pydrawing: the immutable drawing value types Color, Point, PointF, Size,
// SizeF, Rectangle and RectangleF, and the capsules through which the main
// extension converts them to and from their native layouts (morvax/pydrawing.h).
//
// The six geometric types differ only in their field names and in whether the
// fields are int32_t or float, so one table-driven implementation serves them all;
// Color has its own code.
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <structmember.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/py_ref.h"
#include "morvax/pydrawing.h"
#include "static_type.h"
#include "version_value.h"

namespace morvax::siblings {
namespace {

PyTypeObject version_type{};

// Combines field hashes the way CPython's tuple hash does (xxHash-style mixing).
class HashMixer {
 public:
  void add(Py_uhash_t lane) {
    acc_ += lane * kPrime2;
    acc_ = (acc_ << 31) | (acc_ >> 33);
    acc_ *= kPrime1;
  }
  Py_hash_t finish() const {
    Py_hash_t h = static_cast<Py_hash_t>(acc_);
    return h == -1 ? -2 : h;  // -1 means "error" to CPython
  }

 private:
  static constexpr Py_uhash_t kPrime1 = 11400714785074694791ULL;
  static constexpr Py_uhash_t kPrime2 = 14029467366897019727ULL;
  Py_uhash_t acc_ = 2870177450012600261ULL;
};

// A hash lane for a float field that agrees with ==: 0.0 and -0.0 hash alike.
// NaN never compares equal, so any fixed lane is consistent for it.
Py_uhash_t float_lane(float value) {
  if (value == 0.0f) { return 0; }
  if (std::isnan(value)) { return 0x7fc00000u; }
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Python's repr of the shortest decimal that reads back as the same float32, so
// PointF(x=0.1) shows 0.1 rather than the double 0.10000000149011612.
std::string float_text(float value) {
  double shortest = value;
  for (int precision = 1; precision <= 9 && std::isfinite(value); ++precision) {
    char* text = PyOS_double_to_string(value, 'g', precision, 0, nullptr);
    if (text == nullptr) {
      PyErr_Clear();
      break;
    }
    double back = PyOS_string_to_double(text, nullptr, nullptr);
    PyMem_Free(text);
    if (back == -1.0 && PyErr_Occurred()) {
      PyErr_Clear();
    } else if (static_cast<float>(back) == value) {
      shortest = back;
      break;
    }
  }
  char* text = PyOS_double_to_string(shortest, 'r', 0, Py_DTSF_ADD_DOT_0, nullptr);
  if (text == nullptr) {
    PyErr_Clear();
    return std::to_string(value);
  }
  std::string result(text);
  PyMem_Free(text);
  return result;
}

// The name a message shows for obj's type: "PointF", not "morvax.pydrawing.PointF".
const char* short_type_name(PyObject* obj) {
  const char* name = Py_TYPE(obj)->tp_name;
  const char* dot = std::strrchr(name, '.');
  return dot != nullptr ? dot + 1 : name;
}

// ---------------------------------------------------------------------------
// Point, PointF, Size, SizeF, Rectangle, RectangleF

enum ShapeKind { kPoint, kPointF, kSize, kSizeF, kRectangle, kRectangleF, kShapeKinds };

struct ShapeDesc {
  const char* name;          // "Point"
  const char* qualified;     // tp_name
  const char* capsule_attr;  // module attribute of the capsule
  const char* capsule_name;  // capsule name
  int count;                 // 2 or 4 fields, all of one kind, packed in order
  bool is_float;
  const char* fields[4];
  int widened_from;  // kind whose instances also convert to this one, or -1
  const char* doc;
};

const ShapeDesc shape_descs[kShapeKinds] = {
    {"Point",
     "morvax.pydrawing.Point",
     "_C_APITV1_Point",
     MV_PYDRAWING_POINT_CAPSULE,
     2,
     false,
     {"x", "y"},
     -1,
     "Point(x=0, y=0): an integer point."},
    {"PointF",
     "morvax.pydrawing.PointF",
     "_C_APITV1_PointF",
     MV_PYDRAWING_POINTF_CAPSULE,
     2,
     true,
     {"x", "y"},
     kPoint,
     "PointF(x=0.0, y=0.0): a point of 32-bit floats."},
    {"Size",
     "morvax.pydrawing.Size",
     "_C_APITV1_Size",
     MV_PYDRAWING_SIZE_CAPSULE,
     2,
     false,
     {"width", "height"},
     -1,
     "Size(width=0, height=0): an integer size."},
    {"SizeF",
     "morvax.pydrawing.SizeF",
     "_C_APITV1_SizeF",
     MV_PYDRAWING_SIZEF_CAPSULE,
     2,
     true,
     {"width", "height"},
     kSize,
     "SizeF(width=0.0, height=0.0): a size of 32-bit floats."},
    {"Rectangle",
     "morvax.pydrawing.Rectangle",
     "_C_APITV1_Rectangle",
     MV_PYDRAWING_RECTANGLE_CAPSULE,
     4,
     false,
     {"x", "y", "width", "height"},
     -1,
     "Rectangle(x=0, y=0, width=0, height=0): an integer rectangle."},
    {"RectangleF",
     "morvax.pydrawing.RectangleF",
     "_C_APITV1_RectangleF",
     MV_PYDRAWING_RECTANGLEF_CAPSULE,
     4,
     true,
     {"x", "y", "width", "height"},
     kRectangle,
     "RectangleF(x=0.0, y=0.0, width=0.0, height=0.0): a rectangle of 32-bit floats."},
};

// The native structs are the fields packed in order, which is what lets one
// memcpy move a whole value between them and the cells below.
static_assert(sizeof(MvPoint) == 8 && offsetof(MvPoint, y) == 4);
static_assert(sizeof(MvPointF) == 8 && offsetof(MvPointF, y) == 4);
static_assert(sizeof(MvSize) == 8 && offsetof(MvSize, height) == 4);
static_assert(sizeof(MvSizeF) == 8 && offsetof(MvSizeF, height) == 4);
static_assert(sizeof(MvRectangle) == 16 && offsetof(MvRectangle, height) == 12);
static_assert(sizeof(MvRectangleF) == 16 && offsetof(MvRectangleF, height) == 12);
static_assert(sizeof(float) == 4 && sizeof(int) == 4);

union Cells {
  int32_t i[4];
  float f[4];
};

struct ShapeObject {
  PyObject_HEAD
  Cells cells;
};

// The type object comes first, so Py_TYPE(instance) also points at the rest.
struct ShapeType {
  PyTypeObject type;
  const ShapeDesc* desc;
  PyMemberDef members[5];
  char* kwlist[5];
  char format[24];  // "|ii:Point"
};

ShapeType shape_types[kShapeKinds];

ShapeType* shape_type_of(PyTypeObject* type) { return reinterpret_cast<ShapeType*>(type); }
ShapeObject* as_shape(PyObject* obj) { return reinterpret_cast<ShapeObject*>(obj); }

PyObject* shape_from_cells(ShapeType* st, const Cells& cells) {
  PyObject* self = st->type.tp_alloc(&st->type, 0);
  if (self != nullptr) { as_shape(self)->cells = cells; }
  return self;
}

PyObject* shape_new(PyTypeObject* type, PyObject* args, PyObject* kwds) {
  ShapeType* st = shape_type_of(type);
  Cells cells{};
  // The format has one unit a field; the parser ignores the pointers past it.
  if (!PyArg_ParseTupleAndKeywords(args, kwds, st->format, st->kwlist, &cells.i[0], &cells.i[1], &cells.i[2],
                                   &cells.i[3])) {
    return nullptr;
  }
  return shape_from_cells(st, cells);
}

void shape_dealloc(PyObject* self) { Py_TYPE(self)->tp_free(self); }

PyObject* shape_repr(PyObject* self) {
  const ShapeDesc* desc = shape_type_of(Py_TYPE(self))->desc;
  const Cells& cells = as_shape(self)->cells;
  std::string text = desc->name;
  text += '(';
  for (int i = 0; i < desc->count; ++i) {
    if (i > 0) { text += ", "; }
    text += desc->fields[i];
    text += '=';
    text += desc->is_float ? float_text(cells.f[i]) : std::to_string(cells.i[i]);
  }
  text += ')';
  return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
}

PyObject* shape_richcompare(PyObject* self, PyObject* other, int op) {
  if ((op != Py_EQ && op != Py_NE) || Py_TYPE(other) != Py_TYPE(self)) { Py_RETURN_NOTIMPLEMENTED; }
  const ShapeDesc* desc = shape_type_of(Py_TYPE(self))->desc;
  const Cells& a = as_shape(self)->cells;
  const Cells& b = as_shape(other)->cells;
  bool equal = true;
  for (int i = 0; i < desc->count && equal; ++i) { equal = desc->is_float ? a.f[i] == b.f[i] : a.i[i] == b.i[i]; }
  return PyBool_FromLong(equal == (op == Py_EQ));
}

Py_hash_t shape_hash(PyObject* self) {
  const ShapeDesc* desc = shape_type_of(Py_TYPE(self))->desc;
  const Cells& cells = as_shape(self)->cells;
  HashMixer mixer;
  for (int i = 0; i < desc->count; ++i) {
    mixer.add(desc->is_float ? float_lane(cells.f[i]) : static_cast<Py_uhash_t>(static_cast<uint32_t>(cells.i[i])));
  }
  return mixer.finish();
}

// __reduce__: immutable values copy and pickle as a constructor call.
PyObject* shape_reduce(PyObject* self, PyObject*) {
  const ShapeDesc* desc = shape_type_of(Py_TYPE(self))->desc;
  const Cells& cells = as_shape(self)->cells;
  PyRef args = PyRef::steal(PyTuple_New(desc->count));
  if (!args) { return nullptr; }
  for (int i = 0; i < desc->count; ++i) {
    PyObject* field = desc->is_float ? PyFloat_FromDouble(cells.f[i]) : PyLong_FromLong(cells.i[i]);
    if (field == nullptr) { return nullptr; }
    PyTuple_SET_ITEM(args.get(), i, field);  // steals field
  }
  return Py_BuildValue("(OO)", reinterpret_cast<PyObject*>(Py_TYPE(self)), args.get());
}

PyMethodDef shape_methods[] = {
    {"__reduce__", method_cast(shape_reduce), METH_NOARGS, nullptr},
    {},
};

int shape_type_ready(int kind) {
  ShapeType* st = &shape_types[kind];
  if (st->type.tp_flags & Py_TPFLAGS_READY) { return 0; }
  const ShapeDesc* desc = &shape_descs[kind];
  st->desc = desc;
  std::string format = "|";
  for (int i = 0; i < desc->count; ++i) {
    st->members[i] = PyMemberDef{desc->fields[i], desc->is_float ? T_FLOAT : T_INT,
                                 static_cast<Py_ssize_t>(offsetof(ShapeObject, cells) + 4 * i), READONLY, nullptr};
    st->kwlist[i] = const_cast<char*>(desc->fields[i]);
    format += desc->is_float ? 'f' : 'i';
  }
  format += ':';
  format += desc->name;
  std::memcpy(st->format, format.c_str(), format.size() + 1);

  PyTypeObject* t = &st->type;
  t->tp_name = desc->qualified;
  t->tp_basicsize = sizeof(ShapeObject);
  t->tp_dealloc = shape_dealloc;
  t->tp_repr = shape_repr;
  t->tp_hash = shape_hash;
  t->tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE;
  t->tp_doc = desc->doc;
  t->tp_richcompare = shape_richcompare;
  t->tp_members = st->members;
  t->tp_methods = shape_methods;
  t->tp_new = shape_new;
  return ready_static_type(t);
}

// Reads one tuple item into field i; -1 with an exception on failure.
int cell_from_item(const ShapeDesc* desc, PyObject* item, Cells* cells, int i) {
  PyNumberMethods* nb = Py_TYPE(item)->tp_as_number;
  if (desc->is_float) {
    if (nb == nullptr || (nb->nb_float == nullptr && nb->nb_index == nullptr)) {
      return -1;  // the caller reports the TypeError
    }
    double value = PyFloat_AsDouble(item);
    if (value == -1.0 && PyErr_Occurred()) { return -1; }
    cells->f[i] = static_cast<float>(value);
    return 0;
  }
  if (nb == nullptr || nb->nb_index == nullptr) { return -1; }
  PyRef index = PyRef::steal(PyNumber_Index(item));
  if (!index) { return -1; }
  int overflow = 0;
  long long value = PyLong_AsLongLongAndOverflow(index.get(), &overflow);
  if (value == -1 && PyErr_Occurred()) { return -1; }
  if (overflow != 0 || value < INT32_MIN || value > INT32_MAX) {
    PyErr_Format(PyExc_OverflowError, "%s.%s out of range for a 32-bit integer: %R", desc->name, desc->fields[i],
                 index.get());
    return -1;
  }
  cells->i[i] = static_cast<int32_t>(value);
  return 0;
}

int shape_cannot_build(const ShapeDesc* desc, PyObject* obj) {
  PyErr_Format(PyExc_TypeError, "can't build %s value from '%.200s'", desc->name, short_type_name(obj));
  return 0;
}

int shape_convert(int kind, PyObject* obj, void* out_value) {
  ShapeType* st = &shape_types[kind];
  const ShapeDesc* desc = st->desc;
  Cells cells{};
  if (Py_TYPE(obj) == &st->type) {
    cells = as_shape(obj)->cells;
  } else if (desc->widened_from >= 0 && Py_TYPE(obj) == &shape_types[desc->widened_from].type) {
    const Cells& narrow = as_shape(obj)->cells;
    for (int i = 0; i < desc->count; ++i) { cells.f[i] = static_cast<float>(narrow.i[i]); }
  } else if (PyTuple_Check(obj) && PyTuple_GET_SIZE(obj) == desc->count) {
    for (int i = 0; i < desc->count; ++i) {
      if (cell_from_item(desc, PyTuple_GET_ITEM(obj, i), &cells, i) < 0) {
        // Keep a range error; anything else is a value of the wrong kind.
        if (PyErr_ExceptionMatches(PyExc_OverflowError)) { return 0; }
        PyErr_Clear();
        return shape_cannot_build(desc, obj);
      }
    }
  } else {
    return shape_cannot_build(desc, obj);
  }
  std::memcpy(out_value, &cells, static_cast<size_t>(desc->count) * 4);
  return 1;
}

PyObject* shape_build(int kind, const void* value) {
  Cells cells{};
  std::memcpy(&cells, value, static_cast<size_t>(shape_descs[kind].count) * 4);
  return shape_from_cells(&shape_types[kind], cells);
}

template <int Kind>
int shape_convert_entry(PyObject* obj, void* out_value) {
  return shape_convert(Kind, obj, out_value);
}

template <int Kind>
PyObject* shape_build_entry(const void* value) {
  return shape_build(Kind, value);
}

#define MV_SHAPE_API(kind) \
  { reinterpret_cast<void*>(&shape_convert_entry<kind>), reinterpret_cast<void*>(&shape_build_entry<kind>) }

void* shape_api[kShapeKinds][MV_PYDRAWING_API_ENTRIES] = {
    MV_SHAPE_API(kPoint), MV_SHAPE_API(kPointF),    MV_SHAPE_API(kSize),
    MV_SHAPE_API(kSizeF), MV_SHAPE_API(kRectangle), MV_SHAPE_API(kRectangleF),
};

// ---------------------------------------------------------------------------
// Color

struct ColorObject {
  PyObject_HEAD
  MvColor value;
};

PyTypeObject color_type{};

ColorObject* as_color(PyObject* obj) { return reinterpret_cast<ColorObject*>(obj); }
uint32_t color_bits(PyObject* obj) { return static_cast<uint32_t>(as_color(obj)->value.argb); }

PyObject* color_make(uint32_t argb, bool is_empty) {
  PyObject* self = color_type.tp_alloc(&color_type, 0);
  if (self != nullptr) {
    as_color(self)->value.argb = static_cast<int32_t>(argb);
    as_color(self)->value.is_empty = is_empty ? 1 : 0;
  }
  return self;
}

uint32_t pack_argb(int a, int r, int g, int b) {
  return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
         static_cast<uint32_t>(b);
}

int check_component(const char* name, int value) {
  if (value < 0 || value > 255) {
    PyErr_Format(PyExc_ValueError, "Color component '%s' must be in 0..255, got %d", name, value);
    return -1;
  }
  return 0;
}

// An ARGB int: signed as .NET keeps it, or unsigned as written in hex (0xFFFF0000).
// -1 with TypeError for a non-int, OverflowError outside -2**31 .. 2**32-1.
int argb_from_int(PyObject* obj, uint32_t* out) {
  if (!PyIndex_Check(obj)) {
    PyErr_Format(PyExc_TypeError, "can't build Color value from '%.200s'", short_type_name(obj));
    return -1;
  }
  PyRef index = PyRef::steal(PyNumber_Index(obj));
  if (!index) { return -1; }
  int overflow = 0;
  long long value = PyLong_AsLongLongAndOverflow(index.get(), &overflow);
  if (value == -1 && PyErr_Occurred()) { return -1; }
  if (overflow != 0 || value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) {
    PyErr_Format(PyExc_OverflowError, "ARGB value out of range: %R", index.get());
    return -1;
  }
  *out = static_cast<uint32_t>(value);
  return 0;
}

PyObject* color_new(PyTypeObject*, PyObject* args, PyObject* kwds) {
  static const char* kwlist[] = {"a", "r", "g", "b", nullptr};
  int a = 255, r = 0, g = 0, b = 0;
  if (!PyArg_ParseTupleAndKeywords(args, kwds, "|iiii:Color", const_cast<char**>(kwlist), &a, &r, &g, &b)) {
    return nullptr;
  }
  if (check_component("a", a) < 0 || check_component("r", r) < 0 || check_component("g", g) < 0 ||
      check_component("b", b) < 0) {
    return nullptr;
  }
  return color_make(pack_argb(a, r, g, b), false);
}

// Color.from_argb(argb) / from_argb(r, g, b) / from_argb(a, r, g, b), as in .NET.
PyObject* color_from_argb(PyObject*, PyObject* args) {
  Py_ssize_t n = PyTuple_GET_SIZE(args);
  if (n == 1) {
    uint32_t argb = 0;
    if (argb_from_int(PyTuple_GET_ITEM(args, 0), &argb) < 0) { return nullptr; }
    return color_make(argb, false);
  }
  int a = 255, r = 0, g = 0, b = 0;
  if (n == 3) {
    if (!PyArg_ParseTuple(args, "iii:from_argb", &r, &g, &b)) { return nullptr; }
  } else if (n == 4) {
    if (!PyArg_ParseTuple(args, "iiii:from_argb", &a, &r, &g, &b)) { return nullptr; }
  } else {
    PyErr_Format(PyExc_TypeError, "from_argb() takes 1, 3 or 4 arguments (%zd given)", n);
    return nullptr;
  }
  if (check_component("a", a) < 0 || check_component("r", r) < 0 || check_component("g", g) < 0 ||
      check_component("b", b) < 0) {
    return nullptr;
  }
  return color_make(pack_argb(a, r, g, b), false);
}

PyObject* color_to_argb(PyObject* self, PyObject*) { return PyLong_FromUnsignedLong(color_bits(self)); }

PyObject* color_get_a(PyObject* self, void*) { return PyLong_FromLong(color_bits(self) >> 24); }
PyObject* color_get_r(PyObject* self, void*) { return PyLong_FromLong((color_bits(self) >> 16) & 0xff); }
PyObject* color_get_g(PyObject* self, void*) { return PyLong_FromLong((color_bits(self) >> 8) & 0xff); }
PyObject* color_get_b(PyObject* self, void*) { return PyLong_FromLong(color_bits(self) & 0xff); }
PyObject* color_get_is_empty(PyObject* self, void*) { return PyBool_FromLong(as_color(self)->value.is_empty); }

PyObject* color_repr(PyObject* self) {
  if (as_color(self)->value.is_empty) { return PyUnicode_FromString("Color.empty"); }
  uint32_t bits = color_bits(self);
  return PyUnicode_FromFormat("Color(a=%u, r=%u, g=%u, b=%u)", bits >> 24, (bits >> 16) & 0xff, (bits >> 8) & 0xff,
                              bits & 0xff);
}

// Equal when both the ARGB value and emptiness agree: Color.empty is not
// transparent black.  Named constants compare by value.
PyObject* color_richcompare(PyObject* self, PyObject* other, int op) {
  if ((op != Py_EQ && op != Py_NE) || Py_TYPE(other) != &color_type) { Py_RETURN_NOTIMPLEMENTED; }
  const MvColor& a = as_color(self)->value;
  const MvColor& b = as_color(other)->value;
  bool equal = a.argb == b.argb && a.is_empty == b.is_empty;
  return PyBool_FromLong(equal == (op == Py_EQ));
}

Py_hash_t color_hash(PyObject* self) {
  HashMixer mixer;
  mixer.add(color_bits(self));
  mixer.add(static_cast<Py_uhash_t>(as_color(self)->value.is_empty));
  return mixer.finish();
}

void color_dealloc(PyObject* self) { Py_TYPE(self)->tp_free(self); }

// __reduce__: Color(a, r, g, b), or the Color.empty attribute, which no
// constructor call gives.
PyObject* color_reduce(PyObject* self, PyObject*) {
  if (as_color(self)->value.is_empty) {
    PyObject* builtins = PyEval_GetBuiltins();  // borrowed
    PyObject* getattr_fn = builtins != nullptr ? PyDict_GetItemString(builtins, "getattr") : nullptr;
    if (getattr_fn == nullptr) {
      PyErr_SetString(PyExc_RuntimeError, "builtins.getattr is missing");
      return nullptr;
    }
    return Py_BuildValue("(O(Os))", getattr_fn, reinterpret_cast<PyObject*>(&color_type), "empty");
  }
  uint32_t bits = color_bits(self);
  return Py_BuildValue("(O(iiii))", reinterpret_cast<PyObject*>(&color_type), bits >> 24, (bits >> 16) & 0xff,
                       (bits >> 8) & 0xff, bits & 0xff);
}

PyMethodDef color_methods[] = {
    {"__reduce__", method_cast(color_reduce), METH_NOARGS, nullptr},
    {"from_argb", method_cast(color_from_argb), METH_VARARGS | METH_CLASS,
     "from_argb(argb) or from_argb([a,] r, g, b): a Color from an ARGB int or components."},
    {"to_argb", method_cast(color_to_argb), METH_NOARGS, "The colour as an unsigned 0xAARRGGBB int."},
    {},
};

PyGetSetDef color_getset[] = {
    {"a", color_get_a, nullptr, "alpha, 0..255", nullptr},
    {"r", color_get_r, nullptr, "red, 0..255", nullptr},
    {"g", color_get_g, nullptr, "green, 0..255", nullptr},
    {"b", color_get_b, nullptr, "blue, 0..255", nullptr},
    {"is_empty", color_get_is_empty, nullptr, "True only for Color.empty", nullptr},
    {},
};

struct NamedColor {
  const char* name;
  uint32_t argb;
};

// The .NET values of the same names.
constexpr NamedColor named_colors[] = {
    {"transparent", 0x00FFFFFFu}, {"black", 0xFF000000u},  {"white", 0xFFFFFFFFu},
    {"red", 0xFFFF0000u},         {"green", 0xFF008000u},  {"lime", 0xFF00FF00u},
    {"blue", 0xFF0000FFu},        {"yellow", 0xFFFFFF00u}, {"gray", 0xFF808080u},
};

int color_add_constant(const char* name, PyObject* value) {
  return value == nullptr ? -1 : PyDict_SetItemString(color_type.tp_dict, name, value);
}

int color_type_ready() {
  if (color_type.tp_flags & Py_TPFLAGS_READY) { return 0; }
  color_type.tp_name = "morvax.pydrawing.Color";
  color_type.tp_basicsize = sizeof(ColorObject);
  color_type.tp_dealloc = color_dealloc;
  color_type.tp_repr = color_repr;
  color_type.tp_hash = color_hash;
  color_type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE;
  color_type.tp_doc = "Color(a=255, r=0, g=0, b=0): an ARGB colour.  Color.empty stands for no colour.";
  color_type.tp_richcompare = color_richcompare;
  color_type.tp_methods = color_methods;
  color_type.tp_getset = color_getset;
  color_type.tp_new = color_new;
  if (ready_static_type(&color_type) < 0) { return -1; }
  // Class attributes go straight into the dict: the type is immutable to Python code.
  if (color_add_constant("empty", PyRef::steal(color_make(0, true)).get()) < 0) { return -1; }
  for (const NamedColor& named : named_colors) {
    if (color_add_constant(named.name, PyRef::steal(color_make(named.argb, false)).get()) < 0) { return -1; }
  }
  PyType_Modified(&color_type);
  return 0;
}

int color_convert(PyObject* obj, void* out_value) {
  MvColor value{};
  if (Py_TYPE(obj) == &color_type) {
    value = as_color(obj)->value;
  } else {
    uint32_t argb = 0;
    if (argb_from_int(obj, &argb) < 0) { return 0; }
    value.argb = static_cast<int32_t>(argb);
  }
  std::memcpy(out_value, &value, sizeof value);
  return 1;
}

PyObject* color_build(const void* value) {
  MvColor color;
  std::memcpy(&color, value, sizeof color);
  return color_make(static_cast<uint32_t>(color.argb), color.is_empty != 0);
}

void* color_api[MV_PYDRAWING_API_ENTRIES] = {
    reinterpret_cast<void*>(&color_convert),
    reinterpret_cast<void*>(&color_build),
};

// ---------------------------------------------------------------------------
// The module

PyModuleDef pydrawing_module =
    single_phase_module("morvax.pydrawing", "Drawing value types for the morvax.velto extension.", nullptr);

int add_type_and_capsule(PyObject* module, PyTypeObject* type, const char* type_attr, void** api,
                         const char* capsule_attr, const char* capsule_name) {
  if (PyModule_AddObjectRef(module, type_attr, reinterpret_cast<PyObject*>(type)) < 0) { return -1; }
  PyRef capsule = PyRef::steal(PyCapsule_New(api, capsule_name, nullptr));
  if (!capsule) { return -1; }
  return PyModule_AddObjectRef(module, capsule_attr, capsule.get());
}

PyObject* init_pydrawing() {
  if (version_type_ready(&version_type, "morvax.pydrawing._ModuleVersionType") < 0 || color_type_ready() < 0) {
    return nullptr;
  }
  for (int kind = 0; kind < kShapeKinds; ++kind) {
    if (shape_type_ready(kind) < 0) { return nullptr; }
  }
  PyRef module = PyRef::steal(PyModule_Create(&pydrawing_module));
  if (!module || add_version_values(module.get(), &version_type) < 0) { return nullptr; }
  if (add_type_and_capsule(module.get(), &color_type, "Color", color_api, "_C_APITV1_Color",
                           MV_PYDRAWING_COLOR_CAPSULE) < 0) {
    return nullptr;
  }
  for (int kind = 0; kind < kShapeKinds; ++kind) {
    const ShapeDesc& desc = shape_descs[kind];
    if (add_type_and_capsule(module.get(), &shape_types[kind].type, desc.name, shape_api[kind], desc.capsule_attr,
                             desc.capsule_name) < 0) {
      return nullptr;
    }
  }
  return module.release();
}

}  // namespace
}  // namespace morvax::siblings

PyMODINIT_FUNC PyInit_pydrawing(void) { return morvax::siblings::init_pydrawing(); }
