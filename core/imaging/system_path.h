// The one place where a program path becomes a path of the operating system.
#pragma once

#include "core/imaging/file.h"

// Copies `path` into `out` (VOR_MAX_PATH bytes) as the system wants it: on
// Windows unchanged, on the host with every `\` turned into `/`. Returns 0,
// leaving `out` empty, for a missing path or one of 260 bytes or more.
int SystemPath_From(const char *path, char *out);
