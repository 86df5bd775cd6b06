// Paths, folder listing and folder creation.
//
// Paths are `\`-separated byte strings in buffers of VOR_MAX_PATH (260) bytes.
// Every operation that would produce a path of more than 259 bytes refuses
// (returns 0 and leaves the buffer as it was) instead of cutting it short.
#pragma once

#include "core/imaging/file.h"

// Replaces the part after the last `\` by `name` (a path ending in `\` gets
// the name appended; a path without `\` is replaced). `name` may itself hold
// `\`. Returns 1, or 0 when the result would not fit in VOR_MAX_PATH bytes.
int FilePath_SetName(char *path, const char *name);
// Pointer to the part after the last `\` inside the same text.
const char *FilePath_GetName(const char *path);
char *FilePath_GetName(char *path);
// 1 when the last name of `path` (after its last `\`, `/` or `:`) is one
// Windows keeps for a device: CON, PRN, AUX, NUL, COM0..COM9, LPT0..LPT9,
// CONIN$, CONOUT$, CLOCK$, in any case and with any extension or trailing
// spaces ("nul.png", "Com1 .txt"). Opening such a name anywhere opens the
// device, so no file or folder can have it; the rule is the same on every
// system because the files are meant for Windows.
int FilePath_IsDeviceName(const char *path);
// Writes the folder part of `path`, ending with `\`, into `buffer` (260 bytes);
// a path without `\` gives an empty folder. Returns 1, or 0 when too long.
int FilePath_CopyFolder(const char *path, char *buffer);

// Creates a folder and any missing parents. Returns 1 when it exists after.
int FileSys_MakeFolder(const char *folder);
// 1 when the folder exists.
int FileSys_FolderExists(const char *folder);

// 1 when `path` names a place below `folder` (ending with `\`; an empty
// folder is the current one): first by its text, `.` and `..` taken
// as they read, then with every link resolved where the path exists. 0 for a
// path that leaves the folder either way.
int FileSys_IsWithin(const char *folder, const char *path);
// The first half of it: by the text alone.
int FilePath_IsWithin(const char *folder, const char *path);

// Who a folder is, whatever its path: the device and file number of the
// system, so that a walk can tell a folder it has already seen (a link or a
// junction the listing could not tell from a folder). 0 when unknown.
struct FolderIdentity {
    unsigned long long volume, file;
};
int FileSys_FolderIdentity(const char *folder, FolderIdentity *out);

// Calls visit(user, path) for each entry matching `pattern` (a folder
// followed by `*`; only the `*` form is supported). In mode 2 folders are
// delivered ending with `\` and the `.` and `..` entries ending with a dot.
// A link to a folder (a symbolic link, a junction) is delivered as a file:
// a walk of the data tree never follows one, so it can neither loop nor
// leave the tree. An entry whose path would be 260 bytes or more is left out,
// unless FOLDER_FIND_LONG is added to the mode: then it is delivered as it
// is, longer than any path buffer, for the visitor to report.
// The visitor returns 1 to go on, 0 to stop. Entries come in name order
// (unsigned bytes) so that every platform lists the same way. Returns the
// number of entries delivered, or -1 when the folder cannot be read.
typedef int (*FolderVisitor)(void *user, const char *path);
enum { FOLDER_FIND_LONG = 4 };
int Folder_FindEx(const char *pattern, int mode, FolderVisitor visit, void *user);
