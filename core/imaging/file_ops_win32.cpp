// Windows file operations on program paths: CP949 paths, handed to the
// wide API converted with code page 949 whatever the system code page.
#include <windows.h>

#include <cctype>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <io.h>

#include "core/imaging/file.h"
#include "core/imaging/system_path.h"
#include "core/services/filesys.h"
#include "core/services/ui_text_win32.h"

static std::wstring Wide(const char *sys)
{
    return UiText_ToWide(sys);
}

int File_Exists(const char *path)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(path, sys))
        return 0;
    DWORD attr = GetFileAttributesW(Wide(sys).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// The names Windows gives its devices (FilePath_IsDeviceName), and the
// device namespace itself.
static int IsDeviceName(const char *sys)
{
    return strncmp(sys, "\\\\.\\", 4) == 0 || FilePath_IsDeviceName(sys);
}

int File_IsOtherThanFile(const char *path)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(path, sys))
        return 0;
    if (IsDeviceName(sys))
        return 1;
    DWORD attr = GetFileAttributesW(Wide(sys).c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return 0;
    return (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0;
}

static int ReadProblemOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return FILEREAD_MISSING;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FILEREAD_DENIED;
    case ERROR_FILENAME_EXCED_RANGE: return FILEREAD_PATH_TOO_LONG;
    default: return FILEREAD_OTHER;
    }
}

int File_ReadProblem(const char *path, size_t maxBytes)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(path, sys))
        return FILEREAD_PATH_TOO_LONG;
    if (IsDeviceName(sys))
        return FILEREAD_NOT_A_FILE;
    std::wstring wide = Wide(sys);
    DWORD attr = GetFileAttributesW(wide.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return ReadProblemOf(GetLastError());
    if (attr & FILE_ATTRIBUTE_DIRECTORY)
        return FILEREAD_FOLDER;
    if (attr & FILE_ATTRIBUTE_DEVICE)
        return FILEREAD_NOT_A_FILE;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return ReadProblemOf(GetLastError());
    LARGE_INTEGER size;
    int problem = GetFileType(h) != FILE_TYPE_DISK ? FILEREAD_NOT_A_FILE
                  : GetFileSizeEx(h, &size) && (unsigned long long)size.QuadPart > maxBytes ? FILEREAD_TOO_LARGE
                                                                                            : FILEREAD_OK;
    CloseHandle(h);
    return problem;
}

int File_Delete(const char *path)
{
    char sys[VOR_MAX_PATH];
    return SystemPath_From(path, sys) && DeleteFileW(Wide(sys).c_str());
}

int File_Replace(const char *from, const char *to)
{
    char a[VOR_MAX_PATH], b[VOR_MAX_PATH];
    if (!SystemPath_From(from, a) || !SystemPath_From(to, b))
        return 0;
    return MoveFileExW(Wide(a).c_str(), Wide(b).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// A device name (CON, NUL, COM1, \\.\...) or a pipe opens as no disk file;
// the handle's type says so before anything is read.
FILE *SystemFile_OpenRegular(const char *sys)
{
    DWORD attr = GetFileAttributesW(Wide(sys).c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    HANDLE h = CreateFileW(Wide(sys).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return nullptr;
    }
    int fd = _open_osfhandle((intptr_t)h, _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE *f = _fdopen(fd, "rb");
    if (!f)
        _close(fd);
    return f;
}

// CREATE_NEW fails on anything standing at the name, a link included.
FILE *SystemFile_CreateNew(const char *sys)
{
    HANDLE h = CreateFileW(Wide(sys).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    int fd = _open_osfhandle((intptr_t)h, _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        DeleteFileW(Wide(sys).c_str());
        return nullptr;
    }
    FILE *f = _fdopen(fd, "wb");
    if (!f) {
        _close(fd);
        DeleteFileW(Wide(sys).c_str());
    }
    return f;
}

int SystemFile_Exists(const char *sys)
{
    return GetFileAttributesW(Wide(sys).c_str()) != INVALID_FILE_ATTRIBUTES;
}
