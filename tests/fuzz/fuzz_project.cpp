// Fuzz target: the project reader over arbitrary bytes. A file it accepts
// must write back unchanged (after the header, the written bytes are the
// ones read, up to where the reading stopped), through a real file, and
// that file must read again to the same project.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/imaging/file.h"
#include "project/project.h"

// In the current folder, which is the build tree's in both builds.
static const char kScratch[] = "fuzz_project_scratch.vor";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Project *p = nullptr;
    if (Project_Parse(data, size, &p) != PROJECT_OK)
        return 0;
    size_t n1, n2;
    unsigned char *once = Project_Serialize(p, nullptr, &n1);
    // Written back as it was read: the header names the version written
    // (older versions are read alike), everything after it is the same.
    if (!once || n1 > size || memcmp(once + PROJECT_HEADER_SIZE, data + PROJECT_HEADER_SIZE,
                                     n1 - PROJECT_HEADER_SIZE) != 0)
        abort();
    if (!Project_WriteFile(kScratch, p, nullptr))
        abort();
    Project *q = nullptr;
    if (Project_ReadFile(kScratch, &q) != PROJECT_OK)
        abort();
    File_Delete(kScratch);
    unsigned char *twice = Project_Serialize(q, nullptr, &n2);
    if (!twice || n1 != n2 || memcmp(once, twice, n1) != 0)
        abort();
    free(once);
    free(twice);
    Project_Free(p);
    Project_Free(q);
    return 0;
}
