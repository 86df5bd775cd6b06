// Host file operations on program paths.
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "core/imaging/file.h"
#include "core/imaging/system_path.h"

int File_Exists(const char *path)
{
    char sys[VOR_MAX_PATH];
    struct stat st;
    return SystemPath_From(path, sys) && stat(sys, &st) == 0 && S_ISREG(st.st_mode);
}

int File_Delete(const char *path)
{
    char sys[VOR_MAX_PATH];
    return SystemPath_From(path, sys) && unlink(sys) == 0;
}

int File_Replace(const char *from, const char *to)
{
    char a[VOR_MAX_PATH], b[VOR_MAX_PATH];
    return SystemPath_From(from, a) && SystemPath_From(to, b) && rename(a, b) == 0;
}
