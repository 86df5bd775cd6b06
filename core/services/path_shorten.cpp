// Shortening a path for display by replacing leading folders with "..".
#include "core/services/path_shorten.h"

#include <cstdio>
#include <cstring>

// "C:\" and the like: the drive is kept in every shortened form.
static int HasDrivePrefix(const char *path)
{
    unsigned char letter = (unsigned char)path[0];
    int isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path[1] == ':' && path[2] == '\\';
}

void Path_ShortenToWidth(const char *path, int maxWidth, PathMeasureFn measure, void *context, char *out,
                         size_t outSize)
{
    if (!out || outSize == 0)
        return;
    snprintf(out, outSize, "%s", path ? path : "");
    if (!path)
        return;
    const int drive = HasDrivePrefix(path);
    // The first folder that may be dropped starts after "C:\"; a path
    // without a drive (relative, or a share) keeps nothing before "..".
    // A backslash byte is never the second byte of a CP949 character, so
    // scanning bytes finds only real separators.
    const char *rest = path + (drive ? 3 : 0);
    while (!drive && *rest == '\\')
        rest++;
    while (measure(context, out) > maxWidth) {
        const char *separator = strchr(rest, '\\');
        if (!separator)
            break;
        rest = separator + 1;
        if (drive)
            snprintf(out, outSize, "%c:\\..\\%s", path[0], rest);
        else
            snprintf(out, outSize, "..\\%s", rest);
    }
}
