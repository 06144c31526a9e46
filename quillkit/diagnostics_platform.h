#ifndef QUILLKIT_DIAGNOSTICS_PLATFORM_H_
#define QUILLKIT_DIAGNOSTICS_PLATFORM_H_

// The system services behind the diagnostics, one implementation per platform
// (diagnostics_win32.cpp, diagnostics_posix.cpp). Only diagnostics.cpp calls them.

#include <cstdint>
#include <cstdio>
#include <string>

namespace quillkit {
namespace os {

/// Sends one text to the debugger's output channel (the system log on POSIX).
void sendToDebugger(const char* text);
/// Opens the report file for appending in text mode, shared for reading and writing;
/// null when it cannot be opened.
std::FILE* openReportFile(const char* fileName);
/// Blocks the calling thread.
void sleepFor(unsigned milliseconds);
/// Asks the shell to show the file with its associated program; the result is ignored.
void openInShell(const char* fileName);
/// Shows the notice of an assertion report and returns when the user has seen it.
void showNotice(const char* title, const char* text);
/// The calling thread's last system error code.
uint32_t lastErrorCode();
/// True for the codes of a full disk, an exhausted quota and too many open files.
bool isShortOfResources(uint32_t code);
/// The system's own text for an error code, with its own line end; empty when the
/// system has none.
std::string errorText(uint32_t code);

}  // namespace os
}  // namespace quillkit

#endif  // QUILLKIT_DIAGNOSTICS_PLATFORM_H_
