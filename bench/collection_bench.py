"""Cost of the collection classes' slots against measures of the same run.

Iterating `body.paragraphs` (the iteration slot: the typed enumerator of Node) over a body of
100,000 paragraphs, per item, against iterating the typed array `body.paragraphs.to_array()`
of the same paragraphs (and reading every `paragraphs[i]` in order against `array[i]`). A
story keeps one paragraph collection, which from its second walk on reads the nodes its last
complete walk kept, while the tree is unchanged. A collection made for each walk
(`body.get_child_nodes(NodeType.PARAGRAPH, False)`) walks the live tree: the cost of a first
walk, shown without a target. And one subscript `paragraphs[i]` (the item slot) against a
no-argument method call on a bound object (`paragraph.get_text()`), per call. Each round
times every pair one right after the other (interleaved.py).
Usage: collection_bench.py <build dir>
"""
import os
import sys

build = sys.argv[1]
sys.path[:0] = [os.path.join(build, "python")]
import morvax.velto as mv  # noqa: E402
from interleaved import header, row, timings, warm_up  # noqa: E402

N = 100_000
PARAGRAPH = mv.NodeType.PARAGRAPH
doc = mv.Document()
builder = mv.DocumentBuilder(doc)
for _ in range(N - 1):
    builder.writeln("x")
body = doc.first_section.body
paragraphs = body.paragraphs
array = paragraphs.to_array()
assert paragraphs.count == N and len(array) == N
first = paragraphs[0]
variables = doc.variables
variables.add("name", "value")

ROUNDS = 25
CALLS = 100_000
METHOD = "first.get_text()"
ITERATE = [
    ("for p in body.paragraphs (per item)", "for _ in body.paragraphs: pass", "for _ in array: pass", 1.2),
    ("a first walk (a collection made for it)", "for _ in body.get_child_nodes(PARAGRAPH, False): pass",
     "for _ in array: pass", None),
    ("paragraphs[i] for every i, in order", "for i in range(N): paragraphs[i]", "for i in range(N): array[i]", None),
]
ITEM = [("paragraphs[0]", "paragraphs[0]", METHOD, 1.5), ("variables[0] (a string element)", "variables[0]", METHOD, None)]

warm_up([s for _, bound, base, _ in ITERATE for s in (bound, base)], globals())
warm_up([s for _, bound, base, _ in ITEM for s in (bound, base)], globals(), number=10_000, passes=1)
walks = timings([(bound, base) for _, bound, base, _ in ITERATE], globals(), rounds=ROUNDS, per=N)
items = timings([(bound, base) for _, bound, base, _ in ITEM], globals(), rounds=ROUNDS, number=CALLS)
print(f"{ROUNDS} interleaved rounds; ns is the minimum over the rounds, spread how far the median lies above it")
print(header("walk against the typed array walk", bound="ns", base="array ns"))
for name, bound, base, target in ITERATE:
    print(row(name, walks, bound, base, target))
print(header("subscript against paragraph.get_text()", bound="ns", base="call ns"))
for name, bound, base, target in ITEM:
    print(row(name, items, bound, base, target))
