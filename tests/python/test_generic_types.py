"""The typed containers of morvax.velto._wrpgen._generic: the 94 adapter types checked
against the published tables (names, counts per kind, bases, interface sets, method orders),
typed results of real library members, and the services each type's own .NET class serves."""
import pytest

# The element identifiers per kind, as published.
ARRAYS = ["A4A29720", "CBE911FC", "F372CE9B", "C6480AB9", "D28651D3", "D5EB2CBA", "9B47B7C5", "E5B1F0B5",
          "F664327F", "835DB32F", "6E07F1FD", "99477B7B", "1A0F3823", "A21F8694", "521B0BC5", "7598A062",
          "A6AC7D8A", "8446BEE4", "AED82F9F"]
ILISTS = ["8D65D398", "B67D34E9", "B603EEB6", "BB6F4F0C", "49B7A941", "C6EFF48E"]
LISTS = ["A4A29720"]
ITERABLES = ["CBE911FC"]
ITERATORS = ARRAYS + ILISTS + ["1BA766B5", "6EAC2EC5"] + [
    "FF8CD688", "E8A2942B", "A1008AA2", "2DFF0F7D", "C431605C", "E8AE21D6", "C160DC49", "896ABAAA", "7F14420D",
    "C463F09B", "5980AC7E", "10B7007B", "F0EDF672", "C18CD375", "84A5F8BA", "A7B59CA7", "B86AC123", "FE47C624",
    "7A502530", "47188623", "3BF02CD2", "CFDC3277", "66AC0F5D", "DD0846DD", "B4A6D4F8", "53E7784B", "63D943A3",
    "BA5CC90F", "CB93698B", "0416A190", "D33230B0", "1143A0BB", "50D8BE2C", "081D381E", "5E691314", "F8EED415",
    "5E5C10FD", "784355DC", "C7C03BFD", "1E706468"]

CASTING = ["get_type", "_type_of", "_cast_to", "_cast_from", "_reinterpret_obj", "_cast_as", "_is_assignable"]
# kind prefix: (identifiers, base name or None, interface set, own methods in order)
KINDS = {
    "_ArrayWrapper_": (ARRAYS, "_ArrayWrapper", {"_IterableWrapper", "_IColWrapper", "_IListWrapper"},
                       ["index", "count", "sort", "reverse", "copy", "contains"]),
    "_IListWrapper_": (ILISTS, None, {"_IterableWrapper"},
                       ["extend", "insert", "pop", "index", "count", "sort", "reverse", "copy", "append", "remove",
                        "clear", "contains"]),
    "_ListWrapper_": (LISTS, None, {"_IterableWrapper", "_IColWrapper", "_IListWrapper"},
                      ["extend", "append", "insert", "remove", "pop", "clear", "index", "count", "sort", "reverse",
                       "copy", "contains"]),
    "_IterWrapper_": (ITERATORS, None, {"_IterWrapper", "_IDisposableWrapper"}, ["__enter__", "__exit__"]),
    "_IterableWrapper_": (ITERABLES, None, {"_IterableWrapper"}, []),
}


@pytest.fixture()
def generic(mv):
    return mv._wrpgen._generic


def test_the_module_holds_exactly_the_published_types(mv, generic):
    interop = mv._wrpgen._interop
    counts = {prefix: len(ids) for prefix, (ids, *_) in KINDS.items()}
    assert counts == {"_ArrayWrapper_": 19, "_IListWrapper_": 6, "_ListWrapper_": 1, "_IterWrapper_": 67,
                      "_IterableWrapper_": 1}
    expected_names = {prefix + i for prefix, (ids, *_) in KINDS.items() for i in ids}
    present = {n for n, v in vars(generic).items() if isinstance(v, type)}
    assert present == expected_names and len(present) == 94

    for prefix, (ids, base, interfaces, methods) in KINDS.items():
        for ident in ids:
            cls = getattr(generic, prefix + ident)
            assert cls.__module__ == "morvax.velto._wrpgen._generic" and cls.__name__ == prefix + ident
            assert cls.__base__ is (getattr(interop, base) if base else object)
            want = {getattr(interop, n) for n in interfaces}
            if prefix == "_ArrayWrapper_" and ident in ITERABLES:
                want.add(getattr(generic, "_IterableWrapper_" + ident))
            assert cls.__dict__["_additional_interfaces"] == want
            assert cls.__dict__["_implicit_interfaces"] == want
            assert cls.__dict__["_morvax_clr_host"] is None and cls.__dict__["_morvax_clr_castable_obj"] is None
            own = [n for n, v in cls.__dict__.items()
                   if callable(v) or isinstance(v, (staticmethod, classmethod)) or type(v).__name__.endswith("descriptor")]
            own = [n for n in own if n in CASTING or n in methods]
            assert own == CASTING + methods, prefix + ident


def test_typed_adapters_are_made_only_by_the_runtime(generic):
    for cls in (generic._ArrayWrapper_1A0F3823, generic._IListWrapper_B603EEB6, generic._ListWrapper_A4A29720,
                generic._IterWrapper_7598A062, generic._IterableWrapper_CBE911FC):
        with pytest.raises(TypeError, match="^type has no available constructor$"):
            cls()
        with pytest.raises(TypeError):
            type("Sub", (cls,), {})
    # Only the array and list classes reinterpret; the others refuse with the casting message.
    with pytest.raises(TypeError, match=r"^cannot convert from  'int' to "
                                        r"'morvax.velto._wrpgen._generic._IterWrapper_7598A062'$"):
        generic._IterWrapper_7598A062._reinterpret_obj(3)


def test_node_arrays_come_back_typed_with_items_as_their_class(mv, generic):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for text in ("one", "two", "three"):
        builder.writeln(text)
    sections = doc.sections.to_array()
    assert type(sections) is generic._ArrayWrapper_1A0F3823
    assert isinstance(sections, mv._wrpgen._interop._ArrayWrapper)
    assert type(sections[0]) is mv.Section and len(sections) == 1

    paras = doc.first_section.body.paragraphs.to_array()
    assert type(paras) is generic._ArrayWrapper_7598A062
    assert [p.get_text().strip() for p in paras][:3] == ["one", "two", "three"]
    assert all(type(p) is mv.Paragraph for p in paras)
    with paras.__iter__() as it:
        assert type(it) is generic._IterWrapper_7598A062
        assert type(next(it)) is mv.Paragraph


def test_items_of_mixed_classes_come_back_as_the_element_class(mv, generic, handles):
    """Arrays and enumerators of class elements hand items over as handles and wrap them here
    as the element's class, whatever their own: items of changing classes, indexes out of range
    and enumerators of untyped collections must still come back right, without leaking handles."""
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.write("a")
    builder.insert_field("PAGE")
    builder.writeln("b")
    before = handles.live()
    for _ in range(2):
        nodes = doc.get_child_nodes(mv.NodeType.ANY, True).to_array()
        assert type(nodes) is generic._ArrayWrapper_835DB32F
        by_index = [nodes[i] for i in range(len(nodes))]
        assert {type(n) for n in by_index} == {type(n) for n in nodes} == {mv.Node} and list(nodes) == by_index
        own = [type(n).__name__ for n in mv._wrpgen._interop._ArrayWrapper._cast_as(nodes)]
        assert len(set(own)) >= 4 and "FieldStart" in own  # Section, Body, Paragraph, Run, FieldStart, ...
        start = by_index[own.index("FieldStart")]
        assert type(mv.fields.FieldStart._cast_to(start)) is mv.fields.FieldStart
        for wrong in (len(nodes), -len(nodes) - 1, 2**40):
            with pytest.raises(IndexError):
                nodes[wrong]
        del nodes, by_index, start
    assert handles.live() == before


def test_casting_services_are_the_element_types_own(mv, generic):
    doc = mv.Document()
    sections = doc.sections.to_array()
    paras = doc.first_section.body.paragraphs.to_array()
    assert generic._ArrayWrapper_1A0F3823._is_assignable(sections)
    assert not generic._ArrayWrapper_7598A062._is_assignable(sections)
    assert not generic._ArrayWrapper_1A0F3823._is_assignable(doc)
    reflection_type = type(sections.get_type())
    assert type(generic._ArrayWrapper_1A0F3823._type_of()) is reflection_type
    assert type(generic._IterWrapper_7598A062._type_of()) is reflection_type
    same = generic._ArrayWrapper_1A0F3823._cast_as(sections)
    assert type(same) is generic._ArrayWrapper_1A0F3823
    assert not generic._ArrayWrapper_7598A062._cast_as(sections)
    # The untyped adapter still takes any array.
    assert mv._wrpgen._interop._ArrayWrapper._is_assignable(paras)


# --- elements in both directions, per family ----------------------------------------------


@pytest.fixture()
def probe(mv):
    return mv.testing.GenericProbe()


def test_elements_cross_in_their_own_type(mv, generic, probe):
    doc = mv.Document()
    mv.DocumentBuilder(doc).writeln("one")
    cases = [
        # (typed array, expected items, a value of the element to write, a value of another type, its message)
        (probe.numbers(3), [0, 1, 2], 42, "x", "integer argument expected, got 'str'"),
        (probe.words(), ["alpha", None, "gamma"], "zz", 5, "can't build String from 'int'"),
        (probe.mixed(), [1, "two", 3.5, None], 2.25, None, None),
        (probe.clusters(2), None, None, doc, "can't build Cluster value from 'morvax.velto.Document'"),
        (doc.first_section.body.paragraphs.to_array(), None, mv.Paragraph(doc), mv.Run(doc),
         "can't build Paragraph value from 'morvax.velto.Run'"),
    ]
    for array, items, good, bad, message in cases:
        before = list(array)
        if items is not None:
            assert before == items
        if bad is not None or message is not None:
            for write in (lambda: array.__setitem__(0, bad), lambda: array.index(bad), lambda: array.count(bad),
                          lambda: bad in array):
                with pytest.raises(TypeError) as raised:
                    write()
                assert str(raised.value) == message
            assert list(array) == before  # a refused value changes nothing
        array[0] = good
        assert array[0] == good if not isinstance(good, mv.Paragraph) else array[0].get_text() == good.get_text()
    clusters = probe.clusters(2)
    assert all(type(c) is mv.shaping.Cluster for c in clusters)


def test_items_with_no_class_of_their_own_are_read_as_their_family(mv, generic, probe, handles):
    """Type, Stream and array items have no bound class: they come back as the reflection
    module's Type, as _StreamWrapper and as the typed array of their element, by index, by
    iteration and as any-values alike, and their handles go when the items go."""
    import morvax.pyreflection as reflection
    stream_type = mv._wrpgen._interop._StreamWrapper
    before = handles.live()
    for _ in range(2):
        types = probe.types()
        assert [type(t) for t in types] == [reflection.Type, reflection.Type] and type(types[1]) is reflection.Type
        streams = probe.streams()
        assert [type(s) for s in streams] == [stream_type, stream_type]
        assert streams[0].read() == b"\x01\x02\x03" and streams[1].read() == b""
        nested = probe.nested_clusters()
        inner = list(nested)
        assert [type(a).__name__ for a in inner] == ["_ArrayWrapper_D5EB2CBA"] * 2
        assert [len(a) for a in inner] == [2, 1] and type(nested[1][0]) is mv.shaping.Cluster
        assert isinstance(inner[0], mv._wrpgen._interop._ArrayWrapper)
        del types, streams, nested, inner
    assert handles.live() == before


def test_typed_enumerators_are_disposable(generic, probe):
    with iter(probe.numbers(3)) as it:
        assert type(it) is generic._IterWrapper_A4A29720
        assert next(it) == 0 and list(it) == [1, 2]
    assert [w for w in probe.words()] == ["alpha", None, "gamma"]


# --- container arguments ------------------------------------------------------------------


def test_array_arguments_of_every_kind(mv, generic, probe):
    # kind 0: None and .NET arrays of the element; kind 2: lists; kind 3: other sized sequences.
    assert probe.sum(None) == -1
    assert probe.sum(probe.numbers(4)) == 6
    assert probe.sum([1, 2, 3]) == 6 and probe.sum((4, 5)) == 9 and probe.sum(range(5)) == 10
    assert probe.sum([]) == 0
    assert probe.total([1.5, 2]) == 3.5
    assert probe.count_true([True, False, True]) == 2
    import datetime
    assert probe.latest_year([datetime.datetime(2020, 1, 1), datetime.datetime(2024, 5, 1)]) == 2024
    assert probe.join(["a", None, "b"]) == "a|<none>|b" and probe.join(probe.words()) == "alpha|<none>|gamma"
    assert probe.describe([1, "x", 2.5, None, mv.Document()]) == "Int32,String,Double,null,Document"
    clusters = probe.clusters(2)
    for given in (clusters, list(clusters), tuple(clusters)):
        assert mv.shaping.Cluster.get_string(given, "ab") == "ab"
    # A list subclass is still a list.
    class Numbers(list):
        pass
    assert probe.sum(Numbers([2, 3])) == 5


def test_array_arguments_are_refused_with_the_builders_message(mv, probe):
    doc = mv.Document()
    for wrong in (3, {1: 2}, object(), probe.words(), doc.first_section.body.paragraphs.to_array(), doc):
        with pytest.raises(TypeError) as raised:
            probe.sum(wrong)
        assert str(raised.value) == f"can't build Array value from '{type(wrong).__module__}.{type(wrong).__qualname__}'" \
            or str(raised.value) == f"can't build Array value from '{type(wrong).__name__}'"
    # Items that .NET would only classify are checked by their element's converter once the
    # overload is chosen: lists and sequences alike, of classes, streams and arrays.
    paragraph, run = mv.Paragraph(doc), mv.Run(doc)
    for container in ([paragraph, run], (paragraph, run)):
        with pytest.raises(TypeError, match=r"^can't build Paragraph value from 'morvax.velto.Run'$"):
            probe.count_paragraphs(container)
    with pytest.raises(TypeError, match=r"^can't build Paragraph value from 'int'$"):
        probe.count_paragraphs([paragraph, 3])
    with pytest.raises(TypeError, match=r"^can't build Stream from 'str'$"):
        probe.total_length([probe.streams()[0], "not a stream"])
    with pytest.raises(TypeError, match=r"^can't build Field value from 'morvax.velto.Run'$"):
        probe.field_codes([run])
    assert probe.count_paragraphs([paragraph, None]) == 2


def test_generic_callbacks_read_lists_and_sequences_of_each_family(mv, probe):
    import datetime
    doc = mv.Document()
    clusters = list(probe.clusters(2))
    day = datetime.datetime(2024, 5, 1)
    # (member, good items, result, a wrong item, the element converter's message)
    cases = [
        (probe.sum, [1, 2, 3], 6, "two", "integer argument expected, got 'str'"),
        (probe.total, [1.5, 2], 3.5, "x", None),
        (probe.count_true, [True, False, True], 2, None, None),
        (probe.latest_year, [datetime.datetime(2020, 1, 1), day], 2024, 3, None),
        (probe.join, ["a", None, "b"], "a|<none>|b", 5, "can't build String from 'int'"),
        (probe.describe, [1, "x", 2.5, None, doc], "Int32,String,Double,null,Document", None, None),
        (lambda items: mv.shaping.Cluster.get_string(items, "ab"), clusters, "ab", doc,
         "can't build Cluster value from 'morvax.velto.Document'"),
    ]
    for member, items, result, wrong, message in cases:
        assert member(list(items)) == result  # the list entries
        assert member(tuple(items)) == result  # the sequence entries
        if wrong is not None:
            for container in ([*items, wrong], (*items, wrong)):
                with pytest.raises(TypeError) as raised:
                    member(container)
                if message is not None:
                    assert str(raised.value) == message
    # A sequence that fails while read reports its own error.
    class Failing:
        def __len__(self):
            return 2

        def __getitem__(self, i):
            if i == 1:
                raise KeyError("boom")
            return 1
    with pytest.raises(KeyError, match="boom"):
        probe.sum(Failing())


# --- typed lists and enumerators -----------------------------------------------------------


def merge_regions(mv):
    """A document with the region Orders (a field Item and the nested region Lines) and a field outside."""
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for name in ["TableStart:Orders", "Item", "TableStart:Lines", "Qty", "TableEnd:Lines", "TableEnd:Orders",
                 "Outside"]:
        builder.insert_field("MERGEFIELD " + name)
    return doc


def test_lists_of_real_members_come_back_typed(mv, generic):
    doc = merge_regions(mv)
    root = doc.mail_merge.get_regions_hierarchy()
    assert type(root.regions) is generic._IListWrapper_B67D34E9
    assert type(root.fields) is generic._IListWrapper_B603EEB6
    assert type(root.mustache_tags) is generic._IListWrapper_BB6F4F0C and len(root.mustache_tags) == 0
    assert [f.get_field_code() for f in root.fields] == ["MERGEFIELD Outside"]
    (orders,) = root.regions
    assert (orders.name, orders.level, orders.parent_region.name) == ("Orders", 1, None)
    # Every read of a typed list gives the element's class; the field's own class is a cast away.
    fields = orders.fields
    reads = list(fields) + [fields[0], fields[-1]] + fields[:] + fields.copy()
    assert len(reads) == 5 and {type(f) for f in reads} == {mv.fields.Field}
    assert type(mv.fields.FieldMergeField._cast_to(fields[0])) is mv.fields.FieldMergeField
    assert orders.start_field.field_name == "TableStart:Orders" and orders.end_field.field_name == "TableEnd:Orders"
    lines = doc.mail_merge.get_regions_by_name("LINES")
    assert type(lines) is generic._IListWrapper_B67D34E9 and [r.level for r in lines] == [2]
    merge_field = mv.fields.FieldMergeField._cast_to
    assert lines[0].parent_region.name == "Orders" and merge_field(lines[0].fields[0]).field_name == "Qty"
    with iter(orders.fields) as it:
        assert type(it) is generic._IterWrapper_B603EEB6 and merge_field(next(it)).field_name == "Item"
    # Writes pass the element's converter; a refused value changes nothing.
    with pytest.raises(TypeError, match=r"^can't build Field value from 'morvax.velto.Run'$"):
        orders.fields.append(mv.Run(doc))
    orders.fields.append(root.fields[0])
    assert [merge_field(f).field_name for f in orders.fields] == ["Item", "Outside"]
    popped = orders.fields.pop()
    assert type(popped) is mv.fields.Field and merge_field(popped).field_name == "Outside" and len(orders.fields) == 1


def font_file(names):
    """A font file holding only a naming table: (family, full name) per font; two or more make a collection."""
    import struct

    def font(family, full, at):
        strings = family.encode("utf-16-be") + full.encode("utf-16-be")
        table = struct.pack(">HHH", 0, 2, 6 + 2 * 12)
        table += struct.pack(">HHHHHH", 3, 1, 0x409, 1, len(family) * 2, 0)
        table += struct.pack(">HHHHHH", 3, 1, 0x409, 4, len(full) * 2, len(family) * 2)
        return struct.pack(">IHHHH", 0x00010000, 1, 0, 0, 0) + b"name" + struct.pack(">III", 0, at + 28, len(table + strings)) \
            + table + strings
    if len(names) == 1:
        return font(*names[0], 0)
    header = 12 + 4 * len(names)
    bodies, offsets = b"", []
    for family, full in names:
        offsets.append(header + len(bodies))
        bodies += font(family, full, header + len(bodies))
    return b"ttcf" + struct.pack(">HHI", 1, 0, len(names)) + b"".join(struct.pack(">I", o) for o in offsets) + bodies


def test_font_sources_list_their_fonts(mv, generic, tmp_path):
    (tmp_path / "a.ttf").write_bytes(font_file([("Alpha", "Alpha Bold")]))
    (tmp_path / "sub").mkdir()
    (tmp_path / "sub" / "pair.TTC").write_bytes(font_file([("Beta", "Beta Regular"), ("Gamma", "Gamma Italic")]))
    (tmp_path / "broken.otf").write_bytes(b"\0\1\0\0\0\5" + b"x" * 20)  # claims five tables it does not hold
    (tmp_path / "notes.txt").write_text("not a font")
    fonts = mv.fonts.FolderFontSource(str(tmp_path), True).get_available_fonts()
    assert type(fonts) is generic._IListWrapper_8D65D398
    assert [(f.font_family_name, f.full_font_name, f.file_path[len(str(tmp_path)) + 1:]) for f in fonts] == [
        ("Alpha", "Alpha Bold", "a.ttf"), ("Beta", "Beta Regular", "sub/pair.TTC"),
        ("Gamma", "Gamma Italic", "sub/pair.TTC")]
    assert [f.font_family_name for f in mv.fonts.FolderFontSource(str(tmp_path), False).get_available_fonts()] == ["Alpha"]
    assert len(mv.fonts.FileFontSource(str(tmp_path / "broken.otf")).get_available_fonts()) == 0
    assert len(mv.fonts.FolderFontSource(str(tmp_path / "missing"), True).get_available_fonts()) == 0
    assert len(mv.fonts.MemoryFontSource().get_available_fonts()) == 0


def test_typed_list_results_and_extend_reserving_room(generic, probe):
    numbers = probe.number_list(3)
    assert type(numbers) is generic._ListWrapper_A4A29720 and list(numbers) == [0, 1, 2]
    assert probe.capacity == 3
    numbers.extend(range(100))  # one reservation, not doubling: 3 -> 103
    assert probe.capacity == 103 and len(numbers) == 103
    numbers.extend([1, 2])
    assert probe.capacity >= 105 and numbers[-1] == 2
    with pytest.raises(TypeError, match=r"^integer argument expected, got 'str'$"):
        numbers.append("x")
    assert len(numbers) == 105


def test_list_arguments_of_every_kind_and_refusals(mv, probe):
    assert probe.sum_list(None) == -1
    assert probe.sum_list(probe.number_list(4)) == 6  # kind 0: the .NET list itself
    assert probe.sum_list([1, 2]) == 3 and probe.sum_list((3, 4)) == 7 and probe.sum_list(range(4)) == 6
    assert probe.total_length(list(probe.streams())) == 3 and probe.total_length(None) == -1
    for wrong in (5, object(), probe.numbers(2), probe.words()):
        with pytest.raises(TypeError) as raised:
            probe.sum_list(wrong)
        name = type(wrong).__name__ if type(wrong).__module__ == "builtins" else \
            f"{type(wrong).__module__}.{type(wrong).__qualname__}"
        assert str(raised.value) == f"can't build List value from '{name}'"
    with pytest.raises(TypeError, match=r"^integer argument expected, got 'str'$"):
        probe.sum_list([1, "x"])


def test_enumerators_cross_both_ways(mv, generic, probe):
    counter = probe.counter(3)
    assert type(counter) is generic._IterWrapper_A4A29720 and list(counter) == [0, 1, 2]
    assert probe.drain(probe.counter(5)) == 5
    with pytest.raises(TypeError, match=r"^expected a .NET collection or None, not 'list'$"):
        probe.drain([1, 2])


def test_list_interface_arguments_are_lent_as_live_views(mv, probe):
    words = [5, 99, 7]
    assert probe.edit(words) == "3:4" and words == [50, 1, 7, -1]  # remove, set, insert, add, index
    numbers = [7]
    assert probe.fill(numbers, 3) == 4 and numbers == [7, 0, 1, 2]
    probe.remove_at(numbers, 0)
    assert numbers == [0, 1, 2]
    with pytest.raises(RuntimeError, match="ArgumentOutOfRange"):
        probe.remove_at(numbers, 5)
    probe.empty(numbers)
    assert numbers == []
    # A sequence other than a list is read through the sequence callbacks, read-only.
    assert probe.inspect([1, 2, 3], 2) == "True:1:6:False"
    assert probe.inspect((1, 2, 3), 2) == "True:1:6:True" and probe.inspect((1, 2, 3), 9) == "False:-1:6:True"
    assert probe.inspect(probe.number_list(3), 1) == "True:1:3:False"
    t = (1, 2)
    with pytest.raises(RuntimeError, match="read-only"):
        probe.fill(t, 1)
    with pytest.raises(TypeError, match=r"^integer argument expected, got 'str'$"):
        probe.inspect([1, "x"], 1)
    # Equality is Python's: a sequence whose items cannot be compared reports their error.
    class Odd:
        def __eq__(self, other):
            raise ValueError("no comparing")
    with pytest.raises(ValueError, match="^no comparing$"):
        probe.inspect((Odd(),), 1)
    # The view is lent for the call only.
    kept = [1, 2]
    probe.keep(kept)
    with pytest.raises(RuntimeError, match="ObjectDisposed"):
        probe.kept_count
    # Class elements without a typed callback are classified by index, for lists and sequences.
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    builder.insert_field("MERGEFIELD A")
    builder.insert_field("PAGE")
    fields = list(doc.range.fields)
    assert probe.field_codes(fields) == probe.field_codes(tuple(fields)) == "MERGEFIELD A|PAGE"


def test_runtime_lists_held_as_values_come_back_as_adapters(mv, generic, probe):
    holder = mv.testing.ValueProbe()
    containers = mv.testing.ContainerProbe()
    interop = mv._wrpgen._interop
    for value, kind in ((containers.array_list, interop._ArrListWrapper), (probe.number_list(2), interop._IListWrapper),
                        (probe.numbers(2), generic._ArrayWrapper_A4A29720)):
        holder.value = value
        back = holder.value
        assert type(back) is kind and list(back) == list(value)


def test_references_and_handles_are_unchanged_after_many_operations(mv, probe, handles):
    import gc
    import sys
    doc = mv.Document()
    paras = probe.many_paragraphs(10)
    numbers = probe.numbers(10)
    numbers_list = probe.number_list(3)
    # Objects of this test's own: an interned literal is shared with the rest of the process,
    # whose other references come and go while the test runs.
    marker, text = object(), "".join(["te", "xt"])
    big = int("1234567")
    watched = [marker, text, big]
    for _ in range(3):
        list(paras), probe.sum([1]), probe.join([text])
    before_counts = [sys.getrefcount(o) for o in watched]
    before = handles.live()
    for n in range(100_000):
        k = n % 11
        if k == 0:
            numbers[n % 10] = big
        elif k == 1:
            paras[n % 10]
        elif k == 2:
            probe.join([text, None])
        elif k == 3:
            try:
                numbers[0] = marker
            except TypeError:
                pass
        elif k == 4:
            try:
                probe.sum([big, marker])
            except (TypeError, RuntimeError):
                pass
        elif k == 5:
            with iter(paras) as it:
                next(it)
        elif k == 6:
            probe.sum((big, big))
        elif k == 8:
            probe.inspect((big, 2), big)
        elif k == 9:
            target = [big]
            probe.fill(target, 2)
            probe.remove_at(target, 0)
        elif k == 10:
            probe.sum_list([big, big])
            numbers_list.extend((big,))
            numbers_list.pop()
        else:
            try:
                probe.sum(marker)
            except TypeError:
                pass
    del it, target
    gc.collect()
    assert [sys.getrefcount(o) for o in watched] == before_counts
    assert handles.live() == before


def test_typed_arrays_answer_special_methods_through_their_class_as_through_operators(mv, generic):
    # Typed arrays take their special methods from the untyped array adapter they derive from.
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for text in ("one", "two"):
        builder.writeln(text)
    paras = doc.first_section.body.paragraphs.to_array()
    cls = type(paras)
    assert cls is generic._ArrayWrapper_7598A062 and cls.__base__ is mv._wrpgen._interop._ArrayWrapper
    assert cls.__len__(paras) == len(paras) == 3
    assert cls.__getitem__(paras, 1) == paras[1] and type(cls.__getitem__(paras, 1)) is mv.Paragraph
    assert cls.__contains__(paras, paras[0]) and paras[0] in paras
    assert cls.__eq__(paras, paras) is True and cls.__hash__(paras) == hash(paras)
    cls.__setitem__(paras, 0, paras[1])
    assert paras[0] == paras[1]
    with pytest.raises(TypeError) as through_class:
        cls.__init__(paras, 1)
    with pytest.raises(TypeError) as through_call:
        cls(1)
    assert str(through_class.value) == str(through_call.value)
