"""Value conversion between Python and .NET: the argument converters, the variant
classification, and the readers and builders of the static callback record, driven through
the test-only _converter_probe module (built into <build>/test-support).

probe.convert(kind, obj) runs one converter through the argument parser, as a generated
method does, and returns the filled slot as a Python value; the other probe functions call
through the static callback record the way .NET does.
"""
import array
import datetime
import decimal
import enum
import struct
import subprocess
import sys
import uuid

import pytest

from conftest import TEST_SUPPORT
try:
    import _converter_probe as probe
except ImportError as error:  # a build problem, not a reason to skip
    pytest.fail(f"_converter_probe is not built under {TEST_SUPPORT}: {error}", pytrace=False)


class Color(enum.IntEnum):
    RED = 1


class MyInt(int):
    pass


class MyFloat(float):
    pass


class MyStr(str):
    pass


class MyBytes(bytes):
    pass


class MyByteArray(bytearray):
    pass


class MyList(list):
    pass


class MyTuple(tuple):
    pass


class MyDateTime(datetime.datetime):
    pass


class SubNetObject(probe.NetObject):
    pass


def non_contiguous():
    return memoryview(bytearray(range(8)))[::2]


# --- strings ---------------------------------------------------------------------------------

@pytest.mark.parametrize("text, kind", [
    ("", 1), ("plain", 1), ("caf\xe9", 1), ("\u20ac uro", 2), ("\ud800 lone", 2),
    ("smile \U0001F600", 4), ("\ufeffmark", 2), (MyStr("sub"), 1),
], ids=repr)
def test_string_view_borrows_every_storage_width(text, kind):
    assert probe.convert("String", text) == text
    assert probe.string_view(text) == (len(text), kind)
    assert probe.read_view(text) == text  # reader A0 is the same view step


def test_string_none_is_a_null_string():
    assert probe.convert("String", None) is None
    assert probe.string_view(None) == (-1, 0)
    assert probe.read_view(None) is None


@pytest.mark.parametrize("value, name", [(b"bytes", "bytes"), (1, "int"), (["a"], "list")])
def test_string_refuses_non_str(value, name):
    with pytest.raises(TypeError, match=rf"^can't build String from '{name}'$"):
        probe.convert("String", value)
    with pytest.raises(TypeError, match=rf"^can't build String from '{name}'$"):
        probe.read_view(value)


# --- booleans --------------------------------------------------------------------------------

def test_bool_accepts_exactly_bool():
    assert probe.convert("Bool", True) == 1
    assert probe.convert("Bool", False) == 0


@pytest.mark.parametrize("value, name", [(None, "NoneType"), (1, "int"), (0, "int"), ("True", "str"),
                                         (Color.RED, "Color")])
def test_bool_refuses_everything_else(value, name):
    with pytest.raises(TypeError, match=rf"^can't build bool from '{name}'$"):
        probe.convert("Bool", value)


# --- integers --------------------------------------------------------------------------------

@pytest.mark.parametrize("kind, value", [
    ("Int16", 32767), ("Int16", -32768), ("Int16", 0),
    ("Int32", 2**31 - 1), ("Int32", -2**31),
    ("Int64", 2**63 - 1), ("Int64", -2**63),
    ("Byte", 0), ("Byte", 255),
])
def test_integer_boundaries_pass(kind, value):
    assert probe.convert(kind, value) == value


@pytest.mark.parametrize("kind, value, message", [
    ("Int16", 32768, r"^value '32768' is out of the INT16 range$"),
    ("Int16", -32769, r"^value '-32769' is out of the INT16 range$"),
    ("Int16", 2**63, r"too large to convert to C long"),
    ("Int32", 2**31, r"^Python int too large to convert to C int$"),
    ("Int32", -2**31 - 1, r"^Python int too large to convert to C int$"),
    ("Int64", 2**63, r"too (large|big) to convert"),
    ("Byte", 256, r"^value '256' is out of the UINT8 range$"),
    ("Byte", -1, r"negative value"),
    ("Byte", 2**64, r"too large"),
])
def test_integer_overflow(kind, value, message):
    with pytest.raises(OverflowError, match=message):
        probe.convert(kind, value)


@pytest.mark.parametrize("kind", ["Int16", "Int32", "Int64", "Byte"])
@pytest.mark.parametrize("value, name", [
    (True, "bool"), (Color.RED, "Color"), (MyInt(3), "MyInt"), (1.0, "float"), ("1", "str"),
    (None, "NoneType"), (decimal.Decimal(1), "decimal.Decimal"),
])
def test_integer_test_refuses(kind, value, name):
    with pytest.raises(TypeError, match=rf"^integer argument expected, got '{name}'$"):
        probe.convert(kind, value)


# --- floating point --------------------------------------------------------------------------

@pytest.mark.parametrize("value, expected", [
    (1.5, 1.5), (-1.0, -1.0), (MyFloat(2.5), 2.5), (float("inf"), float("inf")),
    (7, 7.0), (-2**63, float(-2**63)), (2**64 - 1, float(2**64 - 1)), (2**63, float(2**63)),
])
def test_double_accepts_floats_and_integers(value, expected):
    assert probe.convert("Double", value) == expected


@pytest.mark.parametrize("kind", ["Double", "Single"])
@pytest.mark.parametrize("value, error, message", [
    (2**64, OverflowError, r"too big"),
    (-2**64, OverflowError, r"negative int"),
    (True, TypeError, r"^numeric argument expected, got 'bool'$"),
    (Color.RED, TypeError, r"^numeric argument expected, got 'Color'$"),
    ("1.0", TypeError, r"^numeric argument expected, got 'str'$"),
    (None, TypeError, r"^numeric argument expected, got 'NoneType'$"),
    (decimal.Decimal("1.5"), TypeError, r"^numeric argument expected, got 'decimal.Decimal'$"),
])
def test_double_and_single_refuse(kind, value, error, message):
    with pytest.raises(error, match=message):
        probe.convert(kind, value)


@pytest.mark.parametrize("value", [0.1, 1e-46, 3.4028235e38, 1e39, -1e39, 2**64 - 1, 16777217])
def test_single_narrows_like_a_c_float(value):
    expected = struct.unpack("f", struct.pack("f", value))[0] if abs(value) < 3.5e38 else \
        (float("inf") if value > 0 else float("-inf"))
    assert probe.convert("Single", value) == expected


def test_single_keeps_nan():
    result = probe.convert("Single", float("nan"))
    assert result != result


# --- characters ------------------------------------------------------------------------------

@pytest.mark.parametrize("text, unit", [("a", 0x61), ("\x00", 0), ("\xe9", 0xE9), ("\u20ac", 0x20AC),
                                        ("\uffff", 0xFFFF), ("\ufeff", 0xFEFF), (MyStr("z"), 0x7A)])
def test_char_takes_one_code_unit(text, unit):
    assert probe.convert("Char", text) == unit


@pytest.mark.parametrize("text", ["ab", "", "\U0001F600", "\U00010000"], ids=repr)
def test_char_refuses_other_lengths(text):
    with pytest.raises(TypeError, match=r"^string must contain one UTF-16 code unit$"):
        probe.convert("Char", text)


@pytest.mark.parametrize("unit", [0xD800, 0xDFFF])
def test_lone_surrogates_are_single_code_units_both_ways(unit):
    assert probe.convert("Char", chr(unit)) == unit
    assert probe.char_result(unit) == chr(unit)
    assert probe.build(13, unit) == chr(unit)


@pytest.mark.parametrize("value, name", [(97, "int"), (None, "NoneType"), (b"a", "bytes")])
def test_char_refuses_non_str(value, name):
    with pytest.raises(TypeError, match=rf"^can't build Char from '{name}'$"):
        probe.convert("Char", value)


@pytest.mark.parametrize("unit, text", [(0x41, "A"), (0, "\x00"), (0xFEFF, "\ufeff"), (0xFFFF, "\uffff"),
                                        (0x20AC, "\u20ac")])
def test_char_result_decodes_one_unit(unit, text):
    assert probe.char_result(unit) == text
    assert probe.build(13, unit) == text  # builder B13 is the same decoder


# --- byte arrays -----------------------------------------------------------------------------

@pytest.mark.parametrize("value, expected", [
    (b"", b""), (b"abc", b"abc"), (bytearray(b"\x00\xff"), b"\x00\xff"), (MyBytes(b"sub"), b"sub"),
    (memoryview(b"view"), b"view"), (memoryview(b"abcdef")[1:4], b"bcd"),
    (array.array("H", [1, 2]), array.array("H", [1, 2]).tobytes()),
], ids=repr)
def test_byte_array_copies_contiguous_buffers(value, expected):
    assert probe.convert("ByteArray", value) == expected
    assert probe.buffer_copy(value) == expected  # the buffer group reads the same bytes


def test_byte_array_none_is_a_null_array():
    assert probe.convert("ByteArray", None) is None


@pytest.mark.parametrize("value, name", [("text", "str"), (5, "int"), ([1], "list")])
def test_byte_array_refuses_non_buffers(value, name):
    with pytest.raises(TypeError, match=rf"^can't build byte\[\] from '{name}'$"):
        probe.convert("ByteArray", value)


def test_byte_array_replaces_the_exporter_error():
    released = memoryview(b"gone")
    released.release()
    with pytest.raises(BufferError, match=r"^can't get internal buffer$"):
        probe.convert("ByteArray", released)
    with pytest.raises(BufferError, match=r"^can't get internal buffer$"):
        probe.buffer_copy(released)


@pytest.mark.parametrize("read", [lambda v: probe.convert("ByteArray", v), probe.buffer_copy],
                         ids=["converter", "buffer group"])
def test_non_contiguous_buffer_is_refused_and_released(read):
    view = non_contiguous()
    for _ in range(3):
        with pytest.raises(ValueError, match=r"this memoryview is not contiguous .*: pass bytes\(\.\.\.\) of it"):
            read(view)
    view.release()  # raises BufferError while any export of the view is still held


def test_bytearray_is_released_after_the_call():
    data = bytearray(b"abc")
    assert probe.convert("ByteArray", data) == b"abc"
    data.extend(b"def")  # a bytearray with a live export cannot be resized
    assert probe.buffer_copy(data) == b"abcdef"
    data.clear()


# --- variants --------------------------------------------------------------------------------

VARIANTS = [
    (None, 0), (True, 5), (False, 5), (0, 6), (2**100, 6), (1.5, 7), (MyFloat(1.0), 7),
    (decimal.Decimal("1.5"), 8), (decimal.Decimal("1.5").as_tuple(), 9),
    (datetime.datetime(2024, 1, 2, 3, 4), 10), (MyDateTime(2024, 1, 2), 10),
    (datetime.date(2024, 1, 2), 11), (datetime.time(1, 2), 12), (datetime.timedelta(seconds=3), 13),
    (uuid.UUID(int=5), 14), ("text", 3), (MyStr("sub"), 3), (b"raw", 4), (MyBytes(b"sub"), 4),
    (bytearray(b"x"), 4), (MyByteArray(b"y"), 4), (memoryview(b"z"), 4), ([1], 15), ((1,), 16),
]


@pytest.mark.parametrize("value, kind", VARIANTS, ids=lambda v: type(v).__name__)
def test_variant_classification(value, kind):
    got_kind, got_value = probe.convert("Variant", value)
    assert got_kind == kind
    assert got_value is value  # the variant borrows the object itself


@pytest.mark.parametrize("value", [
    Color.RED, MyInt(1), MyList(), MyTuple(), {}, set(), object(), array.array("b"), SubNetObject(3),
    probe.NetObject(0), probe.TargetObject(0),
], ids=lambda v: type(v).__name__)
def test_variant_refuses_unknown_types(value):
    with pytest.raises(TypeError, match=r"^unknown variant type$"):
        probe.convert("Variant", value)


@pytest.mark.parametrize("wrapper, kind", [(probe.NetObject, 1), (probe.TargetObject, 2)])
def test_variant_lends_host_objects_by_handle(wrapper, kind):
    assert probe.convert("Variant", wrapper(0x01000007)) == (kind, 0x01000007)
    assert probe.convert("Variant", wrapper(0xFFFFFFFF)) == (kind, 0xFFFFFFFF)


def test_variant_type_import_failure_fails_the_conversion_and_is_retried():
    code = f"""
import sys
sys.path.insert(0, {str(TEST_SUPPORT)!r})
import _converter_probe as probe
saved = sys.modules.pop("decimal", None)
sys.modules["decimal"] = None
print(probe.convert("Variant", None))
try:
    probe.convert("Variant", "text")
except ImportError as e:
    print("ImportError:", e)
sys.modules["decimal"] = saved
if saved is None:
    del sys.modules["decimal"]
print(probe.convert("Variant", "text"))
"""
    result = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    assert result.stdout.splitlines() == [
        "(0, None)",
        "ImportError: Unable to import the specified module decimal. The module not found or "
        "errors occurred while initializing it.",
        "(3, 'text')",
    ]


# --- readers and builders of the static callback record ---------------------------------

@pytest.mark.parametrize("value, expected", [
    (0, (1, 0)), (-1, (1, -1)), (2**31 - 1, (1, 2**31 - 1)), (-2**31, (1, -2**31)),
    (2**31, (2, 2**31)), (-2**31 - 1, (2, -2**31 - 1)), (2**63 - 1, (2, 2**63 - 1)),
    (2**63, (3, 2**63)), (2**64 - 1, (3, 2**64 - 1)), (True, (1, 1)), (Color.RED, (1, 1)),
])
def test_integer_reader_width_codes(value, expected):
    assert probe.read_integer(value) == expected


@pytest.mark.parametrize("value, name", [(1.5, "float"), ("1", "str")])
def test_integer_reader_refuses(value, name):
    with pytest.raises(TypeError, match=rf"^can't build integer value from '{name}'$"):
        probe.read_integer(value)


@pytest.mark.parametrize("value", [2**64, -2**63 - 1, 10**100])
def test_integer_reader_overflows_like_a_typed_parameter(value):
    with pytest.raises(OverflowError, match="too big to convert"):
        probe.read_integer(value)


class Explosive:
    def __bool__(self):
        raise ValueError("no truth")


@pytest.mark.parametrize("value, expected", [([], 0), ([0], 1), (0.0, 0), ("x", 1), (None, 0)])
def test_truth_reader(value, expected):
    assert probe.read_truth(value) == (expected, None)


def test_truth_reader_counts_an_error_as_true_and_leaves_it_pending():
    value, error = probe.read_truth(Explosive())
    assert value == 1
    assert isinstance(error, ValueError) and str(error) == "no truth"


@pytest.mark.parametrize("value, expected", [(1.5, 1.5), (-1.0, -1.0), (3, 3.0), (MyFloat(2.0), 2.0)])
def test_double_reader(value, expected):
    assert probe.read_double(value) == expected


def test_double_reader_refuses_non_numbers():
    with pytest.raises(TypeError):
        probe.read_double("1.5")


@pytest.mark.parametrize("index, value, expected", [
    (1, 0, False), (1, 1, True), (1, 0x80, True), (1, 0x100, False),
    (2, -1, -1), (2, 2**31, -2**31), (3, -1, 2**32 - 1), (3, 2**31, 2**31),
    (4, -1, -1), (4, 2**63, -2**63), (5, -1, 2**64 - 1), (6, -0.5, -0.5),
])
def test_builders_take_their_c_types(index, value, expected):
    result = probe.build(index, value)
    assert type(result) is type(expected) and result == expected


def test_make_wrapper_builder_reports_an_unknown_type():
    with pytest.raises(TypeError, match=r"^unknown wrapper type$"):
        probe.build(0, 1)


def test_record_layout():
    readers, builders, buffers, try_make_wrapper, next_item, containers, lists, sequences, streams = \
        probe.record_members()
    assert readers == (True,) * 11
    assert builders == (True,) * 14
    assert buffers == (True,) * 4
    assert try_make_wrapper is True
    assert containers == (True,) * 11
    assert next_item is not None
    assert (lists, sequences, streams) == (True, True, True)


def test_buffer_record_is_the_interpreter_buffer_structure():
    # Py_buffer: nine pointer-sized fields and two ints (80 bytes here, 44 on 32 bits).
    assert probe.buffer_record_size() == 9 * struct.calcsize("P") + 2 * 4


@pytest.mark.parametrize("text", ["", "a", "caf\xe9", "\U0001F600", "x\U0010FFFFy", "\ufeff", "\udfff"], ids=repr)
def test_utf16_text_of_a_str(text):
    encoded = text.encode("utf-16-le", "surrogatepass")
    count, units, holder_references = probe.utf16_text(text)
    assert (count, units) == (len(encoded) // 2, encoded)
    assert holder_references == 1  # a fresh reference that passes wholly to .NET


def test_utf16_text_refuses():
    with pytest.raises(TypeError, match=r"^can't build Char from 'bytes'$"):
        probe.utf16_text(b"a")


# --- reference counts ------------------------------------------------------------------------

COUNTED = [
    ("String", "counted text"), ("String", 5), ("Char", "c"), ("Char", "cc"), ("Char", 3),
    ("Int16", 40000), ("Int32", 12345678), ("Int64", Color.RED), ("Byte", 300), ("Double", 2**64 - 1),
    ("Double", 2**64), ("Single", 0.25), ("Bool", 1), ("ByteArray", b"counted bytes"),
    ("ByteArray", bytearray(b"counted")), ("ByteArray", non_contiguous()), ("ByteArray", "no buffer"),
    ("Variant", "counted variant"), ("Variant", [1, 2]), ("Variant", datetime.date(2020, 1, 1)),
    ("Variant", object()), ("Variant", probe.NetObject(9)),
]


@pytest.mark.parametrize("kind, value", COUNTED, ids=lambda v: v if isinstance(v, str) else type(v).__name__)
def test_conversions_keep_reference_counts(kind, value):
    def once():
        try:
            probe.convert(kind, value)
        except (TypeError, OverflowError, ValueError, BufferError):
            pass

    once()  # first use may import and cache standard classes
    before = sys.getrefcount(value)
    for _ in range(1000):
        once()
    assert sys.getrefcount(value) == before


@pytest.mark.parametrize("read, value", [
    (probe.read_integer, 2**70), (probe.read_integer, 7), (probe.read_truth, Explosive()),
    (probe.read_double, 1.25), (probe.buffer_copy, bytearray(b"b")), (probe.buffer_copy, non_contiguous()),
    (probe.utf16_text, "u"), (probe.read_view, "v"),
], ids=lambda v: getattr(v, "__name__", type(v).__name__))
def test_record_members_keep_reference_counts(read, value):
    def once():
        try:
            read(value)
        except (TypeError, OverflowError, ValueError, BufferError):
            pass

    once()
    before = sys.getrefcount(value)
    for _ in range(1000):
        once()
    assert sys.getrefcount(value) == before


def test_list_and_sequence_sizes():
    assert probe.container_sizes([1, 2, 3], (4, 5)) == (3, 2)
    with pytest.raises(TypeError, match="^expected a list, not 'tuple'$"):
        probe.container_sizes((1,), ())
