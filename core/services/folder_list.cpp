// Platform-neutral half of Folder_FindEx: pattern matching, ordering and the
// path form of delivered entries.
#include "core/services/folder_list.h"

#include <algorithm>
#include <cstring>

static int LowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

int FolderList_Match(const char *pattern, const char *name)
{
    const char *starP = nullptr, *starN = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starP = ++pattern;
            starN = name;
        } else if (*pattern == '?' || (*pattern && LowerAscii(*pattern) == LowerAscii(*name))) {
            pattern++;
            name++;
        } else if (starP) {
            pattern = starP;
            name = ++starN;
        } else {
            return 0;
        }
    }
    while (*pattern == '*')
        pattern++;
    return *pattern == 0;
}

int FolderList_SplitPattern(const char *pattern, std::string &folder, std::string &namePattern)
{
    if (!pattern || strlen(pattern) >= VOR_MAX_PATH)
        return 0;
    const char *name = FilePath_GetName(pattern);
    folder.assign(pattern, (size_t)(name - pattern));
    namePattern = name;
    return 1;
}

int FolderList_Deliver(const std::string &folder, std::vector<FolderEntry> &entries, int mode,
                       FolderVisitor visit, void *user)
{
    std::sort(entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) {
        return strcmp(a.name.c_str(), b.name.c_str()) < 0;  // strcmp compares unsigned bytes
    });
    int delivered = 0;
    for (const FolderEntry &e : entries) {
        std::string path = folder + e.name;
        bool dots = e.name == "." || e.name == "..";
        if ((mode & 3) == 2 && e.isFolder && !dots)
            path += '\\';
        if (path.size() >= VOR_MAX_PATH && !(mode & FOLDER_FIND_LONG))
            continue;
        delivered++;
        if (!visit(user, path.c_str()))
            break;
    }
    return delivered;
}
