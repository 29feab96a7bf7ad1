"""The container adapters of morvax.velto._wrpgen._interop: their registration, iteration
and disposal on real .NET members, the list protocol against Python's own list, Python
iterables handed to .NET, ownership of every handle and reference, and the readiness gate."""
import gc
import random
import sys

import pytest

from conftest import BUILD, chain_lines, run_python

ADAPTERS = ["_IDisposableWrapper", "_IterWrapper", "_IterableWrapper", "_IColWrapper", "_IListWrapper",
            "_RoColBaseWrapper", "_ColBaseWrapper", "_ArrayWrapper", "_ArrListWrapper"]


@pytest.fixture()
def interop(mv):
    return mv._wrpgen._interop


@pytest.fixture()
def probe(mv):
    return mv.testing.ContainerProbe()


# --- the adapter types and their registration ---------------------------------------------


def test_adapter_types_carry_their_interface_sets_and_markers(interop):
    for name in ADAPTERS:
        cls = getattr(interop, name)
        assert cls.__module__ == "morvax.velto._wrpgen._interop" and cls.__name__ == name
        assert cls.__dict__["_morvax_clr_host"] is None and cls.__dict__["_morvax_clr_castable_obj"] is None
    expected = {
        "_IColWrapper": {"_IterableWrapper"},
        "_IListWrapper": {"_IterableWrapper", "_IColWrapper"},
        "_RoColBaseWrapper": {"_IterableWrapper", "_IColWrapper"},
        "_ColBaseWrapper": {"_IterableWrapper", "_IColWrapper", "_IListWrapper"},
        "_ArrayWrapper": {"_IterableWrapper", "_IColWrapper", "_IListWrapper"},
        "_ArrListWrapper": {"_IterableWrapper", "_IColWrapper", "_IListWrapper"},
    }
    for name in ADAPTERS:
        cls = getattr(interop, name)
        if name in expected:
            want = {getattr(interop, n) for n in expected[name]}
            assert cls.__dict__["_additional_interfaces"] == want
            assert cls.__dict__["_implicit_interfaces"] == want
        else:
            assert "_additional_interfaces" not in cls.__dict__ and "_implicit_interfaces" not in cls.__dict__


def test_adapters_are_made_only_by_the_runtime(interop, probe):
    for name in ADAPTERS:
        cls = getattr(interop, name)
        with pytest.raises(TypeError, match="^type has no available constructor$"):
            cls()
        with pytest.raises(TypeError):
            type("Sub", (cls,), {})
    with pytest.raises(TypeError, match=r"^cannot convert from  'int' to 'morvax.velto._wrpgen._interop._IListWrapper'$"):
        interop._IListWrapper._reinterpret_obj(3)
    assert interop._ArrListWrapper._is_assignable(probe.array_list) is True
    assert interop._ArrListWrapper._is_assignable(probe.array) is False
    assert interop._IterableWrapper._is_assignable(probe.array) is True


def test_a_missing_entry_point_refuses_the_adapters_that_need_it(built):
    # A build of the interop assembly without the list class's Sort entry: the list
    # adapters refuse, the array list (served by its own class) keeps working.
    variant = BUILD / "test-assemblies" / "omit-inline"
    code = """
import morvax.velto as mv
p = mv.testing.ContainerProbe()
print("ARRLIST", list(p.array_list))
for attempt in range(2):
    try:
        p.list
        print("NO ERROR")
    except TypeError as e:
        _show_chain(e)
try:
    p.collection_base
except TypeError as e:
    _show_chain(e)
"""
    result = run_python(code, env={"NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(variant)})
    assert "ARRLIST [1, 2, 3]" in result.stdout, result.stdout + result.stderr
    chain = chain_lines(result)
    # The list class is the list adapter's own: its failure is not chained. For the
    # collection-base adapter it is a referenced class.
    assert len(chain) == 4 and chain[0] == chain[1] == chain[3], chain
    assert "SiApiCntList" in chain[0] and "'Sort' not found" in chain[0]
    assert chain[2] == "TypeError: one or more refereced type is not initialized"


# --- iteration and disposal on real members -------------------------------------------------


def test_for_loops_walk_net_enumeration_and_ask_anew_each_time(interop, probe):
    items = probe.enumerable
    assert type(items) is interop._IterableWrapper
    assert list(items) == [1, 2, 3] and list(items) == [1, 2, 3]
    it = iter(items)
    assert type(it) is interop._IterWrapper and iter(it) is it
    assert [next(it), next(it), next(it)] == [1, 2, 3]
    with pytest.raises(StopIteration):
        next(it)
    with pytest.raises(TypeError, match="non-iterator"):
        iter(probe.null_enumerable)
    assert probe.drain(probe.enumerator) == 3


def test_iteration_wraps_each_item_as_its_own_type_and_stops_at_a_change(mv, interop, probe, handles):
    """Items of the type wrapped last come back as handles that this side wraps, the rest as
    built objects: runs of one type, types alternating, values and None between them must
    each arrive as themselves, with every handle released; a list changed between two
    items stops the loop with .NET's error instead of reading ahead or going on."""
    doc = mv.Document()
    values = probe.array_list
    values.clear()
    pattern = [mv.testing.ValueProbe(), mv.testing.ValueProbe(), 3, None, doc, mv.testing.ValueProbe(), "x", doc, doc]
    for item in pattern:
        values.append(item)
    before = handles.live()
    for _ in range(3):
        got = list(iter(values))
        assert [type(g) for g in got] == [type(p) for p in pattern]
        assert got[2:4] == [3, None] and got[6] == "x" and got[4] == doc and got[8] == doc
        del got
    assert handles.live() == before
    it = iter(values)
    assert type(next(it)) is mv.testing.ValueProbe
    values.append(1)
    with pytest.raises(RuntimeError, match="Collection was modified"):
        next(it)
    del it
    assert handles.live() == before


def test_with_disposes_exactly_once_and_never_swallows(probe):
    with probe.disposable as d:
        assert d is not None
    assert probe.dispose_count == 1
    with pytest.raises(KeyError):
        with probe.disposable:
            raise KeyError("inside")
    assert probe.dispose_count == 2


def test_disposable_bound_classes_are_context_managers(mv, probe):
    cache = mv.shaping.BasicTextShaperCache()
    probe.fill_shaper_cache(cache, 3)
    with cache as entered:
        assert entered is cache and probe.cached_shapers(cache) == 3
    # The cache's Dispose ran once and released every shaper it held.
    assert probe.cache_dispose_count(cache) == 1
    assert probe.cached_shapers(cache) == 0 and probe.shapers_disposed == 3

    # An exception in the block comes out unchanged, and the object is still disposed.
    error = KeyError("inside")
    with pytest.raises(KeyError) as raised:
        with cache:
            raise error
    assert raised.value is error and probe.cache_dispose_count(cache) == 2

    shaper = probe.new_shaper()
    assert isinstance(shaper, mv.shaping.ITextShaper)
    with shaper as entered:
        assert entered is shaper
    assert probe.shapers_disposed == 4
    # The with protocol takes the interpreter's three exit arguments, or any others.
    assert shaper.__exit__(None, None, None) is None and shaper.__exit__() is None
    assert probe.shapers_disposed == 6


# --- Python iterables handed to .NET ---------------------------------------------------------


def test_python_iterables_of_every_shape_cross(mv, probe):
    def gen():
        yield from (1, 2)

    class OnlyGetItem:
        def __getitem__(self, i):
            if i >= 3:
                raise IndexError
            return i

    assert [probe.sum_all(x) for x in (range(10), [1, 2], (3,), gen(), {4: 0}, {5}, OnlyGetItem())] == \
        [45, 3, 3, 3, 4, 5, 3]
    assert probe.join(None) == "no items"
    assert probe.join(["x", None, 2.5]) == "x,null,2.5"
    assert probe.sum_all(probe.array) == 18  # a .NET enumerable crosses as itself
    for bad in (5, object()):
        with pytest.raises(TypeError, match=f"^can't build IEnumerable value from '{type(bad).__name__}'$"):
            probe.sum_all(bad)
    with pytest.raises(TypeError, match="^can't build IEnumerable value from 'morvax.velto.testing.ValueProbe'$"):
        probe.sum_all(mv.testing.ValueProbe())

    def failing():
        yield 1
        raise KeyError("half way")

    with pytest.raises(KeyError):
        probe.sum_all(failing())

    class NotAnIterator:
        def __iter__(self):
            return 3

    with pytest.raises(TypeError):
        probe.sum_all(NotAnIterator())


# --- the list protocol against Python's list ----------------------------------------------


def outcome(action):
    try:
        return ("ok", action())
    except Exception as e:  # noqa: BLE001 - the type is what is compared
        return ("error", type(e))


def test_list_operations_match_a_python_list(probe):
    rng = random.Random(1234)
    net = probe.numbers(6)
    ref = list(range(6))
    ops = [
        lambda x, v, i, s: x.append(v),
        lambda x, v, i, s: x.insert(i, v),
        lambda x, v, i, s: x.pop(i) if x else x.pop(),
        lambda x, v, i, s: x.pop(),
        lambda x, v, i, s: x.remove(v),
        lambda x, v, i, s: x.index(v),
        lambda x, v, i, s: x.index(v, i),
        lambda x, v, i, s: x.count(v),
        lambda x, v, i, s: x[i],
        lambda x, v, i, s: x.__setitem__(i, v),
        lambda x, v, i, s: x.__delitem__(i),
        lambda x, v, i, s: x[s],
        lambda x, v, i, s: x.__delitem__(s),
        lambda x, v, i, s: x.__setitem__(s, [v] * len(range(*s.indices(len(x))))),
        lambda x, v, i, s: x.extend([v, v + 1]),
        lambda x, v, i, s: x.extend(iter((v,))),
        lambda x, v, i, s: x + [v],
        lambda x, v, i, s: x * (i % 3),
        lambda x, v, i, s: v in x,
        lambda x, v, i, s: x.reverse(),
        lambda x, v, i, s: x.sort(reverse=bool(i % 2)),
        lambda x, v, i, s: x.copy(),
        lambda x, v, i, s: len(x),
    ]
    for step in range(600):
        op = rng.choice(ops)
        v, i = rng.randrange(8), rng.randrange(-9, 9)
        s = slice(rng.choice([None, -3, 0, 2, 7]), rng.choice([None, -1, 3, 9]), rng.choice([None, 1, 2, -1, -2]))
        got, want = outcome(lambda: op(net, v, i, s)), outcome(lambda: op(ref, v, i, s))
        assert got == want, (step, op, v, i, s)
        assert list(net) == ref, (step, v, i, s)
        if len(ref) > 30:
            net.clear()
            ref.clear()


def test_list_messages_and_the_rules_where_a_net_list_differs(interop, probe):
    x = probe.numbers(5)
    assert x[-1] == 4
    with pytest.raises(IndexError, match="^list index out of range$"):
        x[len(x)]
    with pytest.raises(ValueError, match="^attempt to assign sequence of size 3 to extended slice of size 2$"):
        x[1:3] = ["a", "b", "c"]
    assert list(x) == [0, 1, 2, 3, 4]
    with pytest.raises(TypeError, match="^must assign iterable to extended slice$"):
        x[0:1] = 5
    with pytest.raises(TypeError, match="^list indices must be integers or slices, not str$"):
        x["a"]
    with pytest.raises(ValueError, match="^custom sorting key is not supported$"):
        x.sort(key=len)
    with pytest.raises(ValueError, match="^argument must be iterable or sequence$"):
        x.extend(5)
    with pytest.raises(TypeError, match=r"^pop\(\) takes at most 1 argument \(2 given\)$"):
        x.pop(1, 2)
    with pytest.raises(TypeError, match="^argument should be integer or None, not 'str'$"):
        x.pop("1")
    with pytest.raises(ValueError, match=r"^list.remove\(x\): x not in list$"):
        x.remove(99)
    with pytest.raises(ValueError, match="^value is not in list$"):
        x.index(0, 2)
    same = x
    x += [9]
    assert x is same and list(x) == [0, 1, 2, 3, 4, 9]
    x *= 2
    assert len(x) == 12
    assert type(x + [1]) is list and type(x * 2) is list and x * 0 == [] and type(x.copy()) is list
    x[0:2] = probe.numbers(2)  # a .NET operand is offered whole
    x.extend(probe.numbers(2))
    assert list(x)[:2] == [0, 1] and list(x)[-2:] == [0, 1]
    e = probe.numbers(0)
    with pytest.raises(IndexError, match="^pop from empty list$"):
        e.pop()
    with pytest.raises(IndexError, match="^pop index out of range$"):
        x.pop(100)

    arr = probe.array
    with pytest.raises(ValueError, match="^elements removing not supported$"):
        del arr[0]
    with pytest.raises(ValueError, match="^elements removing not supported$"):
        del arr[::2]
    with pytest.raises(TypeError, match="^list indices must be integers or slices, not str$"):
        del arr["k"]
    arr[::2] = [70, 50]
    arr.sort()
    assert list(arr) == [6, 50, 70] and not hasattr(arr, "append")

    col = probe.collection
    assert type(col) is interop._IColWrapper and col.length == len(col) == 3
    assert col + (4,) == [1, 2, 3, 4] and col * 2 == [1, 2, 3] * 2 and col.copy() == [1, 2, 3]
    assert col.count(2) == 1 and col.contains(3) and 9 not in col
    with pytest.raises(TypeError):
        col[0]


# --- ownership --------------------------------------------------------------------------------


def test_handles_and_references_are_released_after_many_operations(probe, handles):
    x = probe.numbers(10)
    marker = object()
    watched = [marker, 7, "text"]
    for _ in range(3):  # warm the caches
        list(x), x[1:3], probe.sum_all([1])
    before_counts = [sys.getrefcount(o) for o in watched]
    before = handles.live()
    for n in range(100_000):
        k = n % 10
        if k == 0:
            x[n % 10] = 7
        elif k == 1:
            x[2:4]
        elif k == 2:
            for _ in probe.enumerable:
                pass
        elif k == 3:
            probe.join(["text", 7])
        elif k == 4:
            try:
                x[100]
            except IndexError:
                pass
        elif k == 5:
            try:
                x.append(marker)  # an object .NET cannot take fails without leaking it
            except Exception:
                pass
        elif k == 6:
            try:
                x[0:2] = [1, 2, 3]
            except ValueError:
                pass
        elif k == 7:
            7 in x
        elif k == 8:
            try:
                probe.sum_all(iter([marker]))
            except Exception:
                pass
        else:
            with probe.disposable:
                pass
    gc.collect()
    assert [sys.getrefcount(o) for o in watched] == before_counts
    assert handles.live() == before
    assert len(x) == 10
