// Properties of the interpreter's command reader and of the program's command-line
// builder, which must agree. The input's first byte picks COPY, MOVE or XCOPY; the rest
// is read as a command line, and its first two NUL-separated pieces are the paths.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "copy/cmd_posix/command_line.h"
#include "copy/shell_command.h"
#include "fuzz/command_words.h"
#include "tests/support/fuzz_check.h"

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string wordsShown(const std::vector<copy::cmd::Word>& words) {
  std::string text;
  for (const copy::cmd::Word& word : words)
    text += " " + fuzz::escaped(word.text) + (word.quoted ? "(quoted)" : "") +
            (word.plus ? "(plus)" : "");
  return text;
}

/// The line without its double quotes and without the blanks outside them: what the
/// words hold between them.
std::string wordBytes(const std::string& line) {
  std::string bytes;
  bool quoted = false;
  for (char c : line) {
    if (c == '"')
      quoted = !quoted;
    else if (quoted || !blank(c))
      bytes += c;
  }
  return bytes;
}

void checkReader(const std::string& line, bool plusSeparates) {
  const std::vector<copy::cmd::Word> words = copy::cmd::readWords(line, plusSeparates);
  auto shown = [&] {
    return "line " + fuzz::escaped(line) + (plusSeparates ? " with '+'" : "") + " words" +
           wordsShown(words);
  };
  std::string joined;
  size_t plusWords = 0;
  for (const copy::cmd::Word& word : words) {
    joined += word.text;
    FUZZ_CHECK(word.text.find('"') == std::string::npos, shown());
    if (word.plus) {
      ++plusWords;
      FUZZ_CHECK(plusSeparates && word.text == "+" && !word.quoted && !word.isSwitch(),
                 shown());
      continue;
    }
    // A word that is empty or holds a blank must have been quoted.
    if (!word.quoted) {
      FUZZ_CHECK(!word.text.empty(), shown());
      FUZZ_CHECK(word.text.find_first_of(" \t") == std::string::npos, shown());
      if (plusSeparates) FUZZ_CHECK(word.text.find('+') == std::string::npos, shown());
    }
    FUZZ_CHECK(word.isSwitch() == (!word.quoted && word.text[0] == '/'), shown());
  }
  // Nothing but quotes and separating blanks is lost.
  FUZZ_CHECK(joined == wordBytes(line), shown());
  if (plusSeparates) {
    size_t plusOutside = 0;
    bool quoted = false;
    for (char c : line) {
      if (c == '"') quoted = !quoted;
      if (c == '+' && !quoted) ++plusOutside;
    }
    FUZZ_CHECK(plusWords == plusOutside, shown());
  } else {
    FUZZ_CHECK(plusWords == 0, shown());
  }
  // A line of plain bytes is one word, or none.
  if (line.find_first_of(plusSeparates ? " \t\"+" : " \t\"") == std::string::npos) {
    FUZZ_CHECK(words.size() == (line.empty() ? 0u : 1u), shown());
    if (!line.empty()) FUZZ_CHECK(words[0].text == line && !words[0].quoted, shown());
  }
}

void checkUpper(const std::string& text) {
  const std::string upper = copy::cmd::upperAscii(text);
  auto shown = [&] { return "text " + fuzz::escaped(text) + " upper " + fuzz::escaped(upper); };
  FUZZ_CHECK(upper.size() == text.size(), shown());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    FUZZ_CHECK(upper[i] == (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c), shown());
  }
  FUZZ_CHECK(copy::cmd::upperAscii(upper) == upper, shown());
}

/// The path's form as the builder's contract states it: refused for a double quote, a
/// '%' or a control byte; quoted for a blank, an interpreter operator or '+', or a
/// leading '/'; otherwise plain.
copy::PathForm expectedForm(const std::string& path) {
  bool quote = !path.empty() && path[0] == '/';
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '%')
      return copy::PathForm::Refused;
    if (std::string(" &|<>^(),;=!+").find(c) != std::string::npos) quote = true;
  }
  return quote ? copy::PathForm::Quoted : copy::PathForm::Plain;
}

void checkBuilder(copy::CopyMode mode, const std::string& source,
                  const std::string& destination) {
  const copy::ShellCommand command = copy::buildShellCommand(mode, source, destination);
  std::vector<copy::cmd::Word> words;  // the line read back, once it is built
  auto shown = [&] {
    return "mode " + std::to_string(mode) + " source " + fuzz::escaped(source) +
           " destination " + fuzz::escaped(destination) + " line " +
           fuzz::escaped(command.line) + " words" + wordsShown(words);
  };
  for (const std::string* path : {&source, &destination})
    FUZZ_CHECK(copy::classifyPath(*path) == expectedForm(*path),
               shown() + " path " + fuzz::escaped(*path));

  const bool sourceRefused = expectedForm(source) == copy::PathForm::Refused;
  const bool destinationRefused = expectedForm(destination) == copy::PathForm::Refused;
  FUZZ_CHECK(command.refused == (sourceRefused || destinationRefused), shown());
  if (command.refused) {
    FUZZ_CHECK(command.line.empty(), shown());
    FUZZ_CHECK(command.refusedPath == (sourceRefused ? source : destination), shown());
    return;
  }

  // Read back: the command, its fixed switches, and the typed paths exactly (an empty
  // path is no word), quoted exactly when their form says so.
  words = copy::cmd::readWords(command.line, mode == copy::Copy);
  const std::vector<fuzz::ExpectedWord> expected =
      fuzz::expectedWords(mode, source, destination);
  FUZZ_CHECK(words.size() == expected.size(), shown());
  for (size_t i = 0; i < words.size(); ++i) {
    FUZZ_CHECK(words[i].text == expected[i].text && !words[i].plus, shown());
    if (expected[i].path) {
      FUZZ_CHECK(!words[i].isSwitch(), shown());
      FUZZ_CHECK(words[i].quoted == (expectedForm(words[i].text) == copy::PathForm::Quoted),
                 shown());
    } else {
      FUZZ_CHECK(!words[i].quoted, shown());
      FUZZ_CHECK(
          i == 0 ? copy::cmd::upperAscii(words[i].text) == words[i].text : words[i].isSwitch(),
          shown());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const copy::CopyMode modes[] = {copy::Copy, copy::Move, copy::XCopy};
  const copy::CopyMode mode = modes[data[0] % 3];
  const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
  checkReader(line, true);
  checkReader(line, false);
  checkUpper(line);

  const std::vector<std::string> paths = fuzz::pieces(data + 1, size - 1, 2);
  checkBuilder(mode, paths[0], paths.size() > 1 ? paths[1] : std::string());
  return 0;
}
