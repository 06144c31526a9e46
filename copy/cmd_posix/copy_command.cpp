#include <cerrno>
#include <string>
#include <vector>

#include "copy/cmd_posix/commands.h"
#include "copy/cmd_posix/error_texts.h"
#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"
#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_ops.h"
#include "quillkit/shown_name.h"

namespace copy::cmd {

using files::CombinePart;
using files::EndMark;
namespace {

/// No /A or /B applies: binary for one file, ASCII when files are combined.
constexpr char kModeUnset = 0;

struct Operand {
  std::string path;
  char mode = kModeUnset;
};

struct CopyLine {
  std::vector<Operand> sources;
  bool hasDestination = false;
  Operand destination;
  bool plus = false;
  bool verify = false;
  bool yes = false;
  bool noYes = false;
  /// The last /A or /B on the line: it decides the destination's mode.
  char lastMode = kModeUnset;
};

/// One file to read: the path as typed plus the name found, and that name.
struct SourceFile {
  std::string path;
  std::string name;
  char mode = kModeUnset;
};

// source [+ source ...] [destination], with /A and /B applying from where they stand
// (and to the name right before them).
bool parseLine(const std::vector<Word>& words, CopyLine& line) {
  char mode = kModeUnset;
  bool afterPath = false;
  bool expectSource = true;
  for (const Word& word : words) {
    if (word.plus) {
      if (expectSource || line.hasDestination) return false;
      line.plus = true;
      expectSource = true;
      afterPath = false;
    } else if (word.isSwitch()) {
      std::string name = upperAscii(word.text);
      if (name == "/A" || name == "/B") {
        mode = line.lastMode = name[1];
        if (afterPath)
          (line.hasDestination ? line.destination : line.sources.back()).mode = mode;
      } else if (name == "/V") {
        line.verify = true;
      } else if (name == "/Y") {
        line.yes = true;
      } else if (name == "/-Y") {
        line.noYes = true;
      } else {
        return false;
      }
    } else {
      Operand operand{word.text, mode};
      if (expectSource) {
        line.sources.push_back(operand);
        expectSource = false;
      } else if (!line.hasDestination) {
        line.hasDestination = true;
        line.destination = operand;
      } else {
        return false;
      }
      afterPath = true;
    }
  }
  return !line.sources.empty() && !expectSource;
}

// The files of a listing; those that no path names go to `unnamable`, as found.
void takeFiles(const Listing& listing, const std::string& directory, char mode,
               std::vector<SourceFile>& files, std::vector<std::string>& unnamable) {
  for (const ListedEntry& entry : listing.entries) {
    if (!entry.isDirectory)
      files.push_back({joinPath(directory, entry.name), entry.name, mode});
  }
  for (const ListedEntry& entry : listing.unnamable) {
    if (!entry.isDirectory) unnamable.push_back(joinPath(directory, entry.name));
  }
}

// A wildcard or a directory stands for the files it holds; `several` is set then.
int expand(const Operand& operand, std::vector<SourceFile>& files, bool& several,
           std::vector<std::string>& unnamable) {
  size_t start = nameStart(operand.path);
  std::string name = operand.path.substr(start);
  if (hasWildcard(name)) {
    several = true;
    std::string directory = operand.path.substr(0, start);
    takeFiles(listMatches(directory, name), directory, operand.mode, files, unnamable);
    return 0;
  }
  FileStatus info = inspectPath(operand.path);
  if (info.kind == FileKind::Missing) return info.error != 0 ? info.error : ENOENT;
  if (info.kind == FileKind::File) {
    files.push_back({operand.path, name, operand.mode});
    return 0;
  }
  several = true;
  takeFiles(listMatches(operand.path, "*"), operand.path, operand.mode, files, unnamable);
  return 0;
}

int summary(Console& console, int copied, int status) {
  console.line(paddedCount(copied) + texts::kFilesCopied);
  return status;
}

int failWithNoneCopied(Console& console, const std::string& text) {
  console.error(text);
  return summary(console, 0, 1);
}

std::string overwritePrompt(const std::string& target) {
  return texts::kOverwritePrefix + quillkit::shownName(target) + texts::kOverwriteSuffix;
}

// Each source to its own destination file in `folder`, with the metadata of a file copy.
int copyEach(const CopyLine& line, const std::vector<SourceFile>& files, bool listNames,
             bool intoDirectory, files::DestinationFolder& folder, Console& console) {
  OverwriteGuard guard(line.yes, line.noYes);
  const std::string& destination = line.destination.path;
  int copied = 0;
  for (const SourceFile& file : files) {
    std::string target = intoDirectory ? joinPath(destination, file.name) : destination;
    if (listNames) console.line(quillkit::shownName(file.path));
    FileStatus targetInfo = inspectPath(target);
    if (inspectPath(file.path).identity == targetInfo.identity) {
      console.error(texts::kCopyOntoItself);
      return summary(console, copied, 1);
    }
    bool exists = targetInfo.kind != FileKind::Missing;
    if (targetInfo.kind == FileKind::File && !guard.allows(console, overwritePrompt(target)))
      continue;
    CopyResult result;
    const std::string name = files::nameOf(nativePath(target));
    if (file.mode == 'A' || line.lastMode == 'A') {
      result = files::combineFiles(
          {{nativePath(file.path), file.mode == 'A'}}, folder, name,
          line.lastMode == 'A' ? EndMark::AppendUnlessPresent : EndMark::None, exists,
          line.verify);
    } else {
      files::CopyOptions options;
      options.replace = exists;
      options.verify = line.verify;
      result = files::copyFile(nativePath(file.path), folder, name, options);
    }
    if (!result.succeeded()) {
      // A source that vanished since it was listed is "file not found", not "path".
      bool sourceGone = inspectPath(file.path).kind == FileKind::Missing;
      console.error(result.sameFile
                        ? texts::kCopyOntoItself
                        : systemErrorText(result, sourceGone ? ErrorSubject::Source
                                                             : ErrorSubject::Destination));
      return summary(console, copied, 1);
    }
    ++copied;
  }
  return summary(console, copied, 0);
}

// All sources into one new file; a source that is the destination itself is appended
// to when it comes first and lost when it comes later.
int combine(const CopyLine& line, const std::vector<SourceFile>& files,
            const std::string& target, files::DestinationFolder& folder, Console& console) {
  FileStatus targetInfo = inspectPath(target);
  if (targetInfo.kind == FileKind::Directory)
    return failWithNoneCopied(console, texts::kAccessDenied);
  // A link there is none of the sources, wherever it leads: it is replaced.
  const quillkit::FileIdentity entry =
      quillkit::posix::entryStatus(nativePath(target)).identity;
  bool appendsToFirst = inspectPath(files[0].path).identity == entry;
  OverwriteGuard guard(line.yes, line.noYes);
  if (targetInfo.kind == FileKind::File && !appendsToFirst &&
      !guard.allows(console, overwritePrompt(target)))
    return summary(console, 0, 0);
  std::vector<CombinePart> parts;
  for (size_t i = 0; i < files.size(); ++i) {
    console.line(quillkit::shownName(files[i].path));
    if (i > 0 && inspectPath(files[i].path).identity == entry) {
      console.line(texts::kTargetContentsLost);
      continue;
    }
    parts.push_back({nativePath(files[i].path), files[i].mode != 'B'});
  }
  CopyResult result =
      files::combineFiles(parts, folder, files::nameOf(nativePath(target)),
                          line.lastMode != 'B' ? EndMark::Append : EndMark::None,
                          targetInfo.kind != FileKind::Missing, line.verify);
  if (!result.succeeded())
    return failWithNoneCopied(console, systemErrorText(result, ErrorSubject::Destination));
  return summary(console, 1, 0);
}

}  // namespace

int runCopy(const std::vector<Word>& words, Console& console, const files::Context& context) {
  CopyLine line;
  if (!parseLine(words, line)) {
    console.error(texts::kSyntaxError);
    return 1;
  }
  std::vector<SourceFile> files;
  std::vector<std::string> unnamable;
  bool several = false;
  for (const Operand& operand : line.sources) {
    if (int error = expand(operand, files, several, unnamable))
      return failWithNoneCopied(console, missingSourceText(operand.path, error));
  }
  for (const std::string& path : unnamable) console.error(unnamableEntryText(path));
  // A file left out makes the command fail, after the others are copied.
  const int passedOver = unnamable.empty() ? 0 : 1;
  if (files.empty())
    return failWithNoneCopied(console, missingSourceText(line.sources[0].path, ENOENT));

  const std::string& destination = line.destination.path;
  FileStatus destinationInfo = inspectPath(destination);
  bool intoDirectory = !line.hasDestination || destinationInfo.kind == FileKind::Directory;
  if (!intoDirectory && hasTrailingSeparator(destination))
    return failWithNoneCopied(console, texts::kPathNotFound);
  // cmd.exe renames each file by a wildcard destination; this interpreter does not,
  // and a file literally named "*.bak" would be a trap for every later command.
  if (!intoDirectory && destination.find_first_of("*?") != std::string::npos)
    return failWithNoneCopied(console, texts::kInvalidName);
  // Every file goes into one folder, held for the command.
  const std::string native = nativePath(destination);
  files::DestinationFolder folder(context, intoDirectory ? native : files::folderOf(native));
  if (line.plus || (several && !intoDirectory)) {
    std::string target = intoDirectory ? joinPath(destination, files[0].name) : destination;
    return combine(line, files, target, folder, console) | passedOver;
  }
  return copyEach(line, files, several, intoDirectory, folder, console) | passedOver;
}

}  // namespace copy::cmd
