#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine (nothing from a
# Python package index, which is not reachable). Already-installed packages are skipped.
set -euo pipefail
packages=(python3-dev python3-pytest python3-mypy python3-pip python3-venv cmake g++ make libgtest-dev libbenchmark-dev clang-format valgrind)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# Producers of Word files that the document-library tests read (and LibreOffice, which also
# reads back and prints what the library saved); their recommendations are not needed.
corpus_tools=(pandoc python3-docx libreoffice-writer-nogui)
missing_tools=()
for p in "${corpus_tools[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing_tools+=("$p")
done
if ((${#missing[@]} + ${#missing_tools[@]})); then
  echo "Installing: ${missing[*]} ${missing_tools[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
  fi
  if ((${#missing_tools[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing_tools[@]}"
  fi
fi
command -v dotnet >/dev/null || { echo "The .NET 10 SDK ('dotnet') is required" >&2; exit 1; }
