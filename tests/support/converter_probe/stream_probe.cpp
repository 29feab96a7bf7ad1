// The stream part of _converter_probe: stream_call(name, stream, *args) runs one member of
// the static record's stream group the way .NET does, lending it memory from the heap that
// is freed as soon as the callback returns (so that a view read after its callback is a
// use after free that AddressSanitizer reports). Returns (result, pending exception or
// None) and, for the reads, the bytes the callback filled in.
#define PY_SSIZE_T_CLEAN
#include "stream_probe.h"

#include <cstdlib>
#include <cstring>

#include "interop/containers/streams.h"
#include "interop/static_callbacks.h"

namespace probe {

namespace {

using morvax::containers::StreamGroup;

const StreamGroup& Streams() {
  auto* record = static_cast<const morvax::StaticRecord*>(morvax::StaticCallbackRecord());
  return *static_cast<const StreamGroup*>(record->stream);
}

// (result, pending exception or None[, filled bytes]); the pending error is taken.
PyObject* Outcome(long long result, const uint8_t* filled = nullptr, Py_ssize_t length = 0) {
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  if (value != nullptr && traceback != nullptr) PyException_SetTraceback(value, traceback);
  PyObject* pending = value != nullptr ? value : Py_None;
  PyObject* outcome = filled == nullptr
                          ? Py_BuildValue("(LO)", result, pending)
                          : Py_BuildValue("(LOy#)", result, pending, reinterpret_cast<const char*>(filled), length);
  Py_XDECREF(type);
  Py_XDECREF(value);
  Py_XDECREF(traceback);
  return outcome;
}

PyObject* stream_call(PyObject*, PyObject* args) {
  const char* name;
  PyObject* stream;
  long long a = 0, b = 0;
  Py_buffer data = {};
  const StreamGroup& g = Streams();
  if (PyTuple_GET_SIZE(args) >= 1 && PyUnicode_Check(PyTuple_GET_ITEM(args, 0)) &&
      std::strcmp(PyUnicode_AsUTF8(PyTuple_GET_ITEM(args, 0)), "write") == 0) {
    if (!PyArg_ParseTuple(args, "sOy*", &name, &stream, &data)) return nullptr;
    auto* lent = static_cast<uint8_t*>(std::malloc(data.len > 0 ? data.len : 1));
    std::memcpy(lent, data.buf, data.len);
    int32_t result = g.write(stream, lent, static_cast<int32_t>(data.len));
    std::free(lent);
    PyBuffer_Release(&data);
    return Outcome(result);
  }
  if (!PyArg_ParseTuple(args, "sO|LL", &name, &stream, &a, &b)) return nullptr;
  if (std::strcmp(name, "readinto") == 0) {
    auto* lent = static_cast<uint8_t*>(std::calloc(a > 0 ? a : 1, 1));
    int32_t result = g.readInto(stream, lent, static_cast<int32_t>(a));
    PyObject* outcome = Outcome(result, lent, result > 0 && result <= a ? result : 0);
    std::free(lent);
    return outcome;
  }
  if (std::strcmp(name, "write_byte") == 0) return Outcome(g.writeByte(stream, static_cast<uint8_t>(a)));
  if (std::strcmp(name, "read_byte") == 0) return Outcome(g.readByte(stream));
  if (std::strcmp(name, "seek") == 0) return Outcome(g.seek(stream, a, static_cast<int32_t>(b)));
  if (std::strcmp(name, "set_length") == 0) return Outcome(g.setLength(stream, a));
  if (std::strcmp(name, "flush") == 0) return Outcome(g.flush(stream));
  if (std::strcmp(name, "close") == 0) {
    g.close(stream);
    return Outcome(0);
  }
  if (std::strcmp(name, "can_read") == 0) return Outcome(g.canRead(stream));
  if (std::strcmp(name, "can_write") == 0) return Outcome(g.canWrite(stream));
  if (std::strcmp(name, "can_seek") == 0) return Outcome(g.canSeek(stream));
  if (std::strcmp(name, "tell") == 0) return Outcome(g.tell(stream));
  if (std::strcmp(name, "length") == 0) return Outcome(g.length(stream));
  PyErr_Format(PyExc_ValueError, "no stream member '%s'", name);
  return nullptr;
}

}  // namespace

PyMethodDef kStreamMethods[] = {
    {"stream_call", stream_call, METH_VARARGS, "Runs one member of the stream group: (result, pending exception)."},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace probe
