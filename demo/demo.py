"""A short demonstration: create a document, fill it, save it and read it back.

Usage: demo.py [output folder]   (default: the current folder)
"""
import os
import sys
import zipfile

import morvax.velto as mv

folder = sys.argv[1] if len(sys.argv) > 1 else "."
os.makedirs(folder, exist_ok=True)
path = os.path.join(folder, "demo.docx")

doc = mv.Document()
builder = mv.DocumentBuilder(doc)
builder.writeln("Hello from Python,")
builder.font.bold = True
builder.write("written by a .NET library running in this process.")
result = doc.save(path)

with zipfile.ZipFile(path) as package:
    parts = package.namelist()
again = mv.Document(path)
print(f"morvax.velto {mv.VERSION} ({mv.BuildVersionInfo.product} {mv.BuildVersionInfo.version})")
print(f"saved {path}: {os.path.getsize(path)} bytes, {result.content_type}, parts {', '.join(sorted(parts))}")
print(f"read back {again.first_section.body.paragraphs.count} paragraphs:")
for line in again.get_text().strip("\f\r").split("\r"):
    print("   ", line)
