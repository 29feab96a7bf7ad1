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
doc.built_in_document_properties.author = "morvax.velto demo"
doc.custom_document_properties.add("Reviewed", True)
result = doc.save(path)
text_path = os.path.join(folder, "demo.txt")
doc.save(text_path, mv.SaveFormat.TEXT)

with zipfile.ZipFile(path) as package:
    parts = package.namelist()
again = mv.Document(path)
print(f"morvax.velto {mv.VERSION} ({mv.BuildVersionInfo.product} {mv.BuildVersionInfo.version})")
print(f"saved {path}: {os.path.getsize(path)} bytes, {result.content_type}, parts {', '.join(sorted(parts))}")
print(f"saved {text_path} as {mv.SaveFormat.TEXT!r}: {os.path.getsize(text_path)} bytes")
print(f"created {doc.built_in_document_properties.created_time:%Y-%m-%d %H:%M} UTC by "
      f"{doc.built_in_document_properties.author}; reviewed: {doc.custom_document_properties.get('Reviewed').value}")
print(f"read back {again.first_section.body.paragraphs.count} paragraphs:")
for line in again.get_text().strip("\f\r").split("\r"):
    print("   ", line)
