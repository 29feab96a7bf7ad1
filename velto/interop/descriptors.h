// Our own descriptor and method-object types, for what the interpreter's method and
// getset tables cannot express: class-level properties, one name with static and instance
// overloads, and methods placed in classes that are not built from a method table.
#pragma once

#include <Python.h>

namespace morvax {

// morvax.velto._FieldDescrType: a class-level property; reading it through the class or
// an instance calls the getter as get(nullptr, closure).
extern PyTypeObject FieldDescrType;
// morvax.velto._MixMethodDescrType: through the class the static callable, through an
// instance a new bound method of the instance overloads.
extern PyTypeObject MixMethodDescrType;
// morvax.velto._InstanceMethodDescrType: an instance method in a class dictionary.
extern PyTypeObject InstanceMethodDescrType;
// morvax.velto._StaticMethodDescrType: a static method in a class dictionary.
extern PyTypeObject StaticMethodDescrType;
// morvax.velto._MethodObjectType: the callable the method descriptors hand out.
extern PyTypeObject MethodObjectType;

// Readies all five types once; 0 or -1 with an exception set.
int ReadyDescriptorTypes();

// Each constructor returns a new reference, or null with an exception set. The owner is
// kept alive by the result; the definitions are static records and are not copied, so
// they must outlive every object made from them.
PyObject* NewFieldDescr(PyTypeObject* owner, PyGetSetDef* definition);
PyObject* NewInstanceMethodDescr(PyTypeObject* owner, PyMethodDef* definition);
PyObject* NewStaticMethodDescr(PyTypeObject* owner, PyMethodDef* definition);
PyObject* NewMixMethodDescr(PyTypeObject* owner, PyMethodDef* staticDefinition, PyMethodDef* instanceDefinition);
// instance may be null: an unbound method, or a static one when the definition has
// METH_STATIC. A non-null instance is kept alive by the result.
PyObject* NewMethodObject(PyTypeObject* owner, PyMethodDef* definition, PyObject* instance);

// The dictionary of a class that lives as long as the process (a static type, or a class
// held for the process) and the descriptors and functions in it, the interpreter's and
// these, are reachable throughout: never garbage. They are taken off the cyclic
// collector's lists, so that neither the collections during the import nor any later full
// collection walks them. The interpreter tracks a dictionary again when a tracked object
// is put in it. Other values are left as they are.
void UntrackPermanentClassDict(PyTypeObject* type);
// The same for one value of such a dictionary.
void UntrackPermanentClassMember(PyObject* member, PyTypeObject* owner);
// Puts value under name in such a dictionary in place of a member untracked above, which
// goes back on the collector's lists first: the interpreter's deallocators of descriptors
// expect a tracked object. 0, or -1 with the error.
int ReplacePermanentClassMember(PyTypeObject* type, const char* name, PyObject* value);

}  // namespace morvax
