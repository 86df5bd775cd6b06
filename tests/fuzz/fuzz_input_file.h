// For the fuzz targets whose reader takes a file: the input written to a
// fixed name below the current folder, so that an `#include` of that name
// finds the input itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/imaging/file.h"
#include "core/services/filesys.h"

// Writes `data` to `path`, making `folder` first. Returns 0 when it could
// not be written.
inline int FuzzInput_Write(const char *folder, const char *path, const uint8_t *data, size_t size)
{
    static int folderMade = 0;
    if (!folderMade)
        folderMade = FileSys_MakeFolder(folder);
    VorFile *file = FILE_Open(path, "wb");
    if (!file)
        return 0;
    if (size > 0)
        FILE_Write(data, 1, size, file);
    return FILE_Close(file) == 0;
}
