#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "copy/files_posix/kernel_calls.h"
#include "copy/interruption_cleanup.h"
#include "copy/temporaries/temporary_names.h"
#include "copy/texts.h"
#include "quillkit/write_all_posix.h"

namespace copy {

namespace {

/// The signals that end the process by default and come from outside the program's own
/// steps. SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP and SIGSYS are left alone:
/// they tell of a fault in the program itself, after which no code should run on memory
/// that may be broken, and a core dump should show the process as the fault left it.
/// SIGPIPE and SIGXFSZ come to the thread whose write caused them: blocked there, that
/// write fails instead (EPIPE, EFBIG), and the copy fails and leaves nothing.
const int kEndingSignals[] = {
    SIGHUP,  SIGINT,    SIGQUIT, SIGPIPE, SIGALRM, SIGTERM,
    SIGUSR1, SIGUSR2,   SIGXCPU, SIGXFSZ, SIGPROF, SIGVTALRM,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef __linux__
    SIGPWR,  SIGSTKFLT,
#endif
};

bool isAtDefault(int signalNumber) {
  struct sigaction current;
  return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

/// Closes the file `fd` of a copy in flight for good: its number is given /dev/null, so
/// that no file opened later takes it, while the thread that wrote the copy may still
/// write there.
void closeForGood(int fd) {
  static const int empty = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (empty < 0 || dup2(empty, fd) < 0) close(fd);
}

/// Removes a temporary name, and names on standard error one that must stay.
void removeForGood(const TemporaryName& listed) {
  const int error = files::removeName(listed.folder(), listed.name().c_str());
  if (error == 0 || error == ENOENT) return;
  const std::string line = texts::kCannotRemove + listed.shown() + texts::kCannotRemoveReason +
                           std::strerror(error) + "\n";
  quillkit::posix::writeAll(STDERR_FILENO, line.data(), line.size());
}

}  // namespace

struct InterruptionCleanup::Waiter {
  sigset_t signals;
  std::atomic<bool> finished{false};
  std::thread thread;

  void wait() {
    for (;;) {
      int signalNumber = 0;
      if (sigwait(&signals, &signalNumber) != 0) continue;
      if (finished) return;  // the destructor's wake-up, or too late to matter
      removeTemporaryNamesForGood(removeForGood, closeForGood);
      // End as the signal would have ended the process: blocked everywhere else, it
      // comes to this thread.
      signal(signalNumber, SIG_DFL);
      sigset_t only;
      sigemptyset(&only);
      sigaddset(&only, signalNumber);
      pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
      raise(signalNumber);
    }
  }
};

InterruptionCleanup::InterruptionCleanup() : waiter_(new Waiter) {
  sigemptyset(&waiter_->signals);
  bool any = false;
  for (int signalNumber : kEndingSignals) {
    if (!isAtDefault(signalNumber)) continue;  // ignored, or someone else's
    sigaddset(&waiter_->signals, signalNumber);
    any = true;
  }
#ifdef SIGRTMIN
  // The real-time signals end the process too unless handled.
  for (int signalNumber = SIGRTMIN; signalNumber <= SIGRTMAX; ++signalNumber) {
    if (!isAtDefault(signalNumber)) continue;
    sigaddset(&waiter_->signals, signalNumber);
    any = true;
  }
#endif
  if (!any) return;
  // Blocked before the thread starts: every thread made later inherits the mask, so the
  // signals come to the waiting thread alone.
  pthread_sigmask(SIG_BLOCK, &waiter_->signals, nullptr);
  try {
    waiter_->thread = std::thread([this] { waiter_->wait(); });
  } catch (...) {
    // Without the thread a signal would find its copies' names: nothing is copied.
    pthread_sigmask(SIG_UNBLOCK, &waiter_->signals, nullptr);
    throw;
  }
}

InterruptionCleanup::~InterruptionCleanup() {
  if (!waiter_->thread.joinable()) return;
  waiter_->finished = true;
  // Any signal of the set wakes the thread; it sees that the work is over.
  for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
    if (sigismember(&waiter_->signals, signalNumber) != 1) continue;
    pthread_kill(waiter_->thread.native_handle(), signalNumber);
    break;
  }
  waiter_->thread.join();
}

}  // namespace copy
