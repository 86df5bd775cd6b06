// Path text operations: names, folders and joins on `\`-separated paths.
// A CP949 trail byte is a letter or 0x81 and above, never `\`, so a plain
// byte scan finds the separators of Korean paths too.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "core/services/filesys.h"

const char *FilePath_GetName(const char *path)
{
    const char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

char *FilePath_GetName(char *path)
{
    char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

int FilePath_IsDeviceName(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    // The stem: up to the first dot or space, upper-cased.
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

int FilePath_SetName(char *path, const char *name)
{
    char *namePart = FilePath_GetName(path);
    size_t keep = (size_t)(namePart - path);
    size_t n = strlen(name);
    if (keep + n >= VOR_MAX_PATH)
        return 0;
    memmove(namePart, name, n + 1);
    return 1;
}

int FilePath_CopyFolder(const char *path, char *buffer)
{
    size_t keep = (size_t)(FilePath_GetName(path) - path);
    if (keep >= VOR_MAX_PATH)
        return 0;
    memmove(buffer, path, keep);
    buffer[keep] = 0;
    return 1;
}

// The components of `path` with `.` dropped and `..` taking one back; 0 when
// `..` would climb above where the path starts.
static int FilePath_Components(const char *path, std::vector<std::string> *parts)
{
    std::string part;
    for (const char *p = path;; p++) {
        if (*p && *p != '\\' && *p != '/') {
            part += *p;
            continue;
        }
        if (part == "..") {
            if (parts->empty())
                return 0;
            parts->pop_back();
        } else if (!part.empty() && part != ".") {
            parts->push_back(part);
        }
        part.clear();
        if (!*p)
            return 1;
    }
}

int FilePath_IsWithin(const char *folder, const char *path)
{
    size_t n = strlen(folder);
    if (strncmp(path, folder, n) != 0)
        return 0;
    std::vector<std::string> below;
    return FilePath_Components(path + n, &below);
}
