/* The C interface of morvax.pyreflection: the handle tables published in its
   capsules.  Plain C, self-contained.

   Type, Object and Enum instances each own one .NET host handle (a uint32_t,
   0 meaning no object) and release it through the interop assembly's
   FreeInstance when they die.  Type and Enum are subtypes of Object.

   Each capsule holds a table laid out the same way:
     0  int handle(PyObject *obj, uint32_t *out_handle)
          the handle of an instance of exactly this kind (Type, Object or any
          subtype of it, Enum); 1 on success, 0 with TypeError otherwise.
     1  PyObject *make(uint32_t handle)
          a new instance of this kind owning handle (new reference); None for
          handle 0.  The handle passes to the call whatever happens: on failure
          it has already been released.
     2  int object_handle(PyObject *obj, uint32_t *out_handle)
          the handle of any Type, Object or Enum; 1 on success, 0 with TypeError.
   The Object table has one more entry:
     3  PyObject *wrap(PyTypeObject *type, uint32_t handle)
          like make, for an instance of type, which must be Object or a subtype
          of it (TypeError otherwise, the handle then released too). */
#ifndef MORVAX_PYREFLECTION_H
#define MORVAX_PYREFLECTION_H

#include <Python.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MV_PYREFLECTION_TYPE_CAPSULE "morvax.pyreflection._C_APIT_Type"
#define MV_PYREFLECTION_OBJECT_CAPSULE "morvax.pyreflection._C_APIT_Object"
#define MV_PYREFLECTION_ENUM_CAPSULE "morvax.pyreflection._C_APIT_Enum"

typedef int (*MvReflectionHandleFunc)(PyObject* obj, uint32_t* out_handle);
typedef PyObject* (*MvReflectionMakeFunc)(uint32_t handle);
typedef PyObject* (*MvReflectionWrapFunc)(PyTypeObject* type, uint32_t handle);

#define MV_PYREFLECTION_HANDLE_INDEX 0
#define MV_PYREFLECTION_MAKE_INDEX 1
#define MV_PYREFLECTION_OBJECT_HANDLE_INDEX 2
#define MV_PYREFLECTION_WRAP_INDEX 3 /* Object table only */
#define MV_PYREFLECTION_API_ENTRIES 3
#define MV_PYREFLECTION_OBJECT_API_ENTRIES 4

static inline MvReflectionHandleFunc MvReflection_Handle(void** api) {
  return (MvReflectionHandleFunc)api[MV_PYREFLECTION_HANDLE_INDEX];
}

static inline MvReflectionMakeFunc MvReflection_Make(void** api) {
  return (MvReflectionMakeFunc)api[MV_PYREFLECTION_MAKE_INDEX];
}

static inline MvReflectionHandleFunc MvReflection_ObjectHandle(void** api) {
  return (MvReflectionHandleFunc)api[MV_PYREFLECTION_OBJECT_HANDLE_INDEX];
}

static inline MvReflectionWrapFunc MvReflection_Wrap(void** object_api) {
  return (MvReflectionWrapFunc)object_api[MV_PYREFLECTION_WRAP_INDEX];
}

#ifdef __cplusplus
}
#endif

#endif /* MORVAX_PYREFLECTION_H */
