#include <windows.h>

#include "tests/support/child_process.h"

namespace {

// Quotes one argument the way the C runtime splits a command line back into argv.
std::string quoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
    return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      quoted.append(backslashes * 2 + 1, '\\');
    else
      quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

HANDLE scratchFile(const char* directory, char* name) {
  if (GetTempFileNameA(directory, "pqc", 0, name) == 0) return INVALID_HANDLE_VALUE;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

std::string slurp(HANDLE file) {
  std::string content;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    content.append(buffer, got);
  return content;
}

}  // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workDirectory, const std::string& input,
                     const std::string& argv0, const std::vector<std::string>&) {
  ChildResult result;
  char tempDirectory[MAX_PATH + 1];
  GetTempPathA(sizeof tempDirectory, tempDirectory);
  char inName[MAX_PATH], outName[MAX_PATH], errName[MAX_PATH];
  HANDLE in = scratchFile(tempDirectory, inName);
  HANDLE out = scratchFile(tempDirectory, outName);
  HANDLE err = scratchFile(tempDirectory, errName);
  if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
      err != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(in, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    SetFilePointer(in, 0, nullptr, FILE_BEGIN);

    std::string commandLine = quoteArgument(argv0.empty() ? program : argv0);
    for (const std::string& argument : arguments) commandLine += " " + quoteArgument(argument);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       workDirectory.c_str(), &startup, &process)) {
      WaitForSingleObject(process.hProcess, INFINITE);
      DWORD code = 0;
      GetExitCodeProcess(process.hProcess, &code);
      result.exitCode = static_cast<int>(code);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      result.output = slurp(out);
      result.errorOutput = slurp(err);
    }
  }
  for (HANDLE handle : {in, out, err})
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  DeleteFileA(inName);
  DeleteFileA(outName);
  DeleteFileA(errName);
  return result;
}
