#include "copy/collect_copy.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <ostream>
#include <set>
#include <utility>

#include "copy/copy_pacing.h"
#include "copy/ordered_jobs.h"
#include "copy/texts.h"
#include "quillkit/console_text.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/entry_paths.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/shown_name.h"
#include "quillkit/texts.h"

namespace copy {

namespace {

quillkit::PathParts splitPath(const std::string& path) {
  quillkit::PathParts parts;
  parts.split(path);
  return parts;
}

bool isAbsolute(const std::string& path) { return quillkit::isAbsolutePath(path.c_str()); }

/// One collect-copy run and the values it derives on the way.
class CollectCopyRun {
 public:
  CollectCopyRun(std::ostream& console, FileSystem& fileSystem, const std::string& source,
                 const std::string& destination, bool forceWrite, std::ostream& errors,
                 CollectObserver& observer)
      : console_(console),
        errors_(errors),
        observer_(observer),
        fileSystem_(fileSystem),
        source_(source),
        destination_(destination),
        forceWrite_(forceWrite) {}

  bool run() {
    // Derived once: the current directory does not change before the copies, and an
    // absolute source's parts are those of the source as typed.
    currentDirectory_ = fileSystem_.currentDirectory();
    const quillkit::PathParts typed = splitPath(source_);
    const quillkit::PathParts full =
        isAbsolute(source_) ? typed : splitPath(fromCurrentDirectory(source_));
    sourceDirectory_ = full.drive + full.dir;
    prepareDestination();
    folder_ = fileSystem_.openDestination(destinationDirectory_);
    const std::string pattern = typed.fname + typed.ext;
    traceInputs(pattern);

    line(copy::texts::kTraceResetDone);
    // Copies at once start as the walk finds their files, before its lines are written.
    CopyPacing pacing(fileSystem_.copyCapacity(), [this] { return fileSystem_.threadTimes(); });
    alone_ = pacing.alone();
    Flight flight(pacing);
    FoundFiles found;
    std::size_t startedEarly = 0;
    if (!alone_) {
      // The walk's own waits count from its start: a slow share is known by its first file.
      flight.jobs.pace();
      found.onFile = [&](const std::string& path) {
        // Only the first files, in walk order, up to the window: the rest wait for it.
        if (startedEarly != flight.turns.size() || startedEarly >= pacing.window()) {
          flight.jobs.pace();
          return;
        }
        start(flight, path);
        ++startedEarly;
      };
    }
    if (!fileSystem_.findFiles(pattern, sourceDirectory_, found)) {
      line(copy::texts::kTraceFindFailed);
      tellWhyUnreadable(found.failure);
      return false;
    }
    line(copy::texts::kTraceFindDone);
    tally_.found = found.files.size();
    tally_.skipped = found.skipped.size();
    bool result = true;

    console_ << std::endl;
    line(copy::texts::kTraceCopyTo + destination_);
    line(copy::texts::kTraceCopyToCollected + destinationDirectory_);
    if (!enterSourceDirectory()) return false;
    observer_.walked(tally_);
    result = copyAll(found.files, startedEarly, flight, pacing);
    // What the walk could not see makes the run fail, after what it found is copied.
    for (const auto& skipped : found.skipped) {
      console_ << quillkit::shownName(copy::texts::kTraceFindSkipped + skipped.first +
                                      copy::texts::kTraceFindSkippedReason)
               << skipped.second << std::endl;
      result = false;
    }
    if (found.stoppedAtLimit) {
      line(copy::texts::kTraceFindStoppedAtLimit);
      result = false;
    }
    line(copy::texts::kTraceEnd);
    return result;
  }

  /// What the turns have come to.
  const CollectTally& tally() const { return tally_; }

 private:
  // A trace line is fixed texts, which hold no control bytes, and names, whose control
  // bytes are shown, not obeyed: the whole line is shown as a name. The system's error
  // texts, which may end in their own line end, are written apart.
  void line(const std::string& text) { console_ << quillkit::shownName(text) << std::endl; }
  // The lines of one file are written together, when it is done: where the console is a
  // terminal, the standard output's own line buffering still shows each at once.
  void fileLine(const std::string& text) { console_ << quillkit::shownName(text) << '\n'; }
  // A line of the file's that is a fixed text, a name, and a fixed text: the same, built
  // whole and written at once.
  void nameLine(const char* before, const std::string& name, const char* after = "") {
    line_.assign(before);
    quillkit::appendShownName(line_, name);
    line_.append(after).push_back('\n');
    console_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  }
  void endFile() { console_ << std::flush; }

  // After the trace's own lines: the source folder and the system's text for why it
  // could not be read, where the walk said.
  void tellWhyUnreadable(std::string errorText) {
    if (errorText.empty()) return;
    const std::string prefix = quillkit::texts::kErrorMessagePrefix;
    if (errorText.compare(0, prefix.size(), prefix) == 0) errorText.erase(0, prefix.size());
    while (!errorText.empty() && (errorText.back() == '\n' || errorText.back() == '\r'))
      errorText.pop_back();
    errors_ << copy::texts::kCannotRead << quillkit::shownName(sourceDirectory_)
            << copy::texts::kCannotReadReason << errorText << std::endl;
  }

  // `path` joined to the current directory, or completed by the system where it names
  // its drive or its root (Windows).
  std::string fromCurrentDirectory(const std::string& path) const {
    return quillkit::absolutePath(currentDirectory_, path);
  }

  // The destination made absolute; a missing relative one is created.
  void prepareDestination() {
    if (isAbsolute(destination_)) {
      destinationDirectory_ = destination_;
      return;
    }
    destinationDirectory_ = fromCurrentDirectory(destination_);
    if (fileSystem_.isDirectory(destinationDirectory_)) return;
    if (fileSystem_.createDirectories(destinationDirectory_) != 0)
      line(copy::texts::kTraceCreateDir + destinationDirectory_ +
           copy::texts::kTraceCreateDirFailed);
  }

  void traceInputs(const std::string& pattern) {
    line(copy::texts::kTraceStart);
    line(copy::texts::kTraceSource + source_);
    line(copy::texts::kTraceCollected + pattern);
    line(copy::texts::kTraceDestination + destination_);
    line(copy::texts::kTraceCollected + destinationDirectory_);
    line(copy::texts::kTraceCurrentDir + currentDirectory_);
    line(copy::texts::kTraceCollected + sourceDirectory_);
    console_ << copy::texts::kTraceForceWrite << std::boolalpha << forceWrite_ << std::endl;
    console_ << std::endl;
    line(copy::texts::kTraceResetArgs);
    line(copy::texts::kTraceResetArg1 + pattern);
    line(copy::texts::kTraceResetArg2 + sourceDirectory_);
  }

  // An absolute source's directory becomes current; a relative source leaves it.
  bool enterSourceDirectory() {
    if (!isAbsolute(source_)) {
      line(copy::texts::kTraceUnchangedDir + currentDirectory_);
      return true;
    }
    const std::string& directory = sourceDirectory_;  // the source's own, as typed
    if (!fileSystem_.changeDirectory(directory)) {
      line(copy::texts::kTraceChangeDirFailed + directory);
      return false;
    }
    line(copy::texts::kTraceChangedDir + directory);
    return true;
  }

  /// One found file and where it goes.
  struct Planned {
    std::string source;
    std::string destination;
    /// The destination's name in its folder.
    std::string name;
    /// The destination is the file itself: it is skipped after its first line.
    bool sameFile;
  };

  // On this thread only: the parts of the last path planned are kept, with their room.
  Planned plan(const std::string& sourcePath) {
    planParts_.split(sourcePath);
    fileName_.assign(planParts_.fname).append(planParts_.ext);
    const std::string& fileName = fileName_;
    if (!destinationPaths_)
      destinationPaths_.reset(new quillkit::EntryPaths(destinationDirectory_.c_str()));
    std::string destinationPath = destinationPaths_->join(fileName.c_str());
    // The destination as typed, followed by the name: the source itself?
    const bool typedIsSource =
        sourcePath.size() == destination_.size() + fileName.size() &&
        sourcePath.compare(0, destination_.size(), destination_) == 0 &&
        sourcePath.compare(destination_.size(), fileName.size(), fileName) == 0;
    const bool same = destinationPath == sourcePath || typedIsSource;
    return {sourcePath, std::move(destinationPath), fileName, same};
  }

  /// One found file: where it goes, and its copy until its turn.
  struct Turn {
    explicit Turn(Planned planned) : file(std::move(planned)) {}
    Planned file;
    /// Without force-write: the destination was looked for before the copy was
    /// prepared. Copies at once look only while turns meet existing destinations: where
    /// none is looked for, the name taken at the turn finds one as a look there would.
    bool looked = false;
    /// The look found the destination. No turn takes a name away, so it stays: nothing
    /// is prepared.
    bool refused = false;
    /// How many names the turns had taken when the destination was looked for.
    std::size_t namesBeforeLook = 0;
    /// Made here, where it is named and given up; written by a job unless refused.
    std::unique_ptr<PreparedCopy> prepared;
  };

  /// The copies in flight: prepared by the jobs, named in walk order by this thread.
  struct Flight {
    explicit Flight(CopyPacing& pacing) : jobs(pacing) {}
    std::deque<Turn> turns;  // a deque keeps its elements in place as it grows
    OrderedJobs jobs;        // after `turns`: its threads end before the turns go
  };

  // Copies every found file. The copies are prepared several at once, ahead of their
  // turn, and each takes its name when its turn comes, with its lines of the trace:
  // every step that touches a destination's name is made here, in walk order, so the
  // file system itself decides which names are one, as copies one after another find.
  // The first `started` files were started as the walk found them.
  bool copyAll(const std::list<std::string>& found, std::size_t started, Flight& flight,
               const CopyPacing& pacing) {
    bool result = true;
    auto takeOldest = [&] {
      flight.jobs.waitOldest();
      if (!takeTurn(flight)) result = false;
      flight.jobs.popOldest();
      flight.turns.pop_front();
      observer_.turnTaken(tally_);
    };
    for (const std::string& path : found) {
      if (started != 0) {
        --started;
        continue;
      }
      if (flight.turns.size() >= pacing.window()) takeOldest();
      start(flight, path);
    }
    while (!flight.turns.empty()) takeOldest();
    return result;
  }

  // The file's turn, with its copy, which is added to the jobs.
  void start(Flight& flight, const std::string& path) {
    flight.turns.emplace_back(plan(path));
    Turn& turn = flight.turns.back();
    if (!turn.file.sameFile) turn.prepared = makeCopy(turn);
    flight.jobs.add([this, &turn] { prepare(turn); });
  }

  // Runs on any thread of the jobs: it touches nothing but `turn`.
  void prepare(Turn& turn) {
    if (turn.file.sameFile) return;
    if (!forceWrite_ && (alone_ || turnsTaken_ < lookUntil_)) {
      turn.looked = true;
      turn.namesBeforeLook = namesTaken_;
      turn.refused = folder_->exists(turn.file.name);
      if (turn.refused) return;
    }
    turn.prepared->prepare();
  }

  // The turn of the oldest file: its lines, and its name taken. False when its copy
  // failed for another reason than an existing destination.
  bool takeTurn(Flight& flight) {
    Turn& turn = flight.turns.front();
    nameLine(copy::texts::kTraceCopyDest, turn.file.destination);
    if (turn.file.sameFile) ++tally_.existed;
    const bool result = turn.file.sameFile || copyAtTurn(turn, flight);
    ++turnsTaken_;
    endFile();
    return result;
  }

  bool copyAtTurn(Turn& turn, Flight& flight) {
    const Planned& file = turn.file;
    if (!forceWrite_ && turn.refused) {
      lookUntil_ = turnsTaken_ + kLookingTurns;
      refuse(file.destination, file.source);
      return true;
    }
    // Where a turn has taken a name since the destination was looked for, the look does
    // not stand; the name is not looked for again: a copy that cannot take it because it
    // is there now is refused, as a look now would have refused it. Where it was not
    // looked for, a failed copy looks now, in the look's place: a destination there is
    // refused without the failure's line.
    const bool lookStands = turn.looked && namesTaken_ == turn.namesBeforeLook;
    const CopyOutcome outcome = nameAtTurn(turn, flight);
    if (outcome.copied) {
      ++namesTaken_;
      ++tally_.copied;
      tally_.bytes += outcome.bytes;
      if (!alone_ && outcome.replaced.known)
        replaced_.insert({outcome.replaced.device, outcome.replaced.inode});
      nameLine(copy::texts::kTraceCopy, file.destination, copy::texts::kTraceCopySucceeded);
      return true;
    }
    const bool exists = !forceWrite_ && folder_->exists(file.name);
    if (!exists || lookStands)
      fileLine(copy::texts::kTraceCopy + file.destination + copy::texts::kTraceCopyFailed);
    if (exists) {
      // The copies prepared from now on look first: a folder that holds the files
      // already costs a look each, not a copy each.
      lookUntil_ = turnsTaken_ + kLookingTurns;
      refuse(file.destination, file.source);
      return true;
    }
    report(file, outcome.errorText);
    return false;
  }

  // What the turn's copy comes to. A copy prepared before an earlier turn changed what it
  // read (its source was replaced), or whose preparation failed, is made again now. One
  // that ran short of space or open files, which the copies prepared after it may hold,
  // is made again alone: those are given up first, and prepared again after.
  CopyOutcome nameAtTurn(Turn& turn, Flight& flight) {
    const bool prepared = turn.prepared->ready();
    if (!alone_ && prepared && wasReplaced(turn.prepared->source())) {
      turn.prepared.reset();
      turn.prepared = prepareNow(turn);
    }
    CopyOutcome outcome = turn.prepared->takeName();
    if (alone_ || outcome.copied) return outcome;
    if (!prepared && !outcome.shortOfResources) {
      turn.prepared = prepareNow(turn);
      outcome = turn.prepared->takeName();
    }
    return outcome.shortOfResources && !outcome.copied ? againAlone(turn, flight) : outcome;
  }

  CopyOutcome againAlone(Turn& turn, Flight& flight) {
    flight.jobs.redoLater();
    for (std::size_t i = 1; i < flight.turns.size(); ++i) {
      Turn& later = flight.turns[i];
      if (later.file.sameFile) continue;
      later.prepared = makeCopy(later);  // the old one, given up, frees what it held
      later.refused = false;
    }
    turn.prepared.reset();
    turn.prepared = prepareNow(turn);
    const CopyOutcome outcome = turn.prepared->takeName();
    flight.jobs.resume();
    return outcome;
  }

  std::unique_ptr<PreparedCopy> makeCopy(const Turn& turn) {
    return folder_->makeCopy(turn.file.source, turn.file.name, forceWrite_);
  }

  std::unique_ptr<PreparedCopy> prepareNow(const Turn& turn) {
    std::unique_ptr<PreparedCopy> copy = makeCopy(turn);
    copy->prepare();
    return copy;
  }

  bool wasReplaced(const quillkit::FileIdentity& source) const {
    return source.known && replaced_.count({source.device, source.inode}) != 0;
  }

  // The lines that explain a failed copy.
  void report(const Planned& file, const std::string& errorText) {
    ++tally_.failed;
    traceCopyCall(file.destination, file.source, forceWrite_);
    quillkit::debugPrintf("%s", errorText.c_str());
    console_ << copy::texts::kTraceLastError << errorText << '\n';
  }

  void traceCopyCall(const std::string& destinationPath, const std::string& sourcePath,
                     bool forceWrite) {
    console_ << copy::texts::kTraceCopyCall << quillkit::shownName(destinationPath)
             << copy::texts::kTraceCopyCallSeparator << quillkit::shownName(sourcePath)
             << copy::texts::kTraceCopyCallSeparator << forceWrite
             << copy::texts::kTraceCopyCallEnd << '\n';
  }

  void refuse(const std::string& destinationPath, const std::string& sourcePath) {
    ++tally_.existed;
    traceCopyCall(destinationPath, sourcePath, false);
    fileLine(quillkit::consoleText(copy::texts::kTraceExists));
    fileLine(quillkit::consoleText(copy::texts::kTraceUseForceWrite));
  }

  std::ostream& console_;
  std::ostream& errors_;
  CollectObserver& observer_;
  FileSystem& fileSystem_;
  const std::string source_;
  const std::string destination_;
  const bool forceWrite_;
  std::string currentDirectory_;
  std::string sourceDirectory_;
  std::string destinationDirectory_;
  /// The destination folder, held for the run.
  std::unique_ptr<Destination> folder_;
  /// Copies one after another: each prepared at its turn.
  bool alone_ = true;
  /// The last line nameLine() built, kept with its room for the next one.
  std::string line_;
  /// The destination folder's part of every destination path, joined once by plan().
  std::unique_ptr<quillkit::EntryPaths> destinationPaths_;
  /// What plan() splits a path into, kept for the next one.
  quillkit::PathParts planParts_;
  std::string fileName_;
  /// How many names the turns have taken: read by the jobs.
  std::atomic<std::size_t> namesTaken_{0};
  /// How many turns were taken, and until which one copies at once look for their
  /// destination first: read by the jobs.
  static constexpr std::size_t kLookingTurns = 256;
  std::atomic<std::size_t> turnsTaken_{0};
  std::atomic<std::size_t> lookUntil_{0};
  /// The files that turns replaced, by device and inode.
  std::set<std::pair<uint64_t, uint64_t>> replaced_;
  /// What the turns have come to, for the observer.
  CollectTally tally_;
};

}  // namespace

bool collectCopy(std::ostream& console, FileSystem& fileSystem, const std::string& source,
                 const std::string& destination, bool forceWrite, std::ostream& errors,
                 CollectObserver& observer) {
  CollectCopyRun run(console, fileSystem, source, destination, forceWrite, errors, observer);
  const bool result = run.run();
  observer.finished(run.tally());
  return result;
}

CollectObserver& CollectObserver::none() {
  static CollectObserver nothing;
  return nothing;
}

}  // namespace copy
