#!/usr/bin/env bash
# Builds the release packages of pelquist_copy into dist/:
#   pelquist-copy_<version>_<arch>.deb          Debian package (POSIX build)
#   pelquist_copy-<version>-linux-<cpu>.tar.gz  the same files as a tarball
#   pelquist_copy-<version>-win64.zip           pelquist_copy.exe, README.txt, MANUAL.txt
# Release builds in build/package-posix and build/package-windows (kept, so that a
# second run only rebuilds what changed). scripts/check-packages.sh checks the result.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package

jobs=$(nproc)
package() {  # name, then cmake options
  local dir=build/package-$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  # Packages of an earlier version must not be taken for this one's.
  rm -f "$dir"/*.deb "$dir"/*.tar.gz "$dir"/*.zip
  (cd "$dir" && cpack)
}

package posix -DCMAKE_CXX_COMPILER=g++
package windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

rm -rf dist
mkdir dist
cp build/package-posix/*.deb build/package-posix/*.tar.gz build/package-windows/*.zip dist/
echo "== dist/"
ls -l dist
