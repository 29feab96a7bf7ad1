"""A user's .docx workload against python-docx doing the same in the same run.

The document is pandoc's output for a long Markdown text (sections, paragraphs with bold and
italic, tables). The workload: load it, read the text of every body paragraph and of every
table cell, save it. Each library runs in its own fresh process (best of three), which also
reports its peak resident memory.
Usage: docx_bench.py <build dir> [sections]
"""
import os
import random
import resource
import subprocess
import sys
import tempfile
import time

LETTERS = "abcdefghijklmnopqrstuvwxyz"
build = os.path.abspath(sys.argv[1])
sections = int(sys.argv[2]) if len(sys.argv) > 2 else 600

OURS = """
import morvax.velto as mv
PARAGRAPH, TABLE = mv.NodeType.PARAGRAPH, mv.NodeType.TABLE
Composite = mv.CompositeNode

def children(node):
    child = Composite._cast_to(node).first_child
    while child is not None:
        yield child
        child = child.next_sibling

def workload(source, target):
    doc = mv.Document(source)
    texts = []
    section = doc.first_section
    while section is not None:
        for block in children(section.body):
            kind = block.node_type
            if kind == PARAGRAPH:
                texts.append(block.get_text())
            elif kind == TABLE:
                for row in children(block):
                    for cell in children(row):
                        texts.append(cell.get_text())
        section = mv.Section._cast_to(section.next_sibling) if section.next_sibling is not None else None
    doc.save(target)
    return len(texts)
"""

THEIRS = """
import docx

def workload(source, target):
    doc = docx.Document(source)
    texts = [p.text for p in doc.paragraphs]
    for table in doc.tables:
        for row in table.rows:
            for cell in row.cells:
                texts.append(cell.text)
    doc.save(target)
    return len(texts)
"""

RUN = """
import resource, sys, time
{library}
best = None
for _ in range(3):
    start = time.perf_counter()
    count = workload(sys.argv[1], sys.argv[2])
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print(best, count, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)
"""


def markdown(count):
    # Varied words, so that the package is as large as a real document's.
    words = random.Random(7)
    def sentence(n):
        return " ".join("".join(words.choice(LETTERS) for _ in range(words.randint(2, 9))) for _ in range(n))
    parts = []
    for s in range(count):
        parts.append(f"# Section {s}\n")
        for p in range(8):
            parts.append(f"{sentence(12)} *{sentence(3)}* {sentence(10)} **{sentence(2)}** {sentence(30)}.\n")
        parts.append("| Name | Value | Note |\n|------|------:|------|\n")
        for r in range(4):
            parts.append(f"| row {r} | {r * s} | a note on row {r} |\n")
        parts.append("\n")
    return "\n".join(parts)


def measure(library, source, target, env):
    out = subprocess.run([sys.executable, "-c", RUN.format(library=library), source, target],
                         check=True, capture_output=True, text=True, env=env, timeout=600).stdout.split()
    return float(out[0]), int(out[1]), int(out[2]) / 1024


def main():
    env = dict(os.environ, PYTHONPATH=os.path.join(build, "python"))
    with tempfile.TemporaryDirectory() as folder:
        md, source = os.path.join(folder, "long.md"), os.path.join(folder, "long.docx")
        with open(md, "w", encoding="utf-8") as out:
            out.write(markdown(sections))
        subprocess.run(["pandoc", md, "-o", source], check=True, timeout=600)
        ours = measure(OURS, source, os.path.join(folder, "ours.docx"), env)
        theirs = measure(THEIRS, source, os.path.join(folder, "theirs.docx"), env)
        print(f"docx workload on {os.path.getsize(source) / 1e6:.1f} MB ({sections} sections; load, "
              f"every paragraph's and cell's text, save; best of 3)")
        print(f"  morvax.velto: {ours[0]:.3f} s, {ours[1]} texts, peak RSS {ours[2]:.0f} MB")
        print(f"  python-docx:  {theirs[0]:.3f} s, {theirs[1]} texts, peak RSS {theirs[2]:.0f} MB")
        print(f"  python-docx / morvax.velto time: {theirs[0] / ours[0]:.2f}x; "
              f"peak RSS ratio (ours / theirs): {ours[2] / theirs[2]:.2f}")


if __name__ == "__main__":
    main()
