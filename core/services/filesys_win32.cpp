// Windows folder operations: listing with FindFirstFileA, creation with
// CreateDirectoryA, one level at a time.
#include <windows.h>

#include <string>
#include <vector>

#include "core/imaging/system_path.h"
#include "core/services/folder_list.h"

int FileSys_FolderExists(const char *folder)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder, sys) || !sys[0])
        return 0;
    DWORD attr = GetFileAttributesA(sys);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

int FileSys_MakeFolder(const char *folder)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder, sys) || !sys[0])
        return 0;
    // Create every prefix that ends at a separator (skipping a drive's root
    // and the server part of a UNC path, which cannot be created), then the
    // whole path. CharNextA steps over CP949 characters as a whole.
    for (char *p = sys; *p; p = CharNextA(p)) {
        if (*p != '\\' || p == sys || p[-1] == ':' || p[-1] == '\\')
            continue;
        *p = 0;
        CreateDirectoryA(sys, nullptr);
        *p = '\\';
    }
    CreateDirectoryA(sys, nullptr);
    return FileSys_FolderExists(folder);
}

int Folder_FindEx(const char *pattern, int mode, FolderVisitor visit, void *user)
{
    std::string folder, namePattern;
    if (!visit || !FolderList_SplitPattern(pattern, folder, namePattern))
        return -1;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
    std::vector<FolderEntry> entries;
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return FolderList_Deliver(folder, entries, mode, visit, user);
}
