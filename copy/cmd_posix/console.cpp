#include "copy/cmd_posix/console.h"

#include <cstdio>
#include <cstdlib>
#include <istream>
#include <ostream>

#include "copy/cmd_posix/command_line.h"

namespace copy::cmd {

void Console::line(const std::string& text) { out_ << text << '\n'; }

void Console::error(const std::string& text) {
  out_.flush();
  err_ << text << '\n';
  err_.flush();
}

void Console::flush() { out_.flush(); }

char Console::ask(const std::string& prompt, const std::string& choices, bool echo) {
  for (;;) {
    out_ << prompt;
    out_.flush();
    std::string answer;
    if (inputEnded_ || !std::getline(in_, answer)) {
      inputEnded_ = true;
      if (echo) out_ << '\n';
      return 0;
    }
    while (!answer.empty() &&
           (answer.back() == '\r' || answer.back() == ' ' || answer.back() == '\t'))
      answer.pop_back();
    std::string upper = upperAscii(answer);
    if (upper.size() == 1 && choices.find(upper[0]) != std::string::npos) {
      if (echo) out_ << answer << '\n';
      return upper[0];
    }
    if (echo) out_ << answer << '\n';
  }
}

OverwriteGuard::OverwriteGuard(bool yesSwitch, bool noSwitch) {
  if (noSwitch) {
    asking_ = true;
  } else if (yesSwitch) {
    asking_ = false;
  } else {
    const char* setting = std::getenv("COPYCMD");
    std::string upper = upperAscii(setting ? setting : "");
    asking_ = upper.find("/-Y") != std::string::npos || upper.find("/Y") == std::string::npos;
  }
}

bool OverwriteGuard::allows(Console& console, const std::string& prompt, bool echo) {
  if (!asking_) return true;
  char answer = console.ask(prompt, "YNA", echo);
  if (answer == 'A') asking_ = false;
  return answer == 'Y' || answer == 'A';
}

std::string paddedCount(int count) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%9d", count);
  return buffer;
}

}  // namespace copy::cmd
