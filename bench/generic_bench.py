"""Cost per item of the typed containers against the untyped adapter and a floor, one run.

Reads all items of a .NET Paragraph[] of 100,000 through its typed adapter
(_ArrayWrapper_7598A062) and through the untyped _ArrayWrapper of the same array; the floor
is the containers' iteration floor (a bare C iterator making one round trip into an empty
[UnmanagedCallersOnly] method and creating a 24-byte object per item). Every round times the
untyped walk, the floor and the typed walk one after the other (interleaved.py). Then a
Python list of 100,000 ints passed to a member taking int[] (per item, against the same call
with an empty list).
Usage: generic_bench.py <build dir>
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
probe = mv.testing.GenericProbe()
typed = probe.many_paragraphs(N)
untyped = mv._wrpgen._interop._ArrayWrapper._cast_as(typed)
assert type(typed).__name__ == "_ArrayWrapper_7598A062" and type(untyped).__name__ == "_ArrayWrapper"
ints = list(range(N))
empty = []

FLOOR = "for _ in floor.iterate(N): pass"
# (name, measured, against, target of the ratio)
CASES = [
    ("iterate Paragraph[] typed vs untyped", "for _ in typed: pass", "for _ in untyped: pass", 0.8),
    ("iterate Paragraph[] typed vs floor", "for _ in typed: pass", FLOOR, None),
    ("iterate Paragraph[] untyped vs floor", "for _ in untyped: pass", FLOOR, None),
    ("x[i] on Paragraph[] typed vs untyped", "for i in range(N): typed[i]", "for i in range(N): untyped[i]", None),
    ("x[i] on Paragraph[] typed vs floor", "for i in range(N): typed[i]", FLOOR, None),
]
ROUNDS = 25

warm_up([s for _, bound, base, _ in CASES for s in (bound, base)], globals())
seen = timings([(bound, base) for _, bound, base, _ in CASES], globals(), rounds=ROUNDS, per=N)
print(f"{ROUNDS} interleaved rounds; ns per item is the minimum over the rounds, spread how far the median lies above it")
print(header(base="than ns"))
for name, bound, base, target in CASES:
    print(row(name, seen, bound, base, target))
sums = timings([("probe.sum(ints)", "probe.sum(empty)")], globals(), rounds=ROUNDS)
call, base = min(sums["probe.sum(ints)"]), min(sums["probe.sum(empty)"])
print(f"{'list of 100,000 ints to int[] (per item)':44} {(call - base) / N:9.1f}")
