#include <cerrno>
#include <string>
#include <vector>

#include "copy/cmd_posix/commands.h"
#include "copy/cmd_posix/file_ops.h"
#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"
#include "quillkit/shown_name.h"

namespace cmd {
namespace {

// One file to its target: a no-op onto exactly itself, a question before replacing a
// file (another name of the same file included). False after an error, which has been
// shown.
bool moveFile(const std::string& source, const std::string& target, OverwriteGuard& guard,
              Console& console, int& moved) {
  PathInfo targetInfo = inspectPath(target);
  if (isSameName(source, target)) {
    ++moved;
    return true;
  }
  if (targetInfo.kind == PathKind::Directory) {
    console.error(texts::kAccessDenied);
    return false;
  }
  bool replace = targetInfo.kind == PathKind::File;
  if (replace) {
    if (!guard.allows(console,
                      texts::kOverwritePrefix + quillkit::shownName(fullPath(target)) +
                          texts::kOverwriteSuffix))
      return true;
    // Like Windows, a read-only file is not replaced.
    if (targetInfo.readOnly) {
      console.error(texts::kAccessDenied);
      return false;
    }
  }
  CopyResult result = movePath(source, target, replace);
  if (!result.succeeded()) {
    console.error(systemErrorText(result, ErrorSubject::Destination));
    return false;
  }
  ++moved;
  return true;
}

// A directory is renamed, or moved into an existing directory; it never replaces
// anything, and it does not leave its file system.
int moveDirectory(const std::string& source, const std::string& target, Console& console) {
  PathInfo targetInfo = inspectPath(target);
  if (isSameEntry(inspectPath(source), targetInfo)) {
    console.error(texts::kFileInUse);
    return 1;
  }
  CopyResult result;
  if (targetInfo.kind != PathKind::Missing)
    result.error = EACCES;
  else
    result = movePath(source, target, false);
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
                OverwriteGuard& guard) {
  size_t start = nameStart(source);
  std::string directory = source.substr(0, start);
  std::vector<std::string> names;
  for (const ListedEntry& entry : listMatches(directory, source.substr(start))) {
    if (!entry.isDirectory) names.push_back(entry.name);
  }
  if (names.empty()) {
    console.error(missingSourceText(source, ENOENT));
    return 1;
  }
  bool intoDirectory = inspectPath(target).kind == PathKind::Directory;
  if (!intoDirectory && names.size() > 1) {
    console.error(texts::kMoveManyToOne);
    return 1;
  }
  int moved = 0;
  for (const std::string& name : names) {
    std::string path = directory + name;
    console.line(quillkit::shownName(fullPath(path)));
    if (!moveFile(path, intoDirectory ? joinPath(target, name) : target, guard, console, moved))
      return 1;
  }
  return movedSummary(console, moved);
}

}  // namespace

int runMove(const std::vector<Word>& words, Console& console) {
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
    return moveMatches(source, target, console, guard);

  PathInfo info = inspectPath(source);
  if (info.kind == PathKind::Missing) {
    console.error(missingSourceText(source, info.error));
    return 1;
  }
  std::string trimmed = source;
  while (trimmed.size() > 1 && endsWithSeparator(trimmed)) trimmed.pop_back();
  std::string name = trimmed.substr(nameStart(trimmed));
  if (inspectPath(target).kind == PathKind::Directory) target = joinPath(target, name);
  if (info.kind == PathKind::Directory) return moveDirectory(trimmed, target, console);
  int moved = 0;
  if (!moveFile(source, target, guard, console, moved)) return 1;
  return movedSummary(console, moved);
}

}  // namespace cmd
