// _StreamWrapper: a .NET Stream as a Python file object over bytes (read, readline, write,
// seek, iteration over lines, with), each operation one call of the SiApiStream interop
// class. The closed flag belongs to this adapter alone: close() and __exit__ set it, and
// the .NET stream's own state is not consulted. Reading to the end and reading a line
// grow one bytes object in place; a line read past its end seeks back, so line reading
// needs a seekable stream.
#include <algorithm>
#include <climits>
#include <cstring>

#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/python_errors.h"
#include "host/object_host.h"
#include "interop/containers/adapters.h"
#include "interop/converters.h"
#include "interop/error_bridge.h"

namespace morvax::containers {

namespace {

constexpr Py_ssize_t kMaxRead = INT32_MAX;  // the largest bytes object one read fills

bool IsClosed(PyObject* self) { return reinterpret_cast<StreamObject*>(self)->closed != 0; }
void MarkClosed(PyObject* self) { reinterpret_cast<StreamObject*>(self)->closed = 1; }

template <typename Entry>
Entry At(int slot) {
  return reinterpret_cast<Entry>(SlotsOf(InteropClass::Stream)[slot]);
}

bool Failed() { return PyErr_Occurred() != nullptr; }

// --- the SiApiStream calls ----------------------------------------------------------------

int32_t CanDo(PyObject* self, int slot) { return At<int32_t (*)(uint32_t)>(slot)(HandleOf(self)) & 0xFF; }
int64_t Position(PyObject* self) { return At<int64_t (*)(uint32_t)>(slot::kStreamPosition)(HandleOf(self)); }
void Close(PyObject* self) { At<void (*)(uint32_t)>(slot::kStreamClose)(HandleOf(self)); }
void Flush(PyObject* self) { At<void (*)(uint32_t)>(slot::kStreamFlush)(HandleOf(self)); }
int32_t Read(PyObject* self, char* buffer, Py_ssize_t count) {
  return At<int32_t (*)(uint32_t, char*, int32_t)>(slot::kStreamRead)(HandleOf(self), buffer,
                                                                      static_cast<int32_t>(count));
}
int64_t Seek(PyObject* self, int64_t offset, int32_t origin) {
  return At<int64_t (*)(uint32_t, int64_t, int32_t)>(slot::kStreamSeek)(HandleOf(self), offset, origin);
}
int64_t SetLength(PyObject* self, int32_t useCurrent, int64_t size) {
  return At<int64_t (*)(uint32_t, int32_t, int64_t)>(slot::kStreamSetLength)(HandleOf(self), useCurrent, size);
}
void Write(PyObject* self, const char* bytes, Py_ssize_t count) {
  auto write = At<void (*)(uint32_t, const char*, int32_t)>(slot::kStreamWrite);
  // One Write for any buffer a .NET call can take; larger ones in pieces of that size.
  do {
    auto piece = static_cast<int32_t>(std::min<Py_ssize_t>(count, INT32_MAX));
    write(HandleOf(self), bytes, piece);
    bytes += piece;
    count -= piece;
  } while (count > 0 && !Failed());
}

// --- the checks ---------------------------------------------------------------------------

bool RefuseClosed(PyObject* self) {
  if (!IsClosed(self)) return false;
  PyErr_SetString(PyExc_ValueError, "I/O operation on closed stream");
  return true;
}

bool RefuseUnseekable(PyObject* self) {
  int32_t seekable = CanDo(self, slot::kStreamCanSeek);
  if (Failed()) {
    RaiseChained(PyExc_TypeError,
                 "the operation supported only for seekable inner streams. an exception was thrown during "
                 "'CanSeek' check");
    return true;
  }
  if (seekable != 0) return false;
  PyErr_SetString(PyExc_TypeError,
                  "the operation supported only for seekable inner streams. the inner stream is not seekable");
  return true;
}

// The optional size argument of read, readline and readlines: an integer or None (-1).
bool SizeArgument(PyObject* args, const char* name, Py_ssize_t* size) {
  Py_ssize_t given = PyTuple_GET_SIZE(args);
  if (CheckArgCount(given, name, 0, 1)) return false;
  *size = -1;
  if (given == 0 || PyTuple_GET_ITEM(args, 0) == Py_None) return true;
  PyObject* value = PyTuple_GET_ITEM(args, 0);
  if (!PyIndex_Check(value)) {
    PyErr_Format(PyExc_TypeError, "argument should be integer or None, not '%.200s'", Py_TYPE(value)->tp_name);
    return false;
  }
  *size = PyNumber_AsSsize_t(value, PyExc_OverflowError);
  return !(*size == -1 && Failed());
}

// --- reading into a growing bytes object ----------------------------------------------------

PyObject* OverflowedRead() {
  PyErr_SetString(PyExc_OverflowError, "unbounded read returned more bytes than a Python bytes buffer can hold");
  return nullptr;
}

// The next size of a full buffer: small ones grow by 4 KB, middling ones triple, large
// ones by an eighth (64 KB at least); never beyond cap.
Py_ssize_t Grown(Py_ssize_t size, Py_ssize_t cap) {
  Py_ssize_t increment = size <= 8192 ? 4096 : size <= 65536 ? size * 2 : std::max<Py_ssize_t>(size / 8, 65536);
  return std::min(size + increment, cap);
}

// A Read into the free part of the buffer; -1 with an error. A count .NET could not have
// read is an error too, never memory past the buffer.
Py_ssize_t ReadInto(PyObject* self, PyObject* bytes, Py_ssize_t filled) {
  Py_ssize_t room = PyBytes_GET_SIZE(bytes) - filled;
  int32_t count = Read(self, PyBytes_AS_STRING(bytes) + filled, room);
  if (Failed()) return -1;
  if (count < 0 || count > room) {
    PyErr_Format(PyExc_RuntimeError, "the .NET stream reported %d bytes read into a buffer of %zd", count, room);
    return -1;
  }
  return count;
}

PyObject* Shrunk(PyRef& bytes, Py_ssize_t length) {
  PyObject* result = bytes.release();
  if (_PyBytes_Resize(&result, length) < 0) return nullptr;
  return result;
}

PyObject* ReadToEnd(PyObject* self) {
  PyRef bytes = PyRef::steal(PyBytes_FromStringAndSize(nullptr, 1024));
  if (!bytes) return nullptr;
  Py_ssize_t filled = 0;
  while (true) {
    Py_ssize_t count = ReadInto(self, bytes.get(), filled);
    if (count < 0) return nullptr;
    if (count == 0) break;
    filled += count;
    Py_ssize_t size = PyBytes_GET_SIZE(bytes.get());
    if (filled == size) {
      if (size == kMaxRead) return OverflowedRead();
      PyObject* grown = bytes.release();
      if (_PyBytes_Resize(&grown, Grown(size, kMaxRead)) < 0) return nullptr;
      bytes = PyRef::steal(grown);
    }
  }
  return Shrunk(bytes, filled);
}

// One line of at most size bytes (no limit when size < 0). What was read past the line
// end is given back with a seek relative to the position.
PyObject* ReadLine(PyObject* self, Py_ssize_t size) {
  Py_ssize_t cap = size < 0 ? kMaxRead : std::min(size, kMaxRead);
  PyRef bytes = PyRef::steal(PyBytes_FromStringAndSize(nullptr, std::min<Py_ssize_t>(cap, 1024)));
  if (!bytes) return nullptr;
  Py_ssize_t filled = 0, line = -1, readPast = 0;
  while (line < 0) {
    Py_ssize_t count = ReadInto(self, bytes.get(), filled);
    if (count < 0) return nullptr;
    if (count == 0) {
      line = filled;
      break;
    }
    const char* start = PyBytes_AS_STRING(bytes.get()) + filled;
    const void* feed = std::memchr(start, '\n', static_cast<size_t>(count));
    filled += count;
    if (feed != nullptr) {
      line = static_cast<const char*>(feed) - PyBytes_AS_STRING(bytes.get()) + 1;
      readPast = filled - line;
    } else if (filled == size) {
      line = filled;
    } else if (filled == PyBytes_GET_SIZE(bytes.get())) {
      if (filled == kMaxRead) return OverflowedRead();
      PyObject* grown = bytes.release();
      if (_PyBytes_Resize(&grown, Grown(filled, cap)) < 0) return nullptr;
      bytes = PyRef::steal(grown);
    }
  }
  if (readPast > 0) {
    Seek(self, -static_cast<int64_t>(readPast), 1);
    if (Failed()) return nullptr;
  }
  return Shrunk(bytes, line);
}

// --- the methods ----------------------------------------------------------------------------

PyObject* StreamClose(PyObject* self, PyObject*) {
  if (!IsClosed(self)) {
    if (RefuseInForkedChild()) return nullptr;
    Close(self);
    MarkClosed(self);  // also when Close failed: the stream is not used again
    if (Failed()) return nullptr;
  }
  Py_RETURN_NONE;
}

PyObject* StreamFlush(PyObject* self, PyObject*) {
  if (RefuseClosed(self)) return nullptr;
  Flush(self);
  if (Failed()) return nullptr;
  Py_RETURN_NONE;
}

template <int Slot>
PyObject* StreamCan(PyObject* self, PyObject*) {
  if (RefuseClosed(self)) return nullptr;
  int32_t answer = CanDo(self, Slot);
  if (Failed()) return nullptr;
  return PyBool_FromLong(answer != 0);
}

PyObject* StreamTell(PyObject* self, PyObject*) {
  if (RefuseClosed(self)) return nullptr;
  int64_t position = Position(self);
  if (Failed()) return nullptr;
  return PyLong_FromLongLong(position);
}

PyObject* StreamSeek(PyObject* self, PyObject* args) {
  int64_t offset = 0;
  int whence = 0;
  if (!PyArg_ParseTuple(args, "O&|i:seek", ConvertInt64, &offset, &whence)) return nullptr;
  if (whence < 0 || whence > 2) {
    PyErr_Format(PyExc_ValueError, "invalid whence (%i, should be 0, 1 or 2)", whence);
    return nullptr;
  }
  if (whence == 0 && offset < 0) {
    PyErr_Format(PyExc_ValueError, "negative seek value %zd", static_cast<Py_ssize_t>(offset));
    return nullptr;
  }
  if (RefuseClosed(self)) return nullptr;
  int64_t position = Seek(self, offset, whence);
  if (Failed()) return nullptr;
  return PyLong_FromLongLong(position);
}

PyObject* StreamTruncate(PyObject* self, PyObject* args) {
  Py_ssize_t given = PyTuple_GET_SIZE(args);
  if (CheckArgCount(given, "truncate", 0, 1)) return nullptr;
  int64_t size = 0;
  bool useCurrent = given == 0 || PyTuple_GET_ITEM(args, 0) == Py_None;
  if (!useCurrent && !ConvertInt64(PyTuple_GET_ITEM(args, 0), &size)) return nullptr;
  if (RefuseClosed(self)) return nullptr;
  int64_t length = SetLength(self, useCurrent ? 1 : 0, size);
  if (Failed()) return nullptr;
  return PyLong_FromLongLong(length);
}

// Writes one bytes-like object whole; its length, or -1 with an error.
Py_ssize_t WriteOne(PyObject* self, PyObject* data) {
  if (RefuseClosed(self)) return -1;
  Py_buffer buffer;
  if (!PyObject_CheckBuffer(data) || PyObject_GetBuffer(data, &buffer, PyBUF_FULL_RO) < 0) {
    if (IsInterruptPending()) return -1;
    PyErr_Clear();
    PyErr_Format(PyExc_TypeError, "write argument must be bytes-like object, not '%s'",
                 data == Py_None ? "None" : Py_TYPE(data)->tp_name);
    return -1;
  }
  if (!PyBuffer_IsContiguous(&buffer, 'C')) {
    PyBuffer_Release(&buffer);
    PyErr_Format(PyExc_TypeError, "write argument must be contiguous buffer, not '%s'", Py_TYPE(data)->tp_name);
    return -1;
  }
  Write(self, static_cast<const char*>(buffer.buf), buffer.len);
  Py_ssize_t length = buffer.len;
  PyBuffer_Release(&buffer);
  return Failed() ? -1 : length;
}

PyObject* StreamWrite(PyObject* self, PyObject* data) {
  Py_ssize_t length = WriteOne(self, data);
  return length < 0 ? nullptr : PyLong_FromSsize_t(length);
}

// Lines written before a failure stay written.
PyObject* StreamWriteLines(PyObject* self, PyObject* lines) {
  if (RefuseClosed(self)) return nullptr;
  PyRef iterator = PyRef::steal(PyObject_GetIter(lines));
  if (!iterator) return nullptr;
  while (PyRef line = PyRef::steal(PyIter_Next(iterator.get()))) {
    if (WriteOne(self, line.get()) < 0) return nullptr;
  }
  if (Failed()) return nullptr;
  Py_RETURN_NONE;
}

PyObject* StreamReadInto(PyObject* self, PyObject* target) {
  if (RefuseClosed(self)) return nullptr;
  Py_buffer buffer;
  if (!PyObject_CheckBuffer(target) || PyObject_GetBuffer(target, &buffer, PyBUF_FULL) < 0) {
    if (IsInterruptPending()) return nullptr;
    PyErr_Clear();
    PyErr_Format(PyExc_TypeError, "readinto argument must be read-write bytes-like object, not '%s'",
                 Py_TYPE(target)->tp_name);
    return nullptr;
  }
  if (!PyBuffer_IsContiguous(&buffer, 'C')) {
    PyBuffer_Release(&buffer);
    PyErr_Format(PyExc_TypeError, "readinto argument must be read-write contiguous buffer, not '%s'",
                 Py_TYPE(target)->tp_name);
    return nullptr;
  }
  Py_ssize_t room = std::min<Py_ssize_t>(buffer.len, INT32_MAX);
  int32_t count = Read(self, static_cast<char*>(buffer.buf), room);
  PyBuffer_Release(&buffer);
  if (Failed()) return nullptr;
  if (count < 0 || count > room) {
    PyErr_Format(PyExc_RuntimeError, "the .NET stream reported %d bytes read into a buffer of %zd", count, room);
    return nullptr;
  }
  return PyLong_FromLong(count);
}

PyObject* StreamRead(PyObject* self, PyObject* args) {
  Py_ssize_t size = -1;
  if (!SizeArgument(args, "read", &size)) return nullptr;
  if (RefuseClosed(self)) return nullptr;
  if (size < 0) return ReadToEnd(self);
  PyRef bytes = PyRef::steal(PyBytes_FromStringAndSize(nullptr, std::min(size, kMaxRead)));
  if (!bytes) return nullptr;
  Py_ssize_t count = ReadInto(self, bytes.get(), 0);
  if (count < 0) return nullptr;
  return Shrunk(bytes, count);
}

PyObject* StreamReadAll(PyObject* self, PyObject*) {
  if (RefuseClosed(self)) return nullptr;
  return ReadToEnd(self);
}

PyObject* StreamReadLine(PyObject* self, PyObject* args) {
  Py_ssize_t size = -1;
  if (!SizeArgument(args, "readline", &size)) return nullptr;
  if (RefuseClosed(self) || RefuseUnseekable(self)) return nullptr;
  return ReadLine(self, size);
}

PyObject* StreamReadLines(PyObject* self, PyObject* args) {
  Py_ssize_t hint = -1;
  if (!SizeArgument(args, "readlines", &hint)) return nullptr;
  if (RefuseClosed(self) || RefuseUnseekable(self)) return nullptr;
  PyRef lines = PyRef::steal(PyList_New(0));
  if (!lines) return nullptr;
  if (hint <= 0) {
    PyRef extended = PyRef::steal(PyObject_CallMethodOneArg(lines.get(), Interned(Name::extend), self));
    return extended ? lines.release() : nullptr;
  }
  for (Py_ssize_t total = 0; total < hint;) {
    PyRef line = PyRef::steal(ReadLine(self, -1));
    if (!line) return nullptr;
    if (PyBytes_GET_SIZE(line.get()) == 0) break;
    total += PyBytes_GET_SIZE(line.get());
    if (PyList_Append(lines.get(), line.get()) < 0) return nullptr;
  }
  return lines.release();
}

PyObject* StreamFileNo(PyObject*, PyObject*) {
  PyErr_SetString(PyExc_ValueError, "fileno method is not supported");
  return nullptr;
}

PyObject* StreamIsATty(PyObject* self, PyObject*) {
  if (RefuseClosed(self)) return nullptr;
  Py_RETURN_FALSE;
}

PyObject* StreamEnter(PyObject* self, PyObject*) {
  Py_INCREF(self);
  return self;
}

// Disposes the .NET stream; the adapter counts as closed whatever the outcome.
PyObject* StreamExit(PyObject* self, PyObject*) {
  if (RefuseInForkedChild()) return nullptr;
  host::ObjectHost::Instance().Dispose(HandleOf(self));
  MarkClosed(self);
  if (Failed()) return nullptr;
  Py_RETURN_NONE;
}

PyObject* StreamGetClosed(PyObject* self, void*) { return PyBool_FromLong(IsClosed(self)); }

}  // namespace

PyMethodDef kStreamMethods[] = {
    {"close", StreamClose, METH_NOARGS, "close() -> None\n\nCloses the .NET stream; later calls do nothing."},
    {"flush", StreamFlush, METH_NOARGS, "flush() -> None"},
    {"readable", StreamCan<slot::kStreamCanRead>, METH_NOARGS, "readable() -> bool"},
    {"seekable", StreamCan<slot::kStreamCanSeek>, METH_NOARGS, "seekable() -> bool"},
    {"writable", StreamCan<slot::kStreamCanWrite>, METH_NOARGS, "writable() -> bool"},
    {"tell", StreamTell, METH_NOARGS, "tell() -> int"},
    {"seek", StreamSeek, METH_VARARGS, "seek(offset, whence=0) -> int"},
    {"truncate", StreamTruncate, METH_VARARGS,
     "truncate(size=None) -> int\n\nResizes the stream (to the position when no size is given)."},
    {"write", StreamWrite, METH_O, "write(b) -> int\n\nWrites the whole bytes-like object."},
    {"writelines", StreamWriteLines, METH_O, "writelines(lines) -> None"},
    {"readline", StreamReadLine, METH_VARARGS, "readline(size=-1) -> bytes\n\nNeeds a seekable stream."},
    {"readlines", StreamReadLines, METH_VARARGS, "readlines(hint=-1) -> list[bytes]\n\nNeeds a seekable stream."},
    {"readinto", StreamReadInto, METH_O, "readinto(b) -> int"},
    {"read", StreamRead, METH_VARARGS, "read(size=-1) -> bytes\n\nReads to the end when size is negative or None."},
    {"readall", StreamReadAll, METH_NOARGS, "readall() -> bytes"},
    {"fileno", StreamFileNo, METH_NOARGS, "fileno() -> int\n\nAlways raises ValueError: a .NET stream has none."},
    {"isatty", StreamIsATty, METH_NOARGS, "isatty() -> bool"},
    {"__enter__", StreamEnter, METH_NOARGS, "__enter__() -> self"},
    {"__exit__", StreamExit, METH_VARARGS, "__exit__(*exc_info) -> None\n\nDisposes the .NET stream."},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef kStreamGetSet[] = {
    {"closed", StreamGetClosed, nullptr, "Whether close() or __exit__ was called.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyObject* IterateStream(PyObject* self) {
  if (RefuseClosed(self) || RefuseUnseekable(self)) return nullptr;
  Py_INCREF(self);
  return self;
}

// An empty line ends the iteration (a null result without an error). The closed flag is
// not looked at: a stream closed during the loop is still read.
PyObject* NextLine(PyObject* self) {
  PyObject* line = ReadLine(self, -1);
  if (line != nullptr && PyBytes_GET_SIZE(line) == 0) {
    Py_DECREF(line);
    return nullptr;
  }
  return line;
}

}  // namespace morvax::containers
