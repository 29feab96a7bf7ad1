// The list protocol over .NET collections: lengths, items, slices, concatenation and
// repetition into new Python lists, and the list methods, each one call of the interop
// class that serves the adapter (lists through SiApiCntList, array lists through
// SiApiArrayList, arrays through SiApiArray; collections without indexing reach their
// items by enumeration). The new lists of slices, copies, concatenation and repetition are
// made and filled by .NET in one call.
#include <climits>

#include "common/py_ref.h"
#include "interop/containers/adapters.h"
#include "interop/containers/generic_types.h"
#include "interop/converters.h"
#include "interop/error_bridge.h"

namespace morvax::containers {

namespace {

enum Op {
  kLength,
  kContains,
  kCountOf,
  kGetItem,
  kGetItemNoCheck,
  kSetItem,
  kSetItemNoCheck,
  kAdd,
  kInsert,
  kRemove,
  kRemoveAt,
  kPop,
  kClear,
  kInplaceConcat,
  kInplaceRepeat,
  kSetItems,
  kRemoveItems,
  kReverse,
  kSort,
  kIndexBy,
  kEnsureCapacity,
  kGetItems,
  kEnumeratedItems,
  kOpCount
};

// The entry name of each operation; the array classes spell the unchecked setter
// differently, which SlotNamed is asked for in turn.
constexpr const char* kOpNames[kOpCount] = {
    "SqLength",
    "SqContains",
    "CountOf",
    "SqGetItem",
    "SqGetItemNoCheck",
    "SqSetItem",
    "SqSetItemNoCheck",
    "Add",
    "Insert",
    "Remove",
    "RemoveAt",
    "Pop",
    "Clear",
    "SqInplaceConcat",
    "SqInplaceRepeat",
    "MpSetItems",
    "MpRemoveItems",
    "Reverse",
    "Sort",
    "IndexBy",
    "EnsureCapacity",
    "SqGetItems",
    "SqEnumeratedItems",
};

struct Route {
  InteropClass cls;
  int slot;  // -1: the adapter has no such operation
};

// Which class serves an operation for an adapter: lists take their length from the
// counted collection and everything else from the list class.
InteropClass ClassFor(Adapter adapter, Op op) {
  switch (adapter) {
    case Adapter::ArrList:
      return InteropClass::ArrayList;
    case Adapter::Array:
      return InteropClass::Array;
    case Adapter::IList:
    case Adapter::ColBase:
      return op == kLength ? InteropClass::CntCollection : InteropClass::CntList;
    default:
      return InteropClass::CntCollection;
  }
}

Route RouteOf(Adapter adapter, Op op) {
  static Route routes[static_cast<size_t>(Adapter::Count)][kOpCount];
  static bool filled = false;
  if (!filled) {
    for (size_t a = 0; a < static_cast<size_t>(Adapter::Count); ++a) {
      for (int o = 0; o < kOpCount; ++o) {
        InteropClass cls = ClassFor(static_cast<Adapter>(a), static_cast<Op>(o));
        int slot = SlotNamed(cls, kOpNames[o]);
        if (slot < 0 && o == kSetItemNoCheck) slot = SlotNamed(cls, "SqSetItemNoChek");
        routes[a][o] = {cls, slot};
      }
    }
    filled = true;
  }
  return routes[static_cast<size_t>(adapter)][op];
}

// The bound entry of an operation. Adapters exist only once their tables are ready, so
// the slot is set.
template <typename Entry>
Entry At(Adapter adapter, Op op) {
  Route route = RouteOf(adapter, op);
  return reinterpret_cast<Entry>(SlotsOf(route.cls)[route.slot]);
}

template <typename Entry>
Entry At(PyObject* self, Op op) {
  return At<Entry>(AdapterOf(self), op);
}

bool Indexable(PyObject* self) {
  Adapter a = AdapterOf(self);
  return a != Adapter::ICol && a != Adapter::RoColBase;
}

using LengthFn = int32_t (*)(uint32_t);
using VariantFn = int32_t (*)(uint32_t, PyVariant*);
using GetItemFn = int32_t (*)(uint32_t, int32_t, PyObject**);
using SetItemFn = int32_t (*)(uint32_t, int32_t, PyVariant*);
using SetNoCheckFn = void (*)(uint32_t, int32_t, PyVariant*);
using InsertFn = void (*)(uint32_t, int32_t, PyVariant*);
using RemoveAtFn = int32_t (*)(uint32_t, int32_t);
using PopFn = int32_t (*)(uint32_t, int32_t, int32_t, PyObject**);
using PlainFn = void (*)(uint32_t);
using CountFn = void (*)(uint32_t, int32_t);
using OperandFn = int32_t (*)(uint32_t, HostKindHandle*);
using SetItemsFn = int32_t (*)(uint32_t, HostKindHandle*, int32_t, int32_t, int32_t);
using RemoveItemsFn = void (*)(uint32_t, int32_t, int32_t, int32_t);
using IndexByFn = int32_t (*)(uint32_t, int32_t, int32_t, int32_t, int32_t, PyVariant*);
using ItemsFn = PyObject* (*)(uint32_t, int32_t, int32_t, int32_t);
using EnumeratedItemsFn = int32_t (*)(uint32_t, PyObject**);

PyObject* IndexError() {
  PyErr_SetString(PyExc_IndexError, "list index out of range");
  return nullptr;
}

// The status of an item entry: 0 ok, 2 out of range; anything else or a pending error fails.
bool StatusFailed(int32_t status) {
  if (PyErr_Occurred()) return true;
  if (status == 0) return false;
  if (status == 2) {
    IndexError();
  } else {
    PyErr_Format(PyExc_RuntimeError, "the collection reported status %d without an error", status);
  }
  return true;
}

// An operand .NET may take whole: a wrapper of a .NET object (not None).
bool HostOperand(PyObject* object, HostKindHandle* pair) { return object != Py_None && GetHostHandle(object, pair); }

// Py_ssize_t indexes into the 32-bit ones .NET takes; anything beyond is out of range.
int32_t Narrow(Py_ssize_t index) {
  if (index > INT32_MAX) return INT32_MAX;
  if (index < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(index);
}

Py_ssize_t Length(PyObject* self) {
  if (RefuseInForkedChild()) return -1;
  int32_t n = At<LengthFn>(self, kLength)(HandleOf(self));
  if (PyErr_Occurred()) return -1;
  if (n < 0) {
    PyErr_SetString(PyExc_RuntimeError, "the collection reported a negative length");
    return -1;
  }
  return n;
}

// count items from start on by step (adjusted to the collection) in a new list, which .NET
// makes and fills in one call.
PyObject* ItemsByStep(PyObject* self, Py_ssize_t start, Py_ssize_t count, Py_ssize_t step) {
  PyObject* list = At<ItemsFn>(self, kGetItems)(HandleOf(self), Narrow(start), Narrow(count), Narrow(step));
  if (PyErr_Occurred()) {
    Py_XDECREF(list);
    return nullptr;
  }
  if (list == nullptr) {
    PyErr_SetString(PyExc_RuntimeError, "SqGetItems gave no list without an error");
    return nullptr;
  }
  if (DeclareItems(Py_TYPE(self), list) < 0) {
    Py_DECREF(list);
    return nullptr;
  }
  return list;
}

// All items of the collection in a new list: by index, or for collections without
// indexing by enumeration, which must yield exactly the length's count of items.
PyObject* Items(PyObject* self) {
  Py_ssize_t n = Length(self);
  if (n < 0) return nullptr;
  if (Indexable(self)) return ItemsByStep(self, 0, n, 1);
  PyObject* list = nullptr;
  int32_t status = At<EnumeratedItemsFn>(self, kEnumeratedItems)(HandleOf(self), &list);
  if (PyErr_Occurred() || status != 0) {
    Py_XDECREF(list);
    if (PyErr_Occurred()) return nullptr;
    if (status == 1) {
      PyErr_SetString(PyExc_ValueError, "the collection was modified during the operation");
    } else if (status == 2) {
      PyErr_SetString(PyExc_ValueError, "argument must be iterable or sequence");
    } else {
      PyErr_Format(PyExc_RuntimeError, "SqEnumeratedItems reported status %d without an error", status);
    }
    return nullptr;
  }
  if (list != nullptr && DeclareItems(Py_TYPE(self), list) < 0) {
    Py_DECREF(list);
    return nullptr;
  }
  return list;
}

// A value written to or looked up in the collection; a typed adapter's element converter
// screens it first, so a value of the wrong type leaves the collection unchanged.
int ConvertItem(PyObject* self, PyObject* value, PyVariant* variant) {
  if (!AcceptsElement(Py_TYPE(self), value)) return 0;
  return ConvertVariant(value, variant);
}

bool IsSizedSequence(PyObject* o) {
  return Py_TYPE(o)->tp_as_sequence != nullptr && Py_TYPE(o)->tp_as_sequence->sq_length != nullptr &&
         PySequence_Check(o);
}

bool Iterable(PyObject* o) { return Py_TYPE(o)->tp_iter != nullptr || PySequence_Check(o); }

int AddItem(PyObject* self, PyObject* item) {
  PyVariant variant;
  if (!ConvertItem(self, item, &variant)) return -1;
  At<VariantFn>(self, kAdd)(HandleOf(self), &variant);
  return PyErr_Occurred() ? -1 : 0;
}

// extend(y): a .NET operand offered whole, then lists and tuples, sized sequences and
// finally any iterable, item by item; items added before a failure stay added.
int Extend(PyObject* self, PyObject* other) {
  if (RefuseInForkedChild()) return -1;
  HostKindHandle pair;
  if (HostOperand(other, &pair)) {
    int32_t handled = At<OperandFn>(self, kInplaceConcat)(HandleOf(self), &pair);
    if (PyErr_Occurred()) return -1;
    if (handled == 1) return 0;
  }
  bool arrayList = AdapterOf(self) == Adapter::ArrList;
  // Reserves room for size items where the .NET list can: array lists and typed lists.
  auto reserve = [&](Py_ssize_t size) {
    if (arrayList) At<CountFn>(self, kEnsureCapacity)(HandleOf(self), Narrow(size));
    return arrayList ? !PyErr_Occurred() : EnsureTypedCapacity(self, size);
  };
  if (PyList_CheckExact(other) || PyTuple_CheckExact(other)) {
    Py_ssize_t size = PySequence_Fast_GET_SIZE(other);
    if (!reserve(size)) return -1;
    // A list may change under the loop (a converter can run Python code): re-read its size.
    for (Py_ssize_t i = 0; i < PySequence_Fast_GET_SIZE(other); ++i) {
      PyRef item = PyRef::borrow(PySequence_Fast_GET_ITEM(other, i));
      if (AddItem(self, item.get()) < 0) return -1;
    }
    return 0;
  }
  if (IsSizedSequence(other)) {
    Py_ssize_t size = PySequence_Size(other);
    if (size < 0) {
      if (PyErr_Occurred()) return -1;
      size = 0;
    }
    if (!reserve(size)) return -1;
    for (Py_ssize_t i = 0; i < size; ++i) {
      PyRef item = PyRef::steal(PySequence_GetItem(other, i));
      if (!item || AddItem(self, item.get()) < 0) return -1;
    }
    return 0;
  }
  if (!Iterable(other)) {
    PyErr_SetString(PyExc_ValueError, "argument must be iterable or sequence");
    return -1;
  }
  PyRef iterator = PyRef::steal(PyObject_GetIter(other));
  if (!iterator) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_ValueError, "argument must be iterable");
    return -1;
  }
  while (PyObject* raw = PyIter_Next(iterator.get())) {
    PyRef item = PyRef::steal(raw);
    if (AddItem(self, item.get()) < 0) return -1;
  }
  return PyErr_Occurred() ? -1 : 0;
}

// --- sequence slots -----------------------------------------------------------------

Py_ssize_t SqLength(PyObject* self) { return Length(self); }

int SqContains(PyObject* self, PyObject* value) {
  if (RefuseInForkedChild()) return -1;
  PyVariant variant;
  if (!ConvertItem(self, value, &variant)) return -1;
  int32_t found = At<VariantFn>(self, kContains)(HandleOf(self), &variant);
  if (PyErr_Occurred()) return -1;
  return found != 0 ? 1 : 0;
}

PyObject* SqItem(PyObject* self, Py_ssize_t i) {
  if (RefuseInForkedChild()) return nullptr;
  // The untyped adapters read through the list class; typed ones hand their items over, or
  // read the untyped way and give the item its element class.
  Adapter adapter = AdapterOfType(Py_TYPE(self));
  bool typed = adapter == Adapter::Count;
  if (typed) {
    int32_t handed = kNotHanded;
    if (PyObject* item = HandedItemAt(self, Narrow(i), &handed)) return item;
    if (handed != kNotHanded) {
      StatusFailed(handed);
      return nullptr;
    }
    adapter = UntypedAdapterOf(Py_TYPE(self));
  }
  PyObject* item = nullptr;
  int32_t status = At<GetItemFn>(adapter, kGetItem)(HandleOf(self), Narrow(i), &item);
  if (StatusFailed(status)) {
    Py_XDECREF(item);
    return nullptr;
  }
  if (item == nullptr) Py_RETURN_NONE;
  return typed ? DeclareItem(Py_TYPE(self), item) : item;
}

int SetOrDelete(PyObject* self, Py_ssize_t i, PyObject* value) {
  if (value == nullptr) {
    if (AdapterOf(self) == Adapter::Array) {
      PyErr_SetString(PyExc_ValueError, "elements removing not supported");
      return -1;
    }
    int32_t status = At<RemoveAtFn>(self, kRemoveAt)(HandleOf(self), Narrow(i));
    return StatusFailed(status) ? -1 : 0;
  }
  PyVariant variant;
  if (!ConvertItem(self, value, &variant)) return -1;
  int32_t status = At<SetItemFn>(self, kSetItem)(HandleOf(self), Narrow(i), &variant);
  return StatusFailed(status) ? -1 : 0;
}

int SqAssItem(PyObject* self, Py_ssize_t i, PyObject* value) {
  if (RefuseInForkedChild()) return -1;
  return SetOrDelete(self, i, value);
}

PyObject* SqConcat(PyObject* self, PyObject* other) {
  if (!Iterable(other) && !PyList_CheckExact(other) && !PyTuple_CheckExact(other)) {
    PyErr_SetString(PyExc_ValueError, "argument must be iterable or sequence");
    return nullptr;
  }
  PyRef result = PyRef::steal(Items(self));
  if (!result) return nullptr;
  if (PyList_CheckExact(other) || PyTuple_CheckExact(other) || IsSizedSequence(other) || Iterable(other)) {
    PyRef iterator = PyRef::steal(PyObject_GetIter(other));
    if (!iterator) {
      if (!PyErr_Occurred()) PyErr_SetString(PyExc_ValueError, "argument must be iterable");
      return nullptr;
    }
    while (PyObject* raw = PyIter_Next(iterator.get())) {
      PyRef item = PyRef::steal(raw);
      if (PyList_Append(result.get(), item.get()) < 0) return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;
  }
  return result.release();
}

PyObject* SqRepeat(PyObject* self, Py_ssize_t count) {
  PyRef items = PyRef::steal(Items(self));
  if (!items) return nullptr;
  return PySequence_Repeat(items.get(), count < 0 ? 0 : count);
}

PyObject* SqInplaceConcat(PyObject* self, PyObject* other) {
  if (Extend(self, other) < 0) return nullptr;
  Py_INCREF(self);
  return self;
}

PyObject* SqInplaceRepeat(PyObject* self, Py_ssize_t count) {
  if (RefuseInForkedChild()) return nullptr;
  At<CountFn>(self, kInplaceRepeat)(HandleOf(self), Narrow(count));
  if (PyErr_Occurred()) return nullptr;
  Py_INCREF(self);
  return self;
}

// --- mapping slots ------------------------------------------------------------------

// An integer key made non-negative by adding the length. A key that is non-negative
// already needs no length: .NET checks the index against the collection itself and
// answers "out of range", so the common x[i] is one call rather than two.
bool ItemIndex(PyObject* self, PyObject* key, Py_ssize_t* index) {
  Py_ssize_t i = PyNumber_AsSsize_t(key, PyExc_IndexError);
  if (i == -1 && PyErr_Occurred()) return false;
  if (i < 0) {
    Py_ssize_t n = Length(self);
    if (n < 0) return false;
    i += n;
  }
  *index = i;
  return true;
}

PyObject* Subscript(PyObject* self, PyObject* key) {
  if (RefuseInForkedChild()) return nullptr;
  // The common x[i] with a plain non-negative int; negative and oversized keys take the
  // general path, which gives them their length and messages.
  if (PyLong_CheckExact(key)) {
    Py_ssize_t i = PyLong_AsSsize_t(key);
    if (i >= 0) return SqItem(self, i);
    PyErr_Clear();
  }
  if (PyIndex_Check(key)) {
    Py_ssize_t i;
    return ItemIndex(self, key, &i) ? SqItem(self, i) : nullptr;
  }
  Py_ssize_t n = Length(self);
  if (n < 0) return nullptr;
  if (PySlice_Check(key)) {
    Py_ssize_t start, stop, step;
    if (PySlice_Unpack(key, &start, &stop, &step) < 0) return nullptr;
    Py_ssize_t length = PySlice_AdjustIndices(n, &start, &stop, step);
    if (length <= 0) return PyList_New(0);
    return ItemsByStep(self, start, length, step);
  }
  PyErr_Format(PyExc_TypeError, "list indices must be integers or slices, not %.200s", Py_TYPE(key)->tp_name);
  return nullptr;
}

int SetSliceItem(PyObject* self, Py_ssize_t index, PyObject* item) {
  PyVariant variant;
  if (!ConvertItem(self, item, &variant)) return -1;
  At<SetNoCheckFn>(self, kSetItemNoCheck)(HandleOf(self), Narrow(index), &variant);
  return PyErr_Occurred() ? -1 : 0;
}

int SizeMismatch(Py_ssize_t given, Py_ssize_t length) {
  PyErr_Format(PyExc_ValueError, "attempt to assign sequence of size %zd to extended slice of size %zd", given, length);
  return -1;
}

// x[slice] = value: exactly as many items as the slice holds, whatever its step.
int AssignSlice(PyObject* self, Py_ssize_t start, Py_ssize_t step, Py_ssize_t length, PyObject* value) {
  if (PyList_CheckExact(value) || PyTuple_CheckExact(value)) {
    if (PySequence_Fast_GET_SIZE(value) != length) return SizeMismatch(PySequence_Fast_GET_SIZE(value), length);
    PyRef keep = PyRef::borrow(value);
    for (Py_ssize_t k = 0; k < length && k < PySequence_Fast_GET_SIZE(value); ++k) {
      PyRef item = PyRef::borrow(PySequence_Fast_GET_ITEM(value, k));
      if (SetSliceItem(self, start + k * step, item.get()) < 0) return -1;
    }
    return 0;
  }
  if (IsSizedSequence(value)) {
    Py_ssize_t size = PySequence_Size(value);
    if (size < 0) return -1;
    if (size != length) return SizeMismatch(size, length);
    HostKindHandle pair;
    if (HostOperand(value, &pair)) {
      int32_t handled =
          At<SetItemsFn>(self, kSetItems)(HandleOf(self), &pair, Narrow(start), Narrow(length), Narrow(step));
      if (PyErr_Occurred()) return -1;
      if (handled == 1) return 0;
    }
    for (Py_ssize_t k = 0; k < length; ++k) {
      PyRef item = PyRef::steal(PySequence_GetItem(value, k));
      if (!item || SetSliceItem(self, start + k * step, item.get()) < 0) return -1;
    }
    return 0;
  }
  PyErr_SetString(PyExc_TypeError, "must assign iterable to extended slice");
  return -1;
}

int AssSubscript(PyObject* self, PyObject* key, PyObject* value) {
  if (RefuseInForkedChild()) return -1;
  if (PyIndex_Check(key)) {
    Py_ssize_t i;
    return ItemIndex(self, key, &i) ? SetOrDelete(self, i, value) : -1;
  }
  Py_ssize_t n = Length(self);
  if (n < 0) return -1;
  bool array = AdapterOf(self) == Adapter::Array;
  if (!PySlice_Check(key)) {
    PyErr_Format(PyExc_TypeError, "list indices must be integers or slices, not %.200s", Py_TYPE(key)->tp_name);
    return -1;
  }
  Py_ssize_t start, stop, step;
  if (PySlice_Unpack(key, &start, &stop, &step) < 0) return -1;
  Py_ssize_t length = PySlice_AdjustIndices(n, &start, &stop, step);
  if (value != nullptr) return AssignSlice(self, start, step, length, value);
  if (array) {
    PyErr_SetString(PyExc_ValueError, "elements removing not supported");
    return -1;
  }
  // Removed from the last item down, so that each index still means what it meant.
  if (step > 0) {
    start += (length - 1) * step;
    step = -step;
  }
  if (start < 0) start = 0;
  if (length <= 0) return 0;
  At<RemoveItemsFn>(self, kRemoveItems)(HandleOf(self), Narrow(start), Narrow(length), Narrow(step));
  return PyErr_Occurred() ? -1 : 0;
}

// --- methods --------------------------------------------------------------------------

PyObject* NoneUnlessError() {
  if (PyErr_Occurred()) return nullptr;
  Py_RETURN_NONE;
}

PyObject* Append(PyObject* self, PyObject* value) {
  if (RefuseInForkedChild() || AddItem(self, value) < 0) return nullptr;
  Py_RETURN_NONE;
}

PyObject* Insert(PyObject* self, PyObject* args) {
  if (RefuseInForkedChild()) return nullptr;
  Py_ssize_t index;
  PyVariant variant;
  PyObject* value;
  if (!PyArg_ParseTuple(args, "nO:insert", &index, &value) || !ConvertItem(self, value, &variant)) return nullptr;
  At<InsertFn>(self, kInsert)(HandleOf(self), Narrow(index), &variant);
  return NoneUnlessError();
}

PyObject* ExtendMethod(PyObject* self, PyObject* other) {
  if (Extend(self, other) < 0) return nullptr;
  Py_RETURN_NONE;
}

PyObject* Remove(PyObject* self, PyObject* value) {
  if (RefuseInForkedChild()) return nullptr;
  PyVariant variant;
  if (!ConvertItem(self, value, &variant)) return nullptr;
  int32_t removed = At<VariantFn>(self, kRemove)(HandleOf(self), &variant);
  if (PyErr_Occurred()) return nullptr;
  if (removed == 0) {
    PyErr_SetString(PyExc_ValueError, "list.remove(x): x not in list");
    return nullptr;
  }
  Py_RETURN_NONE;
}

PyObject* Pop(PyObject* self, PyObject* args) {
  if (RefuseInForkedChild()) return nullptr;
  Py_ssize_t given = PyTuple_GET_SIZE(args);
  if (given > 1) {
    PyErr_Format(PyExc_TypeError, "%.150s%s takes %s %d argument%s (%zd given)", "pop", "()", "at most", 1, "", given);
    return nullptr;
  }
  Py_ssize_t index = 0;
  if (given == 1) {
    PyObject* argument = PyTuple_GET_ITEM(args, 0);
    if (argument != Py_None) {
      if (!PyIndex_Check(argument)) {
        PyErr_Format(PyExc_TypeError, "argument should be integer or None, not '%.200s'", Py_TYPE(argument)->tp_name);
        return nullptr;
      }
      index = PyNumber_AsSsize_t(argument, PyExc_OverflowError);
      if (index == -1 && PyErr_Occurred()) return nullptr;
    }
  }
  PyObject* item = nullptr;
  int32_t status = At<PopFn>(self, kPop)(HandleOf(self), static_cast<int32_t>(given), Narrow(index), &item);
  if (PyErr_Occurred()) {
    Py_XDECREF(item);
    return nullptr;
  }
  if (status == 0) {
    if (item == nullptr) Py_RETURN_NONE;
    return DeclareItem(Py_TYPE(self), item);
  }
  Py_XDECREF(item);
  PyErr_SetString(PyExc_IndexError, status == 1 ? "pop from empty list" : "pop index out of range");
  return nullptr;
}

PyObject* Clear(PyObject* self, PyObject*) {
  if (RefuseInForkedChild()) return nullptr;
  At<PlainFn>(self, kClear)(HandleOf(self));
  return NoneUnlessError();
}

PyObject* Index(PyObject* self, PyObject* args) {
  if (RefuseInForkedChild()) return nullptr;
  PyVariant variant;
  Py_ssize_t start = 0, stop = 0;
  PyObject* value;
  if (!PyArg_ParseTuple(args, "O|nn:index", &value, &start, &stop) || !ConvertItem(self, value, &variant))
    return nullptr;
  Py_ssize_t given = PyTuple_GET_SIZE(args);
  int32_t found =
      At<IndexByFn>(self, kIndexBy)(HandleOf(self), given > 1, Narrow(start), given > 2, Narrow(stop), &variant);
  if (PyErr_Occurred()) return nullptr;
  if (found < 0) {
    PyErr_SetString(PyExc_ValueError, "value is not in list");
    return nullptr;
  }
  return PyLong_FromLong(found);
}

PyObject* Count(PyObject* self, PyObject* value) {
  if (RefuseInForkedChild()) return nullptr;
  PyVariant variant;
  if (!ConvertItem(self, value, &variant)) return nullptr;
  int32_t count = At<VariantFn>(self, kCountOf)(HandleOf(self), &variant);
  if (PyErr_Occurred()) return nullptr;
  return PyLong_FromLong(count);
}

PyObject* Contains(PyObject* self, PyObject* value) {
  int found = SqContains(self, value);
  if (found < 0) return nullptr;
  return PyBool_FromLong(found);
}

PyObject* Sort(PyObject* self, PyObject* args, PyObject* kwargs) {
  if (RefuseInForkedChild()) return nullptr;
  static const char* keywords[] = {"key", "reverse", nullptr};
  PyObject* key = Py_None;
  int reverse = 0;
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|Op:sort", const_cast<char**>(keywords), &key, &reverse))
    return nullptr;
  if (key != Py_None) {
    PyErr_SetString(PyExc_ValueError, "custom sorting key is not supported");
    return nullptr;
  }
  At<CountFn>(self, kSort)(HandleOf(self), reverse != 0 ? 1 : 0);
  return NoneUnlessError();
}

PyObject* Reverse(PyObject* self, PyObject*) {
  if (RefuseInForkedChild()) return nullptr;
  At<PlainFn>(self, kReverse)(HandleOf(self));
  return NoneUnlessError();
}

PyObject* Copy(PyObject* self, PyObject*) {
  if (RefuseInForkedChild()) return nullptr;
  return Items(self);
}

PyObject* LengthProperty(PyObject* self, void*) {
  Py_ssize_t n = Length(self);
  return n < 0 ? nullptr : PyLong_FromSsize_t(n);
}

template <typename Function>
PyCFunction AsMethod(Function* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

#define MORVAX_METHOD(name, function, flags, doc) \
  { name, AsMethod(&function), flags, doc }
#define MORVAX_LIST_METHOD(row) MORVAX_LIST_METHOD_##row
#define MORVAX_LIST_METHOD_append MORVAX_METHOD("append", Append, METH_O, "append(value) -> None")
#define MORVAX_LIST_METHOD_insert MORVAX_METHOD("insert", Insert, METH_VARARGS, "insert(index, value) -> None")
#define MORVAX_LIST_METHOD_extend MORVAX_METHOD("extend", ExtendMethod, METH_O, "extend(iterable) -> None")
#define MORVAX_LIST_METHOD_remove MORVAX_METHOD("remove", Remove, METH_O, "remove(value) -> None")
#define MORVAX_LIST_METHOD_pop MORVAX_METHOD("pop", Pop, METH_VARARGS, "pop([index]) -> item")
#define MORVAX_LIST_METHOD_clear MORVAX_METHOD("clear", Clear, METH_NOARGS, "clear() -> None")
#define MORVAX_LIST_METHOD_index MORVAX_METHOD("index", Index, METH_VARARGS, "index(value[, start[, stop]]) -> int")
#define MORVAX_LIST_METHOD_count MORVAX_METHOD("count", Count, METH_O, "count(value) -> int")
#define MORVAX_LIST_METHOD_contains MORVAX_METHOD("contains", Contains, METH_O, "contains(value) -> bool")
#define MORVAX_LIST_METHOD_sort \
  MORVAX_METHOD("sort", Sort, METH_VARARGS | METH_KEYWORDS, "sort(key=None, reverse=False) -> None")
#define MORVAX_LIST_METHOD_reverse MORVAX_METHOD("reverse", Reverse, METH_NOARGS, "reverse() -> None")
#define MORVAX_LIST_METHOD_copy MORVAX_METHOD("copy", Copy, METH_NOARGS, "copy() -> list")
#define MORVAX_END \
  { nullptr, nullptr, 0, nullptr }

}  // namespace

// clang-format off
PyMethodDef kListMethods[] = {
    MORVAX_LIST_METHOD(append), MORVAX_LIST_METHOD(insert), MORVAX_LIST_METHOD(extend), MORVAX_LIST_METHOD(remove),
    MORVAX_LIST_METHOD(pop), MORVAX_LIST_METHOD(clear), MORVAX_LIST_METHOD(index), MORVAX_LIST_METHOD(count),
    MORVAX_LIST_METHOD(contains), MORVAX_LIST_METHOD(sort), MORVAX_LIST_METHOD(reverse), MORVAX_LIST_METHOD(copy),
    MORVAX_END,
};
PyMethodDef kArrListMethods[] = {
    MORVAX_LIST_METHOD(extend), MORVAX_LIST_METHOD(append), MORVAX_LIST_METHOD(insert), MORVAX_LIST_METHOD(remove),
    MORVAX_LIST_METHOD(pop), MORVAX_LIST_METHOD(clear), MORVAX_LIST_METHOD(index), MORVAX_LIST_METHOD(count),
    MORVAX_LIST_METHOD(sort), MORVAX_LIST_METHOD(reverse), MORVAX_LIST_METHOD(copy), MORVAX_LIST_METHOD(contains),
    MORVAX_END,
};
PyMethodDef kArrayMethods[] = {
    MORVAX_LIST_METHOD(index), MORVAX_LIST_METHOD(count), MORVAX_LIST_METHOD(sort), MORVAX_LIST_METHOD(reverse),
    MORVAX_LIST_METHOD(copy), MORVAX_LIST_METHOD(contains), MORVAX_END,
};
PyMethodDef kCollectionMethods[] = {
    MORVAX_LIST_METHOD(count), MORVAX_LIST_METHOD(copy), MORVAX_LIST_METHOD(contains), MORVAX_END,
};
// clang-format on

PyGetSetDef kLengthGetSet[] = {
    {"length", LengthProperty, nullptr, "The number of items.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PySequenceMethods kListSequence = {
    SqLength, SqConcat, SqRepeat, SqItem, nullptr, SqAssItem, nullptr, SqContains, SqInplaceConcat, SqInplaceRepeat,
};
PySequenceMethods kArraySequence = {
    SqLength, SqConcat, SqRepeat, SqItem, nullptr, SqAssItem, nullptr, SqContains, nullptr, nullptr,
};
PySequenceMethods kCollectionSequence = {
    SqLength, SqConcat, SqRepeat, nullptr, nullptr, nullptr, nullptr, SqContains, nullptr, nullptr,
};
PyMappingMethods kListMapping = {SqLength, Subscript, AssSubscript};
PyMappingMethods kArrayMapping = {SqLength, Subscript, AssSubscript};

}  // namespace morvax::containers
