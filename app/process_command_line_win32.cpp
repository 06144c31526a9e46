#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "app/application.h"
#include "quillkit/code_page_win32.h"

namespace app {

const char* processCommandLine() { return GetCommandLineA(); }

std::vector<ProcessArgument> processArguments(int argc, char** argv) {
  std::vector<ProcessArgument> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    // No wide command line to read: the runtime's own, taken as exact.
    for (int i = 0; i < argc; ++i) arguments.push_back({argv[i], true});
    return arguments;
  }
  for (int i = 0; i < count; ++i) {
    ProcessArgument argument;
    argument.exact = quillkit::toCodePage(wide[i], argument.text);
    arguments.push_back(std::move(argument));
  }
  LocalFree(wide);
  return arguments;
}

}  // namespace app
