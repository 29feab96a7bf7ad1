// The groups of the static callback record and the small builders that only .NET calls.
#include "interop/static_callbacks.h"

#include <cstring>

#include "interop/containers/adapters.h"
#include "interop/containers/iteration.h"
#include "interop/containers/python_lists.h"
#include "interop/containers/streams.h"
#include "interop/datetime_values.h"
#include "interop/host_object.h"

namespace morvax {

static int32_t ReadUnicodeView(PyObject* text, UnicodeView* view) { return ConvertString(text, view); }

static PyObject* BoolFromByte(uint8_t value) { return PyBool_FromLong(value != 0); }
static PyObject* IntFromInt32(int32_t value) { return PyLong_FromLong(value); }
static PyObject* IntFromUInt32(uint32_t value) { return PyLong_FromUnsignedLong(value); }
static PyObject* IntFromInt64(int64_t value) { return PyLong_FromLongLong(value); }
static PyObject* IntFromUInt64(uint64_t value) { return PyLong_FromUnsignedLongLong(value); }
static PyObject* FloatFromDouble(double value) { return PyFloat_FromDouble(value); }

static int32_t BufferRecordSize() { return static_cast<int32_t>(sizeof(Py_buffer)); }

static int32_t ZeroBufferRecord(Py_buffer* record) {
  std::memset(record, 0, sizeof *record);
  return 0;
}

static int32_t AcquireBuffer(PyObject* object, Py_buffer* record, ByteSpanFields* fields) {
  *fields = {};
  return AcquireByteSpan(object, record, fields);
}

// PyBuffer_Release does nothing for a record without an owner and clears the owner, so a
// zeroed or already released record is safe here.
static void ReleaseBuffer(Py_buffer* record) { PyBuffer_Release(record); }

// StaticCallbacks.cs reads these as arrays of pointer-sized members.
static_assert(sizeof(ReaderGroup) == 11 * sizeof(void*));
static_assert(sizeof(BuilderGroup) == 14 * sizeof(void*));
static_assert(sizeof(BufferGroup) == 4 * sizeof(void*));
static_assert(sizeof(ContainerGroup) == 11 * sizeof(void*));
static_assert(sizeof(StaticRecord) == 9 * sizeof(void*));
static_assert(sizeof(ListGroup) == 11 * sizeof(void*));
static_assert(sizeof(SequenceGroup) == 3 * sizeof(void*));
static_assert(sizeof(containers::StreamGroup) == 13 * sizeof(void*));

static const ReaderGroup kReaders = {
    ReadUnicodeView,     ReadTruthCallback,        ReadIntegerCallback,  ReadDoubleCallback,
    ReadDecimalCallback, ReadDecimalTupleCallback, ReadDateTimeCallback, ReadDateCallback,
    ReadTimeCallback,    ReadTimeDeltaCallback,    ReadUuidCallback,
};

static const BuilderGroup kBuilders = {
    MakeWrapperCallback,
    BoolFromByte,
    IntFromInt32,
    IntFromUInt32,
    IntFromInt64,
    IntFromUInt64,
    FloatFromDouble,
    DecimalBuilderCallback,
    DateTimeBuilderCallback,
    DateTimeOffsetBuilderCallback,
    TimeDeltaBuilderCallback,
    TimeZoneBuilderCallback,
    UuidBuilderCallback,
    CharResult,
};

static const BufferGroup kBuffers = {BufferRecordSize, ZeroBufferRecord, AcquireBuffer, ReleaseBuffer};

template <typename Function>
const void* Entry(Function* function) {
  return reinterpret_cast<const void*>(function);
}

static const ContainerGroup kContainers = {
    Entry(&containers::ListSizeCallback),
    Entry(&containers::ListSize64Callback),
    Entry(&containers::PopCallback),
    Entry(&containers::ClearCallback),
    Entry(&containers::SequenceSizeCallback),
    Entry(&containers::SequenceSize64Callback),
    Entry(&containers::GetIteratorCallback),
    Entry(&containers::ObjectSizeCallback),
    Entry(&containers::NewListCallback),
    Entry(&containers::NewListWithHintCallback),
    Utf16TextCallback,
};

static const ListGroup kLists = {
    Entry(&containers::ListGetItemCallback), Entry(&containers::ListSetItemCallback),
    Entry(&containers::ListAppendCallback),  Entry(&containers::ListInsertCallback),
    Entry(&containers::ListRemoveCallback),  Entry(&containers::ListContainsCallback),
    Entry(&containers::ListIndexOfCallback), Entry(&containers::StoreListItemCallback),
    Entry(&containers::WrapIListCallback),   Entry(&containers::WrapArrayListCallback),
    Entry(&containers::WrapArrayCallback),
};

static const SequenceGroup kSequences = {
    Entry(&containers::SequenceGetItemCallback),
    Entry(&containers::SequenceContainsCallback),
    Entry(&containers::SequenceIndexOfCallback),
};

const void* StaticCallbackRecord() {
  static const StaticRecord record = {
      &kReaders,
      &kBuilders,
      &kBuffers,
      reinterpret_cast<const void*>(&TryMakeWrapperCallback),
      reinterpret_cast<const void*>(&containers::NextItemCallback),
      &kContainers,
      &kLists,
      &kSequences,
      containers::StreamCallbackGroup(),
  };
  return &record;
}

}  // namespace morvax
