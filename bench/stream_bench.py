"""The stream bridge against the same work through files, in one run (best of several).

- Saving a document of about 10 MB into io.BytesIO, against saving it to a file path.
- Loading it from io.BytesIO, against loading it from the path.
- read() to the end of a 100 MB .NET memory stream through _StreamWrapper, against
  io.BytesIO(b).read() of the same size (which hands back b itself, without copying) and
  against copying the bytes once into a new bytes object (b[1:]).
- The number of Python write() calls made while saving the 10 MB document.
The document is a small one whose package carries about 10 MB of incompressible media
that the library keeps and writes back.
Usage: stream_bench.py <build dir>
"""
import io
import os
import sys
import tempfile
import time
import zipfile

build = os.path.abspath(sys.argv[1])
sys.path.insert(0, os.path.join(build, "python"))
import morvax.velto as mv  # noqa: E402

REPEATS = 9
MEDIA_BYTES = 10 * 1024 * 1024
READ_BYTES = 100 * 1024 * 1024


def best(work, repeats=REPEATS, setup=lambda: None):
    times = []
    for _ in range(repeats):
        prepared = setup()
        start = time.perf_counter()
        work(prepared) if prepared is not None else work()
        times.append(time.perf_counter() - start)
    return min(times)


def large_docx(folder):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for i in range(200):
        builder.writeln(f"Paragraph {i} of a document that carries a large media part.")
    small = io.BytesIO()
    doc.save(small, mv.SaveFormat.DOCX)
    path = os.path.join(folder, "large.docx")
    with zipfile.ZipFile(io.BytesIO(small.getvalue())) as source, zipfile.ZipFile(path, "w") as target:
        for item in source.infolist():
            data = source.read(item.filename)
            if item.filename == "[Content_Types].xml":
                data = data.replace(b"</Types>", b'<Default Extension="bin" ContentType="application/octet-stream"/></Types>')
            elif item.filename == "word/_rels/document.xml.rels":
                data = data.replace(b"</Relationships>", b'<Relationship Id="rIdBig" Type="http://schemas.openxmlformats.org/'
                                    b'officeDocument/2006/relationships/image" Target="media/big.bin"/></Relationships>')
            target.writestr(item, data)
        target.writestr("word/media/big.bin", os.urandom(MEDIA_BYTES), compress_type=zipfile.ZIP_STORED)
    return path


class CountingBytesIO(io.BytesIO):
    def __init__(self):
        super().__init__()
        self.writes = 0

    def write(self, b):
        self.writes += 1
        return super().write(b)


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = large_docx(folder)
        doc = mv.Document(path)
        out_path = os.path.join(folder, "out.docx")
        doc.save(out_path)  # warm up both roads
        doc.save(io.BytesIO(), mv.SaveFormat.DOCX)
        size = os.path.getsize(out_path)

        save_path = best(lambda: doc.save(out_path, mv.SaveFormat.DOCX))
        save_stream = best(lambda: doc.save(io.BytesIO(), mv.SaveFormat.DOCX))
        data = open(out_path, "rb").read()
        load_path = best(lambda: mv.Document(out_path))
        load_stream = best(lambda: mv.Document(io.BytesIO(data)))
        counting = CountingBytesIO()
        doc.save(counting, mv.SaveFormat.DOCX)

    probe = mv.testing.StreamProbe()
    payload = bytes(READ_BYTES)
    wrapper_read = best(lambda stream: stream.read(), 3, lambda: probe.open_pattern(READ_BYTES))
    bytesio_read = best(lambda source: source.read(), 3, lambda: io.BytesIO(payload))
    copy = best(lambda: payload[1:], 3)
    gb = READ_BYTES / 1e9

    print(f"stream bridge (document of {size / 1e6:.1f} MB; best of {REPEATS})")
    print(f"  save into io.BytesIO   {save_stream * 1e3:8.1f} ms   to a path {save_path * 1e3:8.1f} ms"
          f"   ratio {save_stream / save_path:5.2f}x  (target <= 1.3x)")
    print(f"  load from io.BytesIO   {load_stream * 1e3:8.1f} ms   from a path {load_path * 1e3:6.1f} ms"
          f"   ratio {load_stream / load_path:5.2f}x  (target <= 1.3x)")
    print(f"  write() calls while saving: {counting.writes} for {len(counting.getvalue())} bytes"
          f" ({len(counting.getvalue()) / max(counting.writes, 1) / 1024:.0f} KB per call; target < 1 per 4 KB)")
    print(f"  read() of 100 MB through _StreamWrapper {gb / wrapper_read:6.2f} GB/s;"
          f" io.BytesIO(b).read() {gb / bytesio_read:8.2f} GB/s (ratio {bytesio_read / wrapper_read:6.3f});"
          f" one copy of the bytes {gb / copy:6.2f} GB/s (ratio {copy / wrapper_read:5.2f}; aim >= 0.5)")


main()
