#ifndef PELQUIST_TESTS_SUPPORT_DEBUG_LOG_H_
#define PELQUIST_TESTS_SUPPORT_DEBUG_LOG_H_

#include <string>
#include <vector>

#include "quillkit/diagnostics.h"

/// Collects every text sent to the debug log while it lives.
class DebugLog {
 public:
  DebugLog() {
    quillkit::setDebugSink([this](const std::string& text) { lines.push_back(text); });
  }
  ~DebugLog() { quillkit::setDebugSink(nullptr); }
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;

  std::vector<std::string> lines;
};

#endif  // PELQUIST_TESTS_SUPPORT_DEBUG_LOG_H_
