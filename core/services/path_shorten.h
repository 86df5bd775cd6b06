// Shortening a file path for a label too narrow to show it whole: leading
// folders are replaced by "..", one at a time, until the text fits, so the
// end of the path (the file being written) always stays visible.
//
//   C:\out\Abc\default\sumashi.png  ->  C:\..\Abc\default\sumashi.png
//                                   ->  C:\..\default\sumashi.png  ...
//
// The width is measured through a callback, so the rule is the same for a
// device context and for the tests.
#pragma once

#include <cstddef>

// The width of `text` in the caller's units (pixels for a label).
typedef int (*PathMeasureFn)(void *context, const char *text);

// Writes into `out` (outSize bytes) the longest form of `path` that is at
// most `maxWidth` wide, dropping one leading folder per step after the
// drive ("C:\..\rest") or, for a path without a drive, after nothing
// ("..\rest"). When even the shortest form (only the file name left) is
// too wide, that form is written. `out` is always NUL-terminated.
void Path_ShortenToWidth(const char *path, int maxWidth, PathMeasureFn measure, void *context, char *out,
                         size_t outSize);
