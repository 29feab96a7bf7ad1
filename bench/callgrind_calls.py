"""Instructions per call of the bound cases of binding_bench.py, against their floors.

Instruction counts do not depend on what else the machine is doing, so they show a change
that the timings of a busy machine hide. One process runs under callgrind; the floor module
marks the start and end of each batch of calls (a dump per mark), and each case's count is
its batch less the same loop around an empty statement, divided by the number of calls;
the per-item container cases compare whole loops, loop included, as container_bench.py does.
.NET compiles everything optimised at once here (no tiering): with tiering, when the
optimised code arrives depends on timing, and so would the counts. Under valgrind the JIT's
code lands too far from the runtime's data for the 32-bit relative addresses it would use,
and the JIT then gives up optimising a method and compiles it again unoptimised; with
optional relocations off it uses full addresses and keeps its optimised code, as in a
normal run.
With --tiered the runtime compiles as in a normal run instead, warmed up until the optimised,
profile-guided code is in place (the counts then vary a little with timing). The two differ
where the profile matters: entry points are compiled once without a profile either way, the
methods behind them get the profile's devirtualised calls only with tiering, so moving work
between an entry point and the methods it calls can gain without tiering and lose with it.
Usage: callgrind_calls.py <build dir> [--tiered]     (runs itself under valgrind)
"""
import glob
import os
import re
import subprocess
import sys
import tempfile

from bound_cases import AGAINST_INT, CASES

CALLS = 20_000

# Per item, each a whole loop over CALLS items: (name, bound loop, floor loop).
ITEM_CASES = [
    ("iterate .NET enumerable (wrapped)", "for _ in objects: pass", f"for _ in floor.iterate({CALLS}): pass"),
    ("x[i] on a .NET list of ints", f"for i in range({CALLS}): numbers[i]",
     f"for i in range({CALLS}): subscriptable[i]"),
    ("iterate Paragraph[] typed", "for _ in paragraphs: pass", f"for _ in floor.iterate({CALLS}): pass"),
    ("iterate Paragraph[] untyped", "for _ in untyped_paragraphs: pass", f"for _ in floor.iterate({CALLS}): pass"),
    ("x[i] on Paragraph[] typed", f"for i in range({CALLS}): paragraphs[i]", f"for _ in floor.iterate({CALLS}): pass"),
    ("x[i] on Paragraph[] untyped", f"for i in range({CALLS}): untyped_paragraphs[i]",
     f"for _ in floor.iterate({CALLS}): pass"),
    ("body.paragraphs vs its array walk", "for _ in body_paragraphs: pass", "for _ in body_array: pass"),
    ("iterate Node[] typed (paragraphs and runs)", "for _ in mixed_nodes: pass", f"for _ in floor.iterate({CALLS}): pass"),
]


def measure(build):
    """Inside valgrind: warm up, then one marked batch per statement."""
    sys.path[:0] = [os.path.join(build, "python"), os.path.join(build, "bench")]
    import morvax.velto as mv
    import _bench_floor as floor

    import datetime

    floor.bind()
    containers = mv.testing.ContainerProbe()
    doc = mv.Document()
    doc.warning_callback = warnings = mv.WarningInfoCollection()
    names = {"probe": mv.testing.ValueProbe(), "doc": doc, "floor": floor, "warnings": warnings,
             "moment": datetime.datetime(2024, 2, 29, 13, 14, 15, 161718), "TEXT": mv.SaveFormat.TEXT,
             "objects": containers.objects(CALLS), "numbers": containers.numbers(CALLS),
             "subscriptable": floor.subscriptable()}
    names["paragraphs"] = mv.testing.GenericProbe().many_paragraphs(CALLS)
    names["untyped_paragraphs"] = mv._wrpgen._interop._ArrayWrapper._cast_as(names["paragraphs"])
    builder = mv.DocumentBuilder(mv.Document())
    for _ in range(CALLS - 1):
        builder.writeln("x")
    names["body_paragraphs"] = builder.document.first_section.body.paragraphs
    names["body_array"] = names["body_paragraphs"].to_array()
    # CALLS nodes of two classes: paragraphs, each holding one run.
    builder = mv.DocumentBuilder(mv.Document())
    for _ in range(CALLS // 2 - 1):
        builder.writeln("x")
    builder.write("x")
    names["mixed_nodes"] = builder.document.first_section.body.get_child_nodes(mv.NodeType.ANY, True).to_array()
    assert len(names["mixed_nodes"]) == CALLS
    statements = ["pass"] + [s for _, bound, base in CASES + AGAINST_INT for s in (bound, base)]
    loops = {s: compile(f"for _ in range({CALLS}):\n    {s}\n", s, "exec") for s in statements}
    runs = {s: (lambda code=code: exec(code, names)) for s, code in loops.items()}
    # The per-item cases are whole loops of CALLS items, each run inside a function as timeit
    # runs it (the loop variable a local, not a store into the module's dictionary).
    for _, bound, base in ITEM_CASES:
        statements += [bound, base]
        for s in (bound, base):
            exec(compile(f"def item_loop():\n    {s}\n", s, "exec"), names)
            runs[s] = names["item_loop"]
    # With tiering, each warm-up round leaves the runtime's background compiler time to install
    # the next tier before the next round.
    import time
    tiered = os.environ.get("DOTNET_TieredCompilation") != "0"
    for _ in range(15 if tiered else 1):
        for run in runs.values():
            run()
        if tiered:
            time.sleep(0.2)
    for index, statement in enumerate(statements):
        run = runs[statement]
        floor.callgrind_mark(f"before-{index}")
        run()
        floor.callgrind_mark(f"batch-{index}")


def instructions(path):
    with open(path) as dump:
        for line in dump:
            if line.startswith("summary:") or line.startswith("totals:"):
                return int(line.split()[1])
    raise RuntimeError(f"no totals in {path}")


def main(build, tiered):
    with tempfile.TemporaryDirectory() as out:
        # A fixed hash seed: the dictionaries' probing, and so their instruction counts, vary with it.
        env = dict(os.environ, PYTHONHASHSEED="0", DOTNET_TieredCompilation="1" if tiered else "0",
                   DOTNET_EnableWriteXorExecute="0", DOTNET_JitEnableOptionalRelocs="0")
        subprocess.run(["valgrind", "--tool=callgrind", "--collect-atstart=yes", "--dump-instr=no",
                        f"--callgrind-out-file={out}/cg.out.%p", sys.executable, __file__, "--measure", build],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        batches = {}
        for path in glob.glob(f"{out}/cg.out.*"):
            with open(path) as dump:
                head = dump.read(4096)
            match = re.search(r"^desc: Trigger: Client Request: batch-(\d+)$", head, re.M)
            if match:
                batches[int(match.group(1))] = instructions(path)
    empty = batches[0]
    print(f"{'case (callgrind)':36} {'bound Ir':>9} {'floor Ir':>9} {'ratio':>6}   instructions per call")
    flat = len(CASES) + len(AGAINST_INT)
    for i, (name, _, _) in enumerate(CASES + AGAINST_INT + ITEM_CASES):
        if i == len(CASES):
            print(f"{'  against the int property:':36} {'Ir':>9} {'int Ir':>9}")
        # The per-item cases compare whole loops, as container_bench.py does.
        loop = empty if i < flat else 0
        bound = (batches[1 + 2 * i] - loop) / CALLS
        base = (batches[2 + 2 * i] - loop) / CALLS
        print(f"{name:36} {bound:9.0f} {base:9.0f} {bound / base:6.2f}")


if __name__ == "__main__":
    if sys.argv[1] == "--measure":
        measure(sys.argv[2])
    else:
        main(os.path.abspath(sys.argv[1]), "--tiered" in sys.argv[2:])
