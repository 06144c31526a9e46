#ifndef PELQUIST_COPY_PROCESSORS_H_
#define PELQUIST_COPY_PROCESSORS_H_

// What the system tells of the processors that the copies run on, one implementation
// per platform (processors_posix.cpp, processors_win32.cpp).

#include <cstddef>

/// How many processors this process may run on (a `taskset` or a container narrows
/// them); at least 1.
std::size_t processorsAvailable();

/// The processor time the process has used so far, all its threads, in seconds.
double processorSecondsUsed();

#endif  // PELQUIST_COPY_PROCESSORS_H_
