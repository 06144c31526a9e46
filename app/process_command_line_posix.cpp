#include <cstdio>
#include <string>

#include "app/application.h"

namespace app {

// POSIX keeps no command-line string; rebuild one from /proc where the system has it.
const char* processCommandLine() {
  static std::string line;
  line.clear();
  FILE* file = std::fopen("/proc/self/cmdline", "rb");
  if (file == nullptr) return line.c_str();
  std::string argument;
  int c;
  while ((c = std::fgetc(file)) != EOF) {
    if (c != '\0') {
      argument += static_cast<char>(c);
      continue;
    }
    if (!line.empty()) line += ' ';
    bool blank = argument.empty() || argument.find_first_of(" \t\r\n") != std::string::npos;
    line += blank ? "\"" + argument + "\"" : argument;
    argument.clear();
  }
  std::fclose(file);
  return line.c_str();
}

// The bytes of argv are the names: nothing is converted.
std::vector<ProcessArgument> processArguments(int argc, char** argv) {
  std::vector<ProcessArgument> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back({argv[i], true});
  return arguments;
}

}  // namespace app
