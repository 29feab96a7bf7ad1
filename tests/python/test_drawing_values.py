"""The drawing values (Color, Point, PointF, Size, SizeF, Rectangle, RectangleF) cross both ways
through morvax.pydrawing's conversion functions, and the library's colours reach .docx files."""
import sys

import docx
import pytest
from docx.enum.text import WD_COLOR_INDEX
from docx.shared import RGBColor

import morvax.pydrawing as pd
from test_document_surface import with_body_paragraph


@pytest.fixture
def probe(mv):
    return mv.testing.ValueProbe()


# (property, values set and read back as they are, other accepted forms with the value they give)
KINDS = [
    ("color_value", [pd.Color(255, 1, 2, 3), pd.Color.empty, pd.Color(0, 0, 0, 0), pd.Color.red],
     [(0x80FF0000, pd.Color(128, 255, 0, 0)), (-1, pd.Color(255, 255, 255, 255))]),
    ("point_value", [pd.Point(-2**31, 2**31 - 1), pd.Point()], [((3, 4), pd.Point(3, 4))]),
    ("point_f_value", [pd.PointF(0.5, -1e30), pd.PointF()], [(pd.Point(1, 2), pd.PointF(1.0, 2.0)),
                                                            ((0.25, 3), pd.PointF(0.25, 3.0))]),
    ("size_value", [pd.Size(7, -8)], [((1, 2), pd.Size(1, 2))]),
    ("size_f_value", [pd.SizeF(1.5, 2.5)], [(pd.Size(3, 4), pd.SizeF(3.0, 4.0))]),
    ("rectangle_value", [pd.Rectangle(1, 2, 3, 4)], [((5, 6, 7, 8), pd.Rectangle(5, 6, 7, 8))]),
    ("rectangle_f_value", [pd.RectangleF(0.5, 1.5, 2.5, 3.5)], [(pd.Rectangle(1, 2, 3, 4), pd.RectangleF(1, 2, 3, 4))]),
]


@pytest.mark.parametrize("name,values,forms", KINDS, ids=[k[0] for k in KINDS])
def test_each_drawing_value_crosses_both_ways(probe, name, values, forms):
    for value in values:
        setattr(probe, name, value)
        back = getattr(probe, name)
        assert type(back) is type(value) and back == value
    for given, expected in forms:
        setattr(probe, name, given)
        assert getattr(probe, name) == expected


def test_empty_colour_is_not_transparent_black(probe):
    probe.color_value = pd.Color.empty
    assert probe.color_value.is_empty
    probe.color_value = pd.Color(0, 0, 0, 0)
    assert not probe.color_value.is_empty and probe.color_value.to_argb() == 0


def test_colour_as_argument_and_result_of_a_method(probe):
    assert probe.with_alpha(pd.Color(255, 10, 20, 30), 64) == pd.Color(64, 10, 20, 30)
    assert probe.with_alpha(color=0xFF000000, alpha=0) == pd.Color(0, 0, 0, 0)
    with pytest.raises(TypeError, match="can't build Color value from 'str'"):
        probe.with_alpha("red", 1)


@pytest.mark.parametrize("name,wrong,error,message", [
    ("color_value", "red", TypeError, "can't build Color value from 'str'"),
    ("color_value", 2**32, OverflowError, "ARGB value out of range"),
    ("point_value", pd.PointF(1, 2), TypeError, "can't build Point value from 'PointF'"),
    ("point_value", (1.5, 2), TypeError, "can't build Point value from 'tuple'"),
    ("size_value", (2**31, 0), OverflowError, "out of range"),
    ("rectangle_value", (1, 2, 3), TypeError, "can't build Rectangle value from 'tuple'"),
    ("rectangle_f_value", None, TypeError, "can't build RectangleF value from 'NoneType'"),
    ("size_f_value", "1x2", TypeError, "can't build SizeF value from 'str'"),
])
def test_refusals_are_pydrawings_errors_and_change_nothing(probe, name, wrong, error, message):
    before = getattr(probe, name)
    with pytest.raises(error, match=message):
        setattr(probe, name, wrong)
    assert getattr(probe, name) == before


def test_reference_counts_stay_put(probe):
    colour, point, rect = pd.Color(255, 9, 8, 7), pd.PointF(1, 2), (1, 2, 3, 4)
    probe.color_value = colour
    results = probe.color_value  # the type's own constants and the results it builds
    before = [sys.getrefcount(o) for o in (colour, point, rect, pd.Color, pd.PointF, probe)]
    for _ in range(10_000):
        probe.color_value = colour
        probe.point_f_value = point
        probe.rectangle_value = rect
        results = (probe.color_value, probe.point_f_value, probe.rectangle_value)
        try:
            probe.color_value = "no"
        except TypeError:
            pass
    del results
    after = [sys.getrefcount(o) for o in (colour, point, rect, pd.Color, pd.PointF, probe)]
    assert after == before


# --- the library's colours ------------------------------------------------------------------------

def test_font_colours_round_trip_through_docx(mv, tmp_path):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.font.color = pd.Color(255, 0x12, 0x34, 0x56)
    builder.font.highlight_color = pd.Color.yellow
    builder.write("coloured")
    builder.font.color = pd.Color.empty
    builder.font.highlight_color = pd.Color(255, 250, 250, 5)  # nearest highlight: yellow
    builder.write(" plain")
    out = tmp_path / "colours.docx"
    doc.save(str(out))

    theirs = [r for r in docx.Document(str(out)).paragraphs[0].runs if r.text.strip()]
    assert theirs[0].font.color.rgb == RGBColor(0x12, 0x34, 0x56)
    assert theirs[0].font.highlight_color == WD_COLOR_INDEX.YELLOW

    reread = mv.Document(str(out))
    runs = [r.as_run() for r in reread.get_child_nodes(mv.NodeType.RUN, True)]
    fonts = {run.text.strip(): run.font for run in runs}
    assert fonts["coloured"].color == pd.Color(255, 0x12, 0x34, 0x56)
    assert fonts["coloured"].highlight_color == pd.Color.yellow
    assert fonts["plain"].color.is_empty
    assert fonts["plain"].highlight_color == pd.Color.yellow


def test_colours_written_by_python_docx_are_read_and_kept(mv, tmp_path):
    made = docx.Document()
    run = made.add_paragraph().add_run("red text")
    run.font.color.rgb = RGBColor(0xC0, 0x00, 0x10)
    path = tmp_path / "theirs.docx"
    made.save(str(path))

    doc = mv.Document(str(path))
    (run,) = [r.as_run() for r in doc.get_child_nodes(mv.NodeType.RUN, True) if r.as_run().text == "red text"]
    assert run.font.color == pd.Color(255, 0xC0, 0x00, 0x10)
    assert run.font.highlight_color.is_empty
    run.font.color = pd.Color.blue
    out = tmp_path / "changed.docx"
    doc.save(str(out))
    (changed,) = [r for r in docx.Document(str(out)).paragraphs[-1].runs if r.text == "red text"]
    assert changed.font.color.rgb == RGBColor(0, 0, 0xFF)


# --- gradient stops -------------------------------------------------------------------------------

GRADIENT = ('<w:r><w:drawing><wp:inline xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing">'
            '<wp:extent cx="914400" cy="457200"/><wp:docPr id="2" name="Shape 2"/>'
            '<a:graphic xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">'
            '<a:graphicData uri="http://schemas.microsoft.com/office/word/2010/wordprocessingShape">'
            '<wps:wsp xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape"><wps:spPr>'
            '<a:prstGeom prst="rect"><a:avLst/></a:prstGeom>'
            '<a:gradFill><a:gsLst>'
            '<a:gs pos="0"><a:srgbClr val="FF0000"/></a:gs>'
            '<a:gs pos="50000"><a:srgbClr val="00FF00"><a:alpha val="25000"/></a:srgbClr></a:gs>'
            '<a:gs pos="100000"><a:schemeClr val="accent1"/></a:gs>'
            '</a:gsLst><a:lin ang="0"/></a:gradFill>'
            '<a:ln><a:gradFill><a:gsLst><a:gs pos="0"><a:srgbClr val="0000FF"/></a:gs></a:gsLst></a:gradFill></a:ln>'
            '</wps:spPr><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>')


def stops_of(mv, doc):
    fill = doc.get_child_nodes(mv.NodeType.SHAPE, True)[0].as_shape().fill
    return fill, [(s.color, s.position, round(s.transparency, 6)) for s in fill.gradient_stops]


def test_gradient_stops_are_read_from_the_shape_fill_and_kept(mv, tmp_path):
    expected = [(pd.Color(255, 255, 0, 0), 0.0, 0.0), (pd.Color(64, 0, 255, 0), 0.5, 0.75), (pd.Color.empty, 1.0, 0.0)]
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, GRADIENT)))
    fill, stops = stops_of(mv, doc)
    assert fill.fill_type == mv.drawing.FillType.GRADIENT and stops == expected
    # Read stops are saved as read: changing them is refused, naming the member.
    stop = fill.gradient_stops[0]
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): GradientStop\.Color cannot change"):
        stop.color = pd.Color.blue
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): GradientStopCollection\.Add cannot change"):
        fill.gradient_stops.add(mv.drawing.GradientStop(pd.Color.blue, 0.3))
    assert stops_of(mv, doc)[1] == expected
    out = tmp_path / "gradient-kept.docx"
    doc.save(str(out))
    assert stops_of(mv, mv.Document(str(out)))[1] == expected


def test_gradient_stop_made_here(mv):
    stop = mv.drawing.GradientStop(pd.Color(128, 1, 2, 3), 0.25)
    assert (stop.color, stop.position) == (pd.Color(128, 1, 2, 3), 0.25)
    assert stop.transparency == pytest.approx(1 - 128 / 255)
    stop.color, stop.position, stop.transparency = 0xFF0000FF, 1.0, 0.5
    assert (stop.color, stop.position, stop.transparency) == (pd.Color.blue, 1.0, 0.5)
    with pytest.raises(RuntimeError, match="ArgumentOutOfRangeException"):
        stop.position = 1.5
    assert stop.position == 1.0
    with pytest.raises(TypeError, match="can't build Color value from 'tuple'"):
        mv.drawing.GradientStop((1, 2, 3), 0.5)


def test_shapes_without_gradient_have_no_stops(mv, tmp_path):
    plain = GRADIENT.split("<a:gradFill>")[0] + "</wps:spPr>" + GRADIENT.split("</wps:spPr>")[1]
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, plain)))
    fill, stops = stops_of(mv, doc)
    assert stops == [] and fill.fill_type == mv.drawing.FillType.SOLID
