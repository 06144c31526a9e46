#!/usr/bin/env bash
# Installs the Debian packages that the builds and tests need, when any is missing.
# Usage: install-deps.sh [build|package]
#   build:   only what building the program needs
#   package: what scripts/package.sh needs (both builds, the manual, the Debian package)
set -euo pipefail

packages=(cmake make g++)
packaging=(g++-mingw-w64-x86-64 groff-base gzip dpkg-dev)
if [ "${1:-all}" = package ]; then
  packages+=("${packaging[@]}")
elif [ "${1:-all}" != build ]; then
  # libclang-rt-14-dev: the sanitizer runtimes and libFuzzer (libclang_rt.fuzzer).
  # strace: the races with another user hold a system call up to widen their window.
  # clang-format: the tree is checked against its .clang-format.
  packages+=(clang clang-format libclang-rt-14-dev libgtest-dev googletest
             g++-mingw-w64-x86-64 wine64 wine locales util-linux libc-bin strace)
  # python3-fusepy: a network share's client, as the tests mount one (root, /dev/fuse);
  # xfsprogs, btrfs-progs: the XFS and btrfs images the tests mount on loop devices.
  packages+=(python3-fusepy xfsprogs btrfs-progs)
  # scripts/check-packages.sh: listing and unpacking the packages, reading the
  # version resource of the .exe (exiftool), checking the manual page (man, mandoc),
  # the .deb (lintian) and the bash completion; building the Debian source package
  # (debhelper, for dpkg-buildpackage).
  packages+=("${packaging[@]}" unzip libimage-exiftool-perl binutils-mingw-w64-x86-64 man-db
             mandoc lintian bash-completion debhelper)
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
