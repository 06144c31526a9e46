// Collect-copy's copies made at once, through the built program, against the same
// program made to copy one after another (an open-file limit that leaves no room for
// copies ahead): the same trace, exit status and files; and no temporary name left by a
// signal.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

class CopiesInFlightE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testsys::isWindowsBuild()) GTEST_SKIP() << "POSIX shells, mounts and signals";
  }
  std::string at(const std::string& relative) const { return dir_.join(relative); }
  bool sh(const std::string& command) {
    return runChild("/bin/sh", {"-c", command}, dir_.path()).exitCode == 0;
  }

  /// Trace, exit status and files of `dst` (a long file as its size and first byte), of
  /// the program run by bash after `setup`, with `switches` from src/*.EXT into `dst`.
  std::string collect(const std::string& setup, const std::string& switches,
                      const std::string& ext, const std::string& dst) {
    const std::string script = setup + "; exec '" + PELQUIST_COPY_EXE +
                               "' -collectcopy -nosw " + switches + " '" + at("src") + "/*." +
                               ext + "' '" + at(dst) + "'";
    const ChildResult result =
        runChild("/bin/bash", {"-c", script}, dir_.path(), "", "", {"LC_ALL=C"});
    std::string all = result.output + "exit " + std::to_string(result.exitCode) + "\n";
    for (const std::string& name : dir_.list(dst)) {
      const std::string content = dir_.read(dst + "/" + name);
      all += name + "=" +
             (content.size() < 100 ? content : std::to_string(content.size()) + content[0]) +
             "\n";
    }
    return all;
  }

  /// What the test leaves open is closed: the child has only the standard streams.
  const std::string closeAll_ = "for fd in $(seq 3 99); do eval \"exec $fd>&-\"; done";
  /// No open files to spare for copies ahead: one after another.
  const std::string alone_ = closeAll_ + "; ulimit -n 12";
  TempDir dir_;
};

// A disk that holds only the first files takes the first in walk order, never later ones
// in the place of earlier ones; a large file first and a small one after: the large one.
// A parent that leaves all but five descriptors open changes no name's order (a
// sanitizer's runtime wants two of them free for a pipe of its own). A source
// that is a link to an earlier file's destination reads what that file's turn left.
TEST_F(CopiesInFlightE2e, CopiesAtOnceEndAsCopiesOneAfterAnother) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::size_t>> files;  // below src, KiB
    const char* ext;
    std::string disk;  // a tmpfs of that size as the destination, or none
    std::string atOnce;
  };
  std::vector<std::pair<std::string, std::size_t>> twenty, names;
  for (int i = 10; i < 30; ++i) twenty.push_back({"f" + std::to_string(i) + ".dat", 256});
  for (int i = 0; i < 40; ++i)
    names.push_back(
        {"d" + std::to_string(100 + i) + "/n" + std::to_string(i % 10) + ".txt", 0});
  const std::string inherit =
      closeAll_ + "; ulimit -n 64; for fd in $(seq 3 58); do eval \"exec $fd</dev/null\"; done";
  const Case cases[] = {
      {"full disk", twenty, "dat", "2m", "true"},
      {"large first", {{"a.dat", 900}, {"b.dat", 300}}, "dat", "1m", "true"},
      {"inherited descriptors", names, "txt", "", inherit},
      {"link into the destination", {{"a/report.txt", 16 << 10}}, "txt", "", "true"},
  };
  for (const Case& c : cases) {
    testsys::removeTree(at("src"));
    for (const auto& [name, kib] : c.files)
      dir_.write("src/" + name, kib ? std::string(kib << 10, 'x') : name);
    if (c.what == std::string("link into the destination")) {
      dir_.makeDirs("src/b");
      if (!testsys::makeSymbolicLink("../../dst/report.txt", at("src/b/latest.txt")))
        GTEST_SKIP() << "no symbolic links here";
    }
    std::string runs[2];
    for (int parallel = 0; parallel < 2; ++parallel) {
      for (const char* force : {"", "-fw"}) {
        testsys::removeTree(at("dst"));
        dir_.makeDirs("dst");
        if (!c.disk.empty() && !sh("mount -t tmpfs -o size=" + c.disk + " tmpfs dst"))
          GTEST_SKIP() << "no tmpfs mount here";
        if (*force != '\0') dir_.write("dst/report.txt", "old report");
        runs[parallel] += collect(parallel ? c.atOnce : alone_, force, c.ext, "dst");
        if (!c.disk.empty()) sh("umount dst");
      }
    }
    // Five descriptors are all a walk has where the parent left the others open; a
    // sanitizer's runtime may hold some of them, and the walk then has too few.
    if (c.atOnce == inherit && runs[1].find("find failed...") != std::string::npos) continue;
    EXPECT_EQ(runs[0], runs[1]) << c.what;
    EXPECT_EQ(std::string::npos, runs[1].find("exit 127")) << c.what;
  }
}

// A nearly full XFS holds more room than the data for what it has not written out: a
// copy that runs short of space is made again once that is written out, so that copies
// at once take the files that copies one after another take, and no fewer than cp.
TEST_F(CopiesInFlightE2e, ANearlyFullXfsTakesWhatOneAfterAnotherTakes) {
  // Where copies are written under temporary names from the start (the ways of other
  // kernels), the room XFS has for the last file depends on what copies ahead left.
  if (!testsys::copiesAreUnnamed()) GTEST_SKIP() << "XFS is Linux's";
  for (int i = 0; i < 1000; ++i)
    dir_.write("src/f" + std::to_string(i) + ".dat", std::string(3000, 'x'));
  std::string runs[3];  // one after another, at once, cp: each on a new XFS, 3,000 KiB free
  std::size_t copied[3];
  for (int run = 0; run < 3; ++run) {
    if (!sh("mkdir -p disk && rm -f x.img && truncate -s 320M x.img && mkfs.xfs -q x.img && "
            "mount -o loop x.img disk && mkdir disk/dst && fallocate -l "
            "$((($(df -k --output=avail disk | tail -1) - 3000) * 1024)) disk/filler"))
      GTEST_SKIP() << "no XFS image mounted here (root, xfsprogs and a loop device)";
    if (run < 2) runs[run] = collect(run == 0 ? alone_ : "true", "", "dat", "disk/dst");
    if (run == 2) sh("for f in src/*; do cp $f disk/dst; done");
    copied[run] = dir_.list("disk/dst").size();
    sh("umount disk");
  }
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_GE(copied[0], copied[2]);
}

// Signals at random moments of a run that replaces 3,000 files: whatever was under way,
// no temporary name stays, and every file is whole, old or new.
TEST_F(CopiesInFlightE2e, SignalsAtAnyMomentLeaveNoTemporaryName) {
  for (int i = 0; i < 3000; ++i) {
    dir_.write("src/f" + std::to_string(i) + ".dat", "new");
    dir_.write("dst/f" + std::to_string(i) + ".dat", "old");
  }
  // Job control, so that the background runs do not ignore SIGINT.
  const std::string script = "set -m; signals=(INT TERM HUP); for i in $(seq 100); do '" +
                             std::string(PELQUIST_COPY_EXE) + "' -collectcopy -nosw -fw '" +
                             at("src") + "/*.dat' '" + at("dst") +
                             "' >/dev/null & p=$!; sleep $(printf '0.%03d' $((RANDOM % 200))); "
                             "kill -${signals[$((RANDOM % 3))]} $p; wait $p; done; "
                             "ls -A '" +
                             at("dst") + "' | grep -c '^\\.pelquist-'";
  EXPECT_EQ("0\n", runChild("/bin/bash", {"-c", script}, dir_.path()).output);
  const std::vector<std::string> names = dir_.list("dst");
  ASSERT_EQ(3000u, names.size());
  for (const std::string& name : names) {
    const std::string content = dir_.read("dst/" + name);
    EXPECT_TRUE(content == "new" || content == "old") << name;
  }
}

// Where the address space leaves no room for a thread's stack (ulimit -v), the run copies
// with the threads it could start, or stops before it copies with a line on standard
// error and exit status 1: never an abort, and never a word of it in the trace.
TEST_F(CopiesInFlightE2e, NoRoomForThreadsStopsCleanlyOrCopiesWithFewer) {
  if (testsys::builtWithSanitizer()) GTEST_SKIP() << "a sanitizer's runtime needs more room";
  for (int i = 0; i < 50; ++i) dir_.write("src/f" + std::to_string(i) + ".txt", "x");
  for (int mib = 8; mib <= 40; mib += 4) {
    testsys::removeTree(at("dst"));
    const std::string script = "ulimit -v " + std::to_string(mib << 10) + "; exec '" +
                               PELQUIST_COPY_EXE + "' -collectcopy -nosw 'src/*.txt' dst";
    const ChildResult result =
        runChild("/bin/bash", {"-c", script}, dir_.path(), "", "", {"LC_ALL=C"});
    if (result.exitCode == 0) {
      EXPECT_EQ(50u, dir_.list("dst").size()) << mib;
      EXPECT_EQ("", result.errorOutput) << mib;
      continue;
    }
    EXPECT_EQ(1, result.exitCode) << mib << result.errorOutput;
    EXPECT_EQ(0u, result.errorOutput.find("pelquist_copy: stopped: ")) << mib;
    EXPECT_EQ(std::string::npos, result.output.find("stopped")) << mib;
  }
}

}  // namespace
