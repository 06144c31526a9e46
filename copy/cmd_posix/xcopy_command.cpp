#include <cerrno>
#include <string>
#include <vector>

#include "copy/cmd_posix/commands.h"
#include "copy/cmd_posix/error_texts.h"
#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"
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
  std::vector<FoundFile> files;
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
  console.error(texts::kUnableToCreateDirectoryPrefix +
                quillkit::shownName(failed.empty() ? destination : joinPath(destination, failed)) +
                "\n" +
                systemErrorText(error, ErrorSubject::Destination));
  return finish(console, copied, kWriteError);
}

bool isWithin(const std::string& inner, const std::string& outer) {
  if (outer == "/") return true;
  return inner == outer || inner.compare(0, outer.size() + 1, outer + "/") == 0;
}

}  // namespace

int runXcopy(const std::vector<Word>& words, Console& console) {
  XcopyLine line;
  parseLine(words, line);
  if (!line.invalidSwitch.empty())
    return failWithNoneCopied(console, texts::kInvalidSwitchPrefix + line.invalidSwitch,
                              kInitializationError);
  if (line.paths.empty() || line.paths.size() > 2)
    return failWithNoneCopied(console, texts::kInvalidParameterCount, kInitializationError);
  const std::string& source = line.paths[0];
  std::string destination = line.paths.size() == 2 ? line.paths[1] : "";

  // A folder copies its contents; otherwise the last part is a name or a pattern
  // looked for in the source's folder (and below it with /S).
  bool sourceIsDirectory = inspectPath(source).kind == FileKind::Directory;
  std::string folder = source, pattern = "*", shownPrefix = joinPath(source, "");
  if (!sourceIsDirectory) {
    size_t start = nameStart(source);
    folder = shownPrefix = source.substr(0, start);
    pattern = source.substr(start);
  }
  bool literal = !sourceIsDirectory && !hasWildcard(pattern);
  Collection found;
  found.visiting.push_back(inspectPath(folder));  // a link back to the top is a cycle too
  if (!pattern.empty()) gatherFiles(folder, "", pattern, line.subdirectories, found);
  for (const std::string& text : found.passedOver) console.error(text);
  const int status = found.passedOver.empty() ? 0 : kPassedOver;
  // With /E a folder is copied even when it holds no file: its destination is made.
  bool copiesFolders =
      line.emptyDirectories && (sourceIsDirectory || !found.directories.empty());
  if (found.files.empty() && !copiesFolders) {
    if (sourceIsDirectory) return finish(console, 0, status);
    return failWithNoneCopied(console,
                              texts::kFileNotFoundPrefix + (pattern.empty() ? source : pattern),
                              literal ? kInitializationError : status);
  }

  FileStatus destinationInfo = inspectPath(destination);
  bool toFile = destinationInfo.kind == FileKind::File;
  if (destinationInfo.kind == FileKind::Missing && !hasTrailingSeparator(destination) &&
      !(line.assumeDirectory && !literal)) {
    char answer =
        console.ask(texts::kFileOrDirectoryPrefix + destination + texts::kFileOrDirectorySuffix,
                    "FD", true);
    if (answer == 0) return finish(console, 0, kInitializationError);
    toFile = answer == 'F';
  }
  if (line.subdirectories && !toFile &&
      isWithin(resolvedPath(destination), resolvedPath(folder)))
    return failWithNoneCopied(console, texts::kCyclicCopy, kInitializationError);

  // The folders below the destination are made and entered by descriptor, never through
  // a link that another planted there.
  files::DestinationFolders folders(nativePath(destination));
  std::string opened;
  if (line.emptyDirectories && !toFile) {
    if (int error = folders.open("", true, opened))
      return failForFolder(console, destination, opened, error, 0);
    for (const std::string& directory : found.directories) {
      if (int error = folders.open(nativePath(directory), true, opened))
        return failForFolder(console, destination, opened, error, 0);
    }
  }
  OverwriteGuard guard(line.yes, line.noYes);
  int copied = 0;
  for (const FoundFile& file : found.files) {
    std::string target = toFile ? destination : joinPath(destination, file.relative);
    // Where the file goes: its folder's own path, once that folder exists.
    const std::size_t nameAt = nameStart(file.relative);
    const std::string folder = file.relative.substr(0, nameAt);
    std::string reached = nativePath(target);
    if (!toFile) {
      const int error = folders.open(nativePath(folder), false, opened);
      if (error != 0 && error != ENOENT)
        return failForFolder(console, destination, opened, error, copied);
      if (error == 0) reached = opened + "/" + nativePath(file.relative.substr(nameAt));
    }
    FileStatus targetInfo = inspectPath(reached);
    if (inspectPath(file.path).identity == targetInfo.identity) {
      console.error(texts::kXcopyOntoItself);
      return finish(console, copied, kInitializationError);
    }
    if (targetInfo.kind == FileKind::File &&
        !guard.allows(console,
                      texts::kOverwritePrefix + quillkit::shownName(target) +
                          texts::kXcopyOverwriteSuffix,
                      true))
      continue;
    if (line.fullNames)
      console.line(
          quillkit::shownName(absolutePath(file.path) + texts::kFullNamesArrow + absolutePath(target)));
    else if (!line.quiet)
      console.line(quillkit::shownName(shownPrefix + file.relative));
    // A folder is made only when a file goes into it.
    CopyResult result;
    if (toFile) {
      std::string targetFolder = target.substr(0, nameStart(target));
      result.error = targetFolder.empty() ? 0 : files::makeDirectories(nativePath(targetFolder));
    } else if (int error = folders.open(nativePath(folder), true, opened)) {
      return failForFolder(console, destination, opened, error, copied);
    } else {
      reached = opened + "/" + nativePath(file.relative.substr(nameAt));
    }
    if (result.succeeded()) {
      files::CopyOptions options;
      options.replace = targetInfo.exists();
      options.makeWritable = true;
      result = files::copyFile(nativePath(file.path), reached, options);
    }
    if (!result.succeeded()) {
      console.error(systemErrorText(result, ErrorSubject::Destination));
      return finish(console, copied, kWriteError);
    }
    ++copied;
  }
  return finish(console, copied, status);
}

}  // namespace copy::cmd
