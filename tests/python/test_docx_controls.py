"""Legacy form fields and inline content controls of real Word files, end to end.

They are read into `range.form_fields` and `range.structured_document_tags`, changed and saved.
The files are python-docx documents holding the markup Word writes for them; what is saved is
read back here, by python-docx and (a changed text input) by LibreOffice.
"""

import pytest

from test_docx_corpus import SOFFICE, soffice

docx = pytest.importorskip("docx")
from docx.oxml import parse_xml  # noqa: E402  (needs python-docx, imported above)

W_URI = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
W = "{%s}" % W_URI


def field_runs(data, code, result):
    runs = [f'<w:r xmlns:w="{W_URI}"><w:fldChar w:fldCharType="begin"><w:ffData>{data}</w:ffData></w:fldChar></w:r>',
            f'<w:r xmlns:w="{W_URI}"><w:instrText xml:space="preserve"> {code} </w:instrText></w:r>',
            f'<w:r xmlns:w="{W_URI}"><w:fldChar w:fldCharType="separate"/></w:r>',
            f'<w:r xmlns:w="{W_URI}"><w:t>{result}</w:t></w:r>',
            f'<w:r xmlns:w="{W_URI}"><w:fldChar w:fldCharType="end"/></w:r>']
    return [parse_xml(r) for r in runs]


def form(path):
    """A form of a text input, a check box and a drop-down, one to a paragraph."""
    made = docx.Document()
    for label, runs in (
            ("Name: ", field_runs('<w:name w:val="Who"/><w:enabled/><w:textInput><w:default w:val="Anon"/>'
                                  '<w:maxLength w:val="20"/></w:textInput>', "FORMTEXT", "Bob")),
            ("Agree: ", field_runs('<w:name w:val="Agree"/><w:checkBox><w:sizeAuto/><w:default w:val="0"/>'
                                   '<w:checked/></w:checkBox>', "FORMCHECKBOX", "")),
            ("Colour: ", field_runs('<w:name w:val="Colour"/><w:ddList><w:result w:val="1"/>'
                                    '<w:listEntry w:val="red"/><w:listEntry w:val="green"/>'
                                    '<w:listEntry w:val="blue"/></w:ddList>', "FORMDROPDOWN", "green"))):
        paragraph = made.add_paragraph(label)
        for run in runs:
            paragraph._p.append(run)
    made.save(str(path))


def test_form_fields_are_read_changed_and_saved(mv, tmp_path):
    form(tmp_path / "form.docx")
    doc = mv.Document(str(tmp_path / "form.docx"))
    fields = doc.range.form_fields
    assert fields.count == 3
    assert [f.name for f in fields] == ["Who", "Agree", "Colour"]
    assert [f.type for f in fields] == [mv.fields.FieldType.FIELD_FORM_TEXT_INPUT, mv.fields.FieldType.FIELD_FORM_CHECK_BOX,
                                        mv.fields.FieldType.FIELD_FORM_DROP_DOWN]
    who, agree, colour = fields.get_by_name("Who"), fields.get_by_name("Agree"), fields.get_by_name("Colour")
    assert (who.text_input_default, who.max_length, who.result) == ("Anon", 20, "Bob")
    assert agree.checked and not agree.default
    assert list(colour.drop_down_items) == ["red", "green", "blue"]
    assert (colour.drop_down_selected_index, colour.result) == (1, "green")
    assert doc.get_child_nodes(mv.NodeType.FORM_FIELD, True).count == 3

    who.result = "Alice"
    agree.checked = False
    colour.drop_down_selected_index = 2  # shows the chosen entry
    assert colour.result == "blue"
    with pytest.raises(Exception):
        colour.drop_down_selected_index = 5
    doc.save(str(tmp_path / "out.docx"))

    back = mv.Document(str(tmp_path / "out.docx")).range.form_fields
    assert [f.result for f in back] == ["Alice", "", "blue"]
    assert (back[1].checked, back[2].drop_down_selected_index) == (False, 2)

    # python-docx sees the changed form data and result text; what was not changed is as read.
    body = docx.Document(str(tmp_path / "out.docx")).element.body
    data = list(body.iter(W + "ffData"))
    assert data[0].find(W + "enabled") is not None
    assert data[0].find(f"{W}textInput/{W}maxLength").get(W + "val") == "20"
    assert data[1].find(f"{W}checkBox/{W}checked").get(W + "val") == "0"
    assert data[2].find(f"{W}ddList/{W}result").get(W + "val") == "2"
    assert [p.text for p in docx.Document(str(tmp_path / "out.docx")).paragraphs] == [
        "Name: Alice", "Agree: ", "Colour: blue"]


def test_untouched_form_fields_are_saved_as_read(mv, tmp_path):
    form(tmp_path / "form.docx")
    mv.Document(str(tmp_path / "form.docx")).save(str(tmp_path / "out.docx"))
    read, saved = (list(docx.Document(str(tmp_path / name)).element.body.iter(W + "ffData"))
                   for name in ("form.docx", "out.docx"))
    from lxml import etree
    assert [etree.tostring(e) for e in saved] == [etree.tostring(e) for e in read]


@pytest.mark.skipif(SOFFICE is None, reason="LibreOffice is not installed")


def test_libreoffice_reads_a_changed_text_input(mv, tmp_path):
    form(tmp_path / "form.docx")
    doc = mv.Document(str(tmp_path / "form.docx"))
    doc.range.form_fields.get_by_name("Who").result = "Alice"
    doc.save(str(tmp_path / "out.docx"))
    soffice(tmp_path, ["--convert-to", "txt:Text (encoded):UTF8", "out.docx"])
    text = (tmp_path / "out.txt").read_text(encoding="utf-8-sig")
    assert "Alice" in text and "Bob" not in text


CONTROL = (f'<w:sdt xmlns:w="{W_URI}"><w:sdtPr><w:alias w:val="Colour"/><w:tag w:val="colour"/>'
           '<w:lock w:val="sdtLocked"/><w:placeholder><w:docPart w:val="DefaultPlaceholder"/></w:placeholder>'
           '<w:dropDownList><w:listItem w:displayText="Red" w:value="r"/><w:listItem w:displayText="Blue" w:value="b"/>'
           '</w:dropDownList></w:sdtPr><w:sdtContent><w:r><w:t>Red</w:t></w:r></w:sdtContent></w:sdt>')


def test_inline_content_controls_are_read_changed_and_saved(mv, tmp_path):
    made = docx.Document()
    made.add_paragraph("Pick: ")._p.append(parse_xml(CONTROL))
    made.save(str(tmp_path / "controls.docx"))

    doc = mv.Document(str(tmp_path / "controls.docx"))
    tags = doc.range.structured_document_tags
    assert tags.count == 1
    control = tags.get_by_tag("colour")
    assert tags.get_by_title("Colour") is not None
    assert (control.title, control.sdt_type, control.level) == ("Colour", mv.markup.SdtType.DROP_DOWN_LIST,
                                                                mv.markup.MarkupLevel.INLINE)
    assert (control.lock_content_control, control.lock_contents) == (True, False)
    assert [(i.display_text, i.value) for i in control.list_items] == [("Red", "r"), ("Blue", "b")]
    assert doc.get_child_nodes(mv.NodeType.STRUCTURED_DOCUMENT_TAG, True).count == 1
    assert doc.first_section.body.paragraphs[0].get_text().strip() == "Pick: Red"

    control.tag = "hue"
    mv.Run._cast_to(control.get_child(mv.NodeType.RUN, 0, False)).text = "Blue"
    doc.save(str(tmp_path / "out.docx"))

    back = mv.Document(str(tmp_path / "out.docx")).range.structured_document_tags
    assert (back.count, back[0].tag, back[0].title) == (1, "hue", "Colour")
    saved = docx.Document(str(tmp_path / "out.docx"))
    properties = next(saved.element.body.iter(W + "sdtPr"))
    assert [child.tag.split("}")[1] for child in properties] == ["alias", "tag", "lock", "placeholder", "dropDownList"]
    assert "".join(t.text for t in saved.element.body.iter(W + "t")) == "Pick: Blue"
