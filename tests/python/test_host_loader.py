"""The runtime host loader: tracing, the directory searches over real trees, and every way
the wrapper library can be missing, incomplete or already present."""
import os

import pytest

from conftest import (ASSEMBLY_ROOT, BUILD, LOCATION_VARIABLES, RUNTIME_DIR, TEST_SUPPORT, WRAPPER,
                      chain_lines, import_velto, trace_lines)

TRACE = {"COREHOST_TRACE": "1"}
EXE = os.path.realpath("/usr/bin/python3")
EXE_DIR = os.path.dirname(EXE) + "/"
LOAD_FAILURE = "ImportError: One or more errors occurred while loading the module 'morvax.velto' (-1007)"


def exchange_host_error(entry):
    return ("TypeError: While initializing the host for the 'Morvax.WrpGen.Interop.ExchangeHost "
            f"(Assembly=WrpInterop.Morvax.Velto)' type, an error occurred - Method '{entry}' not found (error=")


def value_of(lines, key):
    """The quoted value of the first trace line 'KEY: '...''."""
    for line in lines:
        if line.startswith(key + ": '"):
            return line[len(key) + 3:-1]
    raise AssertionError(f"no {key} line in {lines}")


def test_full_trace_of_a_normal_start_and_shutdown(built):
    result = import_velto(env=TRACE)
    lines = trace_lines(result)
    search = value_of(lines, "PRODUCT_ASSEMBLY_DIR")
    assert lines == [
        "CLR host tracing enabled",
        "Initializing .NET Core host...",
        f"NETCORE_DIR: '{RUNTIME_DIR}'",
        f"PRODUCT_ASSEMBLY_DIR: '{search}'",
        f"Loading: '{RUNTIME_DIR}/morvax.embed.coreclrwrap.so'",
        "Try get module...",
        "No existed module...",
        "wrap dll loaded",
        f"Loading2: '{RUNTIME_DIR}/libcoreclr.so'",
        ".NET Core host ready.",
        "Creating default AppDomain...",
        f"APP_PATH: '{search}'",
        f"APP_NI_PATHS: '{search}'",
        f"NATIVE_DLL_SEARCH_DIRECTORIES: '{search}'",
        f"HOST_EXE_PATH: '{EXE}'",
        "Default AppDomain ready.",
        "IMPORT OK",
        "Shutdowning .NET Core host...",
        ".NET Core host is down: 0",
    ], result.stderr
    # The built assembly root: its subdirectories with pydrawing last, then the runtime.
    entries = search.split(":")
    assert entries[-2:] == [f"{ASSEMBLY_ROOT}/pydrawing", str(RUNTIME_DIR)]
    assert f"{ASSEMBLY_ROOT}/interop" in entries


@pytest.mark.parametrize("value,on", [("0", False), ("", False), ("yes", False), ("-3", False),
                                      ("1", True), ("2", True), ("7abc", True)])
def test_trace_switch(built, value, on):
    result = import_velto(env={"COREHOST_TRACE": value})
    lines = trace_lines(result)
    assert "IMPORT OK" in lines, result.stdout + result.stderr
    assert ("CLR host tracing enabled" in lines) is on
    assert (len(lines) > 1) is on


def test_newest_runtime_subdirectory_holding_the_wrapper_wins(built, tmp_path):
    root = tmp_path / "runtimes"
    root.mkdir()
    (root / "netcore8.0").symlink_to(RUNTIME_DIR, target_is_directory=True)
    (root / "netcore9.0").mkdir()  # newer, but without the wrapper
    (root / "netcore3.1").mkdir()
    for ignored in ("netcore11", "Netcore12.0", "netcore12.0.1", "netcore13.x"):
        (root / ignored).mkdir()
        (root / ignored / WRAPPER.name).symlink_to(WRAPPER)
    result = import_velto(env={**TRACE, "NETCORE_WRAPPER_NETCORE_DIR_morvax": str(root)})
    lines = trace_lines(result)
    assert "IMPORT OK" in lines, result.stdout + result.stderr
    assert value_of(lines, "NETCORE_DIR") == f"{root}/netcore8.0"


def test_assembly_subdirectories_reversed_with_pydrawing_last(built, tmp_path):
    assemblies = tmp_path / "assemblies"
    assemblies.mkdir()
    (assemblies / "interop").symlink_to(ASSEMBLY_ROOT / "interop", target_is_directory=True)
    for name in ("alpha", "pydrawing", "zeta", "mid"):
        (assemblies / name).mkdir()
    (assemblies / "a-file").write_text("not a directory")
    result = import_velto(env={**TRACE, "NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(assemblies)})
    lines = trace_lines(result)
    assert "IMPORT OK" in lines, result.stdout + result.stderr
    listed = [n for n in os.listdir(assemblies) if (assemblies / n).is_dir()]
    expected = [str(assemblies / n) for n in reversed(listed) if n != "pydrawing"]
    expected += [str(assemblies / "pydrawing"), str(RUNTIME_DIR)]
    assert value_of(lines, "PRODUCT_ASSEMBLY_DIR") == ":".join(expected)


def test_without_locations_everything_is_the_executables_directory(built):
    result = import_velto(env=TRACE, unset=LOCATION_VARIABLES)
    lines = trace_lines(result)
    assert value_of(lines, "NETCORE_DIR") == EXE_DIR
    assert value_of(lines, "PRODUCT_ASSEMBLY_DIR") == EXE_DIR
    assert "No: '" + EXE_DIR + "morvax.embed.coreclrwrap.so'" in lines


def test_missing_wrapper_is_an_import_error_and_stays_one(built, tmp_path):
    empty_root = tmp_path / "no-runtime"
    empty_root.mkdir()
    again = ("try:\n    import morvax.velto\nexcept ImportError as e:\n    _show_chain(e)\n"
             "print('STILL RUNNING', sum(range(10)))\n")
    result = import_velto(env={"NETCORE_WRAPPER_NETCORE_DIR_morvax": str(empty_root)}, after=again)
    chain = chain_lines(result)
    wrapper_at_exe = EXE_DIR + WRAPPER.name
    assert chain[0] == LOAD_FAILURE, result.stdout + result.stderr
    assert chain[1].startswith(
        f"ImportError: DynamicLibrary::load: cannot load the runtime wrapper library '{wrapper_at_exe}'")
    assert chain[2:] == chain[:2]
    assert "STILL RUNNING 45" in result.stdout
    assert result.returncode == 0


def fake_runtime(tmp_path, wrapper):
    """A runtime root whose netcore10.0 has the framework files and the given wrapper."""
    runtime = tmp_path / "runtime" / "netcore10.0"
    runtime.mkdir(parents=True)
    for entry in RUNTIME_DIR.iterdir():
        if not entry.name.startswith("morvax.embed.coreclrwrap"):
            (runtime / entry.name).symlink_to(entry.resolve())
    (runtime / WRAPPER.name).symlink_to(wrapper)
    return tmp_path / "runtime"


def test_wrapper_missing_an_export(built, tmp_path):
    root = fake_runtime(tmp_path, TEST_SUPPORT / "wrapper-missing-export" / WRAPPER.name)
    result = import_velto(env={"NETCORE_WRAPPER_NETCORE_DIR_morvax": str(root)})
    assert chain_lines(result) == [LOAD_FAILURE, "ImportError: No such symbol: coreclr_wrap_is_domain_initialized"]


def test_runtime_that_fails_to_load(built, tmp_path):
    root = fake_runtime(tmp_path, WRAPPER)
    (root / "netcore10.0" / "libcoreclr.so").unlink()
    result = import_velto(env={"NETCORE_WRAPPER_NETCORE_DIR_morvax": str(root)})
    assert chain_lines(result) == [LOAD_FAILURE, "ImportError: init coreclr wap"]


def test_runtime_that_refuses_to_start_reports_what_was_passed(built, tmp_path):
    # A platform assembly list without the core library makes the runtime refuse to start.
    root = fake_runtime(tmp_path, WRAPPER)
    (root / "netcore10.0" / "System.Private.CoreLib.dll").unlink()
    result = import_velto(env={"NETCORE_WRAPPER_NETCORE_DIR_morvax": str(root)})
    chain = chain_lines(result)
    assert chain[0] == LOAD_FAILURE
    assert chain[1].startswith("ImportError: coreclr_initialize failed (0x")
    assert "[<APP_DOMAIN_NAME>='MorvaxCLRHostDomain',<HOST_EXE_PATH>='" + EXE + "'" in chain[1]
    assert ",<AppDomainCompatSwitch>='UseLatestBehaviorWhenTFMNotSpecified',<System.GC.ConserveMemory>='7']" in chain[1]


def test_assembly_path_that_is_not_utf8(built, tmp_path):
    assemblies = tmp_path / "assemblies"
    assemblies.mkdir()
    (assemblies / "interop").symlink_to(ASSEMBLY_ROOT / "interop", target_is_directory=True)
    os.mkdir(os.fsencode(assemblies) + b"/bad-\xff")
    result = import_velto(env={"NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(assemblies)})
    assert chain_lines(result) == [LOAD_FAILURE, "ImportError: bad conversion"]


def test_interop_assembly_without_an_exchange_host_entry(built):
    variant = BUILD / "test-assemblies" / "omit-generic"
    result = import_velto(env={"NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(variant)})
    chain = chain_lines(result)
    assert chain[0] == LOAD_FAILURE, result.stdout + result.stderr
    assert chain[1].startswith(exchange_host_error("SetPyGenericCallbacks")), chain
    assert len(chain) == 2


LOAD_WRAPPER_FIRST = f"import ctypes\nwrapper = ctypes.CDLL({str(WRAPPER)!r})\n"

START_RUNTIME_OURSELVES = LOAD_WRAPPER_FIRST + f"""
assert wrapper.coreclr_wrap_load({str(RUNTIME_DIR / 'libcoreclr.so').encode()!r})
paths = {f'{ASSEMBLY_ROOT}/interop:{RUNTIME_DIR}'.encode()!r}
keys = (ctypes.c_char_p * 3)(b"TRUSTED_PLATFORM_ASSEMBLIES", b"APP_PATHS", b"NATIVE_DLL_SEARCH_DIRECTORIES")
values = (ctypes.c_char_p * 3)(b"", paths, paths)
status = wrapper.coreclr_wrap_initialize(b"/usr/bin/python3", b"OtherProduct", 3, keys, values)
assert status == 0, hex(status)
"""


def test_wrapper_loaded_by_someone_else_is_used_as_it_is(built):
    # Found, not loaded here: no runtime load, no domain, and so no exchange host.
    result = import_velto(env=TRACE, prelude=LOAD_WRAPPER_FIRST)
    lines = trace_lines(result)
    assert "Using existed module..." in lines and "No existed module..." not in lines
    assert not any(line.startswith("Loading2") for line in lines)
    assert "Creating default AppDomain..." not in lines
    assert "Shutdowning .NET Core host..." not in lines
    assert chain_lines(result)[:1] == [LOAD_FAILURE]
    assert chain_lines(result)[1].startswith(exchange_host_error("GetTypeName"))


def test_runtime_started_by_someone_else_is_joined_and_left_running(built):
    result = import_velto(env=TRACE, prelude=START_RUNTIME_OURSELVES,
                          after="import morvax.velto as v\nprint('VERSION', v.VERSION)\n")
    lines = trace_lines(result)
    assert "IMPORT OK" in lines and "VERSION 25.8.0.0" in lines, result.stdout + result.stderr
    assert "Using existed module..." in lines
    assert "Creating default AppDomain..." not in lines
    assert "Shutdowning .NET Core host..." not in lines
    assert result.returncode == 0
