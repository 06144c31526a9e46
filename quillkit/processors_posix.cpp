#include <sched.h>
#include <time.h>

#include <algorithm>
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

double processorSecondsUsed() {
  struct timespec used;
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used) != 0) return 0;
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

}  // namespace quillkit
