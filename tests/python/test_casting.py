"""Casting and type identity: _type_of, _cast_to, _cast_as, _is_assignable,
_reinterpret_obj and _cast_from on the real node hierarchy of the library, on static
classes, and on a class whose delegate table failed.

What a cast returns is morvax.pygc's choice: the new wrapper for a cast that was made,
None for a cast that was not possible (outcome 0) or that gave .NET null.
"""
import ctypes
import gc
import sys

import pytest

from conftest import BUILD, chain_lines, run_python

SERVICES = ("get_type", "_type_of", "_cast_to", "_cast_from", "_reinterpret_obj", "_cast_as", "_is_assignable")


@pytest.fixture
def doc(mv):
    return mv.Document()


@pytest.fixture
def node(mv, doc):
    """A Node wrapper whose .NET object is a paragraph."""
    made = mv.testing.ValueProbe().make_paragraph_as_node(doc)
    assert type(made) is mv.Node
    return made


def handle_field(wrapper):
    """The wrapper's handle field; the handle follows the object header in every wrapper."""
    return ctypes.c_uint32.from_address(id(wrapper) + object.__basicsize__)


def as_reflection_object(wrapper):
    """Moves the wrapper's .NET handle into a new morvax.pyreflection.Object.

    The wrapper is left unbound (handle 0), so the handle keeps exactly one owner.
    """
    import morvax.pyreflection as reflection
    get_pointer = ctypes.pythonapi.PyCapsule_GetPointer
    get_pointer.restype = ctypes.c_void_p
    get_pointer.argtypes = [ctypes.py_object, ctypes.c_char_p]
    table = (ctypes.c_void_p * 4).from_address(
        get_pointer(reflection._C_APIT_Object, b"morvax.pyreflection._C_APIT_Object"))
    make = ctypes.PYFUNCTYPE(ctypes.py_object, ctypes.c_uint32)(table[1])
    field = handle_field(wrapper)
    handle = field.value
    assert handle != 0
    field.value = 0
    return make(handle)


# --- the method table --------------------------------------------------------------


def test_every_class_ends_its_methods_with_the_services(mv):
    for cls in (mv.Paragraph, mv.Document, mv.DocumentBuilder, mv.ConvertUtil, mv.ControlChar):
        names = [name for name in cls.__dict__ if name in SERVICES]
        assert names == list(SERVICES), cls
        assert isinstance(cls.__dict__["_cast_to"], staticmethod)
        assert not isinstance(cls.__dict__["_cast_from"], staticmethod)
    for wrong_arity in (lambda: mv.Paragraph._type_of(1), lambda: mv.Paragraph._cast_to()):
        with pytest.raises(TypeError):
            wrong_arity()


# --- classes with instances ----------------------------------------------------------


def test_cast_down_and_back_up_the_node_hierarchy(mv, node):
    for cast in (mv.Paragraph._cast_to, mv.Paragraph._cast_as):
        paragraph = cast(node)
        assert type(paragraph) is mv.Paragraph
        assert paragraph == node and paragraph is not node
        assert paragraph.runs.count == 0  # a Paragraph member, absent from Node
    paragraph = mv.Paragraph._cast_to(node)
    for cls in (mv.CompositeNode, mv.Node):
        up = cls._cast_to(paragraph)
        assert type(up) is cls and up == node
    # Casting to the class the wrapper already has still makes a new wrapper.
    again = mv.Paragraph._cast_as(paragraph)
    assert type(again) is mv.Paragraph and again is not paragraph and again == paragraph


def test_a_document_reached_as_its_base_class(mv, doc, node):
    base = node.document
    assert type(base) is mv.DocumentBase
    assert mv.Document._is_assignable(base) is True
    full = mv.Document._cast_as(base)
    assert type(full) is mv.Document and full == doc
    assert full.sections.count == doc.sections.count


def test_a_cast_result_owns_its_own_handle(mv, handles, doc):
    mv.DocumentBuilder(doc).write("Hello")
    node = doc.first_section.body.first_child
    assert type(node) is mv.Node
    before = handles.live()
    paragraph = mv.Paragraph._cast_to(node)
    assert handles.live() == before + 1
    del node
    gc.collect()
    assert paragraph.runs.count == 1 and paragraph.get_text().startswith("Hello")
    del paragraph
    assert handles.live() == before - 1


def test_unrelated_classes_are_not_castable(mv, doc, node):
    builder = mv.DocumentBuilder(doc)
    run = mv.Run(doc, "text")
    cases = [(mv.Run, node), (mv.DocumentBuilder, node), (mv.Document, node),
             (mv.Paragraph, builder), (mv.Paragraph, run), (mv.Node, builder)]
    for cls, obj in cases:
        assert cls._cast_to(obj) is None, (cls, obj)
        assert cls._cast_as(obj) is None, (cls, obj)
        assert cls._is_assignable(obj) is False, (cls, obj)
    # Nothing was disturbed: the same objects still cast where they can.
    assert type(mv.Inline._cast_to(run)) is mv.Inline
    assert type(mv.Paragraph._cast_to(node)) is mv.Paragraph


def test_is_assignable_follows_the_dotnet_classes(mv, doc, node):
    for cls, expected in ((mv.Paragraph, True), (mv.CompositeNode, True), (mv.Node, True),
                          (mv.Run, False), (mv.Inline, False), (mv.Document, False)):
        assert cls._is_assignable(node) is expected, cls
    for cls, expected in ((mv.Document, True), (mv.DocumentBase, True), (mv.Node, True),
                          (mv.Paragraph, False), (mv.DocumentBuilder, False)):
        assert cls._is_assignable(doc) is expected, cls


def test_non_wrappers_are_not_castable_and_raise_nothing(mv, node):
    for obj in (3, "text", object(), int, mv.Paragraph, node.get_type(), mv.Paragraph._type_of()):
        assert mv.Paragraph._cast_to(obj) is None, obj
        assert mv.Paragraph._cast_as(obj) is None, obj
        assert mv.Paragraph._is_assignable(obj) is False, obj


def test_a_python_class_carrying_the_marker_is_no_wrapper(mv):
    class Pretender:
        __slots__ = ("payload",)
        _morvax_clr_host = None

    pretender = Pretender()
    pretender.payload = object()  # its address sits where a wrapper keeps its handle
    assert mv.Paragraph._cast_to(pretender) is None
    assert mv.Paragraph._is_assignable(pretender) is False


def test_none_and_unbound_wrappers(mv):
    # _cast_to hands None to .NET as the null handle, which casts to null: None again.
    assert mv.Document._cast_to(None) is None
    # _cast_as and _is_assignable do not accept None at all.
    assert mv.Document._cast_as(None) is None
    assert mv.Document._is_assignable(None) is False
    # A wrapper made without __init__ is accepted and reaches .NET as null.
    unbound = mv.testing.ValueProbe.__new__(mv.testing.ValueProbe)
    assert mv.testing.ValueProbe._is_assignable(unbound) is False
    assert mv.testing.ValueProbe._cast_to(unbound) is None
    assert mv.testing.ValueProbe._cast_as(unbound) is None


def test_cast_from_never_casts(mv, doc, node):
    for target in (node, doc, mv.DocumentBuilder(doc)):
        for argument in (node, None, 3, mv.Paragraph, target):
            assert target._cast_from(argument) is None
    with pytest.raises(TypeError):
        mv.Paragraph._cast_from(node)  # an instance method: node is taken as self, no argument


def test_type_of_gives_reflection_types(mv, handles, node):
    import morvax.pyreflection as reflection
    for cls in (mv.Paragraph, mv.Node, mv.Document, mv.ConvertUtil, mv.ControlChar):
        assert type(cls._type_of()) is reflection.Type
    first, second = mv.Paragraph._type_of(), mv.Paragraph._type_of()
    assert first is not second and 0 not in (first.handle, second.handle) and first.handle != second.handle
    assert type(node.get_type()) is reflection.Type
    before = handles.live()
    kept = [mv.Paragraph._type_of() for _ in range(5)]
    assert handles.live() == before + 5
    del kept
    assert handles.live() == before


def test_dotnet_errors_inside_the_services_come_through(mv, handles, doc):
    # A wrapper whose handle was freed behind its back: .NET refuses the stale handle.
    node = mv.testing.ValueProbe().make_paragraph_as_node(doc)
    before = handles.live()
    field = handle_field(node)
    stale = field.value
    as_reflection_object(node)  # takes the handle over, and frees it as it goes
    assert handles.live() == before - 1
    field.value = stale
    try:
        for service in (mv.Paragraph._cast_to, mv.Paragraph._cast_as, mv.Run._cast_to, mv.Paragraph._is_assignable):
            with pytest.raises(RuntimeError, match=r"^Proxy error\(System\."):
                service(node)
    finally:
        field.value = 0
    assert handles.live() == before - 1
    assert type(mv.Paragraph._cast_to(mv.testing.ValueProbe().make_paragraph_as_node(doc))) is mv.Paragraph


# --- _reinterpret_obj ------------------------------------------------------------------


def test_reinterpret_a_reflection_object(mv, handles, doc):
    source = mv.testing.ValueProbe().make_paragraph_as_node(doc)
    before = handles.live()
    held = as_reflection_object(source)
    import morvax.pyreflection as reflection
    assert type(held) is reflection.Object and handles.live() == before
    paragraph = mv.Paragraph._reinterpret_obj(held)
    assert type(paragraph) is mv.Paragraph and paragraph.runs.count == 0
    assert type(mv.Node._reinterpret_obj(held)) is mv.Node
    assert mv.Node._reinterpret_obj(held) == paragraph
    # A class the object is not an instance of: .NET refuses, the error comes through.
    with pytest.raises(RuntimeError, match=r"InvalidCastException"):
        mv.Run._reinterpret_obj(held)
    with pytest.raises(RuntimeError, match=r"InvalidCastException"):
        mv.Paragraph._reinterpret_obj(mv.Paragraph._type_of())
    del paragraph, held, source
    assert handles.live() == before - 1


def test_reinterpret_refuses_what_is_no_reflection_object(mv, node):
    # A wrapper is no reflection Object either: _cast_to leads from one wrapper to another.
    for obj, name in ((3, "int"), (None, "NoneType"), (node, "morvax.velto.Node")):
        with pytest.raises(TypeError) as caught:
            mv.Paragraph._reinterpret_obj(obj)
        assert str(caught.value) == f"_reinterpret_obj() expects a .Net Object argument, got a {name} object"
    assert mv.Paragraph._cast_to(node) == node


# --- static classes --------------------------------------------------------------------


@pytest.mark.parametrize("static", ["ConvertUtil", "ControlChar"])
def test_static_classes_give_fixed_answers(mv, node, static):
    cls = getattr(mv, static)
    for obj in (node, None, 3, cls):
        assert cls._cast_to(obj) is None
        assert cls._cast_as(obj) is None
        assert cls._is_assignable(obj) is False
    for obj, name in ((node, "morvax.velto.Node"), (None, "NoneType"), (3, "int")):
        with pytest.raises(TypeError) as caught:
            cls._reinterpret_obj(obj)
        assert str(caught.value) == f"cannot convert from  '{name}' to 'morvax.velto.{static}'"
    with pytest.raises(TypeError):
        cls._cast_from(node)  # no instance can exist to call it on


# --- references and handles --------------------------------------------------------------


def test_reference_counts_and_handles_stay_level_over_many_casts(mv, handles, doc, node):
    builder = mv.DocumentBuilder(doc)
    watched = (node, builder, mv.Paragraph, mv.Run, mv.ConvertUtil)
    gc.collect()  # frames of earlier tests may still hold the classes
    counts = [sys.getrefcount(obj) for obj in watched]
    base = handles.live()
    for _ in range(1000):
        mv.Paragraph._cast_to(node)
        mv.Paragraph._cast_as(node)
        mv.Run._cast_to(node)
        mv.Run._cast_as(builder)
        mv.Paragraph._cast_to(None)
        mv.Paragraph._is_assignable(node)
        mv.Paragraph._type_of()
        node._cast_from(builder)
        mv.ConvertUtil._cast_to(node)
        for failing in (lambda: mv.Paragraph._reinterpret_obj(node),
                        lambda: mv.ConvertUtil._reinterpret_obj(node)):
            try:
                failing()
            except TypeError:
                pass
    gc.collect()
    assert [sys.getrefcount(obj) for obj in watched] == counts
    assert handles.live() == base


# --- a class whose delegate table failed ---------------------------------------------------


def test_casting_methods_refuse_service_for_a_failed_class(built):
    # A build of the interop assembly whose Inline class lacks an entry point: Inline
    # fails itself, Run (based on Inline) reports the referenced failure.
    variant = BUILD / "test-assemblies" / "omit-inline"
    code = """
import morvax.velto as mv
doc = mv.Document()
node = mv.testing.ValueProbe().make_paragraph_as_node(doc)
for cls in (mv.Inline, mv.Run):
    for name, call in (("type_of", lambda: cls._type_of()), ("cast_to", lambda: cls._cast_to(node)),
                       ("cast_as", lambda: cls._cast_as(node)), ("is_assignable", lambda: cls._is_assignable(3)),
                       ("reinterpret", lambda: cls._reinterpret_obj(3))):
        try:
            call()
            print("NO ERROR", cls.__name__, name)
        except TypeError as e:
            print("CASE", cls.__name__, name)
            _show_chain(e)
print("CAST FROM", node._cast_from(3))
print("STILL", type(mv.Paragraph._cast_to(node)).__name__, type(node.get_type()).__name__)
"""
    result = run_python(code, env={"NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(variant)})
    output = result.stdout + result.stderr
    assert result.returncode == 0, output
    assert "NO ERROR" not in output
    cases = [line for line in result.stdout.splitlines() if line.startswith("CASE")]
    assert len(cases) == 10, output
    chains = chain_lines(result)
    missing = "TypeError: While initializing the host for the 'WrpNs_Morvax.WrpNs_Velto.WrpCs_Inline_"
    # Five Inline cases, one line each; then five Run cases, each a referenced failure
    # chained to Inline's message.
    assert all(line.startswith(missing) and "get_Font" in line for line in chains[:5]), chains
    assert chains[5:] == ["TypeError: one or more refereced type is not initialized", chains[0]] * 5
    assert "CAST FROM None" in result.stdout
    assert "STILL Paragraph Type" in result.stdout
