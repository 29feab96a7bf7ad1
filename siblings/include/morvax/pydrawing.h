/* The C interface of morvax.pydrawing: the native layouts of its value types and
   the conversion tables published in its capsules.  Plain C, self-contained.

   Each type T of Color, Point, PointF, Size, SizeF, Rectangle, RectangleF has a
   capsule attribute _C_APITV1_T named "morvax.pydrawing._C_APITV1_T" holding a
   table of two entries:
     0  int convert(PyObject *obj, void *out_value)
          Writes obj as a native T into *out_value and returns non-zero.  Takes an
          instance of T; for Color also an int ARGB value (-2**31 .. 2**32-1); for
          the point and size types also a 2-tuple of numbers, for the rectangles a
          4-tuple; for the float types also the matching int type (Point for
          PointF, ...), as .NET widens them.  On failure returns 0 with TypeError
          ("can't build Point value from 'str'"), or OverflowError for an int out
          of range; *out_value is then left untouched.
     1  PyObject *build(const void *value)
          A new T instance holding *value (new reference), or NULL with an error.
   Integer fields take ints only (anything with __index__); float fields take any
   real number. */
#ifndef MORVAX_PYDRAWING_H
#define MORVAX_PYDRAWING_H

#include <Python.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
  int32_t argb;     /* 0xAARRGGBB as a signed 32-bit value, as .NET keeps it */
  int32_t is_empty; /* non-zero for Color.empty, which differs from transparent black */
} MvColor;

typedef struct {
  int32_t x, y;
} MvPoint;
typedef struct {
  float x, y;
} MvPointF;
typedef struct {
  int32_t width, height;
} MvSize;
typedef struct {
  float width, height;
} MvSizeF;
typedef struct {
  int32_t x, y, width, height;
} MvRectangle;
typedef struct {
  float x, y, width, height;
} MvRectangleF;

#define MV_PYDRAWING_CAPSULE_PREFIX "morvax.pydrawing."
#define MV_PYDRAWING_COLOR_CAPSULE "morvax.pydrawing._C_APITV1_Color"
#define MV_PYDRAWING_POINT_CAPSULE "morvax.pydrawing._C_APITV1_Point"
#define MV_PYDRAWING_POINTF_CAPSULE "morvax.pydrawing._C_APITV1_PointF"
#define MV_PYDRAWING_SIZE_CAPSULE "morvax.pydrawing._C_APITV1_Size"
#define MV_PYDRAWING_SIZEF_CAPSULE "morvax.pydrawing._C_APITV1_SizeF"
#define MV_PYDRAWING_RECTANGLE_CAPSULE "morvax.pydrawing._C_APITV1_Rectangle"
#define MV_PYDRAWING_RECTANGLEF_CAPSULE "morvax.pydrawing._C_APITV1_RectangleF"

typedef int (*MvDrawingConvertFunc)(PyObject* obj, void* out_value);
typedef PyObject* (*MvDrawingBuildFunc)(const void* value);

#define MV_PYDRAWING_CONVERT_INDEX 0
#define MV_PYDRAWING_BUILD_INDEX 1
#define MV_PYDRAWING_API_ENTRIES 2

static inline MvDrawingConvertFunc MvDrawing_Convert(void** api) {
  return (MvDrawingConvertFunc)api[MV_PYDRAWING_CONVERT_INDEX];
}

static inline MvDrawingBuildFunc MvDrawing_Build(void** api) {
  return (MvDrawingBuildFunc)api[MV_PYDRAWING_BUILD_INDEX];
}

#ifdef __cplusplus
}
#endif

#endif /* MORVAX_PYDRAWING_H */
