// Part images: every row filter and sample layout through the row-by-row
// decoder, streams longer or shorter than the picture, the size limit read
// from the header, trimming to the visible box, shared images, and blits
// whose fast paths skip transparent pixels.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "core/imaging/dib.h"
#include "tests/core/test_dib_images.h"

namespace {

void Put32(std::vector<unsigned char> &out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((unsigned char)(v >> shift));
}

void Chunk(std::vector<unsigned char> &out, const char *type, const unsigned char *data, size_t size)
{
    Put32(out, (uint32_t)size);
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    Put32(out, (uint32_t)crc32(0, out.data() + start, (uInt)(out.size() - start)));
}

int Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The rows filtered as a PNG stores them, row y with filter y % 5.
std::vector<unsigned char> FilterRows(const std::vector<unsigned char> &raw, int w, int h, int bpp)
{
    std::vector<unsigned char> out;
    size_t n = (size_t)w * bpp;
    std::vector<unsigned char> zero(n, 0);
    for (int y = 0; y < h; y++) {
        const unsigned char *row = raw.data() + y * n;
        const unsigned char *up = y ? raw.data() + (y - 1) * n : zero.data();
        int f = y % 5;
        out.push_back((unsigned char)f);
        for (size_t i = 0; i < n; i++) {
            int a = i >= (size_t)bpp ? row[i - bpp] : 0, b = up[i], c = i >= (size_t)bpp ? up[i - bpp] : 0;
            int pred = f == 0 ? 0 : f == 1 ? a : f == 2 ? b : f == 3 ? (a + b) / 2 : Paeth(a, b, c);
            out.push_back((unsigned char)(row[i] - pred));
        }
    }
    return out;
}

// A PNG of the filtered data, its zlib stream cut into IDAT chunks of
// `idatSize` bytes, with optional chunks before the image data.
std::vector<unsigned char> BuildPng(int w, int h, int colourType, const std::vector<unsigned char> &filtered,
                                    size_t idatSize, const std::vector<unsigned char> &trns = {},
                                    const std::vector<unsigned char> &plte = {})
{
    std::vector<unsigned char> png = {137, 80, 78, 71, 13, 10, 26, 10};
    std::vector<unsigned char> ihdr;
    Put32(ihdr, (uint32_t)w);
    Put32(ihdr, (uint32_t)h);
    ihdr.insert(ihdr.end(), {8, (unsigned char)colourType, 0, 0, 0});
    Chunk(png, "IHDR", ihdr.data(), ihdr.size());
    if (!plte.empty())
        Chunk(png, "PLTE", plte.data(), plte.size());
    if (!trns.empty())
        Chunk(png, "tRNS", trns.data(), trns.size());
    uLongf size = compressBound((uLong)filtered.size());
    std::vector<unsigned char> z(size);
    compress2(z.data(), &size, filtered.data(), (uLong)filtered.size(), 6);
    for (size_t at = 0; at < size; at += idatSize)
        Chunk(png, "IDAT", z.data() + at, std::min(idatSize, (size_t)size - at));
    Chunk(png, "IEND", nullptr, 0);
    return png;
}

// The expected BGRA of raw samples of the colour type.
void ExpectedPixel(const unsigned char *s, int colourType, unsigned char out[4])
{
    switch (colourType) {
    case 6: out[0] = s[2]; out[1] = s[1]; out[2] = s[0]; out[3] = s[3]; break;
    case 2: out[0] = s[2]; out[1] = s[1]; out[2] = s[0]; out[3] = 255; break;
    case 4: out[0] = out[1] = out[2] = s[0]; out[3] = s[1]; break;
    default: out[0] = out[1] = out[2] = s[0]; out[3] = 255; break;
    }
}

int SamplesOf(int colourType)
{
    return colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
}

std::vector<unsigned char> RandomBytes(size_t n, unsigned seed)
{
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; i++) {
        seed = seed * 1103515245u + 12345u;
        v[i] = (unsigned char)(seed >> 16);
    }
    return v;
}

}  // namespace

TEST_CASE("every row filter, sample layout and IDAT split decodes to the pixels encoded")
{
    const int w = 13, h = 11;
    for (int colourType : {0, 2, 4, 6}) {
        for (size_t idatSize : {(size_t)1, (size_t)7, (size_t)1 << 20}) {
            CAPTURE(colourType);
            CAPTURE(idatSize);
            int bpp = SamplesOf(colourType);
            std::vector<unsigned char> raw = RandomBytes((size_t)w * h * bpp, (unsigned)(colourType * 31 + idatSize));
            std::vector<unsigned char> png = BuildPng(w, h, colourType, FilterRows(raw, w, h, bpp), idatSize);
            DIB *image = DIB_CreateFromMemory(png.data(), png.size());
            REQUIRE(image);
            int wrong = 0;
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++) {
                    unsigned char expected[4];
                    ExpectedPixel(raw.data() + ((size_t)y * w + x) * bpp, colourType, expected);
                    wrong += memcmp(TestPixel(image, x, y), expected, 4) != 0;
                }
            CHECK(wrong == 0);
            DIB_Delete_(image);
        }
    }
}

TEST_CASE("image data short of the picture is refused, data beyond it passed over")
{
    const int w = 5, h = 4;
    std::vector<unsigned char> raw = RandomBytes((size_t)w * h * 4, 3);
    std::vector<unsigned char> filtered = FilterRows(raw, w, h, 4);
    std::vector<unsigned char> longer = filtered;
    longer.insert(longer.end(), 1 + w * 4, 0);  // one row too many
    std::vector<unsigned char> shorter(filtered.begin(), filtered.end() - (1 + w * 4));
    std::vector<unsigned char> badFilter = filtered;
    badFilter[0] = 5;
    for (const std::vector<unsigned char> *rows : {&longer, &shorter, &badFilter}) {
        std::vector<unsigned char> png = BuildPng(w, h, 6, *rows, 1 << 20);
        DIB *image = DIB_CreateFromMemory(png.data(), png.size());
        CHECK((image != nullptr) == (rows == &longer));
        if (image) {
            unsigned char expected[4];
            ExpectedPixel(raw.data() + 4 * (w * h - 1), 6, expected);
            CHECK(memcmp(TestPixel(image, w - 1, h - 1), expected, 4) == 0);
        }
        DIB_Delete_(image);
    }
}

TEST_CASE("a transparent-colour chunk makes that colour transparent")
{
    // RGB with a tRNS colour: the general decoder's case.
    std::vector<unsigned char> raw = {10, 20, 30, 40, 50, 60};
    std::vector<unsigned char> png = BuildPng(2, 1, 2, FilterRows(raw, 2, 1, 3), 1 << 20, {0, 40, 0, 50, 0, 60});
    DIB *image = DIB_CreateFromMemory(png.data(), png.size());
    REQUIRE(image);
    CHECK(TestPixel(image, 0, 0)[3] == 255);
    CHECK(TestPixel(image, 1, 0)[3] == 0);
    DIB_Delete_(image);
}

TEST_CASE("palette indices past the palette's end decode to opaque black, every time")
{
    // Two entries, the second half transparent; pixels use indices 0, 1, 2, 200.
    std::vector<unsigned char> raw = {0, 1, 2, 200};
    std::vector<unsigned char> png = BuildPng(4, 1, 3, FilterRows(raw, 4, 1, 1), 1 << 20, {255, 128},
                                              {10, 20, 30, 40, 50, 60});
    const unsigned char expected[4][4] = {{30, 20, 10, 255}, {60, 50, 40, 128}, {0, 0, 0, 255}, {0, 0, 0, 255}};
    for (int round = 0; round < 2; round++) {
        DIB *image = DIB_CreateFromMemory(png.data(), png.size());
        TrimmedImage part;
        REQUIRE(image);
        REQUIRE(DIB_DecodePartMemory(png.data(), png.size(), DIB_MAX_PART_SIDE, 1, &part) == TRIM_OK);
        for (int x = 0; x < 4; x++) {
            CAPTURE(x);
            CHECK(memcmp(TestPixel(image, x, 0), expected[x], 4) == 0);
            CHECK(memcmp(TestPixel(part.image, x, 0), expected[x], 4) == 0);
        }
        DIB_Delete_(image);
        DIB_Delete_(part.image);
    }
    // A transparency list longer than the palette is still refused.
    std::vector<unsigned char> bad = BuildPng(4, 1, 3, FilterRows(raw, 4, 1, 1), 1 << 20, {1, 2, 3},
                                              {10, 20, 30, 40, 50, 60});
    CHECK(DIB_CreateFromMemory(bad.data(), bad.size()) == nullptr);
}

TEST_CASE("part images over 4096 pixels per side are refused from the header")
{
    struct Case { int w, h, result; };
    const Case cases[] = {
        {4097, 1, TRIM_TOO_LARGE}, {1, 4097, TRIM_TOO_LARGE}, {8192, 8192, TRIM_TOO_LARGE},
        {4096, 1, TRIM_OK},        {1, 4096, TRIM_OK},
    };
    for (const Case &c : cases) {
        CAPTURE(c.w);
        CAPTURE(c.h);
        // Opaque grey rows: tiny when compressed, whatever the size.
        std::vector<unsigned char> rows((size_t)c.h * (1 + (size_t)c.w), 0);
        for (size_t i = 0; i < rows.size(); i++)
            rows[i] = i % (1 + (size_t)c.w) ? 200 : 0;
        if ((long long)c.w * c.h > 1 << 20)
            rows.assign(1 + (size_t)c.w, 0);  // the header is all that is read
        std::vector<unsigned char> png = BuildPng(c.w, c.h, 0, rows, 1 << 20);
        TrimmedImage part;
        CHECK(DIB_DecodePartMemory(png.data(), png.size(), DIB_MAX_PART_SIDE, 1, &part) == c.result);
        CHECK((part.image != nullptr) == (c.result == TRIM_OK));
        if (part.image) {
            CHECK(part.fullWidth == c.w);
            CHECK(part.fullHeight == c.h);
        }
        DIB_Delete_(part.image);
    }
    const unsigned char junk[] = "not a picture at all, though longer than a header";
    TrimmedImage part;
    CHECK(DIB_DecodePartMemory(junk, sizeof junk, DIB_MAX_PART_SIDE, 1, &part) == TRIM_UNREADABLE);
    CHECK(DIB_DecodePartFile("no such folder\\no such file.png", DIB_MAX_PART_SIDE, 1, &part) == TRIM_UNREADABLE);
}

TEST_CASE("trimming keeps exactly the box of visible pixels and where it was")
{
    struct Case { const char *what; int left, top, right, bottom; };  // visible box, half-open; empty = none
    const Case cases[] = {
        {"inner box", 3, 2, 9, 5},
        {"touching every edge", 0, 0, 12, 7},
        {"one pixel in a corner", 11, 6, 12, 7},
        {"nothing visible", 0, 0, 0, 0},
    };
    const int w = 12, h = 7;
    for (const Case &c : cases) {
        CAPTURE(c.what);
        DIB *whole = TestImage_Random(32, w, h, 9);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                unsigned char *p = DIB_RowTD(whole, y) + 4 * x;
                // Box corners visible, its inside partly clear.
                bool corner = (x == c.left || x == c.right - 1) && (y == c.top || y == c.bottom - 1);
                p[3] = !inside ? 0 : corner ? 255 : (unsigned char)((x + y) % 3 ? 0 : 90);
            }
        Point offset = {-1, -1};
        DIB *trimmed = DIB_Trim(whole, &offset);
        REQUIRE(trimmed);
        if (c.right == 0) {
            CHECK(trimmed->width == 1);
            CHECK(trimmed->height == 1);
            CHECK(offset.x == 0);
            CHECK(offset.y == 0);
            CHECK(TestPixel(trimmed, 0, 0)[3] == 0);
        } else {
            CHECK(offset.x == c.left);
            CHECK(offset.y == c.top);
            REQUIRE(trimmed->width == c.right - c.left);
            REQUIRE(trimmed->height == c.bottom - c.top);
            int wrong = 0;
            for (int y = 0; y < trimmed->height; y++)
                for (int x = 0; x < trimmed->width; x++)
                    wrong += memcmp(TestPixel(trimmed, x, y), TestPixel(whole, x + c.left, y + c.top), 4) != 0;
            CHECK(wrong == 0);
        }
        // The file path gives the same box, and the whole image untrimmed.
        size_t size = 0;
        unsigned char *png = DIB_EncodePNG(whole, &size);
        TrimmedImage part, full;
        REQUIRE(DIB_DecodePartMemory(png, size, DIB_MAX_PART_SIDE, 1, &part) == TRIM_OK);
        REQUIRE(DIB_DecodePartMemory(png, size, DIB_MAX_PART_SIDE, 0, &full) == TRIM_OK);
        CHECK(part.offset.x == offset.x);
        CHECK(part.offset.y == offset.y);
        CHECK(part.image->width == trimmed->width);
        CHECK(part.image->height == trimmed->height);
        CHECK(part.fullWidth == w);
        CHECK(part.fullHeight == h);
        CHECK(full.offset.x == 0);
        CHECK(full.offset.y == 0);
        CHECK(full.image->width == w);
        CHECK(memcmp(DIB_Bits(full.image), DIB_Bits(whole), whole->sizeImage) == 0);
        free(png);
        DIB_Delete_(part.image);
        DIB_Delete_(full.image);
        DIB_Delete_(trimmed);
        DIB_Delete_(whole);
    }
}

TEST_CASE("a shared image lives until its last holder lets go")
{
    DIB *image = TestImage_Random(32, 4, 4, 1);
    CHECK_FALSE(DIB_IsShared(image));
    DIB *second = DIB_Share(image);
    CHECK(second == image);
    CHECK(DIB_IsShared(image));
    DIB_Delete_(image);
    CHECK_FALSE(DIB_IsShared(second));
    // Still readable (the sanitizer build would catch a use after free).
    CHECK(second->width == 4);
    DIB_Delete_(second);
    CHECK(DIB_Share(nullptr) == nullptr);
    DIB_Delete_(nullptr);
}

TEST_CASE("row blits with transparent runs equal the same blits pixel by pixel")
{
    // Rows mixing long transparent runs (across the tint's 64-pixel runs and
    // the 8-pixel groups), opaque runs and partial alpha.
    const int w = 203;
    DIB *src32 = TestImage_Random(32, w, 3, 4);
    DIB *src16 = DIB_Create(16, w, 3);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < w; x++) {
            int band = (x + 17 * y) / 23 % 4;
            unsigned char alpha = band == 0 ? 0 : band == 1 ? 255 : band == 2 ? 0 : (unsigned char)(x * 7);
            if (x >= 150 && y == 1)
                alpha = 0;  // a transparent end
            DIB_RowTD(src32, y)[4 * x + 3] = alpha;
            DIB_RowTD(src16, y)[2 * x] = (unsigned char)(x * 3 + y);
            DIB_RowTD(src16, y)[2 * x + 1] = alpha;
        }
    PaletteEntry palette[256];
    for (int i = 0; i < 256; i++)
        palette[i] = {(uint8_t)i, (uint8_t)(255 - i), (uint8_t)(i * 5), 0};
    struct Kind { int dstBits, srcBits; };
    for (Kind k : {Kind{24, 32}, Kind{32, 32}, Kind{24, 16}, Kind{32, 16}}) {
        CAPTURE(k.dstBits);
        CAPTURE(k.srcBits);
        const DIB *src = k.srcBits == 32 ? src32 : src16;
        DIB *whole = TestImage_Random(k.dstBits, w, 3, 8);
        // Stretches of transparent target, where "over" is a plain select.
        for (int y = 0; k.dstBits == 32 && y < 3; y++)
            for (int x = 0; x < w; x++)
                if ((x + 9 * y) / 40 % 2 == 0)
                    DIB_RowTD(whole, y)[4 * x + 3] = 0;
        DIB *single = DIB_MakeCopy(whole);
        auto blit = [&](DIB *dst, const Point *pos, const DIB *s) {
            if (k.srcBits == 16)
                (k.dstBits == 24 ? DIB24_BltPaletteDIBGA8 : DIBA24_BltPaletteDIBGA8)(dst, pos, s, palette);
            else
                (k.dstBits == 24 ? DIB24_BltDIBA24 : DIBA24_BltDIBA24)(dst, pos, s);
        };
        blit(whole, nullptr, src);
        DIB *one = DIB_Create(k.srcBits, 1, 1);
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < w; x++) {
                memcpy(DIB_RowTD(one, 0), DIB_RowTD(src, y) + k.srcBits / 8 * x, k.srcBits / 8);
                Point at = {x, y};
                blit(single, &at, one);
            }
        CHECK(memcmp(DIB_Bits(whole), DIB_Bits(single), whole->sizeImage) == 0);
        DIB_Delete_(one);
        DIB_Delete_(whole);
        DIB_Delete_(single);
    }
    DIB_Delete_(src32);
    DIB_Delete_(src16);
}
