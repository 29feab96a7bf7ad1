#!/usr/bin/env bash
# Runs the benchmarks of one build directory and prints their ratios.
set -euo pipefail
build=$(readlink -f "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
"$build/bench/delegate_bench" --benchmark_min_time=0.2
echo
/usr/bin/python3 "$root/bench/startup_bench.py" "$build"
echo
/usr/bin/python3 "$root/bench/binding_bench.py" "$build"
if command -v valgrind >/dev/null; then
  echo
  /usr/bin/python3 "$root/bench/callgrind_calls.py" "$build"
fi
echo
/usr/bin/python3 "$root/bench/docx_bench.py" "$build"
echo
/usr/bin/python3 "$root/bench/container_bench.py" "$build"
echo
/usr/bin/python3 "$root/bench/stream_bench.py" "$build"
echo
/usr/bin/python3 "$root/bench/generic_bench.py" "$build"
echo
/usr/bin/python3 "$root/bench/collection_bench.py" "$build"
