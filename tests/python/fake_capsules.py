"""Capsules for fake sibling modules: tables of null entries under the right names.

Start-up only stores the entries; the tests that use these fakes never call them.
"""
import ctypes

_new_capsule = ctypes.pythonapi.PyCapsule_New
_new_capsule.restype = ctypes.py_object
_new_capsule.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
_alive = []  # the tables and names must outlive the capsules


def capsule(name, entries=4):
    table = (ctypes.c_void_p * entries)()
    text = ctypes.create_string_buffer(name.encode())
    _alive.append((table, text))
    return _new_capsule(ctypes.addressof(table), ctypes.addressof(text), None)
