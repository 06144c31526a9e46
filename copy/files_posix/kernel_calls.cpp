#include "copy/files_posix/kernel_calls.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace files {
namespace {

std::atomic<int> flushFailure{0}, closeFailure{0};
std::atomic<bool> linksRefused{false};
std::atomic<bool> readsShortened{false};
std::atomic<DurableStepObserver> stepObserver{nullptr};

void tellStep(const char* step) {
  if (const DurableStepObserver observer = stepObserver) observer(step);
}

}  // namespace

// The calls that every kernel makes alike, and the switches with which the tests stand
// in for file systems that refuse them.

int flushFile(int fd) {
  tellStep("data");
  if (flushFailure != 0) return flushFailure;
  return flushData(fd) == 0 ? 0 : errno;
}

int flushFolder(const std::string& folder) {
  tellStep("folder");
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) {
    sync();  // waits on Linux
    return 0;
  }
  if (fd < 0) return errno;
  const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  close(fd);
  return error;
}

void observeDurableStepsForTesting(DurableStepObserver observer) { stepObserver = observer; }

int closeFile(int fd) {
  // Linux and the BSDs release the descriptor even when close fails (EINTR too): never
  // closed twice.
  if (close(fd) != 0) return errno;
  return closeFailure;
}

bool closeFailsForTesting() { return closeFailure != 0; }

void failFlushAndCloseForTesting(int flushError, int closeError) {
  flushFailure = flushError;
  closeFailure = closeError;
}

ssize_t readAt(int fd, char* buffer, std::size_t size, off_t offset) {
  if (readsShortened) {
    static thread_local bool interrupted = false;
    interrupted = !interrupted;
    if (interrupted) {
      errno = EINTR;
      return -1;
    }
    if (size > 1000) size = 1000;
  }
  return pread(fd, buffer, size, offset);
}

void shortenReadsForTesting(bool shorten) { readsShortened = shorten; }

int hardLink(const char* from, const char* to) {
  if (linksRefused) return EPERM;
  return link(from, to) == 0 ? 0 : errno;
}

void refuseHardLinksForTesting(bool refuse) { linksRefused = refuse; }

int randomBytes(unsigned char* bytes, std::size_t count) {
  for (std::size_t done = 0; done < count;) {  // at most 256 bytes a call
    const std::size_t size = count - done < 256 ? count - done : 256;
    if (getentropy(bytes + done, size) != 0) return errno;
    done += size;
  }
  return 0;
}

}  // namespace files
