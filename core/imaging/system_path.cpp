// Program paths become system paths: unchanged on Windows; on the host every
// `\` becomes `/`.
#include "core/imaging/system_path.h"

#include <cstring>

#ifdef _WIN32
static const char SYSTEM_SEPARATOR = '\\';
#else
static const char SYSTEM_SEPARATOR = '/';
#endif

int SystemPath_From(const char *path, char *out)
{
    out[0] = 0;
    if (!path)
        return 0;
    size_t n = strlen(path);
    if (n >= VOR_MAX_PATH)
        return 0;
    for (size_t i = 0; i <= n; i++)
        out[i] = path[i] == '\\' ? SYSTEM_SEPARATOR : path[i];
    return 1;
}
