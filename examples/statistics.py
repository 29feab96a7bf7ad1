"""Reads every document in a folder and prints its statistics.

Usage: statistics.py <folder>
"""
import os
import sys

import morvax.velto as mv

READABLE = {".docx", ".docm", ".dotx", ".dotm", ".txt"}


def describe(path: str) -> str:
    doc = mv.Document(path)
    text = doc.get_text()
    paragraphs = doc.get_child_nodes(mv.NodeType.PARAGRAPH, True).count
    title = doc.built_in_document_properties.title or "(untitled)"
    return (f"{os.path.basename(path)}: {title!r}, {len(text.split())} words, "
            f"{len(text.strip())} characters, {paragraphs} paragraphs, about {doc.page_count} page(s)")


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = sys.argv[1]
    failures = 0
    for name in sorted(os.listdir(folder)):
        if os.path.splitext(name)[1].lower() not in READABLE:
            continue
        try:
            print(describe(os.path.join(folder, name)))
        except Exception as error:  # one unreadable file must not stop the listing
            failures += 1
            print(f"{name}: cannot read: {error}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
