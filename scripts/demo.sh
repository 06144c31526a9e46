#!/usr/bin/env bash
# Builds pelquist_copy (POSIX build) and runs its main job on a small sample tree:
# every *.txt file below sample/src is collected into sample/all.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/demo -j "$(nproc)" --target pelquist_copy >/dev/null

rm -rf sample
mkdir -p sample/src/notes/2025 sample/src/notes/2026 sample/src/photos
printf 'shopping list\n' > sample/src/list.txt
printf 'january\n' > sample/src/notes/2025/jan.txt
printf 'february\n' > sample/src/notes/2026/feb.txt
printf 'not collected\n' > sample/src/photos/cat.jpg
printf 'first copy wins\n' > sample/src/notes/2025/readme.txt
printf 'refused without -fw\n' > sample/src/notes/2026/readme.txt

# A relative destination is created when missing; the Japanese lines of the trace come
# in the terminal's own character set.
echo "sample\$ pelquist_copy -collectcopy -nosw 'src/*.txt' all"
(cd sample && ../build/demo/pelquist_copy -collectcopy -nosw 'src/*.txt' all)
echo
echo "sample/all now holds:"
ls -1 sample/all
