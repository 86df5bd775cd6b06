// Small utilities shared by every module: string copies, the length-prefixed
// blocks of the project file, and diagnostic output.
#pragma once

#include <cstdint>

struct VorFile;

// Heap copy of a NUL-terminated text (length + 1 bytes); nullptr on failure.
char *Str_Dup(const char *text);
// The value of a hexadecimal digit (0-9, a-f, A-F), or -1 for any other byte.
int Hex_DigitValue(int c);

// Reads a 32-bit little-endian length n, then n bytes into a new heap block.
// A length that cannot be read counts as 0. Returns nullptr when the block
// cannot be allocated. `*outLength` (optional) receives n; `*outComplete`
// (optional) is 1 only when the length and all n bytes were read.
void *Stream_ReadBlock(VorFile *file, int32_t *outLength = nullptr, int *outComplete = nullptr);

// Writes strlen(text) + 1 as 32-bit little-endian, then the text with its NUL.
// Returns 1 when every byte was written.
int Stream_WriteString(const char *text, VorFile *file);

// printf-style diagnostics, at most 511 characters per call: the debugger
// output on Windows, stderr on the host when VOR_DEBUG is set.
void Debug_Print(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The sink behind Debug_Print; tests replace it to read the lines printed.
typedef void (*DebugSink)(const char *line);
DebugSink Debug_SetSink(DebugSink sink);
