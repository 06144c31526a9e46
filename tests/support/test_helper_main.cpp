// A small program that the tests start in a temporary folder to raise one assertion
// report, or to print the command line it was given: `test_helper <case> [real-notice]`. Every step of the report that would
// leave the process (debugger output, wait, shell request, notice) is written instead,
// in the order it happens, to "helper_events.log"; "real-notice" keeps the system's
// own notice. Exits 2 for an unknown case, and 0 when the case did not raise.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/application.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/scoped_ptr.h"
#include "quillkit/texts.h"

namespace {

const char kEventsFile[] = "helper_events.log";

void recordEvent(const std::string& event) {
  if (std::FILE* file = std::fopen(kEventsFile, "ab")) {
    std::fwrite(event.data(), 1, event.size(), file);
    std::fclose(file);
  }
}

void recordSteps(bool realNotice) {
  quillkit::setDebugSink(
      [](const std::string& text) { recordEvent("[debug]" + text + "[/debug]\n"); });
  quillkit::ReportSteps steps;
  steps.wait = [](unsigned milliseconds) {
    recordEvent("[wait " + std::to_string(milliseconds) + "]\n");
  };
  steps.openInShell = [](const char* fileName) {
    recordEvent(std::string("[shell ") + fileName + "]\n");
  };
  if (!realNotice)
    steps.notice = [](const char* title, const char* text) {
      recordEvent(std::string("[notice ") + title + "]\n" + text + "\n");
    };
  quillkit::setReportSteps(steps);
  std::atexit([] { recordEvent("[exit]\n"); });
}

int raiseCase(const std::string& which) {
  if (which == "scoped-ptr") {
    quillkit::ScopedPtr<int> nothing;
    return *nothing;
  }
  if (which == "append-drive") {
    std::string directory = "dir";
    quillkit::appendPath(directory, "C:\\x");
    std::printf("%s", directory.c_str());
    return 0;
  }
  if (which == "no-message") {
    quillkit::assertionFailed(quillkit::texts::kDriveNameExpression,
                              quillkit::texts::kDriveNameSource,
                              quillkit::texts::kDriveNameLine, nullptr);
  }
  if (which == "formatted")
    quillkit::assertionFailed("count > 0", "tools/counter", 42, "count %d of %s", -3, "items");
  if (which == "long-message") {
    const std::string longText(1500, 'm');
    quillkit::assertionFailed("x", "y", 1, "%s", longText.c_str());
  }
  if (which == "long-report") {
    const std::string expression(1100, 'e'), longText(1500, 'm');
    quillkit::assertionFailed(expression.c_str(), "src", 7, "%s", longText.c_str());
  }
  if (which == "command-line") {
    std::printf("%s", processCommandLine());
    return 0;
  }
  if (which == "macro") {
    int count = 0;
    QUILLKIT_ASSERT(count == 1);
    return 0;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  recordSteps(argc > 2 && std::strcmp(argv[2], "real-notice") == 0);
  return raiseCase(argv[1]);
}
