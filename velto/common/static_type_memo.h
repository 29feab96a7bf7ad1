// Answers read from the dictionaries of static types, remembered for the few types met last.
// A static type lives as long as the process, and Python code cannot change its dictionary
// (the interpreter makes it immutable), so what this module wrote there before any instance
// existed (the wrapper markers, the interface sets) stays what it was: such an answer, once
// read, holds for good, and a repeated call with the same type skips the dictionary lookup.
#pragma once

#include <Python.h>

namespace morvax {

template <typename Answer, unsigned kSize = 4>
class StaticTypeMemo {
 public:
  // The remembered answer for type, or null.
  const Answer* Find(PyTypeObject* type) const {
    for (const Entry& entry : entries_) {
      if (entry.type == type) return &entry.answer;
    }
    return nullptr;
  }
  // Remembers an answer read from a static type's own dictionary in place of the oldest,
  // and gives back the answer it replaced (a default one when there was none), for the
  // caller to let go of. False, and nothing kept, for a type that is no static type.
  // Callers hold the interpreter lock, which orders all uses.
  bool Remember(PyTypeObject* type, Answer answer, Answer* replaced) {
    if ((type->tp_flags & Py_TPFLAGS_HEAPTYPE) != 0) return false;
    Entry& entry = entries_[next_++ % kSize];
    *replaced = entry.answer;
    entry = {type, answer};
    return true;
  }

 private:
  struct Entry {
    PyTypeObject* type = nullptr;
    Answer answer{};
  };
  Entry entries_[kSize];
  unsigned next_ = 0;
};

}  // namespace morvax
