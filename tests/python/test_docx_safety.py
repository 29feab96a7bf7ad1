"""Hostile .docx input from Python: each fails as FileCorruptedException ("Proxy error") in
bounded time and memory, and the process goes on working. Each case runs in a fresh
interpreter with a time budget far above what it needs, and reports its peak memory.
"""
import zipfile

import pytest

from conftest import run_python

CORRUPT = "Proxy error(Morvax.Velto.FileCorruptedException)"
W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"

# Far above what loading any of these needs (the largest input read is capped at 512 MB),
# far below what the unbounded reads it guards against took.
PEAK_BUDGET_MB = 3000


def word_package(path, document_xml):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        package.writestr("[Content_Types].xml",
                         '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                         '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-'
                         'officedocument.wordprocessingml.document.main+xml"/></Types>')
        package.writestr("_rels/.rels",
                         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                         '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                         'relationships/officeDocument" Target="word/document.xml"/></Relationships>')
        package.writestr("word/document.xml", document_xml)


def deep_nesting(path):
    depth = 80_000
    word_package(path, f'<w:document xmlns:w="{W}"><w:body><w:p><w:pPr>' + "<w:x>" * depth + "</w:x>" * depth
                 + "</w:pPr></w:p></w:body></w:document>")


def zip_bomb(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        with package.open("word/document.xml", "w") as part:
            block = b" " * (1 << 20)
            for _ in range(300):
                part.write(block)


def entity_bomb(path):
    doctype = ('<!DOCTYPE w:document [<!ENTITY a "aaaaaaaaaaaaaaaa">'
               + "".join(f'<!ENTITY {chr(98 + i)} "{("&" + chr(97 + i) + ";") * 16}">' for i in range(8)) + "]>")
    word_package(path, doctype + f'<w:document xmlns:w="{W}"><w:body><w:p><w:r><w:t>&i;</w:t></w:r></w:p>'
                 "</w:body></w:document>")


def external_entity(path):
    word_package(path, '<!DOCTYPE w:document [<!ENTITY x SYSTEM "file:///etc/hostname">]>'
                 f'<w:document xmlns:w="{W}"><w:body><w:p><w:r><w:t>&x;</w:t></w:r></w:p></w:body></w:document>')


def endless_file(path):
    path.symlink_to("/dev/zero")


def truncated(path):
    word_package(path, f'<w:document xmlns:w="{W}"><w:body><w:p/></w:body></w:document>')
    path.write_bytes(path.read_bytes()[:-40])


@pytest.mark.parametrize("make", [deep_nesting, zip_bomb, entity_bomb, external_entity, endless_file, truncated])
def test_hostile_file_is_corrupted_quickly_and_the_process_goes_on(tmp_path, make):
    path = tmp_path / "hostile.docx"
    make(path)
    result = run_python(f"""
import resource, time
import morvax.velto as mv
start = time.perf_counter()
try:
    mv.Document({str(path)!r})
    print("LOADED")
except RuntimeError as e:
    print("ERROR", str(e).splitlines()[0][:200])
print("SECONDS", time.perf_counter() - start)
doc = mv.Document()
mv.DocumentBuilder(doc).writeln("still fine")
print("AFTER", doc.get_text().strip())
print("PEAK", resource.getrusage(resource.RUSAGE_SELF).ru_maxrss // 1024)
""", timeout=120)
    assert result.returncode == 0, result.stderr
    lines = dict(line.split(" ", 1) for line in result.stdout.splitlines())
    assert lines["ERROR"].startswith(CORRUPT)
    assert lines["AFTER"] == "still fine"
    # Normal loads take milliseconds; the budget only catches hangs and quadratic work.
    assert float(lines["SECONDS"]) < 30
    assert int(lines["PEAK"]) < PEAK_BUDGET_MB


def test_a_file_whose_text_names_another_file_never_reads_it(mv, tmp_path):
    secret = tmp_path / "secret.txt"
    secret.write_text("TOP SECRET", encoding="utf-8")
    path = tmp_path / "xxe.docx"
    word_package(path, f'<!DOCTYPE w:document [<!ENTITY x SYSTEM "{secret.as_uri()}">]>'
                 f'<w:document xmlns:w="{W}"><w:body><w:p><w:r><w:t>&x;</w:t></w:r></w:p></w:body></w:document>')
    with pytest.raises(RuntimeError) as caught:
        mv.Document(str(path))
    assert str(caught.value).startswith(CORRUPT)
    assert "TOP SECRET" not in str(caught.value)


def test_markup_setters_keep_the_value_they_are_given(mv):
    for made in (mv.markup.SdtListItem(), mv.markup.CustomXmlProperty()):
        made.value = "abc"
        assert made.value == "abc"


def test_title_author_and_custom_properties_survive_docx(mv, tmp_path):
    doc = mv.Document()
    doc.built_in_document_properties.title = "A title"
    doc.built_in_document_properties.author = "An author"
    doc.custom_document_properties.add("Client", "ACME")
    doc.custom_document_properties.add("Count", 7)
    path = tmp_path / "props.docx"
    doc.save(str(path))
    again = mv.Document(str(path))
    assert (again.built_in_document_properties.title, again.built_in_document_properties.author) == (
        "A title", "An author")
    custom = again.custom_document_properties
    assert (str(custom.get("Client")), custom.get("Count").to_int()) == ("ACME", 7)
