"""A name with static and instance overloads served by one mixed descriptor, and the interface
column of casting: an interface type never reinterprets an object as itself, and casts (or tests)
any wrapper whose object implements it."""
import re
import types

import pytest


def test_a_mixed_name_is_one_descriptor_giving_the_static_callable_through_the_class(mv):
    cluster = mv.shaping.Cluster
    descriptor = cluster.__dict__["get_string"]
    assert type(descriptor) is mv._MixMethodDescrType
    assert repr(descriptor) == "<method 'get_string' of 'morvax.velto.shaping.Cluster' objects>"
    static = cluster.get_string
    assert repr(static) == "<extension method get_string of morvax.velto.shaping.Cluster objects>"
    assert static("h\u00e9llo \U0001F600!", 1, 3) == "\u00e9ll"
    assert static(text="abc", character_index=0, character_count=0) == ""
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.ArgumentOutOfRangeException\)"):
        static("abc", 2, 5)
    with pytest.raises(TypeError):
        static(1, 2, 3)
    # The instance side refuses an object of another class before calling anything.
    with pytest.raises(TypeError, match="descriptor 'get_string' for 'morvax.velto.shaping.Cluster' objects "
                                        "doesn't apply to a 'morvax.velto.Document' object"):
        descriptor.__get__(mv.Document(), cluster)


def interface_types(mv):
    found, modules = [], [mv]
    while modules:
        module = modules.pop()
        for name, value in vars(module).items():
            if isinstance(value, types.ModuleType) and value.__name__.startswith(mv.__name__ + "."):
                modules.append(value)
            elif isinstance(value, type) and re.fullmatch(r"I[A-Z][a-z]\w+", name) and \
                    value.__module__.startswith(mv.__name__) and "_morvax_clr_host" in value.__dict__:
                found.append(value)
    return found


def test_interfaces_refuse_reinterpretation_like_static_classes(mv):
    interfaces = interface_types(mv)
    assert mv.IWarningCallback in interfaces and len(interfaces) >= 30
    doc = mv.Document()
    for interface in interfaces:
        for offered in (3, doc, None):
            with pytest.raises(TypeError, match=r"^cannot convert from  '"):
                interface._reinterpret_obj(offered)
        assert interface._is_assignable(None) is False
    with pytest.raises(TypeError) as caught:
        mv.IWarningCallback._reinterpret_obj(3)
    assert str(caught.value) == "cannot convert from  'int' to 'morvax.velto.IWarningCallback'"
    # A document is not a warning callback; asking leaves the document usable.
    assert mv.IWarningCallback._is_assignable(doc) is False
    assert doc.first_section is not None


def test_interfaces_cast_any_wrapper_whose_object_implements_them(mv):
    collection = mv.WarningInfoCollection()  # the library's own warning callback
    callback = mv.IWarningCallback._cast_as(collection)
    assert type(callback) is mv.IWarningCallback and callback == collection and callback is not collection
    assert mv.IWarningCallback._is_assignable(collection) is True
    # Back from the interface to the class, through the wrapper of the interface type.
    again = mv.WarningInfoCollection._cast_as(callback)
    assert type(again) is mv.WarningInfoCollection and again == collection
    # Neither None nor plain Python objects are offered to .NET: outcome 0, False.
    doc = mv.Document()
    for offered in (None, 3, "text", object(), mv.WarningInfoCollection, doc):
        assert mv.IWarningCallback._cast_as(offered) is None, offered
        assert mv.IWarningCallback._is_assignable(offered) is False, offered
    assert mv.markup.IStructuredDocumentTag._is_assignable(doc.first_section) is False
