#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine (nothing from a
# Python package index, which is not reachable). Already-installed packages are skipped.
set -euo pipefail
packages=(python3-dev python3-pytest python3-mypy python3-pip python3-venv cmake g++ make libgtest-dev libbenchmark-dev clang-format valgrind)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
command -v dotnet >/dev/null || { echo "The .NET 10 SDK ('dotnet') is required" >&2; exit 1; }
