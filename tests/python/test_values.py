"""Strings and primitive values round-trip through real .NET members of the test probe."""
import sys

import pytest


@pytest.fixture
def probe(mv):
    return mv.testing.ValueProbe()


STRINGS = ["", "plain", "caf\u00e9", "\u4e2d\u6587", "emoji \U0001F600 and more \U0001F680", "a\0b\0",
           "\ud800 lone", "x" * 100_000]


@pytest.mark.parametrize("text", STRINGS, ids=range(len(STRINGS)))
def test_strings_cross_both_ways(probe, text):
    assert probe.echo(text) == text
    utf16_units = len(text.encode("utf-16-le", "surrogatepass")) // 2
    assert probe.length(text) == utf16_units
    probe.text = text
    assert probe.text == text


def test_string_edges(probe):
    assert probe.length(None) == -1 and probe.echo(None) is None
    probe.text = None
    assert probe.text is None
    assert probe.non_bmp == "a\U0001F600b" and probe.with_nul == "a\0b"
    assert probe.leading_bom == "\ufeffx"
    assert probe.lone_surrogate == "a\ud800b"
    with pytest.raises(TypeError, match=r"can't build String from 'bytes'"):
        probe.concat(b"x", "y")

    class Sub(str):
        pass
    assert probe.concat(Sub("a"), "b") == "ab"


def test_booleans_are_exact(probe):
    probe.flag = True
    assert probe.flag is True
    for wrong in (1, None, "True"):
        with pytest.raises(TypeError, match=r"can't build bool from '%s'" % type(wrong).__name__):
            probe.flag = wrong
    assert probe.flag is True


@pytest.mark.parametrize("name,good,bad", [
    ("int_16_value", [-32768, 32767, 0], [(32768, OverflowError, "value '32768' is out of the INT16 range"),
                                         (-32769, OverflowError, "out of the INT16 range")]),
    ("byte_value", [0, 255], [(256, OverflowError, "value '256' is out of the UINT8 range"), (-1, OverflowError, "")]),
    ("int_32_value", [-2**31, 2**31 - 1], [(2**31, OverflowError, ""), (2**100, OverflowError, "")]),
    ("int_64_value", [-2**63, 2**63 - 1], [(2**63, OverflowError, "")]),
])
def test_integer_ranges(probe, name, good, bad):
    for value in good:
        setattr(probe, name, value)
        assert getattr(probe, name) == value
    for value, error, message in bad:
        with pytest.raises(error, match=message):
            setattr(probe, name, value)
    for wrong in (True, 1.0, "1", None):
        with pytest.raises(TypeError, match=r"integer argument expected, got '%s'" % type(wrong).__name__):
            setattr(probe, name, wrong)


def test_int_enum_members_are_not_integers(probe):
    import enum

    class Colour(enum.IntEnum):
        RED = 1
    with pytest.raises(TypeError, match="integer argument expected, got 'Colour'"):
        probe.int_32_value = Colour.RED


def test_floating_point(probe):
    probe.double_value = 2**64 - 1
    assert probe.double_value == float(2**64 - 1)
    with pytest.raises(OverflowError):
        probe.double_value = 2**64
    probe.double_value = -1.0
    assert probe.double_value == -1.0
    probe.single_value = 0.1
    assert probe.single_value == pytest.approx(0.1, rel=1e-7) and probe.single_value != 0.1
    with pytest.raises(TypeError, match="numeric argument expected, got 'str'"):
        probe.double_value = "1.0"
    probe.double_value = float("inf")
    assert probe.double_value == float("inf")


def test_characters(probe):
    for char in ("a", "\u00e9", "\uffff", "\0"):
        probe.char_value = char
        assert probe.char_value == char
    for wrong in ("ab", "", "\U0001F600"):
        with pytest.raises(TypeError, match="string must contain one UTF-16 code unit"):
            probe.char_value = wrong
    with pytest.raises(TypeError, match="can't build Char from 'int'"):
        probe.char_value = 65


def test_byte_arrays(probe):
    for data in (b"", b"\x00\x01\xff", bytearray(b"abc"), memoryview(b"xyz"), bytes(range(256)) * 100):
        probe.bytes = data
        result = probe.bytes
        assert type(result) is bytearray and result == bytes(data)
    probe.bytes = None
    assert probe.bytes is None
    with pytest.raises(ValueError, match="memoryview is not contiguous"):
        probe.bytes = memoryview(b"abcdef")[::2]
    with pytest.raises(TypeError, match=r"can't build byte\[\] from 'str'"):
        probe.bytes = "text"


def test_untyped_values(mv, probe):
    cases = [(None, "null"), ("hi", "System.String: hi"), (True, "System.Boolean: True"),
             (7, "System.Int32: 7"), (2**40, "System.Int64: 1099511627776"), (1.5, "System.Double: 1.5"),
             (b"ab", "System.Byte[]: System.Byte[]")]
    for value, text in cases:
        assert probe.describe(value) == text
    assert probe.describe(probe).startswith("Morvax.Velto.Testing.ValueProbe")
    for value in (None, "s", True, 5, 2.5):
        probe.value = value
        assert probe.value == value and type(probe.value) is type(value)
    probe.value = probe
    back = probe.value
    assert type(back) is mv.testing.ValueProbe and back == probe
    with pytest.raises(TypeError, match="unknown variant type"):
        probe.describe(object())


def test_overloads_pick_by_argument_kind(probe):
    assert probe.echo("s") == "s"
    assert probe.echo(5) == 5 and type(probe.echo(5)) is int
    assert probe.echo(2.5) == 2.5
    with pytest.raises(TypeError) as caught:
        probe.echo([1])
    reasons = caught.value.args[0]
    assert reasons == ["can't build String from 'list'", "integer argument expected, got 'list'",
                       "numeric argument expected, got 'list'"]


def test_keyword_arguments_use_snake_case_names(probe):
    assert probe.concat(a="x", b="y") == "xy"
    assert probe.concat("x", b="y") == "xy"
    with pytest.raises(TypeError, match=r"function missing required argument 'b' \(pos 2\)"):
        probe.concat(a="x", c="y")
    with pytest.raises(TypeError, match=r"function takes at most 2 arguments \(3 given\)"):
        probe.concat("x", "y", a="z")


def test_reference_counts_stay_put(probe):
    text, data, number = "refcount text \U0001F600", bytearray(b"123"), 10**12
    before = [sys.getrefcount(o) for o in (text, data, number, probe)]
    for _ in range(2000):
        probe.echo(text)
        probe.bytes = data
        probe.describe(number)
        probe.int_64_value = number
        try:
            probe.flag = text
        except TypeError:
            pass
        try:
            probe.echo([text])
        except TypeError:
            pass
    after = [sys.getrefcount(o) for o in (text, data, number, probe)]
    assert after == before


def test_lone_surrogates_cross_both_ways_everywhere(mv, probe):
    # One rule for text that no encoding can represent: a lone surrogate goes to .NET as
    # that code unit and comes back as that code point, in results, reprs and messages.
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.write("a\ud800b\udce9")
    assert doc.get_text().strip() == "a\ud800b\udce9"
    paragraph = doc.first_section.body.first_paragraph
    assert paragraph.get_text().strip() == "a\ud800b\udce9"
    repr(paragraph)
    with pytest.raises(RuntimeError) as caught:
        probe.fail("bad \udce9 name")
    assert "bad \udce9 name" in str(caught.value)
