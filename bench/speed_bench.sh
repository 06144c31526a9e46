#!/usr/bin/env bash
# Collect-copy against the usual tools, on trees made under ${TMPDIR:-/tmp} and removed:
#   walk:   100,000 empty files in 1,000 folders, a pattern that matches nothing,
#           against   find SRC -name '*.nomatch'
#   copy:   10,000 files of 1-64 KiB into an empty folder,
#           against   find SRC -name '*.dat' -exec cp -t DST {} +
#   -fw:    the same onto a folder that already holds every file,
#           against   find SRC -name '*.dat' -exec cp -f -t DST {} +
# Prints each median of interleaved runs (after a warm-up), their ratio, and the peak
# memory of the walk and the copy. Usage: bench/speed_bench.sh [RUNS]   (default 7)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build/bench" -j2 --target pelquist_copy >/dev/null
export PROGRAM=$root/build/bench/pelquist_copy RUNS=$runs
export WORK=$(mktemp -d "${TMPDIR:-/tmp}/pelquist-speed.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

python3 - <<'PY'
import os, random, statistics, subprocess, time

program, runs, work = os.environ["PROGRAM"], int(os.environ["RUNS"]), os.environ["WORK"]
random.seed(7)

def make_tree(root, folders, files, size):
    for d in range(folders):
        directory = os.path.join(root, "g%02d" % (d // 100), "d%03d" % d)
        os.makedirs(directory)
        for f in range(files):
            with open(os.path.join(directory, "f%03d_%03d.dat" % (d, f)), "wb") as out:
                out.write(size())

empty = os.path.join(work, "empty-tree")
make_tree(empty, 1000, 100, lambda: b"")
block = os.urandom(64 * 1024)
data = os.path.join(work, "data-tree")
make_tree(data, 100, 100, lambda: block[: random.randint(1, 64) * 1024])
subprocess.run(["sync"])

def timed(command, prepare=None):
    if prepare:
        prepare()
    # What earlier runs left to write goes to disk first, so that no run pays for another.
    subprocess.run(["sync"], check=True)
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start

def fresh(folder):
    def prepare():
        subprocess.run(["rm", "-rf", folder], check=True)
        os.makedirs(folder)
    return prepare

def full(folder):
    def prepare():
        if not os.path.isdir(folder) or len(os.listdir(folder)) != 10000:
            fresh(folder)()
            subprocess.run(["find", data, "-name", "*.dat", "-exec", "cp", "-t", folder, "{}", "+"],
                           check=True)
    return prepare

ours_dst, cp_dst = os.path.join(work, "ours"), os.path.join(work, "cp")
rows = [
    ("walk of 100,000 empty files", None,
     [program, "-collectcopy", "-nosw", empty + "/*.nomatch", ours_dst], fresh(ours_dst),
     ["find", empty, "-name", "*.nomatch"], None),
    ("collect-copy of 10,000 files", None,
     [program, "-collectcopy", "-nosw", data + "/*.dat", ours_dst], fresh(ours_dst),
     ["find", data, "-name", "*.dat", "-exec", "cp", "-t", cp_dst, "{}", "+"], fresh(cp_dst)),
    ("the same with -fw onto every file", None,
     [program, "-collectcopy", "-fw", "-nosw", data + "/*.dat", ours_dst], full(ours_dst),
     ["find", data, "-name", "*.dat", "-exec", "cp", "-f", "-t", cp_dst, "{}", "+"], full(cp_dst)),
]
print("%-36s %10s %10s %7s" % ("", "program", "find/cp", "ratio"))
for name, _, ours, prep_ours, theirs, prep_theirs in rows:
    timed(ours, prep_ours), timed(theirs, prep_theirs)  # warm-up
    a, b = [], []
    for _ in range(runs):
        a.append(timed(ours, prep_ours))
        b.append(timed(theirs, prep_theirs))
    ma, mb = statistics.median(a), statistics.median(b)
    print("%-36s %9.3fs %9.3fs %7.2f" % (name, ma, mb, ma / mb))

def peak(command, prepare):
    prepare()
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, check=True).stderr
    return int(out.strip().splitlines()[-1])

print("peak memory: walk %d KiB, copy %d KiB" % (
    peak(rows[0][2], fresh(ours_dst)), peak(rows[1][2], fresh(ours_dst))))
PY
