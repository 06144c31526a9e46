#!/usr/bin/env bash
# Installs the Debian packages that the builds and tests need, when any is missing.
# Usage: install-deps.sh [build]   ("build": only what building the program needs)
set -euo pipefail

packages=(cmake make g++)
if [ "${1:-all}" != build ]; then
  # libclang-rt-14-dev: the sanitizer runtimes and libFuzzer (libclang_rt.fuzzer).
  packages+=(clang libclang-rt-14-dev libgtest-dev googletest g++-mingw-w64-x86-64 wine64 wine
             locales util-linux libc-bin)
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
