#include "copy/collect_copy.h"

#include <deque>
#include <list>
#include <ostream>

#include "copy/ordered_jobs.h"
#include "copy/texts.h"
#include "quillkit/console_text.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/shown_name.h"

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
                 const std::string& destination, bool forceWrite)
      : console_(console),
        fileSystem_(fileSystem),
        source_(source),
        destination_(destination),
        forceWrite_(forceWrite) {}

  bool run() {
    quillkit::PathParts full =
        splitPath(isAbsolute(source_) ? source_ : fromCurrentDirectory(source_));
    sourceDirectory_ = full.drive + full.dir;
    prepareDestination();
    quillkit::PathParts typed = splitPath(source_);
    const std::string pattern = typed.fname + typed.ext;
    traceInputs(pattern);

    line(copy::texts::kTraceResetDone);
    FoundFiles found;
    if (!fileSystem_.findFiles(pattern, sourceDirectory_, found)) {
      line(copy::texts::kTraceFindFailed);
      return false;
    }
    line(copy::texts::kTraceFindDone);
    bool result = true;

    console_ << std::endl;
    line(copy::texts::kTraceCopyTo + destination_);
    line(copy::texts::kTraceCopyToCollected + destinationDirectory_);
    if (!enterSourceDirectory()) return false;
    result = copyAll(found.files);
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

 private:
  // A trace line is fixed texts, which hold no control bytes, and names, whose control
  // bytes are shown, not obeyed: the whole line is shown as a name. The system's error
  // texts, which may end in their own line end, are written apart.
  void line(const std::string& text) { console_ << quillkit::shownName(text) << std::endl; }
  // The lines of one file are written together, when it is done: where the console is a
  // terminal, the standard output's own line buffering still shows each at once.
  void fileLine(const std::string& text) { console_ << quillkit::shownName(text) << '\n'; }
  void endFile() { console_ << std::flush; }

  // `path` joined to the current directory.
  std::string fromCurrentDirectory(const std::string& path) {
    std::string joined = fileSystem_.currentDirectory();
    quillkit::appendPath(joined, path);
    return joined;
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
    line(copy::texts::kTraceCurrentDir + fileSystem_.currentDirectory());
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
      line(copy::texts::kTraceUnchangedDir + fileSystem_.currentDirectory());
      return true;
    }
    quillkit::PathParts parts = splitPath(source_);
    const std::string directory = parts.drive + parts.dir;
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
    /// The destination is the file itself: it is skipped after its first line.
    bool sameFile;
  };

  Planned plan(const std::string& sourcePath) const {
    quillkit::PathParts parts = splitPath(sourcePath);
    const std::string fileName = parts.fname + parts.ext;
    std::string destinationPath = destinationDirectory_;
    quillkit::appendPath(destinationPath, fileName);
    const bool same = destinationPath == sourcePath || destination_ + fileName == sourcePath;
    return {sourcePath, destinationPath, same};
  }

  /// One found file: where it goes, and what its copy came to.
  struct Turn {
    Planned file;
    /// The destination was there already and stays (without force-write).
    bool refused = false;
    CopyOutcome copy;
  };

  // Copies every found file. The copies run several at once, ahead of their turn; each
  // file's lines are written when its turn comes, so the trace is the one that copies
  // made one after another would write. Two copies to one destination name never run
  // at once, and a later one waits until the earlier one's turn has come.
  bool copyAll(const std::list<std::string>& found) {
    const FileSystem::CopyThreads threads = fileSystem_.copyThreads();
    const bool alone = threads.most <= 1;
    // Done copies wait for their turn in a window of 32 beside those under way, so that
    // a thread held up on one copy does not leave the others idle; alone, the next copy
    // is not started before the last one is traced.
    const std::size_t window = alone ? 1 : threads.most + 32;
    OrderedJobs jobs(threads.first, threads.most,
                     [this] { return fileSystem_.processorSeconds(); });
    std::deque<Turn> turns;
    bool result = true;
    auto traceOldest = [&] {
      jobs.waitOldest();
      if (!traceTurn(turns.front(), !alone, jobs)) result = false;
      turns.pop_front();
    };
    for (const std::string& path : found) {
      if (jobs.jobs() >= window) traceOldest();
      turns.push_back({plan(path), false, CopyOutcome()});
      Turn& turn = turns.back();  // a deque keeps its elements in place as it grows
      jobs.add(destinationKey(turn.file.destination), [this, &turn] { copyOne(turn); });
    }
    while (jobs.jobs() > 0) traceOldest();
    return result;
  }

  // Two destinations are one file where the file system ignores the case of letters.
  static std::string destinationKey(std::string path) {
    for (char& c : path)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return path;
  }

  // The copy of one found file: without force-write an existing destination is left
  // alone. Runs on a thread of the jobs: it touches nothing but `turn`.
  void copyOne(Turn& turn) {
    if (turn.file.sameFile) return;
    if (!forceWrite_ && fileSystem_.exists(turn.file.destination)) {
      turn.refused = true;
      return;
    }
    turn.copy = fileSystem_.copyFile(turn.file.source, turn.file.destination, forceWrite_);
  }

  // The lines of one file; false when its copy failed for another reason than an
  // existing destination. A copy that ran short of space or descriptors beside others
  // is tried once more alone, after everything under way is done.
  bool traceTurn(Turn& turn, bool others, OrderedJobs& jobs) {
    fileLine(copy::texts::kTraceCopyDest + turn.file.destination);
    if (others && !turn.copy.copied && turn.copy.shortOfResources) {
      jobs.waitAll();
      turn.copy = CopyOutcome();
      copyOne(turn);
    }
    const bool result = turn.file.sameFile || traceOutcome(turn);
    endFile();
    return result;
  }

  bool traceOutcome(const Turn& turn) {
    const Planned& file = turn.file;
    if (turn.refused) {
      refuse(file.destination, file.source);
      return true;
    }
    if (!turn.copy.copied && !forceWrite_ && fileSystem_.exists(file.destination)) {
      fileLine(copy::texts::kTraceCopy + file.destination + copy::texts::kTraceCopyFailed);
      refuse(file.destination, file.source);
      return true;
    }
    return report(file, turn.copy.copied, turn.copy.errorText);
  }

  // The lines of a copy that succeeded or failed; false for a failure.
  bool report(const Planned& file, bool copied, const std::string& errorText) {
    if (copied) {
      fileLine(copy::texts::kTraceCopy + file.destination + copy::texts::kTraceCopySucceeded);
      return true;
    }
    fileLine(copy::texts::kTraceCopy + file.destination + copy::texts::kTraceCopyFailed);
    traceCopyCall(file.destination, file.source, forceWrite_);
    quillkit::debugPrintf("%s", errorText.c_str());
    console_ << copy::texts::kTraceLastError << errorText << '\n';
    return false;
  }

  void traceCopyCall(const std::string& destinationPath, const std::string& sourcePath,
                     bool forceWrite) {
    console_ << copy::texts::kTraceCopyCall << quillkit::shownName(destinationPath)
             << copy::texts::kTraceCopyCallSeparator << quillkit::shownName(sourcePath)
             << copy::texts::kTraceCopyCallSeparator << forceWrite
             << copy::texts::kTraceCopyCallEnd << '\n';
  }

  void refuse(const std::string& destinationPath, const std::string& sourcePath) {
    traceCopyCall(destinationPath, sourcePath, false);
    fileLine(quillkit::consoleText(copy::texts::kTraceExists));
    fileLine(quillkit::consoleText(copy::texts::kTraceUseForceWrite));
  }

  std::ostream& console_;
  FileSystem& fileSystem_;
  const std::string source_;
  const std::string destination_;
  const bool forceWrite_;
  std::string sourceDirectory_;
  std::string destinationDirectory_;
};

}  // namespace

bool collectCopy(std::ostream& console, FileSystem& fileSystem, const std::string& source,
                 const std::string& destination, bool forceWrite) {
  return CollectCopyRun(console, fileSystem, source, destination, forceWrite).run();
}
