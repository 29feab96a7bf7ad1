"""Importing morvax.velto: the runtime really runs, and the module's own version values."""
import struct

import pytest

from conftest import import_velto, run_python


@pytest.fixture(scope="module")
def velto(built):
    import morvax.velto
    return morvax.velto


def test_import_starts_coreclr_in_this_process(built):
    result = import_velto(after=(
        "import morvax.velto as v\n"
        "print('VERSION', v.VERSION)\n"
        "maps = open('/proc/self/maps').read()\n"
        "print('CORECLR', 'libcoreclr.so' in maps, 'morvax.embed.coreclrwrap.so' in maps)\n"))
    assert "IMPORT OK" in result.stdout, result.stdout + result.stderr
    assert "VERSION 25.8.0.0" in result.stdout
    assert "CORECLR True True" in result.stdout
    assert result.returncode == 0, result.stderr


def test_the_runtime_takes_the_hosts_collector_settings(built):
    # In a fresh process, so that nothing else started the runtime first.
    result = run_python("import morvax.velto as mv\n"
                        "print('CONSERVE', mv.testing.ValueProbe.gc_setting('GCConserveMem'))\n")
    assert "CONSERVE 7" in result.stdout, result.stdout + result.stderr


def test_version_values_text_and_numbers(velto):
    version, threshold = velto.VERSION, velto._BACKWARD_COMPATIBILITY_THRESHOLD
    assert type(version) is velto._ModuleVersionType
    assert str(version) == "25.8.0.0" and version.view == "25.8.0.0"
    assert (version.major, version.minor, version.patch, version.sub) == (25, 8, 0, 0)
    assert repr(version) == "<morvax.velto._ModuleVersionType: 25.8.0.0>"
    assert str(threshold) == "22.6.0.0"
    with pytest.raises(AttributeError):
        version.major = 1
    with pytest.raises(TypeError):
        velto._ModuleVersionType()
    with pytest.raises(TypeError):
        class Derived(velto._ModuleVersionType):
            pass


def test_version_comparison_only_between_version_values(velto):
    version, threshold = velto.VERSION, velto._BACKWARD_COMPATIBILITY_THRESHOLD
    assert threshold < version and threshold <= version and version > threshold
    assert version == version and not version != version and version >= version
    assert version != threshold
    assert version.__eq__((25, 8, 0, 0)) is NotImplemented
    assert (version == "25.8.0.0") is False
    with pytest.raises(TypeError):
        version < "25.8.0.0"
    with pytest.raises(TypeError):
        version < (25, 8, 0, 0)


def fnv1a(numbers):
    value = 0x811C9DC5
    for byte in struct.pack("<4i", *numbers):
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    value = value - (1 << 32) if value >= 1 << 31 else value
    return -2 if value == -1 else value


def test_version_hash_is_fnv1a_of_the_numbers(velto):
    assert hash(velto.VERSION) == fnv1a((25, 8, 0, 0))
    assert hash(velto._BACKWARD_COMPATIBILITY_THRESHOLD) == fnv1a((22, 6, 0, 0))
    assert {velto.VERSION: 1}[velto.VERSION] == 1


def test_package_attributes_and_hook_dirs(velto):
    import os
    assert velto.__path__ == [] and velto.__package__ == "morvax.velto"
    base = os.path.dirname(velto.__file__)
    assert velto.get_pyinstaller_hook_dirs() == [os.path.join(base, "__pyinstaller")] + [
        os.path.join(base, name, "__pyinstaller")
        for name in ("velto", "pydrawing", "pyreflection", "pygc", "pycore")]
    with pytest.raises(TypeError):
        velto.get_pyinstaller_hook_dirs(1)


def test_version_attributes_can_be_rebound(built):
    result = run_python("import morvax.velto as v\nv.VERSION = 'x'\nprint(v.VERSION)\n")
    assert result.stdout.strip() == "x", result.stderr


def test_a_failing_type_leaves_no_half_built_tree(built):
    # With IntEnum unavailable, building the first enumeration fails: an ImportError with
    # its code, no submodule left in sys.modules, and a later import (enum restored) works.
    code = """
import enum, sys, types
real = enum
sys.modules["enum"] = types.ModuleType("enum")
try:
    import morvax.velto
except ImportError as e:
    _show_chain(e)
sys.modules["enum"] = real
print("LEFT", sorted(name for name in sys.modules if name.startswith("morvax.velto")))
import morvax.velto as mv
print("AGAIN", mv.VERSION, mv.saving.SaveFormat.DOCX if hasattr(mv.saving, "SaveFormat") else mv.SaveFormat.DOCX)
"""
    result = run_python(code)
    lines = result.stdout.splitlines()
    chain = [line[len("CHAIN "):] for line in lines if line.startswith("CHAIN ")]
    assert chain[0] == "ImportError: One or more errors occurred while loading the module 'morvax.velto' (-1006)"
    assert chain[1].startswith("ImportError: Type initialization internal error (-1013) <morvax.velto.")
    assert "LEFT []" in lines
    assert "AGAIN 25.8.0.0 20" in lines, result.stdout + result.stderr


def test_import_leaves_the_collector_as_it_found_it(built):
    # The tree is built with the collector held off; every way out of the import leaves it
    # as the process had it, or as Python code run during the import (here the enum
    # module's own import) set it, and the collector still finds garbage afterwards.
    code = """
import gc, sys, types
print("PLAIN", gc.isenabled())
import enum
real = enum
sys.modules["enum"] = types.ModuleType("enum")
try:
    import morvax.velto
except ImportError:
    print("FAILED", gc.isenabled())
gc.disable()
try:
    import morvax.velto
except ImportError:
    print("FAILED-OFF", gc.isenabled())
gc.enable()
# An enum module whose import turns the collector off: the import ends with it off.
switching = types.ModuleType("enum")
def __getattr__(name):
    gc.disable()
    return getattr(real, name)
switching.__getattr__ = __getattr__
sys.modules["enum"] = switching
import morvax.velto as mv
print("SWITCHED", gc.isenabled())
gc.enable()
sys.modules["enum"] = real
class Cycle:
    pass
first, second = Cycle(), Cycle()
first.other, second.other = second, first
del first, second
print("FOUND", gc.collect() >= 2, mv.BreakType.PAGE_BREAK == 1)
"""
    result = run_python(code)
    lines = result.stdout.splitlines()
    assert lines == ["PLAIN True", "FAILED True", "FAILED-OFF False", "SWITCHED False", "FOUND True True"], (
        result.stdout + result.stderr)


def test_import_keeps_the_collector_off_when_it_was_off(built):
    result = run_python("import gc; gc.disable(); import morvax.velto; print('OFF', gc.isenabled())")
    assert result.stdout.split() == ["OFF", "False"], result.stdout + result.stderr
