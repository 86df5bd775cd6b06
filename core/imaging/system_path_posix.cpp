// Host paths: the program's `\` separators become `/`.
#include "core/imaging/system_path.h"

#include <cstring>

int SystemPath_From(const char *path, char *out)
{
    out[0] = 0;
    if (!path)
        return 0;
    size_t n = strlen(path);
    if (n >= VOR_MAX_PATH)
        return 0;
    for (size_t i = 0; i <= n; i++)
        out[i] = path[i] == '\\' ? '/' : path[i];
    return 1;
}
