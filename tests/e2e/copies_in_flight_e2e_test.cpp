// Collect-copy's copies made at once, through the built program, against the same
// program made to copy one after another (an open-file limit that leaves no room for
// copies ahead): the same trace, exit status and files where the disk runs full, where
// the parent leaves descriptors open, where a source leads into the destination; and no
// temporary name left by a signal.

#include <gtest/gtest.h>

#include <map>
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

  /// The program run by bash in the C locale, after `setup` (shell commands).
  ChildResult run(const std::string& setup, const std::string& arguments) {
    const std::string script =
        setup + "; exec '" + PELQUIST_COPY_EXE + "' -collectcopy -nosw " + arguments;
    return runChild("/bin/bash", {"-c", script}, dir_.path(), "", "", {"LC_ALL=C"});
  }
  /// The trace and exit status, and every file of `folder` with its content (its size
  /// and first byte where it is long).
  std::string outcome(const ChildResult& result, const std::string& folder) {
    std::string all = result.output + "exit " + std::to_string(result.exitCode) + "\n";
    for (const std::string& name : dir_.list(folder)) {
      const std::string content = dir_.read(folder + "/" + name);
      all += name + "=" +
             (content.size() < 100 ? content : std::to_string(content.size()) + content[0]) +
             "\n";
    }
    return all;
  }
  /// Mounts a tmpfs of `size` on `folder`; false where this machine does not let it.
  bool mountSmallDisk(const std::string& folder, const std::string& size) {
    dir_.makeDirs(folder);
    return runChild("/bin/sh",
                    {"-c", "mount -t tmpfs -o size=" + size + " tmpfs '" + at(folder) + "'"},
                    dir_.path())
               .exitCode == 0;
  }
  void unmount(const std::string& folder) {
    runChild("/bin/sh", {"-c", "umount '" + at(folder) + "'"}, dir_.path());
  }

  /// Closes what the test leaves open, so that the child has only the standard streams.
  const std::string closeAll_ = "for fd in $(seq 3 99); do eval \"exec $fd>&-\"; done";
  /// Copies one after another: no open files to spare for copies ahead.
  const std::string alone_ = closeAll_ + "; ulimit -n 12";
  TempDir dir_;
};

// A disk that holds only the first files: the first in walk order are copied, as one
// after another, never later ones in the place of earlier ones; a large file first and
// a small one after: the large one.
TEST_F(CopiesInFlightE2e, AFullDiskTakesTheFirstFilesInWalkOrder) {
  struct Case {
    std::vector<std::pair<std::string, std::size_t>> files;  // name, KiB
    const char* disk;
  };
  std::vector<std::pair<std::string, std::size_t>> twenty;
  for (int i = 10; i < 30; ++i) twenty.push_back({"f" + std::to_string(i) + ".dat", 256});
  const Case cases[] = {{twenty, "2m"}, {{{"a.dat", 900}, {"b.dat", 300}}, "1m"}};
  for (const Case& c : cases) {
    for (const auto& [name, kib] : c.files)
      dir_.write("src/" + name, std::string(kib << 10, 'x'));
    std::string runs[2];
    for (int parallel = 0; parallel < 2; ++parallel) {
      if (!mountSmallDisk("disk", c.disk)) GTEST_SKIP() << "no tmpfs mount here";
      for (const char* force : {"", "-fw "}) {
        ChildResult result =
            run(parallel ? "true" : alone_,
                std::string(force) + "'" + at("src") + "/*.dat' '" + at("disk") + "'");
        runs[parallel] += outcome(result, "disk");
      }
      unmount("disk");
    }
    EXPECT_EQ(runs[0], runs[1]) << c.disk;
    EXPECT_NE(std::string::npos, runs[1].find("No space left on device")) << runs[1];
    testsys::removeTree(at("src"));
  }
}

// Names that collide, with a parent that leaves all but three descriptors open: the
// earlier file of a name is never made after the later one.
TEST_F(CopiesInFlightE2e, InheritedDescriptorsLeaveTheOrderOfNamesAlone) {
  for (int i = 0; i < 40; ++i) {
    const std::string name = "n" + std::to_string(i % 10) + ".txt";
    dir_.write("src/d" + std::to_string(100 + i) + "/" + name, std::to_string(i));
  }
  std::string runs[2];
  for (int parallel = 0; parallel < 2; ++parallel) {
    const std::string inherit =
        closeAll_ +
        "; ulimit -n 64; for fd in $(seq 3 60); do eval \"exec $fd</dev/null\"; done";
    for (const char* force : {"", "-fw "}) {
      testsys::removeTree(at("out"));
      dir_.makeDirs("out");
      ChildResult result =
          run(parallel ? inherit : alone_,
              std::string(force) + "'" + at("src") + "/*.txt' '" + at("out") + "'");
      runs[parallel] += outcome(result, "out");
    }
  }
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_NE(std::string::npos, runs[1].find("n3.txt=33\n")) << runs[1];  // -fw: the last
}

// A source that is a link to an earlier file's destination is read as that file's turn
// left it, however long that file takes to copy.
TEST_F(CopiesInFlightE2e, ALinkIntoTheDestinationReadsWhatEarlierTurnsWrote) {
  const std::string report(16 << 20, 'n');
  dir_.write("src/a/report.txt", report);
  dir_.makeDirs("src/b");
  if (!testsys::makeSymbolicLink("../../dst/report.txt", at("src/b/latest.txt")))
    GTEST_SKIP() << "no symbolic links here";
  for (const char* force : {"", "-fw "}) {
    std::string runs[2];
    for (int parallel = 0; parallel < 2; ++parallel) {
      testsys::removeTree(at("dst"));
      dir_.makeDirs("dst");
      if (*force != '\0') dir_.write("dst/report.txt", "old report");
      ChildResult result =
          run(parallel ? "true" : alone_,
              std::string(force) + "'" + at("src") + "/*.txt' '" + at("dst") + "'");
      runs[parallel] = outcome(result, "dst");
    }
    EXPECT_EQ(runs[0], runs[1]) << force;
    EXPECT_TRUE(dir_.read("dst/latest.txt") == report) << force;
  }
}

// Signals at random moments of a run that replaces 3,000 files: whatever was under way,
// no temporary name stays, and every file is whole, old or new.
TEST_F(CopiesInFlightE2e, SignalsAtAnyMomentLeaveNoTemporaryName) {
  for (int i = 0; i < 3000; ++i) {
    dir_.write("src/f" + std::to_string(i) + ".dat", "new");
    dir_.write("dst/f" + std::to_string(i) + ".dat", "old");
  }
  const std::string script = "set -m; signals=(INT TERM HUP); for i in $(seq 100); do '" +
                             std::string(PELQUIST_COPY_EXE) + "' -collectcopy -nosw -fw '" +
                             at("src") + "/*.dat' '" + at("dst") +
                             "' >/dev/null & p=$!; sleep $(printf '0.%03d' $((RANDOM % 200))); "
                             "kill -${signals[$((RANDOM % 3))]} $p; wait $p; done; "
                             "ls -A '" +
                             at("dst") + "' | grep -c '^\\.pelquist-'";
  ChildResult result = runChild("/bin/bash", {"-c", script}, dir_.path());
  EXPECT_EQ("0\n", result.output);
  const std::vector<std::string> names = dir_.list("dst");
  ASSERT_EQ(3000u, names.size());
  for (const std::string& name : names) {
    const std::string content = dir_.read("dst/" + name);
    EXPECT_TRUE(content == "new" || content == "old") << name;
  }
}

}  // namespace
