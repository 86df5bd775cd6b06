// Blits between images: alpha blending, palette (tint) blending, grey
// conversion and plain copies.
//
// Every blit first clips the source's placement against both images (the
// position may be negative and the source larger than the target), then runs
// a row kernel over the overlapping spans. The kernels are written without
// branches on pixel values and with restrict-qualified pointers so that the
// compiler turns them into SIMD code; the blends of the composition run over
// a full 360 x 480 picture on every drag step.
//
// Arithmetic (a = source alpha, straight, 0..255):
//   onto 24 bits:  out = (s a + d (255 - a)) / 255, rounded to nearest, so
//                  alpha 255 gives exactly s and alpha 0 leaves d.
//   onto 32 bits:  Porter-Duff "over" with straight alpha stored:
//                  ws = 255 a, wd = dA (255 - a), outA = (ws + wd) / 255,
//                  out = (s ws + d wd) / (ws + wd); both weights are zero
//                  only when the result is fully transparent, stored as 0.
// With these, a layer drawn into a transparent image and that image drawn
// onto a background gives the picture of the layer drawn onto the background
// directly, up to rounding.
#include "core/imaging/dib.h"

#include <cstring>

#if defined(__GNUC__)
#define BLIT_RESTRICT __restrict__
// The kernels are the hot loops of the program; -O3's vectoriser handles the
// interleaved 3- and 4-byte pixels that -O2's does not.
#define BLIT_HOT __attribute__((optimize("O3")))
#else
#define BLIT_RESTRICT
#define BLIT_HOT
#endif

// The overlap of a placed source with its target, in top-down rows.
struct BlitSpan {
    int dstX, dstY;   // first target pixel
    int srcX, srcY;   // first source pixel
    int width, height;
};

static int Blit_Clip(const DIB *dst, const Point *pos, const DIB *src, const Rect *srcRect, BlitSpan *span)
{
    // Source rectangle clipped to the source image.
    long long sl = 0, st = 0, sr = src->width, sb = src->height;
    if (srcRect) {
        if (srcRect->left > sl) sl = srcRect->left;
        if (srcRect->top > st) st = srcRect->top;
        if (srcRect->right < sr) sr = srcRect->right;
        if (srcRect->bottom < sb) sb = srcRect->bottom;
    }
    long long px = pos ? pos->x : 0, py = pos ? pos->y : 0;
    if (srcRect) {
        // The point names where the rectangle's top-left corner lands; a
        // corner cut off by the clip above moves the landing spot with it.
        px += sl - srcRect->left;
        py += st - srcRect->top;
    }
    // Placed rectangle [px, px + w) x [py, py + h) clipped to the target.
    long long x0 = px, y0 = py, x1 = px + (sr - sl), y1 = py + (sb - st);
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > dst->width) x1 = dst->width;
    if (y1 > dst->height) y1 = dst->height;
    if (x0 >= x1 || y0 >= y1)
        return 0;
    span->dstX = (int)x0;
    span->dstY = (int)y0;
    span->srcX = (int)(sl + (x0 - px));
    span->srcY = (int)(st + (y0 - py));
    span->width = (int)(x1 - x0);
    span->height = (int)(y1 - y0);
    return 1;
}

static int Blit_Depths(const DIB *dst, int dstBits, const DIB *src, int srcBits)
{
    return dst && src && dst->bitCount == dstBits && src->bitCount == srcBits;
}

// Exact x / 255 rounded to nearest for 0 <= x <= 255 * 255.
static inline uint32_t Blit_Div255(uint32_t x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// ---- row kernels ----------------------------------------------------------

BLIT_HOT static void Row_Blend32On24(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    for (int i = 0; i < n; i++) {
        uint32_t a = s[4 * i + 3], ia = 255 - a;
        d[3 * i + 0] = (unsigned char)Blit_Div255(s[4 * i + 0] * a + d[3 * i + 0] * ia);
        d[3 * i + 1] = (unsigned char)Blit_Div255(s[4 * i + 1] * a + d[3 * i + 1] * ia);
        d[3 * i + 2] = (unsigned char)Blit_Div255(s[4 * i + 2] * a + d[3 * i + 2] * ia);
    }
}

// "Over" of one colour (b, g, r, a) onto a 32-bit pixel. The products are at
// most 255^3 < 2^24, so they are exact in float; one true division per pixel
// keeps the rounding within half a level and alpha 0 / 255 exact.
static inline void Blit_Over(unsigned char *d, uint32_t b, uint32_t g, uint32_t r, uint32_t a)
{
    uint32_t ws = a * 255, wd = d[3] * (255 - a);
    uint32_t den = ws + wd;
    float inv = 1.0f / (float)(den > 0 ? den : 1);
    d[0] = (unsigned char)((float)(b * ws + d[0] * wd) * inv + 0.5f);
    d[1] = (unsigned char)((float)(g * ws + d[1] * wd) * inv + 0.5f);
    d[2] = (unsigned char)((float)(r * ws + d[2] * wd) * inv + 0.5f);
    d[3] = (unsigned char)Blit_Div255(den);
}

BLIT_HOT static void Row_Over32On32(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    for (int i = 0; i < n; i++)
        Blit_Over(d + 4 * i, s[4 * i + 0], s[4 * i + 1], s[4 * i + 2], s[4 * i + 3]);
}

BLIT_HOT static void Row_Palette16On24(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n,
                                       const PaletteEntry *BLIT_RESTRICT palette)
{
    for (int i = 0; i < n; i++) {
        const PaletteEntry &p = palette[s[2 * i]];
        uint32_t a = s[2 * i + 1], ia = 255 - a;
        d[3 * i + 0] = (unsigned char)Blit_Div255(p.blue * a + d[3 * i + 0] * ia);
        d[3 * i + 1] = (unsigned char)Blit_Div255(p.green * a + d[3 * i + 1] * ia);
        d[3 * i + 2] = (unsigned char)Blit_Div255(p.red * a + d[3 * i + 2] * ia);
    }
}

BLIT_HOT static void Row_Palette16On32(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n,
                                       const PaletteEntry *BLIT_RESTRICT palette)
{
    for (int i = 0; i < n; i++) {
        const PaletteEntry &p = palette[s[2 * i]];
        Blit_Over(d + 4 * i, p.blue, p.green, p.red, s[2 * i + 1]);
    }
}

BLIT_HOT static void Row_Grey32To16(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    // Weights sum to 256, so a grey input (r = g = b) comes out unchanged.
    for (int i = 0; i < n; i++) {
        uint32_t b = s[4 * i], g = s[4 * i + 1], r = s[4 * i + 2];
        d[2 * i] = (unsigned char)((77 * r + 150 * g + 29 * b) >> 8);
        d[2 * i + 1] = s[4 * i + 3];
    }
}

// ---- blits ----------------------------------------------------------------

void DIB24_BltDIBA24(DIB *dst24, const Point *pos, const DIB *src32)
{
    BlitSpan sp;
    if (!Blit_Depths(dst24, 24, src32, 32) || !Blit_Clip(dst24, pos, src32, nullptr, &sp))
        return;
    for (int y = 0; y < sp.height; y++)
        Row_Blend32On24(DIB_RowTD(dst24, sp.dstY + y) + 3 * sp.dstX,
                        DIB_RowTD(src32, sp.srcY + y) + 4 * sp.srcX, sp.width);
}

void DIBA24_BltDIBA24(DIB *dst32, const Point *pos, const DIB *src32)
{
    BlitSpan sp;
    if (!Blit_Depths(dst32, 32, src32, 32) || !Blit_Clip(dst32, pos, src32, nullptr, &sp))
        return;
    // The kernel reads the source while it writes the target; an image drawn
    // onto itself is drawn from a copy.
    DIB *copy = nullptr;
    if (dst32 == src32) {
        copy = DIB_MakeCopy(src32);
        if (!copy)
            return;
        src32 = copy;
    }
    for (int y = 0; y < sp.height; y++)
        Row_Over32On32(DIB_RowTD(dst32, sp.dstY + y) + 4 * sp.dstX,
                       DIB_RowTD(src32, sp.srcY + y) + 4 * sp.srcX, sp.width);
    DIB_Delete_(copy);
}

void DIBA24_BltDIBA24_2(DIB *dst32, const Point *pos, const DIB *src32)
{
    // This call starts the cache of the layers in front of the selected one,
    // given the cache of the layers behind it. A drag step draws the behind
    // cache, then the selected layer, then the in-front cache over both; if
    // the in-front cache also held the layers behind, it would paint them
    // over the selected layer and hide it. So the in-front cache must start
    // fully transparent wherever the behind cache lies: the overlap is cleared
    // to transparent zero bytes, and the layers in front are composed into it
    // afterwards.
    BlitSpan sp;
    if (!Blit_Depths(dst32, 32, src32, 32) || !Blit_Clip(dst32, pos, src32, nullptr, &sp))
        return;
    for (int y = 0; y < sp.height; y++)
        memset(DIB_RowTD(dst32, sp.dstY + y) + 4 * sp.dstX, 0, (size_t)sp.width * 4);
}

void DIBGA8_BltDIBA24(DIB *dst16, const Point *pos, const DIB *src32)
{
    BlitSpan sp;
    if (!Blit_Depths(dst16, 16, src32, 32) || !Blit_Clip(dst16, pos, src32, nullptr, &sp))
        return;
    for (int y = 0; y < sp.height; y++)
        Row_Grey32To16(DIB_RowTD(dst16, sp.dstY + y) + 2 * sp.dstX,
                       DIB_RowTD(src32, sp.srcY + y) + 4 * sp.srcX, sp.width);
}

void DIB24_BltPaletteDIBGA8(DIB *dst24, const Point *pos, const DIB *src16, const PaletteEntry *palette)
{
    BlitSpan sp;
    if (!palette || !Blit_Depths(dst24, 24, src16, 16) || !Blit_Clip(dst24, pos, src16, nullptr, &sp))
        return;
    for (int y = 0; y < sp.height; y++)
        Row_Palette16On24(DIB_RowTD(dst24, sp.dstY + y) + 3 * sp.dstX,
                          DIB_RowTD(src16, sp.srcY + y) + 2 * sp.srcX, sp.width, palette);
}

void DIBA24_BltPaletteDIBGA8(DIB *dst32, const Point *pos, const DIB *src16, const PaletteEntry *palette)
{
    BlitSpan sp;
    if (!palette || !Blit_Depths(dst32, 32, src16, 16) || !Blit_Clip(dst32, pos, src16, nullptr, &sp))
        return;
    for (int y = 0; y < sp.height; y++)
        Row_Palette16On32(DIB_RowTD(dst32, sp.dstY + y) + 4 * sp.dstX,
                          DIB_RowTD(src16, sp.srcY + y) + 2 * sp.srcX, sp.width, palette);
}

void DIB_Blt(DIB *dst, const Point *pos, const DIB *src, const Rect *srcRect)
{
    BlitSpan sp;
    if (!dst || !src || dst->bitCount != src->bitCount || !Blit_Clip(dst, pos, src, srcRect, &sp))
        return;
    int bpp = dst->bitCount / 8;
    size_t bytes = (size_t)sp.width * bpp;
    // Within one image, walk the rows so that none is overwritten before it
    // is read (memmove handles overlap inside a row).
    int downward = !(dst == src && sp.dstY > sp.srcY);
    for (int k = 0; k < sp.height; k++) {
        int y = downward ? k : sp.height - 1 - k;
        memmove(DIB_RowTD(dst, sp.dstY + y) + bpp * sp.dstX,
                DIB_RowTD(src, sp.srcY + y) + bpp * sp.srcX, bytes);
    }
}
