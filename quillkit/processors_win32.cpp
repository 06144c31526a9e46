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

ThreadTimes threadTimes() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return {};
  auto seconds = [](const FILETIME& time) {  // in units of 100 ns
    return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           1e7;
  };
  ThreadTimes times;
  times.busySeconds = seconds(kernel) + seconds(user);
  return times;
}

}  // namespace quillkit
