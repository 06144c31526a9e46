#include <syslog.h>
#include <time.h>

#include <cerrno>
#include <cstring>

#include "quillkit/diagnostics.h"
#include "quillkit/diagnostics_platform.h"

namespace quillkit {
namespace os {

void sendToDebugger(const char* text) { syslog(LOG_DEBUG, "%s", text); }

std::FILE* openReportFile(const char* fileName) { return std::fopen(fileName, "a"); }

void sleepFor(unsigned milliseconds) {
  timespec rest = {static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

// A console on POSIX has no desktop shell to ask; the report stays in its file.
void openInShell(const char*) {}

// A console tool on POSIX has no one to wait for: the notice goes to standard error.
void showNotice(const char*, const char* text) {
  std::fputs(text, stderr);
  std::fputs("\n", stderr);
  std::fflush(stderr);
}

uint32_t lastErrorCode() { return static_cast<uint32_t>(errno); }

bool isShortOfResources(uint32_t code) {
  return code == ENOSPC || code == EDQUOT || code == EMFILE || code == ENFILE;
}

namespace {

// The C library's strerror_r comes in two forms: GNU's returns the text, POSIX's fills
// the buffer. Either way the text is the thread's own: copies are explained while others
// run.
[[maybe_unused]] const char* textOf(const char* text, const char*) { return text; }
[[maybe_unused]] const char* textOf(int failed, const char* buffer) {
  return failed == 0 ? buffer : "Unknown error";
}

}  // namespace

std::string errorText(uint32_t code) {
  char buffer[256] = {};
  return textOf(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
}

}  // namespace os
}  // namespace quillkit
