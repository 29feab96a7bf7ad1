"""Shared helpers: where the built tree is, and running Python in a fresh process.

Start-up state is per process, so everything that depends on how morvax.velto started
runs in a subprocess of Debian's interpreter with the built package on its path.
"""
import os
import pathlib
import subprocess
import sys

import pytest

REPO = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("MORVAX_BUILD_DIR", REPO / "build")).resolve()
PACKAGE_ROOT = BUILD / "python"
RUNTIME_ROOT = BUILD / "runtime"
RUNTIME_DIR = RUNTIME_ROOT / "netcore10.0"
ASSEMBLY_ROOT = BUILD / "assemblies"
TEST_SUPPORT = BUILD / "test-support"
WRAPPER = RUNTIME_DIR / "morvax.embed.coreclrwrap.so"

LOCATION_VARIABLES = ("NETCORE_WRAPPER_NETCORE_DIR_morvax", "NETCORE_WRAPPER_ASSEMBLY_DIR_morvax")

# The package, and the test-only probe modules built beside it, import in-process.
for _root in (TEST_SUPPORT, PACKAGE_ROOT):
    if str(_root) not in sys.path:
        sys.path.insert(0, str(_root))

# Prints an exception with its chain of causes, one "Type: message" line each, so that the
# tests can check the whole story of a failed start-up.
SHOW_CHAIN = '''
def _show_chain(error):
    while error is not None:
        print("CHAIN", type(error).__name__ + ":", error)
        error = error.__cause__
'''


def run_python(code, *, env=None, unset=(), prelude="", timeout=120):
    """Runs code in a fresh interpreter; returns the CompletedProcess (text mode).

    env adds or replaces variables; unset removes variables after `import morvax`
    (whose __init__ fills in the built locations); then prelude and code run.
    """
    full_env = dict(os.environ)
    full_env["PYTHONPATH"] = os.pathsep.join([str(PACKAGE_ROOT), str(TEST_SUPPORT)])
    full_env.pop("COREHOST_TRACE", None)
    if env:
        full_env.update(env)
    script = SHOW_CHAIN + "import os, morvax\n"
    for name in unset:
        script += f"os.environ.pop({name!r}, None)\n"
    script += prelude + "\n" + code
    return subprocess.run([sys.executable, "-c", script], env=full_env, capture_output=True,
                          text=True, errors="replace", timeout=timeout)


def import_velto(*, env=None, unset=(), prelude="", after=""):
    """Tries `import morvax.velto`; prints OK or the exception chain, then runs `after`."""
    code = ("try:\n    import morvax.velto\n    print('IMPORT OK')\n"
            "except BaseException as e:\n    _show_chain(e)\n") + after
    return run_python(code, env=env, unset=unset, prelude=prelude)


def chain_lines(result):
    return [line[len("CHAIN "):] for line in result.stdout.splitlines() if line.startswith("CHAIN ")]


def trace_lines(result):
    return [line.rstrip("\r") for line in result.stdout.splitlines()]


@pytest.fixture(scope="session")
def built():
    if not (PACKAGE_ROOT / "morvax").is_dir():
        pytest.fail(f"no built package at {PACKAGE_ROOT}: run make first")
    return BUILD


def diagnostics_count(entry):
    """A diagnostics entry point of the interop assembly that returns a count, as a function."""
    import ctypes
    import morvax.velto  # noqa: F401  (the runtime must be up)
    wrapper = ctypes.CDLL(str(WRAPPER))
    slot = ctypes.c_void_p()
    status = wrapper.coreclr_wrap_create_delegate(
        b"WrpInterop.Morvax.Velto", b"Morvax.WrpGen.Interop.Diagnostics", entry.encode(), ctypes.byref(slot))
    assert status == 0, hex(status)
    return ctypes.CFUNCTYPE(ctypes.c_int)(slot.value)


class Handles:
    """The interop assembly's count of live .NET handles, read through its diagnostics entry."""

    def __init__(self):
        self._count = diagnostics_count("LiveHandleCount")

    def live(self):
        import gc
        gc.collect()
        return self._count()


@pytest.fixture(scope="session")
def handles(built):
    return Handles()


@pytest.fixture(scope="session")
def mv(built):
    import morvax.velto
    return morvax.velto
