// GDI text in images and images copied to a device context (Windows only).
#include <doctest.h>

#include <cstring>

#include "core/imaging/dib_win32.h"
#include "tests/core/test_dib_images.h"

static int Text_CountChanged(const DIB *a, const DIB *b, const Rect *r, int inside)
{
    int changed = 0;
    for (int y = 0; y < a->height; y++)
        for (int x = 0; x < a->width; x++) {
            int in = x >= r->left && x < r->right && y >= r->top && y < r->bottom;
            if (in == inside && memcmp(TestPixel(a, x, y), TestPixel(b, x, y), 3) != 0)
                changed++;
        }
    return changed;
}

TEST_CASE("DIB_DrawTextEx draws inside the rectangle only, background kept")
{
    TextInfo info;
    TextInfo_Init(&info);
    CHECK(info.charHeight == 12);
    info.charWidth = 6;
    info.charHeight = 12;
    struct Case { uint32_t options; const char *text; Rect r; };
    const Case cases[] = {
        {TEXTINFO_VCENTER, "Hair band", {16, 0, 120, 24}},
        {TEXTINFO_VCENTER | TEXTINFO_ELLIPSIS, "머리띠와 아주 긴 이름의 장식", {24, 0, 80, 24}},
        {0, "Two words", {5, 3, 60, 20}},
        {TEXTINFO_VCENTER, "Clipped at the right edge", {100, 2, 400, 22}},
    };
    for (const Case &c : cases) {
        CAPTURE(c.options);
        DIB *image = DIB_Create(24, 150, 24);
        DIB24_GradeH(image, 0x400000, 0xFF0000);
        DIB *before = DIB_MakeCopy(image);
        info.options = c.options;
        info.colour = RGB(255, 255, 255);
        CHECK(DIB_DrawTextEx(image, &c.r, c.text, &info) == 1);
        CHECK(Text_CountChanged(image, before, &c.r, 1) > 10);
        CHECK(Text_CountChanged(image, before, &c.r, 0) == 0);
        DIB_Delete_(image);
        DIB_Delete_(before);
    }
}

TEST_CASE("DIB_DrawTextEx refuses what it cannot draw into")
{
    TextInfo info;
    TextInfo_Init(&info);
    DIB *image32 = DIB_Create(32, 20, 20);
    DIB *image24 = DIB_Create(24, 20, 20);
    Rect r = {0, 0, 20, 20};
    Rect outside = {30, 30, 60, 60};
    CHECK(DIB_DrawTextEx(image32, &r, "x", &info) == 0);
    CHECK(DIB_DrawTextEx(image24, &outside, "x", &info) == 0);
    CHECK(DIB_DrawTextEx(image24, &r, nullptr, &info) == 0);
    DIB_Delete_(image32);
    DIB_Delete_(image24);
}

TEST_CASE("HDC_DrawDIB copies the image, top-down, into a memory device context")
{
    DIB *image = TestImage_Random(24, 7, 5, 3);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 10;
    bi.bmiHeader.biHeight = -8;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    REQUIRE(section);
    HGDIOBJ old = SelectObject(dc, section);
    memset(bits, 0x11, 10 * 8 * 4);

    // Part of the image: 4 x 3 pixels from (2, 1) to (5, 4) in the DC.
    Rect dst = {5, 4, 9, 7};
    Point from = {2, 1};
    CHECK(HDC_DrawDIB(dc, &dst, &from, image, SRCCOPY) == 1);
    GdiFlush();
    const unsigned char *px = (const unsigned char *)bits;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 10; x++) {
            const unsigned char *p = px + (y * 10 + x) * 4;
            CAPTURE(x); CAPTURE(y);
            if (x >= 5 && x < 9 && y >= 4 && y < 7)
                CHECK(memcmp(p, TestPixel(image, x - 5 + 2, y - 4 + 1), 3) == 0);
            else
                CHECK((p[0] == 0x11 && p[1] == 0x11 && p[2] == 0x11));
        }
    // The whole image at (0, 0).
    CHECK(HDC_DrawDIB(dc, nullptr, nullptr, image, SRCCOPY) == 1);
    GdiFlush();
    CHECK(memcmp(px, TestPixel(image, 0, 0), 3) == 0);
    CHECK(memcmp(px + (4 * 10 + 6) * 4, TestPixel(image, 6, 4), 3) == 0);

    DIB *grey = DIB_Create(16, 4, 4);
    CHECK(HDC_DrawDIB(dc, nullptr, nullptr, grey, SRCCOPY) == 0);
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
    DIB_Delete_(grey);
    DIB_Delete_(image);
}
