// Host folder operations: listing with opendir, creation with mkdir.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/imaging/system_path.h"
#include "core/services/folder_list.h"

int FileSys_FolderExists(const char *folder)
{
    char sys[VOR_MAX_PATH];
    struct stat st;
    return SystemPath_From(folder, sys) && sys[0] && stat(sys, &st) == 0 && S_ISDIR(st.st_mode);
}

int FileSys_IsWithin(const char *folder, const char *path)
{
    if (!FilePath_IsWithin(folder, path))
        return 0;
    char sysFolder[VOR_MAX_PATH], sysPath[VOR_MAX_PATH];
    if (!SystemPath_From(folder[0] ? folder : ".", sysFolder) || !SystemPath_From(path, sysPath))
        return 0;
    char *realFolder = realpath(sysFolder, nullptr), *realPath = realpath(sysPath, nullptr);
    int within = 1;
    if (realFolder && realPath) {
        size_t n = strlen(realFolder);
        within = strncmp(realPath, realFolder, n) == 0 && (realPath[n] == '/' || realFolder[n - 1] == '/');
    } else if (!realFolder) {
        within = 0;
    }
    // A path that does not exist (realPath none) reads as missing afterwards.
    free(realFolder);
    free(realPath);
    return within;
}

int FileSys_FolderIdentity(const char *folder, FolderIdentity *out)
{
    char sys[VOR_MAX_PATH];
    struct stat st;
    if (!SystemPath_From(folder[0] ? folder : ".", sys) || stat(sys, &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;
    out->volume = (unsigned long long)st.st_dev;
    out->file = (unsigned long long)st.st_ino;
    return 1;
}

int FileSys_MakeFolder(const char *folder)
{
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder, sys) || !sys[0])
        return 0;
    // Create every prefix that ends at a separator, then the whole path.
    for (char *p = sys + 1; *p; p++) {
        if (*p != '/')
            continue;
        *p = 0;
        if (mkdir(sys, 0777) != 0 && errno != EEXIST) {
            *p = '/';
            break;
        }
        *p = '/';
    }
    if (mkdir(sys, 0777) != 0 && errno != EEXIST)
        return 0;
    return FileSys_FolderExists(folder);
}

int Folder_FindEx(const char *pattern, int mode, FolderVisitor visit, void *user)
{
    std::string folder, namePattern;
    if (!visit || !FolderList_SplitPattern(pattern, folder, namePattern))
        return -1;
    char sys[VOR_MAX_PATH];
    if (!SystemPath_From(folder.empty() ? "." : folder.c_str(), sys))
        return -1;
    DIR *dir = opendir(sys);
    if (!dir)
        return -1;
    std::vector<FolderEntry> entries;
    while (struct dirent *d = readdir(dir)) {
        if (!FolderList_Match(namePattern.c_str(), d->d_name))
            continue;
        std::string full = std::string(sys) + "/" + d->d_name;
        struct stat st;
        bool isFolder = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({d->d_name, isFolder});
    }
    closedir(dir);
    return FolderList_Deliver(folder, entries, mode, visit, user);
}
