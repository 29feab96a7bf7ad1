"""Cost per item of the container adapters against a floor measured in the same run.

Floors are bare C extensions of module _bench_floor, each making one plain round trip
into an empty [UnmanagedCallersOnly] method: an iterator whose next() makes one round trip
and creates a 24-byte object stands for iteration, a subscript with one round trip for
x[i], and the int-result method for the other per-item costs.
Usage: container_bench.py <build dir>
"""
import os
import sys

build = sys.argv[1]
sys.path[:0] = [os.path.join(build, "python"), os.path.join(build, "bench")]
import morvax.velto as mv  # noqa: E402
import _bench_floor as floor  # noqa: E402
from interleaved import header, row, timings, warm_up  # noqa: E402

N = 100_000
floor.bind()
probe = mv.testing.ContainerProbe()
objects = probe.objects(N)
numbers = probe.numbers(N)
ints = list(range(N))
int_result = floor.int_result
subscriptable = floor.subscriptable()

CASES = [
    ("iterate .NET enumerable (wrapped)", "for _ in objects: pass", "for _ in floor.iterate(N): pass", 2.5),
    ("x[i] on a .NET list of ints", "for i in range(N): numbers[i]", "for i in range(N): subscriptable[i]", 2.0),
    ("list(x) of a .NET list", "list(numbers)", "for i in range(N): int_result()", None),
    ("x.copy() / x[:] of a .NET list", "numbers.copy()", "for i in range(N): int_result()", None),
    ("extend from a Python list of ints", "probe.numbers(0).extend(ints)", "for i in range(N): int_result()", None),
]

warm_up([s for _, bound, base, _ in CASES for s in (bound, base)], globals())
ROUNDS = 25
seen = timings([(bound, base) for _, bound, base, _ in CASES], globals(), rounds=ROUNDS, per=N)
print(f"{ROUNDS} interleaved rounds; ns per item is the minimum over the rounds, spread how far the median lies above it")
print(header())
for name, bound, base, target in CASES:
    print(row(name, seen, bound, base, target))
