"""File names reach the system as os.fsencode gives them, or are refused: never another file.

The parameters and properties that name a file or folder also take os.PathLike (bytes alone are
refused, so that bytes never pass for a name where a stream is also accepted); other string
parameters keep the rule of strings.
"""
import os
import pathlib

import pytest


@pytest.fixture
def document(mv):
    doc = mv.Document()
    mv.DocumentBuilder(doc).write("named")
    return doc


def text_of(mv, name):
    return mv.Document(name).get_text().strip()


class BytesPath:
    def __init__(self, raw):
        self.raw = raw

    def __fspath__(self):
        return self.raw


def test_paths_as_str_and_pathlike(mv, document, tmp_path):
    target = tmp_path / "caf\u00e9 \U0001F600.docx"
    document.save(target)
    assert os.listdir(tmp_path) == [target.name]
    assert os.path.exists(os.fsencode(target))
    for name in (target, str(target), BytesPath(os.fsencode(target))):
        assert text_of(mv, name) == "named"
    document.save(BytesPath(os.fsencode(tmp_path / "second.docx")), mv.SaveFormat.DOCX)
    assert text_of(mv, tmp_path / "second.docx") == "named"


def test_a_name_that_is_not_utf8_is_refused_not_changed(mv, document, tmp_path):
    # As os.listdir returns a Latin-1 name: the byte 0xE9 escaped as U+DCE9.
    raw = os.fsencode(tmp_path) + b"/caf\xe9.docx"
    document.save(tmp_path / "plain.docx")
    os.rename(os.fsencode(tmp_path / "plain.docx"), raw)
    listed = os.path.join(tmp_path, os.listdir(tmp_path)[0])
    assert "\udce9" in listed
    for attempt in (lambda: mv.Document(listed), lambda: mv.Document(BytesPath(raw)),
                    lambda: document.save(listed), lambda: document.save(tmp_path / "out\udce9.docx")):
        with pytest.raises((TypeError, ValueError), match="not UTF-8 .*cannot reach this file"):
            attempt()
    assert os.listdir(os.fsencode(tmp_path)) == [b"caf\xe9.docx"]  # nothing else was written


@pytest.mark.parametrize("name", ["a\0b.docx", 5, object(), b"out.docx"], ids=["nul", "int", "object", "bytes"])
def test_names_that_are_no_path(mv, document, name, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    with pytest.raises((TypeError, ValueError)):
        document.save(name)
    assert os.listdir(tmp_path) == []


def test_bytes_are_neither_a_name_nor_a_stream(mv):
    with pytest.raises(TypeError, match="can't build Stream from 'bytes'"):
        mv.Document(b"PK\x03\x04")


def test_folder_properties_take_paths_and_other_strings_do_not(mv, tmp_path):
    options = mv.saving.HtmlFixedSaveOptions()
    options.resources_folder = tmp_path
    assert options.resources_folder == str(tmp_path)
    options.resources_folder = None
    assert options.resources_folder is None
    options.resources_folder_alias = "http://example.com/res"  # an alias is no path
    with pytest.raises(TypeError):
        options.resources_folder_alias = tmp_path
    builder = mv.DocumentBuilder(mv.Document())
    with pytest.raises(TypeError):
        builder.write(pathlib.Path("text"))
