"""Version values of the sibling modules: the numbers and text, and the raw
layout the main extension reads without calling into the type."""
import ctypes

import pytest

import sibling_support  # noqa: F401  (puts the build on sys.path)
import _sibling_versions
from morvax import pycore, pydrawing, pygc, pyreflection

SIBLINGS = [pygc, pydrawing, pyreflection, pycore]


class RawVersionValue(ctypes.Structure):
    # PyObject_HEAD, then the fields exactly as the main extension declares them.
    _fields_ = [("ob_refcnt", ctypes.c_ssize_t), ("ob_type", ctypes.c_void_p),
                ("major", ctypes.c_int32), ("minor", ctypes.c_int32),
                ("patch", ctypes.c_int32), ("sub", ctypes.c_int32),
                ("text", ctypes.c_void_p)]


def raw(value):
    return RawVersionValue.from_address(id(value))


@pytest.mark.parametrize("module", SIBLINGS, ids=lambda m: m.__name__)
def test_sibling_values(module):
    version = module.VERSION
    threshold = module._BACKWARD_COMPATIBILITY_THRESHOLD
    assert version.view == (24, 5, 3, 0)
    assert (version.major, version.minor, version.patch, version.sub) == (24, 5, 3, 0)
    assert str(version) == "24.5.3.0"
    assert threshold.view == (24, 0, 0, 0) and str(threshold) == "24.0.0.0"
    type_name = f"{module.__name__}._ModuleVersionType"
    assert repr(version) == f"<{type_name}: 24.5.3.0>"
    assert type(version).__module__ + "." + type(version).__name__ == type_name
    assert type(version) is type(threshold)


@pytest.mark.parametrize("module", SIBLINGS, ids=lambda m: m.__name__)
def test_layout_read_directly(module):
    version = module.VERSION
    assert type(version).__basicsize__ == ctypes.sizeof(RawVersionValue)
    assert type(version).__itemsize__ == 0
    fields = raw(version)
    assert (fields.major, fields.minor, fields.patch, fields.sub) == (24, 5, 3, 0)
    assert fields.text == id(str(version))
    assert _sibling_versions.is_version_value(version)


def test_each_module_registers_its_own_type():
    types = {type(module.VERSION) for module in SIBLINGS}
    assert len(types) == len(SIBLINGS)


def test_values_are_read_only_and_not_constructible():
    version = pygc.VERSION
    for name in ("major", "minor", "patch", "sub", "view"):
        with pytest.raises(AttributeError):
            setattr(version, name, 1)
    with pytest.raises(TypeError):
        type(version)()
    with pytest.raises(TypeError):
        class Derived(type(version)):  # the layout must stay exact
            pass


def test_make_gives_a_fake_sibling_value():
    value = _sibling_versions.make(24, 5, 2, 9, "24.5.2.9")
    assert value.view == (24, 5, 2, 9) and str(value) == "24.5.2.9"
    assert repr(value) == "<_sibling_versions._ModuleVersionType: 24.5.2.9>"
    assert _sibling_versions.is_version_value(value)
    # The text is taken as given, even when it disagrees with the numbers.
    odd = _sibling_versions.make(-1, 2**31 - 1, 0, 0, "not a version")
    assert raw(odd).major == -1 and raw(odd).minor == 2**31 - 1 and str(odd) == "not a version"


@pytest.mark.parametrize("args, error", [
    ((24, 5, 2, 9, b"24.5.2.9"), TypeError),
    ((24, 5, 2, 2**31, "x"), OverflowError),
    ((24, 5, 2, "9", "x"), TypeError),
    ((24, 5, 2), TypeError),
])
def test_make_rejects_bad_arguments(args, error):
    with pytest.raises(error):
        _sibling_versions.make(*args)


def test_layout_check_rejects_wrong_name_or_size():
    misnamed = _sibling_versions.make_misnamed(24, 5, 3, 0, "24.5.3.0")
    assert type(misnamed).__basicsize__ == ctypes.sizeof(RawVersionValue)
    assert not type(misnamed).__name__.endswith("_ModuleVersionType")
    assert not _sibling_versions.is_version_value(misnamed)
    resized = _sibling_versions.make_resized(24, 5, 3, 0, "24.5.3.0")
    assert type(resized).__qualname__ == "_ModuleVersionType"
    assert not _sibling_versions.is_version_value(resized)
    assert not _sibling_versions.is_version_value("24.5.3.0")


def test_compile_time_override():
    # The test support module is compiled with SIBLING_VERSION=1,2,3,4,
    # SIBLING_VERSION_TEXT="1.2.3.4-test" and SIBLING_THRESHOLD=1,0,0,0 (no text).
    assert _sibling_versions.VERSION.view == (1, 2, 3, 4)
    assert str(_sibling_versions.VERSION) == "1.2.3.4-test"
    assert _sibling_versions._BACKWARD_COMPATIBILITY_THRESHOLD.view == (1, 0, 0, 0)
    assert str(_sibling_versions._BACKWARD_COMPATIBILITY_THRESHOLD) == "1.0.0.0"
