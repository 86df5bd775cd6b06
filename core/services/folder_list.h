// Shared by the platform folder listings: matching, ordering and delivery of
// the entries of one folder in the form Folder_FindEx promises.
#pragma once

#include <string>
#include <vector>

#include "core/services/filesys.h"

struct FolderEntry {
    std::string name;
    bool isFolder;
};

// 1 when `name` matches `pattern` (`*` any run, `?` one byte; bytes compared
// case-insensitively in ASCII, as Windows does).
int FolderList_Match(const char *pattern, const char *name);

// Sorts the entries by name as unsigned bytes and calls the visitor with
// folder + name (mode 2: folders end with `\`, `.` and `..` with their dot).
// Entries whose path would not fit in VOR_MAX_PATH bytes are skipped.
int FolderList_Deliver(const std::string &folder, std::vector<FolderEntry> &entries, int mode,
                       FolderVisitor visit, void *user);

// Splits "folder\pattern" into the folder part (ending with `\` or empty) and
// the name pattern. Returns 0 for a missing or too long pattern.
int FolderList_SplitPattern(const char *pattern, std::string &folder, std::string &namePattern);
