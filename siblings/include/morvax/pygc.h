/* The C interface of morvax.pygc: the function table published in the capsule
   morvax.pygc._C_APIF.  Plain C, self-contained.

   Fetch the table once with
       void **api = (void **)PyCapsule_Import(MV_PYGC_CAPSULE_NAME, 0);
   and call through MvPygc_CastResult(api). */
#ifndef MORVAX_PYGC_H
#define MORVAX_PYGC_H

#include <Python.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MV_PYGC_CAPSULE_NAME "morvax.pygc._C_APIF"

/* Outcomes reported by a cast or conversion to PygcCastResult. */
#define MV_PYGC_CAST_FAILED (-1) /* the cast did not succeed */
#define MV_PYGC_CAST_NONE 0      /* the cast gave no object (a null reference) */
#define MV_PYGC_CAST_OK 1        /* the cast gave obj */

/* Entry 0: PyObject *PygcCastResult(int32_t outcome, PyObject *obj)
   Turns the outcome of a cast into a Python result.  obj is borrowed and may be
   NULL.  Returns a new reference, or NULL with an exception set:
     - an exception already pending wins whatever the outcome: NULL, left as it is
       (a value returned with an error set would be a fault in the caller);
     - MV_PYGC_CAST_OK: obj; SystemError when obj is NULL (success without a value);
     - MV_PYGC_CAST_NONE: None;
     - MV_PYGC_CAST_FAILED: TypeError("cast failed");
     - any other outcome: SystemError naming the value. */
typedef PyObject* (*MvPygcCastResultFunc)(int32_t outcome, PyObject* obj);

#define MV_PYGC_CAST_RESULT_INDEX 0
#define MV_PYGC_API_ENTRIES 1

static inline MvPygcCastResultFunc MvPygc_CastResult(void** api) {
  return (MvPygcCastResultFunc)api[MV_PYGC_CAST_RESULT_INDEX];
}

#ifdef __cplusplus
}
#endif

#endif /* MORVAX_PYGC_H */
