// Windows paths are the program's paths as they are.
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
    memcpy(out, path, n + 1);
    return 1;
}
