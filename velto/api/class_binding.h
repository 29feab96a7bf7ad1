// The data that describes one bound .NET class: the generator writes one ClassBinding
// (with its method, property and overload records) per class, and the class runtime
// (class_runtime.h) serves every Python type from those records.
#pragma once

#include <Python.h>

#include <cstdint>

// How one value crosses the boundary (enum class ValueKind): written by the generator from
// its value-kind table; the C++ row of each kind is in api/value_kinds.cpp.
#include "generated_value_kinds.h"

namespace morvax::api {

struct ClassBinding;
struct ClassRuntime;
struct EnumBinding;

struct ValueSpec {
  ValueKind kind;
  const ClassBinding* klass;       // the class, for ValueKind::Class
  const EnumBinding* enumeration;  // the enumeration, for ValueKind::Enum
  uint16_t element;                // 1 + the container's element in the typed-container tables; 0: untyped
};

// One overload: the slot of its entry point, its parameters (with the keyword names,
// null-terminated) and its result.
struct OverloadSpec {
  uint16_t slot;
  uint8_t parameterCount;
  const ValueSpec* parameters;
  const char* const* keywords;
  ValueSpec result;
};

// A method name (or the constructors) with its overloads in entry-point order.
struct MethodSpec {
  const ClassBinding* owner;
  const char* name;
  uint16_t overloadCount;
  const OverloadSpec* overloads;
};

// An instance property, or a static property or constant. setSlot is -1 when read-only.
struct PropertySpec {
  const ClassBinding* owner;
  const char* name;
  int16_t getSlot;
  int16_t setSlot;
  ValueSpec type;
};

// The Python type of a class with the binding it serves, so that the shared slots can
// find the binding from the type.
struct BoundType {
  PyTypeObject type;
  const ClassBinding* binding;
};

struct ClassBinding {
  const char* pythonName;   // "morvax.velto.Document": the type's name
  const char* simpleName;   // "Document"
  const char* netFullName;  // "Morvax.Velto.Document": the registry key
  const char* interopName;  // "WrpNs_Morvax.WrpNs_Velto.WrpCs_Document_44597C31"
  const char* const* entries;
  uint16_t entryCount;
  const ClassBinding* base;        // the exposed .NET base class, or null
  const MethodSpec* constructors;  // null: no public constructor
  uint16_t staticCount;
  int16_t typeOfSlot;  // btp_TypeOf; for classes with instances the other services follow
  bool isStaticClass;
  bool isInterface;         // no object is reinterpreted as an interface
  initproc init;            // the constructor dispatcher, or the initialiser that always refuses
  PyMethodDef* methodDefs;  // own methods, then the service methods, then a terminator
  PyGetSetDef* getsetDefs;  // instance properties (closure: the PropertySpec)
  PyGetSetDef* staticDefs;  // one per static (closure: the PropertySpec), for the descriptors
  BoundType* type;
  ClassRuntime* runtime;
  const char* doc;  // the type's documentation string
  // The library's interfaces the class implements (null-terminated, or null), and the interop
  // adapters it stands for (a ClassAdapters mask): the members of its interface sets.
  const ClassBinding* const* interfaces;
  uint8_t adapterInterfaces;
  // A collection class (api/collections.h): the item slot of its integer indexer (with the
  // assignment slot where it is settable), or null; and its iteration slot, or null.
  PySequenceMethods* sequence;
  getiterfunc iterate;
};

// The integer indexer of a collection class: its sequence entry points (setSlot -1 when the
// indexer is read-only) and the element, converted as a result or an argument of that type.
struct CollectionSpec {
  const ClassBinding* owner;
  int16_t getSlot;
  int16_t setSlot;
  ValueSpec element;
};

// The bits of ClassBinding::adapterInterfaces.
enum ClassAdapters : uint8_t { kStandsForIterable = 1, kStandsForDisposable = 2 };

struct EnumMember {
  const char* name;  // upper snake case
  int32_t value;
};

struct EnumRuntime;

// One .NET enumeration, built as an IntEnum or IntFlag class at module creation.
struct EnumBinding {
  const char* pythonName;   // "morvax.velto.BreakType"
  const char* simpleName;   // "BreakType"
  const char* netFullName;  // "Morvax.Velto.BreakType"
  const char* interopName;
  bool isFlag;
  const EnumMember* members;  // in .NET declaration order
  uint16_t memberCount;
  PyMethodDef* services;  // the eight service methods, placed as descriptors
  EnumRuntime* runtime;
  const char* doc;  // the class's documentation string
};

// A Python module of the tree and the classes that live in it.
struct ModuleSpec {
  const char* name;        // "morvax.velto.saving"
  const char* attachName;  // "saving": the attribute of the parent
  int16_t parent;          // index in the module list, -1 for the top level
  bool isPackage;
  const char* package;                 // the __package__ text
  const ClassBinding* const* classes;  // in ordinal order of the class names
  uint16_t classCount;
  const EnumBinding* const* enums;  // in ordinal order of the enumeration names
  uint16_t enumCount;
};

// The generated catalogue.
struct Catalogue {
  const ModuleSpec* modules;
  uint16_t moduleCount;
};
const Catalogue& GeneratedCatalogue();

}  // namespace morvax::api
