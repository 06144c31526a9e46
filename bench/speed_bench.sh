#!/usr/bin/env bash
# Collect-copy against the usual tools, on trees made under ${TMPDIR:-/tmp} and removed.
# The trace goes to /dev/null. Each row times the program and each of its peers in one
# session of interleaved runs (median of RUNS after a warm-up, a `sync` before every
# timed run) and prints every time, the ratio program/peer, and the program's peak memory.
#
#   row                                          peers                                       target
#   walk: 100,000 empty files in 1,000 folders,  find SRC -name '*.nomatch'                  <= 0.75
#     -collectcopy -nosw 'SRC/*.nomatch' DST     bfs SRC -name '*.nomatch'                   <= 0.5
#   copy: 10,000 files of 1-64 KiB (337 MB)      find SRC -name '*.dat' -exec cp -t DST {} +
#     into an empty folder                       find SRC -name '*.dat' -print0 |
#                                                  xargs -0 -P2 -n 512 cp -t DST             <= 0.8
#                                                floor SRC DST 2 (the leanest program)       <= 1.1
#   small: 100,000 files of 0-4 KiB in 1,000     find ... -exec cp -t DST {} +
#     folders into an empty folder               find ... | xargs -0 -P2 -n 512 cp -t DST   <= 0.6
#   -fw: the 10,000 files onto a folder that     find ... -exec cp -f -t DST {} +
#     already holds every file                   the same, then sync -f DST (timed together) <= 1.3
#                                                find ... | xargs -0 -P2 -n 512 cp -f -t DST
#                                                find ... | rsync -0 --files-from=-
#                                                  --no-relative -W -I --fsync SRC/ DST/     <= 0.3
#   one core: the copy row's command under       the same command of a baseline build,       <= 1.0
#     taskset -c 0                                 also under taskset -c 0
#   share: 600 files of 16 KiB through a FUSE    find ... -exec cp -t DST {} +
#     passthrough that answers every request     find ... | xargs -0 -P2 -n 512 cp -t DST   <= 0.3
#     2 ms late (bench/slow_fuse.py; left out    find ... | xargs -0 -P16 -n 38 cp -t DST   <= 0.7
#     without python3-fusepy or /dev/fuse)         (16 cp at once, the files split evenly)
#                                                find ... | xargs -0 -P16 -n 8 cp -t DST    <= 0.7
#   sftp: the 600 files onto an sftp share       find ... | xargs -0 -P16 -n 38 cp -t DST   <= 0.7
#     (sshd on a spare loopback port with a      find ... | xargs -0 -P16 -n 8 cp -t DST    <= 0.7
#     config of its own, sshfs cache=no; left
#     out without sshd or sshfs)
#   journal: -fw of the 10,000 files on an ext4  the same, then sync -f DST (timed together) <= 1.1
#     with a journal (a 4 GiB image on a loop
#     device under JOURNAL_DIR, /var/tmp unless
#     said: a disk; made and removed; root only)
#   million: 1,000,000 empty files in 1,000      find ... | xargs -0 -P2 -n 512 cp -t DST
#     folders (one run each; the peak memory       (its peak memory: at most 40 MiB)
#     is the point)
#
# The floor is ../shared/tools/floor/floor.c beside the repository (FLOOR_SRC chooses
# another), compiled with gcc into the bench's scratch folder: what collect-copy does at
# its cheapest on Linux, without a trace, flushes or names taken in order, with 2 threads.
# A peer that is missing (bfs, rsync, the floor's source or gcc) is left out, with a line
# that says so and how to install it.
#
# The copy targets hold on ext4 and on tmpfs: `TMPDIR=/dev/shm bench/speed_bench.sh`
# measures tmpfs. The baseline is a git revision (default 951ba00, the last commit before
# copies ran several at once), built Release in a temporary git worktree that is removed.
#
# Usage: bench/speed_bench.sh [RUNS [BASELINE]]
#   RUNS      runs per command after the warm-up (default 7; also the RUNS variable)
#   BASELINE  git revision of the one-core row (default 951ba00; also the BASELINE variable)
#   SCALE     multiplies the number of folders of every tree (default 1; SCALE=0.02 RUNS=1
#             checks the script on tiny trees, where the two builds take the most time)
#   ROWS      the rows to measure, by the word before their colon (default all:
#             "walk copy small -fw one share sftp journal million"); the baseline is built
#             only for "one"
# Needs: cmake, a C++17 compiler, git, python3, taskset (util-linux), /usr/bin/time (package
# time); optional: bfs (package bfs), rsync (package rsync), gcc (package gcc) for the floor,
# sshd and sshfs (packages openssh-server, sshfs) for the sftp row, mkfs.ext4 (e2fsprogs)
# and root for the journal row.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-${RUNS:-7}}
baseline=${2:-${BASELINE:-951ba00}}
scale=${SCALE:-1}

missing=0
need() {  # need COMMAND HOW-TO-INSTALL
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "speed_bench: $1 not found; install it with: $2" >&2
    missing=1
  fi
}
need cmake "apt-get install cmake g++"
need git "apt-get install git"
need python3 "apt-get install python3"
need taskset "apt-get install util-linux"
need /usr/bin/time "apt-get install time"
need xargs "apt-get install findutils"
[ "$missing" = 0 ] || exit 1
# Peers that may be missing: each leaves a line in the output that says so.
notes=()
if ! command -v bfs >/dev/null 2>&1; then
  notes+=("bfs not found: the walk has no bfs peer (install it with: apt-get install bfs)")
fi
if ! command -v rsync >/dev/null 2>&1; then
  notes+=("rsync not found: the -fw row has no rsync peer (install it with: apt-get install rsync)")
fi
floor_src=${FLOOR_SRC:-$root/../shared/tools/floor/floor.c}
if [ ! -f "$floor_src" ]; then
  notes+=("no floor program at $floor_src (FLOOR_SRC): the copy row has no floor peer")
elif ! command -v gcc >/dev/null 2>&1; then
  notes+=("gcc not found: the copy row has no floor peer (install it with: apt-get install gcc)")
fi
for note in "${notes[@]}"; do echo "speed_bench: $note" >&2; done
case $runs in ''|*[!0-9]*|0) echo "speed_bench: RUNS must be a positive number, not '$runs'" >&2; exit 2;; esac
baseline_commit=$(git -C "$root" rev-parse --verify --quiet "$baseline^{commit}") || {
  echo "speed_bench: no such git revision: $baseline" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/pelquist-speed.XXXXXX")
baseline_tree=$work/baseline-src
cleanup() {
  if [ -d "$baseline_tree" ]; then git -C "$root" worktree remove --force "$baseline_tree" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

build() {  # build SOURCE BUILD-DIR
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >"$work/build.log" 2>&1 &&
    cmake --build "$2" -j2 --target pelquist_copy >>"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; echo "speed_bench: the build of $1 failed" >&2; exit 1; }
}
wants_row() {  # wants_row NAME: true when ROWS is empty or names it
  [ -z "${ROWS:-}" ] || [[ " $ROWS " == *" $1 "* ]]
}
build "$root" "$root/build/bench"
if wants_row one; then
  git -C "$root" worktree add --detach --quiet "$baseline_tree" "$baseline_commit"
  build "$baseline_tree" "$work/baseline-build"
  git -C "$root" worktree remove --force "$baseline_tree"
fi
floor=
if [ -f "$floor_src" ] && command -v gcc >/dev/null 2>&1; then
  if gcc -O2 -pthread -o "$work/floor" "$floor_src" 2>"$work/floor.log"; then
    floor=$work/floor
  else
    notes+=("the floor program did not compile (gcc -O2 -pthread $floor_src): no floor peer")
    echo "speed_bench: ${notes[-1]}" >&2
  fi
fi

export PROGRAM=$root/build/bench/pelquist_copy BASELINE_PROGRAM=$work/baseline-build/pelquist_copy
export BASELINE_NAME=$(git -C "$root" rev-parse --short "$baseline_commit")
export RUNS=$runs SCALE=$scale WORK=$work ROWS=${ROWS:-} FLOOR=$floor
export NOTES=$(printf '%s\n' "${notes[@]}")
export FSTYPE=$(df -T "$work" | awk 'NR == 2 { print $2 }')
export SLOW_FUSE=$root/bench/slow_fuse.py
export IS_ROOT=$([ "$(id -u)" -eq 0 ] && echo 1 || echo 0)

python3 - <<'PY'
import os, random, shutil, statistics, subprocess, time

env = os.environ
program, baseline, work = env["PROGRAM"], env["BASELINE_PROGRAM"], env["WORK"]
runs, scale = int(env["RUNS"]), float(env["SCALE"])
if not scale > 0:
    raise SystemExit("speed_bench: SCALE must be a positive number, not %s" % env["SCALE"])
random.seed(7)

def folders(full):
    return max(1, round(full * scale))

def make_tree(root, folder_count, size):
    """folder_count folders of 100 files each, in groups of 100 folders; names unique."""
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL
    for d in range(folder_count):
        directory = os.path.join(root, "g%02d" % (d // 100), "d%03d" % d)
        os.makedirs(directory)
        for f in range(100):
            fd = os.open(os.path.join(directory, "f%03d_%03d.dat" % (d, f)), flags, 0o644)
            data = size()
            if data:
                os.write(fd, data)
            os.close(fd)
    return folder_count * 100

block = os.urandom(64 * 1024)
empty, data, small = (os.path.join(work, n) for n in ("empty-tree", "data-tree", "small-tree"))
only = env["ROWS"].split()
def wanted(row):
    return not only or row in only
empty_n = make_tree(empty, folders(1000), lambda: b"") if wanted("walk") else 0
data_n = make_tree(data, folders(100), lambda: block[: random.randint(1, 64) * 1024])
small_n = make_tree(small, folders(1000), lambda: block[: random.randint(0, 4096)]) if wanted("small") else 0
subprocess.run(["sync"], check=True)

def megabytes(root):
    return sum(e.stat().st_size for d, _, fs in os.walk(root)
               for e in os.scandir(d) if e.is_file()) / 1e6

def fresh(folder):
    def prepare():
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    return prepare

def full(folder):
    """A folder that already holds every file of the data tree."""
    def prepare():
        if not os.path.isdir(folder) or len(os.listdir(folder)) != data_n:
            fresh(folder)()
            subprocess.run(["find", data, "-name", "*.dat", "-exec", "cp", "-t", folder,
                            "{}", "+"], check=True)
    return prepare

def timed(command, prepare):
    prepare()
    # What earlier runs left to write goes to disk first, so that no run pays for another.
    subprocess.run(["sync"], check=True)
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start

def find_cp(src, dst, *cp):
    return ["find", src, "-name", "*.dat", "-exec", "cp", *cp, "-t", dst, "{}", "+"]

def xargs_cp(src, dst, *cp, at_once=2, per_cp=512):
    return ["sh", "-c", 'find "$1" -name "*.dat" -print0 | xargs -0 -P%d -n %d cp %s -t "$2"'
            % (at_once, per_cp, " ".join(cp)), "sh", src, dst]

def rsync_fsync(src, dst):
    """Each file written beside its name, flushed, renamed over it: -fw's promise."""
    return ["sh", "-c", 'cd "$1" && find . -name "*.dat" -print0 | '
            'rsync -0 --files-from=- --no-relative -W -I --fsync . "$2/"', "sh", src, dst]

def have(command):
    return shutil.which(command) is not None

def collect(*switches, pattern, dst, binary=program):
    return [binary, "-collectcopy", *switches, "-nosw", pattern, dst]

ours, peer = os.path.join(work, "ours"), os.path.join(work, "peer")
pinned = ["taskset", "-c", "0"]
copy_10k = collect(pattern=data + "/*.dat", dst=ours)
walk = collect(pattern=empty + "/*.nomatch", dst=ours)
fw = collect("-fw", pattern=data + "/*.dat", dst=ours)

# Each row: (name, program's command, its preparation, files it must leave in ours,
#            [(peer, peer's command, its preparation, target ratio or None)]).
rows = [
    ("walk: {:,} empty files, {:,} folders".format(empty_n, empty_n // 100), walk, fresh(ours), 0,
     [("find -name", ["find", empty, "-name", "*.nomatch"], lambda: None, 0.75)]
     + ([("bfs -name", ["bfs", empty, "-name", "*.nomatch"], lambda: None, 0.5)]
        if have("bfs") else [])),
    ("copy: {:,} files of 1-64 KiB ({:.0f} MB)".format(data_n, megabytes(data)), copy_10k, fresh(ours),
     data_n,
     [("find -exec cp", find_cp(data, peer), fresh(peer), None),
      ("xargs -P2 cp", xargs_cp(data, peer), fresh(peer), 0.8)]
     + ([("floor, 2 threads", [env["FLOOR"], data, peer, "2"], fresh(peer), 1.1)]
        if env["FLOOR"] else [])),
    ("small: {:,} files of 0-4 KiB, {:,} folders".format(small_n, small_n // 100),
     collect(pattern=small + "/*.dat", dst=ours), fresh(ours), small_n,
     [("find -exec cp", find_cp(small, peer), fresh(peer), None),
      ("xargs -P2 cp", xargs_cp(small, peer), fresh(peer), 0.6)]),
    ("-fw: {:,} files onto every file".format(data_n), fw, full(ours), data_n,
     [("find -exec cp -f", find_cp(data, peer, "-f"), full(peer), None),
      ("cp -f + sync -f", ["sh", "-c", 'find "$1" -name "*.dat" -exec cp -f -t "$2" {} + '
                           '&& sync -f "$2"', "sh", data, peer], full(peer), 1.3),
      ("xargs -P2 cp -f", xargs_cp(data, peer, "-f"), full(peer), None)]
     + ([("rsync --fsync", rsync_fsync(data, peer), full(peer), 0.3)] if have("rsync") else [])),
    ("one core: copy of {:,} files".format(data_n), pinned + copy_10k, fresh(ours), data_n,
     [("baseline %s" % env["BASELINE_NAME"],
       pinned + collect(pattern=data + "/*.dat", dst=ours, binary=baseline), fresh(ours),
       1.0)]),
]

# A share two milliseconds away: the copies' latency, not the processors, decides.
share_src, share = os.path.join(work, "share-src"), os.path.join(work, "share")
share_process = None
if wanted("share") and os.path.exists("/dev/fuse") and subprocess.run(
        ["/usr/bin/python3", "-c", "import fusepy"], stderr=subprocess.DEVNULL).returncode == 0:
    share_n = make_tree(share_src, folders(6), lambda: block[:16 * 1024])
    os.makedirs(share)
    share_process = subprocess.Popen(["/usr/bin/python3", env["SLOW_FUSE"], share_src, share,
                                      "0.002"])
    while not os.path.ismount(share):
        time.sleep(0.05)
    rows.append(("share: {:,} files of 16 KiB, 2 ms away".format(share_n),
                 collect(pattern=share + "/*.dat", dst=ours), fresh(ours), share_n,
                 [("find -exec cp", find_cp(share, peer), fresh(peer), None),
                  ("xargs -P2 cp", xargs_cp(share, peer), fresh(peer), 0.3),
                  ("xargs -P16 cp", xargs_cp(share, peer, at_once=16,
                                             per_cp=-(-share_n // 16)), fresh(peer), 0.7),
                  ("xargs -P16 -n 8 cp", xargs_cp(share, peer, at_once=16, per_cp=8),
                   fresh(peer), 0.7)]))
else:
    if wanted("share"):
        print("no FUSE here (python3-fusepy, /dev/fuse): the share row is left out")


# The 600 files onto an sftp share: sshd of our own on a spare loopback port, sshfs with
# cache=no, as a user mounts a server's folder.
sftp_process, sftp_mount = None, os.path.join(work, "sftp")
if wanted("sftp") and shutil.which("sshfs") and os.path.exists("/usr/sbin/sshd"):
    import socket
    keys = os.path.join(work, "sftp-keys")
    os.makedirs(keys)
    for key in ("host", "user"):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f",
                        os.path.join(keys, key)], check=True)
    shutil.copy(os.path.join(keys, "user.pub"), os.path.join(keys, "authorized"))
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    served = os.path.join(work, "sftp-served")
    os.makedirs(served)
    config = os.path.join(keys, "sshd_config")
    with open(config, "w") as out:
        out.write("Port %d\nListenAddress 127.0.0.1\nHostKey %s\nAuthorizedKeysFile %s\n"
                  "PermitRootLogin prohibit-password\nPasswordAuthentication no\n"
                  "StrictModes no\nUsePAM no\nSubsystem sftp internal-sftp\nPidFile none\n"
                  % (port, os.path.join(keys, "host"), os.path.join(keys, "authorized")))
    os.makedirs("/run/sshd", exist_ok=True)
    sftp_process = subprocess.Popen(["/usr/sbin/sshd", "-D", "-f", config])
    os.makedirs(sftp_mount)
    for _ in range(50):
        if subprocess.run(["sshfs", "-p", str(port), "-o", "IdentityFile=%s,StrictHostKeyChecking="
                           "no,UserKnownHostsFile=/dev/null,cache=no" % os.path.join(keys, "user"),
                           "%s@127.0.0.1:%s" % (os.environ.get("USER", "root"), served),
                           sftp_mount], stderr=subprocess.DEVNULL).returncode == 0:
            break
        time.sleep(0.1)
    if os.path.ismount(sftp_mount):
        sftp_src = os.path.join(work, "sftp-src")
        sftp_n = make_tree(sftp_src, folders(6), lambda: block[:16 * 1024])
        on_share, peer_on_share = os.path.join(sftp_mount, "ours"), os.path.join(sftp_mount, "peer")
        rows.append(("sftp: {:,} files of 16 KiB onto an sftp share".format(sftp_n),
                     collect(pattern=sftp_src + "/*.dat", dst=on_share), fresh(on_share), sftp_n,
                     [("xargs -P16 cp", xargs_cp(sftp_src, peer_on_share, at_once=16,
                                                 per_cp=-(-sftp_n // 16)), fresh(peer_on_share), 0.7),
                      ("xargs -P16 -n 8 cp", xargs_cp(sftp_src, peer_on_share, at_once=16, per_cp=8),
                       fresh(peer_on_share), 0.7)], on_share))
    else:
        print("sshfs could not mount the share: the sftp row is left out")
elif wanted("sftp"):
    print("no sshd or sshfs here (openssh-server, sshfs): the sftp row is left out")

# -fw on an ext4 with a journal, the usual disk: an image on a loop device, as root.
# The image lies on a disk (JOURNAL_DIR, /var/tmp unless said), wherever the other trees
# are: a loop device on tmpfs would flush to memory.
journal = os.path.join(work, "journal")
journal_image = os.path.join(os.environ.get("JOURNAL_DIR", "/var/tmp"),
                             "pelquist-journal-%d.img" % os.getpid())
if wanted("journal") and env["IS_ROOT"] == "1" and shutil.which("mkfs.ext4"):
    subprocess.run(["truncate", "-s", "4G", journal_image], check=True)
    subprocess.run(["mkfs.ext4", "-q", "-F", journal_image], check=True)
    os.makedirs(journal)
    subprocess.run(["mount", "-o", "loop", journal_image, journal], check=True)
    journal_data = os.path.join(journal, "data")
    shutil.copytree(data, journal_data)
    j_ours, j_peer = os.path.join(journal, "ours"), os.path.join(journal, "peer")
    def full_on(folder):
        def prepare():
            if not os.path.isdir(folder) or len(os.listdir(folder)) != data_n:
                fresh(folder)()
                subprocess.run(["find", journal_data, "-name", "*.dat", "-exec", "cp", "-t",
                                folder, "{}", "+"], check=True)
        return prepare
    rows.append(("journal: -fw of {:,} files on ext4 with a journal".format(data_n),
                 collect("-fw", pattern=journal_data + "/*.dat", dst=j_ours), full_on(j_ours),
                 data_n,
                 [("cp -f + sync -f", ["sh", "-c", 'find "$1" -name "*.dat" -exec cp -f -t "$2" {} + '
                                       '&& sync -f "$2"', "sh", journal_data, j_peer],
                   full_on(j_peer), 1.1)], j_ours))
elif wanted("journal"):
    print("not root, or no mkfs.ext4: the journal row is left out")

# A million files: what the program holds while it walks and copies them.
million = os.path.join(work, "million-tree")
if wanted("million"):
    million_n = 0
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL
    for d in range(max(1, round(1000 * scale))):
        directory = os.path.join(million, "d%04d" % d)
        os.makedirs(directory)
        for f in range(1000):
            os.close(os.open(os.path.join(directory, "f%04d_%04d.dat" % (d, f)), flags, 0o644))
            million_n += 1
    def alone_in(folder, other):
        def prepare():
            shutil.rmtree(other, ignore_errors=True)
            fresh(folder)()
        return prepare
    rows.append(("million: {:,} empty files in {:,} folders".format(million_n, million_n // 1000),
                 collect(pattern=million + "/*.dat", dst=ours), alone_in(ours, peer), million_n,
                 [("xargs -P2 cp", xargs_cp(million, peer), alone_in(peer, ours), None)], ours, 1))

rows = [row for row in rows if wanted(row[0].split(":")[0].split()[0])]

def peak(command, prepare):
    prepare()
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, check=True).stderr
    return int(out.strip().splitlines()[-1])

print("trees under %s (%s), median of %d run%s after a warm-up, SCALE=%s"
      % (work, env["FSTYPE"], runs, "" if runs == 1 else "s", env["SCALE"]))
for note in filter(None, env["NOTES"].split("\n")):
    print(note)
line = "%-48s %9s  %-18s %9s %6s %7s"
print(line % ("row", "program", "peer", "time", "ratio", "target"))
failed, peaks = [], []
try:
    for row in rows:
        name, command, prepare, expected, peers = row[:5]
        destination = row[5] if len(row) > 5 else ours
        row_runs = row[6] if len(row) > 6 else runs
        if row_runs > 1:
            timed(command, prepare)  # warm-up
        else:
            prepare()
            subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        left = len(os.listdir(destination))
        if left != expected:
            raise SystemExit("speed_bench: %s left %d files in its destination, not %d"
                             % (name, left, expected))
        for _, peer_command, peer_prepare, _ in peers:
            timed(peer_command, peer_prepare)
        ours_times, peer_times = [], [[] for _ in peers]
        for _ in range(row_runs):
            ours_times.append(timed(command, prepare))
            for times, (_, peer_command, peer_prepare, _) in zip(peer_times, peers):
                times.append(timed(peer_command, peer_prepare))
        ours_median = statistics.median(ours_times)
        for i, ((label, _, _, target), times) in enumerate(zip(peers, peer_times)):
            ratio = ours_median / statistics.median(times)
            mark = ""
            if target is not None:
                mark = "<= %.2f%s" % (target, "" if ratio <= target else " !")
                if ratio > target:
                    failed.append("%s against %s" % (name.split(":")[0], label))
            print((line % (name if i == 0 else "", "%.3fs" % ours_median if i == 0 else "",
                           label, "%.3fs" % statistics.median(times), "%.2f" % ratio, mark)).rstrip())
        peaks.append("%s %.1f MiB" % (name.split(":")[0], peak(command, prepare) / 1024))
        if name.startswith("small"):  # the largest trees go before the rest is measured
            shutil.rmtree(small, ignore_errors=True)
            fresh(peer)()
        if name.startswith("million"):
            shutil.rmtree(million, ignore_errors=True)
            fresh(ours)()
            fresh(peer)()

finally:
    # The mounts go whatever happened, so that the scratch folder can.
    if share_process is not None:
        subprocess.run(["umount", share], check=False)
        share_process.wait()
    if sftp_process is not None:
        subprocess.run(["fusermount", "-u", sftp_mount], check=False)
        sftp_process.terminate()
        sftp_process.wait()
    if os.path.ismount(journal):
        subprocess.run(["umount", journal], check=False)
    if os.path.exists(journal_image):
        os.remove(journal_image)

print("peak memory of the program: " + ", ".join(peaks))
print("targets: " + ("all met" if not failed else "missed by " + "; ".join(failed)))
PY
