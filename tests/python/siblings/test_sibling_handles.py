"""Handle ownership of morvax.pyreflection objects: each runs in a fresh
interpreter with the stand-in runtime wrapper, so no real handle is touched and
the wrapper library this process may have loaded does not matter."""
import pytest

from sibling_support import run_isolated

MAKERS = """
from morvax import pyreflection as r
def entry(kind, index, restype, *argtypes):
    entries = 4 if kind == "Object" else 3
    table = capsule_table(getattr(r, "_C_APIT_" + kind), "morvax.pyreflection._C_APIT_" + kind, entries)
    return ctypes.PYFUNCTYPE(restype, *argtypes)(table[index])
make = {k: entry(k, 1, ctypes.py_object, ctypes.c_uint32) for k in ("Type", "Object", "Enum")}
HANDLE = (ctypes.py_object, ctypes.POINTER(ctypes.c_uint32))
own_handle = {k: entry(k, 0, ctypes.c_int, *HANDLE) for k in ("Type", "Object", "Enum")}
any_handle = entry("Enum", 2, ctypes.c_int, *HANDLE)
wrap = entry("Object", 3, ctypes.py_object, ctypes.py_object, ctypes.c_uint32)
def handle_of(getter, obj):
    out = ctypes.c_uint32()
    getter(obj, ctypes.byref(out))
    return out.value
"""


def test_isolated_runner_reports_failures():
    with pytest.raises(AssertionError, match="isolated-check"):
        run_isolated(setup=MAKERS, code="""
        assert make["Object"](0) is None
        assert False, "isolated-check"
        """)


def test_release_without_wrapper_then_with_it():
    run_isolated(setup=MAKERS, code="""
    # No wrapper loaded: nothing to release into, and that must not be remembered.
    del_me = make["Object"](5)
    del del_me
    fake = load_fake_wrapper()
    assert freed(fake) == []
    t, o, e = make["Type"](8), make["Object"](7), make["Enum"](9)
    assert type(t) is r.Type and type(o) is r.Object and type(e) is r.Enum
    assert isinstance(t, r.Object) and isinstance(e, r.Object)
    assert (t.handle, o.handle, e.handle) == (8, 7, 9)
    assert repr(t) == "<morvax.pyreflection.Type handle=8>"
    assert repr(e) == "<morvax.pyreflection.Enum handle=9>"
    del o, t, e
    assert freed(fake) == [7, 8, 9], freed(fake)
    assert fake.fake_wrap_create_calls() == 1  # looked up once, then kept
    """)


def test_handle_getters():
    run_isolated(setup=MAKERS, code="""
    fake = load_fake_wrapper()
    t, o, e = make["Type"](1), make["Object"](2), make["Enum"](3)
    assert [handle_of(any_handle, x) for x in (t, o, e)] == [1, 2, 3]
    assert handle_of(own_handle["Type"], t) == 1 and handle_of(own_handle["Enum"], e) == 3
    assert handle_of(own_handle["Object"], e) == 3   # Enum is an Object
    for kind, wrong in (("Type", o), ("Type", e), ("Enum", t)):
        try:
            handle_of(own_handle[kind], wrong)
        except TypeError as error:
            assert "expected morvax.pyreflection." + kind in str(error)
        else:
            raise AssertionError(kind)
    assert t == t and t != make["Type"](1)   # identity, not .NET equality
    """)


def test_no_release_into_a_missing_domain():
    run_isolated(setup=MAKERS, code="""
    fake = load_fake_wrapper()
    fake.fake_wrap_set_create_status(-5)     # runtime refuses the delegate
    a = make["Object"](21); del a
    fake.fake_wrap_set_create_status(0)
    fake.fake_wrap_set_domain(0)             # no domain yet
    b = make["Object"](22); del b
    fake.fake_wrap_set_domain(1)
    c = make["Object"](23); del c
    fake.fake_wrap_set_domain(0)             # shut down after binding
    d = make["Object"](24); del d
    assert freed(fake) == [23], freed(fake)
    """)


def test_wrap_in_subtypes_and_ownership_on_failure():
    run_isolated(setup=MAKERS, code="""
    fake = load_fake_wrapper()
    class Wrapped(r.Object):
        pass
    w = wrap(Wrapped, 31)
    assert type(w) is Wrapped and w.handle == 31
    w.extra = "subclasses keep a __dict__"
    assert wrap(Wrapped, 0) is None
    for bad in (int, r.Object.__mro__[-1]):
        try:
            wrap(bad, 32)
        except TypeError:
            pass
        else:
            raise AssertionError(bad)
    assert freed(fake) == [32, 32], freed(fake)   # the handle passes to the call regardless
    del w
    assert freed(fake)[-1] == 31
    """)


def test_python_cannot_forge_handles():
    run_isolated(setup=MAKERS, code="""
    load_fake_wrapper()
    for kind in (r.Object, r.Type, r.Enum):
        try:
            kind()
        except TypeError:
            pass
        else:
            raise AssertionError(kind)
    o = make["Object"](3)
    try:
        o.handle = 4
    except AttributeError:
        pass
    else:
        raise AssertionError("handle is writable")
    assert o.handle == 3
    """)
