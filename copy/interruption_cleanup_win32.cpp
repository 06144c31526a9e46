#include "copy/interruption_cleanup.h"

namespace copy {

// The Windows build copies with one call per file, at the file's turn: no name is ever
// temporary.
struct InterruptionCleanup::Waiter {};

InterruptionCleanup::InterruptionCleanup() = default;
InterruptionCleanup::~InterruptionCleanup() = default;

}  // namespace copy
