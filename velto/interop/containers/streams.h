// The stream bridge as the rest of the runtime sees it: the stream argument record and its
// builder, the stream result, and the stream group of the static callback record through
// which .NET reads and writes a Python file object. The _StreamWrapper adapter (a .NET
// stream as a Python file object) is stream_wrapper.cpp; the _ShlBufferView that lends
// bytes to Python during a callback is buffer_view.cpp.
#pragma once

#include <Python.h>

#include <cstdint>

#include "interop/host_object.h"

namespace morvax::containers {

// How an argument of .NET type Stream is handed to .NET.
struct StreamArgument {
  int32_t kind;     // 0: a handle (0 for None); 2: a borrowed Python file object
  uintptr_t value;  // the handle, or the object
};

// None, a _StreamWrapper, a wrapped .NET Stream, or an instance of io.RawIOBase,
// io.BufferedIOBase or morvax.pycore.BytesAsStream. 1, or 0 with TypeError "can't build
// Stream from '%s'" (or the error met while asking).
int ConvertStream(PyObject* object, StreamArgument* out);

// A stream result: the Python object a call was given back as itself, else a wrapper of
// the .NET stream (its registered class, or _StreamWrapper). New reference or null; a
// handle is released on failure.
PyObject* StreamResult(const HostObjectRef& ref);
// Releases what a stream result owns when the call failed after .NET filled it.
void DiscardStreamResult(HostObjectRef& ref);

// The thirteen operations on a Python file object, in the order .NET reads them. Each
// answers -1 with a Python error pending on failure, except where noted.
struct StreamGroup {
  int32_t (*write)(PyObject* stream, const uint8_t* bytes, int32_t count);  // bytes taken, 0 for None
  int32_t (*writeByte)(PyObject* stream, uint8_t value);
  int32_t (*readInto)(PyObject* stream, uint8_t* buffer, int32_t count);  // bytes read, 0 for None
  int32_t (*readByte)(PyObject* stream);                                  // 0-255, -1 at the end, -2 on failure
  int64_t (*seek)(PyObject* stream, int64_t offset, int32_t origin);
  int32_t (*setLength)(PyObject* stream, int64_t length);  // 0
  int32_t (*flush)(PyObject* stream);                      // 0
  void (*close)(PyObject* stream);                         // failures are unraisable
  int32_t (*canRead)(PyObject* stream);                    // 1 or 0 (0 also when closed)
  int32_t (*canWrite)(PyObject* stream);
  int32_t (*canSeek)(PyObject* stream);
  int64_t (*tell)(PyObject* stream);
  int64_t (*length)(PyObject* stream);  // -2 not seekable, -3 closed: no error pending
};

const StreamGroup* StreamCallbackGroup();

// _ShlBufferView (buffer_view.cpp): bytes lent to Python for the length of one callback.
// The view owns a copy of the bytes, so nothing Python keeps can reach .NET memory; once
// expired it refuses every new buffer request, and its copy goes with the last export.
PyTypeObject* BufferViewType();
PyObject* NewBufferView(Py_ssize_t length, bool readOnly);
uint8_t* BufferViewData(PyObject* view);
void ExpireBufferView(PyObject* view);

}  // namespace morvax::containers
