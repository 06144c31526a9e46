#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build (PELQUIST_FUZZ=ON) for a bounded time, seed 1,
# from a copy of its seed corpus in fuzz/corpus/, and prints its execution count.
# Inputs found on the way stay in BUILD/fuzz-runs, never in the source tree.
# Usage: fuzz/run.sh BUILD [SECONDS]   (SECONDS: per target, 20 unless given)
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)

for target in path_utility wildcard switch_parser command_line; do
  work=$build/fuzz-runs/$target
  rm -rf "$work"
  mkdir -p "$work"
  cp -R "$here/corpus/$target" "$work/corpus"
  options=(-seed=1 -max_total_time="$seconds" -print_final_stats=1 -timeout=10
           -artifact_prefix="$work/")
  # Paths get room for parts longer than 255 bytes; the other inputs are short.
  if [ "$target" = path_utility ]; then options+=(-max_len=1024); else options+=(-max_len=256); fi
  if [ -f "$here/$target.dict" ]; then options+=(-dict="$here/$target.dict"); fi
  # In the work folder: an assertion report would write its file there.
  if ! (cd "$work" && "$build/fuzz/${target}_fuzz" "${options[@]}" corpus >log 2>&1); then
    tail -n 40 "$work/log"
    echo "== fuzz $target: FAILED (input kept in $work/crash-*; log $work/log)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  echo "== fuzz $target: $runs inputs run (stat::number_of_executed_units) in $seconds s," \
    "every property held"
done
