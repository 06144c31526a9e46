#include "app/copy_application.h"

#include <iterator>
#include <string>

#include "app/texts.h"
#include "copy/collect_copy.h"
#include "copy/shell_command.h"
#include "quillkit/console_text.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/shown_name.h"

namespace app {

using quillkit::consoleText;

namespace {

/// The pattern whose expansion gives `path`: its folder, then "*." and its extension;
/// empty for a name without an extension.
std::string expandedPattern(const std::string& path) {
  const std::size_t name = quillkit::findLastSeparator(path.c_str()) + 1;
  const char* extension = quillkit::getExtension(path.c_str() + name);
  if (*extension == '\0') return std::string();
  return path.substr(0, name) + "*." + extension;
}

}  // namespace

CopyApplication::CopyApplication(std::ostream& console, copy::CommandRunner& runner,
                                 copy::FileSystem& fileSystem, std::ostream& errors,
                                 copy::CollectObserver& observer)
    : console_(console),
      runner_(runner),
      fileSystem_(fileSystem),
      errors_(errors),
      observer_(observer) {}

bool CopyApplication::usage() {
  for (const char* line : {app::texts::kUsage1, app::texts::kUsage2, app::texts::kUsage3,
                           app::texts::kUsage4, app::texts::kUsage5, app::texts::kUsage6,
                           app::texts::kUsage7, app::texts::kUsage8, app::texts::kUsage9, ""})
    console_ << line << std::endl;
  console_ << app::texts::kVersionLabel << PELQUIST_VERSION << std::endl;
  console_ << std::endl;
  console_ << app::texts::kWarningHeading << std::endl;
  showSecurityWarning();
  return true;
}

void CopyApplication::showSecurityWarning() {
  for (const char* line : {app::texts::kWarning1, app::texts::kWarning2, app::texts::kWarning3,
                           app::texts::kWarning4})
    console_ << consoleText(line) << std::endl;
}

bool CopyApplication::run() {
  copy::CopyMode mode = copy::Copy;
  bool forceWrite = false;
  bool showWarning = true;
  std::string source;
  std::string destination;

  // The first argument is the program's own name; a later one of the same text is a
  // path like any other.
  std::size_t position = 0;
  for (const std::string& argument : arguments) {
    if (position++ == 0) continue;
    if (misspelt.count(position - 1) != 0) {
      // Its '?' would be a wildcard or stand for another name: nothing is run.
      console_ << consoleText(app::texts::kArgumentOutsideCodePage) << std::endl;
      console_ << quillkit::shownName(argument) << std::endl;
      return false;
    }
    if (argument == "-copy") {
      mode = copy::Copy;
    } else if (argument == "-move") {
      mode = copy::Move;
    } else if (argument == "-xcopy") {
      mode = copy::XCopy;
    } else if (argument == "-collectcopy") {
      mode = copy::CollectCopy;
    } else if (argument == "-fw") {
      forceWrite = true;
    } else if (argument == "-nosw") {
      showWarning = false;
    } else if (argument.empty()) {
      console_ << consoleText(app::texts::kEmptyArgument) << std::endl;
      return false;
    } else if (argument[0] == '-') {
      console_ << consoleText(app::texts::kInvalidSwitch) << std::endl;
      console_ << quillkit::shownName(argument) << std::endl;
      console_ << consoleText(app::texts::kSeeUsageBelow) << std::endl;
      console_ << std::endl;
      usage();
      return false;
    } else if (source.empty()) {
      source = argument;
    } else if (destination.empty()) {
      destination = argument;
    } else {
      console_ << consoleText(app::texts::kTooManyPaths) << std::endl;
      hintAtExpandedPattern();
      return false;
    }
  }

  if (showWarning) showSecurityWarning();
  return execute(source, destination, mode, forceWrite);
}

void CopyApplication::hintAtExpandedPattern() {
  for (auto path = std::next(arguments.begin()); path != arguments.end(); ++path) {
    if (path->empty() || (*path)[0] == '-') continue;
    const std::string pattern = expandedPattern(*path);
    if (pattern.empty() || !fileSystem_.exists(*path) || fileSystem_.isDirectory(*path))
      continue;
    errors_ << app::texts::kQuotePatternHint << '"' << quillkit::shownName(pattern) << '"'
            << std::endl;
    return;
  }
}

bool CopyApplication::execute(quillkit::StringRef source, quillkit::StringRef destination,
                              copy::CopyMode mode, bool forceWrite) {
  switch (mode) {
    case copy::CollectCopy:
      return collectCopy(console_, fileSystem_, source.textToNul(), destination.textToNul(),
                         forceWrite, errors_, observer_);
    case copy::Copy:
    case copy::Move:
    case copy::XCopy:
      return runShellCommand(console_, runner_, mode, source.textToNul(),
                             destination.textToNul());
    default:
      console_ << consoleText(app::texts::kUnknownMode) << std::endl;
      usage();
      return false;
  }
}

}  // namespace app
