"""Document's whole-document members and Node's typed views, end to end on saved .docx files:
appending, protection, tracked revisions, field unlinking, cleaning up and copying styles, and the
members that need a layout."""
import re
import zipfile

import pytest

W_NS = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'


def text_of(doc):
    return doc.get_text().replace("\f", "\r").rstrip("\r")


def written(mv, *paragraphs):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for index, paragraph in enumerate(paragraphs):
        (builder.write if index == len(paragraphs) - 1 else builder.writeln)(paragraph)
    return doc


def part(path, name):
    with zipfile.ZipFile(path) as package:
        return package.read(name).decode("utf-8")


def with_body_paragraph(mv, tmp_path, inner_xml, name="edited.docx"):
    """A real package made here, whose one paragraph is replaced by the given markup."""
    base = tmp_path / ("base-" + name)
    written(mv, "PLACEHOLDER").save(str(base))
    out = tmp_path / name
    with zipfile.ZipFile(base) as source, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            data = source.read(item.filename)
            if item.filename == "word/document.xml":
                xml = data.decode("utf-8")
                xml, count = re.subn(r"<w:p\b(?:(?!<w:p\b).)*?PLACEHOLDER.*?</w:p>", "<w:p>" + inner_xml + "</w:p>",
                                     xml, flags=re.S)
                assert count == 1
                data = xml.encode("utf-8")
            target.writestr(item, data)
    return out


def snake(name):
    return re.sub(r"(?<=[a-z0-9])(?=[A-Z])", "_", name).lower()


def node_classes(mv):
    import types
    found, modules = set(), [mv]
    while modules:
        module = modules.pop()
        for value in vars(module).values():
            if isinstance(value, types.ModuleType) and value.__name__.startswith(mv.__name__ + "."):
                modules.append(value)
            elif isinstance(value, type) and issubclass(value, mv.Node) and value is not mv.Node:
                found.add(value)
    return found


# --- Node's typed views -------------------------------------------------------------------------

def test_every_node_class_has_its_typed_view_on_node(mv):
    classes = node_classes(mv)
    assert {mv.Paragraph, mv.Run, mv.tables.Table, mv.Document, mv.drawing.Shape} <= classes
    missing = [c.__name__ for c in classes if not hasattr(mv.Node, "as_" + snake(c.__name__))]
    assert missing == []


def test_typed_views_reach_the_real_class_and_give_none_for_another(mv):
    doc = written(mv, "one", "two")
    first = doc.first_section.body.first_child
    assert type(first) is mv.Node
    paragraph = first.as_paragraph()
    assert type(paragraph) is mv.Paragraph and paragraph.runs.count == 1
    assert first.as_table() is None and first.as_run() is None and first.as_section() is None
    run = paragraph.first_child.as_run()
    parent = run.parent_node
    assert type(parent) is mv.CompositeNode and parent.as_paragraph() == paragraph
    # Views of base classes hold for every node of a derived class.
    assert run.as_inline() == run and first.as_composite_node() == paragraph
    assert doc.as_document_base() == doc and doc.as_document() == doc and paragraph.as_document() is None


# --- appending documents --------------------------------------------------------------------------

@pytest.mark.parametrize("mode", ["USE_DESTINATION_STYLES", "KEEP_SOURCE_FORMATTING", "KEEP_DIFFERENT_STYLES"])
def test_appending_a_loaded_document_and_saving(mv, tmp_path, mode):
    source_path = tmp_path / "source.docx"
    written(mv, "Beta one", "Beta two").save(str(source_path))
    source = mv.Document(str(source_path))
    doc = written(mv, "Alpha")
    doc.append_document(source, getattr(mv.ImportFormatMode, mode))
    assert doc.sections.count == 2 and text_of(doc) == "Alpha\rBeta one\rBeta two"
    # The copies are independent: editing them leaves the source alone.
    doc.last_section.body.first_paragraph.first_child.as_run().text = "Changed"
    assert text_of(source) == "Beta one\rBeta two"
    out = tmp_path / "appended.docx"
    doc.save(str(out))
    again = mv.Document(str(out))
    assert again.sections.count == 2 and text_of(again) == "Alpha\rChanged\rBeta two"


def test_appending_a_document_to_itself_doubles_it_once(mv):
    doc = written(mv, "Once")
    doc.append_document(doc, mv.ImportFormatMode.USE_DESTINATION_STYLES)
    assert doc.sections.count == 2 and text_of(doc).split("\r") == ["Once", "Once"]


def test_appending_refuses_bad_arguments(mv):
    doc = written(mv, "x")
    with pytest.raises(RuntimeError, match=r"ArgumentNullException"):
        doc.append_document(None, mv.ImportFormatMode.USE_DESTINATION_STYLES)
    with pytest.raises(TypeError):
        doc.append_document(written(mv, "y"), 1)
    assert doc.sections.count == 1


# --- protection -----------------------------------------------------------------------------------

def test_protection_with_password_survives_saving_and_guards_unprotecting(mv, tmp_path):
    doc = written(mv, "Secret")
    doc.protect(mv.ProtectionType.READ_ONLY, "pa55word")
    path = tmp_path / "protected.docx"
    doc.save(str(path))
    settings = part(path, "word/settings.xml")
    assert 'w:edit="readOnly"' in settings and 'w:enforcement="1"' in settings
    assert "w:hashValue=" in settings and "w:saltValue=" in settings and "pa55word" not in settings

    loaded = mv.Document(str(path))
    assert loaded.protection_type == mv.ProtectionType.READ_ONLY
    assert loaded.unprotect("wrong") is False
    assert loaded.protection_type == mv.ProtectionType.READ_ONLY
    # A copy keeps the protection; saving it untouched keeps the very same hash.
    copy_path = tmp_path / "copy.docx"
    loaded.clone().save(str(copy_path))
    assert re.search(r'w:hashValue="[^"]+"', part(copy_path, "word/settings.xml")).group(0) == \
        re.search(r'w:hashValue="[^"]+"', settings).group(0)
    assert loaded.unprotect("pa55word") is True
    assert loaded.protection_type == mv.ProtectionType.NO_PROTECTION
    open_path = tmp_path / "open.docx"
    loaded.save(str(open_path))
    assert "documentProtection" not in part(open_path, "word/settings.xml")
    assert mv.Document(str(open_path)).protection_type == mv.ProtectionType.NO_PROTECTION


@pytest.mark.parametrize("kind", ["ALLOW_ONLY_REVISIONS", "ALLOW_ONLY_COMMENTS", "ALLOW_ONLY_FORM_FIELDS", "READ_ONLY"])
def test_every_protection_kind_reads_back_and_one_without_password_opens_with_any(mv, tmp_path, kind):
    doc = written(mv, "x")
    doc.protect(getattr(mv.ProtectionType, kind))
    path = tmp_path / "kind.docx"
    doc.save(str(path))
    loaded = mv.Document(str(path))
    assert loaded.protection_type == getattr(mv.ProtectionType, kind)
    assert loaded.unprotect("anything") is True


def test_a_recorded_but_unenforced_protection_does_not_protect(mv, tmp_path):
    path = with_body_paragraph(mv, tmp_path, "<w:r><w:t>x</w:t></w:r>")
    doc = mv.Document(str(path))
    doc.protect(mv.ProtectionType.READ_ONLY)
    doc.save(str(path))
    settings = part(path, "word/settings.xml").replace('w:enforcement="1"', 'w:enforcement="0"')
    edited = tmp_path / "unenforced.docx"
    with zipfile.ZipFile(path) as source, zipfile.ZipFile(edited, "w") as target:
        for item in source.infolist():
            target.writestr(item, settings if item.filename == "word/settings.xml" else source.read(item.filename))
    assert mv.Document(str(edited)).protection_type == mv.ProtectionType.NO_PROTECTION


# --- tracked revisions ----------------------------------------------------------------------------

REVISED = ('<w:r><w:t xml:space="preserve">Keep </w:t></w:r>'
           '<w:ins w:id="1" w:author="A" w:date="2024-01-01T00:00:00Z"><w:r><w:t xml:space="preserve">added </w:t></w:r></w:ins>'
           '<w:del w:id="2" w:author="A" w:date="2024-01-01T00:00:00Z"><w:r><w:delText xml:space="preserve">removed </w:delText></w:r></w:del>'
           '<w:r><w:t>end</w:t></w:r>')


@pytest.mark.parametrize("accept,expected", [(True, "Keep added end"), (False, "Keep removed end")])
def test_revisions_accepted_or_rejected_change_the_text_as_word_does(mv, tmp_path, accept, expected):
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, REVISED)))
    assert doc.has_revisions and doc.revisions.count == 2
    assert text_of(doc) == "Keep added end"  # deleted text is not shown
    if accept:
        doc.accept_all_revisions()
    else:
        doc.revisions.reject_all()
    assert not doc.has_revisions and doc.revisions.count == 0 and text_of(doc) == expected
    out = tmp_path / "resolved.docx"
    doc.save(str(out))
    body = part(out, "word/document.xml")
    assert "<w:ins" not in body and "<w:del " not in body and "delText" not in body
    again = mv.Document(str(out))
    assert text_of(again) == expected and not again.has_revisions


def test_revisions_of_a_clone_are_resolved_without_touching_the_original(mv, tmp_path):
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, REVISED)))
    copy = doc.clone()
    copy.revisions.reject_all()
    assert doc.revisions.count == 2 and text_of(copy) == "Keep removed end"


def test_edits_made_while_tracking_are_recorded_saved_and_settled(mv, tmp_path):
    import datetime
    doc = written(mv, "Keep one")
    doc.start_track_revisions("Ann", datetime.datetime(2024, 5, 6, 7, 8, 9))
    builder = mv.DocumentBuilder(doc)
    builder.move_to_document_end()
    builder.write(" two")
    paragraph = doc.first_section.body.first_paragraph
    paragraph.runs.to_array()[0].text = "Keep"
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): Removing a Paragraph node while revisions"):
        paragraph.remove()
    doc.stop_track_revisions()
    runs = paragraph.runs.to_array()
    assert [(r.text, r.is_delete_revision, r.is_insert_revision) for r in runs] == [
        ("Keep one", True, False), ("Keep", False, True), (" two", False, True)]
    assert doc.revisions.count == 3 and text_of(doc) == "Keep two"

    out = tmp_path / "tracked.docx"
    doc.save(str(out))
    body = part(out, "word/document.xml")
    assert body.count("<w:ins ") == 2 and body.count("<w:del ") == 1 and 'w:author="Ann"' in body
    again = mv.Document(str(out))
    assert again.revisions.count == 3 and text_of(again) == "Keep two"
    rejected = again.clone()
    rejected.revisions.reject_all()
    again.accept_all_revisions()
    assert (text_of(again), text_of(rejected)) == ("Keep two", "Keep one")
    assert not again.has_revisions and not rejected.has_revisions


# --- fields ---------------------------------------------------------------------------------------

FIELDS = ('<w:r><w:t xml:space="preserve">Date: </w:t></w:r>'
          '<w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> DATE </w:instrText></w:r>'
          '<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>1/2/2024</w:t></w:r>'
          '<w:r><w:fldChar w:fldCharType="end"/></w:r>'
          '<w:r><w:t xml:space="preserve"> by </w:t></w:r>'
          '<w:fldSimple w:instr=" AUTHOR "><w:r><w:t>Ann</w:t></w:r></w:fldSimple>')


def test_unlinking_fields_keeps_their_results_as_plain_text(mv, tmp_path):
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, FIELDS)))
    doc.unlink_fields()
    assert text_of(doc) == "Date: 1/2/2024 by Ann"
    out = tmp_path / "unlinked.docx"
    doc.save(str(out))
    body = part(out, "word/document.xml")
    assert not any(mark in body for mark in ("fldChar", "instrText", "fldSimple", "DATE"))
    assert text_of(mv.Document(str(out))) == "Date: 1/2/2024 by Ann"


# --- members that need a layout, and the document-wide properties ---------------------------------

@pytest.mark.parametrize("call,member", [
    (lambda mv, d: d.update_thumbnail(), "UpdateThumbnail"),
    (lambda mv, d: d.extract_pages(0, 1), "ExtractPages"),
    (lambda mv, d: d.get_page_info(0), "GetPageInfo"),
    (lambda mv, d: d.update_table_layout(), "UpdateTableLayout"),
    (lambda mv, d: d.update_list_labels(), "UpdateListLabels"),
    (lambda mv, d: d.update_actual_reference_marks(), "UpdateActualReferenceMarks"),
    (lambda mv, d: d.expand_table_styles_to_direct_formatting(), "ExpandTableStylesToDirectFormatting"),
])
def test_members_beyond_the_model_refuse_by_name_and_leave_the_document_usable(mv, tmp_path, call, member):
    doc = written(mv, "still here")
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): Document\." + member + " "):
        call(mv, doc)
    assert text_of(doc) == "still here"


def test_document_wide_properties(mv):
    doc = mv.Document()
    assert doc.font_settings is None
    doc.font_settings = mv.fonts.FontSettings()
    assert type(doc.font_settings) is mv.fonts.FontSettings
    doc.font_settings = None
    assert doc.font_settings is None
    assert doc.revisions_view == mv.RevisionsView.FINAL
    doc.revisions_view = mv.RevisionsView.ORIGINAL
    assert doc.revisions_view == mv.RevisionsView.ORIGINAL
    doc.justification_mode = mv.settings.JustificationMode.COMPRESS
    assert doc.justification_mode == mv.settings.JustificationMode.COMPRESS
    assert doc.versions_count == 0
    assert type(doc.view_options) is mv.settings.ViewOptions and type(doc.theme) is mv.themes.Theme
    with pytest.raises(TypeError):
        doc.revisions_view = 1


@pytest.mark.parametrize("mode,expected", [("15", "ISO29500_2008_TRANSITIONAL"), ("14", "ISO29500_2008_TRANSITIONAL"),
                                           ("12", "ECMA376_2006"), (None, "ECMA376_2006"), ("x", "ECMA376_2006")])
def test_compliance_is_read_from_the_file_and_kept_by_saving(mv, tmp_path, mode, expected):
    import docx
    from docx.oxml.ns import qn
    made = docx.Document()
    settings = made.settings.element
    for old in settings.findall(qn("w:compat")):
        settings.remove(old)
    if mode is not None:
        compat = settings.makeelement(qn("w:compat"), {})
        compat.append(compat.makeelement(qn("w:compatSetting"), {
            qn("w:name"): "compatibilityMode", qn("w:uri"): "http://schemas.microsoft.com/office/word", qn("w:val"): mode}))
        settings.append(compat)
    made.add_paragraph("Body text")
    made.save(tmp_path / "in.docx")
    doc = mv.Document(str(tmp_path / "in.docx"))
    assert doc.compliance == getattr(mv.saving.OoxmlCompliance, expected)
    doc.save(str(tmp_path / "out.docx"))
    assert mv.Document(str(tmp_path / "out.docx")).compliance == doc.compliance
    assert docx.Document(tmp_path / "out.docx").paragraphs[-1].text == "Body text"


def test_layout_and_field_options_belong_to_their_document(mv):
    doc, other = mv.Document(), mv.Document()
    assert doc.compliance == mv.saving.OoxmlCompliance.ECMA376_2006  # written without a compatibility mode
    doc.layout_options.show_hidden_text = True
    doc.field_options.default_document_author = "Ana"
    assert doc.layout_options.show_hidden_text is True and doc.field_options.default_document_author == "Ana"
    assert other.layout_options.show_hidden_text is False and other.field_options.default_document_author is None
    with pytest.raises(AttributeError):
        doc.layout_options = other.layout_options


def styled_docx(path, *, unused_list=True):
    """A python-docx file with a used and an unused custom style, a list paragraph, and
    (when asked) a list definition nothing uses."""
    import docx
    from docx.enum.style import WD_STYLE_TYPE
    from docx.oxml import parse_xml
    from docx.oxml.ns import nsdecls
    made = docx.Document()
    made.styles.add_style("Used Custom", WD_STYLE_TYPE.PARAGRAPH)
    made.styles.add_style("Unused Custom", WD_STYLE_TYPE.PARAGRAPH)
    made.add_paragraph("kept", style="Used Custom")
    made.add_paragraph("item", style="List Bullet")
    if unused_list:
        numbering = made.part.numbering_part.element
        numbering.findall("{*}num")[0].addprevious(parse_xml(
            f'<w:abstractNum {nsdecls("w")} w:abstractNumId="99"><w:lvl w:ilvl="0"><w:numFmt w:val="decimal"/></w:lvl></w:abstractNum>'))
        numbering.append(parse_xml(f'<w:num {nsdecls("w")} w:numId="99"><w:abstractNumId w:val="99"/></w:num>'))
    made.save(path)
    return path


def style_names(path):
    import docx
    return {style.name for style in docx.Document(path).styles}


def test_cleanup_removes_unused_custom_styles_and_lists_and_keeps_what_is_used(mv, tmp_path):
    source = styled_docx(tmp_path / "in.docx")
    doc = mv.Document(str(source))
    assert doc.styles.get("Unused Custom") is not None
    doc.cleanup()
    assert doc.styles.get("Unused Custom") is None and doc.styles.get("Used Custom") is not None
    doc.save(str(tmp_path / "out.docx"))
    names = style_names(tmp_path / "out.docx")
    assert "Unused Custom" not in names
    assert {"Used Custom", "List Bullet", "Normal", "Heading 1"} <= names  # used, or built in
    numbering = part(tmp_path / "out.docx", "word/numbering.xml")
    assert 'w:numId="99"' not in numbering and 'w:abstractNumId="99"' not in numbering
    import docx
    reread = docx.Document(tmp_path / "out.docx")
    assert [(p.text, p.style.name) for p in reread.paragraphs] == [("kept", "Used Custom"), ("item", "List Bullet")]
    list_id = reread.styles["List Bullet"].element.pPr.numPr.numId.val
    assert f'w:numId="{list_id}"' in numbering  # the list a used style names stays

    # Built-in styles go only when asked; the default and the used ones never.
    options = mv.CleanupOptions()
    assert (options.unused_styles, options.unused_lists, options.unused_builtin_styles) == (True, True, False)
    options.unused_builtin_styles = True
    doc.cleanup(options)
    doc.save(str(tmp_path / "builtin.docx"))
    names = style_names(tmp_path / "builtin.docx")
    assert "Heading 1" not in names and {"Used Custom", "List Bullet", "Normal"} <= names
    options.duplicate_style = True
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): Document\.Cleanup .*DuplicateStyle"):
        doc.cleanup(options)


def test_copying_styles_from_a_template_replaces_same_named_ones_and_adds_the_rest(mv, tmp_path):
    import docx
    from docx.enum.style import WD_STYLE_TYPE
    from docx.shared import Pt
    template = docx.Document()
    template.styles["Heading 1"].font.size = Pt(30)
    template.styles.add_style("Template Only", WD_STYLE_TYPE.PARAGRAPH).font.bold = True
    template.save(tmp_path / "template.docx")
    target = docx.Document()
    target.add_paragraph("Title", style="Heading 1")
    target.add_paragraph("Body")
    target.save(tmp_path / "target.docx")

    for how in ("path", "document"):
        doc = mv.Document(str(tmp_path / "target.docx"))
        if how == "path":
            doc.copy_styles_from_template(str(tmp_path / "template.docx"))
        else:
            doc.copy_styles_from_template(mv.Document(str(tmp_path / "template.docx")))
        assert doc.styles.get("Template Only") is not None
        doc.first_section.body.last_paragraph.paragraph_format.style_name = "Template Only"
        doc.save(str(tmp_path / f"out-{how}.docx"))
        reread = docx.Document(tmp_path / f"out-{how}.docx")
        assert reread.styles["Heading 1"].font.size == Pt(30)
        assert reread.styles["Template Only"].font.bold is True
        assert [(p.text, p.style.name) for p in reread.paragraphs] == [("Title", "Heading 1"), ("Body", "Template Only")]
        assert len([s for s in reread.styles if s.name == "Template Only"]) == 1

    # A copied style nothing uses goes with a cleanup, and stays gone.
    doc = mv.Document(str(tmp_path / "target.docx"))
    doc.copy_styles_from_template(str(tmp_path / "template.docx"))
    doc.cleanup()
    doc.save(str(tmp_path / "cleaned.docx"))
    assert "Template Only" not in style_names(tmp_path / "cleaned.docx")
    assert docx.Document(tmp_path / "cleaned.docx").styles["Heading 1"].font.size == Pt(30)
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.IO\.FileNotFoundException\)"):
        doc.copy_styles_from_template(str(tmp_path / "missing.docx"))


def with_related_part(mv, tmp_path, name, content_type, relationship, data):
    """A package saved here with one more part related to the main part."""
    base = tmp_path / ("base-" + name.replace("/", "-") + ".docx")
    written(mv, "Body text").save(str(base))
    out = tmp_path / ("with-" + name.replace("/", "-") + ".docx")
    with zipfile.ZipFile(base) as source, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            content = source.read(item.filename)
            if item.filename == "[Content_Types].xml":
                content = content.replace(b"</Types>", f'<Override PartName="/word/{name}" ContentType="{content_type}"/></Types>'.encode())
            elif item.filename == "word/_rels/document.xml.rels":
                content = content.replace(b"</Relationships>",
                                          f'<Relationship Id="rIdAdded" Type="{relationship}" Target="{name}"/></Relationships>'.encode())
            target.writestr(item, content)
        target.writestr("word/" + name, data)
    return out


def test_parts_kept_unparsed_or_unreadable_are_refused_not_shown_empty(mv, tmp_path):
    plain = mv.Document()
    assert plain.vba_project is None and plain.glossary_document is None
    assert type(plain.mail_merge) is mv.mailmerging.MailMerge and plain.mail_merge.trim_whitespaces is True

    macros = mv.Document(str(with_related_part(
        mv, tmp_path, "vbaProject.bin", "application/vnd.ms-office.vbaProject",
        "http://schemas.microsoft.com/office/2006/relationships/vbaProject", b"VBA!")))
    assert macros.has_macros
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.IO\.InvalidDataException\): The macro project is not a readable compound file"):
        macros.vba_project
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): Document\.VbaProject cannot be set"):
        macros.vba_project = mv.vba.VbaProject()
    assert macros.has_macros  # a refused assignment changes nothing
    macros.vba_project = None
    assert not macros.has_macros and macros.vba_project is None

    glossary_xml = ('<w:glossaryDocument xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
                    '<w:docParts/></w:glossaryDocument>')
    path = with_related_part(mv, tmp_path, "glossary/document.xml",
                             "application/vnd.openxmlformats-officedocument.wordprocessingml.document.glossary+xml",
                             "http://schemas.openxmlformats.org/officeDocument/2006/relationships/glossaryDocument",
                             glossary_xml)
    doc = mv.Document(str(path))
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): Document\.GlossaryDocument cannot show"):
        doc.glossary_document
    doc.save(str(tmp_path / "kept.docx"))
    assert "word/glossary/document.xml" in zipfile.ZipFile(tmp_path / "kept.docx").namelist()
    doc.glossary_document = None
    assert doc.glossary_document is None
    doc.save(str(tmp_path / "dropped.docx"))
    assert not any("glossary" in name for name in zipfile.ZipFile(tmp_path / "dropped.docx").namelist())
    import docx
    assert docx.Document(tmp_path / "dropped.docx").paragraphs[0].text == "Body text"


def test_note_numbering_is_read_from_the_settings_and_written_back_when_changed(mv, tmp_path):
    import docx
    from docx.oxml import parse_xml
    from docx.oxml.ns import nsdecls
    made = docx.Document()
    # As word processors write it: the numbering, then the separator notes' references.
    made.settings.element.append(parse_xml(
        f'<w:footnotePr {nsdecls("w")}><w:numFmt w:val="lowerLetter"/><w:numStart w:val="3"/>'
        '<w:numRestart w:val="eachSect"/><w:footnote w:id="-1"/><w:footnote w:id="0"/></w:footnotePr>'))
    made.settings.element.append(parse_xml(f'<w:endnotePr {nsdecls("w")}><w:pos w:val="sectEnd"/><w:numFmt w:val="thaiCounting"/></w:endnotePr>'))
    made.add_paragraph("Body")
    made.save(tmp_path / "in.docx")

    doc = mv.Document(str(tmp_path / "in.docx"))
    notes, ends = doc.footnote_options, doc.endnote_options
    assert (notes.number_style, notes.start_number, notes.restart_rule, notes.position) == (
        mv.NumberStyle.LOWERCASE_LETTER, 3, mv.notes.FootnoteNumberingRule.RESTART_SECTION, mv.notes.FootnotePosition.BOTTOM_OF_PAGE)
    assert (ends.position, ends.number_style, ends.start_number) == (
        mv.notes.EndnotePosition.END_OF_SECTION, mv.NumberStyle.THAI_CARDINAL_TEXT, 1)
    doc.save(str(tmp_path / "same.docx"))
    def note_elements(path):
        xml = re.sub(r"\s*/>", "/>", part(path, "word/settings.xml"))
        return re.findall(r"<w:(?:foot|end)notePr>.*?</w:(?:foot|end)notePr>", xml)
    assert note_elements(tmp_path / "same.docx") == note_elements(tmp_path / "in.docx") and len(note_elements(tmp_path / "in.docx")) == 2

    notes.number_style = mv.NumberStyle.UPPERCASE_ROMAN
    notes.position = mv.notes.FootnotePosition.BENEATH_TEXT
    ends.start_number = 7
    doc.save(str(tmp_path / "out.docx"))
    settings = part(tmp_path / "out.docx", "word/settings.xml")
    assert re.search(r'<w:footnotePr><w:pos w:val="beneathText"\s*/><w:numFmt w:val="upperRoman"\s*/><w:numStart w:val="3"\s*/>'
                     r'<w:numRestart w:val="eachSect"\s*/><w:footnote w:id="-1"\s*/><w:footnote w:id="0"\s*/></w:footnotePr>', settings)
    assert re.search(r'<w:endnotePr><w:pos w:val="sectEnd"\s*/><w:numFmt w:val="thaiCounting"\s*/><w:numStart w:val="7"\s*/></w:endnotePr>',
                     settings)
    again = mv.Document(str(tmp_path / "out.docx"))
    assert (again.footnote_options.number_style, again.footnote_options.position, again.endnote_options.start_number) == (
        mv.NumberStyle.UPPERCASE_ROMAN, mv.notes.FootnotePosition.BENEATH_TEXT, 7)
    assert docx.Document(tmp_path / "out.docx").paragraphs[0].text == "Body"
    clone = again.clone()
    assert clone.endnote_options.start_number == 7 and clone.footnote_options.number_style == mv.NumberStyle.UPPERCASE_ROMAN

    # What has no number format, and footnote columns, are refused rather than dropped.
    fresh = mv.Document()
    fresh.footnote_options.number_style = mv.NumberStyle.CUSTOM
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): FootnoteOptions\.NumberStyle Custom"):
        fresh.save(str(tmp_path / "custom.docx"))
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): FootnoteOptions\.Columns"):
        fresh.footnote_options.columns = 2
    assert mv.Document().footnote_options.number_style == mv.NumberStyle.ARABIC
    assert mv.Document().endnote_options.number_style == mv.NumberStyle.LOWERCASE_ROMAN


def with_parts(mv, tmp_path, tag, additions):
    """A package saved here with more parts: (name, content type, data, relationships file, relationship type, target)."""
    base = tmp_path / f"base-{tag}.docx"
    written(mv, "Body text").save(str(base))
    out = tmp_path / f"with-{tag}.docx"
    rels = {}
    for _, _, _, rels_file, relationship, target in additions:
        rels.setdefault(rels_file, []).append(f'<Relationship Id="rIdAdded{len(rels.get(rels_file, []))}" Type="{relationship}" Target="{target}"/>')
    empty_rels = '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"></Relationships>'
    with zipfile.ZipFile(base) as source, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            content = source.read(item.filename)
            if item.filename == "[Content_Types].xml":
                overrides = "".join(f'<Override PartName="/{name}" ContentType="{ctype}"/>' for name, ctype, *_ in additions)
                content = content.replace(b"</Types>", (overrides + "</Types>").encode())
            elif item.filename in rels:
                content = content.replace(b"</Relationships>", ("".join(rels.pop(item.filename)) + "</Relationships>").encode())
            target.writestr(item, content)
        for rels_file, entries in rels.items():
            target.writestr(rels_file, empty_rels.replace("</Relationships>", "".join(entries) + "</Relationships>"))
        for name, _, data, *_ in additions:
            target.writestr(name, data)
    return out


def custom_xml_of(path):
    """(item id, XML) of every custom XML part the main part relates to, as python-docx reads the package."""
    import docx
    found = []
    for rel in docx.Document(path).part.rels.values():
        if rel.reltype.endswith("/customXml"):
            props = [r.target_part.blob.decode() for r in rel.target_part.rels.values() if r.reltype.endswith("/customXmlProps")]
            item_id = re.search(r'itemID="([^"]+)"', props[0]).group(1) if props else None
            found.append((item_id, rel.target_part.blob.decode("utf-8")))
    return sorted(found)


def test_custom_xml_parts_are_read_added_removed_and_written(mv, tmp_path):
    doc = written(mv, "Body text")
    assert doc.custom_xml_parts.count == 0
    first = doc.custom_xml_parts.add("{11111111-1111-1111-1111-111111111111}", "<data><name>Ann</name></data>")
    part = mv.markup.CustomXmlPart()
    part.id, part.data = "{22222222-2222-2222-2222-222222222222}", "<other>é</other>".encode()
    doc.custom_xml_parts.add(part)
    assert first.data == b"<data><name>Ann</name></data>"
    doc.save(str(tmp_path / "two.docx"))
    assert custom_xml_of(tmp_path / "two.docx") == [("{11111111-1111-1111-1111-111111111111}", "<data><name>Ann</name></data>"),
                                                     ("{22222222-2222-2222-2222-222222222222}", "<other>é</other>")]

    loaded = mv.Document(str(tmp_path / "two.docx"))
    assert [part.id for part in loaded.custom_xml_parts.to_array()] == ["{11111111-1111-1111-1111-111111111111}",
                                                                        "{22222222-2222-2222-2222-222222222222}"]
    assert loaded.custom_xml_parts.get_by_id("{22222222-2222-2222-2222-222222222222}").data == "<other>é</other>".encode()
    assert loaded.custom_xml_parts.get_by_id("{missing}") is None
    clone = loaded.clone()
    loaded.custom_xml_parts.remove_at(0)
    loaded.custom_xml_parts.get_by_id("{22222222-2222-2222-2222-222222222222}").data = b"<other>changed</other>"
    loaded.save(str(tmp_path / "edited.docx"))
    assert custom_xml_of(tmp_path / "edited.docx") == [("{22222222-2222-2222-2222-222222222222}", "<other>changed</other>")]
    clone.save(str(tmp_path / "clone.docx"))  # the clone's parts are its own
    assert len(custom_xml_of(tmp_path / "clone.docx")) == 2

    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.ArgumentOutOfRangeException\)"):
        loaded.custom_xml_parts.remove_at(5)
    loaded.custom_xml_parts.add("{bad}", "not <xml")
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.InvalidOperationException\): The custom XML part '\{bad\}'"):
        loaded.save(str(tmp_path / "bad.docx"))
    loaded.custom_xml_parts.remove_at(1)
    loaded.save(str(tmp_path / "mended.docx"))
    assert custom_xml_of(tmp_path / "mended.docx") == [("{22222222-2222-2222-2222-222222222222}", "<other>changed</other>")]
    loaded.custom_xml_parts.clear()
    loaded.save(str(tmp_path / "none.docx"))
    assert custom_xml_of(tmp_path / "none.docx") == []
    assert not any(name.startswith("customXml/") for name in zipfile.ZipFile(tmp_path / "none.docx").namelist())


WATERMARK_HEADER = ('<w:hdr xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
                    'xmlns:v="urn:schemas-microsoft-com:vml"><w:p><w:r><w:pict>'
                    '<v:shape id="{shape}" type="#_x0000_t136"/></w:pict></w:r></w:p></w:hdr>')


@pytest.mark.parametrize("shape, kind", [("PowerPlusWaterMarkObject357", "TEXT"), ("WordPictureWatermark12", "IMAGE")])
def test_watermark_kind_is_read_from_the_header_shape(mv, tmp_path, shape, kind):
    assert mv.Document().watermark.type == mv.WatermarkType.NONE
    path = with_related_part(mv, tmp_path, "header9.xml",
                             "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml",
                             "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header",
                             WATERMARK_HEADER.replace("{shape}", shape))
    assert mv.Document(str(path)).watermark.type == getattr(mv.WatermarkType, kind)


SIGNATURE = ('<Signature xmlns="http://www.w3.org/2000/09/xmldsig#" Id="idPackageSignature"><SignedInfo/>'
             '<Object><SignatureProperties><SignatureProperty Target="#idPackageSignature">'
             '<SignatureInfoV1 xmlns="http://schemas.microsoft.com/office/2006/digsig">'
             '<SignatureComments>Approved</SignatureComments></SignatureInfoV1>'
             '</SignatureProperty></SignatureProperties></Object></Signature>')


def test_signatures_frames_and_task_panes_of_a_file_are_listed_never_shown_empty(mv, tmp_path):
    plain = mv.Document()
    assert plain.digital_signatures.count == 0 and plain.frameset is None and plain.web_extension_task_panes.count == 0

    signed = mv.Document(str(with_parts(mv, tmp_path, "signed", [
        ("_xmlsignatures/origin.sigs", "application/vnd.openxmlformats-package.digital-signature-origin", b"",
         "_rels/.rels", "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/origin",
         "_xmlsignatures/origin.sigs"),
        ("_xmlsignatures/sig1.xml", "application/vnd.openxmlformats-package.digital-signature-xmlsignature+xml", SIGNATURE,
         "_xmlsignatures/_rels/origin.sigs.rels",
         "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/signature", "sig1.xml"),
    ])))
    assert signed.digital_signatures.count == 1
    signature, = signed.digital_signatures.to_array()
    assert signature.signature_type == mv.digitalsignatures.DigitalSignatureType.XML_DSIG
    assert signature.comments == "Approved"
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): DigitalSignature\.IsValid"):
        signature.is_valid

    framed = mv.Document(str(with_related_part(
        mv, tmp_path, "webSettings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml",
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/webSettings",
        '<w:webSettings xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:frameset/></w:webSettings>')))
    assert framed.frameset.child_framesets.count == 0  # an empty frames page

    panes = mv.Document(str(with_parts(mv, tmp_path, "panes", [
        ("word/webextensions/taskpanes.xml", "application/vnd.ms-office.webextensiontaskpanes+xml",
         '<wetp:taskpanes xmlns:wetp="http://schemas.microsoft.com/office/webextensions/taskpanes/2010/11"/>',
         "_rels/.rels", "http://schemas.microsoft.com/office/2011/relationships/webextensiontaskpanes",
         "word/webextensions/taskpanes.xml"),
    ])))
    assert panes.web_extension_task_panes.count == 0  # a part without panes
    panes.save(str(tmp_path / "panes-kept.docx"))
    assert "word/webextensions/taskpanes.xml" in zipfile.ZipFile(tmp_path / "panes-kept.docx").namelist()


def settings_xml(path):
    import docx
    from lxml import etree
    return etree.tostring(docx.Document(path).settings.element).decode()


def canonical_settings(path):
    """The settings part in exclusive canonical form: where namespaces are declared does not count."""
    from lxml import etree
    return etree.tostring(etree.fromstring(part(path, "word/settings.xml").encode()), method="c14n", exclusive=True)


def test_mail_merge_settings_are_read_and_written_back_when_changed(mv, tmp_path):
    MM = mv.settings
    doc = written(mv, "Dear customer")
    assert doc.mail_merge_settings.main_document_type == MM.MailMergeMainDocumentType.NOT_A_MERGE_DOCUMENT
    settings = doc.mail_merge_settings
    settings.main_document_type = MM.MailMergeMainDocumentType.FORM_LETTERS
    settings.data_type = MM.MailMergeDataType.TEXT_FILE
    settings.data_source = "file:///C:/data/customers.csv"
    settings.query = "SELECT * FROM customers.csv"
    settings.view_merged_data = True
    settings.active_record = 3
    settings.check_errors = MM.MailMergeCheckErrors.COLLECT_ERRORS
    doc.save(str(tmp_path / "merge.docx"))
    xml = settings_xml(tmp_path / "merge.docx")
    for markup in ('w:mainDocumentType w:val="formLetters"', 'w:dataType w:val="textFile"', "<w:viewMergedData/>",
                   'w:query w:val="SELECT * FROM customers.csv"', 'w:activeRecord w:val="3"', 'w:checkErrors w:val="3"'):
        assert markup in xml
    rels = part(tmp_path / "merge.docx", "word/_rels/settings.xml.rels")
    assert 'Target="file:///C:/data/customers.csv"' in rels and 'TargetMode="External"' in rels

    # Word's own data source object, which the model does not name, survives an edit.
    odso = '<w:odso><w:udl w:val="Provider=Text"/><w:table w:val="customers$"/></w:odso>'
    patched = tmp_path / "with-odso.docx"
    with zipfile.ZipFile(tmp_path / "merge.docx") as source, zipfile.ZipFile(patched, "w") as target:
        for item in source.infolist():
            data = source.read(item.filename)
            if item.filename == "word/settings.xml":
                data = data.replace(b"</w:mailMerge>", odso.encode() + b"</w:mailMerge>")
            target.writestr(item, data)
    loaded = mv.Document(str(patched))
    read = loaded.mail_merge_settings
    assert (read.main_document_type, read.data_type, read.data_source, read.query, read.view_merged_data,
            read.active_record, read.check_errors, read.link_to_query) == (
        MM.MailMergeMainDocumentType.FORM_LETTERS, MM.MailMergeDataType.TEXT_FILE, "file:///C:/data/customers.csv",
        "SELECT * FROM customers.csv", True, 3, MM.MailMergeCheckErrors.COLLECT_ERRORS, False)
    loaded.save(str(tmp_path / "unchanged.docx"))
    assert canonical_settings(tmp_path / "unchanged.docx") == canonical_settings(patched)

    read.query = "SELECT name FROM customers.csv"
    read.view_merged_data = False
    read.data_source = "customers2.csv"
    loaded.save(str(tmp_path / "edited.docx"))
    xml = settings_xml(tmp_path / "edited.docx")
    assert 'w:query w:val="SELECT name FROM customers.csv"' in xml and "viewMergedData" not in xml
    assert '<w:table w:val="customers$"/>' in xml and xml.index("w:query") < xml.index("w:odso")
    rels = part(tmp_path / "edited.docx", "word/_rels/settings.xml.rels")
    assert "customers2.csv" in rels and "C:/data" not in rels
    assert mv.Document(str(tmp_path / "edited.docx")).mail_merge_settings.data_source == "customers2.csv"

    loaded.mail_merge_settings = MM.MailMergeSettings()  # not a merge document any more
    loaded.save(str(tmp_path / "plain.docx"))
    assert "mailMerge" not in settings_xml(tmp_path / "plain.docx")
    with zipfile.ZipFile(tmp_path / "plain.docx") as package:
        assert all(b"customers2.csv" not in package.read(name) for name in package.namelist() if name.endswith(".rels"))
    with pytest.raises((TypeError, RuntimeError)):
        loaded.mail_merge_settings = None


def test_view_and_compatibility_options_reflect_the_file_and_are_written_back(mv, tmp_path):
    S = mv.settings
    doc = written(mv, "Body text")
    doc.view_options.view_type = S.ViewType.WEB
    doc.view_options.zoom_percent = 150
    doc.view_options.forms_design = True
    doc.compatibility_options.do_not_break_wrapped_tables = True
    doc.compatibility_options.grow_autofit = False
    doc.save(str(tmp_path / "view.docx"))
    xml = settings_xml(tmp_path / "view.docx")
    for markup in ('<w:view w:val="web"/>', 'w:percent="150"', "<w:formsDesign/>", "<w:doNotBreakWrappedTables/>"):
        assert markup in xml
    assert "growAutofit" not in xml

    # Word's own spellings: a percent sign, a zoom kind, a flag switched off by value, a view the model folds.
    patched = tmp_path / "word-view.docx"
    with zipfile.ZipFile(tmp_path / "view.docx") as source, zipfile.ZipFile(patched, "w") as target:
        for item in source.infolist():
            data = source.read(item.filename)
            if item.filename == "word/settings.xml":
                data = re.sub(rb"<w:zoom [^>]*/>", b'<w:zoom w:val="bestFit" w:percent="90%"/>', data)
                data = re.sub(rb"<w:view [^>]*/>", b'<w:view w:val="masterPages"/>', data)
                data = re.sub(rb"<w:formsDesign ?/>", b'<w:formsDesign w:val="false"/>', data)
            target.writestr(item, data)
    loaded = mv.Document(str(patched))
    view, compat = loaded.view_options, loaded.compatibility_options
    assert (view.view_type, view.zoom_percent, view.zoom_type, view.forms_design) == (
        S.ViewType.OUTLINE, 90, S.ZoomType.PAGE_WIDTH, False)
    assert compat.do_not_break_wrapped_tables and not compat.grow_autofit
    loaded.save(str(tmp_path / "unchanged.docx"))
    assert canonical_settings(tmp_path / "unchanged.docx") == canonical_settings(patched)
    clone = loaded.clone()
    assert clone.view_options.zoom_percent == 90 and clone.view_options.view_type == S.ViewType.OUTLINE

    view.zoom_type = S.ZoomType.CUSTOM
    view.zoom_percent = 75
    compat.do_not_break_wrapped_tables = False
    loaded.save(str(tmp_path / "edited.docx"))
    xml = settings_xml(tmp_path / "edited.docx")
    assert 'w:percent="75"' in xml and "bestFit" not in xml and "doNotBreakWrappedTables" not in xml
    assert '<w:view w:val="masterPages"/>' in xml  # unchanged, so kept as Word spelled it

    view.view_type = S.ViewType.READING
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): ViewOptions\.ViewType cannot be saved as Reading"):
        loaded.save(str(tmp_path / "reading.docx"))
    view.view_type = S.ViewType.NORMAL
    view.zoom_percent = 5000
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.ArgumentOutOfRangeException\)"):
        loaded.save(str(tmp_path / "huge.docx"))
    view.zoom_percent = 100
    loaded.save(str(tmp_path / "normal.docx"))
    reread = mv.Document(str(tmp_path / "normal.docx")).view_options
    assert (reread.view_type, reread.zoom_percent) == (S.ViewType.NORMAL, 100)


def test_theme_fonts_are_read_from_the_theme_part_and_written_back(mv, tmp_path):
    import docx
    docx.Document().save(tmp_path / "themed.docx")  # a package with Word's theme part
    doc = mv.Document(str(tmp_path / "themed.docx"))
    theme = doc.theme
    assert (theme.name, theme.major_fonts.latin, theme.minor_fonts.latin) == ("Office Theme", "Calibri", "Cambria")
    doc.save(str(tmp_path / "unchanged.docx"))
    assert part(tmp_path / "unchanged.docx", "word/theme/theme1.xml") == part(tmp_path / "themed.docx", "word/theme/theme1.xml")

    theme.minor_fonts.latin = "Georgia"
    theme.major_fonts.east_asian = "MS Mincho"
    clone = doc.clone()
    doc.save(str(tmp_path / "edited.docx"))
    xml = part(tmp_path / "edited.docx", "word/theme/theme1.xml")
    minor = xml[xml.index("<a:minorFont>"):xml.index("</a:minorFont>")]
    major = xml[xml.index("<a:majorFont>"):xml.index("</a:majorFont>")]
    assert 'latin typeface="Georgia"' in minor and 'ea typeface="MS Mincho"' in major and "<a:clrScheme" in xml
    reread = mv.Document(str(tmp_path / "edited.docx")).theme
    assert (reread.minor_fonts.latin, reread.major_fonts.east_asian, reread.major_fonts.latin) == ("Georgia", "MS Mincho", "Calibri")
    assert clone.theme.minor_fonts.latin == "Georgia" and clone.theme.name == "Office Theme"

    new = written(mv, "Body text")  # made here, without a theme part
    new.theme.major_fonts.latin = "Georgia"
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.NotSupportedException\): Document\.Theme's fonts cannot be saved"):
        new.save(str(tmp_path / "new.docx"))


def test_bibliography_style_lives_in_the_sources_part_and_is_written_there(mv, tmp_path):
    doc = written(mv, "Body text")
    assert doc.bibliography.bibliography_style is None
    doc.bibliography.bibliography_style = "\\APASixthEditionOfficeOnline.xsl"
    doc.save(str(tmp_path / "new.docx"))
    (item_id, xml), = custom_xml_of(tmp_path / "new.docx")
    assert 'SelectedStyle="\\APASixthEditionOfficeOnline.xsl"' in xml and "officeDocument/2006/bibliography" in xml

    bib = "http://schemas.openxmlformats.org/officeDocument/2006/bibliography"
    sources = (f'<b:Sources SelectedStyle="\\MLASeventhEditionOfficeOnline.xsl" xmlns:b="{bib}" xmlns="{bib}">'
               '<b:Source><b:Tag>Doe01</b:Tag><b:Title>A book</b:Title></b:Source></b:Sources>')
    base = written(mv, "Body text")
    base.custom_xml_parts.add("{33333333-3333-3333-3333-333333333333}", "<other/>")
    base.custom_xml_parts.add("{44444444-4444-4444-4444-444444444444}", sources)
    base.save(str(tmp_path / "sources.docx"))
    loaded = mv.Document(str(tmp_path / "sources.docx"))
    assert loaded.bibliography.bibliography_style == "\\MLASeventhEditionOfficeOnline.xsl"
    assert loaded.clone().bibliography.bibliography_style == "\\MLASeventhEditionOfficeOnline.xsl"
    loaded.bibliography.bibliography_style = "\\GB.XSL"
    loaded.save(str(tmp_path / "restyled.docx"))
    parts = dict(custom_xml_of(tmp_path / "restyled.docx"))
    assert parts["{33333333-3333-3333-3333-333333333333}"] == "<other/>"
    restyled = parts["{44444444-4444-4444-4444-444444444444}"]
    from lxml import etree
    root = etree.fromstring(restyled.encode())
    assert root.get("SelectedStyle") == "\\GB.XSL"
    assert root.findtext(f"{{{bib}}}Source/{{{bib}}}Tag") == "Doe01"  # the sources are kept
    assert mv.Document(str(tmp_path / "restyled.docx")).bibliography.bibliography_style == "\\GB.XSL"


RIBBON_REL = "http://schemas.microsoft.com/office/2006/relationships/ui/extensibility"
PAYLOAD_REL = "http://example.com/relationships/payload"


def with_package_parts(mv, tmp_path):
    """A package made here with two parts of its own added to the root relationships: a ribbon and a payload."""
    base = tmp_path / "base.docx"
    written(mv, "Body").save(str(base))
    out = tmp_path / "parts.docx"
    extra = {"customUI/customUI.xml": b"<customUI xmlns='http://schemas.microsoft.com/office/2006/01/customui'/>",
             "payload/data.bin": b"\x00\x01payload"}
    with zipfile.ZipFile(base) as source, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            data = source.read(item.filename).decode("latin-1")
            if item.filename == "_rels/.rels":
                data = data.replace("</Relationships>",
                                    f'<Relationship Id="rX1" Type="{RIBBON_REL}" Target="customUI/customUI.xml"/>'
                                    f'<Relationship Id="rX2" Type="{PAYLOAD_REL}" Target="/payload/data.bin"/></Relationships>')
            elif item.filename == "[Content_Types].xml":
                data = data.replace("</Types>", '<Override PartName="/customUI/customUI.xml" ContentType="application/xml"/>'
                                    '<Override PartName="/payload/data.bin" ContentType="application/x-payload"/></Types>')
            target.writestr(item.filename, data.encode("latin-1"))
        for name, data in extra.items():
            target.writestr(name, data)
    return out, extra


def package_rels(path):
    with zipfile.ZipFile(path) as package:
        rels = package.read("_rels/.rels").decode("utf-8")
        return {target.lstrip("/"): kind for kind, target in re.findall(r'Type="([^"]+)" Target="([^"]+)"', rels)}, set(package.namelist())


def test_package_custom_parts_are_listed_edited_and_written(mv, tmp_path):
    path, extra = with_package_parts(mv, tmp_path)
    doc = mv.Document(str(path))
    parts = doc.package_custom_parts.to_array()
    assert [(p.name, p.relationship_type, p.content_type, p.is_external) for p in parts] == [
        ("/customUI/customUI.xml", RIBBON_REL, "application/xml", False),
        ("/payload/data.bin", PAYLOAD_REL, "application/x-payload", False)]
    assert parts[1].data == extra["payload/data.bin"]
    clone = doc.clone()

    doc.package_custom_parts.remove_at(1)
    added = mv.markup.CustomPart()
    added.name, added.relationship_type, added.content_type = "/extra/info.xml", PAYLOAD_REL, "application/xml"
    added.data = b"<info/>"
    doc.package_custom_parts.add(added)
    external = mv.markup.CustomPart()
    external.name, external.relationship_type, external.is_external = "https://example.com/x", PAYLOAD_REL, True
    doc.package_custom_parts.add(external)
    doc.save(str(tmp_path / "edited.docx"))
    rels, names = package_rels(tmp_path / "edited.docx")
    assert rels["customUI/customUI.xml"] == RIBBON_REL and rels["extra/info.xml"] == PAYLOAD_REL
    assert rels["https://example.com/x"] == PAYLOAD_REL
    assert "payload/data.bin" not in rels and "payload/data.bin" not in names  # the part went with its relationship
    with zipfile.ZipFile(tmp_path / "edited.docx") as package:
        assert package.read("customUI/customUI.xml") == extra["customUI/customUI.xml"]
        assert package.read("extra/info.xml") == b"<info/>"
        assert 'PartName="/extra/info.xml" ContentType="application/xml"' in package.read("[Content_Types].xml").decode()
    reread = mv.Document(str(tmp_path / "edited.docx")).package_custom_parts.to_array()
    assert [(p.name, p.is_external) for p in reread] == [("/customUI/customUI.xml", False), ("/extra/info.xml", False),
                                                         ("https://example.com/x", True)]
    assert reread[0].data == extra["customUI/customUI.xml"]

    clone.save(str(tmp_path / "clone.docx"))  # untouched: both parts kept as read
    assert set(package_rels(tmp_path / "clone.docx")[0]) >= {"customUI/customUI.xml", "payload/data.bin"}
    clone.package_custom_parts.clear()
    clone.save(str(tmp_path / "cleared.docx"))
    rels, names = package_rels(tmp_path / "cleared.docx")
    assert not {"customUI/customUI.xml", "payload/data.bin"} & (set(rels) | names) and "word/document.xml" in names

    clashing = mv.markup.CustomPart()
    clashing.name, clashing.relationship_type, clashing.content_type = "/word/document.xml", PAYLOAD_REL, "application/xml"
    doc.package_custom_parts.add(clashing)
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.InvalidOperationException\): The package custom part '/word/document.xml'"):
        doc.save(str(tmp_path / "clash.docx"))
    assert not (tmp_path / "clash.docx").exists()
    with pytest.raises(RuntimeError, match=r"ArgumentOutOfRangeException"):
        doc.package_custom_parts.remove_at(9)
