// morvax.pycore: BytesAsStream, an in-memory binary stream with the Python file
// object protocol, which the main extension hands to .NET code that wants a
// stream.  The bytes live in a std::vector<uint8_t>.
//
// Semantics follow io.BytesIO where it is sound, with two deliberate choices:
// seeking to a negative position is a ValueError whatever the whence (BytesIO
// quietly clamps whence 1 and 2 to 0), and truncate() past the end extends with
// zero bytes like a file does, so the size it returns is always the real size.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "common/py_ref.h"
#include "static_type.h"
#include "version_value.h"

namespace morvax::siblings {
namespace {

PyTypeObject version_type{};
PyTypeObject stream_type{};

// Holds a Py_buffer for the duration of a call.
class BufferView {
 public:
  BufferView() = default;
  BufferView(const BufferView&) = delete;
  BufferView& operator=(const BufferView&) = delete;
  ~BufferView() {
    if (held_) { PyBuffer_Release(&view_); }
  }
  // Returns 0, or -1 with the usual TypeError for an object without the buffer protocol.
  int acquire(PyObject* obj, int flags) {
    if (PyObject_GetBuffer(obj, &view_, flags) < 0) { return -1; }
    held_ = true;
    return 0;
  }
  uint8_t* data() const { return static_cast<uint8_t*>(view_.buf); }
  size_t size() const { return static_cast<size_t>(view_.len); }

 private:
  Py_buffer view_{};
  bool held_ = false;
};

struct StreamObject {
  PyObject_HEAD
  std::vector<uint8_t> data;  // constructed in stream_new, destroyed in stream_dealloc
  size_t pos;                 // may lie past the end: a write there zero-fills the gap
  bool closed;
};

StreamObject* as_stream(PyObject* obj) { return reinterpret_cast<StreamObject*>(obj); }

int check_open(StreamObject* self) {
  if (self->closed) {
    PyErr_SetString(PyExc_ValueError, "I/O operation on closed file.");
    return -1;
  }
  return 0;
}

// Turns a C++ allocation failure into MemoryError; vectors report huge sizes
// with length_error as well as bad_alloc.
template <typename F>
int guard_alloc(F&& f) {
  try {
    f();
    return 0;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {}
  PyErr_NoMemory();
  return -1;
}

// Checks a fastcall argument count, with the message CPython's own methods give.
bool check_positional(const char* name, Py_ssize_t nargs, Py_ssize_t min, Py_ssize_t max) {
  if (nargs < min) {
    PyErr_Format(PyExc_TypeError, "%s expected at least %zd argument%s, got %zd", name, min, min == 1 ? "" : "s",
                 nargs);
    return false;
  }
  if (nargs > max) {
    PyErr_Format(PyExc_TypeError, "%s expected at most %zd argument%s, got %zd", name, max, max == 1 ? "" : "s", nargs);
    return false;
  }
  return true;
}

// Optional size argument: None or a negative int means "all".
int size_arg(PyObject* arg, Py_ssize_t* out) {
  if (arg == nullptr || arg == Py_None) {
    *out = -1;
    return 0;
  }
  if (!PyIndex_Check(arg)) {
    PyErr_Format(PyExc_TypeError, "argument should be integer or None, not '%.200s'", Py_TYPE(arg)->tp_name);
    return -1;
  }
  Py_ssize_t value = PyNumber_AsSsize_t(arg, PyExc_OverflowError);
  if (value == -1 && PyErr_Occurred()) { return -1; }
  *out = value;
  return 0;
}

size_t remaining(const StreamObject* self) { return self->pos < self->data.size() ? self->data.size() - self->pos : 0; }

PyObject* take_bytes(StreamObject* self, size_t count) {
  PyObject* result = PyBytes_FromStringAndSize(
      count == 0 ? "" : reinterpret_cast<const char*>(self->data.data() + self->pos), static_cast<Py_ssize_t>(count));
  if (result != nullptr) { self->pos += count; }
  return result;
}

// Construction --------------------------------------------------------------------

PyObject* stream_new(PyTypeObject* type, PyObject*, PyObject*) {
  PyObject* obj = type->tp_alloc(type, 0);
  if (obj == nullptr) { return nullptr; }
  StreamObject* self = as_stream(obj);
  new (&self->data) std::vector<uint8_t>();  // memory from tp_alloc; no allocation yet
  self->pos = 0;
  self->closed = false;
  return obj;
}

// __init__(initial=b""): (re)starts the stream with a copy of initial, at position 0.
int stream_init(PyObject* obj, PyObject* args, PyObject* kwds) {
  static const char* kwlist[] = {"initial", nullptr};
  PyObject* initial = nullptr;
  if (!PyArg_ParseTupleAndKeywords(args, kwds, "|O:BytesAsStream", const_cast<char**>(kwlist), &initial)) { return -1; }
  StreamObject* self = as_stream(obj);
  BufferView view;
  if (initial != nullptr && initial != Py_None && view.acquire(initial, PyBUF_SIMPLE) < 0) { return -1; }
  if (guard_alloc([&] { self->data.assign(view.data(), view.data() + view.size()); }) < 0) { return -1; }
  self->pos = 0;
  self->closed = false;
  return 0;
}

void stream_dealloc(PyObject* obj) {
  as_stream(obj)->data.~vector();
  Py_TYPE(obj)->tp_free(obj);
}

// Reading ---------------------------------------------------------------------------

PyObject* stream_read(PyObject* obj, PyObject* const* args, Py_ssize_t nargs) {
  StreamObject* self = as_stream(obj);
  if (!check_positional("read", nargs, 0, 1)) { return nullptr; }
  Py_ssize_t size = -1;
  if (check_open(self) < 0 || size_arg(nargs > 0 ? args[0] : nullptr, &size) < 0) { return nullptr; }
  size_t count = remaining(self);
  if (size >= 0) { count = std::min(count, static_cast<size_t>(size)); }
  return take_bytes(self, count);
}

PyObject* stream_readline(PyObject* obj, PyObject* const* args, Py_ssize_t nargs) {
  StreamObject* self = as_stream(obj);
  if (!check_positional("readline", nargs, 0, 1)) { return nullptr; }
  Py_ssize_t size = -1;
  if (check_open(self) < 0 || size_arg(nargs > 0 ? args[0] : nullptr, &size) < 0) { return nullptr; }
  size_t count = remaining(self);
  if (size >= 0) { count = std::min(count, static_cast<size_t>(size)); }
  if (count > 0) {
    const uint8_t* start = self->data.data() + self->pos;
    const void* newline = std::memchr(start, '\n', count);
    if (newline != nullptr) { count = static_cast<size_t>(static_cast<const uint8_t*>(newline) - start) + 1; }
  }
  return take_bytes(self, count);
}

PyObject* stream_readinto(PyObject* obj, PyObject* target) {
  StreamObject* self = as_stream(obj);
  if (check_open(self) < 0) { return nullptr; }
  BufferView view;
  if (view.acquire(target, PyBUF_WRITABLE) < 0) {
    // Read-only buffers raise BufferError; like io, call any unusable target a TypeError.
    if (PyErr_ExceptionMatches(PyExc_BufferError) || PyErr_ExceptionMatches(PyExc_TypeError)) {
      PyErr_Format(PyExc_TypeError,
                   "readinto() argument must be read-write bytes-like object, "
                   "not '%.200s'",
                   Py_TYPE(target)->tp_name);
    }
    return nullptr;
  }
  size_t count = std::min(remaining(self), view.size());
  if (count > 0) { std::memcpy(view.data(), self->data.data() + self->pos, count); }
  self->pos += count;
  return PyLong_FromSize_t(count);
}

PyObject* stream_iternext(PyObject* obj) {
  PyRef line = PyRef::steal(stream_readline(obj, nullptr, 0));
  if (!line) { return nullptr; }
  if (PyBytes_GET_SIZE(line.get()) == 0) {
    return nullptr;  // end of stream: StopIteration without an exception set
  }
  return line.release();
}

PyObject* stream_iter(PyObject* obj) {
  if (check_open(as_stream(obj)) < 0) { return nullptr; }
  return Py_NewRef(obj);
}

// Writing ---------------------------------------------------------------------------

PyObject* stream_write(PyObject* obj, PyObject* source) {
  StreamObject* self = as_stream(obj);
  if (check_open(self) < 0) { return nullptr; }
  BufferView view;
  if (view.acquire(source, PyBUF_SIMPLE) < 0) { return nullptr; }
  size_t count = view.size();
  if (count > 0) {
    if (self->pos > SIZE_MAX - count || self->pos + count > static_cast<size_t>(PY_SSIZE_T_MAX)) {
      PyErr_SetString(PyExc_OverflowError, "stream would grow too large");
      return nullptr;
    }
    size_t end = self->pos + count;
    // resize zero-fills any gap between the old end and pos.
    if (end > self->data.size() && guard_alloc([&] { self->data.resize(end); }) < 0) { return nullptr; }
    std::memcpy(self->data.data() + self->pos, view.data(), count);
    self->pos = end;
  }
  return PyLong_FromSize_t(count);
}

PyObject* stream_truncate(PyObject* obj, PyObject* const* args, Py_ssize_t nargs) {
  StreamObject* self = as_stream(obj);
  if (!check_positional("truncate", nargs, 0, 1)) { return nullptr; }
  if (check_open(self) < 0) { return nullptr; }
  size_t size = self->pos;
  if (nargs > 0 && args[0] != Py_None) {
    Py_ssize_t requested = 0;
    if (size_arg(args[0], &requested) < 0) { return nullptr; }
    if (requested < 0) {
      PyErr_Format(PyExc_ValueError, "negative size value %zd", requested);
      return nullptr;
    }
    size = static_cast<size_t>(requested);
  }
  if (guard_alloc([&] { self->data.resize(size); }) < 0) { return nullptr; }
  return PyLong_FromSize_t(size);
}

// Positioning -----------------------------------------------------------------------

PyObject* stream_seek(PyObject* obj, PyObject* const* args, Py_ssize_t nargs) {
  StreamObject* self = as_stream(obj);
  if (!check_positional("seek", nargs, 1, 2)) { return nullptr; }
  if (check_open(self) < 0) { return nullptr; }
  if (!PyIndex_Check(args[0])) {
    PyErr_Format(PyExc_TypeError, "seek offset must be an integer, not '%.200s'", Py_TYPE(args[0])->tp_name);
    return nullptr;
  }
  Py_ssize_t offset = PyNumber_AsSsize_t(args[0], PyExc_OverflowError);
  if (offset == -1 && PyErr_Occurred()) { return nullptr; }
  long whence = 0;
  if (nargs > 1) {
    whence = PyLong_AsLong(args[1]);
    if (whence == -1 && PyErr_Occurred()) { return nullptr; }
  }
  Py_ssize_t base;
  switch (whence) {
    case SEEK_SET:
      base = 0;
      break;
    case SEEK_CUR:
      base = static_cast<Py_ssize_t>(self->pos);
      break;
    case SEEK_END:
      base = static_cast<Py_ssize_t>(self->data.size());
      break;
    default:
      PyErr_Format(PyExc_ValueError, "invalid whence (%ld, should be 0, 1 or 2)", whence);
      return nullptr;
  }
  if (offset > 0 && base > PY_SSIZE_T_MAX - offset) {
    PyErr_SetString(PyExc_OverflowError, "seek position too large");
    return nullptr;
  }
  Py_ssize_t target = base + offset;  // base >= 0, so a negative offset cannot overflow
  if (target < 0) {
    PyErr_Format(PyExc_ValueError, "negative seek value %zd", target);
    return nullptr;
  }
  self->pos = static_cast<size_t>(target);
  return PyLong_FromSsize_t(target);
}

PyObject* stream_tell(PyObject* obj, PyObject*) {
  StreamObject* self = as_stream(obj);
  if (check_open(self) < 0) { return nullptr; }
  return PyLong_FromSize_t(self->pos);
}

// State -----------------------------------------------------------------------------

PyObject* stream_getvalue(PyObject* obj, PyObject*) {
  StreamObject* self = as_stream(obj);
  if (check_open(self) < 0) { return nullptr; }
  return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(self->data.data()),
                                   static_cast<Py_ssize_t>(self->data.size()));
}

PyObject* stream_close(PyObject* obj, PyObject*) {
  StreamObject* self = as_stream(obj);
  self->closed = true;
  std::vector<uint8_t>().swap(self->data);  // give the memory back now
  self->pos = 0;
  Py_RETURN_NONE;
}

// flush, readable, writable, seekable: trivially true or nothing to do, but like
// every file object they refuse a closed stream.
PyObject* stream_flush(PyObject* obj, PyObject*) {
  if (check_open(as_stream(obj)) < 0) { return nullptr; }
  Py_RETURN_NONE;
}

PyObject* stream_true_if_open(PyObject* obj, PyObject*) {
  if (check_open(as_stream(obj)) < 0) { return nullptr; }
  Py_RETURN_TRUE;
}

PyObject* stream_false_if_open(PyObject* obj, PyObject*) {
  if (check_open(as_stream(obj)) < 0) { return nullptr; }
  Py_RETURN_FALSE;
}

PyObject* stream_enter(PyObject* obj, PyObject*) {
  if (check_open(as_stream(obj)) < 0) { return nullptr; }
  return Py_NewRef(obj);
}

PyObject* stream_exit(PyObject* obj, PyObject*) { return stream_close(obj, nullptr); }

PyObject* stream_get_closed(PyObject* obj, void*) { return PyBool_FromLong(as_stream(obj)->closed); }

Py_ssize_t stream_length(PyObject* obj) {
  StreamObject* self = as_stream(obj);
  if (check_open(self) < 0) { return -1; }
  return static_cast<Py_ssize_t>(self->data.size());
}

PyMethodDef stream_methods[] = {
    {"read", method_cast(stream_read), METH_FASTCALL,
     "read(size=-1): up to size bytes from the position; all the rest for None or -1."},
    {"read1", method_cast(stream_read), METH_FASTCALL, "Same as read."},
    {"readline", method_cast(stream_readline), METH_FASTCALL,
     "readline(size=-1): the next line, with its b'\\n', up to size bytes."},
    {"readinto", method_cast(stream_readinto), METH_O,
     "readinto(b): fill the writable buffer b; returns the number of bytes read."},
    {"write", method_cast(stream_write), METH_O, "write(b): write the bytes-like b at the position; returns len(b)."},
    {"seek", method_cast(stream_seek), METH_FASTCALL, "seek(offset, whence=0): move the position; returns it."},
    {"tell", method_cast(stream_tell), METH_NOARGS, "The position."},
    {"truncate", method_cast(stream_truncate), METH_FASTCALL,
     "truncate(size=None): cut or zero-extend to size (default: the position)."},
    {"flush", method_cast(stream_flush), METH_NOARGS, "Nothing to flush."},
    {"close", method_cast(stream_close), METH_NOARGS, "Close the stream and free its bytes."},
    {"readable", method_cast(stream_true_if_open), METH_NOARGS, "True."},
    {"writable", method_cast(stream_true_if_open), METH_NOARGS, "True."},
    {"seekable", method_cast(stream_true_if_open), METH_NOARGS, "True."},
    {"isatty", method_cast(stream_false_if_open), METH_NOARGS, "False."},
    {"getvalue", method_cast(stream_getvalue), METH_NOARGS, "All the bytes, as bytes."},
    {"__enter__", method_cast(stream_enter), METH_NOARGS, nullptr},
    {"__exit__", method_cast(stream_exit), METH_VARARGS, nullptr},
    {},
};

PyGetSetDef stream_getset[] = {
    {"closed", stream_get_closed, nullptr, "True once close() was called.", nullptr},
    {},
};

PySequenceMethods stream_as_sequence = {};

int stream_type_ready() {
  if (stream_type.tp_flags & Py_TPFLAGS_READY) { return 0; }
  stream_as_sequence.sq_length = stream_length;
  stream_type.tp_name = "morvax.pycore.BytesAsStream";
  stream_type.tp_basicsize = sizeof(StreamObject);
  stream_type.tp_dealloc = stream_dealloc;
  stream_type.tp_as_sequence = &stream_as_sequence;
  stream_type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
  stream_type.tp_doc = "BytesAsStream(initial=b''): an in-memory binary stream.";
  stream_type.tp_iter = stream_iter;
  stream_type.tp_iternext = stream_iternext;
  stream_type.tp_methods = stream_methods;
  stream_type.tp_getset = stream_getset;
  stream_type.tp_init = stream_init;
  stream_type.tp_new = stream_new;
  return ready_static_type(&stream_type);
}

// Registers BytesAsStream as a virtual io.BufferedIOBase, so isinstance checks of
// code that wants a binary file accept it.
int register_with_io() {
  PyRef io = PyRef::steal(PyImport_ImportModule("io"));
  if (!io) { return -1; }
  PyRef base = PyRef::steal(PyObject_GetAttrString(io.get(), "BufferedIOBase"));
  if (!base) { return -1; }
  PyRef result =
      PyRef::steal(PyObject_CallMethod(base.get(), "register", "O", reinterpret_cast<PyObject*>(&stream_type)));
  return result ? 0 : -1;
}

PyModuleDef pycore_module =
    single_phase_module("morvax.pycore", "Core helpers for the morvax.velto extension: BytesAsStream.", nullptr);

PyObject* init_pycore() {
  if (version_type_ready(&version_type, "morvax.pycore._ModuleVersionType") < 0 || stream_type_ready() < 0) {
    return nullptr;
  }
  PyRef module = PyRef::steal(PyModule_Create(&pycore_module));
  if (!module || add_version_values(module.get(), &version_type) < 0 ||
      PyModule_AddObjectRef(module.get(), "BytesAsStream", reinterpret_cast<PyObject*>(&stream_type)) < 0 ||
      register_with_io() < 0) {
    return nullptr;
  }
  return module.release();
}

}  // namespace
}  // namespace morvax::siblings

PyMODINIT_FUNC PyInit_pycore(void) { return morvax::siblings::init_pycore(); }
