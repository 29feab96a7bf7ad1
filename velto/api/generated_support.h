// What the generated binding tables are written against: the records, the class runtime
// and the macros that spell one table entry each.
#pragma once

#include "api/class_binding.h"
#include "api/class_runtime.h"
#include "interop/containers/adapters.h"
#include "interop/host_object.h"

namespace morvax::api::generated {

inline constexpr const char* kNoKeywords[] = {nullptr};

template <typename Function>
constexpr PyCFunction AsMethod(Function* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

}  // namespace morvax::api::generated

// Each entry carries its documentation string, written by the generator.
// Methods with arguments take the vectorcall form (see FastCallMethod).
#define MORVAX_ARGS_METHOD(name, spec, doc) \
  { name, AsMethod(&::morvax::api::FastMethodEntry<&spec>), METH_FASTCALL | METH_KEYWORDS, doc }
#define MORVAX_NOARGS_METHOD(name, spec, doc) \
  { name, AsMethod(&::morvax::api::NoArgumentsEntry<&spec>), METH_NOARGS, doc }
#define MORVAX_STATIC_ARGS_METHOD(name, spec, doc) \
  { name, AsMethod(&::morvax::api::FastMethodEntry<&spec>), METH_FASTCALL | METH_KEYWORDS | METH_STATIC, doc }
#define MORVAX_STATIC_NOARGS_METHOD(name, spec, doc) \
  { name, AsMethod(&::morvax::api::NoArgumentsEntry<&spec>), METH_NOARGS | METH_STATIC, doc }
#define MORVAX_STATIC_SETTER(name, spec, doc) \
  { name, AsMethod(&::morvax::api::StaticSetterEntry<&spec>), METH_O | METH_STATIC, doc }
#define MORVAX_PROPERTY(name, spec, doc)                                 \
  {                                                                      \
    name, &::morvax::api::PropertyGet, &::morvax::api::PropertySet, doc, \
        const_cast<::morvax::api::PropertySpec*>(&spec)                  \
  }
#define MORVAX_READONLY_PROPERTY(name, spec, doc) \
  { name, &::morvax::api::PropertyGet, nullptr, doc, const_cast<::morvax::api::PropertySpec*>(&spec) }
#define MORVAX_STATIC(name, spec, doc) \
  { name, &::morvax::api::StaticGet, nullptr, doc, const_cast<::morvax::api::PropertySpec*>(&spec) }
// A class whose .NET type is disposable is a context manager, with the same two methods as
// the _IDisposableWrapper adapter.
#define MORVAX_DISPOSABLE_METHODS                                                                                  \
  {"__enter__", &::morvax::containers::DisposableEnter, METH_NOARGS, ::morvax::containers::kDisposableEnterDoc}, { \
    "__exit__", &::morvax::containers::DisposableExit, METH_VARARGS, ::morvax::containers::kDisposableExitDoc      \
  }
// The service methods every class carries after its own: get_type and the casting
// services of api/casting.h, instantiated for the class. A static class lists the same
// methods; they give the fixed answers of a class without instances.
#include "api/casting.h"
#define MORVAX_CLASS_SERVICES(binding)                                                                               \
  {"get_type", AsMethod(&::morvax::HostObjectGetType), METH_NOARGS,                                                  \
   "get_type() -> Type\n\nThe .NET type of this object, as a reflection object."},                                   \
      {"_type_of", AsMethod(&::morvax::api::TypeOfMethod<&binding>), METH_NOARGS | METH_STATIC,                      \
       "_type_of() -> Type\n\nThe .NET type of this class, as a reflection object."},                                \
      {"_cast_to", AsMethod(&::morvax::api::CastToMethod<&binding>), METH_O | METH_STATIC,                           \
       "_cast_to(obj) -> cast result\n\nThe object seen as this class; raises when it is not one."},                 \
      {"_cast_from", AsMethod(&::morvax::api::CastFromMethod<&binding>), METH_O,                                     \
       "_cast_from(target) -> cast result\n\nThis object seen as the target class."},                                \
      {"_reinterpret_obj", AsMethod(&::morvax::api::ReinterpretObjectMethod<&binding>), METH_O | METH_STATIC,        \
       "_reinterpret_obj(obj) -> this class\n\nA wrapper of this class for the same .NET object, without a check."}, \
      {"_cast_as", AsMethod(&::morvax::api::CastAsMethod<&binding>), METH_O | METH_STATIC,                           \
       "_cast_as(obj) -> cast result\n\nThe object seen as this class, or an empty result when it is not one."},     \
  {                                                                                                                  \
    "_is_assignable", AsMethod(&::morvax::api::IsAssignableMethod<&binding>), METH_O | METH_STATIC,                  \
        "_is_assignable(obj) -> bool\n\nWhether the object is an instance of this class on the .NET side."           \
  }
#define MORVAX_STATIC_CLASS_SERVICES(binding) MORVAX_CLASS_SERVICES(binding)
// A collection's sequence slots: the item slot, and the assignment slot where the indexer is
// settable; no length, so the interpreter hands a negative index on unchanged.
#include "api/collections.h"
#define MORVAX_COLLECTION(spec)                                                                                        \
  {                                                                                                                    \
    nullptr, nullptr, nullptr, &::morvax::api::CollectionItemSlot<&spec>, nullptr, nullptr, nullptr, nullptr, nullptr, \
        nullptr                                                                                                        \
  }
#define MORVAX_SETTABLE_COLLECTION(spec)                                                \
  {                                                                                     \
    nullptr, nullptr, nullptr, &::morvax::api::CollectionItemSlot<&spec>, nullptr,      \
        &::morvax::api::CollectionAssignSlot<&spec>, nullptr, nullptr, nullptr, nullptr \
  }
// Iteration through the typed enumerable of an element (its number in the typed-container
// tables), or through the non-generic enumerable of _IterableWrapper.
#define MORVAX_TYPED_ITERATION(element) &::morvax::api::CollectionIterSlot<element>
#define MORVAX_UNTYPED_ITERATION &::morvax::containers::IterateAdapter
#define MORVAX_CONSTRUCTORS(binding) &::morvax::api::ConstructorEntry<&binding>
#define MORVAX_NO_CONSTRUCTOR &::morvax::NoConstructorInit
