// Images from "PNG" resources and images copied to a device context.
#include "core/imaging/dib_win32.h"

static_assert(sizeof(DIB) == sizeof(BITMAPINFOHEADER), "DIB header must match BITMAPINFOHEADER");
static_assert(sizeof(Rect) == sizeof(RECT), "Rect must match RECT");

DIB *DIB_CreateFromResource(HINSTANCE instance, const char *name)
{
    HRSRC found = FindResourceA(instance, name, "PNG");
    if (!found)
        return nullptr;
    DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const void *data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;
    // Resource memory stays mapped with the module; nothing to release.
    return DIB_CreateFromMemory(data, size);
}

int HDC_DrawDIB(HDC dc, const Rect *dst, const Point *srcPos, const DIB *image, DWORD rop)
{
    if (!dc || !image || (image->bitCount != 24 && image->bitCount != 32))
        return 0;
    Rect area = {0, 0, image->width, image->height};
    if (dst)
        area = *dst;
    int sx = srcPos ? srcPos->x : 0, sy = srcPos ? srcPos->y : 0;
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return 0;
    // The source is given top-down; a bottom-up DIB counts rows from the
    // bottom, so the band [sy, sy + h) starts at stored row height - sy - h.
    int storedY = image->height - sy - h;
    int lines = StretchDIBits(dc, area.left, area.top, w, h, sx, storedY, w, h, DIB_Bits(image),
                              (const BITMAPINFO *)image, DIB_RGB_COLORS, rop);
    return lines != 0 && lines != (int)GDI_ERROR;
}
