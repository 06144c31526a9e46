#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "quillkit/processors.h"

namespace quillkit {

std::size_t processorsAvailable() {
#ifdef CPU_COUNT
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
#endif
  return std::max(1u, std::thread::hardware_concurrency());
}

ThreadTimes threadTimes() {
  ThreadTimes times;
#ifdef RUSAGE_THREAD
  struct rusage usage;
  if (getrusage(RUSAGE_THREAD, &usage) == 0)
    times.sleeps = static_cast<unsigned long>(usage.ru_nvcsw);
#endif
  // The time it ran, to the nanosecond; the kernel's own count in schedstat lags behind
  // for a running thread until the next tick.
  struct timespec ran;
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ran) != 0) return times;
  times.busySeconds = static_cast<double>(ran.tv_sec) + static_cast<double>(ran.tv_nsec) / 1e9;
  // Linux: the nanoseconds it waited to run are the second number of schedstat.
  const int fd = open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return times;
  char text[96];
  const ssize_t length = read(fd, text, sizeof text - 1);
  close(fd);
  if (length <= 0) return times;
  text[length] = '\0';
  char* end = nullptr;
  std::strtoull(text, &end, 10);
  if (end != text)
    times.busySeconds += static_cast<double>(std::strtoull(end, nullptr, 10)) / 1e9;
  return times;
}

}  // namespace quillkit
