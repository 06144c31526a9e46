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

/// The processor time the process has used so far, all its threads, in seconds.
double processorSecondsUsed();

}  // namespace quillkit

#endif  // QUILLKIT_PROCESSORS_H_
