"""Time of `import morvax.velto` in a fresh process, split into runtime start and the rest.

The split is measured in one process: the runtime is started first through the wrapper
library (as another module of the family would), then morvax.velto is imported and joins
it, so the second figure is everything but CoreCLR's own start.
Usage: startup_bench.py <build dir>
"""
import os
import statistics
import subprocess
import sys

build = os.path.abspath(sys.argv[1])
env = dict(os.environ, PYTHONPATH=os.path.join(build, "python"))
runtime = os.path.join(build, "runtime", "netcore10.0")
assemblies = os.path.join(build, "assemblies")
search = ":".join([os.path.join(assemblies, d) for d in sorted(os.listdir(assemblies))] + [runtime])

PLAIN = "import time; t = time.perf_counter(); import morvax.velto; print((time.perf_counter() - t) * 1000)"
SPLIT = f"""
import ctypes, time
t0 = time.perf_counter()
w = ctypes.CDLL({os.path.join(runtime, 'morvax.embed.coreclrwrap.so')!r})
assert w.coreclr_wrap_load({os.path.join(runtime, 'libcoreclr.so').encode()!r})
keys = (ctypes.c_char_p * 3)(b"TRUSTED_PLATFORM_ASSEMBLIES", b"APP_PATHS", b"NATIVE_DLL_SEARCH_DIRECTORIES")
values = (ctypes.c_char_p * 3)(b"", {search.encode()!r}, {search.encode()!r})
assert w.coreclr_wrap_initialize(b"/usr/bin/python3", b"bench", 3, keys, values) == 0
t1 = time.perf_counter()
import morvax.pygc, morvax.pydrawing, morvax.pyreflection
t2 = time.perf_counter()
import morvax.velto
t3 = time.perf_counter()
print((t1 - t0) * 1000, (t2 - t1) * 1000, (t3 - t2) * 1000)
"""


def run(code):
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True,
                          check=True).stdout.split()


RUNS = 9
total = statistics.median(float(run(PLAIN)[0]) for _ in range(RUNS))
splits = [tuple(map(float, run(SPLIT))) for _ in range(RUNS)]
start, siblings, module = (statistics.median(s[i] for s in splits) for i in range(3))
print(f"import morvax.velto in a fresh process: {total:.1f} ms (median of {RUNS})")
print(f"  CoreCLR start (wrapper load, runtime load, domain): {start:.1f} ms")
print(f"  sibling modules: {siblings:.1f} ms")
print(f"  morvax.velto itself (26 delegates, callbacks, the module tree with every class and enumeration): {module:.1f} ms")
print(f"  CoreCLR's share: {start / (start + siblings + module):.0%}")
