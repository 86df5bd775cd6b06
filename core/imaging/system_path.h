// The one place where a program path becomes a path of the operating system.
#pragma once

#include "core/imaging/file.h"

// Copies `path` into `out` (VOR_MAX_PATH bytes) as the system wants it: on
// Windows unchanged, on the host with every `\` turned into `/`. Returns 0,
// leaving `out` empty, for a missing path or one of 260 bytes or more.
int SystemPath_From(const char *path, char *out);

// System-level opening, one version per platform (file_ops_*.cpp).
#include <cstdio>
// Opens a regular file for reading, without blocking on a pipe or a device
// and without opening either; nullptr otherwise.
FILE *SystemFile_OpenRegular(const char *sys);
// Creates a file that did not exist, for writing in binary mode, without
// following a link standing at that name; nullptr otherwise.
FILE *SystemFile_CreateNew(const char *sys);
// 1 when anything stands at the name (a link is not followed).
int SystemFile_Exists(const char *sys);
