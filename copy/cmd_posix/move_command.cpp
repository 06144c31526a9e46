#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "copy/cmd_posix/commands.h"
#include "copy/cmd_posix/error_texts.h"
#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"
#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_ops.h"
#include "quillkit/filesystem/file_status_posix.h"
#include "quillkit/shown_name.h"

namespace copy::cmd {
namespace {

// One file to its target in `folder`: a no-op onto exactly itself, a question before
// replacing a file (another name of the same file included). False after an error, which
// has been shown.
bool moveFile(const std::string& source, const std::string& target,
              files::DestinationFolder& folder, OverwriteGuard& guard, Console& console,
              int& moved) {
  FileStatus targetInfo = inspectPath(target);
  if (isSameName(source, target)) {
    ++moved;
    return true;
  }
  if (targetInfo.kind == FileKind::Directory) {
    console.error(texts::kAccessDenied);
    return false;
  }
  bool replace = targetInfo.kind == FileKind::File;
  if (replace) {
    if (!guard.allows(console, texts::kOverwritePrefix +
                                   quillkit::shownName(absolutePath(target)) +
                                   texts::kOverwriteSuffix))
      return true;
    // Like Windows, a read-only file is not replaced.
    if (targetInfo.readOnly) {
      console.error(texts::kAccessDenied);
      return false;
    }
  }
  CopyResult result =
      files::movePath(nativePath(source), folder, files::nameOf(nativePath(target)), replace);
  if (!result.succeeded()) {
    console.error(result.sameFile ? texts::kCopyOntoItself
                                  : systemErrorText(result, ErrorSubject::Destination));
    return false;
  }
  ++moved;
  return true;
}

/// The folder that `target` (as typed) names an entry of, held for the command.
std::unique_ptr<files::DestinationFolder> folderOf(const std::string& target,
                                                   const files::Context& context) {
  return std::unique_ptr<files::DestinationFolder>(
      new files::DestinationFolder(context, files::folderOf(nativePath(target))));
}

// A directory is renamed, or moved into an existing directory; it never replaces
// anything, and it does not leave its file system.
int moveDirectory(const std::string& source, const std::string& target, Console& console,
                  const files::Context& context) {
  FileStatus targetInfo = inspectPath(target);
  if (inspectPath(source).identity == targetInfo.identity) {
    console.error(texts::kFileInUse);
    return 1;
  }
  CopyResult result;
  if (targetInfo.kind != FileKind::Missing)
    result.error = EACCES;
  else
    result = files::movePath(nativePath(source), *folderOf(target, context),
                             files::nameOf(nativePath(target)), false);
  if (result.error == EINVAL) {
    console.error(texts::kFileInUse);  // into itself
    return 1;
  }
  if (!result.succeeded()) {
    console.error(systemErrorText(result, ErrorSubject::Destination));
    return 1;
  }
  console.line(paddedCount(1) + texts::kDirsMoved);
  return 0;
}

int movedSummary(Console& console, int moved) {
  console.line(paddedCount(moved) + texts::kFilesMoved);
  return 0;
}

int moveMatches(const std::string& source, const std::string& target, Console& console,
                OverwriteGuard& guard, const files::Context& context) {
  size_t start = nameStart(source);
  std::string directory = source.substr(0, start);
  std::vector<std::string> names;
  const Listing listing = listMatches(directory, source.substr(start));
  for (const ListedEntry& entry : listing.entries) {
    if (!entry.isDirectory) names.push_back(entry.name);
  }
  // A file that no path names is left in place, and the command fails.
  bool passedOver = false;
  for (const ListedEntry& entry : listing.unnamable) {
    if (entry.isDirectory) continue;
    console.error(unnamableEntryText(directory + entry.name));
    passedOver = true;
  }
  if (names.empty()) {
    console.error(missingSourceText(source, ENOENT));
    return 1;
  }
  bool intoDirectory = inspectPath(target).kind == FileKind::Directory;
  if (!intoDirectory && names.size() > 1) {
    console.error(texts::kMoveManyToOne);
    return 1;
  }
  int moved = 0;
  const std::unique_ptr<files::DestinationFolder> folder =
      intoDirectory ? std::unique_ptr<files::DestinationFolder>(
                          new files::DestinationFolder(context, nativePath(target)))
                    : folderOf(target, context);
  for (const std::string& name : names) {
    std::string path = directory + name;
    console.line(quillkit::shownName(absolutePath(path)));
    if (!moveFile(path, intoDirectory ? joinPath(target, name) : target, *folder, guard,
                  console, moved))
      return 1;
  }
  return movedSummary(console, moved) | (passedOver ? 1 : 0);
}

}  // namespace

int runMove(const std::vector<Word>& words, Console& console, const files::Context& context) {
  bool yes = false, noYes = false;
  std::vector<std::string> paths;
  for (const Word& word : words) {
    std::string name = upperAscii(word.text);
    if (!word.isSwitch()) {
      paths.push_back(word.text);
    } else if (name == "/Y") {
      yes = true;
    } else if (name == "/-Y") {
      noYes = true;
    } else {
      paths.clear();
      break;
    }
  }
  if (paths.empty() || paths.size() > 2) {
    console.error(texts::kSyntaxError);
    return 1;
  }
  const std::string& source = paths[0];
  std::string target = paths.size() == 2 ? paths[1] : "";
  OverwriteGuard guard(yes, noYes);
  if (hasWildcard(source.substr(nameStart(source))))
    return moveMatches(source, target, console, guard, context);

  FileStatus info = inspectPath(source);
  // A symbolic link moves as a link, whether it leads anywhere or not.
  if (info.kind == FileKind::Missing && quillkit::posix::entryStatus(nativePath(source)).isLink)
    info.kind = FileKind::File;
  if (info.kind == FileKind::Missing) {
    console.error(missingSourceText(source, info.error));
    return 1;
  }
  std::string trimmed = source;
  while (trimmed.size() > 1 && hasTrailingSeparator(trimmed)) trimmed.pop_back();
  std::string name = trimmed.substr(nameStart(trimmed));
  if (inspectPath(target).kind == FileKind::Directory) target = joinPath(target, name);
  if (info.kind == FileKind::Directory) return moveDirectory(trimmed, target, console, context);
  int moved = 0;
  if (!moveFile(source, target, *folderOf(target, context), guard, console, moved)) return 1;
  return movedSummary(console, moved);
}

}  // namespace copy::cmd
