"""Cost of the collection classes' slots against measures of the same run.

Iterating `body.paragraphs` (the iteration slot: the typed enumerator of Node) over a body of
100,000 paragraphs, per item, against iterating the typed array `body.paragraphs.to_array()`
of the same paragraphs; and one subscript `paragraphs[i]` (the item slot) against a
no-argument method call on a bound object (`paragraph.get_text()`), per call.
Usage: collection_bench.py <build dir>
"""
import os
import sys
import time
import timeit

build = sys.argv[1]
sys.path[:0] = [os.path.join(build, "python")]
import morvax.velto as mv  # noqa: E402

N = 100_000
doc = mv.Document()
builder = mv.DocumentBuilder(doc)
for _ in range(N - 1):
    builder.writeln("x")
paragraphs = doc.first_section.body.paragraphs
array = paragraphs.to_array()
assert paragraphs.count == N and len(array) == N
first = paragraphs[0]
variables = doc.variables
variables.add("name", "value")


def per_item(statement, number, repeat=7):
    return min(timeit.repeat(statement, number=number, repeat=repeat, globals=globals())) / number * 1e9


ITERATE = ["for _ in paragraphs: pass", "for _ in array: pass"]
ITEM = ["paragraphs[0]", "first.get_text()", "variables[0]"]
for statement in ITERATE:  # warm up tiered compilation
    timeit.timeit(statement, number=1, globals=globals())
for statement in ITEM:
    timeit.timeit(statement, number=10_000, globals=globals())
time.sleep(0.5)

collection, typed = (per_item(s, 1) / N for s in ITERATE)
item, method, string_item = (per_item(s, 100_000) for s in ITEM)
print(f"{'case':52} {'ns':>8} {'ratio':>7}")
print(f"{'for p in body.paragraphs (per item)':52} {collection:8.1f} {collection / typed:7.2f}  "
      f"vs the typed array, target <= 1.2x: {'ok' if collection / typed <= 1.2 else 'MISSED'}")
print(f"{'for p in body.paragraphs.to_array() (per item)':52} {typed:8.1f} {1:7.2f}")
print(f"{'paragraphs[0]':52} {item:8.1f} {item / method:7.2f}  "
      f"vs a no-argument method call, target <= 1.5x: {'ok' if item / method <= 1.5 else 'MISSED'}")
print(f"{'variables[0] (a string element)':52} {string_item:8.1f} {string_item / method:7.2f}")
print(f"{'paragraph.get_text() (no-argument method)':52} {method:8.1f} {1:7.2f}")
