// Fuzz target: arbitrary bytes as a PNG. Decoding must never crash, leak or
// read out of bounds; whatever decodes must survive an exact round trip
// through the encoder, and decoding it as a trimmed part must give exactly
// the visible box of the whole picture.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/imaging/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DIB *image = DIB_CreateFromMemory(data, size);
    if (!image)
        return 0;
    if (image->bitCount != 32 || image->width <= 0 || image->height <= 0)
        abort();
    // Keep the round trip cheap on the rare large picture.
    if ((long long)image->width * image->height <= 1 << 20) {
        size_t pngSize = 0;
        unsigned char *png = DIB_EncodePNG(image, &pngSize);
        if (!png)
            abort();
        DIB *back = DIB_CreateFromMemory(png, pngSize);
        if (!back || back->width != image->width || back->height != image->height ||
            memcmp(DIB_Bits(back), DIB_Bits(image), image->sizeImage) != 0)
            abort();
        DIB_Delete_(back);
        free(png);
    }
    TrimmedImage part;
    int result = DIB_DecodePartMemory(data, size, DIB_MAX_PART_SIDE, 1, &part);
    if (image->width > DIB_MAX_PART_SIDE || image->height > DIB_MAX_PART_SIDE) {
        if (result != TRIM_TOO_LARGE)
            abort();
    } else {
        if (result != TRIM_OK || part.fullWidth != image->width || part.fullHeight != image->height)
            abort();
        // A picture with nothing visible trims to one transparent pixel.
        bool empty = part.image->width == 1 && part.image->height == 1 && DIB_RowTD(part.image, 0)[3] == 0;
        for (int y = 0; !empty && y < part.image->height; y++) {
            const unsigned char *row = DIB_RowTD(image, y + part.offset.y) + 4 * part.offset.x;
            if (memcmp(row, DIB_RowTD(part.image, y), 4 * (size_t)part.image->width) != 0)
                abort();
        }
        DIB_Delete_(part.image);
    }
    DIB_Delete_(image);
    return 0;
}
