// Windows diagnostics: the debugger output, always on.
#include "core/debug_output.h"

#include <windows.h>

void Debug_PlatformOutput(const char *line)
{
    OutputDebugStringA(line);
}
