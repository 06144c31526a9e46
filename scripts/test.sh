#!/usr/bin/env bash
# Builds and tests both builds of pelquist_copy:
#   build/posix     native g++, warnings as errors
#   build/generic   the same without Linux's own calls, as on other POSIX kernels
#   build/sanitize  native clang++ with AddressSanitizer and UndefinedBehaviorSanitizer
#   build/tsan      native clang++ with ThreadSanitizer: the copies that run at once, the
#                   walk's read-ahead
#   build/fuzz      clang++ libFuzzer targets, each run 20 s from its seed corpus (fuzz/)
#   build/windows   mingw-w64 cross build, tests run under Wine (code page 932)
# then the release packages (scripts/package.sh, scripts/check-packages.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# The tree as its .clang-format lays it out.
find app copy quillkit tests fuzz -name '*.cpp' -o -name '*.h' | sort |
  xargs clang-format --dry-run --Werror
# No folder includes from a folder that includes from it.
scripts/include-graph.sh >/dev/null

jobs=$(nproc)
build() {  # name, then cmake options
  local dir=build/$1
  shift
  cmake -S . -B "$dir" -DPELQUIST_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
check() {
  ctest --test-dir "build/$1" --output-on-failure -j "$jobs"
}

build posix -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++
check posix

# The ways of other POSIX kernels (read and write, named temporaries, hard links to
# claim a name), which Linux itself never takes.
build generic -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DPELQUIST_GENERIC_POSIX=ON
check generic

build sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DPELQUIST_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 check sanitize

# The copies that run at once and the walk's read-ahead, under ThreadSanitizer: the
# scheduler's and the walker's tests and the program itself on real trees.
build tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPELQUIST_TSAN=ON
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -j "$jobs" \
  -R '^(app_tests|find_tests|e2e_tests)$'

# Tests of permission bits skip themselves as root; run their programs again as an
# unprivileged user where this machine allows it.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  for program in e2e_tests find_tests interpreter_tests; do
    path=$PWD/build/posix/tests/$program
    if (cd / && "${nobody[@]}" test -x "$path"); then
      echo "== $program as an unprivileged user"
      (cd / && "${nobody[@]}" "$path" --gtest_brief=1)
    fi
  done
fi

build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPELQUIST_FUZZ=ON \
  -DBUILD_TESTING=OFF
fuzz/run.sh build/fuzz 20

build windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
status=0
check windows || status=$?

# The release packages, built into dist/ and checked as a user meets them; the .exe of
# the zip runs in the Wine prefix of the Windows tests.
if [ $status -eq 0 ]; then
  { scripts/package.sh && WINE_HOME=build/windows scripts/check-packages.sh; } || status=$?
fi
WINEPREFIX="$PWD/build/windows/wine-prefix" wineserver -k 2>/dev/null || true
exit $status
