#include "copy/cmd_posix/command_line.h"

namespace copy::cmd {

std::vector<Word> readWords(const std::string& line, bool plusSeparates) {
  std::vector<Word> words;
  Word current;
  bool started = false;
  bool inQuotes = false;
  auto finish = [&] {
    if (started) words.push_back(current);
    current = Word();
    started = false;
  };
  for (char c : line) {
    if (c == '"') {
      inQuotes = !inQuotes;
      current.quoted = true;
      started = true;
    } else if (!inQuotes && (c == ' ' || c == '\t')) {
      finish();
    } else if (!inQuotes && plusSeparates && c == '+') {
      finish();
      Word plus;
      plus.text = "+";
      plus.plus = true;
      words.push_back(plus);
    } else {
      current.text += c;
      started = true;
    }
  }
  finish();
  return words;
}

}  // namespace copy::cmd
