#include <windows.h>

#include "app/application.h"

const char* processCommandLine() { return GetCommandLineA(); }
