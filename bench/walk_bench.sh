#!/usr/bin/env bash
# Compares the directory walk with find(1) on a tree of 100,000 files in 1,000
# directories (half of them *.txt) and prints walk time / find time from one warm run
# of each. Usage: bench/walk_bench.sh [BUILD_DIR]   (default build/bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target walk_bench >/dev/null
bench=$build/walk_bench

tree=$(mktemp -d "${TMPDIR:-/tmp}/walk-bench.XXXXXX")
trap 'rm -rf "$tree"' EXIT
for group in 0 1 2 3 4 5 6 7 8 9; do
  for sub in $(seq -w 0 99); do
    dir=$tree/g$group/d$sub
    mkdir -p "$dir"
    (cd "$dir" && touch f{000..049}.txt f{050..099}.dat)
  done
done

now() { date +%s%N; }

# Warm the cache and check that both count the same files.
found=$(find "$tree" -name '*.txt' | wc -l)
walked=$("$bench" "$tree")
if [ "$found" != "$walked" ]; then
  echo "walk_bench: find counted $found files, the walk $walked" >&2
  exit 1
fi

start=$(now)
find "$tree" -name '*.txt' >/dev/null
find_ns=$(( $(now) - start ))

start=$(now)
"$bench" "$tree" >/dev/null
walk_ns=$(( $(now) - start ))

echo "files: $walked of 100000 match *.txt"
echo "find:  $(( find_ns / 1000000 )) ms"
echo "walk:  $(( walk_ns / 1000000 )) ms"
awk -v w="$walk_ns" -v f="$find_ns" 'BEGIN { printf "ratio walk/find: %.2f\n", w / f }'
