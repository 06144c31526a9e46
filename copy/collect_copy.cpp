#include "copy/collect_copy.h"

#include <memory>
#include <string>

#include "copy/collect_plan.h"
#include "copy/collect_trace.h"
#include "copy/copy_turns.h"
#include "copy/found_paths.h"
#include "copy/texts.h"

namespace copy {

namespace {

/// One collect-copy run: derive the paths, walk the source, take the turns of the files
/// found, in walk order, and trace every step.
class CollectCopyRun {
 public:
  CollectCopyRun(std::ostream& console, FileSystem& fileSystem, const std::string& source,
                 bool forceWrite, std::ostream& errors, CollectObserver& observer)
      : trace_(console, errors),
        observer_(observer),
        fileSystem_(fileSystem),
        source_(source),
        forceWrite_(forceWrite) {}

  bool run(const std::string& destination) {
    // The current directory does not change before the copies are planned.
    const std::string currentDirectory = fileSystem_.currentDirectory();
    CollectPlan plan(source_, destination, currentDirectory);
    makeDestination(plan);
    trace_.inputs(source_, plan, currentDirectory, forceWrite_);
    const std::unique_ptr<Destination> folder =
        fileSystem_.openDestination(plan.destinationDirectory());
    const FileSystem::CopyCapacity capacity = fileSystem_.copyCapacity();
    CopyTurns turns(*folder, forceWrite_, capacity.processors, capacity.openFiles,
                    [this] { return fileSystem_.threadTimes(); });

    // Copies start as the walk finds their files, before its lines are written.
    FoundFiles found;
    found.onFile = [&](const std::string& path) { take(path, plan, turns); };
    if (!turns.alone()) turns.pace();  // the walk's own waits count from its start
    if (!fileSystem_.findFiles(plan.pattern(), plan.sourceDirectory(), found)) {
      trace_.line(texts::kTraceFindFailed);
      trace_.unreadable(plan.sourceDirectory(), found.failure);
      return false;
    }
    trace_.found(plan);
    tally_.skipped = found.skipped.size();
    if (!enterSourceDirectory(plan, currentDirectory)) return false;
    observer_.walked(tally_);

    bool result = copyAll(plan, turns);
    // What the walk could not see makes the run fail, after what it found is copied.
    for (const auto& skipped : found.skipped) {
      trace_.skipped(skipped.first, skipped.second);
      result = false;
    }
    if (found.stoppedAtLimit) {
      trace_.line(texts::kTraceFindStoppedAtLimit);
      result = false;
    }
    trace_.line(texts::kTraceEnd);
    return result;
  }

  /// What the turns have come to.
  const CollectTally& tally() const { return tally_; }

 private:
  // A missing relative destination is created; an absolute one is taken as it is.
  void makeDestination(const CollectPlan& plan) {
    const std::string& directory = plan.destinationDirectory();
    if (plan.destinationIsAbsolute() || fileSystem_.isDirectory(directory)) return;
    if (fileSystem_.createDirectories(directory) != 0)
      trace_.line(texts::kTraceCreateDir + directory + texts::kTraceCreateDirFailed);
  }

  // A file the walk found: its turn now, while there is room and the copies are written
  // ahead; after those before it otherwise.
  void take(const std::string& path, CollectPlan& plan, CopyTurns& turns) {
    ++tally_.found;
    if (waiting_.empty() && !turns.alone() && !turns.full()) {
      turns.add(plan.plan(path));
      return;
    }
    waiting_.push(path);
    if (!turns.alone()) turns.pace();
  }

  // An absolute source's folder, as typed, becomes current; a relative source leaves it.
  bool enterSourceDirectory(const CollectPlan& plan, const std::string& currentDirectory) {
    if (!plan.sourceIsAbsolute()) {
      trace_.line(texts::kTraceUnchangedDir + currentDirectory);
      return true;
    }
    if (!fileSystem_.changeDirectory(plan.sourceDirectory())) {
      trace_.line(texts::kTraceChangeDirFailed + plan.sourceDirectory());
      return false;
    }
    trace_.line(texts::kTraceChangedDir + plan.sourceDirectory());
    return true;
  }

  // Takes every turn, in walk order, and adds the files waiting as turns make room. False
  // when a copy failed for another reason than an existing destination.
  bool copyAll(CollectPlan& plan, CopyTurns& turns) {
    bool result = true;
    while (!turns.empty() || !waiting_.empty()) {
      while (!waiting_.empty() && (turns.empty() || !turns.full())) {
        turns.add(plan.plan(waiting_.pop()));
      }
      if (!takeTurn(turns)) result = false;
    }
    return result;
  }

  bool takeTurn(CopyTurns& turns) {
    const TurnOutcome outcome = turns.takeOldest();
    trace_.turn(outcome, forceWrite_);
    switch (outcome.kind) {
      case TurnOutcome::Kind::Copied:
        ++tally_.copied;
        tally_.bytes += outcome.bytes;
        break;
      case TurnOutcome::Kind::Failed:
        ++tally_.failed;
        break;
      default:
        ++tally_.existed;
    }
    observer_.turnTaken(tally_);
    return outcome.kind != TurnOutcome::Kind::Failed;
  }

  CollectTrace trace_;
  CollectObserver& observer_;
  FileSystem& fileSystem_;
  const std::string source_;
  const bool forceWrite_;
  /// Found files that wait for room among the turns, in walk order.
  FoundPaths waiting_;
  /// What the turns have come to, for the observer.
  CollectTally tally_;
};

}  // namespace

bool collectCopy(std::ostream& console, FileSystem& fileSystem, const std::string& source,
                 const std::string& destination, bool forceWrite, std::ostream& errors,
                 CollectObserver& observer) {
  CollectCopyRun run(console, fileSystem, source, forceWrite, errors, observer);
  const bool result = run.run(destination);
  observer.finished(run.tally());
  return result;
}

CollectObserver& CollectObserver::none() {
  static CollectObserver nothing;
  return nothing;
}

}  // namespace copy
