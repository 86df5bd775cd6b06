// Windows file operations on program paths (ANSI API, code page 949).
#include <windows.h>

#include "core/imaging/file.h"
#include "core/imaging/system_path.h"

int File_Exists(const char *path)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(path, sys))
        return 0;
    DWORD attr = GetFileAttributesA(sys);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

int File_Delete(const char *path)
{
    char sys[VOR_MAX_PATH];
    return SystemPath_From(path, sys) && DeleteFileA(sys);
}

int File_Replace(const char *from, const char *to)
{
    char a[VOR_MAX_PATH], b[VOR_MAX_PATH];
    if (!SystemPath_From(from, a) || !SystemPath_From(to, b))
        return 0;
    return MoveFileExA(a, b, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
