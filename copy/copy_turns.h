#ifndef PELQUIST_COPY_COPY_TURNS_H_
#define PELQUIST_COPY_COPY_TURNS_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "copy/copy_pacing.h"
#include "copy/destination.h"
#include "copy/ordered_jobs.h"
#include "copy/planned_copy.h"
#include "quillkit/processors.h"

namespace copy {

/// The copies in flight of collect-copy. Each planned copy has a turn, in the order it is
/// added; copies are written ahead of their turn, several at once, and each takes its
/// destination's name only when its turn is taken, on the caller's thread, in order. So
/// every step that touches a destination's name is made in turn order, and the file
/// system itself decides which names are one, as copies one after another find. A copy
/// whose writing failed is made again at its turn; one that ran short of space, quota or
/// open files is made again alone, once every copy written behind it is given up (their
/// files gone, their space back); one whose source an earlier turn replaced is read
/// again. So each turn comes to what it would one after another. How many at once and
/// how far ahead is the pacing's (copy_pacing.h).
class CopyTurns {
 public:
  /// Copies into `destination`, replacing existing files when `forceWrite`, with
  /// `processors` and `openFiles` to spare (CopyPacing); `threadTimes` tells what the
  /// caller's thread has done so far.
  CopyTurns(Destination& destination, bool forceWrite, std::size_t processors,
            std::size_t openFiles, std::function<quillkit::ThreadTimes()> threadTimes);
  /// Gives up the copies not yet named: they leave nothing.
  ~CopyTurns();
  CopyTurns(const CopyTurns&) = delete;
  CopyTurns& operator=(const CopyTurns&) = delete;

  /// One after another: each copy is written at its turn, none ahead.
  bool alone() const { return pacing_.alone(); }
  /// True when the oldest turn must be taken before another is added.
  bool full() const { return turns_.size() >= pacing_.window(); }
  bool empty() const { return turns_.empty(); }
  /// Adds the next turn: its copy may be written from now on.
  void add(PlannedCopy planned);
  /// Said while the caller waits on other work than the copies (the walk that finds
  /// them): whether that work sleeps tells whether more copies at once would help.
  void pace();
  /// Takes the oldest turn: waits for its copy and names it. Only when not empty().
  /// What a copy's writing threw (no memory left) comes out here, and ends the run.
  TurnOutcome takeOldest();

 private:
  /// One try at a turn's copy: made on the caller's thread, written by one job, and
  /// replaced whole where the copy is made again.
  struct Attempt {
    std::unique_ptr<PreparedCopy> copy;
    /// Without force-write, the destination was looked for before the copy was written
    /// (LookFirstRule), when `namesBefore` names had been taken, and `found`: nothing
    /// was written.
    bool looked = false;
    bool found = false;
    std::size_t namesBefore = 0;
  };
  struct Turn {
    explicit Turn(PlannedCopy planned) : planned(std::move(planned)) {}
    /// Read by the turn's job; moved out when the turn is taken.
    PlannedCopy planned;
    Attempt attempt;
  };

  /// A job: writes `turn.attempt`, on any thread.
  void write(Turn& turn);
  /// The name taken for the oldest turn, and what it came to.
  TurnOutcome name(Turn& turn);
  /// The copy of `turn` named, made again where it must be.
  CopyOutcome nameCopy(Turn& turn);
  /// The copy made again alone: every later copy given up first, and written again after.
  CopyOutcome nameAlone(Turn& turn);
  /// Has the destination write out what the copies named since the last time wrote, so
  /// that its file system gives back the room it held for them: false where none was
  /// named since, or the destination has nothing to write out.
  bool writeOut();
  /// A new attempt for `turn`, written now where `now`.
  void startAttempt(Turn& turn, bool now);
  bool wasReplaced(const quillkit::FileIdentity& source) const;

  /// The caller's own: how many copies at once, and how far ahead.
  CopyPacing pacing_;
  // What the jobs may read, besides their own turn: the destination and `forceWrite_`,
  // set before any job runs, and the three atomics after them, which only the caller's
  // thread changes. A job writes nothing but its turn's attempt; the destination's calls
  // may be made from any thread.
  Destination& destination_;
  const bool forceWrite_;
  /// How many names the turns' copies have taken, and how many turns are taken.
  std::atomic<std::size_t> namesTaken_{0};
  std::atomic<std::size_t> turnsTaken_{0};
  /// The names taken when the destination last wrote out (the caller's own).
  std::size_t namesWrittenOut_ = 0;
  LookFirstRule lookFirst_;
  /// The caller's own again: the turns, oldest first, and the files that turns replaced,
  /// by device and inode.
  std::deque<Turn> turns_;  // a deque keeps its elements in place as it grows
  std::set<std::pair<uint64_t, uint64_t>> replaced_;
  OrderedJobs jobs_;  // last: its threads end before the turns go
};

}  // namespace copy

#endif  // PELQUIST_COPY_COPY_TURNS_H_
