// A small program that the tests start in a temporary folder to raise one assertion
// report, or to print the command line it was given: `test_helper <case> [real-notice]`. Every
// step of the report that would leave the process (debugger output, wait, shell request,
// notice) is written instead, in the order it happens, to "helper_events.log"; "real-notice"
// keeps the system's own notice. Exits 2 for an unknown case, and 0 when the case did not
// raise.

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

/// Records the debug log and each step of a report that reaches outside the process;
/// the notice is the system's own when `realNotice`.
class RecordedOutlets : public quillkit::ReportOutlets {
 public:
  explicit RecordedOutlets(bool realNotice) : realNotice_(realNotice) {}
  void sendToDebugger(const char* text) override {
    recordEvent(std::string("[debug]") + text + "[/debug]\n");
  }
  void wait(unsigned milliseconds) override {
    recordEvent("[wait " + std::to_string(milliseconds) + "]\n");
  }
  void openInShell(const char* fileName) override {
    recordEvent(std::string("[shell ") + fileName + "]\n");
  }
  void notice(const char* title, const char* text) override {
    if (realNotice_) return ReportOutlets::notice(title, text);
    recordEvent(std::string("[notice ") + title + "]\n" + text + "\n");
  }

 private:
  const bool realNotice_;
};

void recordSteps(bool realNotice) {
  static RecordedOutlets outlets(realNotice);
  quillkit::outletsInUse = &outlets;
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
    std::printf("%s", app::processCommandLine());
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
