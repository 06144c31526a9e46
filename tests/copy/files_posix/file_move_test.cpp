#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

std::string movedFrom, movedTo;
std::vector<std::string> steps;

// What the destination's name held (its content, a link's target, "-" for nothing) and
// whether the source was still there.
std::string stateOfTheMove() {
  struct stat status;
  std::string held = "-";
  if (lstat(movedTo.c_str(), &status) == 0)
    held = S_ISLNK(status.st_mode) ? "->" + std::filesystem::read_symlink(movedTo).string()
                                   : readFile(movedTo);
  return held + (lstat(movedFrom.c_str(), &status) == 0 ? " source" : " gone");
}

void recordStep(const char* step) {
  steps.push_back(std::string(step) + " " + stateOfTheMove());
}

// A move to another file system survives a power cut at any instant: its data is on
// disk before the new name is placed, the folder that holds the name before the source
// goes. Into a folder that can be written but not listed as well.
TEST(MovePath, AcrossFileSystemsTheNameIsOnDiskBeforeTheSourceGoes) {
  TempDir here;
  struct stat local, shared;
  if (stat(here.path().c_str(), &local) != 0 || stat("/dev/shm", &shared) != 0 ||
      local.st_dev == shared.st_dev || access("/dev/shm", W_OK) != 0)
    GTEST_SKIP() << "no second file system to move to";
  struct Case {
    const char* name;
    const char* old;  // nullptr: no destination
    mode_t folderMode;
    std::vector<std::string> steps;
  };
  const Case cases[] = {
      {"new.txt", nullptr, 0755, {"data - source", "folder new source"}},
      {"old.txt", "old", 0755, {"data old source", "folder new source"}},
      {"ln", nullptr, 0755, {"folder ->new.txt source"}},
      {"closed.txt", nullptr, 0333, {"data - source", "folder new source"}},
  };
  const std::string there = "/dev/shm/pelquist-move-" + std::to_string(getpid());
  for (const Case& c : cases) {
    std::filesystem::remove_all(there);
    ASSERT_EQ(0, mkdir(there.c_str(), 0755));
    movedFrom = here.join(c.name);
    movedTo = there + "/" + c.name;
    std::filesystem::remove(movedFrom);
    if (std::string(c.name) == "ln")
      ASSERT_EQ(0, symlink("new.txt", movedFrom.c_str()));
    else
      here.write(c.name, "new");
    if (c.old != nullptr) writeFile(movedTo, c.old);
    ASSERT_EQ(0, chmod(there.c_str(), c.folderMode));
    steps.clear();
    files::observeDurableStepsForTesting(recordStep);
    const files::CopyResult result = files::movePath(movedFrom, movedTo, true);
    files::observeDurableStepsForTesting(nullptr);
    EXPECT_EQ(0, result.error) << c.name;
    EXPECT_EQ(c.steps, steps) << c.name;
    chmod(there.c_str(), 0755);
    EXPECT_EQ(std::string(c.name) == "ln" ? "->new.txt gone" : "new gone", stateOfTheMove())
        << c.name;
  }
  std::filesystem::remove_all(there);
}

// Onto a hard link of the source in folders that can be entered but not listed: in two
// folders they are two entries, and the source name goes; in one, two links cannot be
// told from two spellings of one entry, and the move fails, never claiming a success
// that left the source there.
TEST(MovePath, OntoAHardLinkInAFolderThatCannotBeListed) {
  if (geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  struct Case {
    const char* destination;
    int error;
    bool sourceStays;
  };
  const Case cases[] = {{"w/b.txt", EACCES, true}, {"x/b.txt", 0, false}};
  for (const Case& c : cases) {
    TempDir dir;
    dir.write("w/a.txt", "held");
    dir.makeDirs("x");
    ASSERT_EQ(0, link(dir.join("w/a.txt").c_str(), dir.join(c.destination).c_str()));
    for (const char* folder : {"w", "x"}) ASSERT_EQ(0, chmod(dir.join(folder).c_str(), 0333));
    const files::CopyResult result =
        files::movePath(dir.join("w/a.txt"), dir.join(c.destination), true);
    EXPECT_EQ(c.error, result.error) << c.destination;
    struct stat status;
    EXPECT_EQ(c.sourceStays, lstat(dir.join("w/a.txt").c_str(), &status) == 0) << c.destination;
    EXPECT_EQ(0, lstat(dir.join(c.destination).c_str(), &status)) << c.destination;
    for (const char* folder : {"w", "x"}) chmod(dir.join(folder).c_str(), 0755);
  }
}

}  // namespace
