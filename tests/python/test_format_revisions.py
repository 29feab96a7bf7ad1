"""Format changes and paragraph marks tracked in a Word file, end to end: a python-docx file given
the records a word processor writes, listed from Python, accepted or rejected, saved, and read
back by python-docx."""
import datetime
import zipfile

import pytest

docx = pytest.importorskip("docx")
from docx.enum.text import WD_ALIGN_PARAGRAPH  # noqa: E402  (needs python-docx, imported above)
from docx.oxml import parse_xml  # noqa: E402

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
STAMP = f'xmlns:w="{W}" w:id="7" w:author="Ann" w:date="2024-01-02T03:04:05Z"'


def tracked_file(path):
    """"one" (its mark deleted), then "two": plain, then bold (italic before), centred (right before)."""
    d = docx.Document()
    d.add_paragraph("one")
    second = d.add_paragraph("two ")
    second.alignment = WD_ALIGN_PARAGRAPH.CENTER
    run = second.add_run("bold")
    run.bold = True
    run._r.get_or_add_rPr().append(parse_xml(f'<w:rPrChange {STAMP}><w:rPr><w:i/></w:rPr></w:rPrChange>'))
    second._p.get_or_add_pPr().append(parse_xml(f'<w:pPrChange {STAMP}><w:pPr><w:jc w:val="right"/></w:pPr></w:pPrChange>'))
    mark = parse_xml(f'<w:rPr xmlns:w="{W}"><w:del w:id="8" w:author="Bob" w:date="2024-01-02T03:04:05Z"/></w:rPr>')
    d.paragraphs[0]._p.get_or_add_pPr().append(mark)
    d.save(str(path))
    return path


def main_part(path):
    with zipfile.ZipFile(path) as package:
        return package.read("word/document.xml").decode("utf-8")


def test_records_are_listed_and_kept_when_untouched(mv, tmp_path):
    doc = mv.Document(str(tracked_file(tmp_path / "tracked.docx")))
    listed = [(r.revision_type, r.author, r.parent_node.node_type) for r in doc.revisions]
    assert listed == [(mv.RevisionType.DELETION, "Bob", mv.NodeType.PARAGRAPH),
                      (mv.RevisionType.FORMAT_CHANGE, "Ann", mv.NodeType.RUN),
                      (mv.RevisionType.FORMAT_CHANGE, "Ann", mv.NodeType.PARAGRAPH)]
    assert doc.revisions[1].date_time == datetime.datetime(2024, 1, 2, 3, 4, 5, tzinfo=datetime.timezone.utc)
    assert doc.revisions[1].parent_node.get_text() == "bold" and doc.has_revisions
    out = tmp_path / "kept.docx"
    doc.save(str(out))
    xml = main_part(out)
    assert all(name in xml for name in ("w:rPrChange", "w:pPrChange", "w:del "))
    assert [p.text for p in docx.Document(str(out)).paragraphs] == ["one", "two bold"]
    assert mv.Document(str(out)).revisions.count == 3


@pytest.mark.parametrize("accept", [True, False])
def test_settling_all_is_what_python_docx_reads_back(mv, tmp_path, accept):
    doc = mv.Document(str(tracked_file(tmp_path / "tracked.docx")))
    doc.revisions.accept_all() if accept else doc.revisions.reject_all()
    assert doc.revisions.count == 0 and not doc.has_revisions
    out = tmp_path / "settled.docx"
    doc.save(str(out))
    xml = main_part(out)
    assert "Change" not in xml and "w:del " not in xml
    paragraphs = docx.Document(str(out)).paragraphs
    if accept:  # the deleted mark joins "one" to the next paragraph, which keeps its formatting
        assert [p.text for p in paragraphs] == ["onetwo bold"]
        assert paragraphs[0].alignment == WD_ALIGN_PARAGRAPH.CENTER
    else:
        assert [p.text for p in paragraphs] == ["one", "two bold"]
        assert paragraphs[1].alignment == WD_ALIGN_PARAGRAPH.RIGHT
    run = paragraphs[-1].runs[-1]
    assert (run.text, bool(run.bold), bool(run.italic)) == ("bold", accept, not accept)


def test_one_record_settled_twice_is_refused(mv, tmp_path):
    doc = mv.Document(str(tracked_file(tmp_path / "tracked.docx")))
    revision = doc.revisions[1]
    revision.reject()
    with pytest.raises(RuntimeError, match=r"InvalidOperationException\): The revision has already been accepted or rejected"):
        revision.accept()
    bold = doc.first_section.body.paragraphs[1].runs[1]
    assert (bold.font.bold, bold.font.italic) == (False, True)
    assert [r.revision_type for r in doc.revisions] == [mv.RevisionType.DELETION, mv.RevisionType.FORMAT_CHANGE]


def test_formatting_changed_while_tracking_is_a_revision_python_docx_reads(mv, tmp_path):
    source = tmp_path / "plain.docx"
    d = docx.Document()
    d.add_paragraph("plain")
    d.save(str(source))
    doc = mv.Document(str(source))
    doc.start_track_revisions("Ann", datetime.datetime(2024, 5, 6, 7, 8, 9))
    run = doc.first_section.body.first_paragraph.runs[0]
    run.font.bold = True
    doc.stop_track_revisions()
    (revision,) = list(doc.revisions)
    assert (revision.revision_type, revision.author) == (mv.RevisionType.FORMAT_CHANGE, "Ann")
    out = tmp_path / "tracked.docx"
    doc.save(str(out))
    assert "w:rPrChange" in main_part(out)
    assert docx.Document(str(out)).paragraphs[0].runs[0].bold
    again = mv.Document(str(out))
    again.revisions.reject_all()
    assert not again.first_section.body.first_paragraph.runs[0].font.bold
