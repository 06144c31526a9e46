#ifndef PELQUIST_TESTS_SUPPORT_DEBUG_LOG_H_
#define PELQUIST_TESTS_SUPPORT_DEBUG_LOG_H_

#include <string>
#include <vector>

#include "quillkit/diagnostics.h"

/// Collects every text sent to the debug log while it lives.
class DebugLog : public quillkit::ReportOutlets {
 public:
  DebugLog() { quillkit::outletsInUse = this; }
  ~DebugLog() override { quillkit::outletsInUse = nullptr; }
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;

  void sendToDebugger(const char* text) override { lines.push_back(text); }

  std::vector<std::string> lines;
};

#endif  // PELQUIST_TESTS_SUPPORT_DEBUG_LOG_H_
