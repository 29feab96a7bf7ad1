// What the generated binding tables are written against: the records, the class runtime
// and the macros that spell one table entry each.
#pragma once

#include "api/class_binding.h"
#include "api/class_runtime.h"
#include "interop/host_object.h"

namespace morvax::api::generated {

inline constexpr const char* kNoKeywords[] = {nullptr};

template <typename Function>
constexpr PyCFunction AsMethod(Function* function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

}  // namespace morvax::api::generated

#define MORVAX_ARGS_METHOD(name, spec) \
  {name, AsMethod(&::morvax::api::MethodEntry<&spec>), METH_VARARGS | METH_KEYWORDS, nullptr}
#define MORVAX_NOARGS_METHOD(name, spec) \
  {name, AsMethod(&::morvax::api::NoArgumentsEntry<&spec>), METH_NOARGS, nullptr}
#define MORVAX_STATIC_ARGS_METHOD(name, spec) \
  {name, AsMethod(&::morvax::api::MethodEntry<&spec>), METH_VARARGS | METH_KEYWORDS | METH_STATIC, nullptr}
#define MORVAX_STATIC_NOARGS_METHOD(name, spec) \
  {name, AsMethod(&::morvax::api::NoArgumentsEntry<&spec>), METH_NOARGS | METH_STATIC, nullptr}
#define MORVAX_STATIC_SETTER(name, spec) \
  {name, AsMethod(&::morvax::api::StaticSetterEntry<&spec>), METH_O | METH_STATIC, nullptr}
#define MORVAX_PROPERTY(name, spec) \
  {name, &::morvax::api::PropertyGet, &::morvax::api::PropertySet, nullptr, const_cast<::morvax::api::PropertySpec*>(&spec)}
#define MORVAX_READONLY_PROPERTY(name, spec) \
  {name, &::morvax::api::PropertyGet, nullptr, nullptr, const_cast<::morvax::api::PropertySpec*>(&spec)}
#define MORVAX_STATIC(name, spec) \
  {name, &::morvax::api::StaticGet, nullptr, nullptr, const_cast<::morvax::api::PropertySpec*>(&spec)}
// The service methods every class carries after its own: get_type and the casting
// services of api/casting.h, instantiated for the class. A static class lists the same
// methods; they give the fixed answers of a class without instances.
#include "api/casting.h"
#define MORVAX_CLASS_SERVICES(binding) \
  {"get_type", AsMethod(&::morvax::HostObjectGetType), METH_NOARGS, nullptr}, \
  {"_type_of", AsMethod(&::morvax::api::TypeOfMethod<&binding>), METH_NOARGS | METH_STATIC, nullptr}, \
  {"_cast_to", AsMethod(&::morvax::api::CastToMethod<&binding>), METH_O | METH_STATIC, nullptr}, \
  {"_cast_from", AsMethod(&::morvax::api::CastFromMethod<&binding>), METH_O, nullptr}, \
  {"_reinterpret_obj", AsMethod(&::morvax::api::ReinterpretObjectMethod<&binding>), METH_O | METH_STATIC, nullptr}, \
  {"_cast_as", AsMethod(&::morvax::api::CastAsMethod<&binding>), METH_O | METH_STATIC, nullptr}, \
  {"_is_assignable", AsMethod(&::morvax::api::IsAssignableMethod<&binding>), METH_O | METH_STATIC, nullptr}
#define MORVAX_STATIC_CLASS_SERVICES(binding) MORVAX_CLASS_SERVICES(binding)
#define MORVAX_CONSTRUCTORS(binding) &::morvax::api::ConstructorEntry<&binding>
#define MORVAX_NO_CONSTRUCTOR &::morvax::NoConstructorInit
