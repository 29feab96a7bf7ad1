// Python strings interned once per process and never released, for attribute look-ups and
// calls on hot paths.
#pragma once

#include <Python.h>

namespace morvax {

// X(identifier, text), in table order.
#define MORVAX_INTERNED_NAMES(X)                                            \
  X(Empty, "")                                                              \
  X(write, "write")                                                         \
  X(readinto, "readinto")                                                   \
  X(seek, "seek")                                                           \
  X(flush, "flush")                                                         \
  X(close, "close")                                                         \
  X(closed, "closed")                                                       \
  X(readable, "readable")                                                   \
  X(writable, "writable")                                                   \
  X(seekable, "seekable")                                                   \
  X(tell, "tell")                                                           \
  X(truncate, "truncate")                                                   \
  X(_morvax_clr_host, "_morvax_clr_host")                                   \
  X(_morvax_clr_castable_obj, "_morvax_clr_castable_obj")                   \
  X(_external_ancestor, "_external_ancestor")                               \
  X(_additional_interfaces, "_additional_interfaces")                       \
  X(_implicit_interfaces, "_implicit_interfaces")                           \
  X(EnumType, "EnumType")                                                   \
  X(IntEnum, "IntEnum")                                                     \
  X(IntFlag, "IntFlag")                                                     \
  X(UUID, "UUID")                                                           \
  X(Decimal, "Decimal")                                                     \
  X(DecimalTuple, "DecimalTuple")                                           \
  X(RawIOBase, "RawIOBase")                                                 \
  X(BufferedIOBase, "BufferedIOBase")                                       \
  X(BytesAsStream, "BytesAsStream")                                         \
  X(datetime, "datetime")                                                   \
  X(timezone, "timezone")                                                   \
  X(bytes_le, "bytes_le")                                                   \
  X(exponent, "exponent")                                                   \
  X(sign, "sign")                                                           \
  X(digits, "digits")                                                       \
  X(as_tuple, "as_tuple")                                                   \
  X(tzinfo, "tzinfo")                                                       \
  X(utcoffset, "utcoffset")                                                 \
  X(utc, "utc")                                                             \
  X(extend, "extend")                                                       \
  X(pop, "pop")                                                             \
  X(clear, "clear")                                                         \
  X(remove, "remove")                                                       \
  X(index, "index")                                                         \
  X(format_exception, "format_exception")                                   \
  X(format_exception_only, "format_exception_only")                         \
  X(FormatCallbackException, "FormatCallbackException")                     \
  X(Unknown, "<unknown>")                                                   \
  X(__qualname__, "__qualname__")                                           \
  X(finalize, "finalize")                                                   \
  X(VERSION, "VERSION")                                                     \
  X(_BACKWARD_COMPATIBILITY_THRESHOLD, "_BACKWARD_COMPATIBILITY_THRESHOLD") \
  X(_type_of, "_type_of")                                                   \
  X(_as_uni_enum, "_as_uni_enum")                                           \
  X(PurePath, "PurePath")                                                   \
  X(dirname, "dirname")                                                     \
  X(join, "join")

enum class Name : int {
#define MORVAX_NAME_ENUM(id, text) id,
  MORVAX_INTERNED_NAMES(MORVAX_NAME_ENUM)
#undef MORVAX_NAME_ENUM
      Count
};

struct InternedNames {
  // Interns every name; safe to call again (a failed start-up runs again on the next
  // import). Returns -1 with an exception set on failure.
  static int Initialize();

  // Borrowed reference, valid for the life of the process once Initialize succeeded.
  static PyObject* Get(Name name) { return table_[static_cast<int>(name)]; }

 private:
  static PyObject* table_[static_cast<int>(Name::Count)];
};

inline PyObject* Interned(Name name) { return InternedNames::Get(name); }

}  // namespace morvax
