"""Content read from a document's parts and markup, end to end: revisions as objects and groups,
the replacing callback property, and the macro project's modules and references; each from a
file, with its refusals, and saved and loaded unchanged."""
import struct
import zipfile

import pytest

from test_document_surface import REVISED, text_of, with_body_paragraph, with_parts, with_related_part

# --- revisions ------------------------------------------------------------------------------------

GROUPED = ('<w:ins w:id="1" w:author="Ann" w:date="2024-01-02T03:04:05Z"><w:r><w:t xml:space="preserve">one </w:t></w:r></w:ins>'
           '<w:ins w:id="2" w:author="Ann"><w:r><w:t xml:space="preserve">two </w:t></w:r></w:ins>'
           '<w:r><w:t xml:space="preserve">gap </w:t></w:r>'
           '<w:del w:id="3" w:author="Bob"><w:r><w:delText>three</w:delText></w:r></w:del>')


def test_revisions_read_from_a_file_are_objects(mv, tmp_path):
    import datetime
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, GROUPED)))
    revisions = doc.revisions
    listed = list(revisions)
    assert [type(r) for r in listed] == [mv.Revision] * 3 and revisions.count == 3
    assert [(r.author, r.revision_type) for r in listed] == [
        ("Ann", mv.RevisionType.INSERTION), ("Ann", mv.RevisionType.INSERTION), ("Bob", mv.RevisionType.DELETION)]
    assert revisions[0].date_time == datetime.datetime(2024, 1, 2, 3, 4, 5, tzinfo=datetime.timezone.utc)
    assert revisions[1].date_time == datetime.datetime(1, 1, 1)  # the file gives no date
    assert revisions[0].parent_node.get_text() == "one "
    for index in (3, -1, 2**40):
        with pytest.raises(IndexError):
            revisions[index]
    groups = revisions.groups
    assert [(g.author, g.revision_type, g.text) for g in groups] == [
        ("Ann", mv.RevisionType.INSERTION, "one two "), ("Bob", mv.RevisionType.DELETION, "three")]
    assert revisions[2].group.text == "three" and groups.count == 2


@pytest.mark.parametrize("index,accept,expected", [
    (0, True, "Keep added end"), (0, False, "Keep end"), (1, True, "Keep added end"), (1, False, "Keep added removed end")])
def test_one_revision_settled_is_saved_and_loaded_with_the_other_still_pending(mv, tmp_path, index, accept, expected):
    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, REVISED)))
    revision = doc.revisions[index]
    revision.accept() if accept else revision.reject()
    assert text_of(doc) == expected and doc.revisions.count == 1
    with pytest.raises(RuntimeError, match=r"InvalidOperationException\): The revision has already been accepted or rejected"):
        revision.reject()
    out = tmp_path / "settled.docx"
    doc.save(str(out))
    again = mv.Document(str(out))
    assert text_of(again) == expected and again.revisions.count == 1
    remaining = again.revisions[0].revision_type
    assert remaining == (mv.RevisionType.DELETION if index == 0 else mv.RevisionType.INSERTION)


def test_revisions_recorded_while_tracking_name_their_runs(mv):
    import datetime
    doc = mv.Document()
    when = datetime.datetime(2024, 5, 6, 7, 8, 9)
    doc.start_track_revisions("Ann", when)
    mv.DocumentBuilder(doc).write("new")
    doc.stop_track_revisions()
    (revision,) = list(doc.revisions)
    assert (revision.author, revision.date_time, revision.revision_type) == ("Ann", when, mv.RevisionType.INSERTION)
    assert revision.parent_node.as_run().text == "new"
    revision.reject()
    assert doc.revisions.count == 0 and text_of(doc) == ""


# --- the replacing callback -----------------------------------------------------------------------

def test_the_replacing_callback_property_takes_only_what_implements_it(mv):
    options = mv.replacing.FindReplaceOptions()
    assert options.replacing_callback is None
    options.replacing_callback = None
    for value, name in [(object(), "object"), (mv.WarningInfoCollection(), "WarningInfoCollection"), (len, "builtin_function_or_method")]:
        with pytest.raises(TypeError, match=rf"^can't build IReplacingCallback value from '{name}'$"):
            options.replacing_callback = value
    assert options.replacing_callback is None
    doc = mv.Document()
    mv.DocumentBuilder(doc).write("a cat and a cat")
    assert doc.range.replace("cat", "dog", options) == 2 and text_of(doc) == "a dog and a dog"


def test_args_members_are_bound(mv):
    args = mv.replacing.ReplacingArgs
    for member in ("match_text", "match_node", "match_offset", "replacement", "group_index", "group_name"):
        assert hasattr(args, member), member
    assert mv.replacing.ReplaceAction.STOP == 2


# --- the macro project ----------------------------------------------------------------------------

TOOLS_SOURCE = 'Attribute VB_Name = "Tools"\r\nSub Hello()\r\n    MsgBox "Hello"\r\nEnd Sub\r\n'
DOCUMENT_SOURCE = 'Attribute VB_Name = "ThisDocument"\r\n'


def compress(data):
    """The macro project's compressed container, literals only (enough for one short chunk)."""
    assert len(data) < 3500
    body = b"".join(b"\x00" + data[i:i + 8] for i in range(0, len(data), 8))
    return b"\x01" + struct.pack("<H", 0xB000 | (len(body) + 2 - 3)) + body


def record(ident, data):
    return struct.pack("<HI", ident, len(data)) + data


def vba_directory():
    registered = "*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE Automation".encode()
    records = [record(0x0001, struct.pack("<I", 1)), record(0x0003, struct.pack("<H", 1252)), record(0x0004, b"Macros"),
               struct.pack("<HIIH", 0x0009, 4, 1, 2),
               record(0x000D, struct.pack("<I", len(registered)) + registered + bytes(6)),
               record(0x000F, struct.pack("<H", 2))]
    for name, kind in ((b"ThisDocument", 0x0022), (b"Tools", 0x0021)):
        records += [record(0x0019, name), record(0x001A, name), record(0x0031, struct.pack("<I", 2)),
                    record(kind, b""), record(0x002B, b"")]
    return b"".join(records) + record(0x0010, b"")


def compound_file(streams):
    """A version 3 compound file with every stream in the small-stream area.

    streams: (storage or "", name, bytes), each under 4096 bytes."""
    end, free = 0xFFFFFFFE, 0xFFFFFFFF
    entries = [["Root Entry", 5, free, free, end, 0]]
    storages, mini, mini_fat = {}, bytearray(), []

    def link(parent, child):
        if entries[parent][3] == free:
            entries[parent][3] = child
            return
        at = entries[parent][3]
        while entries[at][2] != free:
            at = entries[at][2]
        entries[at][2] = child

    for storage, name, data in streams:
        parent = 0
        if storage:
            if storage not in storages:
                storages[storage] = len(entries)
                entries.append([storage, 1, free, free, 0, 0])
                link(0, storages[storage])
            parent = storages[storage]
        start, count = len(mini) // 64, (len(data) + 63) // 64
        mini_fat += [start + i + 1 for i in range(count - 1)] + [end]
        mini += data + bytes(count * 64 - len(data))
        entries.append([name, 2, free, free, start, len(data)])
        link(parent, len(entries) - 1)
    dir_sectors, mini_fat_sectors, mini_sectors = (len(entries) * 128 + 511) // 512, (len(mini_fat) * 4 + 511) // 512, (len(mini) + 511) // 512
    fat = [0xFFFFFFFD]
    chains = []
    for count in (dir_sectors, mini_fat_sectors, mini_sectors):
        chains.append(len(fat))
        fat += [len(fat) + i + 1 for i in range(count - 1)] + [end]
    assert len(fat) <= 128
    dir_start, mini_fat_start, mini_start = chains
    entries[0][4], entries[0][5] = mini_start, len(mini)
    header = bytearray(512)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIII", header, 0x2C, 1, dir_start, 0, 4096, mini_fat_start, mini_fat_sectors, end, 0)
    struct.pack_into("<109I", header, 0x4C, 0, *([free] * 108))
    directory = bytearray()
    for name, kind, right, child, start, size in entries:
        encoded = name.encode("utf-16-le")
        entry = bytearray(128)
        entry[:len(encoded)] = encoded
        struct.pack_into("<HBBIII", entry, 0x40, len(encoded) + 2, kind, 1, free, right, child)
        struct.pack_into("<II", entry, 0x74, start, size)
        directory += entry
    directory += bytes(dir_sectors * 512 - len(directory))
    table = b"".join(struct.pack("<I", v) for v in fat + [free] * (128 - len(fat)))
    mini_table = b"".join(struct.pack("<I", v) for v in mini_fat + [free] * (mini_fat_sectors * 128 - len(mini_fat)))
    return bytes(header) + table + directory + mini_table + bytes(mini) + bytes(mini_sectors * 512 - len(mini))


def vba_project_bin():
    project = b'ID="{00000000-0000-0000-0000-000000000000}"\r\nDocument=ThisDocument/&H00000000\r\nModule=Tools\r\n'
    return compound_file([
        ("", "PROJECT", project),
        ("VBA", "dir", compress(vba_directory())),
        ("VBA", "_VBA_PROJECT", bytes([0xCC, 0x61, 0xFF, 0xFF, 0, 0, 0])),
        ("VBA", "ThisDocument", b"\x00\x00" + compress(DOCUMENT_SOURCE.encode())),
        ("VBA", "Tools", b"\x00\x00" + compress(TOOLS_SOURCE.encode())),
    ])


def with_macros(mv, tmp_path, data):
    return with_related_part(mv, tmp_path, "vbaProject.bin", "application/vnd.ms-office.vbaProject",
                             "http://schemas.microsoft.com/office/2006/relationships/vbaProject", data)


def test_the_macro_project_shows_its_modules_and_references(mv, tmp_path):
    doc = mv.Document(str(with_macros(mv, tmp_path, vba_project_bin())))
    project = doc.vba_project
    assert (project.name, project.code_page) == ("Macros", 1252)
    modules = project.modules
    assert [(m.name, m.type, m.source_code) for m in modules] == [
        ("ThisDocument", mv.vba.VbaModuleType.DOCUMENT_MODULE, DOCUMENT_SOURCE),
        ("Tools", mv.vba.VbaModuleType.PROCEDURAL_MODULE, TOOLS_SOURCE)]
    assert modules.count == 2 and modules[1].name == "Tools" and modules.get_by_name("tools").name == "Tools"
    assert modules.get_by_name("missing") is None
    (reference,) = list(project.references)
    assert reference.type == mv.vba.VbaReferenceType.REGISTERED and reference.lib_id.startswith("*\\G{00020430")


def test_the_macro_project_refuses_changes_and_is_saved_back_byte_for_byte(mv, tmp_path):
    data = vba_project_bin()
    doc = mv.Document(str(with_macros(mv, tmp_path, data)))
    project = doc.vba_project
    refusals = [lambda: setattr(project, "name", "Other"), lambda: project.modules.add(mv.vba.VbaModule()),
                lambda: setattr(project.modules[0], "source_code", ""), lambda: project.references.remove_at(0)]
    for refused in refusals:
        with pytest.raises(RuntimeError, match=r"NotSupportedException\): \w+\.\w+ cannot change a macro project read from a document"):
            refused()
    assert project.modules.count == 2 and project.name == "Macros"
    out = tmp_path / "kept.docm"
    doc.save(str(out))
    with zipfile.ZipFile(out) as package:
        assert package.read("word/vbaProject.bin") == data
    again = mv.Document(str(out))
    assert [m.source_code for m in again.vba_project.modules] == [DOCUMENT_SOURCE, TOOLS_SOURCE]


@pytest.mark.parametrize("damage", ["truncated", "looping directory", "bad chunk"])
def test_a_damaged_macro_project_is_a_clear_error(mv, tmp_path, damage):
    data = bytearray(vba_project_bin())
    if damage == "truncated":
        data = data[:700]
    elif damage == "looping directory":
        struct.pack_into("<I", data, 512 + 4, 1)
    else:
        data = bytearray(compound_file([("VBA", "dir", b"\x01\xff\xbf\x01\x80\x00")]))
    doc = mv.Document(str(with_macros(mv, tmp_path, bytes(data))))
    with pytest.raises(RuntimeError, match=r"InvalidDataException\): The macro project"):
        doc.vba_project
    assert doc.has_macros and text_of(doc) == "Body text"


# --- web extensions -------------------------------------------------------------------------------

TASK_PANES = ('<wetp:taskpanes xmlns:wetp="http://schemas.microsoft.com/office/webextensions/taskpanes/2010/11" '
              'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
              '<wetp:taskpane dockstate="left" visibility="1" width="350" row="4" locked="1">'
              '<wetp:webextensionref r:id="rIdAdded0"/></wetp:taskpane></wetp:taskpanes>')
WEB_EXTENSION = ('<we:webextension xmlns:we="http://schemas.microsoft.com/office/webextensions/webextension/2010/11" '
                 'id="{52811C31-4593-43B8-A697-EB873422D156}" frozen="1">'
                 '<we:reference id="wa104380862" version="1.5.0.0" store="en-US" storeType="OMEX"/>'
                 '<we:alternateReferences><we:reference id="wa2" version="1.0" store="share" storeType="FileSystem"/></we:alternateReferences>'
                 '<we:properties><we:property name="theme" value="dark"/></we:properties>'
                 '<we:bindings><we:binding id="b1" type="table" appref="{0}"/></we:bindings></we:webextension>')


def with_task_panes(mv, tmp_path):
    return with_parts(mv, tmp_path, "web-extension", [
        ("word/webextensions/taskpanes.xml", "application/vnd.ms-office.webextensiontaskpanes+xml", TASK_PANES,
         "_rels/.rels", "http://schemas.microsoft.com/office/2011/relationships/webextensiontaskpanes",
         "word/webextensions/taskpanes.xml"),
        ("word/webextensions/webextension1.xml", "application/vnd.ms-office.webextension+xml", WEB_EXTENSION,
         "word/webextensions/_rels/taskpanes.xml.rels", "http://schemas.microsoft.com/office/2011/relationships/webextension",
         "webextension1.xml"),
    ])


def described(mv, doc):
    WX = mv.webextensions
    (pane,) = list(doc.web_extension_task_panes)
    extension = pane.web_extension
    assert (pane.dock_state, pane.is_visible, pane.is_locked, pane.width, pane.row) == (WX.TaskPaneDockState.LEFT, True, True, 350.0, 4)
    assert (extension.id, extension.is_frozen) == ("{52811C31-4593-43B8-A697-EB873422D156}", True)
    reference = extension.reference
    assert (reference.id, reference.version, reference.store, reference.store_type) == ("wa104380862", "1.5.0.0", "en-US", WX.WebExtensionStoreType.OMEX)
    assert [(r.id, r.store_type) for r in extension.alternate_references] == [("wa2", WX.WebExtensionStoreType.FILE_SYSTEM)]
    assert [(p.name, p.value) for p in extension.properties] == [("theme", "dark")]
    assert [(b.id, b.app_ref, b.binding_type) for b in extension.bindings] == [("b1", "{0}", WX.WebExtensionBindingType.TABLE)]
    return pane


def test_web_extension_task_panes_are_read_kept_and_refuse_changes(mv, tmp_path):
    doc = mv.Document(str(with_task_panes(mv, tmp_path)))
    pane = described(mv, doc)
    refusals = [lambda: setattr(pane, "width", 10.0), lambda: pane.web_extension.properties.clear(),
                lambda: pane.web_extension.properties.__setitem__(0, mv.webextensions.WebExtensionProperty()),
                lambda: doc.web_extension_task_panes.add(mv.webextensions.TaskPane())]
    for refused in refusals:
        with pytest.raises(RuntimeError, match=r"NotSupportedException\): \w+\.\w+ cannot change web extension content read from a document"):
            refused()
    out = tmp_path / "panes.docx"
    doc.save(str(out))
    described(mv, mv.Document(str(out)))
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): TaskPaneCollection\.Add"):
        mv.Document().web_extension_task_panes.add(mv.webextensions.TaskPane())


# --- framesets ------------------------------------------------------------------------------------

FRAMES = ('<w:webSettings xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
          'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><w:frameset>'
          '<w:frame><w:name w:val="top"/><w:sourceFileName r:id="rIdAdded0"/><w:linkedToFile/></w:frame>'
          '<w:frameset><w:frame><w:name w:val="empty"/></w:frame></w:frameset></w:frameset></w:webSettings>')


def test_a_frames_page_lists_its_frames_and_keeps_them(mv, tmp_path):
    path = with_parts(mv, tmp_path, "frames", [
        ("word/webSettings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml", FRAMES,
         "word/_rels/document.xml.rels", "http://schemas.openxmlformats.org/officeDocument/2006/relationships/webSettings",
         "webSettings.xml"),
    ])
    # The frame's page is an external relationship of the web settings part.
    with zipfile.ZipFile(path, "a") as package:
        package.writestr("word/_rels/webSettings.xml.rels",
                         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                         '<Relationship Id="rIdAdded0" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/frame" '
                         'Target="pages/top.docx" TargetMode="External"/></Relationships>')

    def frames(doc):
        root = doc.frameset
        top, inner = list(root.child_framesets)
        return (root.frame_default_url, top.frame_default_url, top.is_frame_link_to_file,
                [(f.frame_default_url, f.is_frame_link_to_file) for f in inner.child_framesets])

    expected = (None, "pages/top.docx", True, [(None, False)])
    doc = mv.Document(str(path))
    assert frames(doc) == expected
    out = tmp_path / "frames-kept.docx"
    doc.save(str(out))
    assert frames(mv.Document(str(out))) == expected
    assert mv.Document().frameset is None


# --- charts ---------------------------------------------------------------------------------------

C = "http://schemas.openxmlformats.org/drawingml/2006/chart"
CHART_RUN = ('<w:r><w:drawing><wp:inline xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing">'
             '<wp:extent cx="5486400" cy="3200400"/><wp:docPr id="1" name="Chart 1"/>'
             '<a:graphic xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">'
             f'<a:graphicData uri="{C}"><c:chart xmlns:c="{C}" '
             'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" r:id="rIdAdded0"/>'
             '</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>')
CHART = (f'<c:chartSpace xmlns:c="{C}"><c:chart><c:plotArea><c:layout/><c:pieChart>'
         '<c:ser><c:idx val="0"/><c:order val="0"/><c:tx><c:v>Share</c:v></c:tx>'
         '<c:cat><c:strLit><c:ptCount val="2"/><c:pt idx="0"><c:v>North</c:v></c:pt><c:pt idx="1"><c:v>South</c:v></c:pt></c:strLit></c:cat>'
         '<c:val><c:numLit><c:ptCount val="2"/><c:pt idx="0"><c:v>60</c:v></c:pt><c:pt idx="1"><c:v>40</c:v></c:pt></c:numLit></c:val>'
         '</c:ser></c:pieChart></c:plotArea></c:chart></c:chartSpace>')


def test_a_chart_shows_its_series_is_kept_and_refuses_changes(mv, tmp_path):
    import re
    base = with_body_paragraph(mv, tmp_path, CHART_RUN, name="chart-base.docx")
    path = tmp_path / "chart.docx"
    with zipfile.ZipFile(base) as source, zipfile.ZipFile(path, "w") as target:
        for item in source.infolist():
            content = source.read(item.filename)
            if item.filename == "[Content_Types].xml":
                content = content.replace(b"</Types>", b'<Override PartName="/word/charts/chart1.xml" '
                                          b'ContentType="application/vnd.openxmlformats-officedocument.drawingml.chart+xml"/></Types>')
            elif item.filename == "word/_rels/document.xml.rels":
                content = re.sub(rb"</Relationships>", b'<Relationship Id="rIdAdded0" Type="http://schemas.openxmlformats.org/'
                                 b'officeDocument/2006/relationships/chart" Target="charts/chart1.xml"/></Relationships>', content)
            target.writestr(item, content)
        target.writestr("word/charts/chart1.xml", CHART)

    def chart_of(doc):
        shape = doc.get_child_nodes(mv.NodeType.SHAPE, True)[0].as_shape()
        assert shape.has_chart
        return shape.chart

    def described(chart):
        charts = mv.drawing.charts
        (series,) = list(chart.series)
        return (chart.type == charts.ChartType.PIE, series.name, series.series_type == charts.ChartSeriesType.PIE,
                [x.string_value for x in series.x_values], [y.double_value for y in series.y_values])

    expected = (True, "Share", True, ["North", "South"], [60.0, 40.0])
    doc = mv.Document(str(path))
    chart = chart_of(doc)
    assert described(chart) == expected
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): ChartSeries\.Name cannot change a chart read from a document"):
        chart.series[0].name = "Other"
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): ChartYValueCollection\.Clear cannot change"):
        chart.series[0].y_values.clear()
    out = tmp_path / "chart-kept.docx"
    doc.save(str(out))
    assert described(chart_of(mv.Document(str(out)))) == expected


# --- shape adjustments ----------------------------------------------------------------------------

ROUNDED = ('<w:r><w:drawing><wp:inline xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing">'
           '<wp:extent cx="914400" cy="457200"/><wp:docPr id="2" name="Shape 2"/>'
           '<a:graphic xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">'
           '<a:graphicData uri="http://schemas.microsoft.com/office/word/2010/wordprocessingShape">'
           '<wps:wsp xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape"><wps:spPr>'
           '<a:prstGeom prst="roundRect"><a:avLst><a:gd name="adj" fmla="val 16667"/></a:avLst></a:prstGeom></wps:spPr>'
           '<wps:bodyPr/></wps:wsp></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>')


def test_shape_adjustments_are_read_walked_by_index_and_kept(mv, tmp_path):
    def adjustments(doc):
        shape = doc.get_child_nodes(mv.NodeType.SHAPE, True)[0].as_shape()
        assert not shape.has_chart and shape.chart is None
        # No iteration slot: the interpreter walks the item slot up to the IndexError.
        return [(a.name, a.value) for a in shape.adjustments]

    doc = mv.Document(str(with_body_paragraph(mv, tmp_path, ROUNDED)))
    assert adjustments(doc) == [("adj", 16667)]
    out = tmp_path / "rounded.docx"
    doc.save(str(out))
    assert adjustments(mv.Document(str(out))) == [("adj", 16667)]


# --- ownership ------------------------------------------------------------------------------------

def test_reading_the_new_content_over_and_over_leaks_no_handle(mv, tmp_path, handles):
    revised = mv.Document(str(with_body_paragraph(mv, tmp_path, GROUPED)))
    macros = mv.Document(str(with_macros(mv, tmp_path, vba_project_bin())))
    panes = mv.Document(str(with_task_panes(mv, tmp_path)))
    baseline = handles.live()
    for _ in range(2_000):
        assert len(list(revised.revisions)) == 3 and revised.revisions.groups[1].text == "three"
        assert [m.name for m in macros.vba_project.modules] == ["ThisDocument", "Tools"]
        assert panes.web_extension_task_panes[0].web_extension.properties[0].value == "dark"
    assert handles.live() == baseline
