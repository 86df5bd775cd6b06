// Solid fills and the horizontal gradient used by the list painters.
//
// Rectangles are in top-down picture coordinates, half-open, and are clipped
// to the image. On a 32-bit image the fills are opaque (alpha 255).
#include "core/imaging/dib.h"

#include <cstring>

static int Fill_IsColourDepth(const DIB *image)
{
    return image && (image->bitCount == 24 || image->bitCount == 32);
}

static void Fill_Pixel(unsigned char *p, int bytesPerPixel, COLORREF_ colour)
{
    p[0] = (unsigned char)(colour >> 16);  // blue
    p[1] = (unsigned char)(colour >> 8);   // green
    p[2] = (unsigned char)colour;          // red
    if (bytesPerPixel == 4)
        p[3] = 255;
}

void DIB24_FillRect(DIB *image, const Rect *r, COLORREF_ colour)
{
    if (!Fill_IsColourDepth(image))
        return;
    Rect area = {0, 0, image->width, image->height};
    if (r) {
        if (r->left > area.left) area.left = r->left;
        if (r->top > area.top) area.top = r->top;
        if (r->right < area.right) area.right = r->right;
        if (r->bottom < area.bottom) area.bottom = r->bottom;
    }
    if (area.left >= area.right || area.top >= area.bottom)
        return;
    int bpp = image->bitCount / 8;
    int span = (area.right - area.left) * bpp;
    // Paint one row, then copy it to the others.
    unsigned char *first = DIB_RowTD(image, area.top) + area.left * bpp;
    for (int x = 0; x < span; x += bpp)
        Fill_Pixel(first + x, bpp, colour);
    for (int y = area.top + 1; y < area.bottom; y++)
        memcpy(DIB_RowTD(image, y) + area.left * bpp, first, (size_t)span);
}

// left + (right - left) * x / (w - 1), rounded to nearest, exact at both ends.
static unsigned char Fill_Lerp(int left, int right, int x, int last)
{
    if (last == 0)
        return (unsigned char)left;
    int num = (right - left) * x;
    int q = num >= 0 ? (num + last / 2) / last : -((-num + last / 2) / last);
    return (unsigned char)(left + q);
}

void DIB24_GradeH(DIB *image, COLORREF_ left, COLORREF_ right)
{
    if (!Fill_IsColourDepth(image))
        return;
    int bpp = image->bitCount / 8;
    int w = image->width;
    unsigned char *first = DIB_RowTD(image, 0);
    for (int x = 0; x < w; x++) {
        unsigned char *p = first + x * bpp;
        for (int c = 0; c < 3; c++) {
            int shift = 16 - 8 * c;  // blue, green, red
            p[c] = Fill_Lerp((int)(left >> shift) & 255, (int)(right >> shift) & 255, x, w - 1);
        }
        if (bpp == 4)
            p[3] = 255;
    }
    for (int y = 1; y < image->height; y++)
        memcpy(DIB_RowTD(image, y), first, (size_t)w * bpp);
}
