"""The class pattern end to end on Document and its neighbours: build, save, load."""
import zipfile

import pytest


def build(mv, bold_world=True):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.writeln("Hello")
    builder.font.bold = bold_world
    builder.write("World")
    return doc


def test_builder_fills_the_tree(mv):
    doc = build(mv)
    paragraphs = doc.first_section.body.paragraphs
    assert paragraphs.count == 2
    assert doc.get_text().replace("\f", "").split("\r")[:2] == ["Hello", "World"]
    assert doc.first_section.body.last_paragraph.runs.count == 1


def test_docx_round_trip(mv, tmp_path):
    path = tmp_path / "out.docx"
    result = build(mv).save(str(path))
    assert type(result) is mv.saving.SaveOutputParameters
    assert result.content_type == "application/vnd.openxmlformats-officedocument.wordprocessingml.document"
    with zipfile.ZipFile(path) as package:
        assert package.testzip() is None
        body = package.read("word/document.xml").decode("utf-8")
        assert "Hello" in body and "World" in body and "<w:b" in body
        assert "[Content_Types].xml" in package.namelist()
    again = mv.Document(str(path))
    assert again.get_text().replace("\f", "").split("\r")[:2] == ["Hello", "World"]
    assert again.first_section.body.paragraphs.count == 2


@pytest.mark.parametrize("suffix,expect", [(".txt", "Hello\r\nWorld"), (".md", "Hello\n\n**World**"),
                                           (".html", "<b>World</b>")])
def test_other_formats_by_extension(mv, tmp_path, suffix, expect):
    path = tmp_path / ("out" + suffix)
    build(mv).save(str(path))
    assert expect in path.read_bytes().decode("utf-8")


def test_text_files_load_as_paragraphs(mv, tmp_path):
    path = tmp_path / "in.txt"
    path.write_text("one\ntwo\nthree\n", encoding="utf-8")
    doc = mv.Document(str(path))
    assert doc.first_section.body.paragraphs.count >= 3
    assert "two" in doc.get_text()


def test_save_with_options_and_keywords(mv, tmp_path):
    doc = build(mv)
    path = tmp_path / "kw.docx"
    doc.save(file_name=str(path), save_options=None)
    assert path.exists()
    options = mv.saving.TxtSaveOptions()
    doc.save(str(tmp_path / "o.txt"), options)
    assert (tmp_path / "o.txt").read_text(encoding="utf-8").startswith("Hello")
    with pytest.raises(TypeError):
        doc.save(str(path), 20)


def test_properties_of_each_kind(mv):
    doc = mv.Document()
    assert doc.default_tab_stop == 36.0
    doc.default_tab_stop = 72
    assert doc.default_tab_stop == 72.0
    doc.track_revisions = True
    assert doc.track_revisions is True
    doc.attached_template = "normal.dotm"
    assert doc.attached_template == "normal.dotm"
    assert type(doc.sections) is mv.SectionCollection and type(doc.first_section) is mv.Section
    with pytest.raises(TypeError, match="can't build bool from 'int'"):
        doc.track_revisions = 1
    doc.update_word_count()
    doc.update_word_count(True)
    with pytest.raises(TypeError):
        doc.update_word_count("yes")


def test_constants_and_static_members(mv):
    assert mv.ControlChar.CELL_CHAR == "\x07" and mv.ControlChar.CR_LF == "\r\n"
    assert mv.ControlChar.PARAGRAPH_BREAK == "\r" and mv.ControlChar.TAB == "\t"
    descriptor = mv.BuildVersionInfo.__dict__["version"]
    assert repr(descriptor) == "<attribute 'version' of 'morvax.velto.BuildVersionInfo' objects>"
    assert mv.BuildVersionInfo.version == "25.8.0.0" and mv.BuildVersionInfo.product
    with pytest.raises((AttributeError, TypeError)):
        mv.ControlChar.CELL_CHAR = "x"
    assert mv.ConvertUtil.point_to_pixel(72) == pytest.approx(96.0)
    assert mv.ConvertUtil.point_to_pixel(72, 300) == pytest.approx(300.0)
    assert mv.ConvertUtil.inch_to_point(1) == 72.0
    probe = mv.testing.ValueProbe
    probe.set_counter(5)
    assert probe.counter == 5 and probe.ANSWER == 42


def test_builder_options_may_be_none(mv):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc, None)
    builder.write("x\u00e9\U0001F600")
    assert "x\u00e9\U0001F600" in doc.get_text()
    assert builder.document == doc
