#ifndef PELQUIST_COPY_INTERRUPTION_CLEANUP_H_
#define PELQUIST_COPY_INTERRUPTION_CLEANUP_H_

#include <memory>

namespace copy {

/// While this lives, a signal that would end the process (SIGINT, SIGTERM, SIGHUP and
/// the like, not SIGKILL and not those of a fault in the program) first takes away every
/// temporary name that any copy has made or is making, then ends the process as the
/// signal ends it. A signal ignored when it is made stays ignored. Made by main before any
/// other thread starts, since the threads take their signal mask from it; its own thread
/// waits for the signals and is joined by the destructor. Where that thread cannot be
/// started the constructor throws std::system_error, and nothing may be copied. On Windows
/// the same for the console's events (Ctrl-C, Ctrl-Break, the console closed, logoff,
/// shutdown), through a console control handler.
class InterruptionCleanup {
 public:
  InterruptionCleanup();
  ~InterruptionCleanup();
  InterruptionCleanup(const InterruptionCleanup&) = delete;
  InterruptionCleanup& operator=(const InterruptionCleanup&) = delete;

 private:
  struct Waiter;
  std::unique_ptr<Waiter> waiter_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_INTERRUPTION_CLEANUP_H_
