// Blending arithmetic, clipping and the special blits.
#include <doctest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <cstdlib>

#include "core/imaging/dib.h"
#include "tests/core/test_dib_images.h"

// Reference arithmetic, in doubles.
static int Ref_Mix(int s, int d, int a)
{
    return (int)std::floor((s * a + d * (255.0 - a)) / 255.0 + 0.5);
}

// "Over" onto a 32-bit pixel: colour as weighted mean, alpha accumulated.
static void Ref_Over(const unsigned char *s, int a, const unsigned char *d, int out[4])
{
    double ws = a * 255.0, wd = d[3] * (255.0 - a);
    out[3] = (int)std::floor((ws + wd) / 255.0 + 0.5);
    for (int c = 0; c < 3; c++)
        out[c] = ws + wd == 0 ? d[c] : (int)std::floor((s[c] * ws + d[c] * wd) / (ws + wd) + 0.5);
}

static PaletteEntry g_palette[256];
static const PaletteEntry *TestPalette(void)
{
    for (int i = 0; i < 256; i++)
        g_palette[i] = {(uint8_t)(255 - i), (uint8_t)(i * 7), (uint8_t)(i / 3 + 40), 0};
    return g_palette;
}

// Each blit, called through one signature for the table-driven tests.
struct BlitKind {
    const char *name;
    int dstBits, srcBits;
    void (*run)(DIB *dst, const Point *pos, const DIB *src);
};
static void Run_24(DIB *d, const Point *p, const DIB *s) { DIB24_BltDIBA24(d, p, s); }
static void Run_32(DIB *d, const Point *p, const DIB *s) { DIBA24_BltDIBA24(d, p, s); }
static void Run_Seed(DIB *d, const Point *p, const DIB *s) { DIBA24_BltDIBA24_2(d, p, s); }
static void Run_Grey(DIB *d, const Point *p, const DIB *s) { DIBGA8_BltDIBA24(d, p, s); }
static void Run_Pal24(DIB *d, const Point *p, const DIB *s) { DIB24_BltPaletteDIBGA8(d, p, s, TestPalette()); }
static void Run_Pal32(DIB *d, const Point *p, const DIB *s) { DIBA24_BltPaletteDIBGA8(d, p, s, TestPalette()); }
static void Run_Copy(DIB *d, const Point *p, const DIB *s) { DIB_Blt(d, p, s, nullptr); }
static void Run_Copy32(DIB *d, const Point *p, const DIB *s) { DIB_Blt(d, p, s, nullptr); }
static const BlitKind g_blits[] = {
    {"DIB24_BltDIBA24", 24, 32, Run_24},        {"DIBA24_BltDIBA24", 32, 32, Run_32},
    {"DIBA24_BltDIBA24_2", 32, 32, Run_Seed},   {"DIBGA8_BltDIBA24", 16, 32, Run_Grey},
    {"DIB24_BltPaletteDIBGA8", 24, 16, Run_Pal24}, {"DIBA24_BltPaletteDIBGA8", 32, 16, Run_Pal32},
    {"DIB_Blt 24", 24, 24, Run_Copy},           {"DIB_Blt 32", 32, 32, Run_Copy32},
};

TEST_CASE("alpha blits at alpha 0, 128 and 255 on 24- and 32-bit targets")
{
    // Widths that leave every remainder after groups of four and eight.
    for (int w : {1, 3, 4, 7, 8, 9, 17, 40}) {
        for (int alpha : {0, 128, 255}) {
            CAPTURE(w); CAPTURE(alpha);
            DIB *src = TestImage_Random(32, w, 3, (uint32_t)(w * 31 + alpha));
            for (int y = 0; y < 3; y++)
                for (int x = 0; x < w; x++)
                    TestPixel(src, x, y)[3] = (unsigned char)alpha;
            DIB *d24 = TestImage_Random(24, w, 3, 99);
            DIB *d32 = TestImage_Random(32, w, 3, 98);
            DIB *before24 = DIB_MakeCopy(d24), *before32 = DIB_MakeCopy(d32);
            DIB24_BltDIBA24(d24, nullptr, src);
            DIBA24_BltDIBA24(d32, nullptr, src);
            for (int y = 0; y < 3; y++)
                for (int x = 0; x < w; x++) {
                    const unsigned char *s = TestPixel(src, x, y);
                    const unsigned char *b24 = TestPixel(before24, x, y), *b32 = TestPixel(before32, x, y);
                    const unsigned char *o24 = TestPixel(d24, x, y), *o32 = TestPixel(d32, x, y);
                    int ref[4];
                    Ref_Over(s, alpha, b32, ref);
                    for (int c = 0; c < 3; c++) {
                        CHECK(o24[c] == Ref_Mix(s[c], b24[c], alpha));
                        if (alpha == 0)
                            CHECK(o32[c] == b32[c]);
                        else if (alpha == 255)
                            CHECK(o32[c] == s[c]);
                        else
                            CHECK(std::abs(o32[c] - ref[c]) <= 1);
                    }
                    CHECK(o32[3] == ref[3]);
                }
            DIB_Delete_(src); DIB_Delete_(d24); DIB_Delete_(d32);
            DIB_Delete_(before24); DIB_Delete_(before32);
        }
    }
}

TEST_CASE("blends of random pixels match the reference arithmetic")
{
    DIB *src = TestImage_Random(32, 37, 11, 5);
    DIB *d24 = TestImage_Random(24, 37, 11, 6);
    DIB *d32 = TestImage_Random(32, 37, 11, 7);
    DIB *b24 = DIB_MakeCopy(d24), *b32 = DIB_MakeCopy(d32);
    DIB24_BltDIBA24(d24, nullptr, src);
    DIBA24_BltDIBA24(d32, nullptr, src);
    int worst24 = 0, worst32 = 0, alphaMismatch = 0;
    for (int y = 0; y < 11; y++)
        for (int x = 0; x < 37; x++) {
            const unsigned char *s = TestPixel(src, x, y);
            int ref[4];
            Ref_Over(s, s[3], TestPixel(b32, x, y), ref);
            for (int c = 0; c < 3; c++) {
                worst24 = std::max(worst24, std::abs(TestPixel(d24, x, y)[c] - Ref_Mix(s[c], TestPixel(b24, x, y)[c], s[3])));
                worst32 = std::max(worst32, std::abs(TestPixel(d32, x, y)[c] - ref[c]));
            }
            alphaMismatch += TestPixel(d32, x, y)[3] != ref[3];
        }
    CHECK(worst24 == 0);
    CHECK(worst32 <= 1);
    CHECK(alphaMismatch == 0);
    DIB_Delete_(src); DIB_Delete_(d24); DIB_Delete_(d32); DIB_Delete_(b24); DIB_Delete_(b32);
}

TEST_CASE("a layer composed into a transparent image then onto a background looks the same as drawn directly")
{
    for (uint32_t seed = 1; seed <= 20; seed++) {
        CAPTURE(seed);
        int w = 23, h = 9;
        DIB *background = TestImage_Random(24, w, h, seed);
        DIB *layers[3] = {TestImage_Random(32, w, h, seed * 3), TestImage_Random(32, w, h, seed * 3 + 1),
                          TestImage_Random(32, w, h, seed * 3 + 2)};
        int count = (int)(seed % 3) + 1;
        DIB *direct = DIB_MakeCopy(background);
        DIB *stack = DIB_Create(32, w, h);
        for (int i = 0; i < count; i++) {
            DIB24_BltDIBA24(direct, nullptr, layers[i]);
            DIBA24_BltDIBA24(stack, nullptr, layers[i]);
        }
        DIB *viaStack = DIB_MakeCopy(background);
        DIB24_BltDIBA24(viaStack, nullptr, stack);
        int worst = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                for (int c = 0; c < 3; c++)
                    worst = std::max(worst, std::abs(TestPixel(direct, x, y)[c] - TestPixel(viaStack, x, y)[c]));
        CHECK(worst <= 1);
        // One layer alone goes through a transparent image unchanged.
        if (count == 1)
            CHECK(worst == 0);
        for (DIB *l : layers)
            DIB_Delete_(l);
        DIB_Delete_(background); DIB_Delete_(direct); DIB_Delete_(stack); DIB_Delete_(viaStack);
    }
}

// Blits one pixel pair through 1 x 1 images: the per-pixel result the
// clipping test expects wherever the placed source covers the target.
static void Blit_OnePixel(const BlitKind &k, unsigned char *dstPixel, const unsigned char *srcPixel)
{
    DIB *d = DIB_Create(k.dstBits, 1, 1), *s = DIB_Create(k.srcBits, 1, 1);
    memcpy(DIB_Bits(d), dstPixel, k.dstBits / 8);
    memcpy(DIB_Bits(s), srcPixel, k.srcBits / 8);
    k.run(d, nullptr, s);
    memcpy(dstPixel, DIB_Bits(d), k.dstBits / 8);
    DIB_Delete_(d);
    DIB_Delete_(s);
}

TEST_CASE("every blit clips at both images' edges")
{
    struct Placement { int x, y, srcW, srcH; };
    const Placement placements[] = {
        {0, 0, 5, 4}, {3, 2, 5, 4}, {-2, -3, 5, 4}, {8, 6, 5, 4}, {-4, 5, 5, 4},
        {-5, 0, 5, 4}, {0, 7, 5, 4}, {10, 0, 5, 4}, {-3, -2, 20, 15}, {-1000000, 0, 3, 3},
        {2147483000, 2147483000, 3, 3}, {-2147483000, 1, 9, 2},
    };
    for (const BlitKind &k : g_blits) {
        for (const Placement &p : placements) {
            INFO(k.name); CAPTURE(p.x); CAPTURE(p.y); CAPTURE(p.srcW);
            DIB *dst = TestImage_Random(k.dstBits, 10, 7, 11);
            DIB *src = TestImage_Random(k.srcBits, p.srcW, p.srcH, 12);
            DIB *expected = DIB_MakeCopy(dst);
            for (int y = 0; y < 7; y++)
                for (int x = 0; x < 10; x++) {
                    long long sx = (long long)x - p.x, sy = (long long)y - p.y;
                    if (sx >= 0 && sy >= 0 && sx < p.srcW && sy < p.srcH)
                        Blit_OnePixel(k, TestPixel(expected, x, y), TestPixel(src, (int)sx, (int)sy));
                }
            Point pos = {p.x, p.y};
            k.run(dst, &pos, src);
            CHECK(TestImage_Equal(dst, expected));
            DIB_Delete_(dst); DIB_Delete_(src); DIB_Delete_(expected);
        }
    }
}

TEST_CASE("blits between unsupported depths leave the target alone")
{
    DIB *d24 = TestImage_Random(24, 4, 4, 1), *s24 = TestImage_Random(24, 4, 4, 2);
    DIB *d16 = TestImage_Random(16, 4, 4, 3);
    DIB *k24 = DIB_MakeCopy(d24), *k16 = DIB_MakeCopy(d16);
    DIB24_BltDIBA24(d24, nullptr, s24);
    DIB24_BltPaletteDIBGA8(d24, nullptr, s24, TestPalette());
    DIB24_BltPaletteDIBGA8(d24, nullptr, d16, nullptr);
    DIBGA8_BltDIBA24(d16, nullptr, s24);
    DIB_Blt(d24, nullptr, d16, nullptr);
    DIB24_BltDIBA24(nullptr, nullptr, s24);
    CHECK(TestImage_Equal(d24, k24));
    CHECK(TestImage_Equal(d16, k16));
    DIB_Delete_(d24); DIB_Delete_(s24); DIB_Delete_(d16); DIB_Delete_(k24); DIB_Delete_(k16);
}

TEST_CASE("palette blits colour by grey and weigh by alpha")
{
    const PaletteEntry *pal = TestPalette();
    for (int alpha : {0, 128, 255}) {
        CAPTURE(alpha);
        DIB *src = DIB_Create(16, 256, 1);
        for (int g = 0; g < 256; g++) {
            TestPixel(src, g, 0)[0] = (unsigned char)g;
            TestPixel(src, g, 0)[1] = (unsigned char)alpha;
        }
        DIB *d24 = TestImage_Random(24, 256, 1, 4), *d32 = TestImage_Random(32, 256, 1, 5);
        DIB *b24 = DIB_MakeCopy(d24), *b32 = DIB_MakeCopy(d32);
        DIB24_BltPaletteDIBGA8(d24, nullptr, src, pal);
        DIBA24_BltPaletteDIBGA8(d32, nullptr, src, pal);
        for (int g = 0; g < 256; g++) {
            const unsigned char colour[3] = {pal[g].blue, pal[g].green, pal[g].red};
            int ref[4];
            Ref_Over(colour, alpha, TestPixel(b32, g, 0), ref);
            for (int c = 0; c < 3; c++) {
                CHECK(TestPixel(d24, g, 0)[c] == Ref_Mix(colour[c], TestPixel(b24, g, 0)[c], alpha));
                if (alpha == 255)
                    CHECK(TestPixel(d32, g, 0)[c] == colour[c]);
                else if (alpha == 0)
                    CHECK(TestPixel(d32, g, 0)[c] == TestPixel(b32, g, 0)[c]);
                else
                    CHECK(std::abs(TestPixel(d32, g, 0)[c] - ref[c]) <= 1);
            }
            CHECK(TestPixel(d32, g, 0)[3] == ref[3]);
        }
        DIB_Delete_(src); DIB_Delete_(d24); DIB_Delete_(d32); DIB_Delete_(b24); DIB_Delete_(b32);
    }
}

TEST_CASE("DIBGA8_BltDIBA24 keeps grey exact, weighs colour by luminance and copies alpha")
{
    DIB *src = DIB_Create(32, 256, 2);
    for (int v = 0; v < 256; v++) {
        unsigned char *p = TestPixel(src, v, 0);
        p[0] = p[1] = p[2] = (unsigned char)v;
        p[3] = (unsigned char)(255 - v);
        unsigned char *q = TestPixel(src, v, 1);
        q[0] = (unsigned char)v; q[1] = (unsigned char)(v * 3); q[2] = (unsigned char)(v * 5);
        q[3] = (unsigned char)v;
    }
    DIB *grey = DIB_Create(16, 256, 2);
    DIBGA8_BltDIBA24(grey, nullptr, src);
    for (int v = 0; v < 256; v++) {
        CHECK(TestPixel(grey, v, 0)[0] == v);
        CHECK(TestPixel(grey, v, 0)[1] == 255 - v);
        const unsigned char *q = TestPixel(src, v, 1);
        CHECK(TestPixel(grey, v, 1)[0] == (77 * q[2] + 150 * q[1] + 29 * q[0]) >> 8);
        CHECK(TestPixel(grey, v, 1)[1] == v);
    }
    DIB_Delete_(src); DIB_Delete_(grey);
}

TEST_CASE("drag caches split around the selected layer reproduce the full composition")
{
    int w = 31, h = 12;
    DIB *layers[5];
    for (int i = 0; i < 5; i++)
        layers[i] = TestImage_Random(32, w, h, 40 + i);
    for (int selected = 0; selected < 5; selected++) {
        CAPTURE(selected);
        // Full composition, back (index 4) to front (index 0), over green.
        DIB *full = DIB_Create(24, w, h);
        DIB24_FillRect(full, nullptr, 0x00FF00);
        for (int i = 4; i >= 0; i--)
            DIB24_BltDIBA24(full, nullptr, layers[i]);
        // Caches as the canvas builds them.
        DIB *below = DIB_Create(32, w, h), *above = DIB_Create(32, w, h);
        int i = 4;
        for (; i > selected; i--)
            DIBA24_BltDIBA24(below, nullptr, layers[i]);
        DIBA24_BltDIBA24_2(above, nullptr, below);
        for (i = selected - 1; i >= 0; i--)
            DIBA24_BltDIBA24(above, nullptr, layers[i]);
        DIB *fast = DIB_Create(24, w, h);
        DIB24_FillRect(fast, nullptr, 0x00FF00);
        DIB24_BltDIBA24(fast, nullptr, below);
        DIB24_BltDIBA24(fast, nullptr, layers[selected]);
        DIB24_BltDIBA24(fast, nullptr, above);
        int worst = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                for (int c = 0; c < 3; c++)
                    worst = std::max(worst, std::abs(TestPixel(full, x, y)[c] - TestPixel(fast, x, y)[c]));
        CHECK(worst <= 1);
        DIB_Delete_(full); DIB_Delete_(below); DIB_Delete_(above); DIB_Delete_(fast);
    }
    for (DIB *l : layers)
        DIB_Delete_(l);
}

TEST_CASE("DIBA24_BltDIBA24_2 clears the overlap to transparent and nothing else")
{
    DIB *dst = TestImage_Random(32, 6, 5, 8);
    DIB *src = TestImage_Random(32, 3, 3, 9);
    DIB *before = DIB_MakeCopy(dst);
    Point pos = {4, -1};
    DIBA24_BltDIBA24_2(dst, &pos, src);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 6; x++) {
            int inside = x >= 4 && y < 2;
            for (int c = 0; c < 4; c++)
                CHECK(TestPixel(dst, x, y)[c] == (inside ? 0 : TestPixel(before, x, y)[c]));
        }
    DIB_Delete_(dst); DIB_Delete_(src); DIB_Delete_(before);
}

TEST_CASE("DIB_Blt copies a source rectangle, clipped, and within one image")
{
    DIB *src = TestImage_Random(24, 8, 6, 20);
    DIB *dst = DIB_Create(24, 5, 5);
    Rect r = {2, 1, 6, 4};  // 4 x 3 from (2, 1)
    Point pos = {3, 1};
    DIB_Blt(dst, &pos, src, &r);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 5; x++) {
            int inside = x >= 3 && y >= 1 && y < 4;
            for (int c = 0; c < 3; c++)
                CHECK(TestPixel(dst, x, y)[c] == (inside ? TestPixel(src, x - 3 + 2, y - 1 + 1)[c] : 0));
        }
    // A rectangle reaching past the source's top-left corner keeps its placement.
    DIB *dst2 = DIB_Create(24, 5, 5);
    Rect outside = {-1, -1, 2, 2};
    Point origin = {0, 0};
    DIB_Blt(dst2, &origin, src, &outside);
    CHECK(memcmp(TestPixel(dst2, 1, 1), TestPixel(src, 0, 0), 3) == 0);
    CHECK(memcmp(TestPixel(dst2, 2, 2), TestPixel(src, 1, 1), 3) == 0);
    CHECK(TestPixel(dst2, 0, 0)[0] == 0);
    // Overlapping copies within one image behave like copies from a snapshot.
    for (int dy = -2; dy <= 2; dy++)
        for (int dx = -2; dx <= 2; dx++) {
            DIB *image = TestImage_Random(32, 7, 7, 21);
            DIB *snapshot = DIB_MakeCopy(image);
            DIB *expected = DIB_MakeCopy(image);
            Point to = {1 + dx, 1 + dy};
            Rect from = {1, 1, 6, 6};
            DIB_Blt(expected, &to, snapshot, &from);
            DIB_Blt(image, &to, image, &from);
            CAPTURE(dx); CAPTURE(dy);
            CHECK(TestImage_Equal(image, expected));
            DIB_Delete_(image); DIB_Delete_(snapshot); DIB_Delete_(expected);
        }
    DIB_Delete_(src); DIB_Delete_(dst); DIB_Delete_(dst2);
}

TEST_CASE("an image blended onto itself is blended from its own earlier state")
{
    DIB *image = TestImage_Random(32, 9, 4, 30);
    DIB *copy = DIB_MakeCopy(image);
    DIB *expected = DIB_MakeCopy(image);
    Point pos = {2, 1};
    DIBA24_BltDIBA24(expected, &pos, copy);
    DIBA24_BltDIBA24(image, &pos, image);
    CHECK(TestImage_Equal(image, expected));
    DIB_Delete_(image); DIB_Delete_(copy); DIB_Delete_(expected);
}
