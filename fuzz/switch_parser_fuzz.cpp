// Properties of the command line as app::CopyApplication reads it, with a recording command
// runner and a file system in memory. The input is the arguments after argv[0],
// NUL-separated (an empty piece is an empty argument).

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/copy_application.h"
#include "copy/cmd_posix/command_line.h"
#include "fuzz/command_words.h"
#include "quillkit/diagnostics.h"
#include "tests/support/expected_texts.h"
#include "tests/support/fake_command_runner.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/fuzz_check.h"

namespace {

const char kProgram[] = "pelquist_copy";
const size_t kMaxArguments = 16;

/// What the command line asks for, read by the rules of the usage text: "-help"
/// anywhere wins; then, in order, the last mode switch counts, "-fw" and "-nosw" switch
/// on, an empty argument or another word beginning with '-' is an error, and the first
/// two other words are the source and the destination, a third one is an error.
struct Request {
  enum Outcome { kUsage, kEmptyArgument, kInvalidSwitch, kTooManyPaths, kExecute };
  Outcome outcome = kExecute;
  copy::CopyMode mode = copy::Copy;
  bool forceWrite = false;
  bool warning = true;
  std::string source;
  std::string destination;
  std::string invalidSwitch;
};

Request expectedRequest(const std::vector<std::string>& arguments) {
  Request request;
  for (const std::string& argument : arguments)
    if (argument == "-help") {
      request.outcome = Request::kUsage;
      return request;
    }
  for (const std::string& argument : arguments) {
    if (argument == "-copy") {
      request.mode = copy::Copy;
    } else if (argument == "-move") {
      request.mode = copy::Move;
    } else if (argument == "-xcopy") {
      request.mode = copy::XCopy;
    } else if (argument == "-collectcopy") {
      request.mode = copy::CollectCopy;
    } else if (argument == "-fw") {
      request.forceWrite = true;
    } else if (argument == "-nosw") {
      request.warning = false;
    } else if (argument.empty()) {
      request.outcome = Request::kEmptyArgument;
      return request;
    } else if (argument[0] == '-') {
      request.outcome = Request::kInvalidSwitch;
      request.invalidSwitch = argument;
      return request;
    } else if (request.source.empty()) {
      request.source = argument;
    } else if (request.destination.empty()) {
      request.destination = argument;
    } else {
      request.outcome = Request::kTooManyPaths;
      return request;
    }
  }
  return request;
}

/// A path that no quoting makes safe for the interpreter: a double quote, a '%' or a
/// control byte in it.
bool unsafe(const std::string& path) {
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '%') return true;
  return false;
}

/// A name as the program writes it: each control byte as '?'.
std::string asShown(std::string name) {
  for (char& byte : name) byte = (byte > 0 && byte < 0x20) || byte == 0x7F ? '?' : byte;
  return name;
}

/// Reads `line` back as the interpreter does: the typed paths come back exactly, never
/// as a switch or a '+'; the command and its switches come back unquoted.
template <typename Shown>
void checkCommandLine(const std::string& line, copy::CopyMode mode, const std::string& source,
                      const std::string& destination, const Shown& shown) {
  const std::vector<copy::cmd::Word> words = copy::cmd::readWords(line, mode == copy::Copy);
  const std::vector<fuzz::ExpectedWord> want = fuzz::expectedWords(mode, source, destination);
  auto details = [&] {
    std::string text = shown() + "\nline " + fuzz::escaped(line) + " words";
    for (const copy::cmd::Word& word : words) text += " " + fuzz::escaped(word.text);
    return text;
  };
  FUZZ_CHECK(words.size() == want.size(), details());
  for (size_t i = 0; i < words.size(); ++i) {
    FUZZ_CHECK(words[i].text == want[i].text && !words[i].plus, details());
    if (want[i].path)
      FUZZ_CHECK(!words[i].isSwitch(), details());
    else
      FUZZ_CHECK(!words[i].quoted && (i == 0 || words[i].isSwitch()), details());
  }
}

/// Nothing of a run goes to the process's own debug output.
class SilentOutlets : public quillkit::ReportOutlets {
 public:
  void sendToDebugger(const char*) override {}
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static SilentOutlets silent;
  quillkit::outletsInUse = &silent;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> arguments = fuzz::pieces(data, size, kMaxArguments);
  std::vector<std::string> argvText = {kProgram};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argvText) argv.push_back(&text[0]);

  std::ostringstream console;
  copy::FakeCommandRunner runner;
  runner.status = static_cast<int>(size % 3) - 1;  // -1, 0 or 1, as the input's size gives
  copy::FakeFileSystem fileSystem;
  fileSystem.current = "/work";
  fileSystem.directories = {"/work"};
  fileSystem.walkResult = {"/work/a.txt"};
  fileSystem.files["/work/a.txt"] = "a";
  app::CopyApplication application(console, runner, fileSystem);
  application.init(static_cast<int>(argv.size()), argv.data());
  const bool result = application.start();

  const std::string out = console.str();
  // What a failed check reports: the run's input and everything it produced.
  auto shown = [&] {
    std::string text = "arguments";
    for (const std::string& argument : arguments) text += " " + fuzz::escaped(argument);
    text += " status " + std::to_string(runner.status) + "\nconsole " + fuzz::escaped(out) +
            "\nresult " + (result ? "true" : "false");
    for (const std::string& line : runner.lines) text += "\nran " + fuzz::escaped(line);
    return text;
  };

  // Whatever the command line, at most one command runs.
  FUZZ_CHECK(runner.lines.size() <= 1, shown());
  FUZZ_CHECK(runner.lines.empty() || fileSystem.calls.empty(), shown());

  // Only argv[0] is the program's name: a later argument of the same text is a path
  // like any other, so the rules below hold for it too.
  const Request request = expectedRequest(arguments);
  static const std::string kWarning = expected::warningLines(), kUsage = expected::usageLines();
  const std::string warning = request.warning ? kWarning : std::string();
  switch (request.outcome) {
    case Request::kUsage:
      FUZZ_CHECK(result && out == kUsage, shown());
      break;
    case Request::kEmptyArgument:
      FUZZ_CHECK(!result && out == expected::kEmptyArgument + "\n", shown());
      break;
    case Request::kInvalidSwitch:
      FUZZ_CHECK(!result && out == expected::invalidSwitchLines(asShown(request.invalidSwitch)),
                 shown());
      break;
    case Request::kTooManyPaths:
      FUZZ_CHECK(!result && out == expected::kTooManyPaths + "\n", shown());
      break;
    case Request::kExecute:
      if (request.mode == copy::CollectCopy) {
        // Collect-copy does its own work through the file system, never the runner.
        FUZZ_CHECK(runner.lines.empty() && !fileSystem.calls.empty(), shown());
        FUZZ_CHECK(out.compare(0, warning.size(), warning) == 0, shown());
        FUZZ_CHECK(out.compare(warning.size(), 21, "collectcopy start...\n") == 0, shown());
        FUZZ_CHECK(
            out.find(std::string("force write : ") + (request.forceWrite ? "true" : "false") +
                     "\n") != std::string::npos,
            shown());
        break;
      }
      FUZZ_CHECK(fileSystem.calls.empty(), shown());
      if (unsafe(request.source) || unsafe(request.destination)) {
        // Refused: nothing runs, and the first unsafe path is named.
        const std::string refused =
            asShown(unsafe(request.source) ? request.source : request.destination);
        FUZZ_CHECK(!result && runner.lines.empty(), shown());
        FUZZ_CHECK(out == warning + expected::kUnsafePath + "\n" + refused + "\n", shown());
        break;
      }
      FUZZ_CHECK(runner.lines.size() == 1 && out == warning, shown());
      FUZZ_CHECK(result == (runner.status == 0), shown());
      checkCommandLine(runner.lines[0], request.mode, request.source, request.destination,
                       shown);
      break;
  }
  return 0;
}
