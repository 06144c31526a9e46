#include "copy/copy_turns.h"

namespace copy {

CopyTurns::CopyTurns(Destination& destination, bool forceWrite, std::size_t processors,
                     std::size_t openFiles, std::function<quillkit::ThreadTimes()> threadTimes)
    : pacing_(processors, openFiles, forceWrite, std::move(threadTimes)),
      destination_(destination),
      forceWrite_(forceWrite),
      lookFirst_(pacing_.alone()) {}

CopyTurns::~CopyTurns() = default;

void CopyTurns::add(PlannedCopy planned) {
  turns_.emplace_back(std::move(planned));
  Turn& turn = turns_.back();
  if (!turn.planned.itself) startAttempt(turn, false);
  jobs_.add([this, &turn] { write(turn); }, pacing_.waitsOnFiles());
  pace();
}

void CopyTurns::pace() {
  // Threads are started as copies come: a run with few files starts few.
  jobs_.runOn(pacing_.threadsWanted(jobs_.waitedSeconds(), jobs_.waits()));
}

TurnOutcome CopyTurns::takeOldest() {
  jobs_.waitOldest(pacing_.callerPrepares());
  Turn& turn = turns_.front();
  TurnOutcome outcome = turn.planned.itself ? TurnOutcome() : name(turn);
  ++turnsTaken_;
  jobs_.popOldest();
  outcome.planned = std::move(turn.planned);
  turns_.pop_front();
  return outcome;
}

void CopyTurns::write(Turn& turn) {
  if (turn.planned.itself) return;
  Attempt& attempt = turn.attempt;
  if (!forceWrite_ && lookFirst_.looks(turnsTaken_)) {
    attempt.looked = true;
    attempt.namesBefore = namesTaken_;
    // No turn takes a name away: a destination there now stays until this turn.
    attempt.found = destination_.exists(turn.planned.name);
    if (attempt.found) return;
  }
  attempt.copy->prepare();
}

TurnOutcome CopyTurns::name(Turn& turn) {
  TurnOutcome outcome;
  outcome.kind = TurnOutcome::Kind::Existed;
  if (!forceWrite_ && turn.attempt.found) {
    lookFirst_.metExisting(turnsTaken_);
    return outcome;
  }
  // Where a turn has taken a name since the destination was looked for, the look does
  // not stand, and the name is not looked for again: a copy that cannot take it because
  // it is there now is refused, as a look now would have refused it. Where nothing was
  // looked for, a failed copy looks now, in the look's place.
  const bool lookStands = turn.attempt.looked && namesTaken_ == turn.attempt.namesBefore;
  const CopyOutcome copy = nameCopy(turn);
  if (copy.copied) {
    ++namesTaken_;
    if (!alone() && copy.replaced.known)
      replaced_.insert({copy.replaced.device, copy.replaced.inode});
    outcome.kind = TurnOutcome::Kind::Copied;
    outcome.bytes = copy.bytes;
    return outcome;
  }
  if (!forceWrite_ && !copy.answerLost && destination_.exists(turn.planned.name)) {
    lookFirst_.metExisting(turnsTaken_);
    outcome.triedFirst = lookStands;
    return outcome;
  }
  outcome.kind = TurnOutcome::Kind::Failed;
  outcome.errorText = copy.errorText;
  return outcome;
}

// A copy written before an earlier turn changed what it read (its source was replaced),
// or whose writing failed, is made again now. One that ran short of space or open files,
// which the copies written after it may hold, is made again alone; and after the copies
// before it are written out, which gives back the room a file system holds for data not
// yet written (one after another too, so that both come to the same).
CopyOutcome CopyTurns::nameCopy(Turn& turn) {
  const bool written = turn.attempt.copy->ready();
  if (!alone() && written && wasReplaced(turn.attempt.copy->source())) startAttempt(turn, true);
  CopyOutcome outcome = turn.attempt.copy->takeName();
  if (outcome.copied) return outcome;
  if (alone()) {
    if (!outcome.shortOfResources || !writeOut()) return outcome;
    startAttempt(turn, true);
    return turn.attempt.copy->takeName();
  }
  if (!written && !outcome.shortOfResources) {
    startAttempt(turn, true);
    outcome = turn.attempt.copy->takeName();
  }
  return outcome.shortOfResources && !outcome.copied ? nameAlone(turn) : outcome;
}

CopyOutcome CopyTurns::nameAlone(Turn& turn) {
  jobs_.redoLater();
  for (std::size_t i = 1; i < turns_.size(); ++i)
    if (!turns_[i].planned.itself) startAttempt(turns_[i], false);
  writeOut();
  startAttempt(turn, true);
  const CopyOutcome outcome = turn.attempt.copy->takeName();
  jobs_.resume();
  return outcome;
}

bool CopyTurns::writeOut() {
  if (namesTaken_ == namesWrittenOut_ || !destination_.writeOut()) return false;
  namesWrittenOut_ = namesTaken_;
  return true;
}

void CopyTurns::startAttempt(Turn& turn, bool now) {
  turn.attempt = Attempt();  // the copy given up first frees what it held
  turn.attempt.copy =
      destination_.makeCopy(turn.planned.source, turn.planned.name, forceWrite_);
  if (now) turn.attempt.copy->prepare();
}

bool CopyTurns::wasReplaced(const quillkit::FileIdentity& source) const {
  return source.known && replaced_.count({source.device, source.inode}) != 0;
}

}  // namespace copy
