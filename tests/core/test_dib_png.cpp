// PNG decoding and encoding: exact round trips, channel order and formats of
// PNGs written by hand, damaged and absurd input, and the file front ends.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include <zlib.h>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/imaging/png_kept.h"
#include "tests/core/test_dib_images.h"

static void Png_Put32(std::vector<unsigned char> &out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((unsigned char)(v >> shift));
}

static void Png_Chunk(std::vector<unsigned char> &out, const char *type, const std::vector<unsigned char> &data)
{
    Png_Put32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Png_Put32(out, (uint32_t)crc32(0, out.data() + start, (uInt)(out.size() - start)));
}

// A PNG of the given colour type (8 bits per sample) from top-down raw rows,
// each row filter 0.
static std::vector<unsigned char> Png_Build(uint32_t w, uint32_t h, int colourType, const std::vector<unsigned char> &rows)
{
    std::vector<unsigned char> png = {137, 80, 78, 71, 13, 10, 26, 10};
    std::vector<unsigned char> ihdr;
    Png_Put32(ihdr, w);
    Png_Put32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, (unsigned char)colourType, 0, 0, 0});
    Png_Chunk(png, "IHDR", ihdr);
    uLongf size = compressBound((uLong)rows.size());
    std::vector<unsigned char> z(size);
    compress(z.data(), &size, rows.data(), (uLong)rows.size());
    z.resize(size);
    Png_Chunk(png, "IDAT", z);
    Png_Chunk(png, "IEND", {});
    return png;
}

TEST_CASE("PNG round trip is pixel exact, colour under alpha 0 included")
{
    for (int w : {1, 2, 3, 7, 33}) {
        for (int h : {1, 4}) {
            CAPTURE(w); CAPTURE(h);
            DIB *image = TestImage_Random(32, w, h, (uint32_t)(w * 10 + h));
            TestPixel(image, 0, 0)[3] = 0;  // colour under full transparency
            TestPixel(image, 0, 0)[0] = 200;
            size_t size = 0;
            unsigned char *png = DIB_EncodePNG(image, &size);
            REQUIRE(png);
            CHECK(size > 8);
            CHECK(memcmp(png, "\x89PNG\r\n\x1a\n", 8) == 0);
            CHECK(png[25] == 6);  // colour type RGBA
            DIB *back = DIB_CreateFromMemory(png, size);
            REQUIRE(back);
            CHECK(back->bitCount == 32);
            CHECK(TestImage_Equal(image, back));
            free(png);
            DIB_Delete_(image);
            DIB_Delete_(back);
        }
    }
}

TEST_CASE("decoded PNGs are BGRA, bottom-up, straight alpha, whatever their colour type")
{
    // 2 x 2, top row red then green, bottom row blue then white.
    struct Case { int colourType; std::vector<unsigned char> rows; unsigned char expected[4][4]; };
    const Case cases[] = {
        {2, {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255},
         {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {255, 255, 255, 255}}},
        {6, {0, 255, 0, 0, 10, 0, 255, 0, 0, 0, 0, 0, 255, 128, 255, 255, 255, 255},
         {{0, 0, 255, 10}, {0, 255, 0, 0}, {255, 0, 0, 128}, {255, 255, 255, 255}}},
        {4, {0, 40, 7, 90, 200, 0, 0, 0, 255, 255},
         {{40, 40, 40, 7}, {90, 90, 90, 200}, {0, 0, 0, 0}, {255, 255, 255, 255}}},
        {0, {0, 40, 90, 0, 0, 255},
         {{40, 40, 40, 255}, {90, 90, 90, 255}, {0, 0, 0, 255}, {255, 255, 255, 255}}},
    };
    for (const Case &c : cases) {
        CAPTURE(c.colourType);
        std::vector<unsigned char> png = Png_Build(2, 2, c.colourType, c.rows);
        DIB *image = DIB_CreateFromMemory(png.data(), png.size());
        REQUIRE(image);
        CHECK(image->bitCount == 32);
        CHECK(image->width == 2);
        CHECK(image->height == 2);
        for (int i = 0; i < 4; i++)
            CHECK(memcmp(TestPixel(image, i % 2, i / 2), c.expected[i], 4) == 0);
        // Stored bottom-up: the first stored row is the picture's bottom row.
        CHECK(memcmp(DIB_Bits(image), c.expected[2], 4) == 0);
        DIB_Delete_(image);
    }
}

TEST_CASE("damaged, truncated and foreign data decode to nothing")
{
    DIB *image = TestImage_Random(32, 5, 3, 77);
    size_t size = 0;
    unsigned char *png = DIB_EncodePNG(image, &size);
    REQUIRE(png);
    // Every proper prefix lacks image data or the end chunk.
    for (size_t n = 0; n < size; n++) {
        CAPTURE(n);
        CHECK(DIB_CreateFromMemory(png, n) == nullptr);
    }
    // Damage inside the compressed data: nothing, or a picture of the right size.
    for (size_t at = 41; at < size - 12; at++) {
        std::vector<unsigned char> bad(png, png + size);
        bad[at] ^= 0x5A;
        DIB *d = DIB_CreateFromMemory(bad.data(), bad.size());
        if (d)
            CHECK((d->width == 5 && d->height == 3));
        DIB_Delete_(d);
    }
    const char *foreign[] = {"", "GIF89a", "BM\x36\0\0\0", "\x89PNG\r\n\x1a\n"};
    for (const char *f : foreign)
        CHECK(DIB_CreateFromMemory(f, strlen(f) + 1) == nullptr);
    CHECK(DIB_CreateFromMemory(nullptr, 10) == nullptr);
    CHECK(DIB_CreateFromMemory(png, 0) == nullptr);
    free(png);
    DIB_Delete_(image);
}

TEST_CASE("chunk lists the decoder would mishandle")
{
    std::vector<unsigned char> rows = {0, 1, 2, 3, 4};  // 1 x 1 RGBA
    std::vector<unsigned char> good = Png_Build(1, 1, 6, rows);
    // An empty IDAT before the data is legal and decodes.
    std::vector<unsigned char> empty(good.begin(), good.begin() + 33);
    Png_Chunk(empty, "IDAT", {});
    empty.insert(empty.end(), good.begin() + 33, good.end());
    DIB *image = DIB_CreateFromMemory(empty.data(), empty.size());
    REQUIRE(image);
    const unsigned char bgra[4] = {3, 2, 1, 4};
    CHECK(memcmp(TestPixel(image, 0, 0), bgra, 4) == 0);
    DIB_Delete_(image);
    // A chunk whose length runs past the end of the data.
    std::vector<unsigned char> longChunk = good;
    longChunk[33] = 0x7F;
    CHECK(DIB_CreateFromMemory(longChunk.data(), longChunk.size()) == nullptr);
    // No end chunk.
    CHECK(DIB_CreateFromMemory(good.data(), good.size() - 12) == nullptr);
    // A few bytes of data cannot make a picture of millions of pixels.
    std::vector<unsigned char> big = Png_Build(8000, 8000, 6, std::vector<unsigned char>(100, 0));
    CHECK(DIB_CreateFromMemory(big.data(), big.size()) == nullptr);
}

TEST_CASE("PNGs claiming absurd sizes are refused before decoding")
{
    struct Case { uint32_t w, h; };
    const Case cases[] = {{DIB_MAX_SIDE + 1, 1}, {1, DIB_MAX_SIDE + 1}, {DIB_MAX_SIDE, DIB_MAX_SIDE},
                          {0x7FFFFFFF, 0x7FFFFFFF}, {0, 5}};
    for (const Case &c : cases) {
        CAPTURE(c.w); CAPTURE(c.h);
        // A valid header with one row of data; the decoder must not try.
        std::vector<unsigned char> png = Png_Build(c.w, c.h, 6, std::vector<unsigned char>(64, 0));
        CHECK(DIB_CreateFromMemory(png.data(), png.size()) == nullptr);
    }
}

TEST_CASE("only 32-bit images are encoded")
{
    size_t size = 123;
    DIB *image = DIB_Create(24, 4, 4);
    CHECK(DIB_EncodePNG(image, &size) == nullptr);
    CHECK(size == 0);
    CHECK(DIB_EncodePNG(nullptr, &size) == nullptr);
    DIB_Delete_(image);
}

TEST_CASE("PNG files written and read back through the file layer")
{
    const char *path = "test_dib_png_roundtrip.png";
    DIB *image = TestImage_Random(32, 13, 9, 5);
    VorFile *file = FILE_Open(path, "wb");
    REQUIRE(file);
    CHECK(DIB_WritePNG(image, file) == 1);
    CHECK(FILE_Close(file) == 0);
    DIB *back = DIB_CreateFromFile(path);
    REQUIRE(back);
    CHECK(TestImage_Equal(image, back));
    DIB_Delete_(back);
    // A 24-bit image is not written and reports so.
    DIB *plain = DIB_Create(24, 2, 2);
    file = FILE_Open(path, "wb");
    REQUIRE(file);
    CHECK(DIB_WritePNG(plain, file) == 0);
    FILE_Close(file);
    CHECK(DIB_CreateFromFile(path) == nullptr);  // now empty
    File_Delete(path);
    CHECK(DIB_CreateFromFile(path) == nullptr);
    CHECK(DIB_CreateFromFile(nullptr) == nullptr);
    DIB_Delete_(image);
    DIB_Delete_(plain);
}

TEST_CASE("PNG from a kept encoder: the same bytes as encoding the changed picture from the top")
{
    // Big enough for many deflate blocks before and after the kept rows.
    const int w = 360, h = 120;
    DIB *still = TestImage_Random(32, w, h, 77);
    size_t stillSize = 0;
    unsigned char *plain = DIB_EncodePNG(still, &stillSize);
    REQUIRE(plain);
    struct {
        std::vector<int> rows;  // kept rows
        int use;                // which kept encoder the changed picture starts from
        int changedFrom;        // its first row that differs (at or below the kept row)
        bool kept;              // whether that encoder exists
    } cases[] = {
        {{40}, 0, 40, true},
        {{40}, 0, 41, true},
        {{40}, 0, h - 1, true},
        {{1}, 0, 1, true},
        {{80, 40, 40}, 2, 40, true},  // any order, a row twice
        {{80, 40, 40}, 0, 90, true},
        {{0}, 0, 0, false},           // nothing above: encoded from the top
        {{h}, 0, 5, false},           // outside the picture
    };
    for (const auto &c : cases) {
        CAPTURE(c.changedFrom);
        std::vector<PngKept *> kept;
        size_t size = 0;
        unsigned char *png = DIB_EncodePNGKeeping(still, c.rows, &kept, &size);
        REQUIRE(png);
        CHECK(size == stillSize);
        CHECK(memcmp(png, plain, size) == 0);
        REQUIRE(kept.size() == c.rows.size());
        CHECK((kept[c.use] != nullptr) == c.kept);
        DIB *changed = TestImage_Random(32, w, h, 77);
        for (int y = c.changedFrom; y < h; y += 7)
            TestPixel(changed, (y * 13) % w, y)[1] ^= 0x5A;
        size_t expectedSize = 0, fromSize = 0;
        unsigned char *expected = DIB_EncodePNG(changed, &expectedSize);
        unsigned char *from = DIB_EncodePNGFrom(kept[c.use], png, changed, &fromSize);
        REQUIRE(from);
        CHECK(fromSize == expectedSize);
        CHECK(memcmp(from, expected, expectedSize) == 0);
        free(expected);
        free(from);
        for (PngKept *k : kept)
            PngKept_Free(k);
        free(png);
        DIB_Delete_(changed);
    }
    free(plain);
    DIB_Delete_(still);
}
