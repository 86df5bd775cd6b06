// Small helpers shared by the imaging tests: deterministic random images and
// pixel access by top-down coordinates.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/imaging/dib.h"

struct TestRandom {
    uint32_t state;
};

static inline uint32_t TestRandom_Next(TestRandom *r)
{
    uint32_t x = r->state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    r->state = x;
    return x;
}

static inline int TestRandom_Byte(TestRandom *r)
{
    return (int)(TestRandom_Next(r) >> 24);
}

// Alphas drawn from a mix that real layers have: runs of fully transparent
// and fully opaque pixels, and anti-aliased values in between.
static inline int TestRandom_Alpha(TestRandom *r)
{
    int pick = TestRandom_Byte(r) % 4;
    return pick == 0 ? 0 : pick == 1 ? 255 : TestRandom_Byte(r);
}

static inline unsigned char *TestPixel(const DIB *image, int x, int y)
{
    return DIB_RowTD(image, y) + x * (image->bitCount / 8);
}

// Every byte of every pixel random; for 32 bits the alpha comes in runs of
// eight of one kind (transparent, opaque or mixed) to reach every code path.
static inline DIB *TestImage_Random(int bits, int w, int h, uint32_t seed)
{
    DIB *image = DIB_Create(bits, w, h);
    TestRandom r = {seed * 2654435761u + 1};
    int bpp = bits / 8;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < bpp; c++)
                TestPixel(image, x, y)[c] = (unsigned char)TestRandom_Byte(&r);
    if (bits == 32 || bits == 16) {
        int at = bits == 32 ? 3 : 1;
        for (int y = 0; y < h; y++) {
            int kind = 0;
            for (int x = 0; x < w; x++) {
                if (x % 8 == 0)
                    kind = TestRandom_Byte(&r) % 3;
                TestPixel(image, x, y)[at] = (unsigned char)(kind == 0 ? 0 : kind == 1 ? 255 : TestRandom_Alpha(&r));
            }
        }
    }
    return image;
}

static inline int TestImage_Equal(const DIB *a, const DIB *b)
{
    return a->width == b->width && a->height == b->height && a->bitCount == b->bitCount &&
           memcmp(DIB_Bits(a), DIB_Bits(b), a->sizeImage) == 0;
}
