#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it
# (.clang-format). Generated code lives in the build directory and is not checked.
#   tools/check-format.sh          list the files that need formatting, exit 1 if any
#   tools/check-format.sh --fix    format them in place
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.hpp' ':!:dotnet/**')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/check-format.$$; then
  grep -oE '^[^ :]+:[0-9]+:[0-9]+: (warning|error)' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/needs formatting: /' >&2
  rm -f /tmp/check-format.$$
  echo "run tools/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/check-format.$$
