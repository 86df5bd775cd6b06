// Fuzz target: the project reader over arbitrary bytes. A file it accepts
// must write back to bytes that read again to the same image.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "output/project.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Project *p = nullptr;
    if (Project_Parse(data, size, &p) != PROJECT_OK)
        return 0;
    size_t n1, n2;
    unsigned char *once = Project_Serialize(p, nullptr, &n1);
    Project *q = nullptr;
    if (Project_Parse(once, n1, &q) != PROJECT_OK)
        abort();
    unsigned char *twice = Project_Serialize(q, nullptr, &n2);
    if (n1 != n2 || memcmp(once, twice, n1) != 0)
        abort();
    free(once);
    free(twice);
    Project_Free(p);
    Project_Free(q);
    return 0;
}
