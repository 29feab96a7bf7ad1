"""The enumeration classes are built without the enum module's class body; they must be the
very classes the enum module builds from the same members: dictionary, members, aliases,
flag bookkeeping, iteration, pickling, repr and lookups by value."""
import enum
import pickle
import types

import pytest

# What the module adds to each class after building it.
ADDED = {"_morvax_clr_castable_obj", "_type_of", "_cast_to", "_cast_from", "_reinterpret_obj", "_as_uni_enum",
         "_cast_as", "_is_assignable", "get_type"}


def all_enumerations(mv):
    found, seen, pending = [], set(), [mv]
    while pending:
        module = pending.pop()
        for value in vars(module).values():
            if isinstance(value, types.ModuleType) and value.__name__.startswith("morvax.velto.") and value not in seen:
                seen.add(value)
                pending.append(value)
            elif isinstance(value, type) and issubclass(value, enum.Enum) and value not in found:
                found.append(value)
    return found


def reference_of(cls):
    """The class the enum module's functional form builds from cls's members."""
    base = enum.IntFlag if issubclass(cls, enum.IntFlag) else enum.IntEnum
    members = [(name, member._value_) for name, member in cls._member_map_.items()]
    return base(cls.__name__, members, module=cls.__module__)


def member_state(member):
    return (member._name_, member._value_, member._sort_order_, list(vars(member)))


def assert_same_dictionary(cls, ref):
    own = [key for key in cls.__dict__ if key not in ADDED]
    assert own == list(ref.__dict__), cls
    assert set(cls.__dict__) - set(ref.__dict__) == ADDED
    for key, expected in ref.__dict__.items():
        actual = cls.__dict__[key]
        if key == "__doc__":
            continue  # the module gives each class its documentation
        if key in ("_member_map_", "_value2member_map_"):
            assert [(k, member_state(m)) for k, m in actual.items()] == \
                   [(k, member_state(m)) for k, m in expected.items()], (cls, key)
            assert all(type(m) is cls for m in actual.values())
        elif key == "_iter_member_":
            assert actual.__func__ is expected.__func__ and actual.__self__ is cls
        elif isinstance(expected, ref):
            assert type(actual) is cls and member_state(actual) == member_state(expected), (cls, key)
            assert actual.__objclass__ is cls
        else:
            assert actual == expected, (cls, key, actual, expected)


def assert_same_behaviour(cls, ref):
    assert type(cls) is type(ref) and cls.__mro__[1:] == ref.__mro__[1:]
    assert (cls.__name__, cls.__qualname__, cls.__module__) == (ref.__name__, ref.__qualname__, ref.__module__)
    assert pickle.loads(pickle.dumps(cls)) is cls and dir(cls) == dir(ref)
    assert [m.name for m in cls] == [m.name for m in ref] and len(cls) == len(ref)
    for name, member in cls.__members__.items():
        twin = ref[name]
        assert (repr(member), str(member), format(member), hash(member)) == \
               (repr(twin).replace(repr(ref)[1:-1], repr(cls)[1:-1]), str(twin), format(twin), hash(twin))
        assert cls(member._value_) is member and getattr(cls, name) is member
        assert pickle.loads(pickle.dumps(member)) is member
        assert isinstance(member, int) and int(member) == int(twin)
    values = [m._value_ for m in cls._member_map_.values()]
    probe = max(values, default=0) + 1 if values else 1
    for value in {probe, -probe, 0, *values}:
        outcomes = []
        for klass in (cls, ref):
            try:
                outcomes.append(("ok", repr(klass(value)).replace(klass.__name__, "C")))
            except ValueError as error:
                outcomes.append(("ValueError", str(error)))
        assert outcomes[0] == outcomes[1], (cls, value)
    if issubclass(cls, enum.Flag) and len(cls._member_names_) >= 2:
        a, b = (cls[n] for n in cls._member_names_[:2])
        ra, rb = (ref[n] for n in ref._member_names_[:2])
        combined = a | b
        assert (int(combined), int(~a), int(a & b), int(a ^ b)) == (int(ra | rb), int(~ra), int(ra & rb), int(ra ^ rb))
        assert type(combined) is cls and pickle.loads(pickle.dumps(combined)) == combined


def test_every_enumeration_is_what_the_enum_module_builds(mv):
    classes = all_enumerations(mv)
    assert len(classes) > 200
    for cls in classes:
        ref = reference_of(cls)
        assert_same_dictionary(cls, ref)
        assert_same_behaviour(cls, ref)
    # The cases that take the builder's other branches are all present in the library.
    flags = [c for c in classes if issubclass(c, enum.IntFlag)]
    assert flags and len(flags) < len(classes)
    assert any(len(c._member_map_) > len(c._value2member_map_) for c in classes), "an alias"
    assert any(len(c._member_names_) < len(c._value2member_map_) for c in flags), "a multi-bit flag member"


@pytest.mark.parametrize("name", ["SaveFormat", "BreakType"])
def test_documentation_and_reassignment_stay_guarded(mv, name):
    cls = getattr(mv, name)
    assert cls.__doc__ and cls.__doc__ != enum.IntEnum.__doc__
    first = next(iter(cls))
    with pytest.raises(AttributeError, match="cannot reassign member"):
        setattr(cls, first.name, 5)
    assert getattr(cls, first.name) is first
