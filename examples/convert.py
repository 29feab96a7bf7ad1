"""Converts every document in a folder to another format, with a progress line per file.

Usage: convert.py <source folder> <target folder> <extension>   (for example: md, html, txt, docx)
"""
import os
import sys

import morvax.velto as mv

READABLE = {".docx", ".docm", ".dotx", ".dotm", ".txt"}


def main() -> int:
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    source, target, extension = sys.argv[1], sys.argv[2], sys.argv[3].lstrip(".")
    os.makedirs(target, exist_ok=True)
    names = [n for n in sorted(os.listdir(source)) if os.path.splitext(n)[1].lower() in READABLE]
    failures = 0
    for number, name in enumerate(names, 1):
        output = os.path.join(target, os.path.splitext(name)[0] + "." + extension)
        try:
            mv.Document(os.path.join(source, name)).save(output)
            print(f"[{number}/{len(names)}] {name} -> {output} ({os.path.getsize(output)} bytes)")
        except Exception as error:  # report the file and go on with the rest
            failures += 1
            print(f"[{number}/{len(names)}] {name}: failed: {error}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
