// The thirteen callbacks through which .NET's stream around a Python file object calls its
// methods (looked up by name each time). A callback answers a failure code with the Python error
// left pending for .NET to take; it does not call Python while an error is already
// pending (an interrupt that .NET left in place), and answers failure instead. The bytes
// of a callback reach Python as an expiring _ShlBufferView over a copy (buffer_view.cpp).
#include <cstring>

#include "common/interned_names.h"
#include "common/py_ref.h"
#include "common/python_errors.h"
#include "interop/containers/streams.h"
#include "interop/converters.h"

namespace morvax::containers {

namespace {

// --- calling the stream's methods ---------------------------------------------------------

PyObject* Call(PyObject* stream, Name method) { return PyObject_CallMethodNoArgs(stream, Interned(method)); }

PyObject* Call(PyObject* stream, Name method, PyObject* argument) {
  return PyObject_CallMethodOneArg(stream, Interned(method), argument);
}

PyObject* CallSeek(PyObject* stream, int64_t offset, int32_t whence) {
  PyRef position = PyRef::steal(PyLong_FromLongLong(offset));
  PyRef origin = PyRef::steal(PyLong_FromLong(whence));
  if (!position || !origin) return nullptr;
  return PyObject_CallMethodObjArgs(stream, Interned(Name::seek), position.get(), origin.get(), nullptr);
}

// A method's int result as a 32-bit count: None gives 0; 0 with the error on failure.
bool CountOf(PyObject* result, int32_t* count) {
  if (result == Py_None) {
    *count = 0;
    return true;
  }
  return ConvertInt32(result, count) != 0;
}

// Calls one method with a view of count bytes; for a read-only view the bytes are copied
// in first, for a writable one the bytes Python reports are copied out after (never more
// than count). The view expires before this returns. Null with the error on failure.
PyRef CallWithView(PyObject* stream, Name method, uint8_t* bytes, int32_t count, bool readOnly, int32_t* reported) {
  PyRef view = PyRef::steal(NewBufferView(count, readOnly));
  if (!view) return PyRef();
  if (readOnly && count > 0) std::memcpy(BufferViewData(view.get()), bytes, static_cast<size_t>(count));
  PyRef result = PyRef::steal(Call(stream, method, view.get()));
  if (result && CountOf(result.get(), reported)) {
    if (!readOnly && *reported > 0 && *reported <= count)
      std::memcpy(bytes, BufferViewData(view.get()), static_cast<size_t>(*reported));
  } else {
    result = PyRef();
  }
  ExpireBufferView(view.get());
  return result;
}

// The stream's closed attribute: 1 closed, 0 open, -1 with TypeError.
int ClosedProbe(PyObject* stream) {
  PyRef closed = PyRef::steal(PyObject_GetAttr(stream, Interned(Name::closed)));
  if (closed && !PyBool_Check(closed.get())) {
    PyErr_Format(PyExc_TypeError, "can't build bool from '%s'", Py_TYPE(closed.get())->tp_name);
    closed = PyRef();
  }
  if (!closed) {
    RaiseChained(PyExc_TypeError, "An error occurred while checking if the stream is closed");
    return -1;
  }
  return closed.get() == Py_True ? 1 : 0;
}

// readable(), writable() or seekable(), which must answer a bool: 1, 0, -1 with an error.
int AskBool(PyObject* stream, Name method) {
  PyRef answer = PyRef::steal(Call(stream, method));
  if (!answer) return -1;
  if (!PyBool_Check(answer.get())) {
    PyErr_Format(PyExc_TypeError, "can't build bool from '%s'", Py_TYPE(answer.get())->tp_name);
    return -1;
  }
  return answer.get() == Py_True ? 1 : 0;
}

int32_t Capability(PyObject* stream, Name method) {
  if (PyErr_Occurred()) return -1;
  int closed = ClosedProbe(stream);
  if (closed != 0) return closed > 0 ? 0 : -1;
  return AskBool(stream, method);
}

// A 64-bit position from a method's result; -1 with the error on failure.
int64_t PositionOf(PyObject* result) {
  int64_t position = -1;
  if (result == nullptr || !ConvertInt64(result, &position)) return -1;
  return position;
}

// --- the callbacks ------------------------------------------------------------------------

int32_t WriteCallback(PyObject* stream, const uint8_t* bytes, int32_t count) {
  if (PyErr_Occurred()) return -1;
  int32_t taken = 0;
  PyRef result = CallWithView(stream, Name::write, const_cast<uint8_t*>(bytes), count, true, &taken);
  return result ? taken : -1;
}

int32_t WriteByteCallback(PyObject* stream, uint8_t value) { return WriteCallback(stream, &value, 1); }

int32_t ReadIntoCallback(PyObject* stream, uint8_t* buffer, int32_t count) {
  if (PyErr_Occurred()) return -1;
  int32_t read = 0;
  PyRef result = CallWithView(stream, Name::readinto, buffer, count, false, &read);
  return result ? read : -1;
}

int32_t ReadByteCallback(PyObject* stream) {
  if (PyErr_Occurred()) return -2;
  uint8_t byte = 0;
  int32_t read = 0;
  PyRef result = CallWithView(stream, Name::readinto, &byte, 1, false, &read);
  if (!result) return -2;
  if (result.get() == Py_None) {
    PyErr_SetString(PyExc_OSError, "no bytes are available for reading");
    return -2;
  }
  if (read == 0) return -1;
  if (read != 1) {
    PyErr_Format(PyExc_OSError, "readinto() reported %d bytes read into a buffer of 1 byte", read);
    return -2;
  }
  return byte;
}

int64_t SeekCallback(PyObject* stream, int64_t offset, int32_t origin) {
  if (PyErr_Occurred()) return -1;
  PyRef result = PyRef::steal(CallSeek(stream, offset, origin));
  return PositionOf(result.get());
}

// truncate() leaves the position alone; a position past the new end is brought back to
// it, as far as the stream lets that happen.
int32_t SetLengthCallback(PyObject* stream, int64_t length) {
  if (PyErr_Occurred()) return -1;
  PyRef size = PyRef::steal(PyLong_FromLongLong(length));
  if (!size) return -1;
  PyRef truncated = PyRef::steal(Call(stream, Name::truncate, size.get()));
  if (!truncated) return -1;
  PyRef tell = PyRef::steal(Call(stream, Name::tell));
  int64_t position = PositionOf(tell.get());
  if (position > length) PyRef::steal(CallSeek(stream, length, 0));
  if (IsInterruptPending()) return -1;
  PyErr_Clear();
  return 0;
}

int32_t FlushCallback(PyObject* stream) {
  if (PyErr_Occurred()) return -1;
  PyRef result = PyRef::steal(Call(stream, Name::flush));
  return result ? 0 : -1;
}

// An error already pending (the one the close follows) survives the close.
void CloseCallback(PyObject* stream) {
  FetchedError pending = FetchedError::Fetch();
  PyRef result = PyRef::steal(Call(stream, Name::close));
  if (!result) PyErr_WriteUnraisable(stream);
  if (pending) pending.Restore();
}

int32_t CanReadCallback(PyObject* stream) { return Capability(stream, Name::readable); }
int32_t CanWriteCallback(PyObject* stream) { return Capability(stream, Name::writable); }
int32_t CanSeekCallback(PyObject* stream) { return Capability(stream, Name::seekable); }

int64_t TellCallback(PyObject* stream) {
  if (PyErr_Occurred()) return -1;
  PyRef result = PyRef::steal(Call(stream, Name::tell));
  return PositionOf(result.get());
}

// The end position, found by seeking there and back.
int64_t LengthCallback(PyObject* stream) {
  if (PyErr_Occurred()) return -1;
  int closed = ClosedProbe(stream);
  if (closed != 0) return closed > 0 ? -3 : -1;
  int seekable = AskBool(stream, Name::seekable);
  if (seekable == 0) return -2;
  if (seekable > 0) {
    PyRef here = PyRef::steal(CallSeek(stream, 0, 1));
    PyRef end = here ? PyRef::steal(CallSeek(stream, 0, 2)) : PyRef();
    PyRef back = end ? PyRef::steal(PyObject_CallMethodOneArg(stream, Interned(Name::seek), here.get())) : PyRef();
    int64_t length = -1;
    if (back && ConvertInt64(end.get(), &length)) return length;
  }
  RaiseChained(PyExc_TypeError, "While calculating the length of the stream, an error occurred.");
  return -1;
}

const StreamGroup kStreamGroup = {
    WriteCallback,     WriteByteCallback, ReadIntoCallback, ReadByteCallback, SeekCallback,
    SetLengthCallback, FlushCallback,     CloseCallback,    CanReadCallback,  CanWriteCallback,
    CanSeekCallback,   TellCallback,      LengthCallback,
};

}  // namespace

const StreamGroup* StreamCallbackGroup() { return &kStreamGroup; }

}  // namespace morvax::containers
