"""Builds a short report with headings, formatting and document properties, and saves it
as .docx, .md and .html.

Usage: report.py [output folder]   (default: the current folder)
"""
import os
import sys

import morvax.velto as mv

FINDINGS = [
    ("Throughput", "Requests per second rose by a fifth after the cache was added."),
    ("Latency", "The slowest percentile halved; the median barely moved."),
    ("Cost", "Two fewer servers carry the same load."),
]


def build_report() -> mv.Document:
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)

    builder.paragraph_format.style_name = "Heading 1"
    builder.writeln("Quarterly performance report")
    builder.paragraph_format.style_name = "Normal"
    builder.write("Prepared by the platform team. ")
    builder.font.italic = True
    builder.writeln("Figures are preliminary.")
    builder.font.italic = False

    for title, text in FINDINGS:
        builder.paragraph_format.style_name = "Heading 2"
        builder.writeln(title)
        builder.paragraph_format.style_name = "Normal"
        builder.font.bold = True
        builder.write(f"{title}: ")
        builder.font.bold = False
        builder.writeln(text)

    properties = doc.built_in_document_properties
    properties.title = "Quarterly performance report"
    properties.author = "Platform team"
    properties.subject = "Performance"
    doc.custom_document_properties.add("Quarter", 3)
    doc.custom_document_properties.add("Preliminary", True)
    doc.update_word_count()
    return doc


def main() -> None:
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    doc = build_report()
    for extension in ("docx", "md", "html"):
        path = os.path.join(folder, f"report.{extension}")
        result = doc.save(path)
        print(f"wrote {path}: {os.path.getsize(path)} bytes ({result.content_type})")


if __name__ == "__main__":
    main()
