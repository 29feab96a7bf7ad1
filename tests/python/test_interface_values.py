"""Interface values: callback properties set and read back, the converter's refusals, results
given the class that stands for the interface, callbacks fired by real loading and saving, and
the references .NET holds to Python objects."""
import sys

import pytest

from test_document_surface import with_body_paragraph, written

# Markup the model has no node for: the reader keeps it as it was read.
KEPT_MARKUP = '<w:customXml w:element="clause"><w:r><w:t>Kept</w:t></w:r></w:customXml>'


def listed(mv, warnings):
    """The warnings a WarningInfoCollection holds, through the enumerable it stands for."""
    return list(mv._wrpgen._interop._IterableWrapper._cast_as(warnings))


def test_callback_properties_round_trip_and_clear(mv):
    doc = mv.Document()
    assert doc.warning_callback is None and doc.node_changing_callback is None
    warnings = mv.WarningInfoCollection()
    doc.warning_callback = warnings
    again = doc.warning_callback
    # A new wrapper of the same .NET object, with the class that stands for the interface.
    assert type(again) is mv.WarningInfoCollection and again == warnings and again is not warnings
    doc.warning_callback = None
    assert doc.warning_callback is None
    doc.node_changing_callback = None
    assert doc.node_changing_callback is None


def test_interface_typed_wrapper_and_static_callbacks(mv):
    warnings = mv.WarningInfoCollection()
    as_interface = mv.IWarningCallback._cast_as(warnings)
    assert type(as_interface) is mv.IWarningCallback
    doc = mv.Document()
    doc.warning_callback = as_interface  # the interface's own wrapper
    assert type(doc.warning_callback) is mv.WarningInfoCollection
    # An adapter's own set does not name the interface: .NET is asked, and says yes.
    doc.warning_callback = None
    doc.warning_callback = mv._wrpgen._interop._IterableWrapper._cast_as(warnings)
    assert doc.warning_callback == warnings
    try:
        assert mv.Hyphenation.set_warning_callback(warnings) is None
        assert mv.Hyphenation.warning_callback == warnings
        assert mv.Hyphenation.set_callback(None) is None and mv.Hyphenation.callback is None
        with pytest.raises(TypeError, match=r"^can't build IHyphenationCallback value from 'WarningInfoCollection'$"):
            mv.Hyphenation.set_callback(warnings)
    finally:
        mv.Hyphenation.set_warning_callback(None)
    assert mv.Hyphenation.warning_callback is None


def test_the_converter_refuses_what_does_not_implement_the_interface(mv):
    doc = mv.Document()

    class Duck:
        def warning(self, info):
            pass

    cases = [(object(), "object"), (Duck(), "Duck"), (42, "int"), ("text", "str"),
             # A wrapper whose .NET object does not implement it: .NET is asked and says no.
             (mv.Paragraph(doc), "Paragraph"), (mv.WarningInfoCollection, "type")]
    for value, name in cases:
        with pytest.raises(TypeError, match=rf"^can't build IWarningCallback value from '{name}'$"):
            doc.warning_callback = value
    with pytest.raises(TypeError, match=r"^can't build INodeChangingCallback value from 'WarningInfoCollection'$"):
        doc.node_changing_callback = mv.WarningInfoCollection()
    # A refusal changes nothing, and the document goes on working.
    warnings = mv.WarningInfoCollection()
    doc.warning_callback = warnings
    with pytest.raises(TypeError):
        doc.warning_callback = object()
    assert doc.warning_callback == warnings


def test_answers_stay_right_while_many_wrapper_types_take_turns(mv):
    """The kinds and interface sets of the wrapper types met last are remembered: with more
    types taking turns than are remembered, each keeps its own answer, and a Python class
    that copies a wrapper type's markers is never taken for one."""
    doc = mv.Document()
    warnings = mv.WarningInfoCollection()
    accepted = [warnings, mv.IWarningCallback._cast_as(warnings),
                mv._wrpgen._interop._IterableWrapper._cast_as(warnings)]
    refused = [mv.Paragraph(doc), mv.Run(doc), mv.Section(doc), mv.DocumentBuilder(doc), doc, mv.tables.Table(doc)]

    class Lookalike:
        _morvax_clr_host = None
        _additional_interfaces = {mv.IWarningCallback}

    for round_ in range(3):
        for value in (refused + accepted)[round_::2] + (accepted + refused)[::-1]:
            if any(value is good for good in accepted):
                doc.warning_callback = value
                back = doc.warning_callback
                assert type(back) is mv.WarningInfoCollection and back == warnings
            else:
                with pytest.raises(TypeError, match=rf"^can't build IWarningCallback value from '{type(value).__name__}'$"):
                    doc.warning_callback = value
        with pytest.raises(TypeError, match=r"^can't build IWarningCallback value from 'Lookalike'$"):
            doc.warning_callback = Lookalike()
        # As class arguments and in comparisons the same wrapper types still behave as themselves.
        assert mv.Paragraph(doc) != warnings and refused[0] == refused[0]


def test_warnings_reach_the_collection_from_loading_and_saving(mv, tmp_path):
    source = with_body_paragraph(mv, tmp_path, KEPT_MARKUP)
    on_load = mv.WarningInfoCollection()
    options = mv.loading.LoadOptions()
    options.warning_callback = on_load
    doc = mv.Document(str(source), options)
    assert on_load.count == 1
    first = listed(mv, on_load)[0]
    assert first.warning_type == mv.WarningType.UNEXPECTED_CONTENT and first.source == mv.WarningSource.DOCX
    assert "kept" in first.description
    # The loaded document keeps reporting to the same collection.
    assert doc.warning_callback == on_load
    doc.save(str(tmp_path / "again.docx"))  # .docx writes the kept markup back: nothing to report
    assert on_load.count == 1
    doc.save(str(tmp_path / "out.txt"))
    assert on_load.count == 2
    lost = listed(mv, on_load)[1]
    assert lost.warning_type == mv.WarningType.DATA_LOSS and lost.source == mv.WarningSource.TEXT
    assert "text writer cannot keep 1 element" in lost.description
    doc.warning_callback = None
    doc.save(str(tmp_path / "quiet.txt"))
    assert on_load.count == 2


def test_a_table_saved_as_text_is_reported(mv, tmp_path):
    doc = written(mv, "Before")
    table = mv.tables.Table(doc)
    doc.first_section.body.append_child(table)
    warnings = mv.WarningInfoCollection()
    doc.warning_callback = warnings
    doc.save(str(tmp_path / "table.md"))
    assert warnings.count == 0
    doc.save(str(tmp_path / "table.txt"))
    assert [w.warning_type for w in listed(mv, warnings)] == [mv.WarningType.MAJOR_FORMATTING_LOSS]


def test_set_and_clear_cycles_leak_nothing(mv, handles):
    doc = mv.Document()
    warnings = mv.WarningInfoCollection()
    refused = object()
    base_handles = handles.live()
    base_warnings, base_refused = sys.getrefcount(warnings), sys.getrefcount(refused)
    for _ in range(10_000):
        doc.warning_callback = warnings
        assert doc.warning_callback == warnings
        doc.warning_callback = None
        with pytest.raises(TypeError):
            doc.warning_callback = refused
        mv.Hyphenation.set_warning_callback(warnings)
        mv.Hyphenation.set_warning_callback(None)
    assert sys.getrefcount(warnings) == base_warnings
    assert sys.getrefcount(refused) == base_refused
    assert handles.live() == base_handles


def test_interface_sets_are_written_at_registration(mv):
    sets = mv.WarningInfoCollection.__dict__
    assert mv.IWarningCallback in sets["_additional_interfaces"]
    assert sets["_additional_interfaces"] == sets["_implicit_interfaces"]
    # Only the type's own dictionary counts; a class implementing nothing has none.
    assert "_additional_interfaces" not in mv.Paragraph.__dict__
