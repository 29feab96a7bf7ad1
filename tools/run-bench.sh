#!/usr/bin/env bash
# Runs the benchmarks of one build directory and prints their ratios.
set -euo pipefail
build=$(readlink -f "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bench/delegate_bench" --benchmark_min_time=0.2 | tee "$out"
start_ms=$(awk '/^RUNTIME_START_MS/ {print $2}' "$out")
echo
/usr/bin/python3 "$root/bench/startup_bench.py" "$build" "$start_ms"
