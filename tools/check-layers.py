#!/usr/bin/env python3
"""Fails when a file of velto/ includes a folder above its own: the layers include downward
only, module -> api -> interop -> host -> common (see velto/README.md).

    check-layers.py <velto source folder>
"""
import pathlib
import re
import sys

# Lowest first; a folder may include its own folder and those before it.
LAYERS = ["common", "host", "interop", "api", "module"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.MULTILINE)


def violations(root):
    for path in sorted(root.rglob("*")):
        parts = path.relative_to(root).parts
        if path.suffix not in (".h", ".cpp") or len(parts) < 2:
            continue
        layer = parts[0]  # a subfolder belongs to the layer it lies in
        if layer not in LAYERS:
            yield f"{path}: folder '{layer}' is not a layer ({', '.join(LAYERS)})"
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            if included in LAYERS and LAYERS.index(included) > LAYERS.index(layer):
                yield f"{path}: {layer}/ includes {included}/, a layer above it"


def main(argv):
    root = pathlib.Path(argv[1] if len(argv) > 1 else pathlib.Path(__file__).parent.parent / "velto")
    found = list(violations(root))
    for line in found:
        print(line, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
