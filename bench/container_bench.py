"""Cost per item of the container adapters against a floor measured in the same run.

Floors are bare C extensions of module _bench_floor, each making one plain round trip
into an empty [UnmanagedCallersOnly] method: an iterator whose next() makes one round trip
and creates a 24-byte object stands for iteration, a subscript with one round trip for
x[i], and the int-result method for the other per-item costs.
Usage: container_bench.py <build dir>
"""
import os
import sys
import time
import timeit

build = sys.argv[1]
sys.path[:0] = [os.path.join(build, "python"), os.path.join(build, "bench")]
import morvax.velto as mv  # noqa: E402
import _bench_floor as floor  # noqa: E402

N = 100_000
floor.bind()
probe = mv.testing.ContainerProbe()
objects = probe.objects(N)
numbers = probe.numbers(N)
ints = list(range(N))
int_result = floor.int_result
subscriptable = floor.subscriptable()


def per_item(statement, setup="pass", repeat=5):
    return min(timeit.repeat(statement, setup=setup, number=1, repeat=repeat, globals=globals())) / N * 1e9


CASES = [
    ("iterate .NET enumerable (wrapped)", "for _ in objects: pass", "for _ in floor.iterate(N): pass", 2.5),
    ("x[i] on a .NET list of ints", "for i in range(N): numbers[i]", "for i in range(N): subscriptable[i]", 2.0),
    ("list(x) of a .NET list", "list(numbers)", "for i in range(N): int_result()", None),
    ("extend from a Python list of ints", "e.extend(ints)", "for i in range(N): int_result()", None),
]

# Warm up tiered compilation: .NET recompiles a hot method optimised in the background a
# while after its first calls, so one round and a pause can leave the first case measuring
# unoptimised code on a busy machine.
for _round in range(3):
    for _, bound, base, _target in CASES:
        e = probe.numbers(0)
        timeit.timeit(bound, number=1, globals=globals())
        timeit.timeit(base, number=1, globals=globals())
    time.sleep(0.5)

print(f"{'case (per item)':36} {'bound ns':>9} {'floor ns':>9} {'ratio':>6}  target")
for name, bound, base, target in CASES:
    b = per_item(bound, setup="e = probe.numbers(0)")
    f = per_item(base)
    mark = "" if target is None else (f"<= {target:.1f}x " + ("ok" if b / f <= target else "MISSED"))
    print(f"{name:36} {b:9.1f} {f:9.1f} {b / f:6.2f}  {mark}")
