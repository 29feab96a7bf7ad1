// _bench_floor: the floor the binding benchmarks are measured against. Each function is a
// bare C-extension method of the same argument form as the bound member it stands beside,
// making one plain round trip into an empty [UnmanagedCallersOnly] method.
#include <Python.h>
#include <dlfcn.h>

#include <cstdint>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define MORVAX_HAVE_CALLGRIND 1
#endif

namespace {

int32_t (*g_echo)(int32_t) = nullptr;

int BindEcho() {
  if (g_echo != nullptr) return 0;
  void* wrapper = dlopen("morvax.embed.coreclrwrap.so", RTLD_NOW | RTLD_NOLOAD);
  using CreateDelegate = int32_t (*)(const char*, const char*, const char*, void**);
  auto create = wrapper ? reinterpret_cast<CreateDelegate>(dlsym(wrapper, "coreclr_wrap_create_delegate")) : nullptr;
  if (create == nullptr || create("WrpInterop.Morvax.Velto", "Morvax.WrpGen.Interop.Diagnostics", "Echo",
                                  reinterpret_cast<void**>(&g_echo)) != 0) {
    PyErr_SetString(PyExc_RuntimeError, "import morvax.velto first: the runtime is not running");
    return -1;
  }
  return 0;
}

PyObject* bind(PyObject*, PyObject*) {
  if (BindEcho() < 0) return nullptr;
  Py_RETURN_NONE;
}

// Like a no-argument method: one round trip, None back.
PyObject* no_arguments(PyObject*, PyObject*) {
  g_echo(0);
  Py_RETURN_NONE;
}

// Like an int property getter.
PyObject* int_result(PyObject*, PyObject*) { return PyLong_FromLong(g_echo(7)); }

// Like a str property getter: the 20 characters are built as the binding builds them.
PyObject* str_result(PyObject*, PyObject*) {
  static const char16_t kText[] = u"abcdefghijklmnopqrst";
  g_echo(0);
  int byteOrder = -1;
  return PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(kText), 40, nullptr, &byteOrder);
}

// Like a property setter: one int argument converted, then the round trip.
PyObject* one_argument(PyObject*, PyObject* value) {
  long number = PyLong_AsLong(value);
  if (number == -1 && PyErr_Occurred()) return nullptr;
  g_echo(static_cast<int32_t>(number));
  Py_RETURN_NONE;
}

// Like a method taking arguments by the interpreter's parser.
PyObject* parsed_arguments(PyObject*, PyObject* args, PyObject* kwargs) {
  static const char* keywords[] = {"value", nullptr};
  PyObject* value;
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O", const_cast<char**>(keywords), &value)) return nullptr;
  double number = PyFloat_AsDouble(value);
  if (number == -1.0 && PyErr_Occurred()) return nullptr;
  g_echo(0);
  return PyFloat_FromDouble(number);
}

// Like a result wrapped in a new object and released again.
PyObject* new_object(PyObject*, PyObject*) {
  g_echo(0);
  return PyObject_CallNoArgs(reinterpret_cast<PyObject*>(&PyBaseObject_Type));
}

// Under callgrind, writes the counts gathered since the last mark into a dump of that
// name (bench/callgrind_calls.py reads them); elsewhere it does nothing.
PyObject* callgrind_mark(PyObject*, PyObject* name) {
  const char* text = PyUnicode_AsUTF8(name);
  if (text == nullptr) return nullptr;
#ifdef MORVAX_HAVE_CALLGRIND
  CALLGRIND_DUMP_STATS_AT(text);
#endif
  Py_RETURN_NONE;
}

// Like iterating a .NET enumerable: an iterator of n items whose next() makes one round
// trip and creates a 24-byte object (a float).
struct CountingIterator {
  PyObject_HEAD
  Py_ssize_t left;
};

PyObject* CountingNext(PyObject* self) {
  auto* it = reinterpret_cast<CountingIterator*>(self);
  if (it->left <= 0) return nullptr;
  --it->left;
  return PyFloat_FromDouble(g_echo(1));
}

PyTypeObject CountingIteratorType = {PyVarObject_HEAD_INIT(nullptr, 0) "_bench_floor.CountingIterator"};

PyObject* iterate(PyObject*, PyObject* count) {
  Py_ssize_t n = PyLong_AsSsize_t(count);
  if (n == -1 && PyErr_Occurred()) return nullptr;
  auto* it = PyObject_New(CountingIterator, &CountingIteratorType);
  if (it != nullptr) it->left = n;
  return reinterpret_cast<PyObject*>(it);
}

// Like x[i] on a .NET list: a subscript that makes one round trip and returns an int.
PyObject* Subscript(PyObject*, PyObject* key) {
  Py_ssize_t i = PyNumber_AsSsize_t(key, PyExc_IndexError);
  if (i == -1 && PyErr_Occurred()) return nullptr;
  return PyLong_FromLong(g_echo(static_cast<int32_t>(i)));
}

PyMappingMethods kSubscriptMapping = {nullptr, Subscript, nullptr};
PyTypeObject SubscriptType = {PyVarObject_HEAD_INIT(nullptr, 0) "_bench_floor.Subscript"};

PyObject* subscriptable(PyObject*, PyObject*) {
  return PyObject_CallNoArgs(reinterpret_cast<PyObject*>(&SubscriptType));
}

PyMethodDef kMethods[] = {
    {"iterate", iterate, METH_O, nullptr},
    {"subscriptable", subscriptable, METH_NOARGS, nullptr},
    {"bind", bind, METH_NOARGS, nullptr},
    {"no_arguments", no_arguments, METH_NOARGS, nullptr},
    {"int_result", int_result, METH_NOARGS, nullptr},
    {"str_result", str_result, METH_NOARGS, nullptr},
    {"one_argument", one_argument, METH_O, nullptr},
    {"parsed_arguments", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(parsed_arguments)),
     METH_VARARGS | METH_KEYWORDS, nullptr},
    {"new_object", new_object, METH_NOARGS, nullptr},
    {"callgrind_mark", callgrind_mark, METH_O, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef kModule = {PyModuleDef_HEAD_INIT, "_bench_floor", nullptr, -1, kMethods};

}  // namespace

PyMODINIT_FUNC PyInit__bench_floor() {
  CountingIteratorType.tp_basicsize = sizeof(CountingIterator);
  CountingIteratorType.tp_flags = Py_TPFLAGS_DEFAULT;
  CountingIteratorType.tp_iter = PyObject_SelfIter;
  CountingIteratorType.tp_iternext = CountingNext;
  SubscriptType.tp_basicsize = sizeof(PyObject);
  SubscriptType.tp_flags = Py_TPFLAGS_DEFAULT;
  SubscriptType.tp_as_mapping = &kSubscriptMapping;
  SubscriptType.tp_new = PyType_GenericNew;
  if (PyType_Ready(&CountingIteratorType) < 0 || PyType_Ready(&SubscriptType) < 0) return nullptr;
  return PyModule_Create(&kModule);
}
