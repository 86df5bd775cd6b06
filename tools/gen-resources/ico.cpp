// .ico files: a directory of images, each a 32-bit bottom-up bitmap whose
// header gives twice the height (colour rows, then the 1-bit AND mask).
// The mask marks fully transparent pixels so that systems that ignore the
// alpha channel still show the shape.
#include <cstdlib>
#include <cstring>

#include "tools/gen-resources/gen_resources.h"

namespace {

void Put16(unsigned char *p, unsigned v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}

void Put32(unsigned char *p, unsigned v)
{
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

size_t MaskRowBytes(int width)
{
    return (size_t)((width + 31) / 32) * 4;
}

size_t EntryBytes(const DIB *image)
{
    return 40 + image->sizeImage + MaskRowBytes(image->width) * (size_t)image->height;
}

}  // namespace

unsigned char *Ico_Encode(DIB *const *images, int count, size_t *outSize)
{
    size_t total = 6 + 16 * (size_t)count;
    for (int i = 0; i < count; i++) {
        if (!images[i] || images[i]->bitCount != 32 || images[i]->width > 256 || images[i]->height > 256)
            return nullptr;
        total += EntryBytes(images[i]);
    }
    unsigned char *out = (unsigned char *)calloc(1, total);
    if (!out)
        return nullptr;
    Put16(out + 2, 1);  // type: icon
    Put16(out + 4, (unsigned)count);
    size_t offset = 6 + 16 * (size_t)count;
    for (int i = 0; i < count; i++) {
        const DIB *image = images[i];
        unsigned char *entry = out + 6 + 16 * i;
        entry[0] = (unsigned char)(image->width == 256 ? 0 : image->width);
        entry[1] = (unsigned char)(image->height == 256 ? 0 : image->height);
        Put16(entry + 4, 1);   // planes
        Put16(entry + 6, 32);  // bits per pixel
        Put32(entry + 8, (unsigned)EntryBytes(image));
        Put32(entry + 12, (unsigned)offset);

        unsigned char *header = out + offset;
        memcpy(header, image, 40);
        Put32(header + 8, (unsigned)(image->height * 2));
        Put32(header + 32, 0);  // no colour table
        memcpy(header + 40, DIB_Bits(image), image->sizeImage);
        // The mask is stored bottom-up like the colour rows; bit set = transparent.
        unsigned char *mask = header + 40 + image->sizeImage;
        size_t maskRow = MaskRowBytes(image->width);
        for (int y = 0; y < image->height; y++) {
            const unsigned char *row = DIB_Bits(image) + (size_t)y * DIB_BytesPerRow(image);
            for (int x = 0; x < image->width; x++)
                if (row[4 * x + 3] == 0)
                    mask[(size_t)y * maskRow + x / 8] |= (unsigned char)(0x80 >> (x % 8));
        }
        offset += EntryBytes(image);
    }
    *outSize = total;
    return out;
}
