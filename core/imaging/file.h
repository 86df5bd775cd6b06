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

// Opens with a C mode: "rb", "wb", "ab". Returns nullptr on failure; for
// reading, also for anything but a regular file (a folder, a device, a pipe).
VorFile *FILE_Open(const char *path, const char *mode);
// Read or write size * count bytes; return the number of whole items done.
size_t FILE_Read(void *buffer, size_t size, size_t count, VorFile *file);
size_t FILE_Write(const void *buffer, size_t size, size_t count, VorFile *file);
// Closes; returns 0 when everything written reached the file, -1 otherwise.
int FILE_Close(VorFile *file);

// Whole file into a new heap block (free with free()); nullptr when it cannot
// be read, is no regular file (a folder, a device, a pipe) or is larger than
// maxBytes.
unsigned char *FILE_ReadAll(const char *path, size_t maxBytes, size_t *outSize);

// Why FILE_ReadAll(path, maxBytes) would not read a file, asked after it
// failed (the reason is looked up again, so a message can name it).
enum FileReadProblem {
    FILEREAD_OK = 0,         // nothing stands in the way now
    FILEREAD_MISSING,        // no such file (or a folder on its way is missing)
    FILEREAD_DENIED,         // permission denied (or the file is locked)
    FILEREAD_FOLDER,         // a folder stands at the name
    FILEREAD_NOT_A_FILE,     // a device, pipe, socket or the like
    FILEREAD_TOO_LARGE,      // more than maxBytes
    FILEREAD_PATH_TOO_LONG,  // the path is over 259 bytes
    FILEREAD_OTHER,          // the system gave another reason
};
int File_ReadProblem(const char *path, size_t maxBytes);

// Creates a new file for writing in the folder of `finalPath`, under a name
// that did not exist and is no longer than the final one (so any path that
// fits fits its temporary too). The creation is exclusive: a file or a link
// already standing there is never opened or followed. `tempPath`
// (VOR_MAX_PATH bytes) receives the name. nullptr when none can be created.
VorFile *FILE_CreateBeside(const char *finalPath, char *tempPath);

// The outcome of a whole-file write, first failure wins.
enum FileWriteResult {
    FILEWRITE_OK = 0,
    FILEWRITE_PATH_TOO_LONG,   // the path cannot be formed or is over 259 bytes
    FILEWRITE_CANNOT_CREATE,   // no file can be created in that folder
    FILEWRITE_WRITE_FAILED,    // a write or the closing failed (a full disk)
    FILEWRITE_CANNOT_REPLACE,  // the finished file could not take the final name
    FILEWRITE_NO_DATA,         // there was nothing to write (out of memory)
    FILEWRITE_NOT_A_FILE,      // a device, pipe, socket, link or folder stands at the name
};
// Writes the file at `path` all or nothing: `produce` writes every byte into
// a temporary file beside it (returning 0 when it failed), which then takes
// the final name; on any failure it is removed and whatever stood at `path`
// is untouched.
int FILE_WriteAtomic(const char *path, int (*produce)(VorFile *file, void *context), void *context);

// Test hook: after `bytes` more bytes, every write fails as on a full disk
// (across all files and threads); a negative value turns the fault off.
void FILE_FailWritesAfter(long long bytes);

// A buffered reader over a regular file of at most `maxBytes`, read whole on
// opening; nullptr for a missing, larger or not regular file.
VorFileIn *FileIn_Open(const char *path, size_t maxBytes);
// Bytes of the source (its whole size).
size_t FileIn_Size(const VorFileIn *in);
// An in-memory source read the same way (the bytes are copied).
VorFileIn *FileIn_OpenMemory(const void *data, size_t size);
// The next byte 0..255, or -1 past the end.
int FileIn_GetChar(VorFileIn *in);
// Non-zero once the end has been reached (no byte is left to read).
int FileIn_IsEof(VorFileIn *in);
void FileIn_Close(VorFileIn *in);

// Path helpers of the platform layer.
int File_Exists(const char *path);   // 1 for an existing regular file
// 1 when something other than a regular file stands at `path` (a device or a
// device name, a pipe, a socket, a link, a folder); 0 for a regular file or
// nothing. A link is looked at, never followed.
int File_IsOtherThanFile(const char *path);
int File_Delete(const char *path);   // 1 on success
// Replaces `to` by `from` in one step where the system allows; 1 on success.
int File_Replace(const char *from, const char *to);
