#!/usr/bin/env bash
# Benchmark: collect-copy of 20,000 files (1 KiB to 1 MiB, spread log-uniformly, in 200
# directories) with its trace sent to /dev/null, against
#   find SRC -name '*.dat' -exec cp -t DST {} +
# on the same tree and file system. Prints both wall times and their ratio (one run).
# BENCH_DIR chooses the file system (default: /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target pelquist_copy >/dev/null
program=$PWD/build/bench/pelquist_copy

work=$(mktemp -d "${BENCH_DIR:-/tmp}/pelquist-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$work/src" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(7)
block = os.urandom(1 << 20)
for d in range(200):
    directory = os.path.join(root, "d%03d" % (d // 20), "e%03d" % d)
    os.makedirs(directory)
    for f in range(100):
        size = int(1024 * 1024 ** random.random())  # 1 KiB .. 1 MiB, log-uniform
        with open(os.path.join(directory, "f%03d_%05d.dat" % (d, f)), "wb") as out:
            out.write(block[:size])
PY
sync
mkdir "$work/by-cp" "$work/by-pelquist"  # an absolute destination is not created
now() { date +%s.%N; }

start=$(now)
"$program" -collectcopy -nosw "$work/src/*.dat" "$work/by-pelquist" >/dev/null
ours=$(awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }')

start=$(now)
find "$work/src" -name '*.dat' -exec cp -t "$work/by-cp" {} +
theirs=$(awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }')

copied=$(ls "$work/by-pelquist" | wc -l)
printf 'files: %s (collected %s), %s\n' 20000 "$copied" "$(du -sh "$work/src" | cut -f1)"
printf 'collect-copy: %.2f s\nfind + cp:    %.2f s\nratio:        %.2f\n' \
  "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')"
