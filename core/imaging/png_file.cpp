// PNG images from and to files: the whole file is read into memory and
// decoded, or encoded in memory and written through the caller's handle.
#include "core/imaging/dib.h"
#include "core/imaging/file.h"

#include <cstdlib>
#include <cstring>

// Larger files cannot be part images the library would accept anyway: the
// biggest accepted picture stored uncompressed is DIB_MAX_PIXELS * 4 bytes.
static const size_t PNG_FILE_MAX_BYTES = (size_t)DIB_MAX_PIXELS * 4;

DIB *DIB_CreateFromFile(const char *path)
{
    if (!path)
        return nullptr;
    size_t size = 0;
    unsigned char *data = FILE_ReadAll(path, PNG_FILE_MAX_BYTES, &size);
    if (!data)
        return nullptr;
    DIB *image = DIB_CreateFromMemory(data, size);
    free(data);
    return image;
}

int DIB_DecodePartFile(const char *path, int maxSide, int trim, TrimmedImage *out)
{
    memset(out, 0, sizeof *out);
    if (!path)
        return TRIM_UNREADABLE;
    size_t size = 0;
    unsigned char *data = FILE_ReadAll(path, PNG_FILE_MAX_BYTES, &size);
    if (!data)
        return TRIM_UNREADABLE;
    int result = DIB_DecodePartMemory(data, size, maxSide, trim, out);
    free(data);
    return result;
}

int DIB_WritePNG(const DIB *image32, VorFile *file)
{
    if (!file)
        return 0;
    size_t size = 0;
    unsigned char *png = DIB_EncodePNG(image32, &size);
    if (!png)
        return 0;
    int written = FILE_Write(png, 1, size, file) == size;
    free(png);
    return written;
}
