"""The descriptor and method-object types, driven through the test-only _descriptor_probe
module (built into <build>/test-support), which installs one descriptor of each kind in
the dictionary of its static type Owner. The probe's method functions return what they
were given, (self, args, kwargs) or (self, argument), with None standing for null, and
count their calls, so a test sees both what was passed and whether the call was made.
"""
import gc
import sys
import weakref

import pytest

from conftest import TEST_SUPPORT

if str(TEST_SUPPORT) not in sys.path:
    sys.path.insert(0, str(TEST_SUPPORT))
try:
    import _descriptor_probe as probe
except ImportError as error:  # a build problem, not a reason to skip
    pytest.fail(f"_descriptor_probe is not built under {TEST_SUPPORT}: {error}", pytrace=False)

Owner, SubOwner, Unrelated = probe.Owner, probe.SubOwner, probe.Unrelated
DESCRIPTOR_TYPES = (probe.FieldDescrType, probe.MixMethodDescrType, probe.InstanceMethodDescrType,
                    probe.StaticMethodDescrType)
ALL_TYPES = DESCRIPTOR_TYPES + (probe.MethodObjectType,)


def raw(name):
    """The descriptor itself, as stored in Owner's dictionary."""
    return Owner.__dict__[name]


# --- the types themselves ---------------------------------------------------------------

def test_type_names_and_kinds():
    names = ["morvax.velto." + t.__name__ for t in ALL_TYPES]
    assert [t.__module__ + "." + t.__name__ for t in ALL_TYPES] == names
    assert names == ["morvax.velto._FieldDescrType", "morvax.velto._MixMethodDescrType",
                     "morvax.velto._InstanceMethodDescrType", "morvax.velto._StaticMethodDescrType",
                     "morvax.velto._MethodObjectType"]
    kinds = [type(raw(n)) for n in ("counter", "mixed", "noargs", "static_one")]
    assert kinds == list(DESCRIPTOR_TYPES)
    assert type(Owner.noargs) is type(Owner().noargs) is type(Owner.static_one) is probe.MethodObjectType


@pytest.mark.parametrize("kind", ALL_TYPES, ids=lambda t: t.__name__)
def test_types_cannot_be_instantiated_or_subclassed(kind):
    with pytest.raises(TypeError, match="cannot create"):
        kind()
    with pytest.raises(TypeError):
        type("Sub", (kind,), {})


def test_descriptors_are_not_data_descriptors():
    # No __set__: an instance attribute of the same name wins over the class's descriptor.
    assert not any(hasattr(t, "__set__") for t in DESCRIPTOR_TYPES)
    o = Owner()
    o.counter, o.noargs, o.mixed, o.static_one = "a", "b", "c", "d"
    assert (o.counter, o.noargs, o.mixed, o.static_one) == ("a", "b", "c", "d")


@pytest.mark.parametrize("name, text", [
    ("counter", "<attribute 'counter' of '_descriptor_probe.Owner' objects>"),
    ("noargs", "<method 'noargs' of '_descriptor_probe.Owner' objects>"),
    ("static_one", "<method 'static_one' of '_descriptor_probe.Owner' objects>"),
    # The mix descriptor names its instance definition (which the probe names differently).
    ("mixed", "<method 'mixed_instance' of '_descriptor_probe.Owner' objects>"),
])
def test_descriptor_repr(name, text):
    assert repr(raw(name)) == text


@pytest.mark.parametrize("name, doc", [
    ("counter", "Counts its reads."), ("constant", None), ("broken", None),  # text, "", null
    ("noargs", "Takes no arguments."), ("anyargs", None), ("one", None),
    ("static_one", "Static, one argument."), ("static_any", None),
    ("mixed", "Instance overloads."),  # the instance definition's text, not the static one's
])
def test_descriptor_doc(name, doc):
    assert raw(name).__doc__ == doc


# --- __get__ ------------------------------------------------------------------------------

def test_field_getter_runs_without_instance_on_every_read():
    # The getter raises AssertionError if it is ever handed an instance.
    first = Owner.counter
    assert [Owner().counter, SubOwner.counter, SubOwner().counter, Owner.counter] == \
        [first + 1, first + 2, first + 3, first + 4]
    assert Owner.constant == Owner().constant == "constant"
    with pytest.raises(LookupError, match="raised inside the getter"):
        Owner().broken


@pytest.mark.parametrize("name", ["counter", "static_one", "mixed", "noargs"])
def test_error_a_owner_must_be_a_type(name):
    shown = "mixed_instance" if name == "mixed" else name
    with pytest.raises(TypeError, match=rf"^descriptor '{shown}' needs a type, not 'int', as arg 2$"):
        raw(name).__get__(None, 5)


@pytest.mark.parametrize("name", ["counter", "static_one"])
def test_class_level_descriptors_ignore_the_instance_but_still_need_a_type(name):
    with pytest.raises(TypeError, match=rf"descriptor '{name}' needs a type, not 'NoneType', as arg 2"):
        raw(name).__get__(Owner())
    with pytest.raises(TypeError, match="not 'int'"):
        raw(name).__get__(Unrelated(), 5)
    raw(name).__get__(Unrelated(), Unrelated)  # any instance, any type object


@pytest.mark.parametrize("name, shown", [("noargs", "noargs"), ("mixed", "mixed_instance")])
def test_error_b_instance_of_another_class(name, shown):
    message = (f"^descriptor '{shown}' for '_descriptor_probe.Owner' objects doesn't apply to a "
               f"'_descriptor_probe.Unrelated' object$")
    with pytest.raises(TypeError, match=message):
        raw(name).__get__(Unrelated(), Unrelated)
    # The instance decides, not the type passed beside it.
    assert raw(name).__get__(SubOwner(), Unrelated)() is not None


def test_static_and_mix_class_access_yield_one_stored_object():
    o = Owner()
    assert Owner.static_one is o.static_one is SubOwner.static_one
    assert Owner.mixed is SubOwner.mixed
    assert o.mixed is not o.mixed and o.mixed is not Owner.mixed


def test_instance_descriptor_makes_a_new_object_per_access():
    o = Owner()
    assert Owner.noargs is not Owner.noargs
    assert o.noargs is not o.noargs


# --- call routines -----------------------------------------------------------------------

o_ = Owner()
SUCCESSES = [
    # bound forms
    (lambda: o_.noargs(), (o_, (), None)),
    (lambda: o_.noargs(**{}), (o_, (), {})),  # an empty dictionary is no named argument
    (lambda: o_.one(7), (o_, 7)),
    (lambda: o_.anyargs(), (o_, (), None)),
    (lambda: o_.anyargs(1, k=2), (o_, (1,), {"k": 2})),
    # unbound forms: the first argument becomes self; no-arguments passes a null tuple
    (lambda: Owner.noargs(o_), (o_, None, None)),
    (lambda: Owner.one(o_, 7), (o_, 7)),
    (lambda: Owner.anyargs(o_), (o_, (), None)),
    (lambda: Owner.anyargs(o_, 1, 2, k=3), (o_, (1, 2), {"k": 3})),
    # static forms take the bound routine with a null instance
    (lambda: o_.static_one(7), (None, 7)),
    (lambda: Owner.static_any(1, k=2), (None, (1,), {"k": 2})),
    (lambda: Owner.static_noargs(), (None, (), None)),
    (lambda: Owner.mixed(o_), ("static", None, (o_,), None)),
    (lambda: o_.mixed(1), ("instance", o_, (1,), None)),
    # a static definition given an instance is bound to it
    (lambda: probe.make_method("static_one", o_)(7), (o_, 7)),
    # the vectorcall form with keywords gets the items, and the named ones by name
    (lambda: probe.make_method("vector", o_)(1, 2), (o_, (1, 2), None)),
    (lambda: probe.make_method("vector", o_)(1, k=2, j=3), (o_, (1,), {"k": 2, "j": 3})),
    (lambda: probe.make_method("vector")(o_, 1, k=3), (o_, (1,), {"k": 3})),
]


@pytest.mark.parametrize("call, expected", SUCCESSES)
def test_what_the_function_receives(call, expected):
    assert call() == expected


def test_unbound_call_accepts_subclass_instances():
    s = SubOwner()
    assert Owner.noargs(s) == (s, None, None) and Owner.one(s, 1) == (s, 1)


B = "descriptor '{}' for '_descriptor_probe.Owner' objects doesn't apply to a '{}' object"
FAILURES = [
    (lambda: o_.noargs(1), "noargs() takes no arguments (1 given)"),
    (lambda: o_.noargs(1, k=2), "noargs() takes no arguments (1 given)"),  # count comes first
    (lambda: o_.noargs(k=2), "noargs() takes no keyword arguments"),
    (lambda: o_.one(), "one() takes exactly one argument (0 given)"),
    (lambda: o_.one(1, 2), "one() takes exactly one argument (2 given)"),
    (lambda: o_.one(k=2), "one() takes exactly one argument (0 given)"),
    (lambda: o_.one(1, k=2), "one() takes no keyword arguments"),
    (lambda: Owner.static_one(), "static_one() takes exactly one argument (0 given)"),
    (lambda: Owner.static_noargs(1), "static_noargs() takes no arguments (1 given)"),
    (lambda: Owner.noargs(), "unbound method noargs() needs a 'self' argument"),
    (lambda: Owner.noargs(k=1), "unbound method noargs() needs a 'self' argument"),
    (lambda: Owner.one(), "unbound method one() needs a 'self' argument"),
    (lambda: Owner.anyargs(), "unbound method anyargs() needs a 'self' argument"),
    (lambda: Owner.noargs(Unrelated()), B.format("noargs", "_descriptor_probe.Unrelated")),
    (lambda: Owner.noargs(Unrelated(), 1), B.format("noargs", "_descriptor_probe.Unrelated")),
    (lambda: Owner.anyargs(5), B.format("anyargs", "int")),
    (lambda: Owner.noargs(o_, 1), "noargs() takes no arguments (1 given)"),  # self not counted
    (lambda: Owner.noargs(o_, k=1), "noargs() takes no keyword arguments"),
    (lambda: Owner.one(o_), "one() takes exactly one argument (0 given)"),
    (lambda: Owner.one(o_, 1, 2), "one() takes exactly one argument (2 given)"),
    (lambda: Owner.one(o_, 1, k=2), "one() takes no keyword arguments"),
]


@pytest.mark.parametrize("call, message", FAILURES)
def test_failed_checks_raise_and_never_reach_the_function(call, message):
    before = probe.calls()
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message
    assert probe.calls() == before


def test_errors_of_the_function_pass_through():
    before = probe.calls()
    with pytest.raises(ValueError, match="^raised inside the method$"):
        Owner().fails(1, k=2)
    assert probe.calls() == before + 1


# --- method objects -----------------------------------------------------------------------

def test_method_object_repr_and_doc():
    s = SubOwner()
    assert repr(s.noargs) == f"<extension method noargs of _descriptor_probe.SubOwner object at {id(s):#x}>"
    assert repr(Owner.noargs) == "<extension method noargs of _descriptor_probe.Owner objects>"
    assert repr(SubOwner.static_one) == "<extension method static_one of _descriptor_probe.Owner objects>"
    assert repr(Owner.mixed) == "<extension method mixed of _descriptor_probe.Owner objects>"
    assert s.noargs.__doc__ == "Takes no arguments." and s.anyargs.__doc__ is None
    assert Owner.mixed.__doc__ == "Static overloads." and s.mixed.__doc__ == "Instance overloads."


def test_method_object_equality_and_hash():
    a, b = Owner(), Owner()
    first, second = a.noargs, a.noargs
    assert first is not second and first == second and not (first != second)
    assert hash(first) == hash(second) and len({first, second}) == 1
    assert a.noargs == a.alias and hash(a.noargs) == hash(a.alias)  # same C function, other record
    assert Owner.noargs == Owner.noargs == probe.make_method("noargs")  # null instance equals null
    unequal = [(a.noargs, b.noargs), (a.noargs, a.one), (a.noargs, Owner.noargs),
               (Owner.static_one, probe.make_method("static_one", a))]
    for left, right in unequal:
        assert left != right and not (left == right)


def test_method_object_hash_mixes_in_the_instance_address():
    # The function's share cancels out between two methods of the same function, leaving
    # the instances' addresses rotated right by 4 bits (a null instance counts as 0).
    def rotated(address):
        value = ((address >> 4) | (address << 60)) & (2**64 - 1)
        return value - 2**64 if value >= 2**63 else value
    a, b = Owner(), Owner()
    assert hash(a.noargs) ^ hash(b.noargs) == rotated(id(a)) ^ rotated(id(b))
    assert hash(a.one) ^ hash(Owner.one) == rotated(id(a))


def test_method_object_compares_only_with_its_own_type():
    m = Owner().noargs
    assert m.__eq__(5) is NotImplemented and m != 5 and m != raw("noargs")
    for compare in ("__lt__", "__le__", "__gt__", "__ge__"):
        assert getattr(m, compare)(m) is NotImplemented
    with pytest.raises(TypeError):
        m < m


def test_method_object_weak_reference():
    m, died = Owner().noargs, []
    ref = weakref.ref(m, died.append)
    assert ref() is m
    del m
    assert ref() is None and died == [ref]  # the callback proves the weak list was cleared


def test_constructors_refuse_an_unsupported_calling_convention():
    for make in (lambda: probe.make_method("fastcall"), lambda: probe.make_method("fastcall", Owner()),
                 lambda: probe.make_descriptor("instance", "fastcall"),
                 lambda: probe.make_descriptor("static", "fastcall"),
                 lambda: probe.make_descriptor("mix", "fastcall")):
        with pytest.raises(SystemError, match="unsupported calling convention"):
            make()
    assert probe.make_descriptor("mix", "static_any").__get__(None, Owner)(1) == (None, (1,), None)


# --- lifetime --------------------------------------------------------------------------------

def test_reference_counts_stay_level_over_many_calls():
    o, s, token = Owner(), SubOwner(), object()

    def round_trip():
        Owner.counter, o.counter
        o.noargs(), o.one(token), o.anyargs(token, k=token), o.mixed(token), Owner.mixed(token)
        Owner.noargs(o), Owner.one(s, token), Owner.anyargs(o, token, k=token)
        o.static_one(token), Owner.static_any(token, k=token)
        o.noargs == o.alias, hash(o.one)
        raw("noargs").__get__(o, Owner), raw("mixed").__get__(s, SubOwner)
        for failing in (lambda: o.one(token, token), lambda: Owner.one(o, token, k=token),
                        lambda: Owner.anyargs(token), lambda: raw("noargs").__get__(token, Owner),
                        lambda: raw("counter").__get__(o, token), lambda: o.fails(token)):
            try:
                failing()
            except (TypeError, ValueError):
                pass

    round_trip()  # first-call caches settle here
    counts = lambda: [sys.getrefcount(x) for x in (o, s, token, Owner, SubOwner, raw("noargs"))]
    before = counts()
    for _ in range(1000):
        round_trip()
    assert counts() == before


def test_method_object_keeps_its_instance_alive():
    o = Owner()
    alive = weakref.ref(o)
    m = o.noargs
    del o
    gc.collect()
    assert alive() is m()[0]
    del m
    assert alive() is None


def test_cycle_through_a_method_object_is_collected():
    o = Owner()
    o.again = o.noargs  # o -> its dict -> method object -> o
    m_ref, o_ref = weakref.ref(o.again), weakref.ref(o)
    assert gc.is_tracked(o.again)
    assert o in gc.get_referents(o.again) and Owner in gc.get_referents(o.again)
    del o
    gc.collect()
    assert o_ref() is None and m_ref() is None
