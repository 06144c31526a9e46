#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/child_process.h"

namespace {

// Reads a whole file descriptor from its start.
std::string slurp(int fd) {
  std::string content;
  lseek(fd, 0, SEEK_SET);
  char buffer[65536];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) content.append(buffer, got);
  return content;
}

int scratchFile() {
  FILE* file = std::tmpfile();
  return file ? dup(fileno(file)) : -1;  // the FILE is left open until exit; fine in tests
}

}  // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workDirectory, const std::string& input,
                     const std::string& argv0, const std::vector<std::string>& environment) {
  ChildResult result;
  int in = scratchFile(), out = scratchFile(), err = scratchFile();
  if (in < 0 || out < 0 || err < 0) return result;
  if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size()))
    return result;
  lseek(in, 0, SEEK_SET);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(argv0.empty() ? program.c_str() : argv0.c_str()));
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(workDirectory.c_str()) != 0) _exit(127);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (pid > 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.output = slurp(out);
    result.errorOutput = slurp(err);
  }
  close(in);
  close(out);
  close(err);
  return result;
}
