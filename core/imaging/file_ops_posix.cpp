// Host file operations on program paths.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

int File_IsOtherThanFile(const char *path)
{
    char sys[VOR_MAX_PATH];
    struct stat st;
    if (!SystemPath_From(path, sys))
        return 0;
    return lstat(sys, &st) == 0 && !S_ISREG(st.st_mode);
}

static int ReadProblemOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return FILEREAD_MISSING;
    case EACCES:
    case EPERM: return FILEREAD_DENIED;
    case ENAMETOOLONG: return FILEREAD_PATH_TOO_LONG;
    default: return FILEREAD_OTHER;
    }
}

int File_ReadProblem(const char *path, size_t maxBytes)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(path, sys))
        return FILEREAD_PATH_TOO_LONG;
    struct stat st;
    if (stat(sys, &st) != 0)
        return ReadProblemOf(errno);
    if (S_ISDIR(st.st_mode))
        return FILEREAD_FOLDER;
    if (!S_ISREG(st.st_mode))
        return FILEREAD_NOT_A_FILE;
    if ((unsigned long long)st.st_size > maxBytes)
        return FILEREAD_TOO_LARGE;
    int fd = open(sys, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return ReadProblemOf(errno);
    close(fd);
    return FILEREAD_OK;
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

// O_NONBLOCK keeps the opening of a pipe from waiting for a writer; the
// descriptor is looked at before anything is read from it.
FILE *SystemFile_OpenRegular(const char *sys)
{
    int fd = open(sys, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *f = fdopen(fd, "rb");
    if (!f)
        close(fd);
    return f;
}

FILE *SystemFile_CreateNew(const char *sys)
{
    int fd = open(sys, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    FILE *f = fdopen(fd, "wb");
    if (!f) {
        close(fd);
        unlink(sys);
    }
    return f;
}

int SystemFile_Exists(const char *sys)
{
    struct stat st;
    return lstat(sys, &st) == 0;
}
