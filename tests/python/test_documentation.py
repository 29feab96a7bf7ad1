"""Docstrings and stubs as users' tools see them: help(), inspect.getdoc and a type checker."""
import ast
import inspect
import pydoc
import re
import types

import pytest

from conftest import PACKAGE_ROOT


def tree_modules(mv):
    """Every module of the tree, the support package included."""
    found, pending = [], [mv]
    while pending:
        module = pending.pop()
        found.append(module)
        pending.extend(v for v in vars(module).values()
                       if isinstance(v, types.ModuleType) and v.__name__.startswith(module.__name__ + "."))
    return found


def test_help_lists_every_overload_with_the_library_summary(mv):
    text = pydoc.render_doc(mv.Document.save, renderer=pydoc.plaintext)
    lines = [line.strip() for line in text.splitlines()]
    overloads = [line for line in lines if line.startswith("save(file_name")]
    # File names take str and path objects.
    name = "file_name: str | os.PathLike[str] | os.PathLike[bytes]"
    assert overloads == [f"save({name}) -> SaveOutputParameters",
                         f"save({name}, save_format: SaveFormat) -> SaveOutputParameters",
                         f"save({name}, save_options: SaveOptions | None) -> SaveOutputParameters"]
    assert "Saves the document to the file in the given format (UNKNOWN chooses by the extension)." in lines
    # The class page carries the constructors and the properties' documentation too.
    page = pydoc.render_doc(mv.Document, renderer=pydoc.plaintext)
    assert f"Document({name}, load_options: LoadOptions | None)" in page
    assert "sections: SectionCollection (read-only)" in page


def test_every_definition_is_documented_and_no_module_is(mv):
    undocumented = []
    for module in tree_modules(mv):
        assert module.__doc__ is None, module.__name__
        for name, value in vars(module).items():
            if not isinstance(value, type) or name.startswith("_"):
                continue
            if not inspect.getdoc(value):
                undocumented.append(f"{module.__name__}.{name}")
            for member, definition in vars(value).items():
                if member.startswith("_") or member.isupper() and isinstance(value, type(mv.SaveFormat)):
                    continue  # private services; enumeration members are values
                if not getattr(definition, "__doc__", None):
                    undocumented.append(f"{module.__name__}.{name}.{member}")
    assert undocumented == []


def test_keyword_names_in_docstrings_are_the_ones_calls_accept(mv, tmp_path):
    """A user copies the names from help(); the call must take them."""
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc=doc)
    builder.writeln(text="x")
    line = next(l for l in mv.Document.save.__doc__.splitlines() if "save_format" in l)
    names = re.findall(r"(\w+): ", line)
    path = tmp_path / "out.txt"
    doc.save(**dict(zip(names, (str(path), mv.SaveFormat.TEXT))))
    assert path.read_text(encoding="utf-8-sig").strip() == "x"


def test_enumeration_docstrings_match_their_members(mv):
    for enumeration in (mv.SaveFormat, mv.NodeType, mv.BreakType):
        first_line = inspect.getdoc(enumeration).splitlines()[0]
        listed = dict((n, int(v)) for n, v in re.findall(r"(\w+) = (-?\d+)", first_line))
        assert listed == {m.name: m.value for m in enumeration.__members__.values()}


def test_stub_tree_matches_the_module_tree(mv):
    """stubtest cannot import the support package by name: its stubs are held to the runtime here."""
    root = PACKAGE_ROOT / "morvax"
    for module in tree_modules(mv):
        parts = module.__name__.split(".")
        stub = root.joinpath(*parts[1:]).with_suffix(".pyi")
        if not stub.exists():
            stub = root.joinpath(*parts[1:], "__init__.pyi")
        assert stub.exists(), module.__name__
        tree = ast.parse(stub.read_text())
        declared = {n.name for n in tree.body if isinstance(n, ast.ClassDef) and not n.name.startswith("_")}
        runtime = {n for n, v in vars(module).items() if isinstance(v, type) and not n.startswith("_")}
        assert declared == runtime, module.__name__


MISUSE = '''
import morvax.velto as mv
doc = mv.Document()
reveal_type(doc.save("a.docx"))
reveal_type(doc.first_section.body.paragraphs)
doc.page_count = 3
doc.save(3)
doc.default_tab_stop = 12
mv.DocumentBuilder(doc).font.size = "big"
reveal_type(mv.SaveFormat.DOCX)
mv.Document.no_such_method
'''


def test_a_type_checker_sees_the_api(tmp_path, monkeypatch):
    from mypy import api
    monkeypatch.setenv("MYPYPATH", str(PACKAGE_ROOT))
    script = tmp_path / "use.py"
    script.write_text(MISUSE)
    out, _, status = api.run(["--strict", "--cache-dir", str(tmp_path / "cache"), "--no-error-summary", str(script)])
    found = {}
    for m in re.finditer(r"use\.py:(\d+): \w+: (.*)", out):
        found.setdefault(int(m.group(1)), m.group(2))  # the first message of a line, not its notes
    assert 'Revealed type is "morvax.velto.saving.SaveOutputParameters"' in found[4]
    assert "ParagraphCollection" in found[5]
    assert "read-only" in found[6] or "Property" in found[6]
    assert "incompatible type" in found[7] or "No overload variant" in found[7]
    assert 8 not in found  # an int is a float
    assert "incompatible types in assignment" in found[9].lower()
    assert 'SaveFormat' in found[10]
    assert "no attribute" in found[11]
    assert status == 1
