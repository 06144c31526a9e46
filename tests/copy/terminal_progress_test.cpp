#include "copy/terminal_progress.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

CollectTally tallyOf(std::size_t found, std::size_t copied, std::size_t existed,
                     std::size_t failed, std::size_t skipped, uint64_t bytes) {
  CollectTally tally;
  tally.found = found;
  tally.copied = copied;
  tally.existed = existed;
  tally.failed = failed;
  tally.skipped = skipped;
  tally.bytes = bytes;
  return tally;
}

TEST(ShownBytes, BytesThenOneDecimalInTheLargestUnitBelow1024) {
  const std::vector<std::pair<uint64_t, std::string>> cases = {{0, "0 B"},
                                                               {1023, "1023 B"},
                                                               {1024, "1.0 KiB"},
                                                               {1587, "1.5 KiB"},
                                                               {1048524, "1023.9 KiB"},
                                                               {1048525, "1.0 MiB"},
                                                               {3221225472, "3.0 GiB"},
                                                               {UINT64_MAX, "16.0 EiB"}};
  for (const auto& c : cases) EXPECT_EQ(c.second, shownBytes(c.first)) << c.first;
}

TEST(TerminalLines, ProgressHasOneWidthAndTheOutcomeEveryCount) {
  EXPECT_EQ("pelquist_copy:             0/4 files         0 B         0 B/s   -:--:-- left",
            progressLine(tallyOf(4, 0, 0, 0, 0, 0), 0));
  // 1 of 4 in 2 s: 6 s left at that pace.
  EXPECT_EQ("pelquist_copy:             1/4 files     2.0 KiB     1.0 KiB/s   0:00:06 left",
            progressLine(tallyOf(4, 1, 0, 0, 0, 2048), 2));
  EXPECT_EQ("pelquist_copy: 1010720/1010720 files  1023.9 MiB      1023 B/s   0:00:00 left",
            progressLine(tallyOf(1010720, 1000000, 10000, 720, 0, 1073636966), 1048576));
  EXPECT_EQ("pelquist_copy:       1/1010720 files     1.0 KiB         1 B/s  99:59:59 left",
            progressLine(tallyOf(1010720, 1, 0, 0, 0, 1024), 1024));
  EXPECT_EQ("pelquist_copy: 2 copied, 1 existed, 3 failed, 4 skipped, 1.5 KiB in 12.3 s",
            outcomeLine(tallyOf(6, 2, 1, 3, 4, 1587), 12.34));
}

// The progress line is drawn when the walk is done and at a turn 200 ms after it was last
// drawn; at the end blanks take its place before the outcome.
TEST(TerminalProgress, RedrawsAfter200MillisecondsAndErasesBeforeTheOutcome) {
  std::vector<double> times = {0, 1, 1.1, 1.3, 2};
  std::size_t next = 0;
  std::ostringstream terminal;
  TerminalProgress progress(terminal, true, [&] { return times[next++]; });
  CollectTally tally = tallyOf(2, 0, 0, 0, 0, 0);
  progress.walked(tally);
  tally.copied = 1;
  progress.turnTaken(tally);
  tally.existed = 1;
  progress.turnTaken(tally);
  progress.finished(tally);
  const std::string blank = "\r" + std::string(77, ' ') + "\r";
  EXPECT_EQ("\r" + progressLine(tallyOf(2, 0, 0, 0, 0, 0), 0) + "\r" +
                progressLine(tallyOf(2, 1, 1, 0, 0, 0), 0.3) + blank + outcomeLine(tally, 2) +
                "\n",
            terminal.str());
}

}  // namespace
