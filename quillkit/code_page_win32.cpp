#include "quillkit/code_page_win32.h"

#include <windows.h>

namespace quillkit {

std::wstring toWide(const char* text) {
  const int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return wide;
}

bool toCodePage(const wchar_t* text, std::string& bytes) {
  // Without best fit, and with '?' as the character for every one the page lacks: the
  // flag tells whether any was needed.
  const DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL lacking = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, "?", &lacking);
  if (size <= 0) {
    bytes.clear();
    return false;
  }
  bytes.assign(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, text, -1, &bytes[0], size, "?", &lacking);
  bytes.resize(static_cast<std::size_t>(size - 1));
  return lacking == FALSE;
}

}  // namespace quillkit
