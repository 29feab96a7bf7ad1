"""Node collections walked live and .NET collections read out whole.

A node collection's for loop steps the library's own walker: it must see the tree as it is at
each step (a node appended ahead is reached, the current node may be removed, the node that
followed the current one when it was handed out comes next) and agree with the collection's
array, its subscripts and the untyped adapter. Slices, copies, concatenation and repetition
of .NET collections are Python lists that .NET makes and fills in one call (the new-list and
store-item callbacks): they must equal what a Python list gives for the same operation, for
every adapter, typed or not, and release everything they made. A sized Python iterable handed
to .NET is asked its length once (the object-size callback), an unsized one never."""
import gc
import random
import sys

import pytest

from conftest import diagnostics_count


@pytest.fixture(scope="module")
def lists_made(built):
    return diagnostics_count("PythonListsMadeCount")


def paragraphs_doc(mv, texts):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for text in texts[:-1]:
        builder.writeln(text)
    builder.write(texts[-1])
    return doc


def text_of(node):
    return node.get_text().strip()


def test_a_node_walk_sees_the_tree_as_it_is_at_each_step(mv, handles):
    before = handles.live()
    doc = paragraphs_doc(mv, ["a", "b", "c", "d"])
    body = doc.first_section.body
    seen = []
    for paragraph in body.paragraphs:
        seen.append(text_of(paragraph))
        if seen[-1] == "a":
            paragraph.remove()                     # the current node: the walk goes on
        elif seen[-1] == "b":
            added = mv.Paragraph(doc)
            added.append_child(mv.Run(doc, "z"))
            body.append_child(added)               # ahead of the walk: reached
            inserted = mv.Paragraph(doc)
            inserted.append_child(mv.Run(doc, "y"))
            body.insert_after(inserted, paragraph)  # right after the current one: the walk
            #                                         already holds "c" as the next node
    assert seen == ["a", "b", "c", "d", "z"]
    assert [text_of(p) for p in body.paragraphs] == ["b", "y", "c", "d", "z"]
    # A walk left early, and one exhausted twice, hold no handle afterwards.
    walk = iter(body.paragraphs)
    next(walk)
    del walk
    walk = iter(body.paragraphs)
    assert len(list(walk)) == 5
    with pytest.raises(StopIteration):
        next(walk)
    del walk, paragraph, added, inserted, body, doc
    assert handles.live() == before


def test_a_collection_walked_again_sees_changes_made_during_the_walk(mv, handles):
    # The same collection object walked several times reads its kept walk while the tree is
    # unchanged; a change in the middle of a walk must give what a fresh collection gives.
    before = handles.live()
    texts = [f"p{i}" for i in range(8)]
    docs = [paragraphs_doc(mv, texts), paragraphs_doc(mv, texts)]
    kept = docs[0].first_section.body.paragraphs
    for _ in range(3):
        assert [text_of(p) for p in kept] == texts
    assert kept.count == 8 and text_of(kept[7]) == "p7"

    def walk(doc, paragraphs):
        body = doc.first_section.body
        seen = []
        for paragraph in paragraphs:
            seen.append(text_of(paragraph))
            if seen[-1] == "p2":
                paragraph.remove()                      # the current node
            elif seen[-1] == "p4":
                inserted = mv.Paragraph(doc)
                inserted.append_child(mv.Run(doc, "after4"))
                body.insert_after(inserted, paragraph)  # right after the current one
            elif seen[-1] == "p5":
                body.last_paragraph.remove()            # the last, ahead of the walk
        return seen

    fresh = docs[1].first_section.body.paragraphs
    assert walk(docs[0], kept) == walk(docs[1], fresh) == ["p0", "p1", "p2", "p3", "p4", "p5", "p6"]
    assert [text_of(p) for p in kept] == [text_of(p) for p in fresh]
    assert kept.count == 7 and text_of(kept[4]) == "after4"
    del kept, fresh, docs
    assert handles.live() == before


def test_walks_agree_with_arrays_subscripts_and_the_untyped_adapter(mv):
    doc = paragraphs_doc(mv, ["one", "two", "three"])
    builder = mv.DocumentBuilder(doc)
    builder.move_to_document_end()
    builder.start_table()
    builder.insert_cell()
    builder.write("cell")
    builder.end_row()
    builder.end_table()
    builder.write("after")
    body = doc.first_section.body
    for collection in (body.paragraphs, doc.get_child_nodes(mv.NodeType.RUN, True),
                       doc.get_child_nodes(mv.NodeType.PARAGRAPH, True), body.get_child_nodes(mv.NodeType.ANY, False)):
        walked = list(collection)
        array = collection.to_array()
        untyped = mv._wrpgen._interop._ArrayWrapper._cast_as(array)
        assert walked == list(array) == list(untyped) == [collection[i] for i in range(collection.count)]
        assert collection.count == len(array) > 0
        assert [text_of(n) for n in walked] == [text_of(n) for n in untyped[:]]
        # Shallow walks stay among the children; the deep paragraph walk also finds the cell's.
    assert "cell" not in [text_of(p) for p in body.paragraphs]
    assert "cell" in [text_of(p) for p in doc.get_child_nodes(mv.NodeType.PARAGRAPH, True)]


def random_slices(rng, n, count):
    bounds = [None, 0, 1, -1, n, n + 3, -n - 2] + list(range(-n, n))
    steps = [None, 1, 2, 3, -1, -2, -5, n + 1]
    return [slice(rng.choice(bounds), rng.choice(bounds), rng.choice(steps)) for _ in range(count)]


def test_slices_and_copies_equal_those_of_a_python_list(mv, lists_made, handles):
    rng = random.Random(7)
    before = handles.live()
    containers = mv.testing.ContainerProbe()
    generic = mv.testing.GenericProbe()
    cases = []
    array_list = containers.numbers(9)
    array_list[3] = None
    cases.append(array_list)                                         # _ArrListWrapper, a None item
    cases.append(mv._wrpgen._interop._IListWrapper._cast_as(containers.numbers(6)))
    cases.append(generic.numbers(7))                                 # typed int[]
    cases.append(generic.number_list(5))                             # typed List<int>
    cases.append(generic.mixed())                                    # object[] of every kind
    cases.append(generic.many_paragraphs(4))                         # typed Paragraph[]
    cases.append(mv._wrpgen._interop._ArrayWrapper._cast_as(generic.many_paragraphs(3)))
    cases.append(containers.numbers(0))                              # empty
    made = lists_made()
    calls = 0
    for x in cases:
        reference = [x[i] for i in range(len(x))]
        for cut in random_slices(rng, len(x), 40):
            got = x[cut]
            assert type(got) is list and got == reference[cut], (x, cut)
            calls += 1 if reference[cut] else 0
        for got, want in ((x.copy(), reference), (x + [None], reference + [None]), (x * 3, reference * 3),
                          (x * 0, []), (x * -1, [])):
            assert type(got) is list and got == want
        calls += 5
    # Every non-empty slice, copy, concatenation and repetition was made by .NET in one call.
    assert lists_made() - made == calls
    del x, got, want, reference, cases, array_list, containers, generic
    assert handles.live() == before


def test_collections_without_indexing_are_read_out_by_their_enumeration(mv, lists_made):
    probe = mv.testing.ContainerProbe()
    probe.array_list.extend(["a", None, 3])
    made = lists_made()
    for collection in (probe.collection, probe.read_only_collection_base):
        assert collection.copy() == [1, 2, 3, "a", None, 3]
        assert collection + (4,) == [1, 2, 3, "a", None, 3, 4]
        assert collection * 2 == [1, 2, 3, "a", None, 3] * 2
    assert lists_made() - made == 6


class Sized:
    """An iterable that counts how often its length is asked; error makes what len() raises."""

    def __init__(self, items, length=None, error=None):
        self.items, self.length, self.error, self.asked = items, length, error, 0

    def __iter__(self):
        return iter(self.items)

    def __len__(self):
        self.asked += 1
        if self.error is not None:
            raise self.error()
        return len(self.items) if self.length is None else self.length


def test_a_sized_iterable_is_asked_its_length_once_and_an_unsized_one_never(mv, handles):
    probe = mv.testing.ContainerProbe()
    before = handles.live()
    sized = Sized([1, 2, 3])
    assert probe.sum_all(sized) == 6 and sized.asked == 1
    lying = Sized([4, 5], length=2 ** 31 - 1)     # a length is only a promise: no huge room made
    assert probe.sum_all(lying) == 9 and lying.asked == 1
    assert probe.sum_all(x for x in range(4)) == 6
    assert probe.sum_all({1: "a", 2: "b"}) == 3 and probe.sum_all(range(5)) == 10
    failing = Sized([1], error=lambda: ValueError("no length today"))
    with pytest.raises(ValueError, match="^no length today$"):
        probe.sum_all(failing)
    assert failing.asked == 1
    with pytest.raises(KeyboardInterrupt):
        probe.sum_all(Sized([1], error=KeyboardInterrupt))
    assert probe.sum_all([7, 8]) == 15           # nothing left pending by the failures
    del sized, lying, failing
    assert handles.live() == before


def test_handles_and_references_stay_put_over_mixed_operations(mv, handles):
    containers = mv.testing.ContainerProbe()
    doc = paragraphs_doc(mv, [str(i) for i in range(20)])
    paragraphs = doc.first_section.body.paragraphs
    numbers = containers.numbers(10)
    numbers.append(None)
    containers.array_list.append(None)
    sentinel = object()
    sized = Sized([1, 2])
    failing = Sized([1], error=lambda: ValueError("x"))

    def step(i):
        kind = i % 6
        if kind == 0:
            numbers[i % 7:: 1 + i % 3]
        elif kind == 1:
            numbers.copy(), numbers * 2, numbers + [sentinel]
        elif kind == 2:
            for index, _ in enumerate(paragraphs):
                if index == i % 5:
                    break
        elif kind == 3:
            containers.sum_all(sized)
        elif kind == 4:
            try:
                containers.sum_all(failing)
            except ValueError:
                pass
        else:
            containers.collection.copy()

    for i in range(600):  # warm-up: tables bound, caches filled
        step(i)
    gc.collect()
    live = handles.live()
    refs = sys.getrefcount(sentinel), sys.getrefcount(sized), sys.getrefcount(failing)
    for i in range(100_000):
        step(i)
    gc.collect()
    assert handles.live() == live
    assert (sys.getrefcount(sentinel), sys.getrefcount(sized), sys.getrefcount(failing)) == refs
    # The None that .NET places in the lists it makes for null items is a reference of its own.
    def copies(times):
        for _ in range(times):
            numbers.copy(), numbers[::2], containers.collection.copy()
        gc.collect()
        return sys.getrefcount(None)

    copies(10)
    few = copies(10)     # measured one after the other: pytest's assertion locals hold None too
    many = copies(10_000)
    assert many == few
