"""Cost per item of the typed containers against the untyped adapter and a floor, one run.

Reads all items of a .NET Paragraph[] of 100,000 through its typed adapter
(_ArrayWrapper_7598A062) and through the untyped _ArrayWrapper of the same array; the floor
is the containers' iteration floor (a bare C iterator making one round trip into an empty
[UnmanagedCallersOnly] method and creating a 24-byte object per item). Then a Python list of
100,000 ints passed to a member taking int[] (per item, against the same call with an empty list).
Usage: generic_bench.py <build dir>
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
probe = mv.testing.GenericProbe()
typed = probe.many_paragraphs(N)
untyped = mv._wrpgen._interop._ArrayWrapper._cast_as(typed)
assert type(typed).__name__ == "_ArrayWrapper_7598A062" and type(untyped).__name__ == "_ArrayWrapper"
ints = list(range(N))
empty = []


def per_item(statement, repeat=9):
    return min(timeit.repeat(statement, number=1, repeat=repeat, globals=globals())) / N * 1e9


CASES = ["for _ in typed: pass", "for _ in untyped: pass", "for _ in floor.iterate(N): pass",
         "for i in range(N): typed[i]", "for i in range(N): untyped[i]"]
for statement in CASES:  # warm up tiered compilation
    timeit.timeit(statement, number=1, globals=globals())
time.sleep(0.5)

t_iter, u_iter, f_iter, t_item, u_item = (per_item(s) for s in CASES)
print(f"{'case (per item)':44} {'ns':>8} {'vs untyped':>10} {'vs floor':>9}")
print(f"{'iterate Paragraph[] typed':44} {t_iter:8.1f} {t_iter / u_iter:10.2f} {t_iter / f_iter:9.2f}  target <= 0.8x untyped: "
      + ("ok" if t_iter / u_iter <= 0.8 else "MISSED"))
print(f"{'iterate Paragraph[] untyped':44} {u_iter:8.1f} {1:10.2f} {u_iter / f_iter:9.2f}")
print(f"{'x[i] on Paragraph[] typed':44} {t_item:8.1f} {t_item / u_item:10.2f} {t_item / f_iter:9.2f}")
print(f"{'x[i] on Paragraph[] untyped':44} {u_item:8.1f} {1:10.2f} {u_item / f_iter:9.2f}")
call = min(timeit.repeat("probe.sum(ints)", number=1, repeat=9, globals=globals()))
base = min(timeit.repeat("probe.sum(empty)", number=1, repeat=9, globals=globals()))
print(f"{'list of 100,000 ints to int[] (per item)':44} {(call - base) / N * 1e9:8.1f}")
