"""Loads a few hundred seeded mutants of a saved .docx, each within a time budget.

Run as a script in its own process: python mutate_documents.py <work dir> [first seed] [count].
Each mutant is loaded and its text read; loading may succeed or fail with the library's
errors for a bad file (FileCorruptedException, UnsupportedFileFormatException, raised as
RuntimeError "Proxy error(...)"). Any other outcome (a NullReferenceException of the reader
included) is printed as
"UNEXPECTED seed <n> (<mutation>): <error>" and the script exits 1; a load that runs past
the budget dumps the stacks and ends the process (faulthandler).
"""
import faulthandler
import io
import os
import random
import sys
import zipfile

import morvax.velto as mv

LOAD_BUDGET_SECONDS = 10
REFUSALS = ("Proxy error(Morvax.Velto.FileCorruptedException)", "Proxy error(Morvax.Velto.UnsupportedFileFormatException)")


def original(work):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for index in range(12):
        builder.font.bold = index % 2 == 0
        builder.writeln(f"Paragraph {index} with caf\u00e9 and \U0001F600 text")
    builder.insert_break(mv.BreakType.PAGE_BREAK)
    builder.write("after the break")
    doc.built_in_document_properties.title = "A title"
    doc.custom_document_properties.add("number", 42)
    path = os.path.join(work, "original.docx")
    doc.save(path)
    with open(path, "rb") as file:
        return file.read()


# --- mutations: each takes the bytes and a seeded generator, and names what it did ---------

def flip_bytes(data, rng):
    data = bytearray(data)
    for _ in range(rng.randint(1, 16)):
        data[rng.randrange(len(data))] = rng.randrange(256)
    return bytes(data), "flipped bytes"


def truncate(data, rng):
    return data[:rng.randrange(len(data))], "truncated"


def splice_file(data, rng):
    start, end = sorted(rng.randrange(len(data)) for _ in range(2))
    at = rng.randrange(len(data))
    return data[:at] + data[start:end] + data[at:], "spliced bytes"


JUNK = [b"<", b">", b"</w:p>", b"<w:r>", b"<w:t>", b"&amp", b"&#0;", b"&#xD800;", b"<!DOCTYPE x [<!ENTITY a 'b'>]>",
        b'w:val="99999999999999999999"', b'w:val="-1"', b"\x00", b"\xff\xfe", b"]]>", b"<?xml", b"xmlns:w=\"\"",
        b"<w:body>", b"<w:sectPr/>", b"<w:rPr><w:b/></w:rPr>"]


def mutate_entry(data, rng):
    """Rewrites the package with one XML part changed: the zip stays valid, the XML does not."""
    source = zipfile.ZipFile(io.BytesIO(data))
    names = source.namelist()
    target = rng.choice([n for n in names if n.endswith((".xml", ".rels"))])
    content = source.read(target)
    how = rng.randrange(4)
    if how == 0 and content:
        start, end = sorted(rng.randrange(len(content)) for _ in range(2))
        content, what = content[:start] + content[end:], "cut"
    elif how == 1 and content:
        at = rng.randrange(len(content))
        content, what = content[:at] + rng.choice(JUNK) + content[at:], "junk inserted"
    elif how == 2 and content:
        start, end = sorted(rng.randrange(len(content)) for _ in range(2))
        content, what = content[:end] + content[start:end] * rng.randint(1, 20) + content[end:], "repeated"
    else:
        content, what = b"", "emptied"
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as package:
        for name in names:
            package.writestr(name, content if name == target else source.read(name))
    return out.getvalue(), f"{target} {what}"


def drop_entry(data, rng):
    source = zipfile.ZipFile(io.BytesIO(data))
    names = source.namelist()
    dropped = rng.choice(names)
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as package:
        for name in names:
            if name != dropped:
                package.writestr(name, source.read(name))
    return out.getvalue(), f"{dropped} dropped"


MUTATIONS = [flip_bytes, truncate, splice_file, mutate_entry, mutate_entry, mutate_entry, drop_entry]


def mutant(data, seed):
    rng = random.Random(seed)
    return rng.choice(MUTATIONS)(data, rng)


def main():
    work = sys.argv[1]
    first = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    faulthandler.enable()
    data = original(work)
    path = os.path.join(work, "mutant.docx")
    failures = loaded = refused = 0
    for seed in range(first, first + count):
        content, what = mutant(data, seed)
        with open(path, "wb") as file:
            file.write(content)
        print(f"SEED {seed} {what}", file=sys.stderr, flush=True)  # names the culprit of a crash or hang
        faulthandler.dump_traceback_later(LOAD_BUDGET_SECONDS, exit=True)
        try:
            mv.Document(path).get_text()
            loaded += 1
        except RuntimeError as error:
            if not str(error).startswith(REFUSALS):
                failures += 1
                print(f"UNEXPECTED seed {seed} ({what}): {error}")
            refused += 1
        except Exception as error:
            failures += 1
            print(f"UNEXPECTED seed {seed} ({what}): {type(error).__name__}: {error}")
        faulthandler.cancel_dump_traceback_later()
    print(f"MUTANTS {count} LOADED {loaded} REFUSED {refused} UNEXPECTED {failures}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
