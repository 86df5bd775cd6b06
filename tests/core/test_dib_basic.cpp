// Image creation, layout, row numbering, fills and the gradient.
#include <doctest.h>

#include <cstddef>
#include <cstdlib>
#include <initializer_list>

#include "core/imaging/dib.h"
#include "tests/core/test_dib_images.h"

TEST_CASE("DIB_Create gives zeroed images with padded rows and refuses absurd sizes")
{
    struct Case { int bits, w, h, rowBytes; };
    const Case ok[] = {
        {24, 1, 1, 4}, {24, 3, 2, 12}, {24, 5, 1, 16}, {32, 3, 4, 12}, {16, 1, 3, 4}, {16, 3, 1, 8},
        {32, DIB_MAX_SIDE, 1, DIB_MAX_SIDE * 4},
    };
    for (const Case &c : ok) {
        CAPTURE(c.bits); CAPTURE(c.w); CAPTURE(c.h);
        DIB *image = DIB_Create(c.bits, c.w, c.h);
        REQUIRE(image);
        CHECK(image->size == 40);
        CHECK(image->width == c.w);
        CHECK(image->height == c.h);
        CHECK(image->planes == 1);
        CHECK(image->bitCount == c.bits);
        CHECK(image->clrUsed == 0);
        CHECK(DIB_BytesPerRow(image) == c.rowBytes);
        CHECK(image->sizeImage == (uint32_t)(c.rowBytes * c.h));
        CHECK(DIB_Bits(image) == (unsigned char *)image + 40);
        int nonZero = 0;
        for (uint32_t i = 0; i < image->sizeImage; i++)
            nonZero += DIB_Bits(image)[i] != 0;
        CHECK(nonZero == 0);
        DIB_Delete_(image);
    }
    const Case bad[] = {
        {24, 0, 1, 0}, {24, 1, 0, 0}, {24, -5, 10, 0}, {32, 10, -1, 0}, {8, 4, 4, 0}, {1, 4, 4, 0},
        {32, DIB_MAX_SIDE + 1, 1, 0}, {32, 1, DIB_MAX_SIDE + 1, 0}, {32, DIB_MAX_SIDE, DIB_MAX_SIDE, 0},
        {32, 0x7FFFFFFF, 0x7FFFFFFF, 0},
    };
    for (const Case &c : bad) {
        CAPTURE(c.bits); CAPTURE(c.w); CAPTURE(c.h);
        CHECK(DIB_Create(c.bits, c.w, c.h) == nullptr);
    }
}

TEST_CASE("DIB_MakeCopy copies header and pixels into a separate block")
{
    DIB *image = TestImage_Random(24, 7, 5, 1);
    DIB *copy = DIB_MakeCopy(image);
    REQUIRE(copy);
    CHECK(copy != image);
    CHECK(TestImage_Equal(image, copy));
    TestPixel(copy, 0, 0)[0] ^= 0xFF;
    CHECK(!TestImage_Equal(image, copy));
    DIB_Delete_(image);
    DIB_Delete_(copy);
    CHECK(DIB_MakeCopy(nullptr) == nullptr);
    DIB_Delete_(nullptr);
}

TEST_CASE("DIB_GetBmpInfo reports the stored layout")
{
    DIB *image = DIB_Create(24, 5, 3);
    BmpInfo info;
    DIB_GetBmpInfo(image, &info);
    CHECK(info.width == 5);
    CHECK(info.height == 3);
    CHECK(info.bitsPerPixel == 24);
    CHECK(info.bytesPerRow == 16);
    CHECK(info.flags == BMPINFO_BOTTOMUP);
    CHECK(info.bits == DIB_Bits(image));
    // The first stored row is the bottom row of the picture.
    CHECK(DIB_RowTD(image, 2) == info.bits);
    CHECK(DIB_RowTD(image, 0) == info.bits + 2 * 16);
    if (sizeof(void *) == 4) {
        CHECK(offsetof(BmpInfo, height) == 4);
        CHECK(offsetof(BmpInfo, bitsPerPixel) == 8);
        CHECK(offsetof(BmpInfo, bytesPerRow) == 12);
        CHECK(offsetof(BmpInfo, flags) == 16);
        CHECK(offsetof(BmpInfo, bits) == 28);
    }
    DIB_Delete_(image);
}

TEST_CASE("DIB_TDtoBU maps picture rows to stored rows")
{
    DIB *image = DIB_Create(24, 4, 10);
    struct Case { int top, bottom, storedTop, storedBottom; };
    const Case cases[] = {{0, 10, 0, 10}, {2, 5, 5, 8}, {0, 1, 9, 10}, {9, 10, 0, 1}, {3, 3, 7, 7}};
    for (const Case &c : cases) {
        Rect r = {1, c.top, 3, c.bottom};
        DIB_TDtoBU(image, &r);
        CHECK(r.left == 1);
        CHECK(r.right == 3);
        CHECK(r.top == c.storedTop);
        CHECK(r.bottom == c.storedBottom);
    }
    // Stored row r.top is the picture's row bottom - 1.
    Rect r = {0, 2, 4, 5};
    DIB_TDtoBU(image, &r);
    CHECK(DIB_Bits(image) + r.top * DIB_BytesPerRow(image) == DIB_RowTD(image, 4));
    DIB_Delete_(image);
}

TEST_CASE("DIB24_FillRect fills exactly the clipped rectangle")
{
    for (int bits : {24, 32}) {
        CAPTURE(bits);
        DIB *image = DIB_Create(bits, 9, 7);
        DIB24_FillRect(image, nullptr, 0x00FF00);
        for (int y = 0; y < 7; y++)
            for (int x = 0; x < 9; x++) {
                unsigned char *p = TestPixel(image, x, y);
                CHECK((p[0] == 0 && p[1] == 255 && p[2] == 0));
                if (bits == 32)
                    CHECK(p[3] == 255);
            }
        // Colour 0x00BBGGRR lands as blue, green, red bytes.
        Rect r = {-2, 5, 3, 100};
        DIB24_FillRect(image, &r, 0x112233);
        Rect empty = {4, 4, 4, 6};
        DIB24_FillRect(image, &empty, 0x000000);
        for (int y = 0; y < 7; y++)
            for (int x = 0; x < 9; x++) {
                unsigned char *p = TestPixel(image, x, y);
                int inside = x < 3 && y >= 5;
                CAPTURE(x); CAPTURE(y);
                CHECK(p[0] == (inside ? 0x11 : 0));
                CHECK(p[1] == (inside ? 0x22 : 255));
                CHECK(p[2] == (inside ? 0x33 : 0));
            }
        DIB_Delete_(image);
    }
}

TEST_CASE("DIB24_GradeH runs from the left colour to the right colour")
{
    for (int w : {1, 2, 5, 256}) {
        CAPTURE(w);
        DIB *image = DIB_Create(24, w, 3);
        DIB24_GradeH(image, 0x400000, 0xFF00FF);
        for (int y = 0; y < 3; y++) {
            unsigned char *left = TestPixel(image, 0, y);
            CHECK((left[0] == 0x40 && left[1] == 0 && left[2] == 0));
            if (w > 1) {
                unsigned char *right = TestPixel(image, w - 1, y);
                CHECK((right[0] == 0xFF && right[1] == 0 && right[2] == 0xFF));
            }
            for (int x = 1; x < w; x++) {
                CHECK(TestPixel(image, x, y)[0] >= TestPixel(image, x - 1, y)[0]);
                CHECK(TestPixel(image, x, y)[2] >= TestPixel(image, x - 1, y)[2]);
            }
        }
        if (w == 256)  // a 0..255 ramp of red is exact
            for (int x = 0; x < 256; x++)
                CHECK(TestPixel(image, x, 1)[2] == x);
        DIB_Delete_(image);
    }
}
