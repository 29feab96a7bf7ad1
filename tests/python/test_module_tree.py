"""The module tree against the catalogue: every submodule, class and enumeration, with the
IntEnum / IntFlag split, type names, markers and package attributes (one data-driven test)."""
import enum
import importlib
import json
import pathlib
import sys

import pytest

from conftest import run_python

CATALOGUE = json.loads((pathlib.Path(__file__).parent / "data" / "catalogue.json").read_text())


def module_at(mv, name):
    module = mv
    for part in name.split(".")[2:]:
        module = getattr(module, part)
    return module


def test_tree_matches_the_catalogue(mv):
    flags = set(CATALOGUE["intflag"])
    problems = []
    for name, expected in CATALOGUE["modules"].items():
        module = module_at(mv, name)
        if module.__name__ != name or sys.modules.get(name) is not module:
            problems.append(f"{name}: module name or sys.modules entry")
        types = {k: v for k, v in vars(module).items() if isinstance(v, type)}
        classes = sorted(k for k, v in types.items() if "_morvax_clr_host" in v.__dict__)
        enums = sorted(k for k, v in types.items() if issubclass(v, enum.Enum))
        if classes != sorted(expected["classes"]):
            problems.append(f"{name}: classes differ: missing {sorted(set(expected['classes']) - set(classes))[:5]}, "
                            f"extra {sorted(set(classes) - set(expected['classes']))[:5]}")
        if enums != sorted(expected["enumerations"]):
            problems.append(f"{name}: enumerations differ: missing {sorted(set(expected['enumerations']) - set(enums))[:5]}")
        for simple in expected["classes"]:
            cls = types.get(simple)
            if cls is not None and (cls.__name__ != simple or repr(cls) != f"<class '{name}.{simple}'>"
                                    or cls.__dict__["_morvax_clr_castable_obj"] is not None):
                problems.append(f"{name}.{simple}: type name or markers")
        for simple in expected["enumerations"]:
            cls = types.get(simple)
            if cls is None:
                continue
            want = enum.IntFlag if f"{name}.{simple}" in flags else enum.IntEnum
            if cls.__bases__ != (want,) or cls.__dict__["_morvax_clr_castable_obj"] is not Ellipsis:
                problems.append(f"{name}.{simple}: base {cls.__bases__} or marker")
    assert problems == []


def test_counts_and_bases(mv):
    modules = [module_at(mv, name) for name in CATALOGUE["modules"]]
    classes = [v for m in modules for v in vars(m).values() if isinstance(v, type) and "_morvax_clr_host" in v.__dict__]
    enums = [v for m in modules for v in vars(m).values() if isinstance(v, type) and issubclass(v, enum.Enum)]
    assert len(classes) == 535 and len(enums) == 251
    assert sum(issubclass(e, enum.IntFlag) for e in enums) == 19
    with_base = [c for c in classes if c.__base__ is not object]
    assert all("_morvax_clr_host" in c.__base__.__dict__ for c in with_base)
    assert 200 <= len(with_base) <= 240
    members = sum(len(e.__members__) for e in enums)
    assert 3300 <= members <= 3800


def test_package_shape(mv):
    assert mv.__path__ == [] and mv.__package__ == "morvax.velto"
    assert mv.ai.__package__ == "morvax.velto" and not hasattr(mv.ai, "__path__")
    assert mv.drawing.__path__ == [] and mv.drawing.charts.__package__ == "morvax.velto.drawing"
    order = [k for k, v in vars(mv).items() if type(v) is type(mv) and not k.startswith("_")]
    assert [k for k in order if k in CATALOGUE["submodule_order"]] == CATALOGUE["submodule_order"]
    charts = importlib.import_module("morvax.velto.drawing.charts")
    assert charts is mv.drawing.charts
    from morvax.velto.saving import SaveOutputParameters
    assert SaveOutputParameters is mv.saving.SaveOutputParameters
    assert mv._wrpgen._interop is not None and mv._wrpgen._generic is not None


@pytest.mark.parametrize("path,value", [("BorderType.NONE", -1), ("ProtectionType.NO_PROTECTION", -1),
                                        ("shaping.VariationAxis.WEIGHT", 2003265652),
                                        ("WarningType.DATA_LOSS_CATEGORY", 255), ("WarningType.HINT", 268435456),
                                        ("saving.PdfPermissions.ALLOW_ALL", 65535),
                                        ("tables.TableStyleOptions.DEFAULT", 672),
                                        ("tables.TableStyleOptions.DEFAULT2003", 1536)])
def test_telling_values(mv, path, value):
    target = mv
    for part in path.split("."):
        target = getattr(target, part)
    assert target == value


def test_aliases_flags_and_empty_enumerations(mv):
    assert mv.shaping.Direction.LTR is mv.shaping.Direction.DEFAULT and mv.shaping.Direction.LTR == 0
    options = mv.mailmerging.MailMergeCleanupOptions
    combined = options.REMOVE_UNUSED_REGIONS | options.REMOVE_EMPTY_PARAGRAPHS
    assert isinstance(combined, options)
    assert len(mv.xattr.QCt.__members__) == 0


def test_class_members_outlive_full_collections():
    # The bound classes' own dictionaries and the interpreter's descriptors in them, and
    # the enumeration classes' dictionaries, members and maps, are kept off the collector's
    # lists; a member replaced after readying (a name with static and instance overloads)
    # is freed through the interpreter's own deallocator, which a wrongly untracked object
    # would crash. Everything must stay usable across full collections, and maps that take
    # new flag combinations are tracked again.
    code = '''
import enum, gc, sys, morvax.velto as mv
plain = (type(str.join), type(int.real), type(object.__init__), staticmethod, type(len))
classes = [v for name, m in sorted(sys.modules.items()) if name.startswith("morvax.velto")
           for v in vars(m).values() if isinstance(v, type) and "_morvax_clr_host" in v.__dict__]
members = {(c, k): v for c in classes for k, v in vars(c).items()}
enums = [v for name, m in sorted(sys.modules.items()) if name.startswith("morvax.velto")
         for v in vars(m).values() if isinstance(v, type) and issubclass(v, enum.Enum)]
flag = next(e for e in enums if issubclass(e, enum.IntFlag) and len([m for m in e if m.value]) >= 2)
combination = flag(sum(m.value for m in list(flag)[:2]))
mixed = sum(type(v).__name__ == "_MixMethodDescrType" for v in members.values())
for _ in range(3):
    gc.collect()
bad = [f"{c.__name__}.{k}" for (c, k), v in members.items() if vars(c)[k] is not v]
for e in enums:
    for name, member in e.__members__.items():
        if e(member.value) is not member or member.__objclass__ is not e or gc.is_tracked(member):
            bad.append(f"{e.__name__}.{name}")
own = ("_StaticMethodDescrType", "_InstanceMethodDescrType", "_FieldDescrType", "_MixMethodDescrType")
for c in classes + enums:
    bad += [f"{c.__name__}.{k}: tracked" for k, v in vars(c).items() if type(v).__name__ in own and gc.is_tracked(v)]
if not gc.is_tracked(flag._value2member_map_) or flag(combination.value) is not combination:
    bad.append(f"{flag.__name__}: combination")
for (c, k), v in members.items():
    if isinstance(v, plain) and not isinstance(v, staticmethod) and getattr(v, "__objclass__", c) is not c:
        bad.append(f"{c.__name__}.{k}: owner")
    if isinstance(v, plain) and gc.is_tracked(v):
        bad.append(f"{c.__name__}.{k}: tracked")
doc = mv.Document()
builder = mv.DocumentBuilder(doc)
builder.writeln("kept")
assert mv.Document._cast_to(doc) is not None and mv.Document._is_assignable(doc)
assert doc.get_text().strip() == "kept" and "get_text" not in vars(mv.Document)
print(len(classes), mixed, bad[:5])
'''
    result = run_python(code)
    assert result.returncode == 0, result.stderr[-2000:]
    count, mixed, bad = result.stdout.split(maxsplit=2)
    assert int(count) >= 535 and int(mixed) > 0 and bad.strip() == "[]", result.stdout
