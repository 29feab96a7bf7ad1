"""Time of `import morvax.velto` in a fresh process, split into runtime start and the rest.

Usage: startup_bench.py <build dir> <runtime start in ms, measured natively>
Prints medians over several fresh processes.
"""
import os
import statistics
import subprocess
import sys

build, runtime_start_ms = sys.argv[1], float(sys.argv[2])
env = dict(os.environ, PYTHONPATH=os.path.join(build, "python"))
TIMER = ("import time; t = time.perf_counter(); import {module}; "
         "print((time.perf_counter() - t) * 1000)")


def median_ms(module, runs=7):
    times = []
    for _ in range(runs):
        out = subprocess.run([sys.executable, "-c", TIMER.format(module=module)], env=env,
                             capture_output=True, text=True, check=True).stdout
        times.append(float(out))
    return statistics.median(times)


package = median_ms("morvax")
velto = median_ms("morvax.velto")
rest = velto - runtime_start_ms
print(f"import morvax.velto: {velto:.1f} ms (median of 7 fresh processes)")
print(f"  runtime start and exchange-host bind: {runtime_start_ms:.1f} ms ({runtime_start_ms / velto:.0%})")
print(f"  the rest (siblings, callbacks, object host, module): {rest:.1f} ms ({rest / velto:.0%})")
print(f"  for scale, import morvax alone: {package:.1f} ms")
