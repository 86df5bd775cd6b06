// Host diagnostics: stderr, only when the VOR_DEBUG environment variable is set.
#include "core/debug_output.h"

#include <cstdio>
#include <cstdlib>

void Debug_PlatformOutput(const char *line)
{
    static const int enabled = getenv("VOR_DEBUG") != nullptr;
    if (enabled)
        fputs(line, stderr);
}
