#include <windows.h>

#include "app/application.h"

namespace app {

const char* processCommandLine() { return GetCommandLineA(); }

}  // namespace app
