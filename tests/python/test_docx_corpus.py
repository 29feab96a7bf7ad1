"""Word files from producers no one here wrote: pandoc, python-docx and LibreOffice.

For each file: the text the library reads equals what python-docx reads (paragraph by
paragraph, tables cell by cell) and so do the core properties; after the library loads and
saves it, python-docx and LibreOffice read the same text, tables, style names and
properties as from the original, and LibreOffice converts the saved file to PDF.
The tools come from Debian (tools/install-deps.sh); without them the tests are skipped.
"""
import gc
import os
import shutil
import struct
import subprocess
import zipfile
import zlib

import pytest

docx = pytest.importorskip("docx")
from docx.table import _Cell  # noqa: E402  (needs python-docx, imported above)

PANDOC = shutil.which("pandoc")
SOFFICE = shutil.which("soffice")

MARKDOWN = """---
title: Corpus Title
author: Pat Writer
subject: Testing
keywords: [alpha, beta]
---

# Heading One

Some *italic* and **bold** text with a footnote.[^1] And `inline code`.

## Heading Two

| Col A | Col B | Col C |
|-------|------:|:-----:|
| a1    | b1    | c1    |
| a2    | b2    | c2    |

1. first
2. second
    - nested bullet

- bullet one
- bullet two

> A quote here.

```
code block line 1
code block line 2
```

![A picture](dot.png)

Term
: Definition of the term.

[^1]: The footnote text.
"""

HTML = """<html><head><title>Page Title</title><meta name="author" content="Web Author"></head><body>
<h1>Web heading</h1><p>A <b>bold</b> and <i>italic</i> paragraph.</p>
<table border="1"><tr><td>r1c1</td><td>r1c2</td></tr><tr><td colspan="2">merged row</td></tr></table>
<ul><li>item one</li><li>item two</li></ul><p>After the list.</p></body></html>
"""

RTF = (r"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}{\info{\title Rich Title}{\author Rich Author}}"
       r"\f0\fs24 Rich text {\b bold} paragraph.\par Second {\i italic} paragraph.\par"
       r"\trowd\cellx2000\cellx4000 x1\cell y1\cell\row\trowd\cellx2000\cellx4000 x2\cell y2\cell\row"
       r" Closing paragraph.\par}")


def png_dot():
    """A 1x1 PNG, for pandoc's image."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"\x00\xff\x00\x00")) + chunk(b"IEND", b""))


# The other producers run without the sanitizer runtime a sanitized test pass preloads.
TOOL_ENV = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS", "UBSAN_OPTIONS")}


def soffice(folder, args, timeout=180):
    profile = "file://" + str(folder / "lo-profile")
    subprocess.run([SOFFICE, "-env:UserInstallation=" + profile, "--headless", "--norestore", *args],
                   cwd=folder, check=True, capture_output=True, timeout=timeout, env=TOOL_ENV)


def python_docx_file(path):
    from docx.enum.style import WD_STYLE_TYPE
    from docx.enum.text import WD_BREAK
    d = docx.Document()
    d.core_properties.author = "Someone"
    d.core_properties.title = "Made by python-docx"
    d.core_properties.comments = "A comment"
    d.add_heading("A heading", level=1)
    p = d.add_paragraph("Plain, ")
    p.add_run("bold").bold = True
    p.add_run(" and ")
    p.add_run("italic").italic = True
    table = d.add_table(rows=2, cols=2)
    for r, row in enumerate(table.rows):
        for c, cell in enumerate(row.cells):
            cell.text = f"cell {r}{c}"
    d.add_paragraph("Before the break").add_run().add_break(WD_BREAK.PAGE)
    d.add_paragraph("A bullet", style="List Bullet")
    d.styles.add_style("My Own Style", WD_STYLE_TYPE.PARAGRAPH)
    d.add_paragraph("In my own style", style="My Own Style")
    d.sections[0].header.paragraphs[0].text = "Page header"
    d.save(str(path))


@pytest.fixture(scope="module")
def corpus(tmp_path_factory):
    """Every producer's files, as {name: path}."""
    folder = tmp_path_factory.mktemp("corpus")
    files = {}
    python_docx_file(folder / "python-docx.docx")
    files["python-docx"] = folder / "python-docx.docx"
    if PANDOC:
        (folder / "dot.png").write_bytes(png_dot())
        (folder / "in.md").write_text(MARKDOWN, encoding="utf-8")
        subprocess.run([PANDOC, "in.md", "-o", "pandoc.docx"], cwd=folder, check=True, timeout=60, env=TOOL_ENV)
        files["pandoc"] = folder / "pandoc.docx"
    if SOFFICE:
        (folder / "web.html").write_text(HTML, encoding="utf-8")
        (folder / "rich.rtf").write_text(RTF, encoding="ascii")
        soffice(folder, ["--infilter=HTML (StarWriter)", "--convert-to", "odt", "web.html"])
        soffice(folder, ["--convert-to", "docx:MS Word 2007 XML", "web.odt", "rich.rtf"])
        files["libreoffice-odt"] = folder / "web.docx"
        files["libreoffice-rtf"] = folder / "rich.docx"
    return folder, files


def shown(text):
    """Text without field codes and marks: what a field shows is its result."""
    out, in_code = [], []
    for c in text:
        if c == "\x13":
            in_code.append(True)
        elif c == "\x14" and in_code:
            in_code[-1] = False
        elif c == "\x15" and in_code:
            in_code.pop()
        elif True not in in_code:
            out.append(c)
    return "".join(out)


def plain(text):
    """Text as python-docx shows it: every break is a newline, hyphen marks are not text."""
    text = shown(text)
    for mark in ("\v", "\f", "\x0e"):
        text = text.replace(mark, "\n")
    return text.replace("\x1e", "").replace("\x1f", "")


def paragraph_text(mv, paragraph):
    """A paragraph's own text: footnotes and comments are in get_text(), not in python-docx's text."""
    text = paragraph.get_text()
    for kind in (mv.NodeType.FOOTNOTE, mv.NodeType.COMMENT):
        for i in range(paragraph.get_child_nodes(kind, False).count):
            text = text.replace(paragraph.get_child(kind, i, False).get_text(), "", 1)
    return text


def children(mv, parent, node_type, cast):
    """The children of one kind, cast to their class (the collections do not index yet)."""
    return [cast._cast_to(parent.get_child(node_type, i, False))
            for i in range(parent.get_child_nodes(node_type, False).count)]


def ours(mv, path):
    """(paragraph texts, tables as rows of cell texts) of the body, as this library reads them."""
    doc = mv.Document(str(path))
    paragraphs, tables = [], []
    for section in children(mv, doc, mv.NodeType.SECTION, mv.Section):
        node = section.body.first_child
        while node is not None:
            if node.node_type == mv.NodeType.PARAGRAPH:
                paragraphs.append(plain(paragraph_text(mv, mv.Paragraph._cast_to(node))[:-1]))
            elif node.node_type == mv.NodeType.TABLE:
                table = mv.tables.Table._cast_to(node)
                tables.append([[plain(cell.get_text()[:-1]).replace("\r", "\n")
                                for cell in children(mv, row, mv.NodeType.CELL, mv.tables.Cell)]
                               for row in children(mv, table, mv.NodeType.ROW, mv.tables.Row)])
            node = node.next_sibling
    return doc, paragraphs, tables


def theirs(path):
    """The same as python-docx reads it: one entry per cell element, merged cells once."""
    d = docx.Document(str(path))
    tables = [[[_Cell(tc, table).text for tc in row._tr.tc_lst] for row in table.rows] for table in d.tables]
    return d, [p.text for p in d.paragraphs], tables


CORE = ("title", "author", "subject", "keywords", "comments", "category", "last_modified_by")


def core_of(d):
    return {name: getattr(d.core_properties, name) or None for name in CORE}


@pytest.mark.parametrize("producer", ["python-docx", "pandoc", "libreoffice-odt", "libreoffice-rtf"])
def test_text_tables_and_properties_match_python_docx(mv, corpus, producer):
    folder, files = corpus
    if producer not in files:
        pytest.skip(f"{producer} is not installed")
    path = files[producer]
    doc, paragraphs, tables = ours(mv, path)
    reference, their_paragraphs, their_tables = theirs(path)
    # The tree always ends a body with a paragraph: one it adds is empty.
    assert paragraphs[:len(their_paragraphs)] == their_paragraphs
    assert all(p == "" for p in paragraphs[len(their_paragraphs):])
    assert tables == their_tables
    properties = doc.built_in_document_properties
    mine = {"title": properties.title, "author": properties.author, "subject": properties.subject,
            "keywords": properties.keywords, "comments": properties.comments, "category": properties.category,
            "last_modified_by": properties.last_saved_by}
    assert {k: v or None for k, v in mine.items()} == core_of(reference)

    # Loaded and saved without a change: python-docx reads the same document.
    saved = folder / f"{producer}-saved.docx"
    doc.save(str(saved))
    again, again_paragraphs, again_tables = theirs(saved)
    assert (again_paragraphs, again_tables) == (their_paragraphs, their_tables)
    assert [p.style.name for p in again.paragraphs] == [p.style.name for p in reference.paragraphs]
    assert core_of(again) == core_of(reference)


def test_python_docx_formatting_and_author_are_read(mv, corpus):
    _, files = corpus
    doc = mv.Document(str(files["python-docx"]))
    assert doc.built_in_document_properties.author == "Someone"
    body = doc.first_section.body
    paragraphs = children(mv, body, mv.NodeType.PARAGRAPH, mv.Paragraph)
    assert paragraphs[0].paragraph_format.style_name == "Heading 1"
    runs = children(mv, paragraphs[1], mv.NodeType.RUN, mv.Run)
    assert [(run.text, run.font.bold, run.font.italic) for run in runs] == [
        ("Plain, ", False, False), ("bold", True, False), (" and ", False, False), ("italic", False, True)]
    assert body.get_child(mv.NodeType.TABLE, 0, False) is not None
    # Styles with what they inherit, and the page, as python-docx sees them.
    reference = docx.Document(str(files["python-docx"]))
    heading = doc.styles.get("Heading 1")
    assert (heading.base_style_name, heading.font.bold) == ("Normal", True)
    assert heading.font.size == reference.styles["Heading 1"].font.size.pt
    assert children(mv, paragraphs[0], mv.NodeType.RUN, mv.Run)[0].font.size == heading.font.size
    assert doc.styles.get("My Own Style").built_in is False
    bullet = next(p for p in paragraphs if p.get_text().startswith("A bullet")).list_format
    assert (bullet.is_list_item, bullet.list_level.number_style) == (True, mv.NumberStyle.BULLET)
    assert not paragraphs[1].list_format.is_list_item
    header = children(mv, doc.first_section, mv.NodeType.HEADER_FOOTER, mv.HeaderFooter)
    assert [(h.header_footer_type, h.get_text()) for h in header] == [(mv.HeaderFooterType.HEADER_PRIMARY, "Page header\r")]
    page, their_page = doc.first_section.page_setup, reference.sections[0]
    assert (page.page_width, page.page_height, page.left_margin) == (
        their_page.page_width.pt, their_page.page_height.pt, their_page.left_margin.pt)


def test_changing_one_word_changes_only_that_word(mv, corpus):
    folder, files = corpus
    if "pandoc" not in files:
        pytest.skip("pandoc is not installed")
    doc = mv.Document(str(files["pandoc"]))
    paragraphs = children(mv, doc.first_section.body, mv.NodeType.PARAGRAPH, mv.Paragraph)
    noted = next(p for p in paragraphs if "footnote" in p.get_text())
    run = children(mv, noted, mv.NodeType.RUN, mv.Run)[0]
    # pandoc's footnote is a node in the run flow, holding its paragraph.
    note = mv.notes.Footnote._cast_to(noted.get_child(mv.NodeType.FOOTNOTE, 0, False))
    assert (note.footnote_type, note.get_text().strip()) == (mv.notes.FootnoteType.FOOTNOTE, "The footnote text.")
    run.text = run.text.replace("Some", "Several")
    saved = folder / "pandoc-edited.docx"
    doc.save(str(saved))

    before, before_paragraphs, before_tables = theirs(files["pandoc"])
    after, after_paragraphs, after_tables = theirs(saved)
    expected = [p.replace("Some", "Several") if "footnote" in p else p for p in before_paragraphs]
    assert after_paragraphs == expected
    assert after_tables == before_tables
    assert [p.style.name for p in after.paragraphs] == [p.style.name for p in before.paragraphs]
    # The footnote, the numbering and the image travel with the package.
    names = {str(part.partname) for part in after.part.package.iter_parts()}
    assert {"/word/footnotes.xml", "/word/numbering.xml"} <= names
    assert any(n.startswith("/word/media/") for n in names)
    footnotes = next(p for p in after.part.package.iter_parts() if str(p.partname) == "/word/footnotes.xml")
    assert b"The footnote text." in footnotes.blob


def test_pandoc_lists_and_pictures(mv, corpus):
    _, files = corpus
    if "pandoc" not in files:
        pytest.skip("pandoc is not installed")
    doc = mv.Document(str(files["pandoc"]))
    items = {p.get_text()[:-1]: p.list_format for p in children(mv, doc.first_section.body, mv.NodeType.PARAGRAPH,
                                                                  mv.Paragraph)}
    assert [(items[t].is_list_item, items[t].list_level_number, items[t].list_level.number_style)
            for t in ("first", "nested bullet", "bullet one")] == [
        (True, 0, mv.NumberStyle.ARABIC), (True, 1, mv.NumberStyle.BULLET), (True, 0, mv.NumberStyle.BULLET)]
    assert not items["Heading One"].is_list_item
    picture = mv.drawing.Shape._cast_to(doc.get_child(mv.NodeType.SHAPE, 0, True))
    assert (picture.shape_type, picture.is_inline, picture.width > 0) == (mv.drawing.ShapeType.IMAGE, True, True)


@pytest.mark.skipif(SOFFICE is None, reason="LibreOffice is not installed")
def test_libreoffice_reads_saved_files_as_the_originals_and_prints_them(mv, corpus):
    folder, files = corpus
    out = folder / "lo"
    out.mkdir(exist_ok=True)
    originals, saved = [], []
    for name, path in files.items():
        copy = out / f"{name}.docx"
        shutil.copy(path, copy)
        mine = out / f"{name}-ours.docx"
        mv.Document(str(path)).save(str(mine))
        originals.append(copy.name)
        saved.append(mine.name)
    soffice(out, ["--convert-to", "txt:Text (encoded):UTF8", *originals, *saved])
    for original, mine in zip(originals, saved):
        text = (out / original.replace(".docx", ".txt")).read_text(encoding="utf-8-sig")
        assert (out / mine.replace(".docx", ".txt")).read_text(encoding="utf-8-sig") == text, original
    soffice(out, ["--convert-to", "pdf", *saved])
    for mine in saved:
        pdf = out / mine.replace(".docx", ".pdf")
        assert pdf.read_bytes().startswith(b"%PDF") and os.path.getsize(pdf) > 1000


def word_parts(path):
    """The WordprocessingML parts of a package, by name."""
    with zipfile.ZipFile(path) as package:
        return {n: package.read(n) for n in package.namelist() if n.startswith("word/") and n.endswith(".xml")}


@pytest.mark.parametrize("producer", ["python-docx", "pandoc", "libreoffice-odt", "libreoffice-rtf"])
def test_a_clone_saves_what_the_original_saves(mv, corpus, producer):
    folder, files = corpus
    if producer not in files:
        pytest.skip(f"{producer} is not installed")
    doc = mv.Document(str(files[producer]))
    copy = doc.clone()
    # Both get the same edit at the end, so that the body is written block by
    # block from the nodes rather than as read.
    for d in (doc, copy):
        builder = mv.DocumentBuilder(d)
        builder.move_to_document_end()
        builder.write(" tail")
    doc.save(str(folder / f"{producer}-original.docx"))
    copy.save(str(folder / f"{producer}-clone.docx"))
    original = word_parts(folder / f"{producer}-original.docx")
    assert word_parts(folder / f"{producer}-clone.docx") == original

    # Editing the clone leaves what the original saves as it was.
    first = children(mv, copy.first_section.body, mv.NodeType.PARAGRAPH, mv.Paragraph)[0]
    first.append_child(mv.Run(copy, " more"))
    first.paragraph_format.alignment = mv.ParagraphAlignment.RIGHT
    copy.save(str(folder / f"{producer}-clone-edited.docx"))
    doc.save(str(folder / f"{producer}-original-again.docx"))
    assert word_parts(folder / f"{producer}-original-again.docx") == original
    edited, paragraphs, _ = theirs(folder / f"{producer}-clone-edited.docx")
    assert paragraphs[0].endswith(" more")


def test_pandoc_picture_and_note_cloned_within_the_document_are_saved(mv, corpus):
    folder, files = corpus
    if "pandoc" not in files:
        pytest.skip("pandoc is not installed")
    doc = mv.Document(str(files["pandoc"]))
    body = doc.first_section.body
    for paragraph in children(mv, body, mv.NodeType.PARAGRAPH, mv.Paragraph):
        if paragraph.get_child_nodes(mv.NodeType.SHAPE, True).count or "footnote" in paragraph.get_text():
            body.insert_after(paragraph.clone(True), paragraph)
    saved = folder / "pandoc-cloned-blocks.docx"
    doc.save(str(saved))
    reference, before, _ = theirs(files["pandoc"])
    after, paragraphs, _ = theirs(saved)
    assert len(paragraphs) == len(before) + 2
    parts = word_parts(saved)
    assert parts["word/document.xml"].count(b"<a:blip ") == 2 * word_parts(files["pandoc"])["word/document.xml"].count(
        b"<a:blip ")
    assert parts["word/footnotes.xml"].count(b"The footnote text.") == 2
    again = mv.Document(str(saved))
    assert again.get_child_nodes(mv.NodeType.SHAPE, True).count == 2
    assert again.get_child_nodes(mv.NodeType.FOOTNOTE, True).count == 2


def pictures_of(path):
    """(relationship id, image bytes, cx, cy) of each inline picture, as python-docx reads the package."""
    d = docx.Document(str(path))
    found = []
    for inline in d.inline_shapes:
        blip = inline._inline.graphic.graphicData.pic.blipFill.blip
        found.append((blip.embed, d.part.related_parts[blip.embed].blob, inline.width, inline.height))
    return d, found


def test_pandoc_picture_imported_into_other_documents_keeps_its_image(mv, corpus):
    folder, files = corpus
    if "pandoc" not in files:
        pytest.skip("pandoc is not installed")
    _, (original,) = pictures_of(files["pandoc"])
    source = mv.Document(str(files["pandoc"]))
    paragraph = next(p for p in children(mv, source.first_section.body, mv.NodeType.PARAGRAPH, mv.Paragraph)
                     if p.get_child_nodes(mv.NodeType.SHAPE, True).count)

    # Into a new document, twice, saved after the source is gone.
    target = mv.Document()
    importer = mv.NodeImporter(source, target, mv.ImportFormatMode.KEEP_SOURCE_FORMATTING)
    for _ in range(2):
        target.first_section.body.append_child(importer.import_node(paragraph, True))
    del source, paragraph, importer
    gc.collect()
    saved = folder / "pandoc-picture-imported.docx"
    target.save(str(saved))
    d, pictures = pictures_of(saved)
    assert [p[1:] for p in pictures] == [original[1:]] * 2
    with zipfile.ZipFile(saved) as package:
        # One image part for both copies, beside the main part; each drawing its own id.
        media = [n for n in package.namelist() if "media/" in n]
        assert media == ["word/media/image1.png"]
        assert [package.read(n) for n in media] == [original[1]]
        ids = [e.get("id") for e in d.inline_shapes._body.xpath("//wp:docPr")]
        assert len(ids) == 2 and len(set(ids)) == 2
    again = mv.Document(str(saved))
    shapes = [mv.drawing.Shape._cast_to(again.get_child(mv.NodeType.SHAPE, i, True)) for i in range(2)]
    assert all(s.has_image and s.shape_type == mv.drawing.ShapeType.IMAGE for s in shapes)
    assert shapes[0].width == pytest.approx(original[2] / 12700)

    # Appended to python-docx's file, whose own relationships take the ids the
    # picture had: the picture gets a relationship of its own.
    doc = mv.Document(str(files["python-docx"]))
    doc.append_document(mv.Document(str(files["pandoc"])), mv.ImportFormatMode.USE_DESTINATION_STYLES)
    appended = folder / "pandoc-appended.docx"
    doc.save(str(appended))
    d, pictures = pictures_of(appended)
    assert [p[1:] for p in pictures] == [original[1:]]
    assert d.part.related_parts[pictures[0][0]].content_type == "image/png"
    assert d.sections[0].header.paragraphs[0].text == "Page header"
    assert mv.drawing.Shape._cast_to(mv.Document(str(appended)).get_child(mv.NodeType.SHAPE, 0, True)).has_image


def test_appended_paragraphs_keep_their_styles_as_the_mode_asks(mv, corpus):
    """pandoc's file appended to python-docx's: every paragraph names a style the saved file defines."""
    import re
    folder, files = corpus
    if "pandoc" not in files:
        pytest.skip("pandoc is not installed")
    source = docx.Document(str(files["pandoc"]))
    # Paragraphs with text: appending may end a section with an empty one.
    source_names = [p.style.name for p in source.paragraphs if p.text]
    saved = {}
    for mode in (mv.ImportFormatMode.USE_DESTINATION_STYLES, mv.ImportFormatMode.KEEP_SOURCE_FORMATTING):
        doc = mv.Document(str(files["python-docx"]))
        own = len(docx.Document(str(files["python-docx"])).paragraphs)
        doc.append_document(mv.Document(str(files["pandoc"])), mode)
        path = folder / f"styles-{mode.name.lower()}.docx"
        doc.save(str(path))
        saved[mode] = path
        d = docx.Document(str(path))
        defined = {s.style_id for s in d.styles}
        for name, xml in word_parts(path).items():
            assert set(re.findall(rb'<w:(?:pStyle|rStyle|tblStyle) w:val="([^"]+)"', xml)) <= {
                i.encode() for i in defined}, name
        names = [p.style.name for p in d.paragraphs[own:] if p.text]
        # pandoc's own styles come along under their names, based on what pandoc bases them on.
        base = d.styles["First Paragraph"].base_style.name
        if mode == mv.ImportFormatMode.USE_DESTINATION_STYLES:
            assert names == source_names
            assert base == source.styles["First Paragraph"].base_style.name
        else:
            # Where python-docx's template defines a style of that name differently,
            # the source's comes in renamed, and so do the styles based on it.
            assert [re.sub(r"_0$", "", n) for n in names] == source_names
            assert {n for n in names if n.endswith("_0")} >= {"Heading 1_0", "Title_0"}
            assert base == source.styles["First Paragraph"].base_style.name + "_0"
    if SOFFICE:
        out = folder / "styles-pdf"
        out.mkdir(exist_ok=True)
        for path in saved.values():
            shutil.copy(path, out / path.name)
        soffice(out, ["--convert-to", "pdf", *(p.name for p in saved.values())])
        for path in saved.values():
            pdf = out / path.name.replace(".docx", ".pdf")
            assert pdf.read_bytes().startswith(b"%PDF") and os.path.getsize(pdf) > 1000
