/* Compiles the public sibling headers as plain C, together, so they stay
   self-contained C headers a C client can include. */
#define PY_SSIZE_T_CLEAN
#include "morvax/pydrawing.h"
#include "morvax/pygc.h"
#include "morvax/pyreflection.h"
#include "morvax/version_value.h"

/* The layouts the .NET side mirrors; a change here is an interface change. */
_Static_assert(sizeof(MvColor) == 8, "MvColor layout");
_Static_assert(sizeof(MvRectangleF) == 16, "MvRectangleF layout");
_Static_assert(MV_PYREFLECTION_OBJECT_API_ENTRIES > MV_PYREFLECTION_WRAP_INDEX, "Object table");
