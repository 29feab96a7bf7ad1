"""Processes forked from one whose .NET runtime runs: the parent is never harmed, the child
refuses every call into .NET at once, and processes that start their own runtime work.

Each case runs a script in a fresh interpreter with a timeout: what is at stake is a crash
or a hang of a whole process.
"""
import os
import signal
import subprocess
import sys

import pytest

from conftest import PACKAGE_ROOT, TEST_SUPPORT

FORKED_MESSAGE = "the .NET runtime cannot be used in a process forked after it started"

pytestmark = pytest.mark.usefixtures("built")


def run_script(tmp_path, source, timeout=90):
    script = tmp_path / "script.py"
    script.write_text(source)
    env = dict(os.environ, PYTHONPATH=f"{PACKAGE_ROOT}:{TEST_SUPPORT}")  # keeps a sanitizer's preload
    return subprocess.run([sys.executable, str(script)], env=env, capture_output=True, text=True,
                          errors="replace", timeout=timeout)


def assert_finished(result, *expected):
    output = result.stdout + result.stderr
    assert result.returncode == 0, f"exit {result.returncode}:\n{output}"
    for line in expected:
        assert line in result.stdout, output


# The parent keeps running .NET code it has not run before, so that damage to its code
# memory shows up as a crash rather than staying latent.
PARENT_AFTER = '''
doc = mv.Document()
builder = mv.DocumentBuilder(doc)
builder.writeln("after")
builder.font.bold = True
builder.write("the child")
print("PARENT", repr(doc.get_text().strip()))
'''


def test_parent_survives_a_child_that_uses_the_library(tmp_path):
    result = run_script(tmp_path, '''
import os, morvax.velto as mv
mv.Document()
pid = os.fork()
if pid == 0:
    try:
        mv.DocumentBuilder(mv.Document()).writeln("x")
        os._exit(3)
    except RuntimeError as error:
        print("CHILD", error, flush=True)
        os._exit(0)
    os._exit(4)
_, status = os.waitpid(pid, 0)
print("CHILD STATUS", status)
''' + PARENT_AFTER)
    assert_finished(result, "CHILD " + FORKED_MESSAGE, "CHILD STATUS 0", "PARENT 'after\\rthe child'")


def test_in_a_child_every_way_into_dotnet_refuses_and_nothing_hangs(tmp_path):
    result = run_script(tmp_path, '''
import os, morvax.velto as mv
doc = mv.Document()
builder = mv.DocumentBuilder(doc)
pid = os.fork()
if pid == 0:
    attempts = {
        "construct": lambda: mv.Document(),
        "method": lambda: doc.get_text(),
        "property get": lambda: builder.font,
        "property set": lambda: setattr(doc, "remove_personal_information", True),
        "class service": lambda: mv.Document._type_of(),
        "hash": lambda: hash(doc),
        "compare": lambda: doc == builder.document,
        "cast": lambda: mv.DocumentBase._cast_to(doc),
        "enumeration": lambda: mv.SaveFormat._type_of(),
    }
    for name, attempt in attempts.items():
        try:
            attempt()
            print("CHILD", name, "passed through")
        except RuntimeError as error:
            print("CHILD", name, "refused" if str(error).startswith("the .NET runtime") else error)
        except AttributeError as error:
            print("CHILD", name, "refused")  # no such member: nothing to try here
    print("CHILD repr", repr(doc).startswith("<morvax.velto.Document object at"), flush=True)
    del doc, builder                    # releasing in the child must be silent
    import gc; gc.collect()
    raise SystemExit(0)                 # a normal exit: atexit and static destructors run
_, status = os.waitpid(pid, 0)
print("CHILD STATUS", status)
''' + PARENT_AFTER)
    assert_finished(result, "CHILD STATUS 0", "CHILD repr True", "PARENT 'after\\rthe child'")
    refused = [line for line in result.stdout.splitlines() if line.startswith("CHILD") and "refused" in line]
    assert len(refused) == 9, result.stdout


def test_parent_survives_a_child_that_enters_dotnet_behind_the_library(tmp_path):
    # The child calls a .NET entry point directly, never run before: the runtime would jit
    # it into code memory shared with the parent. Whatever happens to the child, the
    # parent's code stays its own.
    result = run_script(tmp_path, f'''
import ctypes, os, morvax.velto as mv
wrapper = ctypes.CDLL({str(PACKAGE_ROOT.parent / "runtime" / "netcore10.0" / "morvax.embed.coreclrwrap.so")!r})
slot = ctypes.c_void_p()
assert wrapper.coreclr_wrap_create_delegate(b"WrpInterop.Morvax.Velto", b"Morvax.WrpGen.Interop.Diagnostics",
                                            b"Echo", ctypes.byref(slot)) == 0
echo = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_int)(slot.value)
mv.Document()
pid = os.fork()
if pid == 0:
    status = wrapper.coreclr_wrap_create_delegate(b"WrpInterop.Morvax.Velto",
        b"Morvax.WrpGen.Interop.Diagnostics", b"LiveHandleCount", ctypes.byref(slot))
    print("CHILD DELEGATE", hex(status & 0xFFFFFFFF), "DOMAIN", wrapper.coreclr_wrap_is_domain_initialized(), flush=True)
    echo(7)
    os._exit(0)
_, status = os.waitpid(pid, 0)
print("ECHO", echo(5))
''' + PARENT_AFTER)
    assert_finished(result, "CHILD DELEGATE 0xa0de0007 DOMAIN 0", "ECHO 5", "PARENT 'after\\rthe child'")


def test_parent_survives_signals_sent_to_its_child(tmp_path):
    # The runtime's SIGTERM handler talks to a thread of the process that installed it;
    # in the child it must not reach the parent's.
    result = run_script(tmp_path, '''
import os, signal, time, morvax.velto as mv
mv.Document()
pid = os.fork()
if pid == 0:
    time.sleep(30)
    os._exit(0)
os.kill(pid, signal.SIGTERM)
_, status = os.waitpid(pid, 0)
print("CHILD SIGNAL", os.WTERMSIG(status) if os.WIFSIGNALED(status) else None)
time.sleep(0.5)
''' + PARENT_AFTER)
    assert_finished(result, f"CHILD SIGNAL {int(signal.SIGTERM)}", "PARENT 'after\\rthe child'")


POOL_SCRIPT = '''
import multiprocessing, sys
import morvax.velto as mv

def text_of(word):
    doc = mv.Document()
    mv.DocumentBuilder(doc).write(word)
    return doc.get_text().strip()

if __name__ == "__main__":
    mv.Document()
    context = multiprocessing.get_context(sys.argv[1] if len(sys.argv) > 1 else "{method}")
    with context.Pool(2) as pool:
        try:
            print("RESULT", pool.map(text_of, ["a", "b", "c"], chunksize=1))
        except RuntimeError as error:
            print("ERROR", error)
    print(PARENT_CHECK)
'''


@pytest.mark.parametrize("method", ["spawn", "forkserver"])
def test_pools_that_start_their_own_runtime_work(tmp_path, method):
    source = POOL_SCRIPT.replace("{method}", method).replace("print(PARENT_CHECK)", "print('PARENT', text_of('p'))")
    result = run_script(tmp_path, source, timeout=180)
    assert_finished(result, "RESULT ['a', 'b', 'c']", "PARENT p")


def test_a_fork_pool_fails_fast_and_the_parent_goes_on(tmp_path):
    source = POOL_SCRIPT.replace("{method}", "fork").replace("print(PARENT_CHECK)", "print('PARENT', text_of('p'))")
    result = run_script(tmp_path, source, timeout=60)
    assert_finished(result, "ERROR " + FORKED_MESSAGE, "PARENT p")


def test_a_child_forked_before_the_first_import_works_normally(tmp_path):
    result = run_script(tmp_path, '''
import os
pid = os.fork()
if pid == 0:
    import morvax.velto as mv
    doc = mv.Document()
    mv.DocumentBuilder(doc).write("child")
    print("CHILD", doc.get_text().strip(), flush=True)
    os._exit(0)
os.waitpid(pid, 0)
import morvax.velto as mv
''' + PARENT_AFTER)
    assert_finished(result, "CHILD child", "PARENT 'after\\rthe child'")
