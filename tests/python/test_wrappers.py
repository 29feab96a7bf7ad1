"""Wrapper objects: handle ownership, identity, equality, hashing, text and type choice."""
import gc
import sys

import pytest


def test_each_result_is_a_new_wrapper_of_the_same_object(mv):
    doc = mv.Document()
    first, again = doc.first_section, doc.first_section
    assert first is not again
    assert first == again and not (first != again)
    assert hash(first) == hash(again)
    assert first != doc.last_section or doc.sections.count == 1
    assert (first == 5) is False and (first == "x") is False and first != None  # noqa: E711
    with pytest.raises(TypeError):
        first < again


def test_null_results_are_none(mv):
    probe = mv.testing.ValueProbe()
    assert probe.nothing() is None
    assert mv.Document().first_section.body.first_paragraph.runs.count == 0


def test_declared_class_is_used_for_plain_results(mv):
    doc = mv.Document()
    node = mv.testing.ValueProbe().make_paragraph_as_node(doc)
    assert type(node) is mv.Node
    # Passing the Node where a Paragraph is expected works through the assignability test.
    doc.first_section.body.append_child(node)
    assert doc.first_section.body.paragraphs.count == 2
    paragraph = doc.first_section.body.last_paragraph
    assert type(paragraph) is mv.Paragraph and paragraph == node


def test_inheritance_follows_the_dotnet_bases(mv):
    assert mv.Document.__mro__[1:4] == (mv.DocumentBase, mv.CompositeNode, mv.Node)
    assert mv.Run.__base__ is mv.Inline and mv.Inline.__base__ is mv.Node
    assert mv.DocumentBuilder.__base__ is object
    doc = mv.Document()
    assert doc.get_text() == mv.Node.get_text(doc)


def test_repr_and_str_come_from_dotnet(mv):
    probe = mv.testing.ValueProbe()
    assert repr(probe) == str(probe) == "Morvax.Velto.Testing.ValueProbe"
    doc = mv.Document()
    mv.DocumentBuilder(doc).write("Hello")
    assert "Hello" in repr(doc.first_section.body.first_paragraph)


def test_get_type_names_the_runtime_type(mv):
    import morvax.pyreflection as reflection
    doc = mv.Document()
    node = mv.testing.ValueProbe().make_paragraph_as_node(doc)
    assert isinstance(node.get_type(), reflection.Type)


def test_handles_are_released_exactly_once(mv, handles):
    doc = mv.Document()
    probe = mv.testing.ValueProbe()
    base = handles.live()
    for _ in range(500):
        section = doc.first_section
        body = section.body
        probe.make_paragraph_as_node(doc)
        del section, body
    try:
        mv.Document("/no/such/file.docx")
    except RuntimeError:
        pass
    try:
        mv.Paragraph("wrong")
    except TypeError:
        pass
    assert handles.live() == base
    del doc, probe
    assert handles.live() == base - 2


def test_wrapping_and_calling_keep_reference_counts(mv):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    counts = sys.getrefcount(doc), sys.getrefcount(builder), sys.getrefcount(mv.Document)
    for _ in range(1000):
        builder.document
        builder.write("x")
        doc.first_section.body
        try:
            builder.write(1)
        except TypeError:
            pass
    gc.collect()
    assert (sys.getrefcount(doc), sys.getrefcount(builder), sys.getrefcount(mv.Document)) == counts


def test_type_markers_and_registry_names(mv):
    for cls in (mv.Document, mv.Run, mv.saving.SaveOutputParameters):
        assert cls.__dict__["_morvax_clr_host"] is None
        assert cls.__dict__["_morvax_clr_castable_obj"] is None
    assert mv.saving.SaveOutputParameters.__module__ == "morvax.velto.saving" or \
        mv.saving.SaveOutputParameters.__name__ == "SaveOutputParameters"
    assert repr(mv.Document) == "<class 'morvax.velto.Document'>"
    assert repr(mv.saving.OoxmlSaveOptions) == "<class 'morvax.velto.saving.OoxmlSaveOptions'>"


def test_a_wrapper_is_a_header_and_a_handle(mv):
    # 16 bytes of object header, 4 of handle, padded to 24; nothing per instance besides.
    assert mv.Document.__basicsize__ == 24 and mv.Document.__itemsize__ == 0
    assert sys.getsizeof(mv.Document()) == 24
    assert not hasattr(mv.Document(), "__dict__")


def test_a_failed_reinitialisation_leaves_the_object_as_it_was(mv, handles, tmp_path):
    doc = mv.Document()
    mv.DocumentBuilder(doc).write("kept")
    before = handles.live()
    for arguments in ((str(tmp_path / "missing.docx"),), (5,), ("a", "b", "c")):
        with pytest.raises((RuntimeError, TypeError)):
            doc.__init__(*arguments)
        assert doc.get_text().strip() == "kept"
    assert handles.live() == before
    doc.__init__()  # a successful one replaces the document, releasing the old one
    assert doc.get_text().strip() == ""
    assert handles.live() == before


def test_the_receiver_is_read_after_its_arguments_are_converted(mv, handles):
    # Python code run by a conversion re-initialises the receiver: the value must land in
    # the object the receiver holds now, not in the released one (or whatever took its place).
    import datetime

    probe = mv.testing.ValueProbe()

    class Reinitialising(datetime.tzinfo):
        def utcoffset(self, moment):
            probe.__init__()
            return datetime.timedelta(0)

    before = handles.live()
    probe.when = datetime.datetime(2021, 5, 6, 7, 8, 9, tzinfo=Reinitialising())
    assert probe.when.year == 2021 and probe.when.month == 5
    assert handles.live() == before


def test_repr_of_an_object_made_without_init_never_raises(mv):
    for cls in (mv.Document, mv.DocumentBuilder, mv.testing.ValueProbe, mv.saving.HtmlFixedSaveOptions):
        empty = cls.__new__(cls)
        assert repr(empty) == f"<{cls.__module__}.{cls.__name__} object at {id(empty):#x}, holding no .NET object>"
        assert str(empty) == repr(empty)


def test_an_object_made_without_init_fails_each_use_alike(mv):
    empty = mv.Document.__new__(mv.Document)
    for use in (hash, lambda d: d.get_text(), lambda d: d.first_section, lambda d: d.get_type()):
        with pytest.raises(RuntimeError, match=r"NullReferenceException\): the wrapper is not bound to a \.NET object"):
            use(empty)


def _bound_classes(mv):
    import sys
    found = {}
    for name, module in list(sys.modules.items()):
        if name == "morvax.velto" or (name.startswith("morvax.velto.") and "_wrpgen" not in name):
            for value in vars(module).values():
                if isinstance(value, type) and value.__module__.startswith("morvax.velto") and "_morvax_clr_host" in vars(value):
                    found[value] = None
    return list(found)


def _outcome(call):
    try:
        return "value", call()
    except Exception as error:  # the two ways must fail alike
        return type(error), str(error)


def test_special_methods_reached_through_each_class_act_as_its_operators(mv):
    # Subclasses take their special methods from their bases; called through any class,
    # each must still do what the operator does on that class's objects.
    classes = _bound_classes(mv)
    assert sum(1 for cls in classes if cls.__base__ is not object) > 200
    many = [object()] * 6
    for cls in classes:
        empty = cls.__new__(cls)
        assert type(empty) is cls
        pairs = [
            (lambda: cls.__repr__(empty), lambda: repr(empty)),
            (lambda: cls.__hash__(empty), lambda: hash(empty)),
            (lambda: cls.__eq__(empty, empty), lambda: empty == empty),
            (lambda: cls.__ne__(empty, empty), lambda: empty != empty),
            (lambda: cls.__setattr__(empty, "no_such_member", 1), lambda: setattr(empty, "no_such_member", 1)),
            (lambda: cls.__delattr__(empty, "no_such_member"), lambda: delattr(empty, "no_such_member")),
            # Each class keeps its own initialiser: a wrong argument names the class itself.
            (lambda: cls.__init__(empty, *many), lambda: cls(*many)),
        ]
        for through_class, through_operator in pairs:
            assert _outcome(through_class) == _outcome(through_operator), cls
        assert cls.__lt__(empty, empty) is NotImplemented
        assert _outcome(lambda: cls(*many))[0] is TypeError
    # A class with constructors under one without, and the other way round.
    assert str(_outcome(lambda: mv.CompositeNode(*many))[1]) == "type has no available constructor"
    assert _outcome(lambda: mv.Paragraph(*many)) == (TypeError, "function takes at most 1 argument (6 given)")
    assert _outcome(lambda: mv.Paragraph.__init__(mv.Paragraph.__new__(mv.Paragraph))) == (
        TypeError, "function missing required argument 'doc' (pos 1)")


def test_sequence_and_iteration_of_a_collection_subclass(mv):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.writeln("one")
    builder.writeln("two")
    paragraphs = doc.first_section.body.paragraphs
    assert type(paragraphs).__base__ is not object
    assert [p.get_text() for p in paragraphs] == [paragraphs[i].get_text() for i in range(paragraphs.count)]
    assert type(paragraphs).__getitem__(paragraphs, 0) == paragraphs[0]
