#include "quillkit/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "quillkit/console_text.h"
#include "quillkit/diagnostics_platform.h"
#include "quillkit/texts.h"

namespace quillkit {

namespace {

// Process-wide, but only tests ever change them, before any thread of theirs starts.
DebugSink& debugSink() {
  static DebugSink sink;
  return sink;
}

ReportSteps& reportSteps() {
  static ReportSteps steps;
  return steps;
}

void sendToDebugger(const char* text) {
  if (debugSink())
    debugSink()(text);
  else
    os::sendToDebugger(text);
}

// Makes `text` end in a line feed without growing past `maxLength` characters: a text
// that is already full gives up its last character for it.
void endWithLineFeed(char* text, std::size_t maxLength) {
  std::size_t length = std::strlen(text);
  if (length > 0 && text[length - 1] == '\n') return;
  if (length == maxLength) {
    text[length - 1] = '\n';
  } else {
    text[length] = '\n';
    text[length + 1] = '\0';
  }
}

// The output stage shared by debugOutput and debugPrintf.
void emitDebugText(char (&text)[2048]) {
  endWithLineFeed(text, sizeof text - 1);
  sendToDebugger(text);
}

void waitAfterReport(unsigned milliseconds) {
  if (reportSteps().wait)
    reportSteps().wait(milliseconds);
  else
    os::sleepFor(milliseconds);
}

void openReportInShell(const char* fileName) {
  if (reportSteps().openInShell)
    reportSteps().openInShell(fileName);
  else
    os::openInShell(fileName);
}

void showNotice(const char* title, const char* text) {
  if (reportSteps().notice)
    reportSteps().notice(title, text);
  else
    os::showNotice(title, text);
}

}  // namespace

void setDebugSink(DebugSink sink) { debugSink() = std::move(sink); }

void setReportSteps(ReportSteps steps) { reportSteps() = std::move(steps); }

void assertionFailed(const char* expression, const char* source, int line,
                     const char* messageFormat, ...) {
  char message[1024] = {};
  if (messageFormat == nullptr) {
    std::snprintf(message, sizeof message, "%s", texts::kAssertNoMessage);
  } else {
    va_list arguments;
    va_start(arguments, messageFormat);
    std::vsnprintf(message, sizeof message, messageFormat, arguments);
    va_end(arguments);
  }
  char report[2048] = {};
  std::snprintf(report, sizeof report, texts::kAssertReportFormat, expression, source, line,
                message);

  sendToDebugger(report);
  // The wait gives the file time to settle before the shell opens it; without a file
  // there is nothing to wait for.
  if (std::FILE* file = os::openReportFile(texts::kAssertReportFile)) {
    std::fputs(report, file);
    std::fclose(file);
    waitAfterReport(800);
  }
  openReportInShell(texts::kAssertReportFile);
  showNotice(texts::kAssertNoticeTitle, consoleText(texts::kAssertNotice));
  std::exit(-1);
}

bool debugPrintf(const char* format, ...) {
  char text[2048] = {};
  va_list arguments;
  va_start(arguments, format);
  // A log line keeps to 1022 characters (in a buffer of 1024) whatever the output
  // stage would allow.
  std::vsnprintf(text, 1023, format, arguments);
  va_end(arguments);
  endWithLineFeed(text, 1022);
  emitDebugText(text);
  return true;
}

bool debugOutput(const char* format, ...) {
  char text[2048] = {};
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  emitDebugText(text);
  return true;
}

void ErrorMessage::load(uint32_t code, bool useGivenCode) {
  text_.clear();
  uint32_t used = useGivenCode ? code : os::lastErrorCode();
  text_ = texts::kErrorMessagePrefix;
  text_ += os::errorText(used);
}

bool lastErrorIsShortOfResources() { return errorIsShortOfResources(os::lastErrorCode()); }

bool errorIsShortOfResources(uint32_t code) { return os::isShortOfResources(code); }

std::string getLastErrorMessage() {
  ErrorMessage message;
  message.load(0, false);
  return std::string(message.text().c_str());
}

}  // namespace quillkit
