"""Bound methods and constructors are called in the vectorcall form. A call that passes
exactly one overload's parameters by position is matched without the interpreter's
argument parser; every other call goes through it. Whichever way a call goes, a refusal
must say what the interpreter's own parser says: the reference is
_descriptor_probe.parse_reference (PyArg_ParseTupleAndKeywords over the same parameter
names), and a constructor reached through __init__ (a tuple and a dictionary) must say
what calling the class says."""
import sys

import pytest

from conftest import TEST_SUPPORT

if str(TEST_SUPPORT) not in sys.path:
    sys.path.insert(0, str(TEST_SUPPORT))
import _descriptor_probe as reference  # noqa: E402

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
