"""The handle table under load: lookups take no lock, so every object must still be found
through its own handle while the table grows, reuses freed slots and serves several
threads, and every handle must be given back."""
import threading

import pytest


def test_handles_stay_right_across_growth_and_reuse(mv, handles):
    base = handles.live()
    # Far past the table's first capacities, so that it grows while older handles are read.
    probes = []
    for i in range(9000):
        probe = mv.testing.ValueProbe()
        probe.int_32_value = i
        probes.append(probe)
    assert [p.int_32_value for p in probes] == list(range(9000))
    # Another handle to each object reaches the same object.
    twins = [p.self() for p in probes[::7]]
    for twin, probe in zip(twins, probes[::7]):
        assert twin == probe and twin.int_32_value == probe.int_32_value
    del twins
    # Free every other one, then take freed slots again under new generations.
    kept = probes[1::2]
    del probes
    fresh = []
    for i in range(3000):
        probe = mv.testing.ValueProbe()
        probe.int_32_value = -i
        fresh.append(probe)
    assert [p.int_32_value for p in kept] == list(range(1, 9000, 2))
    assert [p.int_32_value for p in fresh] == [-i for i in range(3000)]
    del kept, fresh, probe, twin
    assert handles.live() == base


def test_threads_creating_reading_and_releasing(mv, handles):
    base = handles.live()
    errors = []

    def work(seed):
        try:
            for i in range(1500):
                probe = mv.testing.ValueProbe()
                probe.int_32_value = seed * 100_000 + i
                twin = probe.self()
                if twin.int_32_value != seed * 100_000 + i:
                    errors.append((seed, i, twin.int_32_value))
                del probe, twin
        except BaseException as error:  # reported below, in the test's thread
            errors.append(error)

    threads = [threading.Thread(target=work, args=(seed,)) for seed in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(timeout=120)
    assert not any(thread.is_alive() for thread in threads)
    assert errors == []
    assert handles.live() == base


def test_setter_conversions_fail_cleanly_and_release_what_they_made(mv, handles):
    base = handles.live()
    probe = mv.testing.ValueProbe()
    probe.int_32_value = 3
    for bad in ("3", 2**40, None, 1.5):
        try:
            probe.int_32_value = bad
        except (TypeError, OverflowError):
            pass
        else:
            raise AssertionError(f"{bad!r} was accepted")
        assert probe.int_32_value == 3
    # Values that own something while they cross (bytes, text, a wrapper) are let go.
    for _ in range(200):
        probe.bytes = b"abc" * 10
        probe.text = "x" * 50
        probe.value = probe.self()
    assert bytes(probe.bytes) == b"abc" * 10 and probe.text == "x" * 50 and probe.value == probe
    probe.value = None
    del probe
    assert handles.live() == base


def test_released_handles_are_freed_in_batches_without_disturbing_a_pending_error(mv, handles):
    # Handles let go of are queued and freed together; a batch may fall due while an
    # exception is on its way out (here: the partial list that list() drops), and must
    # leave it as it is.
    base = handles.live()

    def wrappers_then_failure():
        for _ in range(200):
            yield mv.testing.ValueProbe()
        raise LookupError("kept")

    for _ in range(3):
        with pytest.raises(LookupError, match="^kept$"):
            list(wrappers_then_failure())
    assert handles.live() == base
    # And the queued ones count as released at once.
    probes = [mv.testing.ValueProbe() for _ in range(10)]
    assert handles.live() == base + 10
    del probes
    assert handles.live() == base


def test_enumerator_slots_recycled_among_other_objects(mv, handles):
    # Enumerators handed out for iteration are marked in their slot; once freed, the slot
    # goes to whatever comes next. Every kind of handle must still reach its own object,
    # and every one must be given back.
    import sys
    probe = mv.testing.ContainerProbe()
    values = mv.testing.ContainerProbe().objects(5)
    items = list(probe.enumerable)
    assert len(items) > 2
    marker = object()
    before_marker = sys.getrefcount(marker)
    base = handles.live()
    for n in range(100_000):
        k = n % 8
        if k == 0:
            assert list(probe.enumerable) == items
        elif k == 1:
            it = iter(probe.enumerable)  # abandoned half-way: its slot is freed with the wrapper
            assert next(it) == items[0]
            del it
        elif k == 2:
            assert list(probe.enumerator) == items  # an enumerator a member returned
        elif k == 3:
            it = iter(probe.enumerable)
            next(it)
            assert probe.drain(it) == len(items) - 1  # the marked enumerator read by .NET as an argument
        elif k == 4:
            assert [v.int_32_value for v in values] == [0] * 5
        elif k == 5:
            try:
                probe.sum_all(iter([marker]))
            except Exception:
                pass
        elif k == 6:
            it = iter(values)
            first = next(it)
            assert first.self() == first
            del it, first
        else:
            assert probe.sum_all(probe.enumerable) == sum(items)  # the enumerable itself back to .NET
    assert sys.getrefcount(marker) == before_marker
    assert handles.live() == base


CHURN = '''
import ctypes, sys, time
sys.setswitchinterval(1e-5)   # hand the interpreter lock over often, so the threads interleave
import morvax.velto as mv
from conftest_paths import WRAPPER

def entry(name, *arguments):
    wrapper = ctypes.CDLL(WRAPPER)
    slot = ctypes.c_void_p()
    status = wrapper.coreclr_wrap_create_delegate(
        b"WrpInterop.Morvax.Velto", b"Morvax.WrpGen.Interop.Diagnostics", name, ctypes.byref(slot))
    assert status == 0, hex(status)
    # PYFUNCTYPE keeps the interpreter lock held across the call, as the module's own calls do.
    return ctypes.PYFUNCTYPE(ctypes.c_int, *arguments)(slot.value)

live, result = entry(b"LiveHandleCount"), entry(b"HandleChurnResult")
start, stop = entry(b"StartHandleChurn", ctypes.c_int), entry(b"StopHandleChurn")
probe = mv.testing.ContainerProbe()
objects = probe.objects(3000)
kept = []
base = live()
assert start(2) == 0
for walk in range(40):
    # Issue and free handles on this side meanwhile; keeping some grows the table under the
    # readers of the other threads.
    for item in objects:
        kept.append(item)
    for item in iter(objects):
        pass
    if len(kept) > 40000:
        kept.clear()
del item
print("ROUNDS", stop())
deadline = time.monotonic() + 60
while result() == -1 and time.monotonic() < deadline:
    time.sleep(0.001)
print("FAILURES", result())
kept.clear()
import gc; gc.collect()
print("LIVE", live() - base)
'''


def test_net_threads_adding_and_freeing_while_python_iterates(tmp_path):
    # .NET threads of their own take handles through the any-thread path, which waits for
    # the interpreter lock; a path that did not would hand one slot to two objects.
    from conftest import WRAPPER, run_python
    (tmp_path / "conftest_paths.py").write_text(f"WRAPPER = {str(WRAPPER)!r}\n")
    result = run_python(CHURN, prelude=f"import sys; sys.path.insert(0, {str(tmp_path)!r})", timeout=150)
    assert result.returncode == 0, result.stderr
    lines = dict(line.split(" ", 1) for line in result.stdout.splitlines())
    assert lines["FAILURES"] == "0"
    assert int(lines["ROUNDS"]) > 0
    assert lines["LIVE"] == "0"
