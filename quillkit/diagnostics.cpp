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

ReportOutlets& outlets() {
  static ReportOutlets system;
  ReportOutlets* const inUse = outletsInUse;
  return inUse != nullptr ? *inUse : system;
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
  outlets().sendToDebugger(text);
}

}  // namespace

ReportOutlets* outletsInUse = nullptr;

void ReportOutlets::sendToDebugger(const char* text) { os::sendToDebugger(text); }
void ReportOutlets::wait(unsigned milliseconds) { os::sleepFor(milliseconds); }
void ReportOutlets::openInShell(const char* fileName) { os::openInShell(fileName); }
void ReportOutlets::notice(const char* title, const char* text) { os::showNotice(title, text); }

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

  outlets().sendToDebugger(report);
  // The wait gives the file time to settle before the shell opens it; without a file
  // there is nothing to wait for.
  if (std::FILE* file = os::openReportFile(texts::kAssertReportFile)) {
    std::fputs(report, file);
    std::fclose(file);
    outlets().wait(800);
  }
  outlets().openInShell(texts::kAssertReportFile);
  outlets().notice(texts::kAssertNoticeTitle, consoleText(texts::kAssertNotice));
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
