"""Walking .NET arrays and what typed containers take and give: an array is walked by index,
one crossing per item, which must stay indistinguishable from .NET's own enumerator (items
read when reached, so changes made inside the loop are seen; the end stays the end; each item
wrapped as the array's element class (untyped: as its own class), None as None; every handle
released), typed or not; Type items of
array arguments are checked by their converter before the call; mail-merge regions list the
"{{...}}" tags of their own text."""
import pytest


@pytest.fixture()
def generic(mv):
    return mv._wrpgen._generic


@pytest.fixture()
def probe(mv):
    return mv.testing.GenericProbe()


def as_untyped(mv, array):
    return mv._wrpgen._interop._ArrayWrapper._cast_as(array)


def test_a_walk_reads_each_item_when_it_is_reached(mv, generic, probe, handles):
    before = handles.live()
    for view in (lambda a: a, lambda a: as_untyped(mv, a)):
        paras = view(probe.many_paragraphs(4))
        replacement = probe.many_paragraphs(1)[0]
        seen = []
        it = iter(paras)
        for index, item in enumerate(it):
            seen.append(item)
            if index == 0:
                paras[1] = replacement   # ahead of the walk: seen when reached
                paras[0] = None          # behind it: changes nothing already given
            if index == 1:
                paras[2] = None
        assert len(seen) == 4 and seen[1] == replacement and seen[2] is None
        assert all(type(s) is mv.Paragraph for s in (seen[0], seen[1], seen[3]))
        for _ in range(2):  # the end stays the end
            with pytest.raises(StopIteration):
                next(it)
        del seen, item, it, paras, replacement
    assert handles.live() == before


def test_walks_of_typed_and_untyped_arrays_give_the_same_items(mv, generic, handles):
    """Node[] holds items of many classes, Paragraph[] one sealed class, object[] values of
    every kind: the typed walk, the untyped walk and indexing give the same objects; the typed
    array gives each as its element's class (Node), the untyped one as its own class, and
    walking alternately keeps each walk's classes apart."""
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.write("a")
    builder.insert_field("PAGE")
    builder.writeln("b")
    builder.start_table()
    builder.insert_cell()
    builder.write("c")
    builder.end_row()
    builder.end_table()
    before = handles.live()
    for _ in range(2):
        nodes = doc.get_child_nodes(mv.NodeType.ANY, True).to_array()
        paras = doc.first_section.body.paragraphs.to_array()
        assert type(nodes) is generic._ArrayWrapper_835DB32F and type(paras) is generic._ArrayWrapper_7598A062
        by_index = [nodes[i] for i in range(len(nodes))]
        assert list(nodes) == by_index == list(as_untyped(mv, nodes))
        assert {type(n) for n in nodes} == {type(n) for n in by_index} == {mv.Node}
        own = [type(n) for n in as_untyped(mv, nodes)]
        assert len(set(own)) >= 6
        mixed = []
        for node, para, walked in zip(nodes, paras, as_untyped(mv, nodes)):
            mixed += [type(node), type(para), type(walked)]
        assert mixed[::3] == [mv.Node] * len(mixed[::3]) and mixed[1::3] == [mv.Paragraph] * len(mixed[1::3])
        assert mixed[2::3] == own[:len(mixed) // 3]
        del nodes, paras, node, para, walked, by_index
    values = mv.testing.GenericProbe().mixed()
    assert list(values) == list(as_untyped(mv, values)) == [1, "two", 3.5, None]
    del values
    assert handles.live() == before


def test_array_iterators_keep_their_protocol(mv, generic, probe):
    paras = probe.many_paragraphs(2)
    with iter(paras) as it:
        assert type(it) is generic._IterWrapper_7598A062 and iter(it) is it
        assert type(next(it)) is mv.Paragraph
    assert isinstance(next(it), mv.Paragraph)  # disposing an array's walk does not end it
    untyped = iter(as_untyped(mv, paras))
    assert type(untyped) is mv._wrpgen._interop._IterWrapper
    assert len(list(untyped)) == 2 and list(untyped) == []
    assert list(probe.many_paragraphs(0)) == [] and list(as_untyped(mv, probe.many_paragraphs(0))) == []


def test_type_items_of_array_arguments_are_checked_before_the_call(mv, probe, handles):
    import morvax.pyreflection as reflection
    types = probe.types()
    int_type, str_type = types
    assert probe.type_names([int_type, str_type]) == "Int32|String"
    assert probe.type_names((str_type,)) == "String" and probe.type_names(types) == "Int32|String"
    assert probe.type_names(None) == "<null>"
    before = handles.live()
    for wrong in ([int_type, "Int32"], (int_type, 3), [mv.Document()], [None]):
        with pytest.raises(TypeError, match=r"^expected morvax\.pyreflection\.Type, got '.*'$"):
            probe.type_names(wrong)
    assert type(int_type) is reflection.Type and handles.live() == before
    assert probe.type_names([int_type]) == "Int32"  # nothing broken by the refusals


def test_regions_list_the_mustache_tags_of_their_own_text(mv, generic):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.writeln("Dear {{name}},")
    builder.insert_field("MERGEFIELD TableStart:Orders")
    builder.write("Order {{ id }} of {{da")
    builder.write("te}}")  # a tag split over two runs is one tag
    builder.insert_field("MERGEFIELD TableStart:Lines")
    builder.writeln("{{qty}} x {{item}}")
    builder.insert_field("MERGEFIELD TableEnd:Lines")
    builder.writeln("{{total}} {{not a tag} {{{x}}}")
    builder.insert_field("MERGEFIELD TableEnd:Orders")
    builder.writeln("{{signature}}")
    root = doc.mail_merge.get_regions_hierarchy()
    tags = root.mustache_tags
    assert type(tags) is generic._IListWrapper_BB6F4F0C
    assert [t.text for t in tags] == ["name", "signature"]
    assert tags[0].reference_offset == 5 and tags[1].reference_offset == 0
    (orders,) = root.regions
    assert [t.text for t in orders.mustache_tags] == [" id ", "date", "total", "x"]
    (lines,) = orders.regions
    assert [t.text for t in lines.mustache_tags] == ["qty", "item"]
    assert [type(t) for t in lines.mustache_tags] == [mv.mailmerging.MustacheTag] * 2
    # Field codes hold no tags: a field whose code spells one adds nothing.
    builder.insert_field("MERGEFIELD {{hidden}}")
    assert [t.text for t in doc.mail_merge.get_regions_hierarchy().mustache_tags] == ["name", "signature"]


def test_get_enumerator_gives_the_typed_enumerator_of_the_element(mv, generic, handles):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.writeln("one")
    builder.start_bookmark("mark")
    builder.writeln("two")
    builder.end_bookmark("mark")
    before = handles.live()
    for collection, element_id in ((doc.first_section.body.paragraphs, "835DB32F"), (doc.styles, "C431605C"),
                                   (doc.range.bookmarks, "CFDC3277"), (doc.lists, "5E691314")):
        with collection.get_enumerator() as it:
            assert type(it) is getattr(generic, "_IterWrapper_" + element_id)
            walked = list(it)
        assert [type(w) for w in walked] == [type(c) for c in collection] and len(walked) == collection.count
        assert next(it, "end") == "end"
        del walked, it, collection
    assert [b.name for b in doc.range.bookmarks.get_enumerator()] == ["mark"]
    assert handles.live() == before
    # Enumerators of items with no typed iterator stay unbound rather than untyped.
    assert not hasattr(mv.Document().variables, "get_enumerator")
