#!/usr/bin/env bash
# Checks what users get from one build: the type stubs against the built module (stubtest),
# the demo and the examples under `mypy --strict`, then the wheel built by pip through the
# in-repository backend, installed into a fresh venv outside the checkout, running the demo
# and the examples from there.
#   tools/check-package.sh <build dir>
# The wheel is built in build-wheel/ (or MORVAX_WHEEL_BUILD_DIR), reused when it exists.
set -euo pipefail
build=$(readlink -f "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What the user's machine has: no locations chosen for the runtime host, nothing on the path.
unset NETCORE_WRAPPER_NETCORE_DIR_morvax NETCORE_WRAPPER_ASSEMBLY_DIR_morvax \
  NETCORE_WRAPPER_FRAMEWORK_DIR_morvax PYTHONPATH MYPYPATH

echo "== type stubs against the built module =="
(cd "$work" && PYTHONPATH="$build/python" /usr/bin/python3 -m mypy.stubtest \
  --allowlist "$build/python/stubtest-allowlist.txt" morvax.velto)
(cd "$work" && MYPYPATH="$build/python" /usr/bin/python3 -m mypy --strict --cache-dir "$work/mypy-tree" \
  "$root/demo/demo.py" "$root/examples")

echo "== the wheel, installed into a fresh venv =="
(cd "$root" && MORVAX_WHEEL_BUILD_DIR="${MORVAX_WHEEL_BUILD_DIR:-$root/build-wheel}" \
  /usr/bin/python3 -m pip wheel . --no-deps --no-cache-dir -q -w "$work/dist")
wheel=$(ls "$work"/dist/*.whl)
echo "$(basename "$wheel"): $(stat -c %s "$wheel") bytes"
/usr/bin/python3 -m venv "$work/venv"
"$work/venv/bin/pip" install -q --no-index "$wheel"
python="$work/venv/bin/python"
mkdir "$work/run"
cp "$root/demo/demo.py" "$root"/examples/*.py "$work/run/"
cd "$work/run"
"$python" -c "import morvax.velto, sys; assert '/venv/' in morvax.velto.__file__, morvax.velto.__file__"
"$python" demo.py "$work/demo"
"$python" report.py "$work/documents"
"$python" statistics.py "$work/documents"
"$python" convert.py "$work/documents" "$work/converted" txt
/usr/bin/python3 -m mypy --python-executable "$python" --strict --cache-dir "$work/mypy-venv" \
  demo.py report.py statistics.py convert.py
