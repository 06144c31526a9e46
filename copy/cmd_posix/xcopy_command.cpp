#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "copy/cmd_posix/commands.h"
#include "copy/cmd_posix/error_texts.h"
#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"
#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/destination_folders.h"
#include "copy/files_posix/file_ops.h"
#include "quillkit/shown_name.h"

namespace copy::cmd {
namespace {

/// XCOPY's exit codes.
constexpr int kInitializationError = 4;
constexpr int kWriteError = 5;
/// A folder that could not be listed, or an entry that no path names: what else was
/// found is copied, and the command fails as a copy that failed does.
constexpr int kPassedOver = kWriteError;

struct XcopyLine {
  std::vector<std::string> paths;
  bool subdirectories = false;    // /S
  bool emptyDirectories = false;  // /E
  bool assumeDirectory = false;   // /I
  bool quiet = false;             // /Q
  bool fullNames = false;         // /F
  bool yes = false;
  bool noYes = false;
  std::string invalidSwitch;
};

/// A file to copy: its path below the source folder, and its path as the source shows it.
struct FoundFile {
  std::string relative;
  std::string path;
};

struct Collection {
  explicit Collection(std::size_t entryLimit) : entriesLeft(entryLimit) {}
  std::vector<FoundFile> files;
  /// How many more entries the walk may take, and whether it stopped for want of more.
  std::size_t entriesLeft;
  bool stopped = false;
  std::vector<std::string> directories;  // below the source folder, for /E
  std::vector<FileStatus> visiting;      // the folders being walked, against link cycles
  std::vector<std::string> passedOver;   // the error lines of what could not be seen
};

// False, after noting why, when the folder could not be listed; notes the entries
// that no path names, folders only when `directories`.
bool takeListing(const Listing& listing, const std::string& directory, bool directories,
                 Collection& found) {
  if (listing.error != 0) {
    found.passedOver.push_back(texts::kUnreadableDirectoryPrefix +
                               quillkit::shownName(directory.empty() ? "." : directory) + "\n" +
                               systemErrorText(listing.error, ErrorSubject::Source));
    return false;
  }
  for (const ListedEntry& entry : listing.unnamable)
    if (entry.isDirectory == directories)
      found.passedOver.push_back(unnamableEntryText(joinPath(directory, entry.name)));
  return true;
}

void parseLine(const std::vector<Word>& words, XcopyLine& line) {
  for (const Word& word : words) {
    if (!word.isSwitch()) {
      line.paths.push_back(word.text);
      continue;
    }
    std::string name = upperAscii(word.text);
    if (name == "/S")
      line.subdirectories = true;
    else if (name == "/E")
      line.emptyDirectories = line.subdirectories = true;
    else if (name == "/I")
      line.assumeDirectory = true;
    else if (name == "/Q")
      line.quiet = true;
    else if (name == "/F")
      line.fullNames = true;
    else if (name == "/Y")
      line.yes = true;
    else if (name == "/-Y")
      line.noYes = true;
    else if (line.invalidSwitch.empty())
      line.invalidSwitch = word.text;
  }
}

// The folder's matching files first, then its subfolders in listing order.
void gatherFiles(const std::string& directory, const std::string& relative,
                 const std::string& pattern, bool recurse, Collection& found) {
  const Listing matches = listMatches(directory, pattern);
  if (!takeListing(matches, directory, false, found)) return;
  for (const ListedEntry& entry : matches.entries) {
    if (!entry.isDirectory)
      found.files.push_back({joinPath(relative, entry.name), joinPath(directory, entry.name)});
  }
  if (!recurse) return;
  const Listing all = listMatches(directory, "*");
  if (!takeListing(all, directory, true, found)) return;
  for (const ListedEntry& entry : all.entries) {
    found.stopped = found.stopped || found.entriesLeft == 0;
    if (found.stopped) return;
    --found.entriesLeft;
    if (!entry.isDirectory) continue;
    std::string path = joinPath(directory, entry.name);
    FileStatus info = inspectPath(path);
    bool cycle = false;
    for (const FileStatus& open : found.visiting)
      cycle = cycle || open.identity == info.identity;
    if (cycle) continue;
    found.directories.push_back(joinPath(relative, entry.name));
    found.visiting.push_back(info);
    gatherFiles(path, joinPath(relative, entry.name), pattern, recurse, found);
    found.visiting.pop_back();
  }
}

int finish(Console& console, int copied, int status) {
  console.line(std::to_string(copied) + texts::kXcopyFilesCopied);
  return status;
}

int failWithNoneCopied(Console& console, const std::string& text, int status) {
  console.error(text);
  return finish(console, 0, status);
}

/// Ends the command for a folder of the destination that could not be made or entered
/// (`failed`, below `destination`).
int failForFolder(Console& console, const std::string& destination, const std::string& failed,
                  int error, int copied) {
  console.error(
      texts::kUnableToCreateDirectoryPrefix +
      quillkit::shownName(failed.empty() ? destination : joinPath(destination, failed)) + "\n" +
      systemErrorText(error, ErrorSubject::Destination));
  return finish(console, copied, kWriteError);
}

bool isWithin(const std::string& inner, const std::string& outer) {
  if (outer == "/") return true;
  return inner == outer || inner.compare(0, outer.size() + 1, outer + "/") == 0;
}

/// Where the files come from: a folder's contents, or the files of a name or pattern in
/// a folder (and below it with /S).
struct Source {
  bool isDirectory = false;
  std::string folder;
  std::string pattern = "*";
  /// What the listed names are shown after.
  std::string shownPrefix;
  /// A name without wildcards: missing, it is an error of its own.
  bool literal = false;
};

Source locateSource(const std::string& typed) {
  Source source;
  source.isDirectory = inspectPath(typed).kind == FileKind::Directory;
  source.folder = typed;
  source.shownPrefix = joinPath(typed, "");
  if (!source.isDirectory) {
    const std::size_t start = nameStart(typed);
    source.folder = source.shownPrefix = typed.substr(0, start);
    source.pattern = typed.substr(start);
  }
  source.literal = !source.isDirectory && !hasWildcard(source.pattern);
  return source;
}

/// Where the files go: into a folder, worked down by descriptor, or into one file.
class Target {
 public:
  Target(const files::Context& context, const std::string& destination, bool toFile)
      : context_(context),
        destination_(destination),
        toFile_(toFile),
        folders_(context, nativePath(destination)) {}
  bool toFile() const { return toFile_; }
  const std::string& destination() const { return destination_; }
  /// The path of `relative`'s destination, as typed.
  std::string pathOf(const std::string& relative) const {
    return toFile_ ? destination_ : joinPath(destination_, relative);
  }
  /// The folder of `relative`'s destination, made where missing when `make`: 0 and in
  /// `folder`, with `name` its name there; else errno and in `failed` the folder that
  /// failed, below the destination.
  int reach(const std::string& relative, bool make, files::DestinationFolder*& folder,
            std::string& name, std::string& failed);
  /// Makes every folder of `relative` (for /E): 0, or errno and `failed`.
  int make(const std::string& relative, std::string& failed) {
    files::DestinationFolder* folder;
    return folders_.open(below(relative), true, folder, failed);
  }

 private:
  /// The native form of a folder below the destination; empty for the destination.
  static std::string below(const std::string& relative) {
    return relative.empty() ? relative : nativePath(relative);
  }

  const files::Context& context_;
  const std::string destination_;
  const bool toFile_;
  files::DestinationFolders folders_;
  /// The folder of the file destination, once it is made.
  std::unique_ptr<files::DestinationFolder> fileFolder_;
};

int Target::reach(const std::string& relative, bool make, files::DestinationFolder*& folder,
                  std::string& name, std::string& failed) {
  if (!toFile_) {
    const std::size_t nameAt = nameStart(relative);
    name = nativePath(relative.substr(nameAt));
    return folders_.open(below(relative.substr(0, nameAt)), make, folder, failed);
  }
  const std::string native = nativePath(destination_);
  name = files::nameOf(native);
  // A folder is made only when a file goes into it.
  const std::string above = destination_.substr(0, nameStart(destination_));
  if (make && !above.empty()) {
    if (int error = files::makeDirectories(nativePath(above))) return error;
  }
  if (!fileFolder_)
    fileFolder_.reset(new files::DestinationFolder(context_, files::folderOf(native)));
  folder = fileFolder_.get();
  return 0;
}

/// What XCOPY has done so far.
struct Progress {
  int copied = 0;
  int status = 0;
};

/// Copies one found file: false when the command ends here, with `progress.status`.
bool copyOne(const XcopyLine& line, const Source& source, const FoundFile& file, Target& target,
             OverwriteGuard& guard, Console& console, Progress& progress) {
  const std::string shown = target.pathOf(file.relative);
  files::DestinationFolder* folder = nullptr;
  std::string name, failed;
  // Where the file goes, once its folder exists: looked at there, by descriptor.
  int error = target.reach(file.relative, false, folder, name, failed);
  if (error != 0 && error != ENOENT) {
    progress.status =
        failForFolder(console, target.destination(), failed, error, progress.copied);
    return false;
  }
  const FileStatus there = error == 0 ? folder->status(name.c_str(), true) : FileStatus();
  if (there.exists() && inspectPath(file.path).identity == there.identity) {
    console.error(texts::kXcopyOntoItself);
    progress.status = finish(console, progress.copied, kInitializationError);
    return false;
  }
  if (there.kind == FileKind::File &&
      !guard.allows(
          console,
          texts::kOverwritePrefix + quillkit::shownName(shown) + texts::kXcopyOverwriteSuffix,
          true))
    return true;
  if (line.fullNames)
    console.line(quillkit::shownName(absolutePath(file.path) + texts::kFullNamesArrow +
                                     absolutePath(shown)));
  else if (!line.quiet)
    console.line(quillkit::shownName(source.shownPrefix + file.relative));
  if (int error = target.reach(file.relative, true, folder, name, failed)) {
    if (target.toFile()) console.error(systemErrorText(error, ErrorSubject::Destination));
    progress.status = target.toFile() ? finish(console, progress.copied, kWriteError)
                                      : failForFolder(console, target.destination(), failed,
                                                      error, progress.copied);
    return false;
  }
  files::CopyOptions options;
  options.replace = there.exists();
  options.makeWritable = true;
  const CopyResult result = files::copyFile(nativePath(file.path), *folder, name, options);
  if (!result.succeeded()) {
    console.error(result.sameFile ? texts::kXcopyOntoItself
                                  : systemErrorText(result, ErrorSubject::Destination));
    progress.status =
        finish(console, progress.copied, result.sameFile ? kInitializationError : kWriteError);
    return false;
  }
  ++progress.copied;
  return true;
}

/// Whether the destination is a file: as it is, by its trailing separator or /I, or as
/// the user answers. False in `answered` when no answer came.
bool destinationIsFile(const XcopyLine& line, const std::string& destination, bool literal,
                       Console& console, bool& answered) {
  answered = true;
  const FileStatus info = inspectPath(destination);
  if (info.kind != FileKind::Missing || hasTrailingSeparator(destination) ||
      (line.assumeDirectory && !literal))
    return info.kind == FileKind::File;
  const char answer = console.ask(
      texts::kFileOrDirectoryPrefix + destination + texts::kFileOrDirectorySuffix, "FD", true);
  answered = answer != 0;
  return answer == 'F';
}

/// Finds what the command copies, and names what it could not see: the status so far.
int gather(const XcopyLine& line, const Source& source, Collection& found, Console& console) {
  const std::size_t limit = found.entriesLeft;
  found.visiting.push_back(inspectPath(source.folder));  // a link back to the top is a cycle
  if (!source.pattern.empty())
    gatherFiles(source.folder, "", source.pattern, line.subdirectories, found);
  // Links between folders may make a walk without end: it stops, and says so.
  if (found.stopped)
    found.passedOver.push_back(texts::kEntryLimitPrefix + std::to_string(limit) +
                               texts::kEntryLimitSuffix);
  for (const std::string& text : found.passedOver) console.error(text);
  return found.passedOver.empty() ? 0 : kPassedOver;
}

}  // namespace

int runXcopy(const std::vector<Word>& words, Console& console, const files::Context& context,
             std::size_t entryLimit) {
  XcopyLine line;
  parseLine(words, line);
  if (!line.invalidSwitch.empty())
    return failWithNoneCopied(console, texts::kInvalidSwitchPrefix + line.invalidSwitch,
                              kInitializationError);
  if (line.paths.empty() || line.paths.size() > 2)
    return failWithNoneCopied(console, texts::kInvalidParameterCount, kInitializationError);
  const std::string& typedSource = line.paths[0];
  const std::string destination = line.paths.size() == 2 ? line.paths[1] : "";

  const Source source = locateSource(typedSource);
  Collection found(entryLimit);
  const int status = gather(line, source, found, console);
  // With /E a folder is copied even when it holds no file: its destination is made.
  const bool copiesFolders =
      line.emptyDirectories && (source.isDirectory || !found.directories.empty());
  if (found.files.empty() && !copiesFolders) {
    if (source.isDirectory) return finish(console, 0, status);
    return failWithNoneCopied(
        console,
        texts::kFileNotFoundPrefix + (source.pattern.empty() ? typedSource : source.pattern),
        source.literal ? kInitializationError : status);
  }

  bool answered;
  const bool toFile = destinationIsFile(line, destination, source.literal, console, answered);
  if (!answered) return finish(console, 0, kInitializationError);
  if (line.subdirectories && !toFile &&
      isWithin(resolvedPath(destination), resolvedPath(source.folder)))
    return failWithNoneCopied(console, texts::kCyclicCopy, kInitializationError);

  // The folders below the destination are made and entered by descriptor, never through
  // a link that another planted there.
  Target target(context, destination, toFile);
  std::string failed;
  if (line.emptyDirectories && !toFile) {
    if (int error = target.make("", failed))
      return failForFolder(console, destination, failed, error, 0);
    for (const std::string& directory : found.directories) {
      if (int error = target.make(directory, failed))
        return failForFolder(console, destination, failed, error, 0);
    }
  }
  OverwriteGuard guard(line.yes, line.noYes);
  Progress progress;
  for (const FoundFile& file : found.files)
    if (!copyOne(line, source, file, target, guard, console, progress)) return progress.status;
  return finish(console, progress.copied, status);
}

}  // namespace copy::cmd
