// Windows folder operations: listing with FindFirstFileW, creation with
// CreateDirectoryW, one level at a time; CP949 paths cross with code page 949.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/system_path.h"
#include "core/services/folder_list.h"
#include "core/services/ui_text_win32.h"

int FileSys_FolderExists(const char *folder)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder, sys) || !sys[0])
        return 0;
    DWORD attr = GetFileAttributesW(UiText_ToWide(sys).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

// Below the folder, no step of the path may be a link or a junction: where
// one points is not for the text to say.
int FileSys_IsWithin(const char *folder, const char *path)
{
    if (!FilePath_IsWithin(folder, path))
        return 0;
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(path, sys))
        return 0;
    size_t start = strlen(folder);
    for (size_t i = start; i <= strlen(sys); i++) {
        if (sys[i] != '\\' && sys[i] != '/' && sys[i] != 0)
            continue;
        std::string step(sys, i);
        DWORD attr = GetFileAttributesW(UiText_ToWide(step.c_str()).c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT))
            return 0;
    }
    return 1;
}

int FileSys_FolderIdentity(const char *folder, FolderIdentity *out)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder[0] ? folder : ".", sys))
        return 0;
    size_t n = strlen(sys);
    if (n > 1 && sys[n - 1] == '\\' && sys[n - 2] != ':')
        sys[n - 1] = 0;
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder; no access right is needed
    // to ask for its numbers.
    HANDLE h = CreateFileW(UiText_ToWide(sys).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!known)
        return 0;
    out->volume = info.dwVolumeSerialNumber;
    out->file = ((unsigned long long)info.nFileIndexHigh << 32) | info.nFileIndexLow;
    return 1;
}

int FileSys_MakeFolder(const char *folder)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder, sys) || !sys[0])
        return 0;
    // Create every prefix that ends at a separator (skipping a drive's root
    // and the server part of a UNC path, which cannot be created), then the
    // whole path. CharNextExA steps over CP949 characters as a whole.
    for (char *p = sys; *p; p = CharNextExA(UI_CODE_PAGE, p, 0)) {
        if (*p != '\\' || p == sys || p[-1] == ':' || p[-1] == '\\')
            continue;
        *p = 0;
        CreateDirectoryW(UiText_ToWide(sys).c_str(), nullptr);
        *p = '\\';
    }
    CreateDirectoryW(UiText_ToWide(sys).c_str(), nullptr);
    return FileSys_FolderExists(folder);
}

int Folder_FindEx(const char *pattern, int mode, FolderVisitor visit, void *user)
{
    std::string folder, namePattern;
    if (!visit || !FolderList_SplitPattern(pattern, folder, namePattern))
        return -1;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(UiText_ToWide(pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
    std::vector<FolderEntry> entries;
    do {
        // A name CP949 cannot spell is no name the program can use.
        char name[MAX_PATH * 2];
        if (UiText_FromWide(data.cFileName, name, sizeof name) == UITEXT_OK)
            entries.push_back({name, (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
                                         FILE_ATTRIBUTE_DIRECTORY});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return FolderList_Deliver(folder, entries, mode, visit, user);
}
