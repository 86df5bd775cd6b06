// Fuzz target: arbitrary bytes as a PNG. Decoding must never crash, leak or
// read out of bounds; whatever decodes must survive an exact round trip
// through the encoder.
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
    DIB_Delete_(image);
    return 0;
}
