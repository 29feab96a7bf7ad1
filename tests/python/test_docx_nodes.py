"""Fields, links, footnotes, comments, bookmarks, tables and headers made with the builder,
saved as .docx and read back: through this module, through python-docx (the text of each
paragraph and cell, which shows field results and not their codes) and through LibreOffice's
text export; and the field and range operations on what was read.
"""
import datetime
import io
import shutil
import zipfile

import pytest

docx = pytest.importorskip("docx")
from test_docx_corpus import SOFFICE, soffice  # noqa: E402  (LibreOffice runs without the sanitizer preload)

PROXY = r"^Proxy error\(System\."


def nodes(parent, node_type, cast, deep=True):
    return [cast._cast_to(parent.get_child(node_type, i, deep))
            for i in range(parent.get_child_nodes(node_type, deep).count)]


def fields_of(mv, doc):
    return [start.get_field() for start in nodes(doc, mv.NodeType.FIELD_START, mv.fields.FieldStart)]


def build(mv):
    doc = mv.Document()
    doc.built_in_document_properties.author = "Ada"
    b = mv.DocumentBuilder(doc)
    b.write("Written by ")
    b.insert_field("AUTHOR")
    b.write(" on page ")
    b.insert_field("PAGE", "1")
    b.writeln(".")
    b.start_bookmark("intro")
    b.write("See ")
    b.insert_hyperlink("the site", "https://example.com/docs", False)
    b.insert_footnote(mv.notes.FootnoteType.FOOTNOTE, "A footnote.")
    b.end_bookmark("intro")
    comment = mv.Comment(doc, "Cy", "C", datetime.datetime(2025, 1, 2, 3, 4, 5))
    comment.set_text("Please check.")
    b.insert_node(comment)
    b.writeln()
    b.cell_format.vertical_alignment = mv.tables.CellVerticalAlignment.CENTER
    b.start_table()
    b.insert_cell()
    b.write("a1")
    b.insert_cell()
    b.insert_hyperlink("back", "intro", True)
    b.row_format.heading_format = True
    b.end_row()
    b.end_table()
    b.write("Dear ")
    b.insert_field("MERGEFIELD Name")
    b.move_to_header_footer(mv.HeaderFooterType.HEADER_PRIMARY)
    b.write("Header ")
    b.insert_field("NUMPAGES")
    return doc


@pytest.fixture(scope="module")
def saved(mv, tmp_path_factory):
    path = tmp_path_factory.mktemp("nodes") / "built.docx"
    build(mv).save(str(path))
    return path


def test_built_content_reads_back(mv, saved):
    doc = mv.Document(str(saved))
    fields = fields_of(mv, doc)
    assert [(f.type, f.get_field_code(), f.result) for f in fields] == [
        (mv.fields.FieldType.FIELD_AUTHOR, "AUTHOR", "Ada"),
        (mv.fields.FieldType.FIELD_PAGE, "PAGE", "1"),
        (mv.fields.FieldType.FIELD_HYPERLINK, 'HYPERLINK "https://example.com/docs"', "the site"),
        (mv.fields.FieldType.FIELD_HYPERLINK, 'HYPERLINK \\l "intro"', "back"),
        (mv.fields.FieldType.FIELD_MERGE_FIELD, "MERGEFIELD Name", "\u00abName\u00bb"),
        (mv.fields.FieldType.FIELD_NUM_PAGES, "NUMPAGES", "1"),
    ]
    # Each field is of its type's class (reached, as every run-time class, by a cast).
    assert mv.fields.FieldHyperlink._cast_to(fields[2]).type == mv.fields.FieldType.FIELD_HYPERLINK

    [note] = nodes(doc, mv.NodeType.FOOTNOTE, mv.notes.Footnote)
    assert (note.footnote_type, note.get_text()) == (mv.notes.FootnoteType.FOOTNOTE, "A footnote.\r")
    [comment] = nodes(doc, mv.NodeType.COMMENT, mv.Comment)
    assert (comment.author, comment.initial, comment.date_time, comment.get_text()) == (
        "Cy", "C", datetime.datetime(2025, 1, 2, 3, 4, 5), "Please check.\r")
    # The notes and comments sit in the run flow, so their text is in the paragraph's.
    second = doc.first_section.body.get_child(mv.NodeType.PARAGRAPH, 1, False)
    assert second.get_text() == ('See \x13HYPERLINK "https://example.com/docs"\x14the site\x15'
                                 "A footnote.\rPlease check.\r\r")

    builder = mv.DocumentBuilder(doc)
    assert builder.move_to_bookmark("intro")
    assert mv.Run._cast_to(builder.current_node).text == "See "
    table = mv.tables.Table._cast_to(doc.get_child(mv.NodeType.TABLE, 0, True))
    row = table.first_row
    assert row.row_format.heading_format
    assert [c.cell_format.vertical_alignment for c in nodes(row, mv.NodeType.CELL, mv.tables.Cell, False)] == [
        mv.tables.CellVerticalAlignment.CENTER] * 2
    [header] = nodes(doc.first_section, mv.NodeType.HEADER_FOOTER, mv.HeaderFooter, False)
    assert header.get_text() == "Header \x13NUMPAGES\x141\x15\r"


def test_python_docx_sees_the_results(saved):
    reference = docx.Document(str(saved))
    assert [p.text for p in reference.paragraphs] == [
        "Written by Ada on page 1.", "See the site", "Dear \u00abName\u00bb"]
    assert [[c.text for c in row.cells] for row in reference.tables[0].rows] == [["a1", "back"]]
    assert reference.sections[0].header.paragraphs[0].text == "Header 1"
    with zipfile.ZipFile(saved) as package:
        assert b"A footnote." in package.read("word/footnotes.xml")
        comments = package.read("word/comments.xml")
    assert b"Please check." in comments and b'w:author="Cy"' in comments


@pytest.mark.skipif(SOFFICE is None, reason="LibreOffice is not installed")
def test_libreoffice_reads_the_built_file(mv, saved, tmp_path):
    shutil.copy(saved, tmp_path / "built.docx")
    soffice(tmp_path, ["--convert-to", "txt:Text (encoded):UTF8", "built.docx"])
    text = (tmp_path / "built.txt").read_text(encoding="utf-8-sig")
    for line in ("Written by Ada on page 1.", "Dear \u00abName\u00bb", "a1", "back"):
        assert line in text
    # The text export leaves notes out but numbers their references.
    assert "See the site1" in text
    assert "HYPERLINK" not in text and "MERGEFIELD" not in text


def test_fields_change_and_leave(mv, saved):
    doc = mv.Document(str(saved))
    author, page, link, back, merge, _ = fields_of(mv, doc)
    author.result = "Bo"
    page.remove()
    link.unlink()
    first = doc.first_section.body.first_paragraph
    assert first.get_text() == "Written by \x13AUTHOR\x14Bo\x15 on page .\r"
    with pytest.raises(RuntimeError, match=PROXY + r"InvalidOperationException\)"):
        page.start
    # The author, the merge field and NUMPAGES in the header; a link keeps its text.
    assert doc.range.update_fields() == 3
    assert author.result == "Ada"

    doc.mail_merge.execute(["Name"], ["Zoe"])
    again = saved_again(mv, doc)
    assert again.get_text().count("Dear Zoe") == 1
    again.unlink_fields()
    assert nodes(again, mv.NodeType.FIELD_START, mv.fields.FieldStart) == []
    assert again.first_section.body.first_paragraph.get_text() == "Written by Ada on page .\r"


def saved_again(mv, doc):
    stream = io.BytesIO()
    doc.save(stream, mv.SaveFormat.DOCX)
    stream.seek(0)
    return mv.Document(stream)


def test_range_replace_and_refusals(mv):
    doc = mv.Document()
    b = mv.DocumentBuilder(doc)
    b.write("Red fish, ")
    b.font.bold = True
    b.write("red")
    b.font.bold = False
    b.writeln(" fish, redder fish.")
    b.write("RED")
    options = mv.replacing.FindReplaceOptions()
    options.find_whole_words_only = True
    assert doc.range.replace("red", "blue", options) == 3
    assert doc.range.text == "blue fish, blue fish, redder fish.\rblue\x0c"
    options.match_case = True
    assert doc.range.replace("Fish", "cat", options) == 0
    assert doc.first_section.body.first_paragraph.range.replace("fish", "cat") == 3
    assert saved_again(mv, doc).range.text == "blue cat, blue cat, redder cat.\rblue\x0c"

    with pytest.raises(RuntimeError, match=PROXY + r"NotSupportedException\): Range.Replace"):
        doc.range.replace("cat.\r", "x")
    with pytest.raises(RuntimeError, match=PROXY + r"NotSupportedException\): DocumentBuilder.InsertField"):
        b.insert_field("TOC \\o")
    with pytest.raises(RuntimeError, match=PROXY + r"InvalidOperationException\): DocumentBuilder.InsertCell"):
        b.insert_cell()
    with pytest.raises(RuntimeError, match=PROXY + r"InvalidOperationException\): DocumentBuilder.EndTable"):
        b.start_table()
        b.insert_cell()
        b.end_table()
    b.end_row()
    b.end_table()
    assert doc.get_child_nodes(mv.NodeType.TABLE, True).count == 1


RTF = (r"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
       r"Noted{\super\chftn{\footnote\pard\plain{\super\chftn} A foot note.}} text.\par "
       r"See {\field{\*\fldinst HYPERLINK " + '"https://example.com/"' + r"}{\fldrslt the site}} now.\par "
       r"Page {\field{\*\fldinst PAGE}{\fldrslt 1}} here.\par "
       r"Remark{\*\atnid CY}{\*\atnauthor Cy}\chatn{\*\annotation\pard\plain Check this.} done.\par}")


@pytest.mark.skipif(SOFFICE is None, reason="LibreOffice is not installed")
def test_libreoffice_notes_links_and_fields_are_nodes_and_survive(mv, tmp_path):
    (tmp_path / "notes.rtf").write_text(RTF, encoding="ascii")
    soffice(tmp_path, ["--convert-to", "docx:MS Word 2007 XML", "notes.rtf"])
    original = tmp_path / "notes.docx"
    doc = mv.Document(str(original))
    [note] = nodes(doc, mv.NodeType.FOOTNOTE, mv.notes.Footnote)
    assert "A foot note." in note.get_text()
    [comment] = nodes(doc, mv.NodeType.COMMENT, mv.Comment)
    assert (comment.author, comment.get_text().strip()) == ("Cy", "Check this.")
    fields = {f.type: f for f in fields_of(mv, doc)}
    link, page = fields[mv.fields.FieldType.FIELD_HYPERLINK], fields[mv.fields.FieldType.FIELD_PAGE]
    assert (link.get_field_code(), link.result) == ('HYPERLINK "https://example.com/"', "the site")
    assert (page.get_field_code().strip(), page.result) == ("PAGE", "1")

    doc.save(str(tmp_path / "same.docx"))
    first = mv.Run._cast_to(doc.first_section.body.first_paragraph.first_child)
    first.text = first.text.replace("Noted", "Marked")
    doc.save(str(tmp_path / "edited.docx"))

    soffice(tmp_path, ["--convert-to", "txt:Text (encoded):UTF8", "notes.docx", "same.docx", "edited.docx"])
    text = (tmp_path / "notes.txt").read_text(encoding="utf-8-sig")
    assert (tmp_path / "same.txt").read_text(encoding="utf-8-sig") == text
    assert (tmp_path / "edited.txt").read_text(encoding="utf-8-sig") == text.replace("Noted", "Marked")
    before = [p.text for p in docx.Document(str(original)).paragraphs]
    assert [p.text for p in docx.Document(str(tmp_path / "edited.docx")).paragraphs] == [
        p.replace("Noted", "Marked") for p in before]
    with zipfile.ZipFile(tmp_path / "edited.docx") as package:
        assert b"<w:hyperlink" in package.read("word/document.xml")  # untouched, so written as read
        assert b"A foot note." in package.read("word/footnotes.xml")
        assert b"Check this." in package.read("word/comments.xml")
