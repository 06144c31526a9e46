#include "copy/terminal_progress.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace copy {

namespace {

// Rounded to one decimal, a number that would show as 1024.0 takes the next unit.
TEST(ShownBytes, TakeTheNextUnitWhereOneDecimalWouldShow1024) {
  EXPECT_EQ("1023.9 KiB", shownBytes(1048524));
  EXPECT_EQ("1.0 MiB", shownBytes(1048525));
  EXPECT_EQ("16.0 EiB", shownBytes(UINT64_MAX));
}

TEST(TerminalLines, ProgressHasOneWidthAndTheOutcomeEveryCount) {
  EXPECT_EQ("pelquist_copy:             0/4 files         0 B         0 B/s   -:--:-- left",
            progressLine(CollectTally{4, 0, 0, 0, 0, 0}, 0));
  // 1 of 4 in 2 s: 6 s left at that pace.
  EXPECT_EQ("pelquist_copy:             1/4 files     2.0 KiB     1.0 KiB/s   0:00:06 left",
            progressLine(CollectTally{4, 1, 0, 0, 0, 2048}, 2));
  EXPECT_EQ("pelquist_copy: 1010720/1010720 files  1023.9 MiB      1023 B/s   0:00:00 left",
            progressLine(CollectTally{1010720, 1000000, 10000, 720, 0, 1073636966}, 1048576));
  EXPECT_EQ("pelquist_copy:       1/1010720 files     1.0 KiB         1 B/s  99:59:59 left",
            progressLine(CollectTally{1010720, 1, 0, 0, 0, 1024}, 1024));
  EXPECT_EQ("pelquist_copy: 2 copied, 1 existed, 3 failed, 4 skipped, 1.5 KiB in 12.3 s",
            outcomeLine(CollectTally{6, 2, 1, 3, 4, 1587}, 12.34));
}

// The progress line is drawn when the walk is done and at a turn 200 ms after it was last
// drawn; at the end blanks take its place before the outcome.
TEST(TerminalProgress, RedrawsAfter200MillisecondsAndErasesBeforeTheOutcome) {
  std::vector<double> times = {0, 1, 1.1, 1.3, 2};
  std::size_t next = 0;
  std::ostringstream terminal;
  TerminalProgress progress(terminal, true, [&] { return times[next++]; });
  CollectTally tally{2, 0, 0, 0, 0, 0};
  progress.walked(tally);
  tally.copied = 1;
  progress.turnTaken(tally);
  tally.existed = 1;
  progress.turnTaken(tally);
  progress.finished(tally);
  const std::string blank = "\r" + std::string(77, ' ') + "\r";
  EXPECT_EQ("\r" + progressLine(CollectTally{2, 0, 0, 0, 0, 0}, 0) + "\r" +
                progressLine(CollectTally{2, 1, 1, 0, 0, 0}, 0.3) + blank +
                outcomeLine(tally, 2) + "\n",
            terminal.str());
}

}  // namespace

}  // namespace copy
