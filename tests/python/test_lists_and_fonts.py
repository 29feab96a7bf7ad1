"""Lists and font infos with real content, end to end.

A list made here survives saving and loading and numbers its paragraphs for other readers
(python-docx sees the numbering, LibreOffice prints the labels); the lists and fonts of
files other producers wrote are read.
"""
import shutil
import subprocess

import pytest

from test_docx_corpus import SOFFICE, TOOL_ENV, soffice

docx = pytest.importorskip("docx")

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"


def paragraphs(mv, doc):
    # The walk yields Node wrappers; each is seen as the Paragraph it is.
    return [p.as_paragraph() for p in doc.first_section.body.paragraphs]


def numbered(mv, path):
    """A document of three items of a new Roman-numbered list, the second one level down."""
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.writeln("Title")
    for text in ("alpha", "beta", "gamma"):
        builder.writeln(text)
    roman = doc.lists.add(mv.lists.ListTemplate.NUMBER_UPPERCASE_ROMAN_DOT)
    roman.list_levels[0].start_at = 3
    roman.list_levels[1].number_format = "(%2)"
    items = paragraphs(mv, doc)[1:4]
    for item in items:
        item.list_format.list = roman
    items[1].list_format.list_level_number = 1
    doc.save(str(path))
    return roman.list_id


def test_a_new_list_survives_saving_and_loading(mv, tmp_path):
    path = tmp_path / "numbered.docx"
    list_id = numbered(mv, path)

    doc = mv.Document(str(path))
    assert doc.lists.count == 1
    first = doc.lists[0]
    level = first.list_levels[0]
    assert (first.list_id, level.number_style, level.number_format, level.start_at) == (
        list_id, mv.NumberStyle.UPPERCASE_ROMAN, "%1.", 3)
    assert (level.text_position, level.number_position) == (36.0, 18.0)
    assert first.list_levels[1].number_format == "(%2)"
    assert doc.lists.get_list_by_list_id(list_id).list_levels[1].number_format == "(%2)"
    assert doc.lists.get_list_by_list_id(list_id + 1) is None
    formats = [p.list_format for p in paragraphs(mv, doc)]
    assert [(f.is_list_item, f.list_level_number) for f in formats[:4]] == [(False, 0), (True, 0), (True, 1), (True, 0)]
    assert formats[0].list is None
    assert [f.list.list_id for f in formats[1:4]] == [list_id] * 3
    assert [level.start_at for level in formats[1].list.list_levels][:2] == [3, 1]

    # python-docx finds the numbering part and each item's reference to the list.
    theirs = docx.Document(str(path))
    numbering = theirs.part.numbering_part.element
    assert [n.get(W + "numId") for n in numbering.iter(W + "num")] == [str(list_id)]
    assert [p._p.pPr.numPr.numId.val if p._p.pPr is not None and p._p.pPr.numPr is not None else None
            for p in theirs.paragraphs[:4]] == [None, list_id, list_id, list_id]


@pytest.mark.skipif(SOFFICE is None, reason="LibreOffice is not installed")
def test_libreoffice_numbers_the_items_of_a_new_list(mv, tmp_path):
    numbered(mv, tmp_path / "numbered.docx")
    soffice(tmp_path, ["--convert-to", "txt:Text (encoded):UTF8", "numbered.docx"])
    lines = [line.strip() for line in (tmp_path / "numbered.txt").read_text(encoding="utf-8-sig").splitlines()]
    assert lines[:4] == ["Title", "III. alpha", "(A) beta", "IV. gamma"]


def test_lists_and_fonts_of_other_producers_are_read(mv, tmp_path):
    # python-docx's "List Bullet" style is what makes its paragraph an item.
    made = docx.Document()
    made.add_paragraph("plain")
    made.add_paragraph("a bullet", style="List Bullet")
    made.save(str(tmp_path / "python-docx.docx"))
    doc = mv.Document(str(tmp_path / "python-docx.docx"))
    assert doc.lists.count > 0
    bullet = next(p for p in paragraphs(mv, doc) if p.get_text().startswith("a bullet")).list_format
    assert doc.lists.get_list_by_list_id(bullet.list.list_id) is not None
    assert bullet.list.list_levels[0].number_style == mv.NumberStyle.BULLET
    assert doc.font_infos.count > 0 and doc.font_infos.get_by_name("calibri").name == "Calibri"

    pandoc = shutil.which("pandoc")
    if pandoc is None:
        pytest.skip("pandoc is not installed")
    (tmp_path / "in.md").write_text("1. one\n2. two\n\n- dot\n", encoding="utf-8")
    subprocess.run([pandoc, "in.md", "-o", "pandoc.docx"], cwd=tmp_path, check=True, timeout=60, env=TOOL_ENV)
    doc = mv.Document(str(tmp_path / "pandoc.docx"))
    items = {p.get_text()[:-1]: p.list_format for p in paragraphs(mv, doc)}
    assert items["one"].list.list_id == items["two"].list.list_id != items["dot"].list.list_id
    assert items["one"].list.list_levels[0].number_format == "%1."
    symbol = doc.font_infos.get_by_name("Symbol")
    assert (symbol.charset, symbol.pitch, symbol.is_true_type) == (2, mv.fonts.FontPitch.VARIABLE, True)
    assert doc.font_infos.get_by_name("No Such Font") is None

    # Saved again, the font table is the one pandoc wrote and the lists read back alike.
    doc.save(str(tmp_path / "again.docx"))
    again = mv.Document(str(tmp_path / "again.docx"))
    assert [f.name for f in again.font_infos] == [f.name for f in doc.font_infos]
    assert [(l.list_id, l.list_levels[0].number_format) for l in again.lists] == [
        (l.list_id, l.list_levels[0].number_format) for l in doc.lists]


def test_bad_list_arguments_are_refused_and_leave_the_document_working(mv, tmp_path):
    doc, other = mv.Document(), mv.Document()
    mine = doc.lists.add(mv.lists.ListTemplate.BULLET_DEFAULT)
    paragraph = paragraphs(mv, other)[0]
    with pytest.raises(RuntimeError, match=r"ArgumentException.*another document"):
        paragraph.list_format.list = mine
    assert not paragraph.list_format.is_list_item
    with pytest.raises(TypeError):
        doc.lists.add(99)
    with pytest.raises(IndexError):
        doc.lists[1]
    with pytest.raises(RuntimeError, match=r"ArgumentNullException"):
        mine.list_levels[0] = None
    with pytest.raises(RuntimeError, match=r"ArgumentException.*control characters"):
        mine.list_levels[0].number_format = "a\x01b"
    assert doc.lists.count == 1 and mine.list_levels[0].number_format == "\u2022"
    doc.save(str(tmp_path / "still.docx"))
    assert mv.Document(str(tmp_path / "still.docx")).lists[0].list_levels[1].number_format == "\u25e6"
