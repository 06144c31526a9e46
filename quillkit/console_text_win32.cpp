#include "quillkit/console_text.h"

namespace quillkit {

// The console shows the bytes of its code page (932 on the program's home system).
void useLocaleCharacterSet() {}

const char* consoleText(const char* shiftJis) { return shiftJis; }

bool consoleIsUtf8() { return false; }

}  // namespace quillkit
