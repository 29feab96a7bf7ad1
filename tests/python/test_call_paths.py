"""Bound methods and constructors are called in the vectorcall form. A call that passes
exactly one overload's parameters by position is matched without the interpreter's
argument parser; every other call goes through it. Whichever way a call goes, a refusal
must say what the interpreter's own parser says: the reference is
_descriptor_probe.parse_reference (PyArg_ParseTupleAndKeywords over the same parameter
names), and a constructor reached through __init__ (a tuple and a dictionary) must say
what calling the class says."""
import datetime

import pytest

import _descriptor_probe as reference

# Argument sets the parser refuses for one parameter named "value" (or "s"): missing,
# extra, given by name and by position, unknown names, and a mix.
BAD_CALLS = [
    ((), {}),
    ((1, 2), {}),
    ((1, 2, 3), {}),
    ((1,), {"value": 2}),
    ((1,), {"s": 2}),
    ((), {"nope": 1}),
    ((), {"value": 1, "nope": 2}),
    ((1,), {"nope": 1}),
    ((), {"value": 1, "s": 2}),
]


def refusal(call):
    with pytest.raises(TypeError) as caught:
        call()
    return caught.value.args[0]


def outcome(call):
    """The TypeError's text, or None when the call went through."""
    try:
        call()
    except TypeError as error:
        return error.args[0]
    return None


@pytest.fixture
def probe(mv):
    return mv.testing.ValueProbe()


@pytest.mark.parametrize("args, kwargs", BAD_CALLS)
def test_one_overload_says_what_the_parser_says(probe, mv, args, kwargs):
    expected = reference.parse_reference(("value",), args, kwargs)
    assert refusal(lambda: probe.describe(*args, **kwargs)) == expected
    expected = reference.parse_reference(("s",), args, kwargs)
    if expected is not None:
        assert refusal(lambda: mv.testing.ValueProbe.static_echo(*args, **kwargs)) == expected


@pytest.mark.parametrize("args, kwargs", BAD_CALLS)
def test_every_overload_reason_is_the_parsers(probe, args, kwargs):
    # echo(s: str), echo(value: int), echo(value: float), tried in that order
    expected = [reference.parse_reference(names, args, kwargs) for names in (("s",), ("value",), ("value",))]
    if None in expected:
        return  # an overload parses: its reason is its converter's, checked elsewhere
    assert refusal(lambda: probe.echo(*args, **kwargs)) == expected


@pytest.mark.parametrize("args, kwargs", BAD_CALLS + [((12345,), {}), (("a", "b"), {"nope": 1})])
# (Document and DocumentBuilder take no arguments too: those calls go through both ways.)
def test_constructors_say_the_same_through_the_class_and_through_init(mv, args, kwargs):
    def through_init(cls):
        made = cls.__new__(cls)
        made.__init__(*args, **kwargs)

    for cls in (mv.Paragraph, mv.Document, mv.DocumentBuilder):
        assert outcome(lambda: cls(*args, **kwargs)) == outcome(lambda: through_init(cls))


def test_positional_and_named_arguments_reach_the_same_overload(probe, mv):
    assert probe.echo("x") == probe.echo(s="x") == "x"
    assert probe.echo(7) == probe.echo(value=7) == 7
    assert probe.echo(2.5) == probe.echo(value=2.5) == 2.5
    assert probe.describe(value=None) == probe.describe(None)
    assert mv.testing.ValueProbe.static_echo(s="y") == "y"
    doc = mv.Document()
    paragraph = mv.Paragraph(doc=doc)
    assert paragraph.document == doc
    made = mv.Paragraph.__new__(mv.Paragraph)
    made.__init__(doc=doc)
    assert made.document == doc
    # an unpacked dictionary arrives as names too
    assert probe.echo(**{"value": 3}) == 3


def test_attribute_assignment_finds_each_property_by_name(probe, mv):
    """Assignment sends a class's own properties straight to their setter, remembering
    each name per class: many names in turn (more than it keeps), a name that is no
    property, a read-only one and one of a base class must each behave as the interpreter's
    own assignment would, however often and in whatever order they come."""
    writable = {"int_32_value": 7, "int_16_value": 3, "int_64_value": 1 << 40, "byte_value": 9,
                "double_value": 2.5, "single_value": 0.5, "flag": True, "text": "t", "char_value": "c",
                "span": datetime.timedelta(seconds=2)}
    for _ in range(3):
        for name, value in writable.items():
            setattr(probe, name, value)
        for name, value in writable.items():
            assert getattr(probe, name) == value, name
        with pytest.raises(AttributeError, match="'morvax.velto.testing.ValueProbe' object has no attribute 'nope'"):
            probe.nope = 1
        with pytest.raises(AttributeError, match="attribute 'name_20' of 'morvax.velto.testing.ValueProbe' objects"
                                                 " is not writable"):
            probe.name_20 = "x"
        with pytest.raises(TypeError, match="cannot delete attribute 'int_32_value'"):
            del probe.int_32_value

    class Name(str):
        pass

    setattr(probe, Name("int_32_value"), 11)
    assert probe.int_32_value == 11
    with pytest.raises(TypeError):
        probe.int_32_value = "eleven"
    assert probe.int_32_value == 11
    # a property reached through a subclass's instance, and the class itself stays closed
    paragraph = mv.Paragraph(mv.Document())
    with pytest.raises(AttributeError, match="not writable"):
        paragraph.document = None
    with pytest.raises(TypeError, match="immutable type"):
        type.__setattr__(mv.testing.ValueProbe, "int_32_value", 1)


def test_int_assignment_reads_every_32_bit_value_as_the_general_conversion_does(probe):
    """Small exact ints take a short path, larger ones the general conversion: both must
    store the same value and refuse the same values with the same messages."""
    class Number(int):
        pass

    for value in [0, 1, -1, 2**30 - 1, 2**30, -(2**30 - 1), -2**30, -2**30 - 1, 2**31 - 1, -2**31]:
        probe.int_32_value = value
        assert probe.int_32_value == value and type(probe.int_32_value) is int, value
    for value, c_type in ((2**31, "int"), (-2**31 - 1, "int"), (2**64, "long")):
        with pytest.raises(OverflowError, match=f"Python int too large to convert to C {c_type}$"):
            probe.int_32_value = value
    assert probe.int_32_value == -2**31
    for refused in (Number(1), Number(2**31 - 1), True, 1.0, "1", None):
        with pytest.raises(TypeError, match=f"integer argument expected, got '{type(refused).__name__}'"):
            probe.int_32_value = refused
    assert probe.int_32_value == -2**31


def test_enumeration_results_are_the_members_and_combinations_the_class_makes(mv, probe):
    """A result is its defined member itself, whether the enumeration's values are close
    together or spread out; any other value is what the class makes of it."""
    for member in mv.SaveFormat:
        probe.format = member
        assert probe.format is member
    details = mv.saving.PdfEncryptionDetails()
    permissions = mv.saving.PdfPermissions
    for member in permissions:
        details.permissions = member
        assert details.permissions is member
    combined = permissions.PRINTING | permissions.CONTENT_COPY
    details.permissions = combined
    assert details.permissions == combined and details.permissions is permissions(int(combined))
    assert type(details.permissions) is permissions
