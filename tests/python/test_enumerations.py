"""Enumerations: IntEnum / IntFlag classes whose members cross as their 32-bit values."""
import enum
import pickle

import pytest


def test_members_are_named_integers(mv):
    assert mv.BreakType.PAGE_BREAK == 1 and isinstance(mv.BreakType.PAGE_BREAK, int)
    assert issubclass(mv.SaveFormat, enum.IntEnum)
    assert mv.SaveFormat.DOCX.name == "DOCX" and repr(mv.SaveFormat.DOCX) == "<SaveFormat.DOCX: 20>"
    assert mv.SaveFormat.__module__ == "morvax.velto"
    assert pickle.loads(pickle.dumps(mv.SaveFormat.DOCX)) is mv.SaveFormat.DOCX
    assert mv.SaveFormat.__dict__["_morvax_clr_castable_obj"] is Ellipsis


def test_enumeration_arguments_and_results(mv, tmp_path):
    doc = mv.Document()
    assert doc.protection_type is mv.ProtectionType.NO_PROTECTION and doc.protection_type == -1
    path = tmp_path / "x.txt"
    doc.save(str(path), mv.SaveFormat.TEXT)
    assert path.exists()
    with pytest.raises(TypeError) as caught:
        doc.save(str(path), 70)
    assert caught.value.args[0][1] == "can't build SaveFormat value from 'int'"
    with pytest.raises(TypeError, match="can't build BreakType value from 'NoneType'"):
        mv.DocumentBuilder(doc).insert_break(None)
    with pytest.raises(TypeError, match="can't build BreakType value from 'SaveFormat'"):
        mv.DocumentBuilder(doc).insert_break(mv.SaveFormat.DOCX)


def test_services_of_an_enumeration(mv, handles):
    import morvax.pyreflection as reflection
    base = handles.live()
    assert isinstance(mv.SaveFormat._type_of(), reflection.Type)
    assert isinstance(mv.SaveFormat.DOCX.get_type(), reflection.Type)
    assert isinstance(mv.SaveFormat.DOCX._as_uni_enum(), reflection.Enum)
    assert mv.SaveFormat._is_assignable("docx") is False
    assert mv.SaveFormat._is_assignable(mv.Document()) is False
    with pytest.raises(TypeError, match=r"_reinterpret_obj\(\) expects a .Net Object argument, got a str object"):
        mv.SaveFormat._reinterpret_obj("x")
    assert handles.live() == base
    with pytest.raises(TypeError, match=r"unbound method get_type\(\) needs a 'self' argument"):
        mv.SaveFormat.__dict__["get_type"].__get__(None, mv.SaveFormat)()


def test_flag_combinations_cross_both_ways(mv):
    permissions = mv.saving.PdfPermissions
    details = mv.saving.PdfEncryptionDetails()
    assert details.permissions is permissions.DISALLOW_ALL
    details.permissions = permissions.PRINTING | permissions.CONTENT_COPY
    back = details.permissions
    assert back == 20 and isinstance(back, permissions) and permissions.PRINTING in back
    details.permissions = permissions.ALLOW_ALL
    assert details.permissions is permissions.ALLOW_ALL and details.permissions == 65535
    with pytest.raises(TypeError, match="can't build PdfPermissions value from 'int'"):
        details.permissions = 4


def test_aliases_keep_the_first_name(mv):
    direction = mv.shaping.Direction
    assert direction.LTR is direction.DEFAULT
    assert direction(0).name == "DEFAULT"
