#include "copy/cmd_posix/interpreter.h"

#include <vector>

#include "copy/cmd_posix/command_line.h"
#include "copy/cmd_posix/commands.h"
#include "copy/cmd_posix/texts.h"

namespace copy::cmd {

Interpreter::Interpreter(std::istream& in, std::ostream& out, std::ostream& err,
                         const files::Context& context)
    : console_(in, out, err), context_(context) {}

int Interpreter::run(const std::string& commandLine) {
  std::vector<Word> words = readWords(commandLine, false);
  if (words.empty()) return 0;
  // A quoted name is looked for as a program, never taken for a built-in command.
  std::string name = words[0].quoted ? std::string() : upperAscii(words[0].text);
  int status;
  if (name == "COPY") {
    // Only COPY reads '+' between its sources.
    std::vector<Word> copyWords = readWords(commandLine, true);
    copyWords.erase(copyWords.begin());
    status = runCopy(copyWords, console_, context_);
  } else if (name == "MOVE") {
    words.erase(words.begin());
    status = runMove(words, console_, context_);
  } else if (name == "XCOPY") {
    words.erase(words.begin());
    status = runXcopy(words, console_, context_);
  } else {
    console_.error(texts::kNotRecognizedPrefix + words[0].text + texts::kNotRecognizedSuffix);
    status = 9009;
  }
  console_.flush();
  return status;
}

}  // namespace copy::cmd
