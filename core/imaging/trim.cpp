// The visible box of a picture and its copy.
//
// Composition, caching and memory then scale with what a part shows rather
// than with the frame it was drawn in: most parts are a small shape in a
// transparent 360 x 480 frame.
#include "core/imaging/trim.h"

#include <cstdint>
#include <cstring>

namespace {

// First and last pixel of the row with non-zero alpha; 0 when there is none.
int Trim_RowSpan(const unsigned char *row, int w, int *first, int *last)
{
    int x = 0;
    while (x < w && row[4 * x + 3] == 0)
        x++;
    if (x == w)
        return 0;
    int y = w - 1;
    while (row[4 * y + 3] == 0)
        y--;
    *first = x;
    *last = y;
    return 1;
}

}  // namespace

DIB *DIB_TrimRows(const unsigned char *top, ptrdiff_t stride, int w, int h, Point *offset)
{
    int left = w, right = -1, first = h, last = -1;
    for (int y = 0; y < h; y++) {
        const unsigned char *row = top + (ptrdiff_t)y * stride;
        int a, b;
        if (!Trim_RowSpan(row, w, &a, &b))
            continue;
        if (a < left)
            left = a;
        if (b > right)
            right = b;
        if (y < first)
            first = y;
        last = y;
    }
    if (right < 0) {
        offset->x = offset->y = 0;
        return DIB_Create(32, 1, 1);
    }
    int bw = right - left + 1, bh = last - first + 1;
    DIB *image = DIB_CreateRaw(32, bw, bh);
    if (!image)
        return nullptr;
    for (int y = 0; y < bh; y++)
        memcpy(DIB_RowTD(image, y), top + (ptrdiff_t)(first + y) * stride + 4 * left, (size_t)bw * 4);
    offset->x = left;
    offset->y = first;
    return image;
}

DIB *DIB_Trim(const DIB *image32, Point *offset)
{
    if (!image32 || image32->bitCount != 32)
        return nullptr;
    return DIB_TrimRows(DIB_RowTD(image32, 0), -(ptrdiff_t)DIB_BytesPerRow(image32), image32->width,
                        image32->height, offset);
}
