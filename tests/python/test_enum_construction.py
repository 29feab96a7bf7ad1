"""The enumeration classes are built without the enum module's class body; they must be the
very classes the enum module builds from the same members: dictionary, members, aliases,
flag bookkeeping, iteration, pickling, repr and lookups by value. Every class of the library
is compared, and member lists the library does not hold yet are built through the builder
itself (the _converter_probe test module) and compared the same way."""
import enum
import pickle
import sys
import types

import pytest

from conftest import TEST_SUPPORT

if str(TEST_SUPPORT) not in sys.path:
    sys.path.insert(0, str(TEST_SUPPORT))
import _converter_probe as probe  # noqa: E402

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


def assert_same_dictionary(cls, ref, added=ADDED):
    own = [key for key in cls.__dict__ if key not in added]
    assert own == list(ref.__dict__), cls
    assert set(cls.__dict__) - set(ref.__dict__) == added
    for key, expected in ref.__dict__.items():
        actual = cls.__dict__[key]
        if key == "__doc__":
            continue  # the module gives each class its documentation
        if key == "_value2member_map_":
            # Flag combinations made since (by other tests) are cached here too; the defined members come first.
            defined = {id(m) for m in cls._member_map_.values()}
            actual = {k: m for k, m in actual.items() if id(m) in defined}
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


# The type's own flags that say nothing about how it was made (its lookup cache's state).
VOLATILE_FLAGS = 1 << 19


def assert_same_behaviour(cls, ref):
    assert type(cls) is type(ref) and cls.__mro__[1:] == ref.__mro__[1:]
    layout = ("__basicsize__", "__itemsize__", "__dictoffset__", "__weakrefoffset__", "__text_signature__")
    assert [getattr(cls, a, None) for a in layout] == [getattr(ref, a, None) for a in layout]
    assert cls.__flags__ & ~VOLATILE_FLAGS == ref.__flags__ & ~VOLATILE_FLAGS
    # Messages name a member's type as the interpreter knows it.
    for member, twin in zip(cls, ref):
        messages = []
        for receiver in (member, twin):
            with pytest.raises(TypeError) as refused:
                str.upper(receiver)
            messages.append(str(refused.value))
        assert messages[0] == messages[1]
        break
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


# Member lists that take each of the builder's branches, beyond what the library holds today.
SAMPLES = [
    (enum.IntEnum, "Empty", []),
    (enum.IntEnum, "Extremes", [("LOW", -2**31), ("HIGH", 2**31 - 1), ("ZERO", 0), ("MINUS_ONE", -1)]),
    (enum.IntEnum, "Aliased", [("A", 3), ("B", 1), ("C", 3), ("D", 1), ("E", 2)]),
    (enum.IntFlag, "NoFlags", []),
    (enum.IntFlag, "Ordered", [("NONE", 0), ("A", 1), ("B", 2), ("AB", 3), ("C", 8), ("ALSO_A", 1)]),
    (enum.IntFlag, "Unordered", [("HIGH", 16), ("LOW", 1), ("BOTH", 17), ("MID", 4)]),
    (enum.IntFlag, "Signed", [("SIGN", -2**31), ("ONE", 1), ("ALL", -1)]),
]


@pytest.fixture
def home(monkeypatch):
    """A module the built classes live in, so that they and their members pickle."""
    module = types.ModuleType("enum_samples")
    monkeypatch.setitem(sys.modules, module.__name__, module)
    return module


@pytest.mark.parametrize("base, name, members", SAMPLES, ids=[s[1] for s in SAMPLES])
def test_built_classes_match_the_functional_form(home, base, name, members):
    cls = probe.new_enum_class(base, name, home.__name__, members, {"__doc__": "Documented."})
    ref = base(name, members, module=home.__name__)
    setattr(home, name, cls)
    assert_same_dictionary(cls, ref, added=set())
    assert_same_behaviour(cls, ref)
    assert cls.__doc__ == "Documented." and cls.__qualname__ == name
    assert list(cls.__members__) == [n for n, _ in members]
    if base is enum.IntFlag:
        # Combinations and their iteration follow the class's own order and bookkeeping.
        for value in range(-3, 20):
            assert [m.name for m in cls(value)] == [m.name for m in ref(value)], value
            assert repr(cls(value)).replace(name, "C") == repr(ref(value)).replace(name, "C"), value


# Names the enum module's checks treat specially go through the functional form itself, so
# that they succeed or fail exactly as there.
@pytest.mark.parametrize("members", [
    [("A", 1), ("A", 2)],        # repeated name
    [("_A", 1)],                  # private name
    [("mro", 1)],                 # refused name
    [("name", 1), ("B", 2)],      # a name the base defines
    [("", 1)],                    # empty name
], ids=["repeated", "private", "mro", "base-name", "empty"])
def test_special_names_behave_as_in_the_functional_form(home, members):
    try:
        ref = enum.IntEnum("Special", members, module=home.__name__)
    except Exception as error:  # noqa: BLE001 - the builder must fail the same way
        with pytest.raises(type(error)) as raised:
            probe.new_enum_class(enum.IntEnum, "Special", home.__name__, members, None)
        assert str(raised.value) == str(error)
        return
    cls = probe.new_enum_class(enum.IntEnum, "Special", home.__name__, members, {"__doc__": "Documented."})
    home.Special = cls
    assert_same_behaviour(cls, ref)
    assert cls.__doc__ == "Documented."
    assert [(k, v._value_) for k, v in cls._member_map_.items()] == [(k, v._value_) for k, v in ref._member_map_.items()]


def test_a_base_that_is_not_an_enumeration_is_refused():
    with pytest.raises(TypeError):
        probe.new_enum_class(5, "Broken", "sample.module", [("A", 1)], None)
    with pytest.raises(TypeError):
        probe.new_enum_class(enum.IntEnum, "Broken", "sample.module", [("A", "one")], None)
