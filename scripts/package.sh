#!/usr/bin/env bash
# Builds the release packages of pelquist_copy into dist/:
#   pelquist-copy_<version>_<arch>.deb          Debian package (POSIX build)
#   pelquist_copy-<version>-linux-<cpu>.tar.gz  the same files as a tarball
#   pelquist_copy-<version>-win64.zip           pelquist_copy.exe, README.txt, MANUAL.txt
# Release builds in build/package-posix and build/package-windows (kept, so that a
# second run only rebuilds what changed). scripts/check-packages.sh checks the result.
#
# The packages reproduce: two runs on one commit, in any two folders, give the same
# bytes. Every time stamp in them (the files in the .deb, the tarball and the zip, the
# PE header of the .exe) is SOURCE_DATE_EPOCH, by default the time of the last commit
# (or, outside a git checkout, of the newest CHANGELOG entry); the compilers map the
# source folder to "." in what they record of it.
# The POSIX build is hardened with the flags of dpkg-buildflags (fortify, stack
# protector, relro, bindnow), warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null ||
    dpkg-parsechangelog -l CHANGELOG -S Timestamp)
fi
export SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C
umask 022

jobs=$(nproc)
package() {  # name, then cmake options
  local dir=build/package-$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPELQUIST_WERROR=ON \
    "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  # Packages of an earlier version must not be taken for this one's.
  rm -f "$dir"/*.deb "$dir"/*.tar.gz "$dir"/*.zip
  (cd "$dir" && cpack)
}

# The folder of this tree is "." in file names that the compilers record (__FILE__,
# debug information), as dpkg-buildflags does it.
prefix_map="-ffile-prefix-map=$PWD=."
buildflag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
package posix -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="$(buildflag CPPFLAGS) $(buildflag CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(buildflag LDFLAGS)"
package windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_CXX_FLAGS="$prefix_map"

rm -rf dist
mkdir dist
cp build/package-posix/*.deb build/package-posix/*.tar.gz build/package-windows/*.zip dist/
echo "== dist/ (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
ls -l dist
