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

// The names Windows gives its devices, in any folder and with any
// extension ("NUL.png", "C:\\out\\com1.txt"); opening one opens the device.
static int IsDeviceName(const char *sys)
{
    if (strncmp(sys, "\\\\.\\", 4) == 0)
        return 1;
    const char *name = sys;
    for (const char *p = sys; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    char stem[8];
    size_t n = 0;
    while (name[n] && name[n] != '.' && name[n] != ' ' && n < sizeof stem - 1) {
        stem[n] = (char)toupper((unsigned char)name[n]);
        n++;
    }
    stem[n] = 0;
    if (name[n] && name[n] != '.' && name[n] != ' ')
        return 0;
    static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char *d : kDevices)
        if (strcmp(stem, d) == 0)
            return 1;
    return n == 4 && (memcmp(stem, "COM", 3) == 0 || memcmp(stem, "LPT", 3) == 0) && stem[3] >= '0' && stem[3] <= '9';
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
