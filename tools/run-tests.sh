#!/usr/bin/env bash
# Runs every test suite against one build directory.
#   tools/run-tests.sh <build dir> [--sanitized]
# --sanitized: the C++ of that build carries ASan + UBSan, so the interpreter (which is not
# instrumented) gets the ASan runtime preloaded.
set -euo pipefail
build=$(readlink -f "$1")
sanitized=${2:-}
root=$(cd "$(dirname "$0")/.." && pwd)
export MORVAX_BUILD_DIR="$build"

if [ "$sanitized" = "--sanitized" ]; then
  # libstdc++ goes with it: the interpreter does not link it, and ASan's exception
  # interceptors must find it when they start.
  export LD_PRELOAD="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libstdc++.so)"
  # Leaks: the interpreter and the runtime keep process-lifetime objects on purpose.
  # Signals: the .NET runtime handles SIGSEGV itself (null references, stack probes).
  export ASAN_OPTIONS="detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:allow_user_segv_handler=1:use_sigaltstack=0:detect_stack_use_after_return=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  echo "== sanitized run (ASan + UBSan) =="
fi

if [ "$sanitized" != "--sanitized" ]; then
  # The C# tests do not change with the native sanitizers: run them in the normal pass.
  echo "== .NET unit tests =="
  # The library restores the Open XML SDK from the configured feed; the machine's offline
  # folder, when there is one, serves the test packages without a download.
  extra_sources=()
  [ -d /opt/nuget/packages ] && extra_sources=(-p:RestoreAdditionalProjectSources=/opt/nuget/packages)
  for project in Morvax.Velto.Tests Morvax.Generator.Tests; do
    DOTNET_CLI_TELEMETRY_OPTOUT=1 DOTNET_NOLOGO=1 DOTNET_SKIP_FIRST_TIME_EXPERIENCE=1 \
      dotnet test "$root/tests/dotnet/$project" --nologo --disable-build-servers \
      "${extra_sources[@]}" -p:MorvaxBuildRoot="$build/dotnet-tests/"
  done
fi

echo "== native unit tests =="
ctest --test-dir "$build" --output-on-failure

echo "== Python tests =="
# pytest exits 5 when it collected nothing: that is a failure here too.
/usr/bin/python3 -m pytest -q -p no:cacheprovider "$root/tests/python"

if [ "$sanitized" != "--sanitized" ]; then
  "$root/tools/check-package.sh" "$build"
  echo "== C++ formatting =="
  "$root/tools/check-format.sh"
fi
