"""The C tables in the sibling capsules, called as the main extension calls them."""
import ctypes

import pytest

import sibling_support
from sibling_support import capsule_table, table_function
import _sibling_versions
from morvax import pydrawing, pygc, pyreflection


class MvColor(ctypes.Structure):
    _fields_ = [("argb", ctypes.c_int32), ("is_empty", ctypes.c_int32)]


class MvRectangleF(ctypes.Structure):
    _fields_ = [("x", ctypes.c_float), ("y", ctypes.c_float),
                ("width", ctypes.c_float), ("height", ctypes.c_float)]


class MvPoint(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int32), ("y", ctypes.c_int32)]


def drawing_api(type_name):
    capsule = getattr(pydrawing, f"_C_APITV1_{type_name}")
    table = capsule_table(capsule, f"morvax.pydrawing._C_APITV1_{type_name}", 2)
    convert = table_function(table, 0, ctypes.c_int, ctypes.py_object, ctypes.c_void_p)
    build = table_function(table, 1, ctypes.py_object, ctypes.c_void_p)
    return convert, build


# --- morvax.pygc ------------------------------------------------------------

@pytest.fixture(scope="module")
def cast_result():
    table = capsule_table(pygc._C_APIF, "morvax.pygc._C_APIF", 1)
    return table_function(table, 0, ctypes.py_object, ctypes.c_int32, ctypes.py_object)


NULL = ctypes.py_object()


def test_cast_result_outcomes(cast_result):
    obj = object()
    assert cast_result(1, obj) is obj
    assert cast_result(0, obj) is None
    assert cast_result(0, NULL) is None
    with pytest.raises(TypeError, match="^cast failed$"):
        cast_result(-1, NULL)


@pytest.mark.parametrize("outcome, obj, message", [
    (2, object(), "2"),
    (-2, NULL, "-2"),
    (1, NULL, "without an object"),  # success without a value is not success
])
def test_cast_result_faults_are_system_errors(cast_result, outcome, obj, message):
    with pytest.raises(SystemError, match=message):
        cast_result(outcome, obj)


@pytest.mark.parametrize("outcome", [1, 0, -1, 5])
def test_cast_result_keeps_a_pending_error(outcome):
    pending = LookupError("from the caller")
    with pytest.raises(LookupError) as raised:
        _sibling_versions.cast_with_pending_error(outcome, object(), pending)
    assert raised.value is pending


def test_capsule_names_are_checked():
    with pytest.raises(ValueError):
        capsule_table(pygc._C_APIF, "morvax.pygc._C_API", 1)


# --- morvax.pydrawing ---------------------------------------------------------

@pytest.mark.parametrize("type_name", [
    "Color", "Point", "PointF", "Size", "SizeF", "Rectangle", "RectangleF"])
def test_every_drawing_capsule_builds_its_type(type_name):
    convert, build = drawing_api(type_name)
    native = (ctypes.c_int32 * 4)(7, 0, 0, 0)
    built = build(ctypes.addressof(native))
    assert type(built) is getattr(pydrawing, type_name)
    again = (ctypes.c_int32 * 4)()
    assert convert(built, ctypes.addressof(again)) == 1
    assert list(again) == [7, 0, 0, 0]


def test_color_round_trip():
    convert, build = drawing_api("Color")
    out = MvColor()
    assert convert(pydrawing.Color.red, ctypes.addressof(out)) == 1
    assert (out.argb, out.is_empty) == (-65536, 0)  # 0xFFFF0000 as .NET's int
    assert build(ctypes.addressof(out)) == pydrawing.Color.red

    assert convert(pydrawing.Color.empty, ctypes.addressof(out)) == 1
    assert (out.argb, out.is_empty) == (0, 1)
    rebuilt = build(ctypes.addressof(out))
    assert rebuilt == pydrawing.Color.empty and rebuilt != pydrawing.Color.from_argb(0)

    for argb, expected in [(0xFF112233, -15654349), (-15654349, -15654349), (0, 0)]:
        assert convert(argb, ctypes.addressof(out)) == 1
        assert (out.argb, out.is_empty) == (expected, 0)


@pytest.mark.parametrize("value, error, message", [
    ("red", TypeError, "can't build Color value from 'str'"),
    (1.0, TypeError, "can't build Color value from 'float'"),
    (2**32, OverflowError, "out of range"),
    (-2**31 - 1, OverflowError, "out of range"),
])
def test_color_convert_failures_leave_the_output_untouched(value, error, message):
    convert, _ = drawing_api("Color")
    out = MvColor(123, 45)
    with pytest.raises(error, match=message):
        convert(value, ctypes.addressof(out))
    assert (out.argb, out.is_empty) == (123, 45)


def test_rectanglef_round_trip():
    convert, build = drawing_api("RectangleF")
    out = MvRectangleF()
    value = pydrawing.RectangleF(x=1.5, y=-2.25, width=3, height=0.1)
    assert convert(value, ctypes.addressof(out)) == 1
    assert (out.x, out.y, out.width) == (1.5, -2.25, 3.0)
    assert out.height == ctypes.c_float(0.1).value
    assert build(ctypes.addressof(out)) == value

    # A 4-tuple of numbers, and a Rectangle widened as .NET does.
    assert convert((1, 2.5, 3, 4), ctypes.addressof(out)) == 1
    assert (out.x, out.y, out.width, out.height) == (1.0, 2.5, 3.0, 4.0)
    assert convert(pydrawing.Rectangle(5, 6, 7, 8), ctypes.addressof(out)) == 1
    assert (out.x, out.y, out.width, out.height) == (5.0, 6.0, 7.0, 8.0)


@pytest.mark.parametrize("value", [
    (1, 2, 3), (1, 2, 3, 4, 5), (1, 2, 3, "4"), [1, 2, 3, 4], pydrawing.PointF(1, 2), None])
def test_rectanglef_convert_rejects(value):
    convert, _ = drawing_api("RectangleF")
    out = MvRectangleF(9, 9, 9, 9)
    with pytest.raises(TypeError, match="can't build RectangleF value from"):
        convert(value, ctypes.addressof(out))
    assert (out.x, out.y, out.width, out.height) == (9, 9, 9, 9)


def test_integer_fields_take_ints_only():
    convert, _ = drawing_api("Point")
    out = MvPoint()
    assert convert((3, -4), ctypes.addressof(out)) == 1 and (out.x, out.y) == (3, -4)
    with pytest.raises(TypeError, match="can't build Point value from 'tuple'"):
        convert((1.5, 2), ctypes.addressof(out))
    with pytest.raises(OverflowError):
        convert((2**31, 0), ctypes.addressof(out))
    with pytest.raises(TypeError, match="can't build Point value from 'PointF'"):
        convert(pydrawing.PointF(1, 2), ctypes.addressof(out))  # no narrowing


# --- morvax.pyreflection (without handles; those live in test_sibling_handles) ---

@pytest.mark.parametrize("kind, entries", [("Type", 3), ("Object", 4), ("Enum", 3)])
def test_reflection_tables_reject_foreign_objects(kind, entries):
    capsule = getattr(pyreflection, f"_C_APIT_{kind}")
    table = capsule_table(capsule, f"morvax.pyreflection._C_APIT_{kind}", entries)
    make = table_function(table, 1, ctypes.py_object, ctypes.c_uint32)
    assert make(0) is None
    handle = ctypes.c_uint32(77)
    for index in (0, 2):
        get = table_function(table, index, ctypes.c_int, ctypes.py_object,
                             ctypes.POINTER(ctypes.c_uint32))
        with pytest.raises(TypeError, match="expected morvax.pyreflection"):
            get(object(), ctypes.byref(handle))
    assert handle.value == 77
