#ifndef QUILLKIT_PROCESSORS_H_
#define QUILLKIT_PROCESSORS_H_

// What the system tells of the processors that the program runs on, one implementation
// per platform (processors_posix.cpp, processors_win32.cpp): the copies and the walk's
// read-ahead size their threads by it.

#include <cstddef>

namespace quillkit {

/// How many processors this process may run on (a `taskset` or a container narrows
/// them); at least 1.
std::size_t processorsAvailable();

/// What the calling thread has done so far: the seconds it ran or waited for a processor
/// (where the system does not tell the wait, only those it ran), and how many times it
/// went to sleep of its own accord (waiting on a disk, a network or another thread; 0
/// where the system does not tell). The rest of its time it slept, or its machine's
/// processors were taken from the whole machine (a virtual machine's host's other work).
struct ThreadTimes {
  double busySeconds = 0;
  unsigned long sleeps = 0;
};
ThreadTimes threadTimes();

}  // namespace quillkit

#endif  // QUILLKIT_PROCESSORS_H_
