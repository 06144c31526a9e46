#include <windows.h>

#include <cstdint>

#include "quillkit/processors.h"

namespace quillkit {

std::size_t processorsAvailable() {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
  std::size_t count = 0;
  for (; process != 0; process &= process - 1) ++count;
  return count;
}

double processorSecondsUsed() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& time) {  // in units of 100 ns
    return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace quillkit
