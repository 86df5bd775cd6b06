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
//                  out = (s ws + d wd) / (ws + wd); when both weights are
//                  zero (a transparent source over a transparent pixel)
//                  the target pixel is left as it was.
// With these, a layer drawn into a transparent image and that image drawn
// onto a background gives the picture of the layer drawn onto the background
// directly, up to rounding.
#include "core/imaging/dib.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Pixels of the 32-bit formats are handled as little-endian words
// 0xAARRGGBB, so channels are shifts and masks on 32-bit lanes, which SSE2
// does natively.
static inline uint32_t Blit_Load32(const unsigned char *p)
{
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}

// Blend of 24-bit target pixels with weights a: (s a + d (255 - a)) / 255.
static inline uint32_t Blit_Mix(uint32_t s, uint32_t d, uint32_t a)
{
    return Blit_Div255(s * a + d * (255 - a));
}

// "Over" of colour word `s` (alpha in the top byte) onto 32-bit word `d`.
// The products are at most 255^3 < 2^24, so they are exact in float; one true
// division per pixel keeps the result within half a level, and exact at alpha
// 0 and 255.
static inline uint32_t Blit_Over(uint32_t s, uint32_t d)
{
    uint32_t a = s >> 24, dA = d >> 24;
    float ws = (float)(a * 255), wd = (float)(dA * (255 - a));
    uint32_t den = a * 255 + dA * (255 - a);
    float inv = 1.0f / (float)(den + (den == 0));
    uint32_t b = (uint32_t)(((float)(s & 255) * ws + (float)(d & 255) * wd) * inv + 0.5f);
    uint32_t g = (uint32_t)(((float)((s >> 8) & 255) * ws + (float)((d >> 8) & 255) * wd) * inv + 0.5f);
    uint32_t r = (uint32_t)(((float)((s >> 16) & 255) * ws + (float)((d >> 16) & 255) * wd) * inv + 0.5f);
    uint32_t out = b | g << 8 | r << 16 | Blit_Div255(den) << 24;
    // Nothing over nothing: the target pixel stays as it was, colour included.
    uint32_t keep = 0u - (uint32_t)(den == 0);
    return (out & ~keep) | (d & keep);
}

// Pixels go in groups of eight: a group whose source is wholly transparent
// leaves the target as it is, a wholly opaque one is copied, and any other is
// blended by a fixed-length loop the compiler turns into SIMD code.
enum { BLIT_GROUP = 8 };

BLIT_HOT static void Group_Over(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int m)
{
    for (int k = 0; k < m; k++) {
        uint32_t out = Blit_Over(Blit_Load32(s + 4 * k), Blit_Load32(d + 4 * k));
        memcpy(d + 4 * k, &out, 4);
    }
}

enum { GROUP_CLEAR, GROUP_OPAQUE, GROUP_MIXED };

#if defined(__SSE2__)
// The alphas of eight source pixels tested as two vectors.
static inline int Group_AlphaKind(const unsigned char *s)
{
    const __m128i alphaMask = _mm_set1_epi32((int)0xFF000000);
    __m128i a = _mm_and_si128(_mm_loadu_si128((const __m128i *)s), alphaMask);
    __m128i b = _mm_and_si128(_mm_loadu_si128((const __m128i *)(s + 16)), alphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(a, b), _mm_setzero_si128())) == 0xFFFF)
        return GROUP_CLEAR;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a, b), alphaMask)) == 0xFFFF)
        return GROUP_OPAQUE;
    return GROUP_MIXED;
}
#else
static inline int Group_AlphaKind(const unsigned char *s)
{
    uint32_t any = 0, all = 0xFFFFFFFFu;
    for (int k = 0; k < BLIT_GROUP; k++) {
        uint32_t v = Blit_Load32(s + 4 * k);
        any |= v;
        all &= v;
    }
    if ((any >> 24) == 0)
        return GROUP_CLEAR;
    return (all >> 24) == 255 ? GROUP_OPAQUE : GROUP_MIXED;
}
#endif

#if defined(__SSE2__)
// Over a wholly transparent target "over" gives each source pixel with alpha
// exactly (weights a 255 and 0) and leaves the target where the source has
// none, so a group landing on nothing is a select, not a blend. 0 when some
// target pixel of the group has alpha.
static inline int Group_OntoClear(unsigned char *d, const unsigned char *s)
{
    const __m128i alphaMask = _mm_set1_epi32((int)0xFF000000);
    const __m128i zero = _mm_setzero_si128();
    __m128i d0 = _mm_loadu_si128((const __m128i *)d), d1 = _mm_loadu_si128((const __m128i *)(d + 16));
    __m128i dAlpha = _mm_and_si128(_mm_or_si128(d0, d1), alphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(dAlpha, zero)) != 0xFFFF)
        return 0;
    __m128i s0 = _mm_loadu_si128((const __m128i *)s), s1 = _mm_loadu_si128((const __m128i *)(s + 16));
    __m128i clear0 = _mm_cmpeq_epi32(_mm_and_si128(s0, alphaMask), zero);
    __m128i clear1 = _mm_cmpeq_epi32(_mm_and_si128(s1, alphaMask), zero);
    _mm_storeu_si128((__m128i *)d, _mm_or_si128(_mm_and_si128(clear0, d0), _mm_andnot_si128(clear0, s0)));
    _mm_storeu_si128((__m128i *)(d + 16), _mm_or_si128(_mm_and_si128(clear1, d1), _mm_andnot_si128(clear1, s1)));
    return 1;
}
#else
static inline int Group_OntoClear(unsigned char *, const unsigned char *)
{
    return 0;
}
#endif

BLIT_HOT static void Row_Over32On32(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    int i = 0;
    for (; i + BLIT_GROUP <= n; i += BLIT_GROUP) {
        int kind = Group_AlphaKind(s + 4 * i);
        if (kind == GROUP_OPAQUE)
            memcpy(d + 4 * i, s + 4 * i, 4 * BLIT_GROUP);
        else if (kind == GROUP_MIXED && !Group_OntoClear(d + 4 * i, s + 4 * i))
            Group_Over(d + 4 * i, s + 4 * i, BLIT_GROUP);
    }
    Group_Over(d + 4 * i, s + 4 * i, n - i);
}

// Plain loop for the 24-bit target; the SSE2 version below does the same
// arithmetic four pixels at a time.
static void Row_Blend32On24Scalar(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    for (int i = 0; i < n; i++) {
        uint32_t a = s[4 * i + 3];
        d[3 * i + 0] = (unsigned char)Blit_Mix(s[4 * i + 0], d[3 * i + 0], a);
        d[3 * i + 1] = (unsigned char)Blit_Mix(s[4 * i + 1], d[3 * i + 1], a);
        d[3 * i + 2] = (unsigned char)Blit_Mix(s[4 * i + 2], d[3 * i + 2], a);
    }
}

#if defined(__SSE2__)
// 3-byte pixels need byte shuffles that SSE2 lacks, so the compiler cannot
// vectorise this loop by itself. Four target pixels (12 bytes) are spread to
// four 32-bit lanes with 64-bit shifts, blended in 16-bit lanes together with
// the four source pixels, and packed back. Groups of four wholly transparent
// source pixels are skipped and wholly opaque ones copied.
static inline __m128i Sse_Load24x4(const unsigned char *p)
{
    int32_t tail;
    memcpy(&tail, p + 8, 4);
    __m128i r = _mm_or_si128(_mm_loadl_epi64((const __m128i *)p), _mm_slli_si128(_mm_cvtsi32_si128(tail), 8));
    // Each 64-bit half gets 6 bytes: pixels 0-1 and pixels 2-3.
    __m128i c = _mm_unpacklo_epi64(r, _mm_srli_si128(r, 6));
    __m128i m24 = _mm_set1_epi64x(0xFFFFFF);
    return _mm_or_si128(_mm_and_si128(c, m24), _mm_slli_epi64(_mm_and_si128(_mm_srli_epi64(c, 24), m24), 32));
}

static inline void Sse_Store24x4(unsigned char *p, __m128i v)
{
    __m128i m24 = _mm_set1_epi64x(0xFFFFFF);
    __m128i c = _mm_or_si128(_mm_and_si128(v, m24), _mm_slli_epi64(_mm_and_si128(_mm_srli_epi64(v, 32), m24), 24));
    __m128i r = _mm_or_si128(_mm_and_si128(c, _mm_set_epi32(0, 0, 0xFFFF, -1)),
                             _mm_slli_si128(_mm_srli_si128(c, 8), 6));
    _mm_storel_epi64((__m128i *)p, r);
    int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(r, 8));
    memcpy(p + 8, &tail, 4);
}

// Two pixels in 16-bit lanes: (s a + d (255 - a) + 128) / 255, exact.
static inline __m128i Sse_Mix16(__m128i s, __m128i d)
{
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
    __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, ia)), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

static void Row_Blend32On24(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32((int)0xFF000000);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i src = _mm_loadu_si128((const __m128i *)(s + 4 * i));
        int alphaBits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(src, alphaMask), zero));
        if (alphaBits == 0xFFFF)
            continue;  // all four transparent
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(src, _mm_set1_epi32(0x00FFFFFF)), _mm_set1_epi32(-1))) == 0xFFFF) {
            Sse_Store24x4(d + 3 * i, src);  // all four opaque
            continue;
        }
        __m128i dst = Sse_Load24x4(d + 3 * i);
        __m128i lo = Sse_Mix16(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero));
        __m128i hi = Sse_Mix16(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero));
        Sse_Store24x4(d + 3 * i, _mm_packus_epi16(lo, hi));
    }
    Row_Blend32On24Scalar(d + 3 * i, s + 4 * i, n - i);
}
#else
static void Row_Blend32On24(unsigned char *BLIT_RESTRICT d, const unsigned char *BLIT_RESTRICT s, int n)
{
    Row_Blend32On24Scalar(d, s, n);
}
#endif

// The tint blits turn a run of grey + alpha pixels into colour words through
// the palette and then blend those like a 32-bit layer.
enum { BLIT_RUN = 64 };

static void Run_Tint(unsigned char *BLIT_RESTRICT out, const unsigned char *BLIT_RESTRICT s, int m,
                     const PaletteEntry *BLIT_RESTRICT palette)
{
    for (int k = 0; k < m; k++) {
        const PaletteEntry &p = palette[s[2 * k]];
        out[4 * k + 0] = p.blue;
        out[4 * k + 1] = p.green;
        out[4 * k + 2] = p.red;
        out[4 * k + 3] = s[2 * k + 1];
    }
}

// Narrows the run [*first, *last) of grey + alpha pixels to the part between
// its first and last pixel with non-zero alpha; 0 when all are transparent.
// Transparent pixels change nothing in either blend, so they are neither
// looked up in the palette nor blended. Whole words of four pixels are
// tested at a time.
static int Run_Visible(const unsigned char *s, int *first, int *last)
{
    const uint64_t alphas = 0xFF00FF00FF00FF00ull;
    int a = *first, b = *last;
    while (b - a >= 4) {
        uint64_t v;
        memcpy(&v, s + 2 * a, 8);
        if (v & alphas)
            break;
        a += 4;
    }
    while (a < b && s[2 * a + 1] == 0)
        a++;
    while (b > a && s[2 * (b - 1) + 1] == 0)
        b--;
    *first = a;
    *last = b;
    return a < b;
}

static void Row_Palette16On24(unsigned char *d, const unsigned char *s, int n, const PaletteEntry *palette)
{
    unsigned char run[4 * BLIT_RUN];
    for (int i = 0; i < n; i += BLIT_RUN) {
        int a = i, b = n - i < BLIT_RUN ? n : i + BLIT_RUN;
        if (!Run_Visible(s, &a, &b))
            continue;
        Run_Tint(run, s + 2 * a, b - a, palette);
        Row_Blend32On24(d + 3 * a, run, b - a);
    }
}

static void Row_Palette16On32(unsigned char *d, const unsigned char *s, int n, const PaletteEntry *palette)
{
    unsigned char run[4 * BLIT_RUN];
    for (int i = 0; i < n; i += BLIT_RUN) {
        int a = i, b = n - i < BLIT_RUN ? n : i + BLIT_RUN;
        if (!Run_Visible(s, &a, &b))
            continue;
        Run_Tint(run, s + 2 * a, b - a, palette);
        Row_Over32On32(d + 4 * a, run, b - a);
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
