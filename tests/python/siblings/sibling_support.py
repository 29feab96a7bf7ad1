"""Shared helpers for the sibling module tests: where the built package and the
test support live (MORVAX_BUILD_DIR, default /work/main/build), capsule table
access through ctypes, and a fresh interpreter for tests that must not share
process state (which runtime wrapper is loaded).  Importing it puts the package
and the test support on sys.path."""
import ctypes
import os
import subprocess
import sys
import textwrap

BUILD_DIR = os.environ.get("MORVAX_BUILD_DIR", "/work/main/build")
PACKAGE_PARENT = os.path.join(BUILD_DIR, "python")
TEST_SUPPORT_DIR = os.path.join(BUILD_DIR, "test-support")
FAKE_WRAPPER = os.path.join(TEST_SUPPORT_DIR, "libfake_coreclrwrap.so")

for _path in (TEST_SUPPORT_DIR, PACKAGE_PARENT):
    if _path not in sys.path:
        sys.path.insert(0, _path)

_get_pointer = ctypes.pythonapi.PyCapsule_GetPointer
_get_pointer.restype = ctypes.c_void_p
_get_pointer.argtypes = [ctypes.py_object, ctypes.c_char_p]


def capsule_table(capsule, name, entries):
    """The void* table held by capsule, checked against its expected name."""
    address = _get_pointer(capsule, name.encode())
    return (ctypes.c_void_p * entries).from_address(address)


def table_function(table, index, restype, *argtypes):
    """Entry index of a capsule table as a callable that holds the GIL and raises
    the Python error the function leaves set."""
    return ctypes.PYFUNCTYPE(restype, *argtypes)(table[index])


PRELUDE = f"""
import ctypes, sys
sys.path[:0] = [{TEST_SUPPORT_DIR!r}, {PACKAGE_PARENT!r}]
_get_pointer = ctypes.pythonapi.PyCapsule_GetPointer
_get_pointer.restype = ctypes.c_void_p
_get_pointer.argtypes = [ctypes.py_object, ctypes.c_char_p]
def capsule_table(capsule, name, entries):
    return (ctypes.c_void_p * entries).from_address(_get_pointer(capsule, name.encode()))
def load_fake_wrapper():
    fake = ctypes.CDLL({FAKE_WRAPPER!r})
    fake.fake_wrap_freed.restype = ctypes.c_uint32
    return fake
def freed(fake):
    return [fake.fake_wrap_freed(i) for i in range(fake.fake_wrap_freed_count())]
"""


def run_isolated(code, setup=""):
    """Runs setup, then code, in a fresh interpreter after PRELUDE; returns its
    stdout.  Each part is dedented on its own, so an indented test body can never
    end up inside a function that setup defines last."""
    script = "\n".join([PRELUDE, textwrap.dedent(setup), textwrap.dedent(code)])
    result = subprocess.run([sys.executable, "-c", script],
                            capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stdout + result.stderr
    return result.stdout
