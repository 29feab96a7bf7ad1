// _ShlBufferView: the bytes of one stream callback shown to Python through the buffer
// protocol (a one-dimensional unsigned-byte buffer, read-only or writable). The memory the
// view describes is its own copy, staged by the callback, so that a view or a memoryview
// Python keeps can never reach .NET memory after the callback returns. When the callback
// ends the view expires: new buffer requests are refused, and the copy is freed at once,
// or with the last buffer still taken from it.
#include <cstdlib>

#include "interop/containers/streams.h"

namespace morvax::containers {

namespace {

struct BufferViewObject {
  PyObject_HEAD
  uint8_t* data;  // owned; null once freed
  Py_ssize_t length;
  int32_t readOnly;
  int32_t expired;
  Py_ssize_t exports;
};

BufferViewObject* AsView(PyObject* object) { return reinterpret_cast<BufferViewObject*>(object); }

void FreeData(BufferViewObject* view) {
  std::free(view->data);
  view->data = nullptr;
  view->length = 0;
}

int GetBuffer(PyObject* self, Py_buffer* buffer, int flags) {
  BufferViewObject* view = AsView(self);
  if (view->expired) {
    PyErr_SetString(PyExc_BufferError, "the bytes of a _ShlBufferView are lent only during the call that made it");
    buffer->obj = nullptr;
    return -1;
  }
  if (PyBuffer_FillInfo(buffer, self, view->data, view->length, view->readOnly, flags) < 0) return -1;
  ++view->exports;
  return 0;
}

void ReleaseBuffer(PyObject* self, Py_buffer*) {
  BufferViewObject* view = AsView(self);
  if (--view->exports == 0 && view->expired) FreeData(view);
}

void Dealloc(PyObject* self) {
  FreeData(AsView(self));
  Py_TYPE(self)->tp_free(self);
}

PyBufferProcs kBufferProcs = {GetBuffer, ReleaseBuffer};

}  // namespace

PyTypeObject* BufferViewType() {
  static PyTypeObject type = [] {
    PyTypeObject filled{};
    Py_SET_REFCNT(&filled, 1);
    filled.tp_name = "morvax.velto._wrpgen._interop._ShlBufferView";
    filled.tp_basicsize = sizeof(BufferViewObject);
    filled.tp_flags = Py_TPFLAGS_DEFAULT;
    filled.tp_dealloc = Dealloc;
    filled.tp_as_buffer = &kBufferProcs;
    // No constructor: only the stream callbacks make views.
    return filled;
  }();
  return &type;
}

PyObject* NewBufferView(Py_ssize_t length, bool readOnly) {
  PyTypeObject* type = BufferViewType();
  if ((type->tp_flags & Py_TPFLAGS_READY) == 0 && PyType_Ready(type) < 0) return nullptr;
  PyObject* self = type->tp_alloc(type, 0);
  if (self == nullptr) return nullptr;
  BufferViewObject* view = AsView(self);
  // One byte at least, so that an empty view still has an address of its own.
  view->data = static_cast<uint8_t*>(std::malloc(length > 0 ? static_cast<size_t>(length) : 1));
  if (view->data == nullptr) {
    Py_DECREF(self);
    return PyErr_NoMemory();
  }
  view->length = length;
  view->readOnly = readOnly ? 1 : 0;
  return self;
}

uint8_t* BufferViewData(PyObject* view) { return AsView(view)->data; }

void ExpireBufferView(PyObject* self) {
  BufferViewObject* view = AsView(self);
  view->expired = 1;
  if (view->exports == 0) FreeData(view);
}

}  // namespace morvax::containers
