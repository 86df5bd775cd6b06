// HLS to RGB conversion, the palette ramp and recolouring of layers.
#include <doctest.h>

#include <cstring>

#include "layer_test_support.h"
#include "layers/hls.h"
#include "layers/render.h"
#include "layers/tint.h"

using namespace layertest;

TEST_CASE("HLS to RGB at the sector edges, including the values that truncate low")
{
    struct Case {
        uint8_t h, l, s;
        uint8_t r, g, b;
    };
    const Case cases[] = {
        {0, 128, 255, 255, 0, 0},     // m1 * 255 = 0.99999... truncates to 0
        {85, 128, 255, 0, 255, 0},
        {170, 128, 255, 0, 1, 255},   // hue 170 is 239.99999999999997 degrees
        {255, 128, 255, 255, 0, 1},
        {0, 0, 255, 0, 0, 0},
        {0, 255, 0, 255, 255, 255},
        {42, 128, 255, 255, 252, 0},  // inside the rising sector of green
        {0, 64, 255, 128, 0, 0},      // dark: l <= 0.5 branch
        {128, 200, 100, 178, 221, 221},
    };
    for (const Case &c : cases) {
        CAPTURE((int)c.h);
        CAPTURE((int)c.l);
        CAPTURE((int)c.s);
        RgbBytes rgb = Hls_ToRgb({c.h, c.l, c.s});
        CHECK((int)rgb.red == c.r);
        CHECK((int)rgb.green == c.g);
        CHECK((int)rgb.blue == c.b);
    }
}

TEST_CASE("grey at zero saturation is the luminance, one lower for exactly 24 values")
{
    const int lower[] = {33, 37, 41, 45, 49, 53, 57, 61, 66, 74, 82, 90,
                         98, 106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
    int found = 0;
    for (int hue : {0, 77, 255}) {
        for (int l = 0; l < 256; l++) {
            RgbBytes rgb = Hls_ToRgb({(uint8_t)hue, (uint8_t)l, 0});
            bool isLower = false;
            for (int v : lower)
                isLower = isLower || v == l;
            CAPTURE(l);
            CHECK(rgb.red == rgb.green);
            CHECK(rgb.green == rgb.blue);
            CHECK((int)rgb.red == (isLower ? l - 1 : l));
            if (hue == 0 && rgb.red != l)
                found++;
        }
    }
    CHECK(found == 24);
}

TEST_CASE("palette ramps")
{
    PaletteEntry palette[HLS_PALETTE_ENTRIES];

    SUBCASE("grey (0, 128, 0) runs from 1 to 255")
    {
        Hls_FillPalette(palette, {0, 128, 0});
        const int start[] = {1, 1, 2, 3, 4};
        for (int i = 0; i < 5; i++) {
            CHECK((int)palette[i].red == start[i]);
            CHECK((int)palette[i].green == start[i]);
            CHECK((int)palette[i].blue == start[i]);
        }
        CHECK((int)palette[253].red == 253);
        CHECK((int)palette[254].red == 254);
        CHECK((int)palette[255].red == 255);
        CHECK((int)palette[255].reserved == 0);
        // Fixed points along the ramp: the grey the entry's luminance gives,
        // one lower where grey itself rounds low.
        const struct {
            int index, grey;
        } ramp[] = {{32, 32}, {33, 32}, {36, 36}, {65, 65}, {66, 65}, {121, 121},
                    {131, 131}, {132, 131}, {147, 147}, {243, 243}, {244, 243}, {254, 254}};
        for (const auto &r : ramp) {
            CAPTURE(r.index);
            CHECK((int)palette[r.index].red == r.grey);
            CHECK((int)palette[r.index].green == r.grey);
            CHECK((int)palette[r.index].blue == r.grey);
        }
    }
    SUBCASE("a dark colour keeps black at grey 0 and reaches its own luminance at 255")
    {
        Hls_FillPalette(palette, {0, 64, 0});
        CHECK((int)palette[0].red == 0);
        CHECK((int)palette[255].red == 128);
        CHECK((int)palette[128].red == Hls_ToRgb({0, 64, 0}).red);
    }
    SUBCASE("black and white stay flat")
    {
        Hls_FillPalette(palette, {30, 0, 200});
        for (int i = 0; i < 256; i++)
            CHECK((palette[i].red | palette[i].green | palette[i].blue) == 0);
        Hls_FillPalette(palette, {30, 255, 200});
        for (int i = 0; i < 256; i++)
            CHECK((palette[i].red & palette[i].green & palette[i].blue) == 255);
    }
    SUBCASE("bytes are in blue, green, red order")
    {
        Hls_FillPalette(palette, {0, 128, 255});
        CHECK((int)palette[255].red == 255);
        CHECK((int)palette[128].red == 255);
        CHECK((int)palette[128].blue == 0);
        CHECK((int)palette[128].green == 0);
    }
}

TEST_CASE("tinting a layer and recolouring it")
{
    // A grey ramp with varying alpha, so that both grey and alpha matter.
    DIB *source = DIB_Create(32, 64, 2);
    for (int x = 0; x < 64; x++) {
        for (int y = 0; y < 2; y++) {
            unsigned char *p = DIB_RowTD(source, y) + 4 * x;
            p[0] = p[1] = p[2] = (uint8_t)(x * 4);
            p[3] = (uint8_t)(y == 0 ? 255 : 128);
        }
    }

    SUBCASE("the conversion leaves the source alone and makes a grey image with a palette")
    {
        Layer *layer = Layer_CreateImage(1, nullptr);
        Layer_MoveTo(layer, 3, 4);
        REQUIRE(Layer_MakeTintableFrom(layer, source) == 1);
        LayerImage *content = Layer_GetImage(layer);
        CHECK(content->image != source);
        CHECK(content->image->bitCount == 16);
        CHECK(content->palette != nullptr);
        CHECK(layer->rect.right == 3 + 64);
        CHECK(layer->rect.bottom == 4 + 2);
        CHECK(PixelAt(source, 10, 0).a == 255);  // source untouched
        Layer_Destroy(layer);
    }
    SUBCASE("a colour applied at load time and a later recolour give identical pixels")
    {
        const HlsColour first = {20, 90, 180};
        const HlsColour second = {140, 160, 60};
        Layer *loaded = Layer_CreateImage(1, nullptr);
        Layer *recoloured = Layer_CreateImage(2, nullptr);
        Layer_SetImage(recoloured, DIB_MakeCopy(source));
        REQUIRE(Layer_MakeTintable(recoloured) == 1);
        Layer_SetColor(recoloured, first);
        REQUIRE(Layer_MakeTintableFrom(loaded, source) == 1);
        Layer_SetColor(loaded, second);
        Layer_SetColor(recoloured, second);
        CHECK(Layer_GetImage(recoloured)->colour.hue == 140);

        DIB *a = DIB_Create(24, 64, 2);
        DIB *b = DIB_Create(24, 64, 2);
        DIB24_FillRect(a, nullptr, DOCUMENT_BACKGROUND);
        DIB24_FillRect(b, nullptr, DOCUMENT_BACKGROUND);
        Layer_Draw(loaded, a);
        Layer_Draw(recoloured, b);
        CHECK(memcmp(DIB_Bits(a), DIB_Bits(b), a->sizeImage) == 0);
        // And the colour shows: grey 252 at full alpha is palette entry 252.
        PaletteEntry palette[HLS_PALETTE_ENTRIES];
        Hls_FillPalette(palette, second);
        Bgra px = PixelAt(a, 63, 0);
        CHECK(px.r == palette[252].red);
        CHECK(px.g == palette[252].green);
        CHECK(px.b == palette[252].blue);
        DIB_Delete_(a);
        DIB_Delete_(b);
        Layer_Destroy(loaded);
        Layer_Destroy(recoloured);
    }
    SUBCASE("a plain layer ignores colours and keeps its stored colour")
    {
        Layer *plain = Layer_CreateImage(1, nullptr);
        Layer_SetImage(plain, DIB_MakeCopy(source));
        Layer_GetImage(plain)->colour = {1, 2, 3};
        Layer_SetColor(plain, {9, 9, 9});
        CHECK(Layer_GetImage(plain)->colour.hue == 1);
        CHECK(Layer_GetImage(plain)->palette == nullptr);
        Layer_SetColor(nullptr, {9, 9, 9});
        Layer_Destroy(plain);
    }
    SUBCASE("only 32-bit images can be made tintable")
    {
        Layer *layer = Layer_CreateImage(1, nullptr);
        DIB *rgb = DIB_Create(24, 4, 4);
        Layer_SetImage(layer, rgb);
        CHECK(Layer_MakeTintable(layer) == 0);
        CHECK(Layer_GetImage(layer)->image == rgb);
        CHECK(Layer_MakeTintableFrom(layer, rgb) == 0);
        CHECK(Layer_GetImage(layer)->palette == nullptr);
        Layer_Destroy(layer);
    }
    SUBCASE("a new image makes a tintable layer plain again")
    {
        Layer *layer = Layer_CreateImage(1, nullptr);
        REQUIRE(Layer_MakeTintableFrom(layer, source) == 1);
        Layer_SetImage(layer, DIB_MakeCopy(source));
        CHECK(Layer_GetImage(layer)->palette == nullptr);
        CHECK(Layer_GetImage(layer)->image->bitCount == 32);
        Layer_Destroy(layer);
    }
    DIB_Delete_(source);
}
