#include <windows.h>

#include <string>

#include "copy/interruption_cleanup.h"
#include "copy/temporaries/temporary_names.h"

namespace copy {

namespace {

/// Every console event that ends the process (Ctrl-C, Ctrl-Break, the console closed, the
/// user logging off, the system shutting down) first takes away the copies' temporary
/// names, then lets the system's own handler end the process as the event ends it. The
/// system runs it on a thread of its own while the copy goes on; a copy under way stops
/// (or, where the system's copy cannot be stopped, ends) before its name is removed.
BOOL WINAPI removeTemporaryNames(DWORD) {
  removeTemporaryNamesForGood(
      [](const TemporaryName& listed) { DeleteFileA(listed.name().c_str()); });
  return FALSE;
}

}  // namespace

// Nothing to keep: the system keeps the handler.
struct InterruptionCleanup::Waiter {};

InterruptionCleanup::InterruptionCleanup() {
  SetConsoleCtrlHandler(removeTemporaryNames, TRUE);
}

InterruptionCleanup::~InterruptionCleanup() {
  SetConsoleCtrlHandler(removeTemporaryNames, FALSE);
}

}  // namespace copy
