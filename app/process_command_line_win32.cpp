#include <windows.h>

#include "app/process_command_line.h"

const char* processCommandLine() { return GetCommandLineA(); }
