#include <share.h>
#include <windows.h>

#include "quillkit/diagnostics_platform.h"

namespace quillkit {
namespace os {

void sendToDebugger(const char* text) { OutputDebugStringA(text); }

std::FILE* openReportFile(const char* fileName) { return _fsopen(fileName, "at", _SH_DENYNO); }

void sleepFor(unsigned milliseconds) { Sleep(milliseconds); }

void openInShell(const char* fileName) {
  ShellExecuteA(nullptr, "open", fileName, nullptr, nullptr, SW_SHOWNORMAL);
}

void showNotice(const char* title, const char* text) {
  MessageBoxA(nullptr, text, title, MB_OK);
}

uint32_t lastErrorCode() { return GetLastError(); }

bool isShortOfResources(uint32_t code) {
  return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL ||
         code == ERROR_NOT_ENOUGH_QUOTA || code == ERROR_TOO_MANY_OPEN_FILES;
}

std::string errorText(uint32_t code) {
  char* buffer = nullptr;
  // 0x1300: the system allocates the buffer, ignores inserts, uses its own table.
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                    FORMAT_MESSAGE_FROM_SYSTEM,
                                nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length != 0 && buffer != nullptr ? std::string(buffer) : std::string();
  LocalFree(buffer);
  return text;
}

}  // namespace os
}  // namespace quillkit
