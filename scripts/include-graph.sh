#!/usr/bin/env bash
# Prints the folder-level include graph of the tree: each line "FOLDER -> FOLDER (N)"
# says that files in the first folder include N times from the second. Then says
# whether the graph has a cycle (exit status 1 when it has).
set -euo pipefail
cd "$(dirname "$0")/.."

edges=$(git ls-files '*.cpp' '*.h' | while read -r file; do
  sed -n -E 's/^#include "([^"]+)".*/\1/p' "$file" | while read -r included; do
    echo "$(dirname "$file") $(dirname "$included")"
  done
done | awk '$1 != $2' | sort)

uniq -c <<<"$edges" | awk '{printf "%s -> %s (%d)\n", $2, $3, $1}'
if sort -u <<<"$edges" | tsort >/dev/null 2>/tmp/include-graph.$$; then
  echo "no folder include cycle"
  rm -f /tmp/include-graph.$$
else
  echo "folder include cycle:"
  grep -v 'input contains a loop' /tmp/include-graph.$$ | sed 's/^tsort: /  /'
  rm -f /tmp/include-graph.$$
  exit 1
fi
