"""The library's collection classes as Python sequences: every one of the 62 against the
stated lists (item slot, assignment slot, iteration slot, element type, keyed methods and
named properties), subscripts, assignment and iteration on real collections, documents
built, saved and loaded back and compared through their collections, and ownership under
many mixed operations."""
import gc
import sys

import pytest

COLLECTIONS = """
BookmarkCollection BorderCollection CommentCollection ConditionalStyleCollection HeaderFooterCollection
NodeCollection NodeList ParagraphCollection RevisionCollection RevisionGroupCollection RunCollection
SectionCollection StyleCollection TabStopCollection TextColumnCollection VariableCollection WarningInfoCollection
bibliography.PersonCollection buildingblocks.BuildingBlockCollection digitalsignatures.DigitalSignatureCollection
drawing.AdjustmentCollection drawing.GradientStopCollection drawing.charts.BubbleSizeCollection
drawing.charts.ChartAxisCollection drawing.charts.ChartDataLabelCollection drawing.charts.ChartDataPointCollection
drawing.charts.ChartLegendEntryCollection drawing.charts.ChartSeriesCollection drawing.charts.ChartSeriesGroupCollection
drawing.charts.ChartXValueCollection drawing.charts.ChartYValueCollection drawing.ole.Forms2OleControlCollection
fields.DropDownItemCollection fields.FieldCollection fields.FormFieldCollection fields.GeneralFormatCollection
fields.ToaCategories fonts.FontInfoCollection framesets.FramesetCollection lists.ListCollection
lists.ListLevelCollection markup.CustomPartCollection markup.CustomXmlPartCollection
markup.CustomXmlPropertyCollection markup.CustomXmlSchemaCollection markup.SdtListItemCollection
markup.StructuredDocumentTagCollection properties.BuiltInDocumentProperties properties.CustomDocumentProperties
properties.DocumentPropertyCollection saving.BookmarksOutlineLevelCollection settings.OdsoFieldMapDataCollection
settings.OdsoRecipientDataCollection tables.CellCollection tables.RowCollection tables.TableCollection
vba.VbaModuleCollection vba.VbaReferenceCollection webextensions.TaskPaneCollection
webextensions.WebExtensionBindingCollection webextensions.WebExtensionPropertyCollection
webextensions.WebExtensionReferenceCollection
""".split()

SETTABLE = set("""
VariableCollection bibliography.PersonCollection drawing.GradientStopCollection drawing.charts.BubbleSizeCollection
drawing.charts.ChartXValueCollection drawing.charts.ChartYValueCollection fields.DropDownItemCollection
fields.ToaCategories lists.ListLevelCollection markup.CustomPartCollection markup.CustomXmlPartCollection
markup.CustomXmlSchemaCollection saving.BookmarksOutlineLevelCollection settings.OdsoFieldMapDataCollection
settings.OdsoRecipientDataCollection webextensions.TaskPaneCollection webextensions.WebExtensionBindingCollection
webextensions.WebExtensionPropertyCollection webextensions.WebExtensionReferenceCollection
""".split())

NOT_ITERABLE = {"TabStopCollection", "TextColumnCollection", "drawing.AdjustmentCollection", "fields.ToaCategories"}
UNTYPED_ITERATION = {"VariableCollection", "saving.BookmarksOutlineLevelCollection"}
NODE_COLLECTIONS = {"NodeCollection", "ParagraphCollection", "RunCollection", "SectionCollection", "tables.RowCollection",
                    "tables.CellCollection", "tables.TableCollection", "HeaderFooterCollection", "CommentCollection",
                    "buildingblocks.BuildingBlockCollection", "NodeList"}

# Elements other than the class the collection's name gives.
ELEMENTS = {
    "VariableCollection": "str", "fields.DropDownItemCollection": "str", "markup.CustomXmlSchemaCollection": "str",
    "fields.ToaCategories": "str", "drawing.charts.BubbleSizeCollection": "float",
    "saving.BookmarksOutlineLevelCollection": "int", "fields.GeneralFormatCollection": "fields.GeneralFormat",
    "markup.StructuredDocumentTagCollection": "markup.IStructuredDocumentTag",
    "NodeCollection": "Node", "NodeList": "Node", "properties.BuiltInDocumentProperties": "properties.DocumentProperty",
    "properties.CustomDocumentProperties": "properties.DocumentProperty",
    "properties.DocumentPropertyCollection": "properties.DocumentProperty",
    "drawing.charts.ChartSeriesCollection": "drawing.charts.ChartSeries",
}

KEYED = {
    "get_by_name": ["BookmarkCollection", "StyleCollection", "VariableCollection", "fields.FormFieldCollection",
                    "fonts.FontInfoCollection", "markup.CustomXmlPropertyCollection",
                    "properties.DocumentPropertyCollection", "saving.BookmarksOutlineLevelCollection",
                    "vba.VbaModuleCollection"],
    "get_by_border_type": ["BorderCollection"],
    "get_by_header_footer_type": ["HeaderFooterCollection"],
    "get_by_style_identifier": ["StyleCollection"],
    "get_by_id": ["markup.StructuredDocumentTagCollection", "markup.CustomXmlPartCollection"],
    "get_by_title": ["markup.StructuredDocumentTagCollection"],
    "get_by_tag": ["markup.StructuredDocumentTagCollection"],
    "get_list_by_list_id": ["lists.ListCollection"],
    "index_of_key": ["VariableCollection", "markup.CustomXmlPropertyCollection", "saving.BookmarksOutlineLevelCollection"],
}
NAMED = {
    "ConditionalStyleCollection": "first_row last_row first_column last_column odd_row_banding even_row_banding "
                                  "odd_column_banding even_column_banding top_left_cell top_right_cell "
                                  "bottom_left_cell bottom_right_cell",
    "HeaderFooterCollection": "header_primary header_first header_even footer_primary footer_first footer_even",
    "BorderCollection": "left right top bottom horizontal vertical",
}

STUB = None


def resolve(mv, dotted):
    target = mv
    for part in dotted.split("."):
        target = getattr(target, part)
    return target


def stub_text():
    import morvax.velto
    import pathlib
    root = pathlib.Path(morvax.velto.__file__).parent / "velto"
    return {p.relative_to(root).with_suffix("").as_posix().replace("/", ".").replace(".__init__", ""):
            p.read_text() for p in root.rglob("*.pyi")}


def stub_class(stubs, dotted):
    module, _, name = dotted.rpartition(".")
    text = stubs[module or "__init__"]
    start = text.index(f"\nclass {name}")
    end = text.find("\nclass ", start + 1)
    return text[start:end if end > 0 else None]


@pytest.mark.parametrize("name", COLLECTIONS)
def test_each_collection_has_the_stated_slots_and_members(mv, name):
    cls = resolve(mv, name)
    sequence = cls.__dict__.get("__getitem__") or getattr(cls, "__getitem__", None)
    assert sequence is not None, "item slot"
    assert hasattr(cls, "__setitem__") == (name in SETTABLE)
    assert hasattr(cls, "__delitem__") == (name in SETTABLE)
    assert hasattr(cls, "__iter__") == (name not in NOT_ITERABLE)
    for absent in ("__len__", "__contains__", "__add__", "__mul__"):
        assert not hasattr(cls, absent), absent
    assert hasattr(cls, "count") == (name != "fields.ToaCategories")  # a fixed sixteen, no Count in .NET
    for method, owners in KEYED.items():
        if name in owners:
            assert callable(getattr(cls, method)), method
    for prop in NAMED.get(name, "").split():
        assert hasattr(cls, prop), prop


@pytest.mark.parametrize("name", COLLECTIONS)
def test_stubs_show_the_element_types(mv, name):
    global STUB
    STUB = STUB or stub_text()
    if name.endswith(("BuiltInDocumentProperties", "CustomDocumentProperties")):
        name = "properties.DocumentPropertyCollection"  # the slots are inherited
    body = stub_class(STUB, name)
    simple = name.rpartition(".")[2].replace("Collection", "")
    element = ELEMENTS.get(name, simple).rpartition(".")[2]
    getitem = [line for line in body.splitlines() if "def __getitem__" in line]
    assert len(getitem) == 1 and element in getitem[0], getitem
    assert ("def __setitem__" in body) == (name in SETTABLE)
    iterate = [line for line in body.splitlines() if "def __iter__" in line]
    if name in NOT_ITERABLE:
        assert not iterate
    elif name in UNTYPED_ITERATION:
        assert "Iterator[object]" in iterate[0]
    elif name in NODE_COLLECTIONS:
        assert "Iterator[Node]" in iterate[0] or "Iterator[morvax.velto.Node]" in iterate[0]


@pytest.fixture
def doc(mv):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for text in ("one", "two", "three"):
        builder.writeln(text)
    return doc


def test_subscripts_reach_the_indexer(mv, doc):
    paragraphs = doc.first_section.body.paragraphs
    count = paragraphs.count
    assert type(paragraphs[0]) is mv.Paragraph and paragraphs[0].get_text().startswith("one")
    # A negative index reaches .NET unchanged; the node collections count it from the end.
    assert paragraphs[-1] == paragraphs[count - 1]
    with pytest.raises(IndexError, match="^list index out of range$"):
        paragraphs[count]
    with pytest.raises(IndexError, match="^list index out of range$"):
        paragraphs[2 ** 40]
    with pytest.raises(TypeError):
        paragraphs["one"]
    with pytest.raises(TypeError):
        len(paragraphs)
    with pytest.raises(TypeError):
        paragraphs[0] = paragraphs[1]
    # Membership is answered by iteration.
    assert paragraphs[1] in paragraphs
    # Iteration yields the enumerable's element class (Node), a subscript the specific class.
    assert type(doc.sections[0]) is mv.Section
    walked = list(doc.sections)
    assert len(walked) == 1 and type(walked[0]) is mv.Node and walked[0] == doc.sections[0]
    nodes = list(paragraphs)
    assert {type(p) for p in nodes} == {mv.Node} and len(nodes) == count
    assert [p.as_paragraph().get_text() for p in nodes] == [paragraphs[i].get_text() for i in range(count)]
    assert type(mv.Paragraph._cast_to(nodes[0])) is mv.Paragraph and nodes[0] == paragraphs[0]


def test_keyed_access_is_a_method(mv, doc):
    styles = doc.styles
    assert styles.get_by_name("Normal").name == "Normal"
    assert styles.get_by_name("no such style") is None
    assert styles.get_by_style_identifier(mv.StyleIdentifier.NORMAL).name == "Normal"
    with pytest.raises(TypeError):
        styles["Normal"]
    bookmarks = mv.testing.CollectionProbe.bookmarks(doc)
    assert bookmarks.count == 0 and bookmarks.get_by_name("x") is None
    with pytest.raises(IndexError, match="list index out of range"):
        bookmarks[bookmarks.count]
    with pytest.raises(IndexError):
        bookmarks[-1]


def test_variables_assignment_and_deletion(mv, doc):
    variables = doc.variables
    variables.add("b", "2")
    variables.add("a", "1")
    assert [variables[0], variables[1]] == ["1", "2"]  # kept in order of name
    assert variables.get_by_name("B") == "2" and variables.index_of_key("b") == 1
    variables[0] = "new value"
    assert variables[0] == "new value" and variables.get_by_name("a") == "new value"
    with pytest.raises(TypeError, match="^can't build String from 'int'$"):
        variables[0] = 3
    with pytest.raises(ValueError, match="^elements removing not supported$"):
        del variables[0]
    with pytest.raises(IndexError, match="^list index out of range$"):
        variables[2] = "x"
    assert variables.count == 2 and variables[0] == "new value"
    # Keyed collections iterate their key/value pairs as tuples.
    assert list(variables) == [("a", "new value"), ("b", "2")] and ("b", "2") in variables
    levels = mv.saving.BookmarksOutlineLevelCollection()
    levels.add("h", 2)
    assert list(levels) == [("h", 2)]


def test_typed_assignment_refuses_the_wrong_class(mv):
    people = mv.bibliography.PersonCollection()
    first, second = mv.bibliography.Person(), mv.bibliography.Person()
    first.last, second.last = "Ada", "Grace"
    people.add(first)
    people[0] = second
    assert people[0].last == "Grace"
    with pytest.raises(TypeError, match="can't build Person value from"):
        people[0] = mv.Document()
    assert people[0].last == "Grace" and people.count == 1
    assert [p.last for p in people] == ["Grace"]
    sizes = mv.fields.ToaCategories()
    sizes[7] = "Cases of note"
    assert sizes[7] == "Cases of note"


def test_collections_without_iteration_walk_the_item_slot(mv):
    categories = mv.fields.ToaCategories()
    walked = list(categories)
    assert walked[:3] == ["Cases", "Statutes", "Other Authorities"] and len(walked) == 16
    assert "Rules" in categories


def test_element_kinds_convert_as_results(mv, doc):
    built_in = doc.built_in_document_properties
    built_in.title = "Minutes"
    first = built_in[0]
    assert type(first) is mv.properties.DocumentProperty and first.name == "Title" and first.value == "Minutes"
    first.value = "Agenda"
    assert built_in.title == "Agenda"
    assert [p.name for p in built_in][:3] == ["Title", "Subject", "Author"]
    styles = list(doc.styles)
    assert all(type(s) is mv.Style or isinstance(s, mv.Style) for s in styles)


def test_document_round_trip_through_collections(mv, tmp_path):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for text in ("Alpha", "Beta", "Gamma"):
        builder.writeln(text)
    doc.built_in_document_properties.title = "Round trip"
    doc.custom_document_properties.add("Client", "Acme")
    doc.variables.add("Total", "42")
    doc.variables.add("Approver", "R. Doe & Co <legal>")
    path = tmp_path / "collections.docx"
    doc.save(str(path))
    again = mv.Document(str(path))

    def texts(d):
        return [p.get_text().strip() for p in d.first_section.body.paragraphs]

    assert texts(again) == texts(doc)
    assert again.sections.count == doc.sections.count == 1
    assert [s.name for s in again.styles] and again.styles.get_by_name("Normal") is not None
    assert again.built_in_document_properties.get_by_name("Title").value == "Round trip"
    custom = again.custom_document_properties
    assert custom.count == 1 and custom[0].name == "Client" and custom[0].value == "Acme"
    assert [p.name for p in custom] == ["Client"]
    variables = again.variables
    assert [variables[i] for i in range(variables.count)] == ["R. Doe & Co <legal>", "42"]
    assert variables.get_by_name("total") == "42"
    # A changed value is written back; an unchanged document keeps the part's list.
    variables[1] = "43"
    again.save(str(path))
    assert mv.Document(str(path)).variables.get_by_name("Total") == "43"


def test_ownership_over_mixed_operations(mv, doc, handles):
    paragraphs = doc.first_section.body.paragraphs
    variables = doc.variables
    variables.add("v", "value")
    value = "".join(["te", "xt"])  # a string of its own: an interned one is shared with other code
    for _ in range(100):  # warm-up: caches and tables bound
        paragraphs[0], list(paragraphs), variables[0]
    before_refs = sys.getrefcount(value), sys.getrefcount(paragraphs), sys.getrefcount(variables)
    before = handles.live()
    for i in range(100_000):
        step = i % 5
        if step == 0:
            paragraphs[i % 3]
        elif step == 1:
            for paragraph in paragraphs:
                del paragraph
        elif step == 2:
            variables[0] = value
            list(variables)
        elif step == 3:
            try:
                paragraphs[99]
            except IndexError:
                pass
        else:
            try:
                variables[0] = 1
            except TypeError:
                pass
    gc.collect()
    assert handles.live() == before
    assert (sys.getrefcount(value), sys.getrefcount(paragraphs), sys.getrefcount(variables)) == before_refs


def bookmarked(mv, name, before, *inside):
    """A document whose first paragraph starts with the text before, then the bookmark around
    the inside texts, each its own run (a text ending in a newline ends its paragraph)."""
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.write(before)
    builder.start_bookmark(name)
    for text in inside:
        builder.write(text)
    builder.end_bookmark(name)
    return doc, builder


def test_range_collections_follow_edits_and_survive_a_save(mv, tmp_path):
    doc, builder = bookmarked(mv, "total", "Total: ", "0", " EUR")
    builder.writeln()
    builder.write("Dear ")
    builder.insert_field("MERGEFIELD Name")
    bookmarks = doc.range.bookmarks
    assert bookmarks.count == 1 and bookmarks[0].name == "total" and bookmarks[0].text == "0 EUR"
    with pytest.raises(TypeError):
        bookmarks["total"]
    bookmarks.get_by_name("total").text = "42"
    assert bookmarks.get_by_name("total").text == "42"
    assert [f.get_field_code() for f in doc.range.fields] == ["MERGEFIELD Name"]

    out = tmp_path / "ranges.docx"
    doc.save(str(out))
    again = mv.Document(str(out))
    assert again.range.bookmarks.get_by_name("total").text == "42"
    assert again.first_section.body.first_paragraph.get_text() == "Total: 42\r"
    fields = again.range.fields
    assert fields.count == 1
    fields.remove_at(0)
    assert fields.count == 0 and again.range.text.startswith("Total: 42\rDear ")


def test_bookmark_text_refuses_what_it_cannot_replace_in_place(mv):
    doc, _ = bookmarked(mv, "span", "", "one\n", "two")
    span = doc.range.bookmarks.get_by_name("span")
    assert span.text == "one\rtwo"
    with pytest.raises(RuntimeError, match=r"NotSupportedException\): Bookmark\.Text can only be set"):
        span.text = "x"
    assert span.text == "one\rtwo"
