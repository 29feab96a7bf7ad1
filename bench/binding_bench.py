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

import datetime  # noqa: E402

floor.bind()
probe = mv.testing.ValueProbe()
moment = datetime.datetime(2024, 2, 29, 13, 14, 15, 161718)
TEXT = mv.SaveFormat.TEXT
doc = mv.Document()
probe.int_32_value = 5


def best(statement, number=200_000, repeat=5):
    return min(timeit.repeat(statement, number=number, repeat=repeat, globals=globals())) / number * 1e9


CASES = [
    ("no-argument method", "probe.zero()", "floor.no_arguments()", 2.0),
    ("int property get", "probe.int_32_value", "floor.int_result()", 2.0),
    ("str property get (20 chars)", "probe.name_20", "floor.str_result()", 3.0),
    ("property set (int)", "probe.int_32_value = 5", "floor.one_argument(5)", None),
    ("3-overload method, third matches", "probe.echo(2.5)", "floor.parsed_arguments(2.5)", 4.0),
    ("wrapper creation and release", "doc.first_section", "floor.new_object()", None),
]

# Enumerations and dates, against the int property of the same probe in the same run.
AGAINST_INT = [
    ("enum result (property get)", "probe.format", "probe.int_32_value"),
    ("enum argument (property set)", "probe.format = TEXT", "probe.int_32_value = 5"),
    ("datetime round trip (set + get)", "probe.when = moment; probe.when", "probe.int_32_value = 5; probe.int_32_value"),
]

# Warm up: .NET compiles hot methods again, optimised, a little after their first calls
# (tiered compilation); measure the steady state, as a long-running program sees it.
for _, bound, base, *_ in CASES + AGAINST_INT:
    timeit.timeit(bound, number=50_000, globals=globals())
    timeit.timeit(base, number=50_000, globals=globals())
time.sleep(1.0)
for _, bound, base, *_ in CASES + AGAINST_INT:
    timeit.timeit(bound, number=50_000, globals=globals())

print(f"{'case':36} {'bound ns':>9} {'floor ns':>9} {'ratio':>6}  target")
for name, bound, base, target in CASES:
    b, f = best(bound), best(base)
    mark = "" if target is None else (f"<= {target:.0f}x " + ("ok" if b / f <= target else "MISSED"))
    print(f"{name:36} {b:9.1f} {f:9.1f} {b / f:6.2f}  {mark}")

print()
print(f"{'case':36} {'ns':>9} {'int ns':>9} {'ratio':>6}")
for name, bound, base in AGAINST_INT:
    b, f = best(bound), best(base)
    print(f"{name:36} {b:9.1f} {f:9.1f} {b / f:6.2f}")
