// Raw file access and buffered byte input.
//
// Paths are the program's own: bytes in the ANSI code page with `\` as the
// separator, at most 259 bytes. A longer path is refused (never truncated
// into another path). On Windows the calls go to the ANSI file API; on the
// host every `\` becomes `/` at the system call.
#pragma once

#include <cstddef>

enum { VOR_MAX_PATH = 260 };  // path buffers, NUL included

struct VorFile;     // an open file (FILE_*)
struct VorFileIn;   // a buffered byte reader (FileIn_*)

// Opens with a C mode: "rb", "wb", "ab". Returns nullptr on failure.
VorFile *FILE_Open(const char *path, const char *mode);
// Read or write size * count bytes; return the number of whole items done.
size_t FILE_Read(void *buffer, size_t size, size_t count, VorFile *file);
size_t FILE_Write(const void *buffer, size_t size, size_t count, VorFile *file);
// Closes; returns 0 when everything written reached the file, -1 otherwise.
int FILE_Close(VorFile *file);

// Whole file into a new heap block (free with free()); nullptr when it cannot
// be read or is larger than maxBytes.
unsigned char *FILE_ReadAll(const char *path, size_t maxBytes, size_t *outSize);

VorFileIn *FileIn_Open(const char *path);
// An in-memory source read the same way (the bytes are copied).
VorFileIn *FileIn_OpenMemory(const void *data, size_t size);
// The next byte 0..255, or -1 past the end.
int FileIn_GetChar(VorFileIn *in);
// Non-zero once the end has been reached (no byte is left to read).
int FileIn_IsEof(VorFileIn *in);
void FileIn_Close(VorFileIn *in);

// Path helpers of the platform layer.
int File_Exists(const char *path);   // 1 for an existing regular file
int File_Delete(const char *path);   // 1 on success
// Replaces `to` by `from` in one step where the system allows; 1 on success.
int File_Replace(const char *from, const char *to);
