"""Handles of walked items. A new item's handle takes over the slot of the handle released
just before it while that one still waits in the release queue, and released wrappers go back
to the kept blocks without a call: wrappers kept meanwhile must keep their own objects, and
the live count and reference counts must come back where they were. A typed walk over an array
of a sealed class hands its items over without looking at them; a typed adapter of a base
class over an array of a derived class wraps each item as the base class, as the node
collection's own walk does."""
import gc
import sys

import pytest


@pytest.fixture()
def doc(mv):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for i in range(30):
        builder.writeln(f"p{i}")
    builder.write("p30")
    return doc


def text_of(node):
    return node.get_text().strip()


def walks(mv, doc):
    """Every way of reading all paragraphs: the live walk, the typed array (walked and indexed),
    the untyped adapter of the array and the base-class adapter of the same array."""
    paragraphs = doc.first_section.body.paragraphs
    array = paragraphs.to_array()
    return {
        "collection": lambda: iter(paragraphs),
        "typed array": lambda: iter(array),
        "typed x[i]": lambda: (array[i] for i in range(len(array))),
        "untyped array": lambda: iter(mv._wrpgen._interop._ArrayWrapper._cast_as(array)),
        "node array": lambda: iter(mv._wrpgen._generic._ArrayWrapper_835DB32F._cast_as(array)),
    }


def test_items_kept_during_a_walk_keep_their_own_objects(mv, doc, handles):
    expected = [f"p{i}" for i in range(31)]
    ways = walks(mv, doc)
    before = handles.live()
    for name, walk in ways.items():
        # Most items are dropped at once (their slots are taken by the next items); every
        # third is kept, and must still reach its own paragraph afterwards.
        kept = [item for i, item in enumerate(walk()) if i % 3 == 0]
        declared = mv.Node if name in ("collection", "node array") else mv.Paragraph
        assert [type(k) for k in kept] == [declared] * len(kept), name
        assert [text_of(k) for k in kept] == expected[::3], name
        # Two walks side by side, one item of each kept in turn.
        pairs = [(a, b) for i, (a, b) in enumerate(zip(walk(), reversed(list(walk())))) if i % 2]
        assert [(text_of(a), text_of(b)) for a, b in pairs] == list(zip(expected, expected[::-1]))[1::2], name
        del kept, pairs
    gc.collect()
    assert handles.live() == before


def test_every_way_of_reading_gives_the_same_items(mv, doc):
    seen = {name: [text_of(item) for item in walk()] for name, walk in walks(mv, doc).items()}
    assert all(texts == seen["collection"] for texts in seen.values()), seen


def test_a_base_class_adapter_over_a_derived_array_wraps_items_as_the_base_class(mv, doc, handles):
    before = handles.live()
    array = doc.first_section.body.paragraphs.to_array()
    as_nodes = mv._wrpgen._generic._ArrayWrapper_835DB32F._cast_as(array)
    assert type(as_nodes) is mv._wrpgen._generic._ArrayWrapper_835DB32F
    assert {type(n) for n in as_nodes} == {type(as_nodes[0]), type(as_nodes[-1])} == {mv.Node}
    assert {type(n) for n in as_nodes[::2] + as_nodes.copy()} == {mv.Node} and as_nodes[0] == array[0]
    array[1] = None
    assert as_nodes[1] is None and list(as_nodes)[1] is None and as_nodes[:2][1] is None
    del array, as_nodes
    gc.collect()
    assert handles.live() == before


def test_handles_and_references_stay_put_over_mixed_walks(mv, doc, handles):
    generic = mv._wrpgen._generic
    paragraphs = doc.first_section.body.paragraphs
    array = paragraphs.to_array()
    untyped = mv._wrpgen._interop._ArrayWrapper._cast_as(array)
    objects = mv.testing.ContainerProbe().objects(5)
    values = mv.testing.GenericProbe().mixed()   # items .NET builds as Python objects
    keeper = array[0]
    rolling = []

    def step(i):
        kind = i % 7
        if kind == 0:
            for index, item in enumerate(array):
                if index == i % 11:
                    rolling.append(item)
                    break
        elif kind == 1:
            rolling.append(untyped[i % len(untyped)])
        elif kind == 2:
            with pytest.raises(IndexError):
                array[len(array) + i % 3]
        elif kind == 3:
            it = iter(paragraphs)
            next(it), next(it)          # abandoned with a walk under way
        elif kind == 4:
            for item in objects:
                rolling.append(item)
        elif kind == 5:
            assert list(values) == [1, "two", 3.5, None]
        else:
            with iter(generic._ArrayWrapper_835DB32F._cast_as(array)) as it:
                rolling.append(next(it))
        del rolling[:-9]

    for i in range(700):   # warm-up: tables bound, caches filled, the rolling list full
        step(i)
    gc.collect()
    live, keeper_refs, none_refs = handles.live(), sys.getrefcount(keeper), sys.getrefcount(None)
    for i in range(100_000):
        step(i)
    gc.collect()
    assert handles.live() == live
    assert sys.getrefcount(keeper) == keeper_refs and text_of(keeper) == "p0"
    # A None kept per step would show thousands here; a few come and go with the frames.
    assert abs(sys.getrefcount(None) - none_refs) < 100
