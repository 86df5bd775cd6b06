// The generated part images: recoloured ones are pure grey with a shading
// ramp, parts sit where the face and body are, every expression looks
// different, the hair band exists only for some styles, and drawing is
// repeatable to the byte.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "tools/gen-sample/accessory.cpp"
#include "tools/gen-sample/body.cpp"
#include "tools/gen-sample/brow.cpp"
#include "tools/gen-sample/cheek.cpp"
#include "tools/gen-sample/dress.cpp"
#include "tools/gen-sample/eye.cpp"
#include "tools/gen-sample/hair.cpp"
#include "tools/gen-sample/hair_extras.cpp"
#include "tools/gen-sample/mouth.cpp"

namespace {

// Five blank canvases and a surface, freed at the end.
struct PartSet {
    DIB *images[5];
    PartImages parts;
    Raster *raster;
    PartSet()
    {
        for (DIB *&image : images)
            image = DIB_Create(32, CANVAS_W, CANVAS_H);
        parts = PartImages{images[0], images[1], images[2], images[3], images[4]};
        raster = Raster_Create(images[0]);
    }
    ~PartSet()
    {
        Raster_Free(raster);
        for (DIB *image : images)
            DIB_Delete_(image);
    }
};

struct ImageStats {
    int pixels;             // pixels with alpha
    int coloured;           // of those, pixels whose channels differ
    int minGrey, maxGrey;   // over opaque-enough pixels
    int left, top, right, bottom; // bounding box of alpha
};

ImageStats Image_Stats(const DIB *image)
{
    ImageStats s = {0, 0, 255, 0, CANVAS_W, CANVAS_H, -1, -1};
    for (int y = 0; y < image->height; y++) {
        const unsigned char *px = DIB_RowTD(image, y);
        for (int x = 0; x < image->width; x++, px += 4) {
            if (px[3] == 0)
                continue;
            s.pixels++;
            if (px[0] != px[1] || px[1] != px[2])
                s.coloured++;
            if (px[3] > 200) {
                s.minGrey = px[0] < s.minGrey ? px[0] : s.minGrey;
                s.maxGrey = px[0] > s.maxGrey ? px[0] : s.maxGrey;
            }
            s.left = x < s.left ? x : s.left;
            s.right = x > s.right ? x : s.right;
            s.top = y < s.top ? y : s.top;
            s.bottom = y > s.bottom ? y : s.bottom;
        }
    }
    return s;
}

// Pixels whose alpha differs by more than a trace between two images.
int Image_Differences(const DIB *a, const DIB *b)
{
    int n = 0;
    for (int y = 0; y < a->height; y++) {
        const unsigned char *p = DIB_RowTD(a, y), *q = DIB_RowTD(b, y);
        for (int x = 0; x < a->width * 4; x += 4)
            if (abs(p[x + 3] - q[x + 3]) > 24 || abs(p[x] - q[x]) > 24)
                n++;
    }
    return n;
}

// A recoloured image: grey only, and a grey ramp wide enough to carry shading.
void Check_Recoloured(const DIB *image, int minRange)
{
    ImageStats s = Image_Stats(image);
    CHECK(s.pixels > 0);
    CHECK(s.coloured == 0);
    CHECK(s.maxGrey - s.minGrey >= minRange);
}

} // namespace

TEST_CASE("recoloured images are grey with shading; the others carry colour")
{
    for (int style = 0; style < HAIR_STYLE_COUNT; style++)
        for (int back = 0; back < 2; back++) {
            CAPTURE(style);
            CAPTURE(back);
            PartSet set;
            int band = Hair_Draw(set.raster, (HairStyleId)style, back, &set.parts);
            Check_Recoloured(set.parts.a, 60);
            if (band)
                Check_Recoloured(set.parts.d, 60);
            CHECK(Image_Stats(set.parts.b).coloured > 0);
        }
    for (int dress = 0; dress < DRESS_COUNT; dress++) {
        CAPTURE(dress);
        PartSet set;
        Dress_Draw(set.raster, (DressId)dress, &set.parts);
        Check_Recoloured(set.parts.a, 50);
        CHECK(Image_Stats(set.parts.b).coloured > 0);
    }
    for (int acc = 0; acc < ACC_COUNT; acc++) {
        CAPTURE(acc);
        PartSet set;
        Accessory_Draw(set.raster, (AccessoryId)acc, &set.parts);
        Check_Recoloured(set.parts.a, 40);
        Check_Recoloured(set.parts.c, 40);
        CHECK(Image_Stats(set.parts.b).coloured > 0);
    }
    for (int shape = 0; shape < EYE_SHAPE_COUNT; shape++) {
        PartSet set;
        Eye_Draw(set.raster, (EyeShape)shape, EXPR_SUMASHI, &set.parts);
        Check_Recoloured(set.parts.a, 100);
    }
    PartSet brow, mouth;
    Brow_Draw(brow.raster, BROW_THICK, EXPR_SUMASHI, &brow.parts);
    Check_Recoloured(brow.parts.a, 20);
    Mouth_Draw(mouth.raster, MOUTH_SMALL, EXPR_NIKKORI, &mouth.parts);
    Check_Recoloured(mouth.parts.a, 0);
}

TEST_CASE("parts sit where the face and body are")
{
    PartSet set;
    Body_Draw(set.raster, set.images[0], 1);
    ImageStats body = Image_Stats(set.images[0]);
    CHECK(body.bottom == CANVAS_H - 1);  // shoulders run off the bottom edge
    CHECK(body.top < SKULL_CY - SKULL_RY + 4);
    CHECK(DIB_RowTD(set.images[0], (int)EYE_Y)[4 * (int)FACE_CX + 3] == 255);
    int headWidth = 0;
    for (int x = 0; x < CANVAS_W; x++)
        headWidth += DIB_RowTD(set.images[0], 190)[4 * x + 3] > 128;
    CHECK(headWidth >= 140);
    CHECK(headWidth <= 175);

    struct Expect {
        const char *what;
        int centreY, tolerance;
    };
    PartSet eye, mouth, brow;
    Eye_Draw(eye.raster, EYE_ROUND, EXPR_SUMASHI, &eye.parts);
    Mouth_Draw(mouth.raster, MOUTH_SMALL, EXPR_SUMASHI, &mouth.parts);
    Brow_Draw(brow.raster, BROW_THIN, EXPR_SUMASHI, &brow.parts);
    const DIB *images[] = {eye.parts.b, mouth.parts.a, brow.parts.a};
    const Expect expect[] = {{"eye", (int)EYE_Y, 8}, {"mouth", (int)MOUTH_Y, 6}, {"brow", (int)BROW_Y, 8}};
    for (int i = 0; i < 3; i++) {
        CAPTURE(expect[i].what);
        ImageStats s = Image_Stats(images[i]);
        CHECK(abs((s.top + s.bottom) / 2 - expect[i].centreY) <= expect[i].tolerance);
        CHECK(abs((s.left + s.right) / 2 - (int)FACE_CX) <= 2);  // symmetric about the face
    }
    // Front hair covers the top of the skull; its bangs stop above the eyes.
    PartSet hair;
    Hair_Draw(hair.raster, HAIR_SHORT, 0, &hair.parts);
    CHECK(DIB_RowTD(hair.parts.a, (int)(SKULL_CY - SKULL_RY + 4))[4 * (int)FACE_CX + 3] == 255);
    CHECK(DIB_RowTD(hair.parts.a, (int)EYE_Y)[4 * (int)(FACE_CX - EYE_DX) + 3] == 0);
}

TEST_CASE("every expression of every face part looks different")
{
    struct Kind {
        const char *name;
        int shapes;
        void (*draw)(Raster *, int, Expression, const PartImages *);
    };
    const Kind kinds[] = {
        {"eye", EYE_SHAPE_COUNT,
         [](Raster *r, int s, Expression x, const PartImages *o) { Eye_Draw(r, (EyeShape)s, x, o); }},
        {"brow", BROW_SHAPE_COUNT,
         [](Raster *r, int s, Expression x, const PartImages *o) { Brow_Draw(r, (BrowShape)s, x, o); }},
        {"mouth", MOUTH_SHAPE_COUNT,
         [](Raster *r, int s, Expression x, const PartImages *o) { Mouth_Draw(r, (MouthShape)s, x, o); }},
        {"cheek", 1, [](Raster *r, int, Expression x, const PartImages *o) { Cheek_Draw(r, x, o); }},
    };
    for (const Kind &k : kinds)
        for (int shape = 0; shape < k.shapes; shape++) {
            // All roles of one expression side by side in one image each.
            PartSet *sets[EXPR_COUNT];
            for (int x = 0; x < EXPR_COUNT; x++) {
                sets[x] = new PartSet;
                k.draw(sets[x]->raster, shape, (Expression)x, &sets[x]->parts);
                for (DIB *role : {sets[x]->parts.a, sets[x]->parts.c, sets[x]->parts.d, sets[x]->parts.h})
                    DIBA24_BltDIBA24(sets[x]->parts.b, nullptr, role);
            }
            for (int x = 0; x < EXPR_COUNT; x++)
                for (int y = x + 1; y < EXPR_COUNT; y++) {
                    CAPTURE(k.name);
                    CAPTURE(shape);
                    CAPTURE(x);
                    CAPTURE(y);
                    CHECK(Image_Differences(sets[x]->parts.b, sets[y]->parts.b) > 60);
                }
            for (PartSet *s : sets)
                delete s;
        }
}

TEST_CASE("the hair band image exists for some styles only, on the side that shows it")
{
    int with = 0, without = 0;
    for (int style = 0; style < HAIR_STYLE_COUNT; style++)
        for (int back = 0; back < 2; back++) {
            PartSet set;
            int band = Hair_Draw(set.raster, (HairStyleId)style, back, &set.parts);
            CAPTURE(style);
            CHECK((Image_Stats(set.parts.d).pixels > 0) == (band == 1));
            if (band)
                with++;
            else
                without++;
        }
    CHECK(with >= 3);
    CHECK(without >= HAIR_STYLE_COUNT);
    PartSet hairband;
    CHECK(Hair_Draw(hairband.raster, HAIR_HAIRB, 0, &hairband.parts) == 1);
}

TEST_CASE("drawing the same part twice gives the same bytes")
{
    PartSet one, two;
    Hair_Draw(one.raster, HAIR_WAVELONG, 1, &one.parts);
    Dress_Draw(one.raster, DRESS_YUKATA, &one.parts);
    Hair_Draw(two.raster, HAIR_WAVELONG, 1, &two.parts);
    Dress_Draw(two.raster, DRESS_YUKATA, &two.parts);
    for (int i = 0; i < 5; i++) {
        size_t n = (size_t)DIB_BytesPerRow(one.images[i]) * CANVAS_H;
        CHECK(memcmp(DIB_Bits(one.images[i]), DIB_Bits(two.images[i]), n) == 0);
    }
}
