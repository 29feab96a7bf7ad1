"""Cost of bound calls against a floor measured in the same run.

The floor of each line is a bare C-extension method of the same argument form that makes
one plain round trip into an empty [UnmanagedCallersOnly] method (module _bench_floor).
Usage: binding_bench.py <build dir>
"""
import os
import sys
import time
import timeit

build = sys.argv[1]
sys.path[:0] = [os.path.join(build, "python"), os.path.join(build, "bench")]
import morvax.velto as mv  # noqa: E402
import _bench_floor as floor  # noqa: E402
from bound_cases import AGAINST_INT, CASES  # noqa: E402
from interleaved import spread, timings  # noqa: E402

import datetime  # noqa: E402

floor.bind()
probe = mv.testing.ValueProbe()
moment = datetime.datetime(2024, 2, 29, 13, 14, 15, 161718)
TEXT = mv.SaveFormat.TEXT
doc = mv.Document()
probe.int_32_value = 5
warnings = mv.WarningInfoCollection()
doc.warning_callback = warnings


ROUNDS = 7      # each round times every floor and bound statement once, interleaved (interleaved.py)
NUMBER = 100_000


TARGET = 1.3  # the bound call's time at most this many times its floor's

# Warm up: .NET compiles hot methods again, optimised, a little after their first calls
# (tiered compilation); measure the steady state, as a long-running program sees it.
for _, bound, base, *_ in CASES + AGAINST_INT:
    timeit.timeit(bound, number=50_000, globals=globals())
    timeit.timeit(base, number=50_000, globals=globals())
time.sleep(1.0)
for _, bound, base, *_ in CASES + AGAINST_INT:
    timeit.timeit(bound, number=50_000, globals=globals())

seen = timings([(bound, base) for _, bound, base, *_ in CASES + AGAINST_INT], globals(), rounds=ROUNDS, number=NUMBER)
print(f"{ROUNDS} interleaved rounds of {NUMBER} calls; ns per call is the minimum over the rounds,")
print("spread is how far the median round lies above it; the ratio is of the minimums.")
print(f"{'case':36} {'bound ns':>9} {'floor ns':>9} {'ratio':>6} {'spread':>13}  target")
for name, bound, base in CASES:
    b, f = min(seen[bound]), min(seen[base])
    mark = f"<= {TARGET}x " + ("ok" if b / f <= TARGET else "MISSED")
    print(f"{name:36} {b:9.1f} {f:9.1f} {b / f:6.2f} {spread(seen[bound]):5.1f}%/{spread(seen[base]):5.1f}%  {mark}")

print()
print(f"{'case':36} {'ns':>9} {'int ns':>9} {'ratio':>6} {'spread':>13}")
for name, bound, base in AGAINST_INT:
    b, f = min(seen[bound]), min(seen[base])
    print(f"{name:36} {b:9.1f} {f:9.1f} {b / f:6.2f} {spread(seen[bound]):5.1f}%/{spread(seen[base]):5.1f}%")
