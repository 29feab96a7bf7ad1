"""Borders and shading from Python: paragraph, run and cell formatting reach a BorderCollection
and Shading that python-docx-made files fill, that survive saving, and that python-docx reads back."""
import io

import pytest

import morvax.pydrawing as pd

docx = pytest.importorskip("docx")
from docx.oxml import parse_xml  # noqa: E402  (needs python-docx, imported above)

W_URI = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
W = "{%s}" % W_URI


def bordered(path):
    """A python-docx file: a paragraph with a top border in a theme colour and shading, and a table cell
    with a bottom border and a fill."""
    made = docx.Document()
    paragraph = made.add_paragraph("framed")
    paragraph._p.get_or_add_pPr().append(parse_xml(
        f'<w:pBdr xmlns:w="{W_URI}"><w:top w:val="single" w:sz="16" w:space="2" w:color="C00000" '
        'w:themeColor="accent2"/><w:left w:val="dashed" w:sz="4" w:space="0" w:color="auto"/></w:pBdr>'))
    paragraph._p.get_or_add_pPr().append(parse_xml(f'<w:shd xmlns:w="{W_URI}" w:val="clear" w:color="auto" w:fill="FFF2CC"/>'))
    cell = made.add_table(rows=1, cols=1).cell(0, 0)
    cell.text = "cell"
    cell._tc.get_or_add_tcPr().append(parse_xml(
        f'<w:tcBorders xmlns:w="{W_URI}"><w:bottom w:val="double" w:sz="12" w:space="0" w:color="0070C0"/></w:tcBorders>'))
    made.save(str(path))
    return path


def test_borders_and_shading_read_from_a_python_docx_file_change_and_read_back(mv, tmp_path):
    doc = mv.Document(str(bordered(tmp_path / "in.docx")))
    paragraph = doc.first_section.body.paragraphs[0]
    borders = paragraph.paragraph_format.borders
    assert type(borders).__name__ == "BorderCollection"
    assert (borders.top.line_style, borders.top.line_width, borders.top.distance_from_text) == (mv.LineStyle.SINGLE, 2.0, 2.0)
    assert borders.top.color == pd.Color(255, 0xC0, 0, 0)
    # The collection is a sequence of its six sides, in the order left, right, top, bottom, horizontal, vertical.
    assert [b.line_style for b in borders] == [mv.LineStyle.DASH_LARGE_GAP, mv.LineStyle.NONE, mv.LineStyle.SINGLE,
                                               mv.LineStyle.NONE, mv.LineStyle.NONE, mv.LineStyle.NONE]
    assert borders[2].line_width == 2.0 and borders.count == 6
    assert paragraph.paragraph_format.shading.background_pattern_color == pd.Color(255, 0xFF, 0xF2, 0xCC)
    cell = mv.tables.Cell._cast_as(doc.get_child(mv.NodeType.CELL, 0, True))
    assert cell.cell_format.borders.bottom.line_style == mv.LineStyle.DOUBLE

    borders.left.line_style = mv.LineStyle.NONE
    borders.bottom.line_style = mv.LineStyle.THICK
    borders.bottom.color = pd.Color.green
    with pytest.raises(Exception, match="12"):
        borders.bottom.line_width = 13
    cell.cell_format.shading.texture = mv.TextureIndex.TEXTURE_SOLID
    cell.cell_format.shading.foreground_pattern_color = pd.Color(255, 1, 2, 3)
    paragraph.runs[0].font.border.line_style = mv.LineStyle.DOUBLE_WAVE
    out = io.BytesIO()
    doc.save(out, mv.SaveFormat.DOCX)

    out.seek(0)
    theirs = docx.Document(out)
    pBdr = theirs.paragraphs[0]._p.pPr.find(W + "pBdr")
    sides = {side.tag[len(W):]: side for side in pBdr}
    assert sides["top"].get(W + "themeColor") == "accent2"   # untouched side kept as read
    assert sides["left"].get(W + "val") == "none"
    assert (sides["bottom"].get(W + "val"), sides["bottom"].get(W + "color")) == ("thick", "008000")
    tcPr = theirs.tables[0].cell(0, 0)._tc.tcPr
    shd = tcPr.find(W + "shd")
    assert (shd.get(W + "val"), shd.get(W + "color")) == ("solid", "010203")
    assert tcPr.find(W + "tcBorders").find(W + "bottom").get(W + "val") == "double"
    assert theirs.paragraphs[0].runs[0]._r.rPr.find(W + "bdr").get(W + "val") == "doubleWave"

    again = mv.Document(io.BytesIO(out.getvalue()))
    back = again.first_section.body.paragraphs[0].paragraph_format.borders
    assert (back.left.line_style, back.bottom.line_style, back.bottom.color) == (mv.LineStyle.NONE, mv.LineStyle.THICK,
                                                                                pd.Color(255, 0, 0x80, 0))
    assert mv.tables.Cell._cast_as(again.get_child(mv.NodeType.CELL, 0, True)).cell_format.shading.texture == mv.TextureIndex.TEXTURE_SOLID
