// Function tables taken from the sibling modules' capsules at start-up, kept for the process.
#pragma once

#include <Python.h>

#include <cstdint>

namespace morvax {

// Converts a Python object into a native drawing value (non-zero on success), and builds a
// Python object from one (new reference).
struct DrawingValueApi {
  int (*convert)(PyObject* object, void* outValue) = nullptr;
  PyObject* (*build)(const void* value) = nullptr;
};

struct SiblingApis {
  DrawingValueApi color, size, rectangleF, rectangle, sizeF, pointF, point;
  int (*typeHandleOf)(PyObject* object, uint32_t* outHandle) = nullptr;  // 1 on success
  PyObject* (*makeType)(uint32_t typeHandle) = nullptr;
  int (*objectHandleOf)(PyObject* object, uint32_t* outHandle) = nullptr;  // non-zero on success
  PyObject* (*makeEnum)(uint32_t boxedEnumHandle) = nullptr;
  // Turns a cast outcome (-1, 0, 1) and an object (borrowed, may be null) into the result.
  PyObject* (*castResult)(int32_t outcome, PyObject* object) = nullptr;
};

extern SiblingApis g_siblingApis;

// Imports morvax.pydrawing and morvax.pyreflection with their version check and stores the
// entries of their capsules. 0, or -1 with ImportError set.
int ImportCapsuleApis();

// Imports morvax.pygc with its version check and stores its cast-result function.
// 0, or -1 with ImportError set.
int ImportPygcApi();

}  // namespace morvax
